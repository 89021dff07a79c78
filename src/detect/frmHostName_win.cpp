#include "detect/frmHostName_win.h"

#include "base/app_error.h"

namespace nb {
namespace {

constexpr int kClientWidth = 4200;  // twips
constexpr int kClientHeight = 1320;

}  // namespace

void FrmHostName::Load(HWND owner) {
  CreateFrame({kClassName, kProgramName, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME, owner,
               nullptr, kClientWidth, kClientHeight});
  CreateControls({
      {&lblInfo, L"STATIC", kProgramName, WS_VISIBLE | SS_CENTER | SS_NOPREFIX, idLblInfo, {120, 180, kClientWidth - 240, 420}},
      {&cmdOK, L"BUTTON", L"OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, idCmdOK,
       {(kClientWidth - 1215) / 2, 765, 1215, 375}},
  });
  CentreOver(owner);
  // Loaded with its design-time texts, then given the caller's.
  SetWindowTextW(hwnd(), caption_.c_str());
  lblInfo.SetText(name_);
}

void FrmHostName::cmdOK_Click() { EndModal(); }

void FrmHostName::OnCommand(int id, int) {
  if (id == idCmdOK || id == IDCANCEL) cmdOK_Click();
}

}  // namespace nb
