// The one seam for modal UI: message boxes, file dialogs and modal windows. The program asks
// Modal() for them; tests put their own ModalUi in place and script the answers.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ui/window_win.h"

namespace nb {

struct MessageBoxArgs {
  HWND owner = nullptr;
  std::wstring text;
  std::wstring title;
  UINT style = MB_OK;
};

struct FileDialogArgs {
  HWND owner = nullptr;
  std::wstring title;
  std::wstring fileName;    // proposed name (and, after a choice, the last one chosen)
  std::wstring defaultExt;  // without or with the dot; added to a name typed without one
  // A pattern such as "*.txt", or pairs of description and pattern separated by "|" as in
  // "Text files (*.txt)|*.txt|All files (*.*)|*.*" (blanks around each piece do not count);
  // empty for none.
  std::wstring filter;
  bool overwritePrompt = false;
};

// A window that is shown modally: loaded, shown, and run until it closes.
class ModalWindow : public Window {
 public:
  // Creates the window and its controls, hidden (CreateFrame, then CreateControls).
  virtual void Load(HWND owner) = 0;
  // Ends the modal run (the window is unloaded by whoever showed it).
  void EndModal() noexcept { endRequested_ = true; }
  bool EndRequested() const noexcept { return endRequested_; }
  void ResetEnd() noexcept { endRequested_ = false; }

 protected:
  // Closing a modal window ends its modal run.
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  bool endRequested_ = false;
};

class ModalUi {
 public:
  virtual ~ModalUi() = default;
  // Returns the button pressed (IDOK, IDYES, ...).
  virtual int ShowMessage(const MessageBoxArgs& args) = 0;
  // The chosen path, or nothing when the user cancelled.
  virtual std::optional<std::wstring> SaveFileName(const FileDialogArgs& args) = 0;
  virtual std::optional<std::wstring> OpenFileName(const FileDialogArgs& args) = 0;
  // Loads the window, runs it modally and unloads it when it is done.
  virtual void ShowModal(ModalWindow& window, HWND owner) = 0;
  // Shows a popup menu at a screen position; returns the chosen command, or 0.
  virtual int ShowPopupMenu(HMENU menu, HWND owner, POINT screenPosition) = 0;
};

// The real dialogs and a real modal loop.
class SystemModalUi : public ModalUi {
 public:
  int ShowMessage(const MessageBoxArgs& args) override;
  std::optional<std::wstring> SaveFileName(const FileDialogArgs& args) override;
  std::optional<std::wstring> OpenFileName(const FileDialogArgs& args) override;
  void ShowModal(ModalWindow& window, HWND owner) override;
  int ShowPopupMenu(HMENU menu, HWND owner, POINT screenPosition) override;
};

ModalUi& Modal();

// Puts another ModalUi in place for its lifetime.
class ScopedModalUi {
 public:
  explicit ScopedModalUi(ModalUi& ui);
  ~ScopedModalUi();
  ScopedModalUi(const ScopedModalUi&) = delete;
  ScopedModalUi& operator=(const ScopedModalUi&) = delete;

 private:
  ModalUi* previous_;
};

// A message box with the program's name as title unless one is given.
int ShowMessage(std::wstring_view text, UINT style = MB_OK, std::wstring_view title = L"Netbeacon");

}  // namespace nb
