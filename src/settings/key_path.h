// Registry key paths named by text: "HKEY_CURRENT_USER\Software\Ambertop\Netbeacon".
// Portable: no Windows header.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nb {

struct KeyPathParts {
  std::wstring root;    // the text before the first backslash (the whole path when there is none)
  std::wstring subKey;  // everything after it; empty for the root key itself
};

// Splits a full key path at its first backslash. Nothing when the path is malformed: it does
// not begin with exactly "HKEY_" or it ends with a backslash. The root name is not checked.
std::optional<KeyPathParts> SplitKeyPath(std::wstring_view path);

// The predefined handle value a root name stands for (0x80000000 to 0x80000006), or 0 for a
// name that is not one of the seven, spelled exactly (case counts).
std::uint32_t RootKeyFromName(std::wstring_view name);

// The text of the message shown for a malformed key path.
std::wstring IncorrectFormatText(std::wstring_view path);

}  // namespace nb
