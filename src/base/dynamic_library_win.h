// Libraries loaded at run time. Their absence is an error the caller can handle (run-time error
// 48) rather than a process that cannot start, and the program does not pay for loading them at
// start-up: the URL download, internet cache, shell, file dialog, sockets, security and certificate
// libraries are loaded where they are first used.
#pragma once

#include <windows.h>

#include <string>

#include "base/app_error.h"
#include "base/unique_any_win.h"

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

// An entry point of a loaded library, or nullptr when the library or the entry point is missing
// (functions that newer systems have and older ones lack).
template <typename Fn>
Fn EntryPoint(HMODULE module, const char* entryPoint) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, entryPoint))) : nullptr;
}

// The same for a library the process has loaded already, by name.
template <typename Fn>
Fn LoadedEntryPoint(const wchar_t* library, const char* entryPoint) {
  return EntryPoint<Fn>(GetModuleHandleW(library), entryPoint);
}

}  // namespace nb
