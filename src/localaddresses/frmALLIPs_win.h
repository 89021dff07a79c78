// The local address table: every IPv4 address of the machine and the public one, counted, with
// multiple selection, copying to the clipboard and a button to the configuration viewer.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "detect/frmWorking_win.h"
#include "ui/controls_win.h"
#include "ui/modal_win.h"
#include "ui/tool_tips_win.h"

namespace nb {

// What the window needs of the main window.
struct MainWindowParts {
  // The main window: the progress window's owner, and what this window is centred over when it
  // has no owner.
  HWND window = nullptr;
  // The last public-address result (an address or "Access error"); nothing until a run has set it.
  std::function<std::optional<std::wstring>()> publicResult;
  // Its progress window, shown while the first service is asked; nullptr for none.
  FrmWorking* working = nullptr;
};

// The first public-address service alone (GetPublicIP): the address, or "Access error".
std::wstring GetPublicIP();

class FrmALLIPs : public ModalWindow {
 public:
  static constexpr wchar_t kClassName[] = L"Netbeacon.frmALLIPs";
  enum : int {
    idLabel1 = 101,
    idList1 = 102,
    idCmdCopyToClipBoard = 103,
    idCmdIPInfo = 104,
    idCmdOK = 105,
  };

  // `localIPs` reads the machine's address table (GetLocalIPs); `fetchPublic` asks the first
  // public-address service (GetPublicIP). Tests give their own.
  explicit FrmALLIPs(MainWindowParts main, std::function<std::vector<std::wstring>()> localIPs = {},
                     std::function<std::wstring()> fetchPublic = GetPublicIP);

  void Load(HWND owner) override;

  // Controls, by name.
  Control Label1;
  ListBox List1;
  Button cmdCopyToClipBoard;
  Button cmdIPInfo;
  Button cmdOK;

  void Form_Load();
  void List1_Click();
  void cmdCopyToClipBoard_Click();
  void cmdIPInfo_Click();
  void cmdOK_Click();
  // Enables the copy button while at least one entry is selected.
  void UpdateCopyButton();

  const ControlColours& ListColours() const noexcept { return listColours_; }
  HWND toolTips() const { return toolTips_.hwnd(); }

 protected:
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnCommand(int id, int code) override;
  HWND InitialFocus() const override { return List1.hwnd; }

 private:
  // The public address from the first service, with the progress window shown meanwhile.
  std::wstring FetchPublicShowingProgress();

  MainWindowParts main_;
  std::function<std::vector<std::wstring>()> localIPs_;
  std::function<std::wstring()> fetchPublic_;
  ControlColours listColours_;
  ToolTips toolTips_;
};

}  // namespace nb
