#include "settings/key_path.h"

namespace nb {

std::optional<KeyPathParts> SplitKeyPath(std::wstring_view path) {
  if (path.substr(0, 5) != L"HKEY_" || path.back() == L'\\') return std::nullopt;
  const auto slash = path.find(L'\\');
  if (slash == std::wstring_view::npos) return KeyPathParts{std::wstring(path), {}};
  return KeyPathParts{std::wstring(path.substr(0, slash)), std::wstring(path.substr(slash + 1))};
}

std::uint32_t RootKeyFromName(std::wstring_view name) {
  struct Root {
    std::wstring_view name;
    std::uint32_t handle;
  };
  static constexpr Root kRoots[] = {
      {L"HKEY_CLASSES_ROOT", 0x80000000u},     {L"HKEY_CURRENT_USER", 0x80000001u},
      {L"HKEY_LOCAL_MACHINE", 0x80000002u},    {L"HKEY_USERS", 0x80000003u},
      {L"HKEY_PERFORMANCE_DATA", 0x80000004u}, {L"HKEY_CURRENT_CONFIG", 0x80000005u},
      {L"HKEY_DYN_DATA", 0x80000006u},
  };
  for (const Root& root : kRoots) {
    if (root.name == name) return root.handle;
  }
  return 0;
}

std::wstring IncorrectFormatText(std::wstring_view path) {
  return L"Incorrect Format:\n\n" + std::wstring(path);
}

}  // namespace nb
