// Process entry: start-up, then the message loop for as long as a window of the program is open.
#include <windows.h>

#include "start/startup_win.h"
#include "ui/message_loop_win.h"
#include "ui/window_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  nb::Window::SetLastWindowClosedHandler([] { PostQuitMessage(0); });
  if (!nb::startup::Main()) return 0;
  return nb::RunMessageLoop();
}
