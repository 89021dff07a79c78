// The test stand-in for modal UI: records every message box and file dialog the program would
// show, answers them from scripts, and lets a test act on modal windows while they are shown.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/modal_win.h"

namespace nbtest {

class ScriptedModalUi : public nb::ModalUi {
 public:
  ScriptedModalUi() : scope_(*this) {}

  int ShowMessage(const nb::MessageBoxArgs& args) override;
  std::optional<std::wstring> SaveFileName(const nb::FileDialogArgs& args) override;
  std::optional<std::wstring> OpenFileName(const nb::FileDialogArgs& args) override;
  void ShowModal(nb::ModalWindow& window, HWND owner) override;
  int ShowPopupMenu(HMENU menu, HWND owner, POINT screenPosition) override;

  // What was shown, in order.
  std::vector<nb::MessageBoxArgs> messages;
  std::vector<nb::FileDialogArgs> saveDialogs;
  std::vector<nb::FileDialogArgs> openDialogs;
  std::vector<std::wstring> modalCaptions;
  std::vector<HWND> modalOwners;

  // Answers, taken from the front; when empty: IDOK, and a cancelled dialog.
  std::deque<int> messageAnswers;
  std::deque<std::optional<std::wstring>> saveAnswers;
  std::deque<std::optional<std::wstring>> openAnswers;
  // Acts on a modal window while it is shown; the window is unloaded afterwards.
  std::function<void(nb::ModalWindow&)> onModal;

  // Popup menus shown: the texts of their entries ("-" for a separator, "(grey)" appended to a
  // disabled entry), and the command to choose (0: the menu is dismissed).
  std::vector<std::vector<std::wstring>> popups;
  std::deque<int> popupChoices;

 private:
  nb::ScopedModalUi scope_;
};

// Processes the messages that are waiting (for instance after a PostMessage).
void PumpMessages();
// Processes messages as they come until the condition holds (true) or the bound has passed
// (false): for a window whose work comes back from a worker.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 20000);

// A scratch folder for one test, removed with everything in it when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  // With a trailing backslash.
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);

}  // namespace nbtest
