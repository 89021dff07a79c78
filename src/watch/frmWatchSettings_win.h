// The watch settings window: how often watch mode checks, whether a change of the public address
// is mailed, the command run on a change, and whether the program starts with Windows, watching.
// Whether watch is on is the Options menu's business: the window leaves that value as it is.
#pragma once

#include <functional>
#include <optional>

#include "ui/controls_win.h"
#include "ui/modal_win.h"
#include "watch/watch_settings.h"

namespace nb {

class FrmWatchSettings : public ModalWindow {
 public:
  static constexpr wchar_t kClassName[] = L"Netbeacon.frmWatchSettings";
  enum : int {
    idLblInterval = 101,
    idTxtMinutes = 102,
    idUpdMinutes = 103,
    idLblMinutes = 104,
    idChkMail = 105,
    idCmdMailSettings = 106,
    idChkCommand = 107,
    idTxtCommand = 108,
    idLblCommandNote = 109,
    idChkStartWithWindows = 110,
    idCmdOK = IDOK,
    idCmdCancel = IDCANCEL,
  };

  // `openMailSettings` opens the mail window over this one (its handle is given) so that the user
  // can set the sender, recipients and server that the watch mail uses.
  explicit FrmWatchSettings(std::function<void(HWND)> openMailSettings = {});

  void Load(HWND owner) override;

  // Controls, by name.
  Control lblInterval;
  Control txtMinutes;
  Control updMinutes;  // the up-down arrows of txtMinutes
  Control lblMinutes;
  CheckBox chkMail;
  Button cmdMailSettings;
  CheckBox chkCommand;
  Control txtCommand;
  Control lblCommandNote;
  CheckBox chkStartWithWindows;
  Button cmdOK;
  Button cmdCancel;

  // Shows the stored settings and whether the program starts with Windows.
  void Form_Load();
  // The command box is for typing only while the command is on.
  void chkCommand_Click();
  void cmdMailSettings_Click();
  // Refuses an interval that is not a whole number of minutes in range; otherwise stores the
  // settings, writes or removes the Run value and closes.
  void cmdOK_Click();
  void cmdCancel_Click();

  // The settings that OK stored (watch itself as it was read), for the caller to apply; nothing
  // when the window closed without storing.
  const std::optional<WatchSettings>& StoredSettings() const noexcept { return stored_; }

 protected:
  void OnCommand(int id, int code) override;
  HWND InitialFocus() const override { return txtMinutes.hwnd; }

 private:
  void RefuseInterval();

  std::function<void(HWND)> openMailSettings_;
  WatchSettings loaded_;
  std::optional<WatchSettings> stored_;
};

}  // namespace nb
