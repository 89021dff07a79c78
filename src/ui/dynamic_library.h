// A library loaded at run time, so that its absence is an error the caller can handle
// (run-time error 48) rather than a process that cannot start.
#pragma once

#include <windows.h>

#include <string>

#include "ui/app_error.h"
#include "ui/unique_any.h"

namespace nb {

class DynamicLibrary {
 public:
  // Raises AppError 48 when the library cannot be loaded.
  explicit DynamicLibrary(const wchar_t* name);

  // Raises AppError 48 when the entry point is missing.
  template <typename Fn>
  Fn Get(const char* entryPoint) const {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(Find(entryPoint)));
  }

 private:
  FARPROC Find(const char* entryPoint) const;
  std::wstring name_;
  unique_hmodule module_;
};

}  // namespace nb
