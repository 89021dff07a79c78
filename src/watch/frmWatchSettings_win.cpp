#include "watch/frmWatchSettings_win.h"

#include <commctrl.h>

#include <string>
#include <utility>

#include "base/dynamic_library_win.h"
#include "base/text_util.h"
#include "settings/registry_win.h"
#include "watch/run_key_win.h"
#include "watch/watch_schedule.h"

namespace nb {
namespace {

constexpr int kClientWidth = 4920;  // twips
constexpr int kClientHeight = 3375;

// The up-down class is the common controls library's; the library is loaded at run time, and
// registers the class when asked.
void RegisterUpDownClass() {
  using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  static const DynamicLibrary comctl32(L"comctl32.dll");
  static const auto init = comctl32.Get<InitFn>("InitCommonControlsEx");
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_UPDOWN_CLASS;
  init(&icc);
}

std::wstring IntervalRefusedText() {
  return L"Please enter the interval as a whole number of minutes from " + std::to_wstring(kMinWatchMinutes) +
         L" to " + std::to_wstring(kMaxWatchMinutes) + L".";
}

}  // namespace

FrmWatchSettings::FrmWatchSettings(std::function<void(HWND)> openMailSettings)
    : openMailSettings_(std::move(openMailSettings)) {}

void FrmWatchSettings::Load(HWND owner) {
  stored_.reset();
  RegisterUpDownClass();
  // A fixed-size tool window: no sizing border, no minimise or maximise box.
  CreateFrame({kClassName, L"Watch settings", WS_POPUP | WS_CAPTION | WS_SYSMENU,
               WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT, owner, nullptr, kClientWidth, kClientHeight});
  constexpr DWORD kLabel = WS_VISIBLE | SS_LEFTNOWORDWRAP;
  constexpr DWORD kText = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
  constexpr DWORD kCheck = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
  constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
  constexpr DWORD kEdge = WS_EX_CLIENTEDGE;
  // The table's order is the tab order. Labels stand 45 twips below the top of their box, so that
  // their text lines up with the box's; the access key of a label takes the focus to its box.
  CreateControls({
      {&lblInterval, L"STATIC", L"Check &every", kLabel, idLblInterval, {120, 165, 960, 195}},
      {&txtMinutes, L"EDIT", L"", kText | ES_NUMBER, idTxtMinutes, {1140, 120, 660, 285}, {}, kEdge},
      // Beside its box rather than inside it, so that the table keeps its place at every DPI.
      {&updMinutes, UPDOWN_CLASSW, L"", WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, idUpdMinutes,
       {1800, 120, 240, 285}},
      {&lblMinutes, L"STATIC", L"minutes (1 to 1440)", kLabel | SS_NOPREFIX, idLblMinutes, {2130, 165, 2670, 195}},
      {&chkMail, L"BUTTON", L"Send an e-&mail when the public address changes", kCheck, idChkMail,
       {120, 555, 4680, 285}},
      {&cmdMailSettings, L"BUTTON", L"Mail &settings...", kButton, idCmdMailSettings, {360, 885, 1575, 345}},
      {&chkCommand, L"BUTTON", L"Run a &command when an address changes", kCheck, idChkCommand,
       {120, 1380, 4680, 285}},
      {&txtCommand, L"EDIT", L"", kText | WS_DISABLED, idTxtCommand, {360, 1710, 4440, 285}, {}, kEdge},
      {&lblCommandNote, L"STATIC", L"%1 the public, %2 the LAN address; %3, %4 the IPv6 ones", kLabel | SS_NOPREFIX,
       idLblCommandNote, {360, 2040, 4440, 195}},
      {&chkStartWithWindows, L"BUTTON", L"Start with &Windows, watching", kCheck, idChkStartWithWindows,
       {120, 2385, 4680, 285}},
      {&cmdOK, L"BUTTON", L"OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, idCmdOK, {2250, 2880, 1215, 375}},
      {&cmdCancel, L"BUTTON", L"Cancel", kButton, idCmdCancel, {3585, 2880, 1215, 375}},
  });
  SendMessageW(updMinutes.hwnd, UDM_SETBUDDY, reinterpret_cast<WPARAM>(txtMinutes.hwnd), 0);
  SendMessageW(updMinutes.hwnd, UDM_SETRANGE32, kMinWatchMinutes, kMaxWatchMinutes);
  SetDefaultButtonId(idCmdOK);
  CentreOver(owner);
  Form_Load();
}

void FrmWatchSettings::Form_Load() {
  loaded_ = ReadWatchSettings([](std::wstring_view name) { return ReadString(kProgramKey, name); });
  txtMinutes.SetText(std::to_wstring(loaded_.minutes));
  chkMail.SetValue(loaded_.mail ? BST_CHECKED : BST_UNCHECKED);
  chkCommand.SetValue(loaded_.command.empty() ? BST_UNCHECKED : BST_CHECKED);
  txtCommand.SetText(loaded_.command);
  chkCommand_Click();
  chkStartWithWindows.SetValue(StartsWithWindows() ? BST_CHECKED : BST_UNCHECKED);
}

void FrmWatchSettings::chkCommand_Click() { txtCommand.Enable(chkCommand.Value() == BST_CHECKED); }

void FrmWatchSettings::cmdMailSettings_Click() {
  if (openMailSettings_) openMailSettings_(hwnd());
}

void FrmWatchSettings::cmdOK_Click() {
  const std::optional<int> minutes = WatchMinutesFromText(txtMinutes.Text());
  if (!minutes) {
    RefuseInterval();
    return;
  }
  WatchSettings settings = loaded_;
  settings.minutes = *minutes;
  settings.mail = chkMail.Value() == BST_CHECKED;
  settings.command = chkCommand.Value() == BST_CHECKED ? std::wstring(Trim(txtCommand.Text())) : std::wstring();
  CreateKey(kProgramKey);
  for (const auto& [name, text] : WatchSettingsTexts(settings)) {
    if (std::wstring_view(name) != kWatchValue) WriteString(kProgramKey, name, text);
  }
  SetStartWithWindows(chkStartWithWindows.Value() == BST_CHECKED);
  stored_ = settings;
  EndModal();
}

void FrmWatchSettings::RefuseInterval() {
  ShowMessage(IntervalRefusedText(), MB_OK | MB_ICONINFORMATION);
  // Back to the box, its text selected so that typing replaces it.
  txtMinutes.Focus();
  SendMessageW(txtMinutes.hwnd, EM_SETSEL, 0, -1);
}

void FrmWatchSettings::cmdCancel_Click() { EndModal(); }

void FrmWatchSettings::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case idChkCommand:
      chkCommand_Click();
      break;
    case idCmdMailSettings:
      cmdMailSettings_Click();
      break;
    case idCmdOK:
      cmdOK_Click();
      break;
    case idCmdCancel:
      cmdCancel_Click();
      break;
    default:
      break;
  }
}

}  // namespace nb
