// The mail component against real servers on loopback (started by the test run; see
// mail_servers.py): what they received, read back by Python's email package.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "mail/smtp/smtp_mailer_win.h"
#include "mail/smtp/api_win.h"
#include "mail/smtp/charsets_win.h"
#include "mail/smtp/mime.h"
#include "mail/test_servers_win.h"
#include "support/scripted_ui_win.h"
#include "support/stub_mailer_win.h"

// Every block freed while secrets are watched is searched for them first (the array forms of new
// and delete come down to these).
namespace heapwatch {
std::atomic<const std::vector<std::string>*> secrets{nullptr};
std::atomic<int> found{0};
constexpr std::size_t kHeader = 16;  // the block's size, keeping the alignment of malloc
}  // namespace heapwatch

void* operator new(std::size_t size) {
  void* block = std::malloc(size + heapwatch::kHeader);
  if (!block) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  return static_cast<char*>(block) + heapwatch::kHeader;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  char* block = static_cast<char*>(p) - heapwatch::kHeader;
  if (const std::vector<std::string>* secrets = heapwatch::secrets.load()) {
    const std::string_view bytes(static_cast<const char*>(p), *reinterpret_cast<std::size_t*>(block));
    for (const std::string& secret : *secrets) heapwatch::found += bytes.find(secret) != std::string_view::npos;
  }
  std::free(block);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

using namespace std::chrono_literals;
using nb::mail::SmtpMailer;
using nb::mail::SmtpMailerSettings;
using mailtest::Folder;
using mailtest::kPassword;
using mailtest::kUser;
using mailtest::Ports;
using mailtest::Received;
using nbtest::ReadFileBytes;
using nbtest::WriteFileBytes;

std::wstring W(const std::string& utf8) { return nb::mail::Utf8ToWide(utf8); }

struct Outcome {
  int result;
  std::string error;
  std::chrono::milliseconds took;
};

struct Message {
  std::string server = "plain";  // which test server
  std::string host = "localhost";
  bool credentials = false;
  std::string password = kPassword;
  std::string charset = "utf-8";
  std::string senderName = "Ann Sender";
  std::string to;  // the first recipient's local part; the server files the message under it
  std::string cc;
  std::string subject = "New IP";
  std::string body = "Here's my new IP:\r\n192.0.2.1\r\n";
  std::vector<std::wstring> attachments;
  bool trustTestAuthority = true;
  bool plainAuthToLoopback = true;
  std::chrono::milliseconds reply = 10s;
  std::chrono::milliseconds write = 10s;
  std::chrono::milliseconds stopAfter{0};  // Stop from another thread this long into the send
};

class SendTest : public testing::Test {
 protected:
  void SetUp() override {
    if (Folder().empty()) GTEST_SKIP() << "NB_MAILTEST_DIR is not set: the test servers are not running";
    ports_ = Ports();
    ASSERT_FALSE(ports_.empty()) << "no test servers";
  }

  Outcome Send(const Message& m) {
    SmtpMailerSettings settings;
    settings.timeouts.connect = 5s;
    settings.timeouts.reply = m.reply;
    settings.timeouts.finalReply = m.reply;
    settings.timeouts.write = m.write;
    settings.plainAuthToLoopback = m.plainAuthToLoopback;
    settings.implicitTlsPort = ports_.at("implicit");
    if (m.trustTestAuthority) settings.extraTrustedRoots = {mailtest::TestAuthority()};
    SmtpMailer mailer(settings);
    mailer.SetServer(W(m.host + ":" + std::to_string(ports_.at(m.server))));
    if (m.credentials) {
      mailer.SetUserName(W(kUser));
      mailer.SetPassword(W(m.password));
    }
    mailer.SetCharset(W(m.charset));
    mailer.SetSenderName(W(m.senderName));
    mailer.SetSenderAddress(L"ann@example.com");
    mailer.AddRecipients(m.to.empty() ? L"" : W(m.to + "@example.com"), nb::mail::kTo);
    mailer.AddRecipients(W(m.cc), nb::mail::kCc);
    for (const std::wstring& path : m.attachments) mailer.AddAttachment(path);
    mailer.SetSubject(W(m.subject));
    mailer.SetBody(W(m.body));
    mailer.SetMailerName(L"Netbeacon Mailer");
    std::thread stopper;
    if (m.stopAfter.count() > 0) {
      stopper = std::thread([&] {
        std::this_thread::sleep_for(m.stopAfter);
        mailer.Stop();
      });
    }
    const auto start = std::chrono::steady_clock::now();
    const int result = mailer.Send();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    if (stopper.joinable()) stopper.join();
    return {result, nb::mail::WideToUtf8(mailer.ErrorText()), took};
  }

  std::map<std::string, unsigned> ports_;
};

// ----- Charsets: subject, display name and body read back by Python -----

struct CharsetCase {
  const char* charset;
  const char* text;      // used as subject, display name and in the body
  const char* readBack;  // what a reader sees (nullptr: the text itself)
};

class Charsets : public SendTest, public testing::WithParamInterface<CharsetCase> {};

TEST_P(Charsets, SubjectNameAndBodyReadBack) {
  const CharsetCase& c = GetParam();
  Message m;
  m.charset = c.charset;
  m.to = "cs-" + std::string(c.charset);
  for (char& ch : m.to) ch = (ch == '_') ? '-' : ch;
  m.subject = c.text;
  m.senderName = c.text;
  m.body = std::string("Here's my new IP:\r\n192.0.2.1\r\n.") + c.text + "\r\n";
  const Outcome out = Send(m);
  ASSERT_EQ(out.result, 0) << out.error;
  const std::string expected = c.readBack ? c.readBack : c.text;
  EXPECT_EQ(Received(m.to, "error.txt"), "");
  EXPECT_EQ(Received(m.to, "problems.txt"), "");
  EXPECT_EQ(Received(m.to, "subject.txt"), expected);
  EXPECT_EQ(Received(m.to, "from.txt"), expected);
  EXPECT_EQ(Received(m.to, "body.txt"), "Here's my new IP:\n192.0.2.1\n." + expected + "\n");
  EXPECT_EQ(Received(m.to, "body-encoding.txt").substr(0, Received(m.to, "body-encoding.txt").find(' ')),
            [&] { std::string l = c.charset; for (char& ch : l) ch = static_cast<char>(tolower(ch)); return l; }());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Charsets,
    testing::Values(
        CharsetCase{"iso-8859-1", "Caf\xC3\xA9 \xC3\xA0 Z\xC3\xBC" "rich", nullptr},
        CharsetCase{"Windows-1252", "\xE2\x82\xAC" "5 \xE2\x80\x9Cquoted\xE2\x80\x9D", nullptr},
        CharsetCase{"iso-8859-15", "\xE2\x82\xAC \xC5\x93uvre", nullptr},
        CharsetCase{"windows-1251", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 IP", nullptr},
        CharsetCase{"koi8-r", "\xD0\x9D\xD0\xBE\xD0\xB2\xD1\x8B\xD0\xB9 \xD0\xB0\xD0\xB4\xD1\x80\xD0\xB5\xD1\x81", nullptr},
        CharsetCase{"iso-8859-7", "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1", nullptr},
        CharsetCase{"windows-874", "\xE0\xB8\xAA\xE0\xB8\xA7\xE0\xB8\xB1\xE0\xB8\xAA\xE0\xB8\x94\xE0\xB8\xB5", nullptr},
        CharsetCase{"utf-8", "IP \xF0\x9F\x99\x82 \xE6\x97\xA5\xE6\x9C\xAC", nullptr},
        CharsetCase{"big5", "\xE6\x96\xB0\xE7\x9A\x84\xE4\xBD\x8D\xE5\x9D\x80", nullptr},
        CharsetCase{"gb2312", "\xE6\x96\xB0\xE7\x9A\x84\xE5\x9C\xB0\xE5\x9D\x80", nullptr},
        CharsetCase{"ks_c_5601-1987", "\xEC\x83\x88 IP \xEC\xA3\xBC\xEC\x86\x8C \xEB\x98\xA0", nullptr},
        // The encoders of our own where the system lacks the code page.
        CharsetCase{"GB18030", "\xE6\x96\xB0IP \xC2\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", nullptr},
        CharsetCase{"hz-gb-2312", "\xE6\x96\xB0\xE7\x9A\x84 IP ~ \xE5\x9C\xB0\xE5\x9D\x80", nullptr},
        CharsetCase{"iso-2022-jp", "\xE6\x96\xB0\xE3\x81\x97\xE3\x81\x84IP \xEF\xBD\xB1", "\xE6\x96\xB0\xE3\x81\x97\xE3\x81\x84IP \xE3\x82\xA2"},
        CharsetCase{"euc-kr", "\xEC\x83\x88 IP \xEC\xA3\xBC\xEC\x86\x8C \xEB\x98\xA0", "\xEC\x83\x88 IP \xEC\xA3\xBC\xEC\x86\x8C ?"},
        CharsetCase{"utf-7", "Gr\xC3\xBC\xC3\x9F" "e +1 \xF0\x9F\x99\x82", nullptr},
        // A character the charset cannot carry becomes "?".
        CharsetCase{"iso-8859-2", "\xC5\x81\xC3\xB3\xC5\xBA \xE6\x97\xA5", "\xC5\x81\xC3\xB3\xC5\xBA ?"}),
    [](const testing::TestParamInfo<CharsetCase>& info) {
      std::string name = info.param.charset;
      for (char& ch : name) ch = isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
      return name;
    });

TEST_F(SendTest, LongNonAsciiSubjectIsFoldedAndReadsBack) {
  Message m;
  m.to = "long-subject";
  m.charset = "GB18030";
  for (int i = 0; i < 60; ++i) m.subject += "\xE5\x9C\xB0\xE5\x9D\x80 ";
  const Outcome out = Send(m);
  ASSERT_EQ(out.result, 0) << out.error;
  EXPECT_EQ(Received(m.to, "problems.txt"), "");
  EXPECT_EQ(Received(m.to, "subject.txt"), m.subject);
}

// ----- Attachments -----

TEST_F(SendTest, AttachmentsArriveByteForByteOverStartTls) {
  std::mt19937 random(7);
  std::string big(20 * 1024 * 1024, '\0');
  for (char& c : big) c = static_cast<char>(random());
  std::string binary;
  for (int i = 0; i < 3 * 256; ++i) binary += static_cast<char>(i);
  const std::wstring folder = Folder() + L"\\files";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring bigPath = folder + L"\\big.bin";
  const std::wstring binaryPath = folder + L"\\Gr\u00FC\u00DFe \u65E5\u672C.png";
  WriteFileBytes(bigPath, big);
  WriteFileBytes(binaryPath, binary);

  Message m;
  m.server = "starttls";
  m.credentials = true;
  m.to = "attachments";
  m.attachments = {binaryPath, bigPath};
  const Outcome out = Send(m);
  ASSERT_EQ(out.result, 0) << out.error;
  EXPECT_EQ(Received(m.to, "problems.txt"), "");
  EXPECT_EQ(Received(m.to, "att-0.name"), "Gr\xC3\xBC\xC3\x9F" "e \xE6\x97\xA5\xE6\x9C\xAC.png");
  EXPECT_EQ(Received(m.to, "att-0.type"), "image/png");
  EXPECT_TRUE(Received(m.to, "att-0.bin") == binary);
  EXPECT_EQ(Received(m.to, "att-1.name"), "big.bin");
  EXPECT_TRUE(Received(m.to, "att-1.bin") == big) << "the 20 MB file differs";
  EXPECT_NE(Received(m.to, "session.txt").find("tls True"), std::string::npos);
}

TEST_F(SendTest, MissingAttachmentFailsBeforeConnecting) {
  Message m;
  m.server = "silent";  // would keep the send waiting if it were reached
  m.to = "missing";
  m.attachments = {Folder() + L"\\files\\no such file.txt"};
  const Outcome out = Send(m);
  EXPECT_NE(out.result, 0);
  EXPECT_NE(out.error.find("no such file.txt"), std::string::npos) << out.error;
  EXPECT_LT(out.took, 2s);
}

// ----- TLS and signing in -----

struct SignInCase {
  const char* server;
  bool credentials;
  const char* password;
  const char* to;
  const char* auth;   // what the server saw, when it accepted
  const char* error;  // part of the error text, when it failed
};

class SignIn : public SendTest, public testing::WithParamInterface<SignInCase> {};

TEST_P(SignIn, GoesAsTheServerAllows) {
  const SignInCase& c = GetParam();
  Message m;
  m.server = c.server;
  m.credentials = c.credentials;
  m.password = c.password;
  m.to = c.to;
  const Outcome out = Send(m);
  if (c.error) {
    EXPECT_NE(out.result, 0);
    EXPECT_NE(out.error.find(c.error), std::string::npos) << out.error;
    EXPECT_EQ(Received(m.to, "raw.eml"), "") << "a refused send reached the server";
  } else {
    ASSERT_EQ(out.result, 0) << out.error;
    EXPECT_NE(Received(m.to, "session.txt").find(std::string("auth ") + c.auth), std::string::npos)
        << Received(m.to, "session.txt");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Servers, SignIn,
    testing::Values(
        SignInCase{"starttls", true, kPassword, "tls-plain", "PLAIN alice", nullptr},
        SignInCase{"loginonly", true, kPassword, "tls-login", "LOGIN alice", nullptr},
        SignInCase{"implicit", true, kPassword, "implicit", "PLAIN alice", nullptr},
        SignInCase{"starttls", true, "wrong", "wrong-password", nullptr,
                   "535 5.7.8 Authentication credentials invalid"},
        SignInCase{"selfsigned", false, "", "selfsigned", nullptr, "self-signed"},
        SignInCase{"wrongname", false, "", "wrongname", nullptr, "for another name than localhost"},
        SignInCase{"expired", false, "", "expired", nullptr, "expired"},
        // Asked for a client certificate, it goes on without one.
        SignInCase{"clientcert", true, kPassword, "clientcert", "PLAIN alice", nullptr}),
    [](const testing::TestParamInfo<SignInCase>& info) {
      std::string name = info.param.to;
      for (char& ch : name) ch = ch == '-' ? '_' : ch;
      return name;
    });

TEST_F(SendTest, PasswordCopiesAreWipedWhenFreed) {
  const std::string password = "a password longer than any short-string buffer";
  const std::wstring widePassword(password.begin(), password.end());
  const std::vector<std::string> secrets = {
      password, std::string(reinterpret_cast<const char*>(widePassword.data()), widePassword.size() * 2),
      nb::mail::Base64(password), nb::mail::Base64(std::string(1, '\0') + kUser + '\0' + password)};
  for (const char* server : {"starttls", "loginonly"}) {
    heapwatch::found = 0;
    auto mailer =
        std::make_unique<SmtpMailer>(SmtpMailerSettings{{}, nb::mail::kImplicitTlsPort, {mailtest::TestAuthority()}});
    mailer->SetServer(W("localhost:" + std::to_string(ports_.at(server))));
    mailer->SetUserName(W(kUser));
    mailer->SetPassword(widePassword);
    mailer->SetSenderAddress(L"ann@example.com");
    mailer->AddRecipients(L"wiped@example.com", nb::mail::kTo);
    heapwatch::secrets = &secrets;
    EXPECT_NE(mailer->Send(), 0) << "the server took a wrong password";
    mailer.reset();
    heapwatch::secrets = nullptr;
    EXPECT_EQ(heapwatch::found, 0) << server;
  }
}

// The security package as a server that asks for a client certificate at every pass.
SECURITY_STATUS SEC_ENTRY AskedForACertificate(PCredHandle, PCtxtHandle, SEC_WCHAR*, ULONG, ULONG, ULONG,
                                               PSecBufferDesc, ULONG, PCtxtHandle, PSecBufferDesc, PULONG,
                                               PTimeStamp) {
  return SEC_I_INCOMPLETE_CREDENTIALS;
}

// Asked again after going on without a certificate, the handshake gives up instead of repeating
// the same call. (Wine's own package never asks twice, so the table entry is replaced.)
TEST_F(SendTest, AServerThatKeepsAskingForAClientCertificateIsGivenUp) {
  auto& table = const_cast<SecurityFunctionTableW&>(nb::mail::Security());
  DWORD protection = 0;
  ASSERT_TRUE(VirtualProtect(&table, sizeof table, PAGE_READWRITE, &protection));
  const auto real = std::exchange(table.InitializeSecurityContextW, AskedForACertificate);
  Message m;
  m.server = "starttls";
  m.to = "asking";
  const Outcome out = Send(m);
  table.InitializeSecurityContextW = real;
  VirtualProtect(&table, sizeof table, protection, &protection);
  EXPECT_NE(out.result, 0);
  EXPECT_NE(out.error.find("asks for a client certificate"), std::string::npos) << out.error;
}

TEST_F(SendTest, UnknownAuthorityIsRefused) {
  Message m;
  m.server = "starttls";
  m.to = "untrusted";
  m.trustTestAuthority = false;
  const Outcome out = Send(m);
  EXPECT_NE(out.result, 0);
  EXPECT_NE(out.error.find("not issued by an authority that this computer trusts"), std::string::npos) << out.error;
}

TEST_F(SendTest, NoCredentialsOnTheWireWithoutTls) {
  const std::wstring wire = Folder() + L"\\notls-wire.log";
  const std::size_t before = ReadFileBytes(wire).size();
  Message m;
  m.server = "notls_recorded";
  m.credentials = true;
  m.plainAuthToLoopback = false;  // as if the server were on another machine
  m.to = "notls";
  const Outcome out = Send(m);
  EXPECT_NE(out.result, 0);
  EXPECT_NE(out.error.find("no encrypted connection"), std::string::npos) << out.error;
  const std::string sent = ReadFileBytes(wire).substr(before);
  EXPECT_NE(sent.find("EHLO"), std::string::npos) << "the recording missed the session";
  EXPECT_EQ(sent.find("AUTH"), std::string::npos) << sent;
  EXPECT_EQ(sent.find("alice"), std::string::npos);
  EXPECT_EQ(sent.find("YWxpY2"), std::string::npos);  // "alice" in base64
}

// ----- Servers that misbehave -----

struct BadServerCase {
  const char* server;
  const char* error;
};

class BadServers : public SendTest, public testing::WithParamInterface<BadServerCase> {};

TEST_P(BadServers, EndWithinTheBoundWithAClearError) {
  Message m;
  m.server = GetParam().server;
  m.to = "bad";
  m.reply = 2s;
  m.write = 2s;
  if (m.server == "stall") {
    // Enough data to fill the connection's buffers once the server stops reading.
    const std::wstring path = Folder() + L"\\files\\stall.bin";
    CreateDirectoryW((Folder() + L"\\files").c_str(), nullptr);
    WriteFileBytes(path, std::string(64 * 1024 * 1024, 'x'));
    m.attachments = {path};
  }
  const Outcome out = Send(m);
  EXPECT_NE(out.result, 0);
  EXPECT_NE(out.error.find(GetParam().error), std::string::npos) << out.error;
  EXPECT_LT(out.took, 8s);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BadServers,
    testing::Values(BadServerCase{"garbage", "has no reply code"}, BadServerCase{"nocode", "has no reply code"},
                    BadServerCase{"longline", "longer than 2000 octets"},
                    BadServerCase{"manylines", "more than 100 lines"},
                    BadServerCase{"silent", "no answer within 2 s"},
                    BadServerCase{"stall", "the server took no data for 2 s"},
                    BadServerCase{"swallow", "may or may not be delivered"}),
    [](const testing::TestParamInfo<BadServerCase>& info) { return std::string(info.param.server); });

// Stop from another thread: to a server that never answers, and during DATA to one that takes
// 2 MB/s.
TEST_F(SendTest, StopEndsTheSendAtOnceAndNothingIsDelivered) {
  const std::wstring path = Folder() + L"\\files\\stop.bin";
  CreateDirectoryW((Folder() + L"\\files").c_str(), nullptr);
  WriteFileBytes(path, std::string(16 << 20, 'x'));
  const struct {
    const char* server;
    std::vector<std::wstring> attachments;
    std::chrono::milliseconds stopAfter;
  } cases[] = {{"silent", {}, 300ms}, {"slow", {path}, 1000ms}};
  for (const auto& c : cases) {
    Message m;
    m.server = c.server;
    m.to = std::string("stopped-") + c.server;
    m.attachments = c.attachments;
    m.stopAfter = c.stopAfter;
    const Outcome out = Send(m);
    EXPECT_NE(out.error.find("the send was stopped"), std::string::npos) << out.error;
    EXPECT_LT(out.took, c.stopAfter + 1s) << c.server;
    EXPECT_TRUE(Received(m.to, "raw.eml").empty()) << "delivered";
  }
}

TEST_F(SendTest, ClosedPortAndBadValuesFailClearly) {
  Message m;
  m.to = "nobody";
  const struct {
    const char* server;
    const char* to;
    const char* error;
  } cases[] = {
      {"127.0.0.1:1", "x@example.com", "could not connect"},
      {"", "x@example.com", "no mail server"},
      {"local host", "x@example.com", "not written as Netbeacon expects"},
      {"localhost:1", "", "no recipient"},
      {"localhost:1", "x@example.com, not an address", "not an address"},
  };
  for (const auto& c : cases) {
    SmtpMailer mailer;
    mailer.SetServer(W(c.server));
    mailer.SetCharset(L"utf-8");
    mailer.SetSenderAddress(L"ann@example.com");
    mailer.AddRecipients(W(c.to), nb::mail::kTo);
    mailer.AddRecipients(L"", nb::mail::kCc);
    EXPECT_NE(mailer.Send(), 0) << c.server;
    EXPECT_NE(nb::mail::WideToUtf8(mailer.ErrorText()).find(c.error), std::string::npos)
        << nb::mail::WideToUtf8(mailer.ErrorText());
  }
}

// A send abandoned at the program's end may still be inside the security library: it stays loaded
// after the component's statics have gone. Checked by a handler registered before any of them.
bool securityLoaded = false;
const int kSecurityCheckAtExit = std::atexit([] {
  if (securityLoaded && !GetModuleHandleW(L"secur32.dll")) {
    std::fputs("secur32.dll was freed at exit\n", stderr);
    std::_Exit(1);
  }
});

TEST(SecurityLibrary, StaysLoadedAtExit) {
  nb::mail::Security();
  securityLoaded = true;
}

TEST(MailerFactory, CanBeReplacedAndRestored) {
  nb::mail::SetMailerFactory([] { return std::make_unique<nbtest::StubMailer>(42, L"stand-in"); });
  EXPECT_EQ(nb::mail::CreateMailer()->Send(), 42);
  nb::mail::SetMailerFactory(nullptr);
  EXPECT_NE(dynamic_cast<SmtpMailer*>(nb::mail::CreateMailer().get()), nullptr);
}

}  // namespace
