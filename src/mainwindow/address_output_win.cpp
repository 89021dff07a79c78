// An address leaves the window: copied to the clipboard, saved to a text file or mailed, after which
// the auto-quit option may end the program. Each takes the address from the window's value.
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

}  // namespace

void FrmMain::menuCopyLANtoClipboard_Click() {
  CopyToClipboard(addresses_.LanText(), L"frmMain menuCopyLANtoClipboard_Click");
}
void FrmMain::menuCopyWANtoClipboard_Click() {
  CopyToClipboard(addresses_.WanText(), L"frmMain menuCopyWANtoClipboard_Click");
}
void FrmMain::menuSaveLANas_Click() { SaveToFile(addresses_.LanText(), L"frmMain menuSaveLANas_Click"); }
void FrmMain::menuSaveWANas_Click() { SaveToFile(addresses_.WanText(), L"frmMain menuSaveWANas_Click"); }
void FrmMain::menuSendLANemail_Click() { SendByMail(kMailLanFlag, addresses_.LanText()); }
void FrmMain::menuSendWANemail_Click() { SendByMail(kMailWanFlag, addresses_.WanText()); }

void FrmMain::CopyToClipboard(const std::wstring& text, const wchar_t* handlerLabel) {
  PutOnClipboard(hwnd(), text);
  if (chkAutoQuit.Value() != BST_CHECKED) {
    SkipTrap(handlerLabel, [&] { cmdPREFS.Focus(); });
  } else if (!userCommandIssued) {
    Close();
  }
}

void FrmMain::SaveToFile(const std::wstring& text, const wchar_t* handlerLabel) {
  // A cancel, or any failure to write the file, ends the save silently.
  const auto save = [&] {
    saveDialog_.owner = hwnd();
    const auto chosen = Modal().SaveFileName(saveDialog_);
    if (!chosen) throw AppError(errnum::kCancel, L"Cancel was selected.");
    saveDialog_.fileName = *chosen;
    WriteAddressFile(*chosen, text);
  };
  if (SkipTrap(handlerLabel, save) && chkAutoQuit.Value() == BST_CHECKED) Close();
}

// The hidden label shows which address goes; the mail window is given the address itself. Like
// the windows of the menu bar, the mail window has no owner.
void FrmMain::SendByMail(const wchar_t* flag, const std::wstring& address) {
  lblHDDNLANmail.SetText(flag);
  FrmSendmail mail(address);
  Modal().ShowModal(mail, nullptr);
  if (chkAutoQuit.Value() == BST_CHECKED) Close();
}

}  // namespace nb
