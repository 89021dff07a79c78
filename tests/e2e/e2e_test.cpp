// End-to-end: the real netbeacon.exe, started as its own process and driven from outside through
// its windows, as a user (or another program) would.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "detect/frmHostName.h"
#include "detect/frmWorking.h"
#include "e2e/driver.h"
#include "mainwindow/frmMain_ids.h"
#include "support/loopback_http.h"

namespace nbtest::e2e {
namespace {

namespace ids = nb::frmMainIds;

constexpr wchar_t kPlaceholder[] = L"---.---.---.---";
constexpr wchar_t kAccessError[] = L"Access error";
// What the first address-echo service answers unless a test says otherwise (a documentation
// address, so that it cannot be mistaken for one of the machine's own).
constexpr char kServiceAnswer[] = "203.0.113.7\n";
constexpr wchar_t kServiceAddress[] = L"203.0.113.7";

// The LAN address the program should find: the first adapter, in the system's order, whose
// first IPv4 address is set and not 0.0.0.0. Worked out here independently of the program.
std::wstring ExpectedLanAddress() {
  ULONG size = 0;
  if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0) return {};
  std::vector<IP_ADAPTER_INFO> buffer(size / sizeof(IP_ADAPTER_INFO) + 1);
  size = static_cast<ULONG>(buffer.size() * sizeof(IP_ADAPTER_INFO));
  if (GetAdaptersInfo(buffer.data(), &size) != NO_ERROR) return {};
  for (const IP_ADAPTER_INFO* adapter = buffer.data(); adapter; adapter = adapter->Next) {
    const std::string address(adapter->IpAddressList.IpAddress.String);
    if (!address.empty() && address != "0.0.0.0") return std::wstring(address.begin(), address.end());
  }
  return {};
}

std::wstring TextOf(HWND hwnd) { return ControlText(hwnd).value_or(L"<no answer>"); }

// The main window of a started program, once it is shown with its controls in place.
struct MainWindow {
  HWND window = nullptr;
  HWND lblLANip = nullptr;
  HWND lblWANip = nullptr;
  HWND cmdFindMyIP = nullptr;
};

class EndToEnd : public testing::Test {
 protected:
  void SetUp() override {
    const std::vector<std::wstring> foreign = EndLeftoverCopies();
    ASSERT_TRUE(foreign.empty()) << "Netbeacon is already running from " << Utf8(foreign.front())
                                 << "; the program runs once per user, so close it before running these tests.";
    // A known starting point: no automatic run or quit, and the system places the window.
    settings_.Set(L"Autorun", L"0").Set(L"Autoquit", L"0").Remove(L"Top").Remove(L"Left");
    // The probe and the four services are paths of a server inside this test: nothing leaves the
    // machine. Only the first service answers, unless a test scripts more.
    server_.Answer("/ip1", kServiceAnswer);
    UseServices(server_.Url("/probe"), {server_.Url("/ip1"), server_.Url("/ip2"), server_.Url("/ip3"),
                                        server_.Url("/ip4")});
  }

  // Where the program finds the connectivity probe and the public-address services.
  void UseServices(const std::wstring& probeUrl, const std::array<std::wstring, 4>& serviceUrls) {
    settings_.Set(L"ProbeURL", probeUrl);
    for (size_t i = 0; i < serviceUrls.size(); ++i) settings_.Set(L"ServiceURL" + std::to_wstring(i + 1), serviceUrls[i]);
  }

  // Starts a copy of the program and waits until its main window is shown with its controls.
  void StartMain(RunningProgram& program, MainWindow& main, const std::wstring& arguments = {}) {
    std::wstring error;
    program = StartProgram(arguments, {}, &error);
    ASSERT_TRUE(program) << Utf8(error);
    WaitUntil(
        [&] {
          const auto windows = FindWindows({ids::kClassName, std::nullopt, program.pid()});
          main.window = windows.empty() ? nullptr : windows.front();
          return main.window || !program.Running();
        },
        kStartTimeout);
    if (!main.window && !program.Running()) {
      const DWORD code = program.WaitForExit(0).value_or(0);
      FAIL() << "the program ended with exit code 0x" << std::hex << code << " before showing its window";
    }
    ASSERT_NE(main.window, nullptr) << "no visible main window within " << kStartTimeout << " ms";
    main.lblLANip = WaitForControl(main.window, ids::lblLANip);
    main.lblWANip = WaitForControl(main.window, ids::lblWANip);
    main.cmdFindMyIP = WaitForControl(main.window, ids::cmdFindMyIP);
    ASSERT_NE(main.lblLANip, nullptr);
    ASSERT_NE(main.lblWANip, nullptr);
    ASSERT_NE(main.cmdFindMyIP, nullptr);
  }

  // Presses Find and waits until the run is over: both labels show what is expected and the
  // progress window has gone.
  void Find(const MainWindow& main, DWORD pid, const std::wstring& expectedLan, const std::wstring& expectedWan) {
    ASSERT_TRUE(Click(main.cmdFindMyIP));
    const bool shown = WaitUntil([&] {
      return ControlText(main.lblLANip) == expectedLan && ControlText(main.lblWANip) == expectedWan;
    });
    ASSERT_TRUE(shown) << "the labels show \"" << Utf8(TextOf(main.lblLANip)) << "\" and \""
                       << Utf8(TextOf(main.lblWANip)) << "\", expected \"" << Utf8(expectedLan) << "\" and \""
                       << Utf8(expectedWan) << "\"";
    const bool over = WaitUntil([&] { return FindWindows({nb::FrmWorking::kClassName, std::nullopt, pid}).empty(); });
    ASSERT_TRUE(over) << "the progress window is still shown";
  }

  // Members outlive the programs a test starts (those are locals of the test), so the programs
  // have ended before the server stops and the stored values go back.
  nbtest::LoopbackHttpServer server_;
  ScopedSettings settings_;
};

TEST_F(EndToEnd, MainWindowAppearsWithBothAddressesUnknown) {
  RunningProgram program;
  MainWindow main;
  ASSERT_NO_FATAL_FAILURE(StartMain(program, main));

  EXPECT_TRUE(IsWindowVisible(main.window));
  const std::wstring caption = TextOf(main.window);
  EXPECT_TRUE(caption == L" Netbeacon" || caption == L"Netbeacon") << Utf8(caption);
  EXPECT_EQ(TextOf(main.lblLANip), kPlaceholder);
  EXPECT_EQ(TextOf(main.lblWANip), kPlaceholder);
  EXPECT_TRUE(IsWindowVisible(main.cmdFindMyIP));
  EXPECT_TRUE(IsWindowEnabled(main.cmdFindMyIP));

  // Closing the window ends the program normally.
  EXPECT_EQ(CloseAndWait(program, main.window), std::optional<DWORD>(0));
}

TEST_F(EndToEnd, SecondCopyIsRefusedAndLeavesTheFirstAlone) {
  RunningProgram first;
  MainWindow main;
  ASSERT_NO_FATAL_FAILURE(StartMain(first, main));
  const std::wstring lanBefore = TextOf(main.lblLANip);
  const std::wstring wanBefore = TextOf(main.lblWANip);

  std::wstring error;
  RunningProgram second = StartProgram({}, {}, &error);
  ASSERT_TRUE(second) << Utf8(error);
  HWND box = nullptr;
  bool secondMainWindow = false;
  WaitUntil(
      [&] {
        const auto boxes = FindWindows({L"#32770", std::wstring(L"Info"), second.pid()});
        box = boxes.empty() ? nullptr : boxes.front();
        secondMainWindow = !FindWindows({ids::kClassName, std::nullopt, second.pid()}).empty();
        return box || secondMainWindow;
      },
      kStartTimeout);
  ASSERT_FALSE(secondMainWindow) << "the second copy opened a main window of its own";
  ASSERT_NE(box, nullptr) << "the second copy showed no \"Info\" message box";
  const std::optional<MessageBoxTexts> texts = ReadMessageBox(box);
  ASSERT_TRUE(texts.has_value());
  EXPECT_EQ(texts->text, L"Netbeacon is already running...");
  // The second copy made no main window of its own, shown or hidden.
  EXPECT_TRUE(FindWindows({ids::kClassName, std::nullopt, second.pid(), false}).empty());

  ASSERT_TRUE(ClickDialogButton(box, IDOK));
  EXPECT_TRUE(second.WaitForExit(kExitTimeout).has_value()) << "the second copy did not end after its message box";

  // The first copy is untouched: the same window, still shown, still the only one.
  EXPECT_TRUE(first.Running());
  EXPECT_TRUE(IsWindow(main.window));
  EXPECT_TRUE(IsWindowVisible(main.window));
  EXPECT_EQ(FindWindows({ids::kClassName, std::nullopt, 0, true}), std::vector<HWND>{main.window});
  EXPECT_EQ(TextOf(main.lblLANip), lanBefore);
  EXPECT_EQ(TextOf(main.lblWANip), wanBefore);

  EXPECT_EQ(CloseAndWait(first, main.window), std::optional<DWORD>(0));
}

TEST_F(EndToEnd, FindShowsTheLanAddressAndThePublicAddressFromTheFirstService) {
  const std::wstring expectedLan = ExpectedLanAddress();
  ASSERT_FALSE(expectedLan.empty()) << "this machine has no adapter with an IPv4 address";

  RunningProgram program;
  MainWindow main;
  ASSERT_NO_FATAL_FAILURE(StartMain(program, main));
  ASSERT_NO_FATAL_FAILURE(Find(main, program.pid(), expectedLan, kServiceAddress));

  // The first service answered, so no other was asked.
  EXPECT_EQ(server_.Requests("/ip1"), 1);
  EXPECT_EQ(server_.Requests("/ip2") + server_.Requests("/ip3") + server_.Requests("/ip4"), 0);
  const HWND hiddenPublic = GetDlgItem(main.window, ids::lblHDDNPublicIP);
  EXPECT_EQ(TextOf(hiddenPublic), kServiceAddress);
  EXPECT_TRUE(program.Running());
  EXPECT_EQ(CloseAndWait(program, main.window), std::optional<DWORD>(0));
}

// How the public address comes about when the first service fails: the program goes down the
// list until an answer is a well-formed address, and gives up when the probe fails.
struct ServiceCase {
  const char* name;
  bool probeReachable;
  std::array<const char*, 4> answers;  // per service; nullptr: no answer (404 page)
  const wchar_t* expectedWan;
  std::array<int, 4> expectedRequests;
};

const ServiceCase kServiceCases[] = {
    {"ThirdServiceAfterAnUnknownPageAndNonsense", true, {"not an address", nullptr, "198.51.100.23\r\n", "192.0.2.99"},
     L"198.51.100.23", {1, 1, 1, 0}},
    {"NoServiceGivesAnAddress", true, {"1.2.3", "256.1.1.1", nullptr, "<html>203.0.113.9</html>"}, kAccessError,
     {1, 1, 1, 1}},
    {"ProbeFailsAndNoServiceIsAsked", false, {"203.0.113.7", "203.0.113.7", "203.0.113.7", "203.0.113.7"},
     kAccessError, {0, 0, 0, 0}},
};

void PrintTo(const ServiceCase& row, std::ostream* out) { *out << row.name; }

class EndToEndServices : public EndToEnd, public testing::WithParamInterface<ServiceCase> {};

TEST_P(EndToEndServices, PublicAddress) {
  const ServiceCase& row = GetParam();
  const std::wstring expectedLan = ExpectedLanAddress();
  ASSERT_FALSE(expectedLan.empty()) << "this machine has no adapter with an IPv4 address";
  nbtest::LoopbackHttpServer services;
  const std::array<std::string, 4> paths = {"/a", "/b", "/c", "/d"};
  for (size_t i = 0; i < paths.size(); ++i) {
    if (row.answers[i]) services.Answer(paths[i], row.answers[i]);
  }
  const std::wstring probe = row.probeReachable
                                 ? services.Url("/probe")
                                 : L"http://127.0.0.1:" + std::to_wstring(nbtest::UnusedLoopbackPort()) + L"/";
  UseServices(probe, {services.Url(paths[0]), services.Url(paths[1]), services.Url(paths[2]), services.Url(paths[3])});

  RunningProgram program;
  MainWindow main;
  ASSERT_NO_FATAL_FAILURE(StartMain(program, main));
  ASSERT_NO_FATAL_FAILURE(Find(main, program.pid(), expectedLan, row.expectedWan));
  for (size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(services.Requests(paths[i]), row.expectedRequests[i]) << paths[i];
  EXPECT_EQ(CloseAndWait(program, main.window), std::optional<DWORD>(0));
}

INSTANTIATE_TEST_SUITE_P(Table, EndToEndServices, testing::ValuesIn(kServiceCases),
                         [](const testing::TestParamInfo<ServiceCase>& info) { return std::string(info.param.name); });

TEST_F(EndToEnd, DoubleClickOnTheLanAddressShowsTheComputerName) {
  const std::wstring expected = ExpectedLanAddress();
  ASSERT_FALSE(expected.empty()) << "this machine has no adapter with an IPv4 address";

  RunningProgram program;
  MainWindow main;
  ASSERT_NO_FATAL_FAILURE(StartMain(program, main));
  ASSERT_NO_FATAL_FAILURE(Find(main, program.pid(), expected, kServiceAddress));

  ASSERT_TRUE(DoubleClick(main.lblLANip));
  // The reverse lookup may fail (no name for the address); then a message box comes first.
  // Name lookups can wait for the resolver's own time-outs, hence the longer bound.
  constexpr DWORD kLookupTimeout = 60000;
  HWND hostWindow = nullptr;
  HWND failureBox = nullptr;
  const bool appeared = WaitUntil(
      [&] {
        const auto hosts = FindWindows({nb::FrmHostName::kClassName, std::nullopt, program.pid()});
        const auto boxes = FindWindows({L"#32770", std::wstring(L"Netbeacon"), program.pid()});
        hostWindow = hosts.empty() ? nullptr : hosts.front();
        failureBox = boxes.empty() ? nullptr : boxes.front();
        return hostWindow || failureBox;
      },
      kLookupTimeout);
  ASSERT_TRUE(appeared) << "neither the host-name window nor a message box appeared";

  if (failureBox) {
    const std::optional<MessageBoxTexts> texts = ReadMessageBox(failureBox);
    ASSERT_TRUE(texts.has_value());
    EXPECT_EQ(texts->text, L"Call to Function gethostbyaddr failed.");
    ASSERT_TRUE(ClickDialogButton(failureBox, IDOK));
    hostWindow = WaitForWindow({nb::FrmHostName::kClassName, std::nullopt, program.pid()});
    ASSERT_NE(hostWindow, nullptr) << "no host-name window after the lookup failure";
  }

  EXPECT_EQ(TextOf(hostWindow), L"Computer Name - " + expected);
  const HWND lblInfo = WaitForControl(hostWindow, nb::FrmHostName::idLblInfo);
  ASSERT_NE(lblInfo, nullptr);
  // A failed lookup leaves the name empty; a successful one shows it.
  if (failureBox) {
    EXPECT_EQ(TextOf(lblInfo), L"");
  } else {
    EXPECT_NE(TextOf(lblInfo), L"");
  }
  // While the host-name window is shown, the main window waits.
  EXPECT_FALSE(IsWindowEnabled(main.window));

  ASSERT_TRUE(ClickDialogButton(hostWindow, IDOK));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(hostWindow) || !IsWindowVisible(hostWindow); }))
      << "the host-name window did not close on OK";
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main.window) != FALSE; }));
  EXPECT_EQ(TextOf(main.lblLANip), expected);

  EXPECT_EQ(CloseAndWait(program, main.window), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace nbtest::e2e
