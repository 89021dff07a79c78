// Text that holds a secret (a password, or anything made from one): its characters are
// overwritten when it goes, and so is every buffer it leaves behind as it grows. Portable.
//
// A copy into an ordinary string is not wiped: keep secrets in these types from where they are
// read to where they are used.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace nb {

// Overwrites the bytes with zeros in a way the compiler may not leave out.
void WipeBytes(void* bytes, std::size_t size) noexcept;

// An allocator that wipes what it hands back.
template <typename T>
struct WipingAllocator {
  using value_type = T;
  WipingAllocator() noexcept = default;
  template <typename U>
  WipingAllocator(const WipingAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) { return std::allocator<T>().allocate(n); }
  void deallocate(T* p, std::size_t n) noexcept {
    WipeBytes(p, n * sizeof(T));
    std::allocator<T>().deallocate(p, n);
  }
  friend bool operator==(const WipingAllocator&, const WipingAllocator&) noexcept { return true; }
};

// A string whose buffer is wiped when it goes; a short one lives inside the object itself, which
// is wiped too.
template <typename Char>
class SecretText : public std::basic_string<Char, std::char_traits<Char>, WipingAllocator<Char>> {
  using Base = std::basic_string<Char, std::char_traits<Char>, WipingAllocator<Char>>;

 public:
  using Base::Base;
  SecretText(const SecretText&) = default;
  SecretText(SecretText&&) noexcept = default;
  SecretText& operator=(const SecretText&) = default;
  SecretText& operator=(SecretText&&) noexcept = default;
  ~SecretText() { WipeBytes(this->data(), (this->capacity() + 1) * sizeof(Char)); }
  std::basic_string_view<Char> view() const noexcept { return {this->data(), this->size()}; }
};

using SecretWString = SecretText<wchar_t>;
using SecretString = SecretText<char>;

}  // namespace nb
