#include "detect/isip.h"

#include <array>

#include "base/text_util.h"

namespace nb {

bool IsIP(std::wstring_view ip) {
  const auto pieces = SplitKeepEmpty(ip, L'.');
  if (pieces.size() != 4) return false;
  std::array<double, 4> values{};
  for (size_t k = 0; k < 4; ++k) {
    const auto value = ParseNumber(pieces[k]);
    if (!value) return false;
    values[k] = *value;
  }
  for (const auto piece : pieces) {
    if (piece.size() > 3) return false;
  }
  for (const double value : values) {
    if (value > 255) return false;
  }
  for (const double value : values) {
    if (value < 0) return false;
  }
  return true;
}

}  // namespace nb
