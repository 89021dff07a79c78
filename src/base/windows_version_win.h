// Which Windows version runs, named from the program's table (base/windows_version.h).
#pragma once

#include <string>

#include "base/windows_version.h"

namespace nb {

// The running version's name, from the ANSI version record (148 bytes). A failed call leaves
// the record zeroed, which names "Unknown".
std::wstring GetWindowsVersion();

}  // namespace nb
