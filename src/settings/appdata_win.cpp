// Module appdata.
#include "settings/appdata_win.h"

#include <windows.h>
#include <shlobj.h>

#include "base/dynamic_library_win.h"
#include "base/skip_trap_win.h"
#include "base/text_util.h"
#include "base/unique_any_win.h"

namespace nb {
namespace {

// The shell's folder functions, from the shell library loaded at first use (not as the program
// starts). A failed load raises run-time error 48 and is tried again the next time.
struct ShellFolderApi {
  using SpecialFolderFn = decltype(&SHGetSpecialFolderLocation);
  using PathFromIdListFn = decltype(&SHGetPathFromIDListEx);

  DynamicLibrary shell32{L"shell32.dll"};
  SpecialFolderFn specialFolderLocation = shell32.Get<SpecialFolderFn>("SHGetSpecialFolderLocation");
  PathFromIdListFn pathFromIdList = shell32.Get<PathFromIdListFn>("SHGetPathFromIDListEx");
};

const ShellFolderApi& Shell() {
  static const ShellFolderApi api;
  return api;
}

// Makes the folder unless it is there already (or appeared meanwhile).
bool EnsureDir(const std::wstring& path) {
  return DirExists(path) || CreateDirectoryW(path.c_str(), nullptr) || DirExists(path);
}

}  // namespace

std::wstring GetAppDataDir(std::wstring_view fallback) {
  return GetAppDataDirUnder(GetSpecialFolder(CSIDL_APPDATA), fallback);
}

std::wstring GetAppDataDirUnder(std::wstring_view base, std::wstring_view fallback) {
  if (base.empty()) return AddBackslash(fallback);
  const std::wstring first = AddBackslash(base) + L"Ambertop software\\";
  if (!EnsureDir(first)) return AddBackslash(fallback);
  const std::wstring second = first + L"Netbeacon\\";
  if (!EnsureDir(second)) return AddBackslash(fallback);
  return second;
}

std::wstring GetSpecialFolder(int csidl) {
  std::wstring path;
  SkipTrap(L"appdata GetSpecialFolder", [&] {
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(Shell().specialFolderLocation(nullptr, csidl, &list))) return;
    const unique_cotaskmem owner(list);
    path = PathFromIdList(list);
  });
  return path.empty() ? path : AddBackslash(path);
}

std::wstring PathFromIdList(const void* idList, unsigned long capacity) {
  // Windows paths are at most 32767 characters long.
  constexpr unsigned long kLongest = 32768;
  const auto list = static_cast<PCIDLIST_ABSOLUTE>(idList);
  std::wstring path(capacity ? capacity : 1, L'\0');
  for (;;) {
    if (Shell().pathFromIdList(list, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT)) break;
    if (path.size() >= kLongest) return {};
    path.resize(path.size() * 2 < kLongest ? path.size() * 2 : kLongest);
  }
  return StripNull(path);
}

bool DirExists(std::wstring_view path) {
  const std::wstring name = StripBackslashes(path);
  // A wildcard would let the search answer for some other entry that matches it.
  if (name.empty() || name.find_first_of(L"*?") != std::wstring::npos) return false;
  WIN32_FIND_DATAW found;
  const unique_find search(FindFirstFileW(name.c_str(), &found));
  return search && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace nb
