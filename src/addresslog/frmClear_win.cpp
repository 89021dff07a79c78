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
// The IPv6 log's check box takes a row of its own under the options; the buttons move down by it.
constexpr int kLog6RowHeight = 420;

FileDialogArgs BackupDialog(const wchar_t* title, const wchar_t* fileName) {
  FileDialogArgs args;
  args.title = title;
  args.fileName = fileName;
  args.defaultExt = L"txt";
  args.overwritePrompt = true;
  return args;
}

}  // namespace

FrmClear::FrmClear(std::function<void()> updateLog, std::function<std::wstring()> logPath,
                   std::function<std::wstring()> log6Path)
    : updateLog_(std::move(updateLog)), logPath_(std::move(logPath)), log6Path_(std::move(log6Path)) {}

FrmClear::LogFile FrmClear::AddressLog() {
  return {logPath_ ? logPath_() : LogPath(), kLogClearedText, kLogClearedSavedText, &CommonDialog1};
}

FrmClear::LogFile FrmClear::Ipv6Log() {
  return {log6Path_ ? log6Path_() : Log6Path(), kLog6ClearedText, kLog6ClearedSavedText, &CommonDialog6};
}

void FrmClear::Load(HWND owner) {
  const bool offerLog6 = fileexists(Ipv6Log().path);
  const int below = offerLog6 ? kLog6RowHeight : 0;
  CreateFrame({kClassName, L"Clear the log", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
               WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, owner, nullptr, kClientWidth, kClientHeight + below});
  // Tab order follows the tables; the two options form one group.
  CreateControls({
      {&fraOptions, L"BUTTON", L"Clear the address log", WS_VISIBLE | BS_GROUPBOX, idFraOptions, {120, 75, 3960, 1110}},
      {&optClearNoBackup, L"BUTTON", L"Clear it &without a backup", WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON,
       idOptClearNoBackup, {300, 375, 3600, 285}},
      {&optClearPlusBackup, L"BUTTON", L"Clear it, but &save a backup copy first", WS_VISIBLE | BS_AUTORADIOBUTTON,
       idOptClearPlusBackup, {300, 735, 3600, 285}},
  });
  if (offerLog6) {
    CreateControls({{&chkClearLog6, L"BUTTON", L"Also clear the &IPv6 log",
                     WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX, idChkClearLog6, {300, 1275, 3600, 285}}});
    chkClearLog6.SetValue(BST_CHECKED);
  }
  CreateControls({
      {&cmdProceed, L"BUTTON", L"&Proceed", WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, idCmdProceed,
       {720, 1365 + below, 1215, 375}},
      {&cmdCancel, L"BUTTON", L"Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, idCmdCancel,
       {2265, 1365 + below, 1215, 375}},
      {&HDDNlabel, L"STATIC", L"HDDNlabel", WS_GROUP | SS_NOPREFIX, idHDDNlabel, {120, 1785 + below, 1215, 195}},
  });
  optClearPlusBackup.SetValue(BST_CHECKED);
  KeepTabStopOnSelectedOption();
  SetDefaultButtonId(idCmdProceed);

  CommonDialog1 = BackupDialog(L"Backup old log ", L"Netbeacon_log_OLD.txt");
  CommonDialog6 = BackupDialog(L"Backup old IPv6 log", L"Netbeacon-IPv6_log_OLD.txt");

  CentreOver(owner);
}

bool FrmClear::Log6Ticked() const { return chkClearLog6.hwnd && chkClearLog6.Value() == BST_CHECKED; }

void FrmClear::cmdProceed_Click() {
  if (optClearNoBackup.Value() == BST_CHECKED) {
    HDDNlabel.SetText(kShowMsgBoxFlag);
    killLOGFILE();
    if (Log6Ticked()) KillLog(Ipv6Log());
  } else if (optClearPlusBackup.Value() == BST_CHECKED) {
    HDDNlabel.SetText(kDoNotShowMsgBoxFlag);
    backupLOGFILE();
    if (Log6Ticked()) BackupLog(Ipv6Log());
  } else {
    return;
  }
  // Whatever became of the log, the main window starts or updates it now.
  if (updateLog_) updateLog_();
  EndModal();
}

void FrmClear::cmdCancel_Click() { EndModal(); }

bool FrmClear::killLOGFILE() { return KillLog(AddressLog()); }

void FrmClear::backupLOGFILE() { BackupLog(AddressLog()); }

bool FrmClear::KillLog(const LogFile& log) {
  return ReportTrap(kKillLogProcedureLabel, [&] {
    const std::wstring& path = log.path;
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
    if (HDDNlabel.Text() == kShowMsgBoxFlag) ShowMessage(log.clearedText, MB_OK | MB_ICONINFORMATION, kClearDoneTitle);
  });
}

void FrmClear::BackupLog(const LogFile& log) {
  // A cancel or any failure up to the copy ends here, silently, with the log untouched.
  const bool copied = SkipTrap(L"frmClear - backupLOGFILE", [&] {
    FileDialogArgs args = *log.dialog;
    args.owner = hwnd();
    const std::optional<std::wstring> chosen = Modal().SaveFileName(args);
    if (!chosen || chosen->empty()) throw AppError(errnum::kCancel, L"Cancel was selected.");
    log.dialog->fileName = *chosen;
    const std::wstring target = WithDefaultExtension(*chosen, log.dialog->defaultExt);
    // A copy onto the log itself fails (the log is open for reading), so the log is never lost.
    if (!CopyFileW(log.path.c_str(), target.c_str(), FALSE)) {
      throw FileOperationError(GetLastError(), L"Cannot copy", log.path);
    }
  });
  // Only a log that is really gone is reported cleared.
  if (!copied || !KillLog(log)) return;
  ShowMessage(log.clearedSavedText, MB_OK | MB_ICONINFORMATION, kClearDoneTitle);
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
