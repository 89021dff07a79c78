// Catches what the test program itself writes to the debug output (OutputDebugString), as a
// debugger would see it, for as long as the object lives.
#pragma once

#include <string>
#include <vector>

namespace nbtest {

class DebugOutputCapture {
 public:
  DebugOutputCapture();
  ~DebugOutputCapture();
  DebugOutputCapture(const DebugOutputCapture&) = delete;
  DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

  // Each text written, in order.
  std::vector<std::wstring> Lines() const;

 private:
  void* handler_;
};

}  // namespace nbtest
