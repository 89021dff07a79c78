#include "detect/frmHostName.h"

#include "ui/app_error.h"


namespace nb {
namespace {

constexpr int kClientWidth = 4200;  // twips
constexpr int kClientHeight = 1320;

}  // namespace

void FrmHostName::Load(HWND owner) {
  CreateArgs args{kClassName, kProgramName};
  args.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  args.exStyle = WS_EX_DLGMODALFRAME;
  args.owner = owner;
  args.clientWidthTwips = kClientWidth;
  args.clientHeightTwips = kClientHeight;
  CreateFrame(args);

  lblInfo.id = idLblInfo;
  lblInfo.hwnd = CreateChild(hwnd(), L"STATIC", kProgramName, WS_VISIBLE | SS_CENTER | SS_NOPREFIX, idLblInfo);
  cmdOK.id = idCmdOK;
  cmdOK.hwnd = CreateChild(hwnd(), L"BUTTON", L"OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, idCmdOK);
  Layout();

  CentreOver(owner);
  // Loaded with its design-time texts, then given the caller's.
  SetWindowTextW(hwnd(), caption_.c_str());
  lblInfo.SetText(name_);
}

void FrmHostName::Layout() {
  font_ = MakeFont(L"MS Sans Serif", 8.25, false, Dpi());
  const Placement placements[] = {
      {lblInfo.hwnd, {120, 180, kClientWidth - 240, 420}},
      {cmdOK.hwnd, {(kClientWidth - 1215) / 2, 765, 1215, 375}},
  };
  Place(placements);
  lblInfo.SetFont(font_.get());
  cmdOK.SetFont(font_.get());
}

void FrmHostName::OnDpiChanged() {
  SizeClient(kClientWidth, kClientHeight);
  Layout();
}

void FrmHostName::cmdOK_Click() { EndModal(); }

bool FrmHostName::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_COMMAND && (LOWORD(wParam) == idCmdOK || LOWORD(wParam) == IDCANCEL)) {
    cmdOK_Click();
    return true;
  }
  return ModalWindow::OnMessage(msg, wParam, lParam, result);
}

}  // namespace nb
