// The main window: the two addresses, the Find button, the two option boxes and the menus.
//
// Its code lives in rooms of its own, all in mainwindow/:
//   frmMain.cpp           the window, its controls and menus, and the handlers that wire them
//   address_labels.cpp    the address labels' double click, right click and tool tips
//   main_preferences.cpp  the preferences it loads and stores (LoadPreferences, StorePreferences)
//   command_line.cpp      the command-line switches
//   detection_run.cpp     the detection run (cmdFindMyIP_Click, showIPs, updateLOG)
//   address_output.cpp    copying an address to the clipboard, saving it to a file, mailing it
#pragma once

#include <functional>
#include <string>

#include "base/unique_any_win.h"
#include "detect/frmWorking_win.h"
#include "detect/public_address_win.h"
#include "mainwindow/frmMain_ids.h"
#include "ui/controls_win.h"
#include "ui/modal_win.h"
#include "ui/tool_tips_win.h"
#include "ui/window_win.h"

namespace nb {

inline constexpr wchar_t kPlaceholder[] = L"---.---.---.---";

// Tool tips of the address labels; their blanks belong to them.
inline constexpr wchar_t kLanTip[] = L" LAN IP - Right-click for more options ";
inline constexpr wchar_t kWanTip[] = L" WAN IP - Right-click for more options ";
inline constexpr wchar_t kWanFailedTip[] = L" WAN IP - Unable to access external source ";

class FrmMain : public Window, private ChainView {
 public:
  FrmMain();
  ~FrmMain() override;

  // Creates the window and its controls and runs the load step with the given command-line
  // argument text (by default the program's own); the window stays hidden.
  void Load();
  void Load(std::wstring argumentText);
  void Show();

  // Controls, by name.
  ColourLabel lblLANip;
  ColourLabel lblWANip;
  Button cmdFindMyIP;
  CheckBox chkAutoRun;
  CheckBox chkAutoQuit;
  Button cmdPREFS;
  Control lblHDDNPublicIP;
  Control lblHDDNLANmail;
  HMENU menuBar() const { return GetMenu(hwnd()); }
  HMENU menuLANipOptions() const { return lanPopup_.get(); }
  HMENU menuWANipOptions() const { return wanPopup_.get(); }
  HWND toolTips() const { return toolTips_.hwnd(); }
  FrmWorking& frmWorking() { return working_; }

  // Where the LAN address comes from (the adapter list; tests may put a failing source here).
  std::function<std::wstring()> lanLookup;

  std::wstring userCommand;
  bool userCommandIssued = false;

  // Load, close and resize steps.
  void Form_Load();
  void Form_QueryUnload();
  void Form_Resize();

  // The detection run.
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

  // Menus.
  void menuCopyLANtoClipboard_Click();
  void menuCopyWANtoClipboard_Click();
  void menuSaveLANas_Click();
  void menuSaveWANas_Click();
  void menuSendLANemail_Click();
  void menuSendWANemail_Click();
  void menuColorsBlackOnWhite_Click();
  void menuAbout_Click();
  void menuExit_Click();
  void menuHistory_Click();
  void menuClearlog_Click();
  void menuShowALLIPs_Click();
  void menuIPconfig_Click();

  void ApplyColours(COLORREF text, COLORREF back);
  bool MenuEnabled(int commandId) const;

 protected:
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnCommand(int id, int code) override;
  void OnDestroy() override;

 private:
  // The public-address chain writes through these (detection_run.cpp).
  void SetTrying(std::wstring_view text) override;
  std::wstring WanText() const override;
  void SetWanText(std::wstring_view text) override;
  void SetHiddenPublicText(std::wstring_view text) override;

  // main_preferences.cpp
  void LoadPreferences();
  void StorePreferences();
  // address_output.cpp
  void CopyToClipboard(const Control& label);
  void SaveToFile(const Control& label);
  void SendByMail(const wchar_t* flag);

  void CreateControlsAndToolTips();
  void CloseNowOrAfterRun();
  void CloseOtherWindows();
  void ShowHostName(const std::wstring& captionPrefix, const std::wstring& address);
  void PopUp(HMENU menu, const Control& label, int x, int y);
  void OnLabelMouse(UINT msg, WPARAM wParam, LPARAM lParam);
  void ToggleCheck(const CheckBox& box);

  unique_hmenu lanPopup_;
  unique_hmenu wanPopup_;
  unique_haccel accelerators_;
  ToolTips toolTips_;
  FrmWorking working_;
  FileDialogArgs saveDialog_;  // remembers the last chosen name while the window lives
  std::wstring argumentText_;
  bool runActive_ = false;
  bool closePending_ = false;
};

}  // namespace nb
