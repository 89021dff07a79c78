// Text at the boundary with Windows: ANSI code page conversions, window texts, the program's
// own path and the system folder.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace nb {

// Bytes in a code page (CP_ACP, CP_OEMCP or a number) to text, and back. Characters the code
// page cannot hold become its default character.
std::wstring FromCodePage(std::string_view bytes, UINT codePage);
std::string ToCodePage(std::wstring_view text, UINT codePage);

// The system's ANSI code page, which the stored formats and the A-only platform calls use.
inline std::wstring FromAnsi(std::string_view bytes) { return FromCodePage(bytes, CP_ACP); }
inline std::string ToAnsi(std::wstring_view text) { return ToCodePage(text, CP_ACP); }

std::wstring WindowText(HWND hwnd);
void SetWindowTextOf(HWND hwnd, std::wstring_view text);

// The text a call writes into a buffer, for the calls that answer a buffer too small with the size
// they need, its NUL included (GetSystemDirectoryW, GetTempPathW, GetShortPathNameW): `fill(buffer,
// size)` returns that size or the text's length. Nothing when the call fails (GetLastError says why).
template <class Fill>
std::optional<std::wstring> TextOfNeededSize(Fill fill) {
  std::wstring text(MAX_PATH + 1, L'\0');
  for (;;) {
    const DWORD n = fill(text.data(), static_cast<DWORD>(text.size()));
    if (n == 0) return std::nullopt;
    if (n < text.size()) {
      text.resize(n);
      return text;
    }
    text.resize(n);
  }
}

// Full path of the running executable, and its folder with a trailing backslash.
std::wstring ExecutablePath();
std::wstring ExecutableFolder();

// The system folder (where the system's own programs are) with a trailing backslash. Raises an
// AppError in the unlikely case that Windows cannot say.
std::wstring SystemFolder();

}  // namespace nb
