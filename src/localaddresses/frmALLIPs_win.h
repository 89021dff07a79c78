// The local address table: every IPv4 address of the machine and the public one, counted, with
// multiple selection, copying to the clipboard and a button to the configuration viewer. Before
// any detection run the public address is fetched on a worker while the window answers; closing
// the window during the fetch asks whether to stop it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "detect/detection.h"
#include "detect/frmWorking_win.h"
#include "ui/controls_win.h"
#include "ui/modal_win.h"
#include "ui/task_win.h"
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

  // Asks the first public-address service alone (GetPublicIP), on a worker: the address or
  // "Access error", and the error that made it fail. It must end soon after the stop is requested.
  using PublicFetch = std::function<ServiceAnswer(const StopSignal& stop)>;

  // `localIPs` reads the machine's address table (GetLocalIPs); `fetchPublic` asks the first
  // public-address service (by default the stored one). Tests give their own.
  explicit FrmALLIPs(MainWindowParts main, std::function<std::vector<std::wstring>()> localIPs = {},
                     PublicFetch fetchPublic = {});

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
  // Closes the window; while the fetch runs, only once the user agrees to stop it.
  void cmdOK_Click();
  // Enables the copy button while at least one entry is selected.
  void UpdateCopyButton();

  const ControlColours& ListColours() const noexcept { return listColours_; }
  HWND toolTips() const { return toolTips_.hwnd(); }

 protected:
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnCommand(int id, int code) override;
  void OnDestroy() override;
  HWND InitialFocus() const override { return List1.hwnd; }

 private:
  // Starts the first service's fetch, with the progress window shown until it ends.
  void FetchPublic();
  // Reports the fetch's error, if any, and adds its result to the list.
  void PublicFetched(const ServiceAnswer& answer, const std::wstring& reportLabel);
  // Adds the public-address entry (unless it is listed already), then counts the entries.
  void AddPublicEntry(std::wstring_view entry);
  // Whether the window may close now: no fetch runs, or the user agreed to stop it.
  bool MayClose();
  void HideProgress() const;

  MainWindowParts main_;
  std::function<std::vector<std::wstring>()> localIPs_;
  PublicFetch fetchPublic_;
  std::vector<std::wstring> entries_;  // what List1 shows, in order
  ControlColours listColours_;
  ToolTips toolTips_;
  Task<ServiceAnswer> fetch_;  // last: dropped before anything its handler uses
};

}  // namespace nb
