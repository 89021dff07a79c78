// Reading and setting the clipboard's text in window tests.
#pragma once

#include <string>

namespace nbtest {

// The clipboard's text in CF_UNICODETEXT, or in CF_TEXT as its bytes; "<clipboard busy>" when the
// clipboard cannot be opened.
std::wstring ClipboardUnicode();
std::string ClipboardAnsi();

// Puts a text on the clipboard (CF_UNICODETEXT only).
void SetClipboardUnicode(const std::wstring& text);

}  // namespace nbtest
