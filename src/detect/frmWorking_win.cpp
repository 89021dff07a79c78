#include "detect/frmWorking_win.h"

#include "base/app_error.h"
#include "res/resource_ids.h"

namespace nb {
namespace {

constexpr int kClientWidth = 3960;  // twips
constexpr int kClientHeight = 1440;

}  // namespace

void FrmWorking::Load(HWND owner) {
  CreateFrame({kClassName, kProgramName, WS_POPUP | WS_CAPTION | WS_BORDER, WS_EX_TOOLWINDOW, owner, nullptr,
               kClientWidth, kClientHeight});
  CreateControls({
      {&Image1, L"STATIC", L"", WS_VISIBLE | SS_ICON | SS_REALSIZECONTROL, idImage1, {120, 120, 480, 480}},
      {&lblName, L"STATIC", kProgramName, WS_VISIBLE | SS_NOPREFIX, idLblName, {720, 120, 3120, 255}, kBoldFont},
      {&lblTrying, L"STATIC", L"...", WS_VISIBLE | SS_NOPREFIX | SS_ENDELLIPSIS, idLblTrying, {720, 405, 3120, 255}},
      {&lblInfo, L"STATIC", kPleaseWaitNotice, WS_VISIBLE | SS_NOPREFIX, idLblInfo, {120, 780, 3720, 540}},
  });
  HICON icon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_NETBEACON), IMAGE_ICON, 32, 32, LR_SHARED));
  SendMessageW(Image1.hwnd, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

// Centred over its owner each time, wherever the owner has moved since.
void FrmWorking::Show() {
  CentreOver(GetWindow(hwnd(), GW_OWNER));
  ShowWindow(hwnd(), SW_SHOWNA);
  Repaint();
}

void FrmWorking::Hide() {
  if (hwnd()) ShowWindow(hwnd(), SW_HIDE);
}

void FrmWorking::SetTrying(std::wstring_view text) {
  lblTrying.SetText(text);
  UpdateWindow(lblTrying.hwnd);
}

void FrmWorking::Repaint() const {
  if (!hwnd()) return;
  RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool FrmWorking::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
  // The user cannot close it while it is shown: it goes away when the query is done.
  if (msg == WM_CLOSE && Visible()) {
    result = 0;
    return true;
  }
  return false;
}

}  // namespace nb
