// The small modal window that shows a looked-up host name.
#pragma once

#include "ui/controls.h"
#include "ui/modal.h"

namespace nb {

class FrmHostName : public ModalWindow {
 public:
  static constexpr wchar_t kClassName[] = L"Netbeacon.frmHostName";
  enum : int { idLblInfo = 101, idCmdOK = IDOK };

  // The caption and label are set by the user of the window before it is shown.
  void Load(HWND owner) override;

  Control lblInfo;
  Button cmdOK;

  void cmdOK_Click();

 protected:
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnDpiChanged() override;

 private:
  void Layout();
  unique_hfont font_;
};

}  // namespace nb
