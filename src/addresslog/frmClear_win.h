// The log clearing dialog: clears the address log outright or after saving a copy of it, then lets
// the main window start the log afresh. When the IPv6 log exists, it offers to do the same with it.
#pragma once

#include <functional>
#include <string>

#include "ui/controls_win.h"
#include "ui/modal_win.h"

namespace nb {

// Flags carried in HDDNlabel's caption: who confirms the deletion.
inline constexpr wchar_t kShowMsgBoxFlag[] = L"showMSGBOX";
inline constexpr wchar_t kDoNotShowMsgBoxFlag[] = L"donotshowMSGBOX";

inline constexpr wchar_t kClearDoneTitle[] = L"Done!";
inline constexpr wchar_t kLogClearedText[] = L"The Netbeacon log file is cleared.";
inline constexpr wchar_t kLogClearedSavedText[] = L"The Netbeacon log file is cleared, old file saved.";
inline constexpr wchar_t kLog6ClearedText[] = L"The Netbeacon IPv6 log file is cleared.";
inline constexpr wchar_t kLog6ClearedSavedText[] = L"The Netbeacon IPv6 log file is cleared, old file saved.";
inline constexpr wchar_t kKillLogProcedureLabel[] = L"frmClear - killLOGFILE";

class FrmClear : public ModalWindow {
 public:
  static constexpr wchar_t kClassName[] = L"Netbeacon.frmClear";
  enum : int {
    idFraOptions = 101,
    idOptClearNoBackup = 102,
    idOptClearPlusBackup = 103,
    idCmdProceed = 104,
    idCmdCancel = IDCANCEL,
    idHDDNlabel = 105,
    idChkClearLog6 = 106,
  };

  // `updateLog` is the main window's updateLOG, run after every clearing; `logPath` and `log6Path`
  // give the address log's and the IPv6 log's paths each time they are needed (the data folder's
  // logs unless given).
  explicit FrmClear(std::function<void()> updateLog, std::function<std::wstring()> logPath = {},
                    std::function<std::wstring()> log6Path = {});

  void Load(HWND owner) override;

  // Controls, by name.
  Control fraOptions;
  CheckBox optClearNoBackup;
  CheckBox optClearPlusBackup;
  // Created only when the IPv6 log exists as the dialog opens; ticked at first.
  CheckBox chkClearLog6;
  Button cmdProceed;
  Button cmdCancel;
  Control HDDNlabel;
  // The save dialogs for the backup copies of the address log and of the IPv6 log, set up at load.
  FileDialogArgs CommonDialog1;
  FileDialogArgs CommonDialog6;

  // The chosen option on the address log, then, when chkClearLog6 is ticked, on the IPv6 log.
  void cmdProceed_Click();
  void cmdCancel_Click();
  // Deletes the log (clearing a read-only attribute first) and confirms it when HDDNlabel asks for
  // it. A failure shows the error report labelled "frmClear - killLOGFILE". True when deleted.
  bool killLOGFILE();
  // Lets the user save a copy of the log, then deletes it. A cancel or a failed copy ends it silently
  // with the log untouched.
  void backupLOGFILE();

 protected:
  void OnCommand(int id, int code) override;
  // At first the selected option.
  HWND InitialFocus() const override;

 private:
  // One log as the clearing procedures see it.
  struct LogFile {
    std::wstring path;
    const wchar_t* clearedText;
    const wchar_t* clearedSavedText;
    FileDialogArgs* dialog;
  };
  LogFile AddressLog();
  LogFile Ipv6Log();
  bool KillLog(const LogFile& log);
  void BackupLog(const LogFile& log);
  bool Log6Ticked() const;
  void SetDefaultButton(int id);
  void KeepTabStopOnSelectedOption() const;

  std::function<void()> updateLog_;
  std::function<std::wstring()> logPath_;
  std::function<std::wstring()> log6Path_;
};

}  // namespace nb
