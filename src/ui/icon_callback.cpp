#include "ui/icon_callback.h"

namespace nb {
namespace {

IconEvent EventOf(unsigned value) {
  switch (value) {
    case kIconSelectValue:
      return IconEvent::Select;
    case kIconKeySelectValue:
      return IconEvent::KeySelect;
    case kIconContextMenuValue:
      return IconEvent::ContextMenu;
    case kIconBalloonShowValue:
      return IconEvent::BalloonShown;
    case kIconBalloonHideValue:
      return IconEvent::BalloonHidden;
    case kIconBalloonTimeoutValue:
      return IconEvent::BalloonTimedOut;
    case kIconBalloonClickValue:
      return IconEvent::BalloonClicked;
    default:
      return IconEvent::Other;
  }
}

// A coordinate is a signed 16-bit value: a monitor left of or above the primary one has points
// below 0, whose words must not be read as large positive numbers.
int SignedWord(std::uintptr_t value, int shift) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>((value >> shift) & 0xFFFF));
}

}  // namespace

IconCallback DecodeIconCallback(std::uintptr_t wParam, std::intptr_t lParam) {
  const auto bits = static_cast<std::uintptr_t>(lParam);
  IconCallback callback;
  callback.event = EventOf(static_cast<unsigned>(bits & 0xFFFF));
  callback.iconId = static_cast<unsigned>((bits >> 16) & 0xFFFF);
  callback.x = SignedWord(wParam, 0);
  callback.y = SignedWord(wParam, 16);
  return callback;
}

}  // namespace nb
