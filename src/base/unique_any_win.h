// One move-only owner for every kind of Windows handle.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace nb {

// Traits name the handle type, its "no handle" value and how it is released.
template <typename Traits>
class unique_any {
 public:
  using pointer = typename Traits::type;

  unique_any() noexcept = default;
  explicit unique_any(pointer value) noexcept : value_(value) {}
  unique_any(const unique_any&) = delete;
  unique_any& operator=(const unique_any&) = delete;
  unique_any(unique_any&& other) noexcept : value_(other.release()) {}
  unique_any& operator=(unique_any&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~unique_any() { reset(); }

  pointer get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

  pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }
  void reset(pointer value = Traits::invalid()) noexcept {
    pointer old = std::exchange(value_, value);
    if (old != Traits::invalid()) Traits::close(old);
  }
  // For functions that hand a new handle back through an out parameter.
  pointer* put() noexcept {
    reset();
    return &value_;
  }

 private:
  pointer value_ = Traits::invalid();
};

namespace detail {
template <typename T, auto Invalid>
struct invalid_value {
  static T invalid() noexcept { return (T)(Invalid); }
};
}  // namespace detail

#define NB_HANDLE_TRAITS(Name, Type, InvalidValue, CloseCall)          \
  struct Name : detail::invalid_value<Type, (InvalidValue)> {        \
    using type = Type;                                                \
    static void close(type h) noexcept { CloseCall; }                 \
  }

NB_HANDLE_TRAITS(handle_traits, HANDLE, 0, ::CloseHandle(h));
NB_HANDLE_TRAITS(file_traits, HANDLE, -1, ::CloseHandle(h));
NB_HANDLE_TRAITS(hkey_traits, HKEY, 0, ::RegCloseKey(h));
NB_HANDLE_TRAITS(hmodule_traits, HMODULE, 0, ::FreeLibrary(h));
NB_HANDLE_TRAITS(gdi_traits, HGDIOBJ, 0, ::DeleteObject(h));
NB_HANDLE_TRAITS(hfont_traits, HFONT, 0, ::DeleteObject(h));
NB_HANDLE_TRAITS(hmenu_traits, HMENU, 0, ::DestroyMenu(h));
NB_HANDLE_TRAITS(hicon_traits, HICON, 0, ::DestroyIcon(h));
NB_HANDLE_TRAITS(find_traits, HANDLE, -1, ::FindClose(h));
NB_HANDLE_TRAITS(cotaskmem_traits, void*, 0, ::CoTaskMemFree(h));
NB_HANDLE_TRAITS(hglobal_traits, HGLOBAL, 0, ::GlobalFree(h));
NB_HANDLE_TRAITS(haccel_traits, HACCEL, 0, ::DestroyAcceleratorTable(h));

#undef NB_HANDLE_TRAITS

using unique_handle = unique_any<handle_traits>;
using unique_file = unique_any<file_traits>;
using unique_hkey = unique_any<hkey_traits>;
using unique_hmodule = unique_any<hmodule_traits>;
using unique_hfont = unique_any<hfont_traits>;
using unique_hmenu = unique_any<hmenu_traits>;
using unique_hicon = unique_any<hicon_traits>;
using unique_find = unique_any<find_traits>;
using unique_cotaskmem = unique_any<cotaskmem_traits>;
using unique_hglobal = unique_any<hglobal_traits>;
using unique_haccel = unique_any<haccel_traits>;

}  // namespace nb
