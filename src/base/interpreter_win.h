// The system's command interpreter, started hidden for the program's own commands: the
// configuration capture's batch file and watch mode's command.
#pragma once

#include <windows.h>

#include <string>

#include "base/unique_any_win.h"

namespace nb {

struct StartedProcess {
  unique_handle process;
  unique_handle thread;
};

// Starts "cmd.exe /d <arguments>" from the system folder (never one found on the search path),
// hidden and without a console window. /d keeps the user's AutoRun commands out: one that changes
// the code page would garble what the command writes, a slow one would eat its bound. Raises the
// file error ("Cannot start" and the interpreter's path) when it cannot start.
StartedProcess StartInterpreterHidden(const std::wstring& arguments, DWORD creationFlags = 0);

}  // namespace nb
