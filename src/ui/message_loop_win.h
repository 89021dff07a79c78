// Processing window messages: the program's one loop and the one function for its fixed yield
// points, with the kinds of message each yield handles named.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>

namespace nb {

enum class MessageKinds {
  // Paint, timer, posted and sent messages: windows repaint, user input stays queued. Used
  // while a network wait is under way.
  PaintOnly,
  // Everything queued, input included, with dialog keys and keyboard shortcuts.
  AllQueued,
};

// Handles the messages of the given kinds that wait now, then returns. A round handles a bounded
// number of messages, so that a window that never validates its paint cannot hold its caller.
// A quit request met on the way ends the round and is posted again, so that the program's loop
// still ends.
void ProcessMessages(MessageKinds kinds);

// Waits until the handle is signalled or the bound has passed, letting the thread's windows paint
// meanwhile (MessageKinds::PaintOnly: user input stays queued, so nothing the user does can start
// work inside the wait). True when the handle was signalled. Uses no processor time of its own.
bool WaitWhilePainting(HANDLE handle, std::chrono::milliseconds bound);

// Waits for and handles messages, giving the dialog keys (Tab, Enter for the default button,
// access keys) to `dialog` or, when it is nullptr, to the active window, and the keyboard
// shortcuts to the window that has them. Runs until WM_QUIT, whose code it returns, or until
// `done` says so; a quit request met before `done` is posted again for the outer loop.
int RunMessageLoop(const std::function<bool()>& done = nullptr, HWND dialog = nullptr);

// The keyboard shortcuts of a window, translated while that window (or one of its controls) has
// the input. One window has them; nullptr clears.
void SetAccelerators(HWND window, HACCEL table);

}  // namespace nb
