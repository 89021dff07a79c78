#include "mail/frmSendmail_win.h"

#include <memory>
#include <utility>

#include "base/app_error.h"
#include "base/skip_trap_win.h"
#include "base/text_util.h"
#include "mail/ansi_codes_win.h"
#include "mail/charset_table.h"
#include "mail/mail_message.h"
#include "mail/mail_text.h"
#include "mail/scramble.h"
#include "mail/stored_mail_win.h"
#include "mail/smtp/mailer.h"
#include "res/resource_ids.h"
#include "settings/registry_win.h"
#include "settings/stored_values.h"
#include "ui/error_report_win.h"
#include "ui/window_class_win.h"

namespace nb {
namespace {

// The window's outer size, frame and title bar included.
constexpr int kOuterWidth = 5580;  // twips
constexpr int kOuterHeight = 6105;
// The closed charset list.
constexpr int kCharsetBoxHeight = 300;

constexpr wchar_t kLoadLabel[] = L"frmSendmail - Form_Load";
constexpr wchar_t kCloseLabel[] = L"frmSendmail - Form_QueryUnload";

constexpr wchar_t kPleaseWait[] = L"Please wait ... ";
constexpr COLORREF kAttachmentsBackground = RGB(0xC0, 0xC0, 0xC0);

constexpr wchar_t kInfoRequiredTitle[] = L"Info required";
constexpr wchar_t kAddressForms[] = L"Use either the form ann@example.com or Ann Smith <ann@example.com>.";
constexpr wchar_t kFromRequired[] = L"Please enter the From address.";
constexpr wchar_t kToRequired[] = L"Please enter the To or Cc address.";
constexpr wchar_t kUseCommas[] = L"Please use comma(,) to separate multiple addresses.";
constexpr wchar_t kServerRequired[] = L"Please enter your SMTP (outgoing mail) server, provided by your ISP.";
constexpr wchar_t kSubjectRequired[] =
    L"Please enter a subject, or enter a blank (space) if you really want no subject for your message.";
constexpr wchar_t kSentTitle[] = L"Netbeacon Mail";
constexpr wchar_t kSent[] = L"Message sent successfully!";
constexpr wchar_t kNotSentTitle[] = L"Communications error";
constexpr wchar_t kNoComponent[] = L"The message was not sent: the mail component could not be started.";
constexpr wchar_t kPasswordNotStored[] =
    L"The password was not stored: it holds a character that cannot be kept in the settings.\r\n"
    L"Please enter it again the next time you send.";
constexpr wchar_t kStopSending[] =
    L"The message is still being sent.\r\nStop sending it and close the window? A message stopped before the "
    L"server has taken all of it is not delivered.";

void InfoRequired(const std::wstring& text) { ShowMessage(text, MB_OK | MB_ICONINFORMATION, kInfoRequiredTitle); }

}  // namespace

FrmSendmail::FrmSendmail(std::wstring address) : address_(std::move(address)) {
  dlgFile.title = L"Attach a file";
}

void FrmSendmail::Load(HWND owner) {
  // The outer size is fixed; the client area is what the frame leaves of it at the DPI the window
  // opens at, and keeps its size in twips when the DPI changes (Form_Resize). Opened without an
  // owner, the window stands in the task bar, with the program's icon.
  CreateFrame({kClassName, L"Send mail", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_CONTROLPARENT, owner, nullptr, 0, 0,
               ResourceIcon(IDI_NETBEACON)});
  SetWindowPos(hwnd(), nullptr, 0, 0, Px(kOuterWidth), Px(kOuterHeight), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  GetClientRect(hwnd(), &client);
  clientWidthTwips_ = PixelsToTwips(client.right, Dpi());
  clientHeightTwips_ = PixelsToTwips(client.bottom, Dpi());
  constexpr DWORD kLabel = WS_VISIBLE | SS_LEFTNOWORDWRAP;
  constexpr DWORD kText = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
  constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
  constexpr DWORD kEdge = WS_EX_CLIENTEDGE;
  // Labels stand 45 twips below the top of their box, so that their text lines up with the box's.
  CreateControls({
      {&lblFrom, L"STATIC", L"&From", kLabel, idLblFrom, {120, 165, 1140, 195}},
      {&txtFrom, L"EDIT", L"", kText, idTxtFrom, {1320, 120, 3840, 285}, {}, kEdge},
      {&lblTo, L"STATIC", L"&To", kLabel, idLblTo, {120, 525, 1140, 195}},
      {&txtTo, L"EDIT", L"", kText, idTxtTo, {1320, 480, 3840, 285}, {}, kEdge},
      {&lblCC, L"STATIC", L"&Cc", kLabel, idLblCC, {120, 885, 1140, 195}},
      {&txtCc, L"EDIT", L"", kText, idTxtCc, {1320, 840, 3840, 285}, {}, kEdge},
      {&lblSubkect, L"STATIC", L"Su&bject", kLabel, idLblSubkect, {120, 1245, 1140, 195}},
      {&txtSubject, L"EDIT", L"", kText, idTxtSubject, {1320, 1200, 3840, 285}, {}, kEdge},
      {&lblEncoding, L"STATIC", L"&Encoding", kLabel, idLblEncoding, {120, 1605, 1140, 195}},
      // The height is that of the open list; the closed box gets its own (FitCharsetBox).
      {&lstCharset, L"COMBOBOX", L"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, idLstCharset,
       {1320, 1560, 3840, 2700}},
      {&lblAttachments, L"STATIC", L"Attac&hments", kLabel, idLblAttachments, {120, 1965, 1140, 195}},
      // Read-only rather than disabled: the user cannot type in it, but can read the names (a
      // disabled box greys them on the grey) and scroll through a long list.
      {&txtAttachments, L"EDIT", L"", WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL, idTxtAttachments,
       {1320, 1920, 2400, 285}, {}, kEdge},
      {&cmdAdd, L"BUTTON", L"&Add...", kButton, idCmdAdd, {3780, 1905, 660, 315}},
      {&cmdClear, L"BUTTON", L"C&lear", kButton, idCmdClear, {4500, 1905, 660, 315}},
      {&txtBody, L"EDIT", L"", kText | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL, idTxtBody,
       {120, 2340, 5040, 1080}, {}, kEdge},
      {&Frame1, L"BUTTON", L"Outgoing mail server (SMTP)", WS_VISIBLE | BS_GROUPBOX, idFrame1, {120, 3510, 5040, 1305}},
      {&lblServer, L"STATIC", L"Se&rver", kLabel, idLblServer, {240, 3795, 1020, 195}},
      {&txtServer, L"EDIT", L"", kText, idTxtServer, {1320, 3750, 3720, 285}, {}, kEdge},
      // Three states, so that a stored greyed state shows; a click turns it on or off.
      {&chkAuth, L"BUTTON", L"&My server requires authentication", WS_VISIBLE | WS_TABSTOP | BS_3STATE, idChkAuth,
       {1320, 4095, 3720, 285}},
      {&lblUser, L"STATIC", L"User &name", kLabel, idLblUser, {240, 4485, 1020, 195}},
      {&txtUser, L"EDIT", L"", kText | WS_DISABLED, idTxtUser, {1320, 4440, 1380, 285}, {}, kEdge},
      {&lblPassword, L"STATIC", L"&Password", kLabel, idLblPassword, {2790, 4485, 840, 195}},
      {&txtPassword, L"EDIT", L"", kText | WS_DISABLED | ES_PASSWORD, idTxtPassword, {3660, 4440, 1380, 285}, {},
       kEdge},
      {&lblStatus, L"STATIC", L"", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, idLblStatus, {120, 5010, 2640, 195}},
      {&cmdSend, L"BUTTON", L"&Send", kButton, idCmdSend, {2880, 4920, 1080, 375}},
      {&cmdClose, L"BUTTON", L"Close", kButton, idCmdClose, {4080, 4920, 1080, 375}},
  });
  SendMessageW(txtPassword.hwnd, EM_SETPASSWORDCHAR, L'*', 0);
  FitCharsetBox();
  attachmentsColours_.Set(GetSysColor(COLOR_WINDOWTEXT), kAttachmentsBackground);
  credentialsColours_.Set(GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_INACTIVEBORDER));
  CentreOver(owner);
  Form_Load();
}

// ---------------------------------------------------------------------------------------------
// Load: the stored settings first, each step skipped when it fails; then the rest, whose failure
// is reported.

void FrmSendmail::Form_Load() {
  SkipTrap(kLoadLabel, [&] { CreateKey(kProgramKey); });
  SkipTrap(kLoadLabel, [&] {
    const StoredMail stored = ReadStoredMail();
    txtFrom.SetText(stored.from);
    txtTo.SetText(stored.to);
    txtCc.SetText(stored.cc);
    txtSubject.SetText(stored.subject);
    txtServer.SetText(stored.server);
    if (!stored.signInState) return;
    chkAuth.SetValue(*stored.signInState);
    if (*stored.signInState != BST_CHECKED) return;
    chkAuth_Click();
    txtUser.SetText(stored.user);
    SetWindowTextW(txtPassword.hwnd, stored.password.c_str());  // SetText would leave a copy
  });
  ReportTrap(kLoadLabel, [&] {
    loadCharsets();
    attachmentPaths.clear();
    lblStatus.SetText(L"");
    txtBody.SetText(MailBody(address_));
  });
}

void FrmSendmail::loadCharsets() {
  for (const CharsetRow& row : kCharsetTable) lstCharset.Add(row.displayName);
  lstCharset.Select(kDefaultCharsetIndex);
}

void FrmSendmail::chkAuth_Click() {
  const bool on = chkAuth.Value() == BST_CHECKED;
  txtUser.Enable(on);
  txtPassword.Enable(on);
  credentialsColours_.Set(GetSysColor(COLOR_WINDOWTEXT), GetSysColor(on ? COLOR_WINDOW : COLOR_INACTIVEBORDER));
  InvalidateRect(txtUser.hwnd, nullptr, TRUE);
  InvalidateRect(txtPassword.hwnd, nullptr, TRUE);
}

void FrmSendmail::cmdAdd_Click() {
  FileDialogArgs args = dlgFile;
  args.owner = hwnd();
  args.filter = L"All files(*.*) | *.*";
  const std::optional<std::wstring> chosen = Modal().OpenFileName(args);
  if (!chosen || chosen->empty()) return;
  dlgFile.fileName = *chosen;
  attachmentPaths.push_back(*chosen);
  const std::size_t slash = chosen->rfind(L'\\');
  const std::wstring shown = slash == std::wstring::npos ? *chosen : chosen->substr(slash + 1);
  txtAttachments.SetText(txtAttachments.Text() + shown + L"; ");
}

void FrmSendmail::cmdClear_Click() {
  attachmentPaths.clear();
  txtAttachments.SetText(L"");
}

void FrmSendmail::cmdClose_Click() { Close(); }

// ---------------------------------------------------------------------------------------------
// Closing: every setting is stored, each write skipped when it fails.

bool FrmSendmail::StoreSettings() {
  SkipTrap(kCloseLabel, [&] { WriteString(kProgramKey, kMailFrom, txtFrom.Text()); });
  SkipTrap(kCloseLabel, [&] { WriteString(kProgramKey, kMailTo, txtTo.Text()); });
  SkipTrap(kCloseLabel, [&] { WriteString(kProgramKey, kMailCC, txtCc.Text()); });
  SkipTrap(kCloseLabel, [&] { WriteString(kProgramKey, kMailSubject, txtSubject.Text()); });
  SkipTrap(kCloseLabel, [&] { WriteString(kProgramKey, kMailSMTP, txtServer.Text()); });
  SkipTrap(kCloseLabel, [&] { WriteString(kProgramKey, kMailSMTPauth, std::to_wstring(chkAuth.Value())); });
  SkipTrap(kCloseLabel, [&] { WriteString(kProgramKey, kMailSMTPauthUser, txtUser.Text()); });
  // A password that cannot be scrambled, or that the code page cannot hold, is never stored as
  // typed: an empty one takes its place.
  SecretWString password = PasswordText();
  const bool scrambled = SkipTrap(kCloseLabel, [&] {
    Ncrypt(password, AnsiCharacterCodes());
    WriteBinary(kProgramKey, kMailSMTPauthPW, password.view());
  });
  if (!scrambled) SkipTrap(kCloseLabel, [&] { WriteBinary(kProgramKey, kMailSMTPauthPW, L""); });
  return scrambled;
}

// Read straight into text that is wiped when it goes: no copy of the password is left behind.
SecretWString FrmSendmail::PasswordText() const {
  SecretWString text(static_cast<std::size_t>(GetWindowTextLengthW(txtPassword.hwnd)), L'\0');
  const int got = GetWindowTextW(txtPassword.hwnd, text.data(), static_cast<int>(text.size() + 1));
  text.resize(static_cast<std::size_t>(got));
  return text;
}

void FrmSendmail::Form_QueryUnload() {
  // The user is told, except while the session ends (the main window's close step then closes this
  // window too): a box would only hold up the logoff.
  if (!StoreSettings() && !GetSystemMetrics(SM_SHUTTINGDOWN)) ShowMessage(kPasswordNotStored, MB_OK | MB_ICONWARNING);
}

// The size stays fixed: height first, then width. At another DPI the client area keeps its size
// in twips, like everything in it.
void FrmSendmail::Form_Resize() {
  if (resizing_ || IsIconic(hwnd()) || clientWidthTwips_ == 0) return;
  resizing_ = true;
  const auto setSize = [&](bool height) {
    RECT frame{}, client{};
    GetWindowRect(hwnd(), &frame);
    GetClientRect(hwnd(), &client);
    int width = frame.right - frame.left;
    int tall = frame.bottom - frame.top;
    if (height) {
      tall += Px(clientHeightTwips_) - client.bottom;
    } else {
      width += Px(clientWidthTwips_) - client.right;
    }
    if (width != frame.right - frame.left || tall != frame.bottom - frame.top) {
      SetWindowPos(hwnd(), nullptr, 0, 0, width, tall, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  };
  SkipTrap(L"frmSendmail - Form_Resize", [&] { setSize(true); });
  SkipTrap(L"frmSendmail - Form_Resize", [&] { setSize(false); });
  resizing_ = false;
}

// Windows gives the closed list the height its font needs, which does not grow in step with the
// DPI; the list gets its own height in twips instead, like the other controls.
void FrmSendmail::FitCharsetBox() const {
  RECT box{};
  GetWindowRect(lstCharset.hwnd, &box);
  const auto field = static_cast<int>(SendMessageW(lstCharset.hwnd, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  const int edges = box.bottom - box.top - field;
  SendMessageW(lstCharset.hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Px(kCharsetBoxHeight) - edges);
}

// ---------------------------------------------------------------------------------------------
// Sending

// The message as the fields hold it: what is passed on trimmed is trimmed here.
MailMessage FrmSendmail::Message() const {
  MailMessage message;
  message.from = Trim(txtFrom.Text());
  message.to = Trim(txtTo.Text());
  message.cc = Trim(txtCc.Text());
  message.server = Trim(txtServer.Text());
  message.signIn = chkAuth.Value() == BST_CHECKED;
  if (message.signIn) {
    message.user = Trim(txtUser.Text());
    message.password = SecretWString(Trim(PasswordText().view()));
  }
  const int charset = lstCharset.Selected();
  if (charset >= 0 && charset < static_cast<int>(kCharsetTable.size())) {
    message.charset = kCharsetTable[charset].charsetName;
  }
  message.attachments = attachmentPaths;
  message.subject = txtSubject.Text();
  message.body = txtBody.Text();
  return message;
}

// The first field that a send needs and that is missing is asked for.
bool FrmSendmail::FieldsFilled(const MailMessage& message) const {
  const std::optional<MissingField> missing = FirstMissingField(message);
  if (!missing) return true;
  switch (*missing) {
    case MissingField::kFrom: InfoRequired(std::wstring(kFromRequired) + L"\r\n" + kAddressForms); break;
    case MissingField::kRecipient:
      InfoRequired(std::wstring(kToRequired) + L"\r\n" + kAddressForms + L"\r\n" + kUseCommas);
      break;
    case MissingField::kServer: InfoRequired(kServerRequired); break;
    case MissingField::kSubject: InfoRequired(kSubjectRequired); break;
  }
  return false;
}

void FrmSendmail::cmdSend_Click() {
  // Send is disabled while a send runs; a click that still arrives starts nothing.
  if (sending_) return;
  MailMessage message = Message();
  if (!FieldsFilled(message)) return;
  sending_ = true;
  // The focus leaves Send before it is disabled, so that the keyboard still reaches the window.
  focusLeftSend_ = GetFocus() == cmdSend.hwnd;
  if (focusLeftSend_) txtBody.Focus();
  cmdSend.Enable(false);
  try {
    StartSend(message);
  } catch (...) {
    Tell(L"The message was not sent: " + CurrentError().description, MB_OK | MB_ICONWARNING, kNotSentTitle);
    ReadyToSend();
  }
}

// Hands the message to the mail component, whose exchange with the server runs on a worker while
// the window answers as ever; SendEnded tells the user how it went.
void FrmSendmail::StartSend(const MailMessage& message) {
  lblStatus.SetText(kPleaseWait);

  std::shared_ptr<mail::Mailer> mailer = mail::CreateMailer();
  if (!mailer) {
    Tell(kNoComponent, MB_OK | MB_ICONWARNING, kNotSentTitle);
    ReadyToSend();
    return;
  }
  PrepareMailer(*mailer, message);

  // The component bounds every wait of its own, so the send always ends; Stop ends it sooner.
  send_.Start(
      hwnd(), [mailer](TaskContext<std::monostate>&) { return mailer->Send(); },
      [this](int result) { SendEnded(result); });
  mailer_ = std::move(mailer);
}

void FrmSendmail::SendEnded(int result) {
  if (asking_) {
    endedWhileAsking_ = result;
    return;
  }
  if (result != 0) {
    Tell(MailErrorText(mailer_->ErrorText()), MB_OK | MB_ICONWARNING, kNotSentTitle);
  } else {
    Tell(kSent, MB_OK | MB_ICONINFORMATION, kSentTitle);
  }
  mailer_.reset();
  ReadyToSend();
}

// Every way out of a send comes here.
void FrmSendmail::ReadyToSend() {
  cmdSend.Enable(true);
  lblStatus.SetText(L"");
  sending_ = false;
  const bool focusLeftSend = std::exchange(focusLeftSend_, false);
  if (!GetFocus() || (focusLeftSend && GetFocus() == txtBody.hwnd)) cmdSend.Focus();
}

// Closes the send's connection (a message whose end had not gone to the server is not delivered)
// and drops the task without waiting for its worker, which ends on its own.
void FrmSendmail::StopSend() {
  if (mailer_) mailer_->Stop();
  send_.Stop();
  mailer_.reset();
  endedWhileAsking_.reset();
}

// A close while a send runs asks first: Yes stops the send, No keeps the window and the send. A
// send that ends during the question is told after it, as any other.
bool FrmSendmail::MayClose() {
  if (!send_.Running()) return true;
  asking_ = true;
  const int answer = Modal().ShowMessage({hwnd(), kStopSending, kSentTitle, MB_YESNO | MB_ICONQUESTION});
  asking_ = false;
  if (endedWhileAsking_) {
    SendEnded(*std::exchange(endedWhileAsking_, std::nullopt));
  } else if (answer == IDYES) {
    StopSend();
  }
  return answer == IDYES;
}

// A box over this window, also when a send ends while another program is in front.
void FrmSendmail::Tell(std::wstring text, UINT style, const wchar_t* title) const {
  Modal().ShowMessage({hwnd(), std::move(text), title, style});
}

// ---------------------------------------------------------------------------------------------
// Wiring

void FrmSendmail::OnCommand(int id, int code) {
  switch (id) {
    case idCmdSend: if (code == BN_CLICKED) cmdSend_Click(); break;
    case idCmdClose: if (code == BN_CLICKED) cmdClose_Click(); break;  // Esc too
    case idCmdAdd: if (code == BN_CLICKED) cmdAdd_Click(); break;
    case idCmdClear: if (code == BN_CLICKED) cmdClear_Click(); break;
    case idChkAuth:
      if (code == BN_CLICKED) {
        chkAuth.SetValue(chkAuth.Value() == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
        chkAuth_Click();
      }
      break;
    default: break;
  }
}

bool FrmSendmail::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      // The attachment box is read-only and the credential boxes may be disabled: Windows then
      // asks for their colours as for a label.
      const auto control = reinterpret_cast<HWND>(lParam);
      const auto dc = reinterpret_cast<HDC>(wParam);
      if (control == txtAttachments.hwnd) {
        result = attachmentsColours_.Paint(dc);
        return true;
      }
      if (control == txtUser.hwnd || control == txtPassword.hwnd) {
        result = credentialsColours_.Paint(dc);
        return true;
      }
      return false;
    }
    case WM_SIZE:
      Form_Resize();
      return false;
    case WM_CLOSE:
      // The close box, cmdClose, Esc, or the main window closing: the settings are stored and the
      // close goes ahead, unless the user keeps a send that runs.
      if (!MayClose()) {
        result = 0;
        return true;
      }
      Form_QueryUnload();
      break;
    case WM_ENDSESSION:
      // Windows is shutting down: no time for questions or messages; a send is stopped.
      if (wParam) {
        StopSend();
        StoreSettings();
      }
      result = 0;
      return true;
    default:
      break;
  }
  return ModalWindow::OnMessage(msg, wParam, lParam, result);
}

}  // namespace nb
