#include <array>
#include <string>

#include "base/windows_version.h"

namespace nb {
namespace {

struct VersionName {
  const wchar_t* key;
  const wchar_t* name;
};

// Compared in this order, as exact text.
constexpr std::array<VersionName, 10> kVersionNames = {{
    {L"1.4.0", kWindows95},
    {L"1.4.10", L"Windows 98"},
    {L"1.4.90", L"Windows ME"},
    {L"2.3.51", L"Windows NT 3"},
    {L"2.4.0", L"Windows NT 4"},
    {L"2.5.0", L"Windows 2000"},
    {L"2.5.1", L"Windows XP"},
    {L"2.5.2", L"Windows Server 2003"},
    {L"2.6.0", L"Windows Vista"},
    {L"2.6.1", L"Windows 7"},
}};

}  // namespace

std::wstring WindowsVersionName(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor) {
  const std::wstring key = std::to_wstring(platformId) + L"." + std::to_wstring(major) + L"." + std::to_wstring(minor);
  for (const VersionName& entry : kVersionNames) {
    if (key == entry.key) return entry.name;
  }
  return kUnknownWindows;
}

}  // namespace nb
