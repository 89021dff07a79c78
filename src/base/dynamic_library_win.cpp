#include "base/dynamic_library_win.h"

namespace nb {

DynamicLibrary::DynamicLibrary(const wchar_t* name) : name_(name) {
  module_.reset(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
  if (!module_) module_.reset(LoadLibraryW(name));
  if (!module_) throw AppError(errnum::kLibraryLoad, L"Error in loading DLL " + name_);
}

FARPROC DynamicLibrary::Find(const char* entryPoint) const {
  FARPROC proc = GetProcAddress(module_.get(), entryPoint);
  if (!proc) {
    std::wstring entry;
    for (const char* p = entryPoint; *p; ++p) entry += static_cast<wchar_t>(*p);
    throw AppError(errnum::kLibraryLoad, L"Error in loading DLL " + name_ + L" (" + entry + L" is missing)");
  }
  return proc;
}

}  // namespace nb
