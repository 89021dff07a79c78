#include "ui/message_loop_win.h"

namespace nb {
namespace {

struct Accelerators {
  HWND window = nullptr;
  HACCEL table = nullptr;
};

Accelerators& CurrentAccelerators() {
  static Accelerators accelerators;
  return accelerators;
}

// Gives keyboard shortcuts and dialog keys their meaning, then dispatches what is left.
void Deliver(MSG& msg, HWND dialog) {
  const Accelerators& acc = CurrentAccelerators();
  if (acc.table && acc.window && (msg.hwnd == acc.window || IsChild(acc.window, msg.hwnd)) &&
      TranslateAcceleratorW(acc.window, acc.table, &msg)) {
    return;
  }
  if (!dialog) dialog = GetActiveWindow();
  if (dialog && IsDialogMessageW(dialog, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

}  // namespace

int RunMessageLoop(const std::function<bool()>& done, HWND dialog) {
  MSG msg;
  while (!done || !done()) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) return 0;
    if (got == 0) {
      if (done) PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
      return static_cast<int>(msg.wParam);
    }
    Deliver(msg, dialog);
  }
  return 0;
}

void SetAccelerators(HWND window, HACCEL table) { CurrentAccelerators() = {window, table}; }

}  // namespace nb
