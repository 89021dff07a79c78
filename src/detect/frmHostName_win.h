// The small modal window that shows a looked-up host name.
#pragma once

#include <string>

#include "ui/controls_win.h"
#include "ui/modal_win.h"

namespace nb {

class FrmHostName : public ModalWindow {
 public:
  static constexpr wchar_t kClassName[] = L"Netbeacon.frmHostName";
  enum : int { idLblInfo = 101, idCmdOK = IDOK };

  // The caption and the looked-up name that the window shows once loaded.
  FrmHostName(std::wstring caption, std::wstring name) : caption_(std::move(caption)), name_(std::move(name)) {}

  void Load(HWND owner) override;

  Control lblInfo;
  Button cmdOK;

  void cmdOK_Click();

 protected:
  void OnCommand(int id, int code) override;

 private:
  std::wstring caption_;
  std::wstring name_;
};

}  // namespace nb
