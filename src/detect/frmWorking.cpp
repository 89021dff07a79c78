#include "detect/frmWorking.h"

#include "res/resource_ids.h"
#include "ui/app_error.h"

namespace nb {
namespace {

constexpr int kClientWidth = 3960;  // twips
constexpr int kClientHeight = 1440;

}  // namespace

void FrmWorking::Load(HWND owner) {
  CreateArgs args{kClassName, kProgramName};
  args.style = WS_POPUP | WS_CAPTION | WS_BORDER;
  args.exStyle = WS_EX_TOOLWINDOW;
  args.owner = owner;
  args.clientWidthTwips = kClientWidth;
  args.clientHeightTwips = kClientHeight;
  CreateFrame(args);

  Image1.id = idImage1;
  Image1.hwnd = CreateChild(hwnd(), L"STATIC", L"", WS_VISIBLE | SS_ICON | SS_REALSIZECONTROL, idImage1);
  HICON icon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_NETBEACON), IMAGE_ICON, 32, 32, LR_SHARED));
  SendMessageW(Image1.hwnd, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  lblName.id = idLblName;
  lblName.hwnd = CreateChild(hwnd(), L"STATIC", kProgramName, WS_VISIBLE | SS_NOPREFIX, idLblName);
  lblTrying.id = idLblTrying;
  lblTrying.hwnd = CreateChild(hwnd(), L"STATIC", L"...", WS_VISIBLE | SS_NOPREFIX | SS_ENDELLIPSIS, idLblTrying);
  lblInfo.id = idLblInfo;
  lblInfo.hwnd = CreateChild(hwnd(), L"STATIC", kPleaseWaitNotice, WS_VISIBLE | SS_NOPREFIX, idLblInfo);
  Layout();

  CentreOver(owner);
}

void FrmWorking::Layout() {
  font_ = MakeFont(L"MS Sans Serif", 8.25, false, Dpi());
  boldFont_ = MakeFont(L"MS Sans Serif", 8.25, true, Dpi());
  const Placement placements[] = {
      {Image1.hwnd, {120, 120, 480, 480}},
      {lblName.hwnd, {720, 120, 3120, 255}},
      {lblTrying.hwnd, {720, 405, 3120, 255}},
      {lblInfo.hwnd, {120, 780, 3720, 540}},
  };
  Place(placements);
  lblName.SetFont(boldFont_.get());
  lblTrying.SetFont(font_.get());
  lblInfo.SetFont(font_.get());
}

void FrmWorking::OnDpiChanged() {
  SizeClient(kClientWidth, kClientHeight);
  Layout();
}

void FrmWorking::Show() {
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
