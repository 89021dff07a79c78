// Opening the address log, and the IPv6 log beside it, in the system's text editor (the main
// window's history command).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "base/app_error.h"

namespace nb {

inline constexpr wchar_t kHistoryProcedureLabel[] = L"menuHistory_Click";

// The system's text editor, "notepad.exe" in the system folder, by its full path: a search would
// look in the program's own folder and the current folder first.
std::wstring TextEditorPath();

// Starts the program `editor` (a full path; nothing is searched for) as a process of its own with
// `path` as its one argument (quoted), in a normal window with the focus. It is not waited for and
// its handles are closed at once. Returns the new process's id; raises an AppError when the editor
// cannot be started.
DWORD StartEditor(std::wstring_view editor, std::wstring_view path);

// menuHistory_Click: shows the address log (LogPath()) in the text editor and, when the IPv6 log
// (Log6Path()) exists, that one too in a second editor. A failure shows the error report labelled
// "menuHistory_Click" once, and starts nothing more. True when every editor wanted was started.
bool OpenLogInEditor();
// The same with the log paths, and the editor, given.
bool OpenLogInEditor(const std::wstring& logPath, const std::wstring& log6Path, std::wstring_view editor);

}  // namespace nb
