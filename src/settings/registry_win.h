// The registry access layer: every preference of the program is read and written through it.
// Each call takes a full key path as text (root name, backslash, subkey path), opens the key,
// does one thing and closes it again. Registry failures are silent: writes then do nothing and
// reads return nothing. A malformed path (not beginning with "HKEY_", or ending
// with a backslash) shows an "Incorrect Format:" message box and does nothing else.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/app_error.h"

namespace nb {

// The key that holds all of the program's settings.
inline constexpr wchar_t kProgramKey[] = L"HKEY_CURRENT_USER\\Software\\Ambertop\\Netbeacon";

// Creates the key if it does not exist yet.
void CreateKey(std::wstring_view keyPath);

// A string value up to its first NUL, leading spaces removed; any length. Nothing when the key or
// the value is missing or cannot be read.
std::optional<std::wstring> ReadString(std::wstring_view keyPath, std::wstring_view valueName);
// Stores the text as a REG_SZ value. Never creates the key: nothing happens when it is missing.
void WriteString(std::wstring_view keyPath, std::wstring_view valueName, std::wstring_view text);

// A binary value, one character per byte (ANSI code page), all bytes; nothing as for ReadString.
std::optional<std::wstring> ReadBinary(std::wstring_view keyPath, std::wstring_view valueName);
// Stores the text as a REG_BINARY value, one byte per character (ANSI code page). Never creates
// the key. Throws AppError 6 (overflow), writing nothing, when a character has no one-byte code.
void WriteBinary(std::wstring_view keyPath, std::wstring_view valueName, std::wstring_view text);

}  // namespace nb
