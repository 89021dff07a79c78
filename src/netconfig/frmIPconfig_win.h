// The configuration viewer: the system's network configuration report in a large fixed-pitch
// text box, searchable, captured afresh on Refresh; resizable, and where and as large as the
// user left it.
#pragma once

#include <functional>
#include <string>

#include "netconfig/capture_win.h"
#include "netconfig/report_search.h"
#include "netconfig/viewer_layout.h"
#include "ui/controls_win.h"
#include "ui/modal_win.h"

namespace nb {

class FrmIPconfig : public ModalWindow, private CaptureView {
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

  // `capture` fills the report box (the Refresh handler's work); by default the system's
  // configuration command through CaptureConfiguration.
  explicit FrmIPconfig(std::function<void(CaptureView&)> capture = {});

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
  void cmdRefresh_Click();
  void cmdOK_Click();

  // The report box's colours (from the stored colour scheme).
  const ControlColours& ReportColours() const noexcept { return reportColours_; }

 protected:
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnCommand(int id, int code) override;
  void OnDestroy() override;
  HWND InitialFocus() const override { return cmdOK.hwnd; }

 private:
  // What the capture writes to.
  void SetReportText(std::wstring_view text) override;
  void SetBusyPointer(bool busy) override;
  void FocusOK() override;

  void SetOuterSize(int widthPixels, int heightPixels) const;
  // Searches the report from the 1-based position `start` for the search box's text and selects
  // the match, or says that there is none; the focus goes to the report either way.
  void FindText(std::size_t start);

  std::function<void(CaptureView&)> capture_;
  ViewerPlaces places_{};
  ControlColours reportColours_;
  bool busy_ = false;
};

}  // namespace nb
