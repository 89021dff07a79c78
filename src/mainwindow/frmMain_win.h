// The main window: the two addresses, the Find button, the two option boxes and the menus.
//
// Its code lives in rooms of its own, all in mainwindow/:
//   frmMain_win.cpp           the window, its controls and menus, and the handlers that wire them
//   address_labels_win.cpp    the address labels' double click, right click and tool tips
//   main_preferences_win.cpp  the preferences it loads and stores (LoadPreferences, StorePreferences)
//   command_line.cpp          the command-line switches
//   detection_run_win.cpp     the detection run (cmdFindMyIP_Click, showIPs, updateLOG)
//   address_output_win.cpp    copying an address to the clipboard, saving it to a file, mailing it
//   main_menus_win.cpp        the menu bar, the address menus and the keyboard shortcuts
//   watch_menu_win.cpp        watch mode's menu entries, its icon's menu and the window's hidden start
//   ipv6_row_win.cpp          the IPv6 row: its coming and going, its labels and their menus
#pragma once

#include <deque>
#include <functional>
#include <string>

#include "base/unique_any_win.h"
#include "detect/detection.h"
#include "detect/frmWorking_win.h"
#include "detect/lan_lookup_win.h"
#include "mainwindow/frmMain_ids.h"
#include "ui/controls_win.h"
#include "ui/modal_win.h"
#include "ui/task_win.h"
#include "ui/tool_tips_win.h"
#include "ui/window_win.h"
#include "watch/watch_mode_win.h"

namespace nb {

// Tool tips of the address labels; their blanks belong to them.
inline constexpr wchar_t kLanTip[] = L" LAN IP - Right-click for more options ";
inline constexpr wchar_t kWanTip[] = L" WAN IP - Right-click for more options ";
inline constexpr wchar_t kWanFailedTip[] = L" WAN IP - Unable to access external source ";
inline constexpr wchar_t kLan6Tip[] = L" LAN IPv6 - Right-click for more options ";
inline constexpr wchar_t kWan6Tip[] = L" WAN IPv6 - Right-click for more options ";
inline constexpr wchar_t kWan6FailedTip[] = L" WAN IPv6 - Unable to access external source ";

// The hidden public-address label's text until a run has set it.
inline constexpr wchar_t kPublicNotYetSet[] = L"lblHDDNPublicIP";

class FrmMain : public Window {
 public:
  FrmMain();
  ~FrmMain() override;

  // Creates the window and its controls and runs the load step with the given command-line
  // argument text (by default the program's own); the window stays hidden.
  void Load();
  void Load(std::wstring argumentText);
  // Shows the window, once the load step's runs are over.
  void Show();

  // Controls, by name. The address labels and the hidden labels show the addresses value.
  ColourLabel lblLANip;
  ColourLabel lblWANip;
  ColourLabel lblLANip6;  // the IPv6 row, there while the machine has a global IPv6 address
  ColourLabel lblWANip6;
  Button cmdFindMyIP;
  CheckBox chkAutoRun;
  CheckBox chkAutoQuit;
  Button cmdPREFS;
  Control lblHDDNPublicIP;
  Control lblHDDNLANmail;
  HMENU menuBar() const { return GetMenu(hwnd()); }
  HMENU menuLANipOptions() const { return lanPopup_.get(); }
  HMENU menuWANipOptions() const { return wanPopup_.get(); }
  HMENU menuLAN6ipOptions() const { return lan6Popup_.get(); }
  HMENU menuWAN6ipOptions() const { return wan6Popup_.get(); }
  HWND toolTips() const { return toolTips_.hwnd(); }
  FrmWorking& frmWorking() { return working_; }

  // What the window knows of the addresses; setting it shows it in the labels.
  const Addresses& addresses() const { return addresses_; }
  void SetAddresses(const Addresses& addresses);

  // Where the LAN address comes from (the adapter list; tests may put a failing source here).
  // Called on the run's worker.
  std::function<std::wstring()> lanLookup;

  std::wstring userCommand;
  bool userCommandIssued = false;

  // Load, close and resize steps.
  void Form_Load();
  void Form_QueryUnload();
  void Form_Resize();

  // The detection run: starts it on a worker; the window answers meanwhile, Find excepted.
  void cmdFindMyIP_Click();
  void showIPs();
  void updateLOG();

  // The address labels.
  void lblLANip_DblClick();
  void lblWANip_DblClick();
  void lblLANip_MouseDown(int button, int x, int y);
  void lblWANip_MouseDown(int button, int x, int y);
  void lblLANip_MouseMove();
  void lblWANip_MouseMove();
  void lblLANip6_DblClick();
  void lblWANip6_DblClick();
  void lblLANip6_MouseDown(int button, int x, int y);
  void lblWANip6_MouseDown(int button, int x, int y);
  void lblLANip6_MouseMove();
  void lblWANip6_MouseMove();

  // Menus.
  void menuCopyLANtoClipboard_Click();
  void menuCopyWANtoClipboard_Click();
  void menuSaveLANas_Click();
  void menuSaveWANas_Click();
  void menuSendLANemail_Click();
  void menuSendWANemail_Click();
  void menuSaveLAN6as_Click();
  void menuCopyLAN6toClipboard_Click();
  void menuSendLAN6email_Click();
  void menuSaveWAN6as_Click();
  void menuCopyWAN6toClipboard_Click();
  void menuSendWAN6email_Click();
  void menuColorsBlackOnWhite_Click();
  void menuAbout_Click();
  void menuExit_Click();
  void menuHistory_Click();
  void menuClearlog_Click();
  void menuShowALLIPs_Click();
  void menuIPconfig_Click();
  void menuWatch_Click();
  void menuWatchSettings_Click();

  void ApplyColours(COLORREF text, COLORREF back);

 protected:
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnCommand(int id, int code) override;
  void OnDestroy() override;

 private:
  // A run for Find (the progress window, message boxes) or a check of watch mode (neither).
  enum class RunKind { kFind, kCheck };

  // detection_run_win.cpp
  void StartRun(RunKind kind, std::function<void()> then);
  void RunStepShown(const RunStep& step);
  void RunEnded(DetectionResult result);
  void AfterRun();
  void ContinueLoad();
  void ShowAddresses();
  void LogAddresses(bool onlyFound);
  // ipv6_row_win.cpp
  void ShowIPv6Row(bool on);

  // main_preferences_win.cpp
  void LoadPreferences();
  void StorePreferences();
  // watch_menu_win.cpp
  void LoadWatch();
  void StartWatching();
  void StopWatching();
  void WatchMenuCommand(int command);
  void ShowFromNotificationArea();
  // address_output_win.cpp
  void CopyToClipboard(const std::wstring& text, const wchar_t* handlerLabel);
  void SaveToFile(const std::wstring& text, const wchar_t* handlerLabel);
  void SendByMail(const wchar_t* flag, const std::wstring& address);

  void CreateControlsAndToolTips();
  // main_menus_win.cpp
  static HMENU MakeMenuBar();
  void CreatePopupsAndShortcuts();
  void CloseNow();
  void CloseOtherWindows();
  void ShowHostName(const wchar_t* handlerLabel, const std::wstring& captionPrefix, const std::wstring& address);
  void PopUp(HMENU menu, const Control& label, int x, int y);
  void OnLabelMouse(UINT msg, WPARAM wParam, LPARAM lParam);
  void ToggleCheck(const CheckBox& box);

  Addresses addresses_;
  Addresses before_;  // the value as the run under way found it
  RunKind runKind_ = RunKind::kFind;
  Task<DetectionResult, RunStep> run_;
  Task<HostNameLookup> hostName_;
  // The load step's runs, each with what follows it (a switch's copy), one after the other; the
  // window is shown once they are over.
  std::deque<std::function<void()>> loadRuns_;
  std::function<void()> afterRun_;  // what follows the run under way
  bool loading_ = false;
  bool showRequested_ = false;
  bool startHidden_ = false;  // the Watch switch: the window waits in the notification area
  bool ending_ = false;       // what follows a run is being done
  WatchMode watch_;

  unique_hmenu lanPopup_;
  unique_hmenu wanPopup_;
  unique_hmenu lan6Popup_;
  unique_hmenu wan6Popup_;
  bool ipv6RowShown_ = false;
  unique_haccel accelerators_;
  ToolTips toolTips_;
  FrmWorking working_;
  FileDialogArgs saveDialog_;  // remembers the last chosen name while the window lives
  std::wstring argumentText_;
};

}  // namespace nb
