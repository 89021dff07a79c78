// The configuration viewer: the system's network configuration report in a large fixed-pitch
// text box, searchable, captured afresh on Refresh; resizable, and where and as large as the
// user left it. The capture runs on a worker while the window answers; closing the window
// during one asks whether to stop it.
#pragma once

#include <functional>
#include <string>

#include "netconfig/capture_win.h"
#include "netconfig/report_search.h"
#include "netconfig/viewer_layout.h"
#include "ui/controls_win.h"
#include "ui/modal_win.h"
#include "ui/task_win.h"

namespace nb {

class FrmIPconfig : public ModalWindow {
 public:
  static constexpr wchar_t kClassName[] = L"Netbeacon.frmIPconfig";
  enum : int {
    idCmdOK = 101,
    idCmdRefresh = 102,
    idTxtIPconfig = 103,
    idCmdFind = 104,
    idTxtFind = 105,
    idCmdFindNext = 106,
  };

  // The Refresh handler's work, run on a worker: by default the system's configuration command
  // through CaptureConfiguration. It must end soon after the stop is requested.
  using CaptureWork = std::function<CaptureResult(const StopSignal& stop)>;
  explicit FrmIPconfig(CaptureWork capture = {});

  void Load(HWND owner) override;

  // Controls, by name, in their tab order.
  Button cmdOK;
  Button cmdRefresh;
  Control txtIPconfig;
  Button cmdFind;
  Control txtFind;
  Button cmdFindNext;

  void Form_Load();
  // The minimum size, then the places of the controls for the client area.
  void Form_Resize();
  // Stores where the window is and how large; runs however the window closes.
  void Form_QueryUnload();
  // F3 (key code 114), with or without Shift, Ctrl or Alt, does what Find next does.
  void Form_KeyDown(int keyCode);
  void cmdFind_Click();
  void cmdFindNext_Click();
  // Starts a capture, with the busy pointer until it ends; does nothing while one runs.
  void cmdRefresh_Click();
  // Closes the window; while a capture runs, only once the user agrees to stop it.
  void cmdOK_Click();

  // The report box's colours (from the stored colour scheme).
  const ControlColours& ReportColours() const noexcept { return reportColours_; }

 protected:
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnCommand(int id, int code) override;
  void OnDestroy() override;
  HWND InitialFocus() const override { return cmdOK.hwnd; }

 private:
  // Shows what a capture came to: the notice, the report, or what went wrong.
  void CaptureEnded(const CaptureResult& result);
  // Whether the window may close now: no capture runs, or the user agreed to stop it.
  bool MayClose();
  // The window-wide busy (hourglass) pointer, on or back to the default.
  void SetBusyPointer(bool busy);

  void SetOuterSize(int widthPixels, int heightPixels) const;
  // Searches the report from the 1-based position `start` for the search box's text and selects
  // the match, or says that there is none; the focus goes to the report either way.
  void FindText(std::size_t start);

  CaptureWork work_;
  ViewerPlaces places_{};
  ControlColours reportColours_;
  bool busy_ = false;
  Task<CaptureResult> capture_;  // last: dropped before anything its handler uses
};

}  // namespace nb
