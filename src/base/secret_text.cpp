#include "base/secret_text.h"

namespace nb {

void WipeBytes(void* bytes, std::size_t size) noexcept {
  volatile unsigned char* p = static_cast<volatile unsigned char*>(bytes);
  while (size--) *p++ = 0;
}

}  // namespace nb
