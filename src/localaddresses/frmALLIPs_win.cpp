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

// The load's report trap (steps from the address table on): the closing line tells of Windows 95
// when the library with the table is missing.
template <typename Fn>
void LoadTrap(Fn&& step) {
  try {
    step();
  } catch (...) {
    const AppError error = CurrentError();
    ReportError(error, kAllIPsLoadErrorLabel, AllIPsLoadErrorHint(error.number));
  }
}

}  // namespace

FrmALLIPs::FrmALLIPs(MainWindowParts main, std::function<std::vector<std::wstring>()> localIPs,
                     PublicFetch fetchPublic)
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
  LoadTrap([&] {
    entries_ = localIPs_();
    for (const std::wstring& entry : entries_) List1.Add(entry);
    const std::optional<std::wstring> publicResult = main_.publicResult ? main_.publicResult() : std::nullopt;
    if (publicResult) {
      AddPublicEntry(*publicResult);
    } else {
      FetchPublic();
    }
  });
}

// The window opens at once with the local addresses; the public entry and the count follow when
// the fetch ends.
void FrmALLIPs::FetchPublic() {
  const ServiceSettings settings = LoadServiceSettings();
  PublicFetch fetch = fetchPublic_ ? fetchPublic_ : [settings](const StopSignal& stop) {
    return GetPublicIPFrom(settings.services[0], settings, &stop);
  };
  if (FrmWorking* working = main_.working) {
    if (!working->IsOpen()) working->Load(main_.window);
    if (!working->Visible()) working->Show();
    working->Repaint();
  }
  try {
    fetch_.Start(
        hwnd(), [fetch = std::move(fetch)](TaskContext<std::monostate>& task) { return fetch(task.Stop()); },
        [this, label = settings.services[0].reportLabel](const ServiceAnswer& answer) { PublicFetched(answer, label); });
  } catch (...) {
    HideProgress();
    throw;
  }
}

void FrmALLIPs::PublicFetched(const ServiceAnswer& answer, const std::wstring& reportLabel) {
  if (answer.error) ReportError(*answer.error, reportLabel);
  HideProgress();
  LoadTrap([&] { AddPublicEntry(answer.result); });
}

void FrmALLIPs::AddPublicEntry(std::wstring_view entry) {
  const std::size_t before = entries_.size();
  AddUnique(entries_, entry);
  if (entries_.size() > before) List1.Add(entries_.back());
  Label1.SetText(AddressCountLine(entries_.size()));
  UpdateCopyButton();
}

void FrmALLIPs::HideProgress() const {
  if (main_.working) main_.working->Hide();
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

void FrmALLIPs::cmdOK_Click() {
  if (MayClose()) EndModal();
}

bool FrmALLIPs::MayClose() {
  if (!fetch_.Running()) return true;
  if (ShowMessage(kStopFetchQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
  // The download ends at its next look at the stop; its result is dropped.
  fetch_.Stop();
  HideProgress();
  return true;
}

// However the window goes, a fetch still running is dropped with it.
void FrmALLIPs::OnDestroy() {
  if (!fetch_.Running()) return;
  fetch_.Stop();
  HideProgress();
}

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
  if (msg == WM_CLOSE) {
    cmdOK_Click();
    result = 0;
    return true;
  }
  if (msg == WM_CTLCOLORLISTBOX && reinterpret_cast<HWND>(lParam) == List1.hwnd) {
    result = listColours_.Paint(reinterpret_cast<HDC>(wParam));
    return true;
  }
  return ModalWindow::OnMessage(msg, wParam, lParam, result);
}

}  // namespace nb
