// Process entry: start-up, then the message loop for as long as a window of the program is open.
#include <windows.h>

#include "start/startup.h"
#include "ui/message_loop.h"
#include "ui/window.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  nb::Window::SetLastWindowClosedHandler([] { PostQuitMessage(0); });
  if (!nb::startup::Main()) return 0;
  return nb::RunMessageLoop();
}
