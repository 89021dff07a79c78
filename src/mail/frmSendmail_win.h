// The mail window: writes an e-mail that carries the LAN or the public address and sends it
// through the mail component (mail/smtp/mailer.h), with the fields of the last opening restored
// from the settings and stored again when it closes. The exchange with the server runs as a task:
// the window answers meanwhile, and a close asks whether to stop it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/secret_text.h"
#include "mail/mail_message.h"
#include "ui/controls_win.h"
#include "ui/modal_win.h"
#include "ui/task_win.h"

namespace nb {

namespace mail {
class Mailer;
}

// The flags the main window's hidden label lblHDDNLANmail shows while this window mails an address.
inline constexpr wchar_t kMailLanFlag[] = L"LANMAIL";
inline constexpr wchar_t kMailWanFlag[] = L"WANMAIL";

class FrmSendmail : public ModalWindow {
 public:
  static constexpr wchar_t kClassName[] = L"Netbeacon.frmSendmail";
  enum : int {
    idLblFrom = 101,
    idTxtFrom,
    idLblTo,
    idTxtTo,
    idLblCC,
    idTxtCc,
    idLblSubkect,
    idTxtSubject,
    idLblEncoding,
    idLstCharset,
    idLblAttachments,
    idTxtAttachments,
    idCmdAdd,
    idCmdClear,
    idTxtBody,
    idFrame1,
    idLblServer,
    idTxtServer,
    idChkAuth,
    idLblUser,
    idTxtUser,
    idLblPassword,
    idTxtPassword,
    idLblStatus,
    idCmdSend,
    idCmdClose = IDCANCEL,
  };

  // The address the mail carries (the main window's LAN or public address, as its label shows it).
  explicit FrmSendmail(std::wstring address);

  void Load(HWND owner) override;

  // Controls, by name.
  Control lblFrom;
  Control txtFrom;
  Control lblTo;
  Control txtTo;
  Control lblCC;
  Control txtCc;
  Control lblSubkect;
  Control txtSubject;
  Control lblEncoding;
  ComboBox lstCharset;
  Control lblAttachments;
  Control txtAttachments;
  Button cmdAdd;
  Button cmdClear;
  Control txtBody;
  Control Frame1;
  Control lblServer;
  Control txtServer;
  CheckBox chkAuth;
  Control lblUser;
  Control txtUser;
  Control lblPassword;
  Control txtPassword;
  Control lblStatus;
  Button cmdSend;
  Button cmdClose;
  // The open-file dialog of cmdAdd; it proposes the file chosen last.
  FileDialogArgs dlgFile;

  // The attached files' full paths, in the order added.
  std::vector<std::wstring> attachmentPaths;

  void Form_Load();
  void Form_QueryUnload();
  void Form_Resize();
  void chkAuth_Click();
  void cmdAdd_Click();
  void cmdClear_Click();
  void cmdClose_Click();
  void cmdSend_Click();

 protected:
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnCommand(int id, int code) override;
  HWND InitialFocus() const override { return txtFrom.hwnd; }
  void OnDpiChanged() override { FitCharsetBox(); }
  void OnDestroy() override { StopSend(); }

 private:
  void loadCharsets();
  void FitCharsetBox() const;
  // Stores every setting; false when the password could not be scrambled (an empty one is
  // stored in its place).
  bool StoreSettings();
  SecretWString PasswordText() const;
  MailMessage Message() const;
  bool FieldsFilled(const MailMessage& message) const;
  void StartSend(const MailMessage& message);
  void SendEnded(int result);
  void ReadyToSend();
  void StopSend();
  bool MayClose();
  void Tell(std::wstring text, UINT style, const wchar_t* title) const;

  std::wstring address_;
  ControlColours attachmentsColours_;
  ControlColours credentialsColours_;
  // From the click on Send until the user has been told how the send went.
  bool sending_ = false;
  bool focusLeftSend_ = false;
  // The send's component, shared with its worker: Stop reaches it while Send runs there.
  std::shared_ptr<mail::Mailer> mailer_;
  Task<int> send_;
  // A send that ended while the user was asked whether to stop it is told after the answer.
  bool asking_ = false;
  std::optional<int> endedWhileAsking_;
  bool resizing_ = false;
  int clientWidthTwips_ = 0;
  int clientHeightTwips_ = 0;
};

}  // namespace nb
