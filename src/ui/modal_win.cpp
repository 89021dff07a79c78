#include "ui/modal_win.h"

#include <commdlg.h>

#include <cwchar>
#include <iterator>
#include <vector>

#include "base/dynamic_library_win.h"
#include "base/skip_trap_win.h"
#include "base/text_util.h"
#include "ui/message_loop_win.h"

namespace nb {
namespace {

ModalUi*& Current() {
  static SystemModalUi system;
  static ModalUi* current = &system;
  return current;
}

// The filter string of a file dialog: pairs of NUL-terminated texts (description, pattern),
// ending in two NULs. A lone pattern describes itself.
std::wstring DialogFilter(const std::wstring& filter) {
  if (filter.empty()) return {};
  std::vector<std::wstring_view> pieces = SplitKeepEmpty(filter, L'|');
  if (pieces.size() == 1) pieces.push_back(pieces.front());
  if (pieces.size() % 2 != 0) pieces.pop_back();  // a description without its pattern
  std::wstring text;
  for (const std::wstring_view piece : pieces) {
    text += Trim(piece);
    text.push_back(L'\0');
  }
  text.push_back(L'\0');
  return text;
}

void TraceDialogFailure(DWORD code) noexcept {
  wchar_t description[64];
  std::swprintf(description, std::size(description), L"The file dialog failed: common dialog error 0x%04lX",
                static_cast<unsigned long>(code));
  TraceSkippedError(kProgramErrorBase, description, L"Netbeacon file dialog");
}

std::optional<std::wstring> RunFileDialog(const FileDialogArgs& args, bool save) {
  std::wstring buffer = args.fileName;
  buffer.resize(std::max<size_t>(buffer.size() + 1, 32768), L'\0');
  const std::wstring filter = DialogFilter(args.filter);
  std::wstring ext = args.defaultExt;
  if (!ext.empty() && ext.front() == L'.') ext.erase(0, 1);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = args.owner;
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrTitle = args.title.empty() ? nullptr : args.title.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (save && args.overwritePrompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
  if (!save) ofn.Flags |= OFN_FILEMUSTEXIST;
  // The file dialog library is loaded when a dialog is first shown, not as the program starts.
  using DialogFn = decltype(&GetSaveFileNameW);
  static const DynamicLibrary comdlg32(L"comdlg32.dll");
  static const auto getSaveFileName = comdlg32.Get<DialogFn>("GetSaveFileNameW");
  static const auto getOpenFileName = comdlg32.Get<DialogFn>("GetOpenFileNameW");
  static const auto dialogError = comdlg32.Get<decltype(&CommDlgExtendedError)>("CommDlgExtendedError");
  const BOOL ok = save ? getSaveFileName(&ofn) : getOpenFileName(&ofn);
  if (ok) return std::wstring(buffer.c_str());
  // A dialog that failed ends as a cancel does; the user sees nothing more, a trace says why.
  if (const DWORD failure = dialogError()) TraceDialogFailure(failure);
  return std::nullopt;
}

}  // namespace

bool ModalWindow::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
  if (msg == WM_CLOSE) {
    EndModal();
    result = 0;
    return true;
  }
  return false;
}

int SystemModalUi::ShowMessage(const MessageBoxArgs& args) {
  MSGBOXPARAMSW params{};
  params.cbSize = sizeof params;
  params.hwndOwner = args.owner;
  params.hInstance = GetModuleHandleW(nullptr);
  params.lpszText = args.text.c_str();
  params.lpszCaption = args.title.c_str();
  params.dwStyle = args.style;
  return MessageBoxIndirectW(&params);
}

std::optional<std::wstring> SystemModalUi::SaveFileName(const FileDialogArgs& args) { return RunFileDialog(args, true); }

std::optional<std::wstring> SystemModalUi::OpenFileName(const FileDialogArgs& args) { return RunFileDialog(args, false); }

void SystemModalUi::ShowModal(ModalWindow& window, HWND owner) {
  window.ResetEnd();
  window.Load(owner);
  // Every other window of the program waits while this one is shown.
  std::vector<HWND> disabled;
  for (Window* other : Window::OpenWindows()) {
    if (other != &window && other->hwnd() && IsWindowEnabled(other->hwnd())) {
      EnableWindow(other->hwnd(), FALSE);
      disabled.push_back(other->hwnd());
    }
  }
  ShowWindow(window.hwnd(), SW_SHOW);
  SetForegroundWindow(window.hwnd());
  RunMessageLoop([&] { return !window.IsOpen() || window.EndRequested(); }, window.hwnd());
  // Enable the others before this one goes, so that activation returns to its owner.
  for (HWND hwnd : disabled) {
    if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
  }
  window.Unload();
  if (owner && IsWindow(owner)) SetActiveWindow(owner);
}

int SystemModalUi::ShowPopupMenu(HMENU menu, HWND owner, POINT screenPosition) {
  SetForegroundWindow(owner);
  const int chosen = static_cast<int>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                     screenPosition.x, screenPosition.y, 0, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  return chosen;
}

ModalUi& Modal() { return *Current(); }

ScopedModalUi::ScopedModalUi(ModalUi& ui) : previous_(Current()) { Current() = &ui; }

ScopedModalUi::~ScopedModalUi() { Current() = previous_; }

int ShowMessage(std::wstring_view text, UINT style, std::wstring_view title) {
  MessageBoxArgs args;
  args.owner = GetActiveWindow();
  args.text = text;
  args.title = title;
  args.style = style;
  return Modal().ShowMessage(args);
}

}  // namespace nb
