// Texts for opening the address log in the editor and for naming its backup copy.
// Portable: no Windows header.
#pragma once

#include <string>
#include <string_view>

namespace nb {

// The command line that starts `program` with `path` as its one argument. The path is always put in
// double quotes (a folder name with blanks would otherwise split it), with the backslashes before the
// closing quote doubled so that the quote ends the argument; the program name is quoted only when it
// holds a blank or a tab.
std::wstring EditorCommandLine(std::wstring_view program, std::wstring_view path);

// A file name typed without an extension gets `extension` (given with or without its dot). A name
// whose last part holds a dot anywhere already has one and is returned as it is.
std::wstring WithDefaultExtension(std::wstring_view path, std::wstring_view extension);

}  // namespace nb
