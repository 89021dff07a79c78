// Process entry: start-up, then the message loop for as long as a window of the program is open.
#include <windows.h>

#include <chrono>

#include "start/startup_win.h"
#include "ui/message_loop_win.h"
#include "ui/task_win.h"
#include "ui/window_win.h"

namespace {

// How long work still under way when the last window has gone may take to wind down (a download
// then removes its scratch file); the program ends at the latest then.
constexpr std::chrono::milliseconds kWindDownGrace{600};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  nb::Window::SetLastWindowClosedHandler([] { PostQuitMessage(0); });
  if (!nb::startup::Main()) return 0;
  const int code = nb::RunMessageLoop();
  nb::StopAllTasks(kWindDownGrace);
  return code;
}
