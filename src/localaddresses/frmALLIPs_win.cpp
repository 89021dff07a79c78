#include "localaddresses/frmALLIPs_win.h"

#include "base/skip_trap_win.h"
#include "detect/public_address_win.h"
#include "localaddresses/address_list.h"
#include "localaddresses/local_ips_win.h"
#include "netconfig/frmIPconfig_win.h"
#include "settings/colour_scheme_win.h"
#include "ui/clipboard_win.h"
#include "ui/error_report_win.h"

namespace nb {
namespace {

constexpr int kClientWidth = 2370;  // twips
constexpr int kClientHeight = 3210;

constexpr wchar_t kCopyTip[] = L"Copies the selected addresses to the clipboard";

}  // namespace

std::wstring GetPublicIP() {
  const ServiceSettings settings = LoadServiceSettings();
  const ServiceAnswer answer = GetPublicIPFrom(settings.services[0], settings);
  if (answer.error) ReportError(*answer.error, settings.services[0].reportLabel);
  return answer.result;
}

FrmALLIPs::FrmALLIPs(MainWindowParts main, std::function<std::vector<std::wstring>()> localIPs,
                     std::function<std::wstring()> fetchPublic)
    : main_(std::move(main)),
      localIPs_(localIPs ? std::move(localIPs) : [] { return GetLocalIPs(); }),
      fetchPublic_(std::move(fetchPublic)) {}

void FrmALLIPs::Load(HWND owner) {
  // A fixed-size tool window: no sizing border, no minimise or maximise box.
  CreateFrame({kClassName, L"All (Local) IP's", WS_POPUP | WS_CAPTION | WS_SYSMENU,
               WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT, owner, nullptr, kClientWidth, kClientHeight});
  constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;
  // All controls share one left edge and width, stacked top to bottom.
  const auto at = [](int top, int height) { return TwipsRect{90, top, 2190, height}; };
  CreateControls({
      {&Label1, L"STATIC", L"Nr of IP addresses:", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, idLabel1,
       at(105, 240)},
      {&List1, L"LISTBOX", L"", kTab | WS_VSCROLL | LBS_NOTIFY | LBS_MULTIPLESEL | LBS_NOINTEGRALHEIGHT, idList1,
       at(420, 1230), kBoldFont, WS_EX_CLIENTEDGE},
      {&cmdCopyToClipBoard, L"BUTTON", L"&Copy to clipboard", kTab | WS_DISABLED, idCmdCopyToClipBoard,
       at(1770, 360)},
      {&cmdIPInfo, L"BUTTON", L"More &info (IPconfig)", kTab, idCmdIPInfo, at(2160, 360)},
      {&cmdOK, L"BUTTON", L"OK", kTab | BS_DEFPUSHBUTTON, idCmdOK, at(2655, 360)},
  });
  SetDefaultButtonId(idCmdOK);
  toolTips_.Create(hwnd(), {cmdCopyToClipBoard.hwnd});
  toolTips_.SetText(cmdCopyToClipBoard.hwnd, kCopyTip);
  listColours_.Set(kGreen, kBlack);
  CentreOver(owner ? owner : main_.window);
  Form_Load();
}

void FrmALLIPs::Form_Load() {
  SkipTrap(kAllIPsLoadErrorLabel, [&] {
    const ColourScheme scheme = StoredColourScheme();
    listColours_.Set(scheme.text, scheme.back);
    InvalidateRect(List1.hwnd, nullptr, TRUE);
  });
  // From here on an error ends the load with the error report; what was filled in stays.
  try {
    std::vector<std::wstring> table = localIPs_();
    const std::optional<std::wstring> publicResult = main_.publicResult ? main_.publicResult() : std::nullopt;
    const std::vector<std::wstring> entries =
        LocalAddressList(std::move(table), publicResult ? *publicResult : FetchPublicShowingProgress());
    for (const std::wstring& entry : entries) List1.Add(entry);
    Label1.SetText(AddressCountLine(entries.size()));
    UpdateCopyButton();
  } catch (...) {
    const AppError error = CurrentError();
    ReportError(error, kAllIPsLoadErrorLabel, AllIPsLoadErrorHint(error.number));
  }
}

std::wstring FrmALLIPs::FetchPublicShowingProgress() {
  FrmWorking* working = main_.working;
  if (working) {
    if (!working->IsOpen()) working->Load(main_.window);
    if (!working->Visible()) working->Show();
    working->Repaint();
  }
  const std::wstring result = fetchPublic_ ? fetchPublic_() : std::wstring(kAccessError);
  if (working) working->Hide();
  return result;
}

void FrmALLIPs::UpdateCopyButton() { cmdCopyToClipBoard.Enable(List1.SelectedCount() > 0); }

void FrmALLIPs::List1_Click() { UpdateCopyButton(); }

void FrmALLIPs::cmdCopyToClipBoard_Click() {
  const bool copied = ReportTrap(kAllIPsCopyErrorLabel, [&] {
    std::vector<std::wstring> entries;
    std::vector<bool> selected;
    for (int i = 0; i < List1.Count(); ++i) {
      entries.push_back(List1.Item(i));
      selected.push_back(List1.Selected(i));
    }
    PutOnClipboard(hwnd(), CopiedAddressText(entries, selected));
  });
  if (copied) SkipTrap(kAllIPsCopyErrorLabel, [&] { cmdOK.Focus(); });
}

void FrmALLIPs::cmdIPInfo_Click() {
  FrmIPconfig viewer;
  Modal().ShowModal(viewer, hwnd());
  SkipTrap(L"frmALLIPs cmdIPInfo_Click", [&] { cmdOK.Focus(); });
}

void FrmALLIPs::cmdOK_Click() { EndModal(); }

void FrmALLIPs::OnCommand(int id, int code) {
  switch (id) {
    case idList1:
      if (code == LBN_SELCHANGE) List1_Click();
      break;
    case idCmdCopyToClipBoard:
      if (code == BN_CLICKED) cmdCopyToClipBoard_Click();
      break;
    case idCmdIPInfo:
      if (code == BN_CLICKED) cmdIPInfo_Click();
      break;
    case idCmdOK:
    case IDCANCEL:
      if (code == BN_CLICKED) cmdOK_Click();
      break;
    default:
      break;
  }
}

bool FrmALLIPs::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_CTLCOLORLISTBOX && reinterpret_cast<HWND>(lParam) == List1.hwnd) {
    result = listColours_.Paint(reinterpret_cast<HDC>(wParam));
    return true;
  }
  return ModalWindow::OnMessage(msg, wParam, lParam, result);
}

}  // namespace nb
