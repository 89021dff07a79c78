// The main window: the two addresses, the Find button, the two option boxes and the menus.
#pragma once

#include <string>

#include "mainwindow/frmMain_ids.h"
#include "ui/controls.h"
#include "ui/window.h"

namespace nb {

inline constexpr wchar_t kPlaceholder[] = L"---.---.---.---";
inline constexpr wchar_t kAccessError[] = L"Access error";

// Colour schemes of the address labels (text, background).
inline constexpr COLORREF kGreen = 65280;
inline constexpr COLORREF kBlack = 0;
inline constexpr COLORREF kWhite = 16777215;

class FrmMain : public Window {
 public:
  FrmMain() = default;

  // Creates the window and its controls and runs the load step; the window stays hidden.
  void Load();
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

  // Handlers and procedures.
  void Form_Load();
  void cmdFindMyIP_Click();
  void showIPs();
  void lblLANip_DblClick();
  void lblWANip_DblClick();
  void ApplyColours(COLORREF text, COLORREF back);

  bool MenuEnabled(int commandId) const;

 protected:
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnDpiChanged() override;

 private:
  void CreateControls();
  void CreateMenus();
  void Layout();
  void EnableMenu(int commandId, bool on) const;
  void OnCommand(int id, int code);
  void ShowHostName(const std::wstring& captionPrefix, const std::wstring& address);

  unique_hfont labelFont_;
  unique_hfont uiFont_;
  bool runActive_ = false;
};

}  // namespace nb
