// The about window: the program's title and version, a few lines saying that it is free, and a link
// to the maker's home page.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "about/about_text.h"
#include "ui/controls_win.h"
#include "ui/modal_win.h"

namespace nb {

// The root page of the maker's web site.
inline constexpr wchar_t kHomePageUrl[] = L"http://www.ambertop.com/";
inline constexpr COLORREF kLinkColour = RGB(0, 0, 192);

// What the link asks of the shell: open `file` with its default handler.
struct ShellOpenRequest {
  HWND owner = nullptr;
  std::wstring file;
  std::wstring directory;
  int show = SW_SHOWNORMAL;
};
// Returns what ShellExecuteW returns: above 32 when the file was opened.
using ShellOpener = std::function<INT_PTR(const ShellOpenRequest&)>;

// ShellExecuteW with the default verb and no parameters.
INT_PTR ShellOpen(const ShellOpenRequest& request);

// The file version in a file's version resource; nothing when the file has none.
std::optional<FileVersionWords> ReadFileVersion(const std::wstring& path);
// The running program's own file version.
std::optional<FileVersionWords> ProgramFileVersion();
using VersionSource = std::function<std::optional<FileVersionWords>()>;

class FrmAbout : public ModalWindow {
 public:
  static constexpr wchar_t kClassName[] = L"Netbeacon.frmabout";
  enum : int {
    idLblProgTitle = 101,
    idLblVersion = 102,
    idLblText1 = 103,
    idLblText2 = 104,
    idLblText4 = 105,
    idLblText5 = 106,
    idLblURL = 107,
    idImgHand = 108,
    idLine1 = 109,
    idLine2 = 110,
    idCmdOK = IDOK,
  };

  // `mainWindow` is minimised when the link is followed; the window is centred over its owner, or
  // over the main window when it has none.
  explicit FrmAbout(HWND mainWindow, ShellOpener shellOpen = ShellOpen, VersionSource versionSource = ProgramFileVersion);

  void Load(HWND owner) override;

  // Controls, by name. Line1 and Line2 are the two etched separators (each draws its dark and its
  // light line); imghand holds the link's mouse pointer, out of sight.
  Control lblprogtitle;
  Control lblversion;
  Control lbltext1;
  Control lbltext2;
  Control lbltext4;
  Control lbltext5;
  Control lblURL;
  Control imghand;
  Control Line1;
  Control Line2;
  Button cmdOK;

  void Form_Load();
  // Sets the pointer over the link to the pointing hand.
  void lblURL_MouseMove();
  void lblURL_Click();
  void cmdOK_Click();

  // The pointing hand: the program's own cursor resource, or the system's hand when it has none.
  HCURSOR HandCursor() const noexcept { return hand_; }

 protected:
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnCommand(int id, int code) override;
  HWND InitialFocus() const override { return cmdOK.hwnd; }

 private:
  HWND mainWindow_;
  ShellOpener shellOpen_;
  VersionSource versionSource_;
  HCURSOR hand_ = nullptr;
};

}  // namespace nb
