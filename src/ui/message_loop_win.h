// Processing window messages: the program's one loop, which modal windows run too. The window's
// thread waits nowhere else (long work runs as a task, ui/task_win.h).
#pragma once

#include <windows.h>

#include <functional>

namespace nb {

// Waits for and handles messages, giving the dialog keys (Tab, Enter for the default button,
// access keys) to `dialog` or, when it is nullptr, to the active window, and the keyboard
// shortcuts to the window that has them. Runs until WM_QUIT, whose code it returns, or until
// `done` says so; a quit request met before `done` is posted again for the outer loop.
int RunMessageLoop(const std::function<bool()>& done = nullptr, HWND dialog = nullptr);

// The keyboard shortcuts of a window, translated while that window (or one of its controls) has
// the input. One window has them; nullptr clears.
void SetAccelerators(HWND window, HACCEL table);

}  // namespace nb
