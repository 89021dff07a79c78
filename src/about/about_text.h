// Texts of the about window: the version line and the caption of the home page link.
// Portable: no Windows header.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nb {

// The two 32-bit words of a file version as the version resource holds them: the high and low word of
// `ms` are the first and second number, those of `ls` the third and fourth.
struct FileVersionWords {
  std::uint32_t ms = 0;
  std::uint32_t ls = 0;
};

// What the version line says when the program carries no version resource.
inline constexpr wchar_t kUnknownVersionLine[] = L"Version unknown";

// "Version " followed by major, minor and revision in decimal, joined by dots: the first, second and
// third number of the file version (3.0.0.0 reads "Version 3.0.0").
std::wstring VersionLine(const std::optional<FileVersionWords>& version);

// The home page address as the link shows it: without "http://" or "https://" in front and without a
// slash at the end ("http://www.ambertop.com/" shows "www.ambertop.com").
std::wstring LinkCaption(std::wstring_view url);

}  // namespace nb
