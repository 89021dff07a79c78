// An address leaves the window: copied to the clipboard, saved to a text file or mailed, after which
// the auto-quit option may end the program.
#include <windows.h>

#include <string>

#include "base/file_io_win.h"
#include "base/skip_trap_win.h"
#include "base/text_win.h"
#include "mail/frmSendmail_win.h"
#include "mainwindow/frmMain_win.h"
#include "ui/clipboard_win.h"

namespace nb {
namespace {

// Creates or replaces the file with the text and CR LF, in the ANSI code page.
void WriteAddressFile(const std::wstring& path, std::wstring_view text) {
  WriteWholeFile(path, ToAnsi(text) + "\r\n", {L"Cannot create", L"Cannot write to"});
}

// The procedure label of the handler that acts on the label: its LAN or its public twin.
const wchar_t* HandlerLabel(const FrmMain& window, const Control& label, const wchar_t* lan, const wchar_t* wan) {
  return &label == &window.lblLANip ? lan : wan;
}

}  // namespace

void FrmMain::CopyToClipboard(const Control& label) {
  PutOnClipboard(hwnd(), label.Text());
  if (chkAutoQuit.Value() != BST_CHECKED) {
    const wchar_t* handler =
        HandlerLabel(*this, label, L"frmMain menuCopyLANtoClipboard_Click", L"frmMain menuCopyWANtoClipboard_Click");
    SkipTrap(handler, [&] { cmdPREFS.Focus(); });
  } else if (!userCommandIssued) {
    Close();
  }
}

void FrmMain::SaveToFile(const Control& label) {
  // A cancel, or any failure to write the file, ends the save silently.
  const auto save = [&] {
    saveDialog_.owner = hwnd();
    const auto chosen = Modal().SaveFileName(saveDialog_);
    if (!chosen) throw AppError(errnum::kCancel, L"Cancel was selected.");
    saveDialog_.fileName = *chosen;
    WriteAddressFile(*chosen, label.Text());
  };
  const bool saved =
      SkipTrap(HandlerLabel(*this, label, L"frmMain menuSaveLANas_Click", L"frmMain menuSaveWANas_Click"), save);
  if (saved && chkAutoQuit.Value() == BST_CHECKED) Close();
}

// The hidden label tells the mail window which address to mail. Like the windows of the menu bar,
// the mail window has no owner.
void FrmMain::SendByMail(const wchar_t* flag) {
  lblHDDNLANmail.SetText(flag);
  FrmSendmail mail({lblHDDNLANmail, lblLANip, lblWANip});
  Modal().ShowModal(mail, nullptr);
  if (chkAutoQuit.Value() == BST_CHECKED) Close();
}

}  // namespace nb
