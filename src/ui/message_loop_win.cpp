#include "ui/message_loop_win.h"

namespace nb {
namespace {

// At most this many messages are handled per round.
constexpr int kMessagesPerRound = 64;

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

// One round of ProcessMessages. A quit request met on the way ends the round and is handed back:
// the caller posts it again once it is done waiting.
std::optional<int> HandleWaitingMessages(MessageKinds kinds) {
  const UINT flags = kinds == MessageKinds::PaintOnly
                         ? PM_REMOVE | PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE
                         : PM_REMOVE;
  MSG msg;
  for (int i = 0; i < kMessagesPerRound && PeekMessageW(&msg, nullptr, 0, 0, flags); ++i) {
    if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
    if (kinds == MessageKinds::AllQueued) {
      Deliver(msg, nullptr);
    } else {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return std::nullopt;
}

}  // namespace

void ProcessMessages(MessageKinds kinds) {
  if (const auto quit = HandleWaitingMessages(kinds)) PostQuitMessage(*quit);
}

bool WaitWhilePainting(HANDLE handle, std::chrono::milliseconds bound) {
  constexpr DWORD kPaintWakeMask = QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_TIMER;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + bound;
  std::optional<int> quitCode;
  bool signalled = false;
  for (;;) {
    if (WaitForSingleObject(handle, 0) == WAIT_OBJECT_0) {
      signalled = true;
      break;
    }
    const Clock::time_point now = Clock::now();
    if (now >= deadline) break;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
    const DWORD woke = MsgWaitForMultipleObjects(1, &handle, FALSE, static_cast<DWORD>(left), kPaintWakeMask);
    if (woke == WAIT_OBJECT_0) {
      signalled = true;
      break;
    }
    if (woke == WAIT_OBJECT_0 + 1) {
      // A quit posted again at once would wake this wait again at once, round after round: it is
      // held until the wait is over.
      if (const auto quit = HandleWaitingMessages(MessageKinds::PaintOnly)) quitCode = quit;
      continue;
    }
    if (woke == WAIT_FAILED) {
      signalled = WaitForSingleObject(handle, static_cast<DWORD>(left)) == WAIT_OBJECT_0;
      break;
    }
    // WAIT_TIMEOUT: looked at again at the top of the loop.
  }
  if (quitCode) PostQuitMessage(*quitCode);
  return signalled;
}

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
