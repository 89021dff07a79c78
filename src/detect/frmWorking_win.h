// The small progress window shown, owned by the main window, while the public address is fetched.
#pragma once

#include <string_view>

#include "ui/controls_win.h"
#include "ui/window_win.h"

namespace nb {

inline constexpr wchar_t kPleaseWaitNotice[] =
    L"Please wait while your public IP address is queried from the internet.";

class FrmWorking : public Window {
 public:
  static constexpr wchar_t kClassName[] = L"Netbeacon.frmWorking";
  enum : int { idImage1 = 101, idLblName, idLblTrying, idLblInfo };

  // Creates the window hidden, owned by the given window; lblTrying reads "...".
  void Load(HWND owner);
  // Shows it centred over its owner, without taking the activation.
  void Show();
  void Hide();
  bool Visible() const { return hwnd() && IsWindowVisible(hwnd()); }
  // Sets the current step and paints it at once.
  void SetTrying(std::wstring_view text);
  void Repaint() const;

  Control Image1;
  Control lblName;
  Control lblTrying;
  Control lblInfo;

 protected:
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

}  // namespace nb
