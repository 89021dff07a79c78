#include "addresslog/frmClear_win.h"

#include "addresslog/log_view_text.h"
#include "addresslog/log_viewer_win.h"
#include "addresslog/log_writer_win.h"
#include "base/app_error.h"
#include "base/skip_trap_win.h"
#include "base/system_error_win.h"
#include "ui/error_report_win.h"

namespace nb {
namespace {

constexpr int kClientWidth = 4200;  // twips
constexpr int kClientHeight = 1905;

}  // namespace

FrmClear::FrmClear(std::function<void()> updateLog, std::function<std::wstring()> logPath)
    : updateLog_(std::move(updateLog)), logPath_(std::move(logPath)) {}

std::wstring FrmClear::LogFilePath() const { return logPath_ ? logPath_() : LogPath(); }

void FrmClear::Load(HWND owner) {
  CreateFrame({kClassName, L"Clear the log", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
               WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, owner, nullptr, kClientWidth, kClientHeight});
  // Tab order follows the table; the two options form one group.
  CreateControls({
      {&fraOptions, L"BUTTON", L"Clear the address log", WS_VISIBLE | BS_GROUPBOX, idFraOptions, {120, 75, 3960, 1110}},
      {&optClearNoBackup, L"BUTTON", L"Clear it &without a backup", WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON,
       idOptClearNoBackup, {300, 375, 3600, 285}},
      {&optClearPlusBackup, L"BUTTON", L"Clear it, but &save a backup copy first", WS_VISIBLE | BS_AUTORADIOBUTTON,
       idOptClearPlusBackup, {300, 735, 3600, 285}},
      {&cmdProceed, L"BUTTON", L"&Proceed", WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, idCmdProceed,
       {720, 1365, 1215, 375}},
      {&cmdCancel, L"BUTTON", L"Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, idCmdCancel,
       {2265, 1365, 1215, 375}},
      {&HDDNlabel, L"STATIC", L"HDDNlabel", WS_GROUP | SS_NOPREFIX, idHDDNlabel, {120, 1785, 1215, 195}},
  });
  optClearPlusBackup.SetValue(BST_CHECKED);
  KeepTabStopOnSelectedOption();
  SetDefaultButtonId(idCmdProceed);

  CommonDialog1 = FileDialogArgs{};
  CommonDialog1.title = L"Backup old log ";
  CommonDialog1.fileName = L"Netbeacon_log_OLD.txt";
  CommonDialog1.defaultExt = L"txt";
  CommonDialog1.overwritePrompt = true;

  CentreOver(owner);
}

void FrmClear::cmdProceed_Click() {
  if (optClearNoBackup.Value() == BST_CHECKED) {
    HDDNlabel.SetText(kShowMsgBoxFlag);
    killLOGFILE();
  } else if (optClearPlusBackup.Value() == BST_CHECKED) {
    HDDNlabel.SetText(kDoNotShowMsgBoxFlag);
    backupLOGFILE();
  } else {
    return;
  }
  // Whatever became of the log, the main window starts or updates it now.
  if (updateLog_) updateLog_();
  EndModal();
}

void FrmClear::cmdCancel_Click() { EndModal(); }

bool FrmClear::killLOGFILE() {
  return ReportTrap(kKillLogProcedureLabel, [&] {
    const std::wstring path = LogFilePath();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) throw FileOperationError(GetLastError(), L"Cannot find", path);
    // A read-only log is deleted all the same, whatever other attributes it carries.
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL)) {
      throw FileOperationError(GetLastError(), L"Cannot change the attributes of", path);
    }
    if (!DeleteFileW(path.c_str())) {
      const DWORD code = GetLastError();
      if (readOnly) SetFileAttributesW(path.c_str(), attributes);
      throw FileOperationError(code, L"Cannot delete", path);
    }
    if (HDDNlabel.Text() == kShowMsgBoxFlag) ShowMessage(kLogClearedText, MB_OK | MB_ICONINFORMATION, kClearDoneTitle);
  });
}

void FrmClear::backupLOGFILE() {
  // A cancel or any failure up to the copy ends here, silently, with the log untouched.
  const bool copied = SkipTrap(L"frmClear - backupLOGFILE", [&] {
    const std::wstring path = LogFilePath();
    FileDialogArgs args = CommonDialog1;
    args.owner = hwnd();
    const std::optional<std::wstring> chosen = Modal().SaveFileName(args);
    if (!chosen || chosen->empty()) throw AppError(errnum::kCancel, L"Cancel was selected.");
    CommonDialog1.fileName = *chosen;
    const std::wstring target = WithDefaultExtension(*chosen, CommonDialog1.defaultExt);
    // A copy onto the log itself fails (the log is open for reading), so the log is never lost.
    if (!CopyFileW(path.c_str(), target.c_str(), FALSE)) throw FileOperationError(GetLastError(), L"Cannot copy", path);
  });
  // Only a log that is really gone is reported cleared.
  if (!copied || !killLOGFILE()) return;
  ShowMessage(kLogClearedSavedText, MB_OK | MB_ICONINFORMATION, kClearDoneTitle);
}

void FrmClear::SetDefaultButton(int id) {
  SetDefaultButtonId(id);
  SendMessageW(cmdProceed.hwnd, BM_SETSTYLE, id == idCmdProceed ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  SendMessageW(cmdCancel.hwnd, BM_SETSTYLE, (id == idCmdCancel ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_NOTIFY, TRUE);
}

// Tab reaches the option group through its selected option only; the arrows move within it.
void FrmClear::KeepTabStopOnSelectedOption() const {
  for (const CheckBox* option : {&optClearNoBackup, &optClearPlusBackup}) {
    LONG_PTR style = GetWindowLongPtrW(option->hwnd, GWL_STYLE);
    style = option->Value() == BST_CHECKED ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    SetWindowLongPtrW(option->hwnd, GWL_STYLE, style);
  }
}

HWND FrmClear::InitialFocus() const {
  return optClearNoBackup.Value() == BST_CHECKED ? optClearNoBackup.hwnd : optClearPlusBackup.hwnd;
}

void FrmClear::OnCommand(int id, int code) {
  switch (id) {
    case idCmdProceed:
      if (code == BN_CLICKED) cmdProceed_Click();
      break;
    case idCmdCancel:
      // Esc arrives as IDCANCEL too. A focused Cancel button is the one that Enter presses.
      if (code == BN_CLICKED) {
        cmdCancel_Click();
      } else if (code == BN_SETFOCUS) {
        SetDefaultButton(idCmdCancel);
      } else if (code == BN_KILLFOCUS) {
        SetDefaultButton(idCmdProceed);
      }
      break;
    case idOptClearNoBackup:
    case idOptClearPlusBackup:
      if (code == BN_CLICKED) KeepTabStopOnSelectedOption();
      break;
    default:
      break;
  }
}

}  // namespace nb
