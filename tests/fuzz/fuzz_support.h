// What the fuzz targets share: the input as text and a check that ends the run when an
// invariant does not hold. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace nbfuzz {

// Each byte as one character, as a single-byte code page reads Latin-1.
inline std::wstring Widen(std::string_view bytes) {
  std::wstring text;
  text.reserve(bytes.size());
  for (const char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return text;
}

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The input cut at its first `count - 1` line feeds: the last piece keeps the rest, missing
// pieces are empty. Seed files stay readable: one field per line.
inline std::vector<std::string_view> Lines(std::string_view bytes, std::size_t count) {
  std::vector<std::string_view> pieces;
  while (pieces.size() + 1 < count) {
    const std::size_t feed = bytes.find('\n');
    if (feed == std::string_view::npos) break;
    pieces.push_back(bytes.substr(0, feed));
    bytes.remove_prefix(feed + 1);
  }
  pieces.push_back(bytes);
  pieces.resize(count);
  return pieces;
}

[[noreturn]] inline void Fail(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
  std::abort();
}

}  // namespace nbfuzz

#define NB_FUZZ_CHECK(condition) ((condition) ? void() : nbfuzz::Fail(#condition, __FILE__, __LINE__))
