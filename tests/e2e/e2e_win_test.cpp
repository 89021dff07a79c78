// End-to-end: the real netbeacon.exe, started as its own process and driven from outside through
// its windows, as a user (or another program) would.
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "about/frmAbout_win.h"
#include "detect/frmHostName_win.h"
#include "detect/frmWorking_win.h"
#include "e2e/driver_win.h"
#include "mainwindow/frmMain_ids.h"
#include "netconfig/frmIPconfig_win.h"
#include "support/loopback_http_win.h"
#include "support/recording_smtp_win.h"
#include "support/scripted_ui_win.h"
#include "watch/watch_mode_win.h"
#include "watch/watch_settings.h"

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
    ASSERT_TRUE(log_.ready()) << "the address log " << Utf8(log_.path()) << " could not be moved out of the way";
    // A known starting point: no automatic run or quit, and the system places the window.
    settings_.Set(L"Autorun", L"0").Set(L"Autoquit", L"0").Set(L"Watch", L"0").Remove(L"Top").Remove(L"Left");
    // The probe and the four services are paths of a server inside this test: nothing leaves the
    // machine. Only the first service answers, unless a test scripts more. The IPv6 ones too, on a
    // machine with a global IPv6 address (they answer nothing).
    server_.Answer("/ip1", kServiceAnswer);
    UseServices(server_.Url("/probe"), {server_.Url("/ip1"), server_.Url("/ip2"), server_.Url("/ip3"),
                                        server_.Url("/ip4")});
    UseIPv6Services(server_.Url("/probe6"), {server_.Url("/ip6-1"), server_.Url("/ip6-2"), server_.Url("/ip6-3")});
  }

  // Where the program finds the connectivity probe and the public-address services.
  void UseServices(const std::wstring& probeUrl, const std::array<std::wstring, 4>& serviceUrls) {
    settings_.Set(L"ProbeURL", probeUrl);
    for (size_t i = 0; i < serviceUrls.size(); ++i) settings_.Set(L"ServiceURL" + std::to_wstring(i + 1), serviceUrls[i]);
  }

  void UseIPv6Services(const std::wstring& probeUrl, const std::array<std::wstring, 3>& serviceUrls) {
    settings_.Set(L"Probe6URL", probeUrl);
    for (size_t i = 0; i < serviceUrls.size(); ++i) settings_.Set(L"Service6URL" + std::to_wstring(i + 1), serviceUrls[i]);
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

  // Presses Find and waits until the run is over: both labels show what is expected, the progress
  // window has gone, the step that hid it (and wrote the log) has ended, and the focus is on
  // cmdPREFS. `serviceRequests`: how many requests to this fixture's server the run makes; waiting
  // for them tells a new run from the end of an earlier one whose labels read the same.
  void Find(const MainWindow& main, DWORD pid, const std::wstring& expectedLan, const std::wstring& expectedWan,
            int serviceRequests = 0) {
    const int before = server_.TotalRequests();
    ASSERT_TRUE(Click(main.cmdFindMyIP));
    ASSERT_TRUE(WaitUntil([&] { return server_.TotalRequests() >= before + serviceRequests; }))
        << "the run made " << server_.TotalRequests() - before << " requests, expected " << serviceRequests;
    const bool shown = WaitUntil([&] {
      return ControlText(main.lblLANip) == expectedLan && ControlText(main.lblWANip) == expectedWan;
    });
    ASSERT_TRUE(shown) << "the labels show \"" << Utf8(TextOf(main.lblLANip)) << "\" and \""
                       << Utf8(TextOf(main.lblWANip)) << "\", expected \"" << Utf8(expectedLan) << "\" and \""
                       << Utf8(expectedWan) << "\"";
    const bool over = WaitUntil([&] { return FindWindows({nb::FrmWorking::kClassName, std::nullopt, pid}).empty(); });
    ASSERT_TRUE(over) << "the progress window is still shown";
    // The window hides the progress window before it writes the log, in the same message; once it
    // answers a message sent now, that message is done. (The focus tells nothing here: it moves to
    // cmdPREFS as the run starts.)
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(SendMessageTimeoutW(main.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kActionTimeout, &ignored));
    const HWND cmdPREFS = GetDlgItem(main.window, ids::cmdPREFS);
    ASSERT_TRUE(WaitUntil([&] { return FocusedWindowOf(main.window) == cmdPREFS; }))
        << "the focus did not move to cmdPREFS after the run";
  }

  // A second start while a copy runs: the "already running" box is all it shows, and it ends once
  // the box is closed.
  static void ExpectSecondStartRefused() {
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
  }

  // Members outlive the programs a test starts (those are locals of the test), so the programs
  // have ended before the server stops and the stored values go back.
  nbtest::LoopbackHttpServer server_;
  ScopedSettings settings_;
  ScopedLogFile log_;
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

  ASSERT_NO_FATAL_FAILURE(ExpectSecondStartRefused());

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

// --- The address log --------------------------------------------------------------------------------

// Today's date in the user's short date format, as the system writes it.
std::wstring TodayShortDate() {
  wchar_t date[128] = {};
  const int length = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 128);
  return length > 0 ? std::wstring(date) : std::wstring();
}

struct LogRecord {
  std::wstring date;
  std::wstring lan;
  std::wstring wan;
};

// The records of a log: lines of "date","LAN","WAN", each ended by CR LF, in the ANSI code page.
// Any other shape is a failure, described in `problem`.
std::vector<LogRecord> ReadLogRecords(const std::string& bytes, std::string& problem) {
  std::vector<LogRecord> records;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      problem = "the last line has no CR LF";
      return records;
    }
    const std::string line = bytes.substr(start, end - start);
    start = end + 2;
    if (line.find_first_of("\r\n") != std::string::npos) {
      problem = "a line holds a lone CR or LF: " + line;
      return records;
    }
    std::vector<std::string> fields;
    if (line.size() < 2 || line.front() != '"' || line.back() != '"') {
      problem = "a line is not a list of quoted fields: " + line;
      return records;
    }
    const std::string inner = line.substr(1, line.size() - 2);
    size_t from = 0;
    for (;;) {
      const size_t separator = inner.find("\",\"", from);
      fields.push_back(inner.substr(from, separator == std::string::npos ? std::string::npos : separator - from));
      if (separator == std::string::npos) break;
      from = separator + 3;
    }
    if (fields.size() != 3) {
      problem = "a line does not hold three fields: " + line;
      return records;
    }
    const auto wide = [](const std::string& ansi) {
      if (ansi.empty()) return std::wstring();
      const int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
      std::wstring text(static_cast<size_t>(size > 0 ? size : 0), L'\0');
      if (size > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), text.data(), size);
      return text;
    };
    records.push_back({wide(fields[0]), wide(fields[1]), wide(fields[2])});
  }
  return records;
}

// One Find in a row of them: what the first service answers, and the log's records afterwards.
struct LogStep {
  const char* answer;
  const wchar_t* shownWan;
  size_t records;  // the last one holds the LAN address and shownWan
};

TEST_F(EndToEnd, FindWritesTheLogOnceAndAgainOnlyWhenAnAddressChanged) {
  const std::wstring expectedLan = ExpectedLanAddress();
  ASSERT_FALSE(expectedLan.empty()) << "this machine has no adapter with an IPv4 address";
  ASSERT_FALSE(log_.path().empty()) << "the application data folder is not known";
  ASSERT_FALSE(nbtest::FileExists(log_.path()));
  const std::wstring dayBefore = TodayShortDate();

  RunningProgram program;
  MainWindow main;
  ASSERT_NO_FATAL_FAILURE(StartMain(program, main));
  const LogStep steps[] = {
      {"203.0.113.7\n", L"203.0.113.7", 1},      // no log yet: it is made with one record
      {"203.0.113.7\r\n", L"203.0.113.7", 1},    // the same addresses: nothing added
      {"198.51.100.23\n", L"198.51.100.23", 2},  // the public address changed: one record more
      {"198.51.100.23\n", L"198.51.100.23", 2},
  };
  std::string previous;
  size_t previousRecords = 0;
  for (const LogStep& step : steps) {
    SCOPED_TRACE(std::string("the service answers ") + step.answer);
    server_.Answer("/ip1", step.answer);
    // The answer is asked afresh on every run, however long the server lets it be cached.
    ASSERT_NO_FATAL_FAILURE(Find(main, program.pid(), expectedLan, step.shownWan, 1));
    const std::string bytes = nbtest::ReadFileBytes(log_.path());
    std::string problem;
    const std::vector<LogRecord> records = ReadLogRecords(bytes, problem);
    ASSERT_EQ(problem, "") << "the log holds:\n" << bytes;
    ASSERT_EQ(records.size(), step.records) << "the log holds:\n" << bytes;
    EXPECT_EQ(records.back().lan, expectedLan);
    EXPECT_EQ(records.back().wan, step.shownWan);
    // Records are only ever appended; a run that changed nothing leaves the file as it was.
    EXPECT_EQ(bytes.compare(0, previous.size(), previous), 0) << "the log was rewritten";
    if (records.size() == previousRecords) {
      EXPECT_EQ(bytes, previous) << "the log changed";
    }
    previous = bytes;
    previousRecords = records.size();
  }

  const std::wstring dayAfter = TodayShortDate();
  if (dayBefore != dayAfter) GTEST_SKIP() << "the day changed during the test";
  std::string problem;
  for (const LogRecord& record : ReadLogRecords(previous, problem)) EXPECT_EQ(record.date, dayBefore);
  EXPECT_EQ(CloseAndWait(program, main.window), std::optional<DWORD>(0));
}

// --- IPv6 -------------------------------------------------------------------------------------------

// The size of a window's client area.
SIZE ClientSize(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return {rect.right, rect.bottom};
}

// The records of a log file, with any fault of its shape added as a failure.
std::vector<LogRecord> LogRecordsOf(const std::wstring& path) {
  const std::string bytes = nbtest::ReadFileBytes(path);
  std::string problem;
  std::vector<LogRecord> records = ReadLogRecords(bytes, problem);
  EXPECT_EQ(problem, "") << Utf8(path) << " holds:\n" << bytes;
  return records;
}

// Runs only in a network namespace of its own (tests/e2e/e2e_ipv6_test.sh), which names in
// NB_NAMESPACE_IPV6 the global IPv6 address of its interface, or says "none" once the address is
// gone. The IPv6 probe and services are on [::1]: the first answers a unique local address, the
// second an address with text around it, the third an address written the long way.
TEST_F(EndToEnd, FindInANetworkNamespaceShowsTheIPv6RowOnlyWithAGlobalAddressAndLeavesTheIPv4ResultAlone) {
  wchar_t value[64] = {};
  const DWORD length = GetEnvironmentVariableW(L"NB_NAMESPACE_IPV6", value, 64);
  if (length == 0 || length >= 64) GTEST_SKIP() << "runs in a network namespace: ctest's e2e_ipv6_test";
  const std::wstring lan6 = std::wstring(value) == L"none" ? L"" : value;
  constexpr wchar_t kServed6[] = L"2a01:4f8::a01";
  const std::wstring expectedLan = ExpectedLanAddress();
  ASSERT_FALSE(expectedLan.empty()) << "this machine has no adapter with an IPv4 address";
  const ScopedLogFile log6(LogFilePath(L"Netbeacon-IPv6.log"));
  ASSERT_TRUE(log6.ready());
  nbtest::LoopbackHttpServer services6(false, nbtest::LoopbackHttpServer::Family::kIPv6);
  const std::array<std::string, 3> paths = {"/a", "/b", "/c"};
  services6.Answer(paths[0], "fd12:3456:789a::1\n");
  services6.Answer(paths[1], "2a01:4f8::a01 is yours\n");
  services6.Answer(paths[2], "2A01:04F8:0000:0000:0000:0000:0000:0A01\r\n");
  UseIPv6Services(services6.Url("/probe"), {services6.Url(paths[0]), services6.Url(paths[1]), services6.Url(paths[2])});

  RunningProgram program;
  MainWindow main;
  ASSERT_NO_FATAL_FAILURE(StartMain(program, main));
  const HWND lblLANip6 = WaitForControl(main.window, ids::lblLANip6);
  const HWND lblWANip6 = WaitForControl(main.window, ids::lblWANip6);
  const SIZE designed = ClientSize(main.window);
  ASSERT_NO_FATAL_FAILURE(Find(main, program.pid(), expectedLan, kServiceAddress, 1));
  const SIZE shown = ClientSize(main.window);
  if (lan6.empty()) {
    EXPECT_FALSE(IsWindowVisible(lblLANip6) || IsWindowVisible(lblWANip6)) << "the IPv6 row shows";
    EXPECT_TRUE(shown.cx == designed.cx && shown.cy == designed.cy) << shown.cx << " x " << shown.cy;
    EXPECT_EQ(services6.Connections(), 0) << "asked over IPv6";
    EXPECT_FALSE(nbtest::FileExists(log6.path()));
  } else {
    EXPECT_TRUE(IsWindowVisible(lblLANip6) && IsWindowVisible(lblWANip6)) << "no IPv6 row";
    EXPECT_TRUE(shown.cx > designed.cx && shown.cy > designed.cy) << shown.cx << " x " << shown.cy;
    EXPECT_EQ(TextOf(lblLANip6), lan6);
    EXPECT_EQ(TextOf(lblWANip6), kServed6);
    for (const std::string& path : paths) EXPECT_EQ(services6.Requests(path), 1) << path;
    const std::vector<LogRecord> records6 = LogRecordsOf(log6.path());
    ASSERT_EQ(records6.size(), 1u);
    EXPECT_EQ(records6[0].lan, lan6);
    EXPECT_EQ(records6[0].wan, kServed6);
  }
  // Either way the IPv4 result, and its log, as without IPv6.
  EXPECT_EQ(TextOf(GetDlgItem(main.window, ids::lblHDDNPublicIP)), kServiceAddress);
  const std::vector<LogRecord> records = LogRecordsOf(log_.path());
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].lan, expectedLan);
  EXPECT_EQ(records[0].wan, kServiceAddress);
  EXPECT_EQ(CloseAndWait(program, main.window), std::optional<DWORD>(0));
}

// --- Command-line switches and the clipboard ------------------------------------------------------------

enum class Expect { Lan, Wan, Untouched };

struct SwitchCase {
  const char* name;
  const wchar_t* arguments;
  const wchar_t* autoquit;
  Expect clipboard;       // what the clipboard holds once the window shows
  int laterCopy;          // a copy command given after that (0: none), after a Find when no switch ran
  Expect afterLaterCopy;  // what the clipboard then holds
  bool endsAfterLaterCopy;
};

const SwitchCase kSwitchCases[] = {
    {"PublicAddress", L"AutocopyEX", L"0", Expect::Wan, 0, Expect::Wan, false},
    // With Autoquit on, neither the copy at start-up nor a later one ends a program started so.
    {"PublicAddressWithAutoquit", L"AutocopyEX", L"1", Expect::Wan, ids::menuCopyLANtoClipboard, Expect::Lan, false},
    {"LanAddress", L"AutocopyIN", L"0", Expect::Lan, 0, Expect::Lan, false},
    {"LanAddressWithAutoquit", L"AutocopyIN", L"1", Expect::Lan, ids::menuCopyWANtoClipboard, Expect::Wan, false},
    // The switch must be the whole argument text, in its own letter case.
    {"OtherLetterCase", L"autocopyex", L"0", Expect::Untouched, 0, Expect::Untouched, false},
    {"TrailingBlank", L"AutocopyEX ", L"0", Expect::Untouched, 0, Expect::Untouched, false},
    // Without a switch, a copy with Autoquit on ends the program.
    {"NoSwitchCopyWithAutoquit", L"", L"1", Expect::Untouched, ids::menuCopyWANtoClipboard, Expect::Wan, true},
};

void PrintTo(const SwitchCase& row, std::ostream* out) { *out << row.name; }

class EndToEndSwitches : public EndToEnd, public testing::WithParamInterface<SwitchCase> {};

TEST_P(EndToEndSwitches, Clipboard) {
  const SwitchCase& row = GetParam();
  const std::wstring expectedLan = ExpectedLanAddress();
  ASSERT_FALSE(expectedLan.empty()) << "this machine has no adapter with an IPv4 address";
  constexpr wchar_t kSentinel[] = L"put there by the test";
  const auto expected = [&](Expect what) -> std::wstring {
    switch (what) {
      case Expect::Lan: return expectedLan;
      case Expect::Wan: return kServiceAddress;
      default: return kSentinel;
    }
  };
  const auto clipboardHolds = [](const std::wstring& text) {
    const ClipboardRead unicode = ReadClipboardText(CF_UNICODETEXT);
    const ClipboardRead ansi = ReadClipboardText(CF_TEXT);
    return unicode.text == text && ansi.text == text;
  };
  const auto describeClipboard = [] {
    const ClipboardRead unicode = ReadClipboardText(CF_UNICODETEXT);
    const ClipboardRead ansi = ReadClipboardText(CF_TEXT);
    return "CF_UNICODETEXT \"" + Utf8(unicode.text.value_or(L"<none>")) + "\", CF_TEXT \"" +
           Utf8(ansi.text.value_or(L"<none>")) + "\"" + (unicode.opened && ansi.opened ? "" : " (could not open)");
  };

  const ScopedClipboardText keepClipboard;
  ASSERT_TRUE(PutClipboardText(kSentinel));
  settings_.Set(L"Autoquit", row.autoquit);

  RunningProgram program;
  MainWindow main;
  ASSERT_NO_FATAL_FAILURE(StartMain(program, main, row.arguments));
  // The copy happens in the load step, before the window shows.
  EXPECT_TRUE(WaitUntil([&] { return clipboardHolds(expected(row.clipboard)); }, 5000)) << describeClipboard();
  if (row.clipboard == Expect::Untouched) {
    EXPECT_EQ(TextOf(main.lblLANip), kPlaceholder) << "a detection run took place";
    EXPECT_EQ(TextOf(main.lblWANip), kPlaceholder) << "a detection run took place";
  } else {
    EXPECT_EQ(TextOf(main.lblLANip), expectedLan);
    EXPECT_EQ(TextOf(main.lblWANip), kServiceAddress);
  }

  if (row.laterCopy != 0) {
    if (row.clipboard == Expect::Untouched) {
      ASSERT_NO_FATAL_FAILURE(Find(main, program.pid(), expectedLan, kServiceAddress));
    }
    ASSERT_TRUE(PutClipboardText(kSentinel));
    ASSERT_TRUE(PostMessageW(main.window, WM_COMMAND, MAKEWPARAM(row.laterCopy, 0), 0));
    EXPECT_TRUE(WaitUntil([&] { return clipboardHolds(expected(row.afterLaterCopy)); })) << describeClipboard();
    if (row.endsAfterLaterCopy) {
      EXPECT_EQ(program.WaitForExit(kExitTimeout), std::optional<DWORD>(0)) << "the program did not end";
      return;
    }
  }
  // Whatever the program does after a copy it does in the same step: once it answers a message
  // sent now, that step is over.
  DWORD_PTR ignored = 0;
  EXPECT_TRUE(SendMessageTimeoutW(main.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored));
  EXPECT_TRUE(program.Running());
  EXPECT_TRUE(IsWindowVisible(main.window)) << "the main window did not stay open";
  EXPECT_EQ(CloseAndWait(program, main.window), std::optional<DWORD>(0));
}

INSTANTIATE_TEST_SUITE_P(Table, EndToEndSwitches, testing::ValuesIn(kSwitchCases),
                         [](const testing::TestParamInfo<SwitchCase>& info) { return std::string(info.param.name); });

// --- Preferences ------------------------------------------------------------------------------------

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Whether a label shows the given colours on the screen: its background fills its corners and
// most of it, and some of its pixels are exactly the text colour.
bool ShowsColours(HWND label, COLORREF text, COLORREF back) {
  const ScreenPixels pixels = ReadScreenPixels(label);
  if (pixels.colours.empty()) return false;
  const int w = pixels.width;
  const int h = pixels.height;
  if (pixels.at(0, 0) != back || pixels.at(w - 1, 0) != back || pixels.at(0, h - 1) != back ||
      pixels.at(w - 1, h - 1) != back) {
    return false;
  }
  size_t backCount = 0;
  size_t textCount = 0;
  for (const COLORREF colour : pixels.colours) {
    if (colour == back) ++backCount;
    if (colour == text) ++textCount;
  }
  return backCount * 2 > pixels.colours.size() && textCount >= 10;
}

std::string DescribeColours(HWND label) {
  const ScreenPixels pixels = ReadScreenPixels(label);
  if (pixels.colours.empty()) return "the screen could not be read";
  char text[96];
  snprintf(text, sizeof text, "%dx%d pixels, corner 0x%06lX, middle 0x%06lX", pixels.width, pixels.height,
           static_cast<unsigned long>(pixels.at(0, 0)),
           static_cast<unsigned long>(pixels.at(pixels.width / 2, pixels.height / 2)));
  return text;
}

int CheckState(HWND box) {
  DWORD_PTR state = 0;
  if (!SendMessageTimeoutW(box, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state)) return -1;
  return static_cast<int>(state);
}

TEST_F(EndToEnd, PreferencesAreStoredOnCloseAndRestoredOnTheNextStart) {
  settings_.Remove(L"ForeColor");
  const int dpi = ScreenDpi();
  constexpr int kX = 150;
  constexpr int kY = 120;

  {
    RunningProgram program;
    MainWindow main;
    ASSERT_NO_FATAL_FAILURE(StartMain(program, main));
    const HWND chkAutoQuit = WaitForControl(main.window, ids::chkAutoQuit);
    ASSERT_NE(chkAutoQuit, nullptr);
    EXPECT_EQ(CheckState(chkAutoQuit), BST_UNCHECKED);
    // No stored scheme: green on black.
    EXPECT_TRUE(WaitUntil([&] { return ShowsColours(main.lblLANip, kGreen, kBlack); }, 5000))
        << DescribeColours(main.lblLANip);

    ASSERT_TRUE(Click(chkAutoQuit));
    EXPECT_TRUE(WaitUntil([&] { return CheckState(chkAutoQuit) == BST_CHECKED; }));
    ASSERT_TRUE(PostMessageW(main.window, WM_COMMAND, MAKEWPARAM(ids::menuColorsBlackOnWhite, 0), 0));
    EXPECT_TRUE(WaitUntil([&] { return ShowsColours(main.lblLANip, kBlack, kWhite); }, 5000))
        << DescribeColours(main.lblLANip);
    EXPECT_TRUE(WaitUntil([&] { return ShowsColours(main.lblWANip, kBlack, kWhite); }, 5000))
        << DescribeColours(main.lblWANip);
    ASSERT_TRUE(SetWindowPos(main.window, nullptr, kX, kY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    RECT rect{};
    EXPECT_TRUE(WaitUntil([&] { return GetWindowRect(main.window, &rect) && rect.left == kX && rect.top == kY; }));
    ASSERT_EQ(CloseAndWait(program, main.window), std::optional<DWORD>(0));
  }

  // What the close stored, as the registry tool shows it.
  const auto stored = [](const wchar_t* name) {
    std::string printout;
    const std::optional<std::wstring> value = QueryValueWithRegTool(name, &printout);
    return std::make_pair(value.value_or(L"<missing>"), printout);
  };
  const struct {
    const wchar_t* name;
    std::wstring value;
  } expectedValues[] = {{L"Autoquit", L"1"}, {L"Autorun", L"0"}, {L"ForeColor", L"0"}};
  for (const auto& expected : expectedValues) {
    const auto [value, printout] = stored(expected.name);
    EXPECT_EQ(value, expected.value) << Utf8(expected.name) << "; reg printed:\n" << printout;
  }
  // Top and Left in twips: 1440 per inch.
  const struct {
    const wchar_t* name;
    int pixels;
  } edges[] = {{L"Top", kY}, {L"Left", kX}};
  for (const auto& edge : edges) {
    const auto [value, printout] = stored(edge.name);
    const std::string text = Utf8(value);
    char* end = nullptr;
    const double twips = std::strtod(text.c_str(), &end);
    EXPECT_TRUE(!text.empty() && end == text.c_str() + text.size()) << Utf8(edge.name) << " is not a number: " << printout;
    EXPECT_NEAR(twips, edge.pixels * 1440.0 / dpi, 0.01) << Utf8(edge.name) << "; reg printed:\n" << printout;
    if (dpi == 96) {
      EXPECT_EQ(value, std::to_wstring(edge.pixels * 15)) << Utf8(edge.name);
    }
  }

  // The next start takes them up again.
  RunningProgram program;
  MainWindow main;
  ASSERT_NO_FATAL_FAILURE(StartMain(program, main));
  const HWND chkAutoQuit = WaitForControl(main.window, ids::chkAutoQuit);
  const HWND chkAutoRun = WaitForControl(main.window, ids::chkAutoRun);
  EXPECT_EQ(CheckState(chkAutoQuit), BST_CHECKED);
  EXPECT_EQ(CheckState(chkAutoRun), BST_UNCHECKED);
  RECT rect{};
  ASSERT_TRUE(GetWindowRect(main.window, &rect));
  EXPECT_EQ(rect.left, kX);
  EXPECT_EQ(rect.top, kY);
  EXPECT_TRUE(WaitUntil([&] { return ShowsColours(main.lblLANip, kBlack, kWhite); }, 5000))
      << DescribeColours(main.lblLANip);
  EXPECT_TRUE(WaitUntil([&] { return ShowsColours(main.lblWANip, kBlack, kWhite); }, 5000))
      << DescribeColours(main.lblWANip);
  EXPECT_EQ(CloseAndWait(program, main.window), std::optional<DWORD>(0));
}

// --- Keyboard ---------------------------------------------------------------------------------------

// The keys that close the about window: Esc cancels it, Enter presses its default button.
class EndToEndAboutKeys : public EndToEnd, public testing::WithParamInterface<WORD> {};

TEST_P(EndToEndAboutKeys, CtrlAOpensTheAboutWindowAndTheKeyClosesIt) {
  RunningProgram program;
  MainWindow main;
  ASSERT_NO_FATAL_FAILURE(StartMain(program, main));
  ASSERT_TRUE(BringToForeground(main.window)) << "the main window could not be brought to the foreground";
  ASSERT_TRUE(WaitUntil([&] { return FocusedWindowOf(main.window) == main.cmdFindMyIP; }));

  ASSERT_TRUE(PressKeys({VK_CONTROL, 'A'}));
  const HWND about = WaitForWindow({nb::FrmAbout::kClassName, std::nullopt, program.pid()});
  ASSERT_NE(about, nullptr) << "Ctrl+A opened no about window";
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(main.window); })) << "the main window does not wait";
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == about; })) << "the about window is not in front";

  ASSERT_TRUE(PressKeys({GetParam()}));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about) || !IsWindowVisible(about); })) << "the about window stayed";
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main.window) != FALSE; }));
  EXPECT_TRUE(program.Running());
  EXPECT_EQ(CloseAndWait(program, main.window), std::optional<DWORD>(0));
}

INSTANTIATE_TEST_SUITE_P(Keys, EndToEndAboutKeys, testing::Values(WORD{VK_ESCAPE}, WORD{VK_RETURN}),
                         [](const testing::TestParamInfo<WORD>& info) {
                           return std::string(info.param == VK_ESCAPE ? "Escape" : "Enter");
                         });

// The configuration viewer: the system's own report, captured through a hidden batch file, shows
// this machine's address; the viewer stores its place as it closes.
TEST_F(EndToEnd, CtrlMShowsThisMachinesConfigurationReport) {
  settings_.Remove(L"IPconfig_Top").Remove(L"IPconfig_Left").Remove(L"IPconfig_Width").Remove(L"IPconfig_Height");
  const std::wstring lan = ExpectedLanAddress();
  ASSERT_FALSE(lan.empty()) << "this machine has no LAN address to look for";
  RunningProgram program;
  MainWindow main;
  ASSERT_NO_FATAL_FAILURE(StartMain(program, main));
  ASSERT_TRUE(BringToForeground(main.window)) << "the main window could not be brought to the foreground";
  ASSERT_TRUE(PressKeys({VK_CONTROL, 'M'}));
  const HWND viewer = WaitForWindow({nb::FrmIPconfig::kClassName, std::wstring(L"IP Config"), program.pid()});
  ASSERT_NE(viewer, nullptr) << "Ctrl+M opened no configuration viewer";
  EXPECT_EQ(GetWindow(viewer, GW_OWNER), nullptr);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(main.window); })) << "the main window does not wait";
  const HWND report = WaitForControl(viewer, nb::FrmIPconfig::idTxtIPconfig);
  EXPECT_TRUE(WaitUntil([&] { return ControlText(report).value_or(L"").find(lan) != std::wstring::npos; }))
      << "the report does not name " << Utf8(lan) << ": " << Utf8(TextOf(report));
  ASSERT_TRUE(Click(WaitForControl(viewer, nb::FrmIPconfig::idCmdOK)));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(viewer); })) << "Close did not close the viewer";
  EXPECT_TRUE(ScopedSettings::Read(L"IPconfig_Width").has_value()) << "the viewer did not store its size";
  EXPECT_EQ(CloseAndWait(program, main.window), std::optional<DWORD>(0));
}

// A service that never answers holds the run, not the window: with the progress window up, Ctrl+A
// opens the about window at once and Ctrl+Q ends the program at once, storing the preferences and
// leaving no answer file behind.
TEST_F(EndToEnd, DuringAStalledRunTheKeysAnswerAtOnceAndCtrlQEndsTheProgram) {
  server_.Silent("/ip1");
  RunningProgram program;
  MainWindow main;
  ASSERT_NO_FATAL_FAILURE(StartMain(program, main));
  const HWND chkAutoRun = WaitForControl(main.window, ids::chkAutoRun);
  ASSERT_TRUE(Click(chkAutoRun));
  ASSERT_TRUE(WaitUntil([&] { return CheckState(chkAutoRun) == BST_CHECKED; }));
  ASSERT_TRUE(Click(main.cmdFindMyIP));
  ASSERT_TRUE(WaitUntil([&] { return server_.Requests("/ip1") == 1; })) << "the first service was not asked";
  ASSERT_TRUE(BringToForeground(main.window)) << "the main window could not be brought to the foreground";

  ASSERT_TRUE(PressKeys({VK_CONTROL, 'A'}));
  EXPECT_NE(WaitForWindow({nb::FrmAbout::kClassName, std::nullopt, program.pid()}, 1000), nullptr)
      << "Ctrl+A opened no about window within a second";
  EXPECT_FALSE(FindWindows({nb::FrmWorking::kClassName, std::nullopt, program.pid()}).empty())
      << "the run was over before the about window came";
  ASSERT_TRUE(PressKeys({VK_ESCAPE}));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(main.window) != FALSE; })) << "the about window stayed";

  ASSERT_TRUE(BringToForeground(main.window));
  ASSERT_TRUE(PressKeys({VK_CONTROL, 'Q'}));
  EXPECT_EQ(program.WaitForExit(1000), std::optional<DWORD>(0)) << "Ctrl+Q did not end the program within a second";
  EXPECT_EQ(ScopedSettings::Read(L"Autorun"), std::optional<std::wstring>(L"1"));
  const std::wstring folder = log_.path().substr(0, log_.path().rfind(L'\\') + 1);
  WIN32_FIND_DATAW found;
  const HANDLE left = FindFirstFileW((folder + L"ip.txt*").c_str(), &found);
  EXPECT_EQ(left, INVALID_HANDLE_VALUE) << "left in the data folder: " << Utf8(found.cFileName);
  if (left != INVALID_HANDLE_VALUE) FindClose(left);
  EXPECT_FALSE(nbtest::FileExists(log_.path())) << "the dropped run wrote the log";
}

// --- Long paths -------------------------------------------------------------------------------------

// The manifest built into a program, as text.
std::string ManifestOf(const std::wstring& program) {
  const nb::unique_hmodule image(
      LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  if (!image) return {};
  const HRSRC found = FindResourceW(image.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  const HGLOBAL loaded = found ? LoadResource(image.get(), found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  return bytes ? std::string(static_cast<const char*>(bytes), SizeofResource(image.get(), found)) : std::string();
}

// A folder made below `base` whose path is exactly `length` characters long.
std::wstring DeepFolder(std::wstring base, size_t length) {
  if (base.back() == L'\\') base.pop_back();
  while (base.size() < length) {
    base += L'\\' + std::wstring(std::min<size_t>(40, length - base.size() - 1), L'd');
    if (!CreateDirectoryW(base.c_str(), nullptr)) return {};
  }
  return base;
}

TEST_F(EndToEnd, UnderAProfilePathPast260CharactersTheDataFolderLogAndScratchFileWork) {
  // On Windows, paths past 260 characters need the program to say it handles them.
  EXPECT_NE(ManifestOf(ProgramPath()).find(">true</longPathAware>"), std::string::npos);
  const std::wstring expectedLan = ExpectedLanAddress();
  ASSERT_FALSE(expectedLan.empty()) << "this machine has no adapter with an IPv4 address";
  // The user's roaming folder moved deep down, as the user's shell folder setting does. Wine's shell
  // ignores a setting of 260 characters or more, so it is 259 long: the data folder below it, the
  // log and the scratch file have paths past 260 characters.
  nbtest::TempFolder temp;
  const std::wstring roaming = DeepFolder(temp.path(), 259);
  ASSERT_EQ(roaming.size(), 259u);
  const std::wstring data = roaming + L"\\Ambertop software\\Netbeacon\\";
  ScopedSettings shellFolders(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders");
  shellFolders.Set(L"AppData", roaming, REG_EXPAND_SZ);

  RunningProgram program;
  MainWindow main;
  ASSERT_NO_FATAL_FAILURE(StartMain(program, main));
  ASSERT_NO_FATAL_FAILURE(Find(main, program.pid(), expectedLan, kServiceAddress, 1));
  const std::string log = nbtest::ReadFileBytes(data + L"Netbeacon.log");
  EXPECT_NE(log.find("\",\"" + Utf8(expectedLan) + "\",\"" + Utf8(kServiceAddress) + "\"\r\n"), std::string::npos) << log;
  EXPECT_FALSE(nbtest::FileExists(data + L"ip.txt"));
  EXPECT_FALSE(nbtest::FileExists(log_.path())) << "the log was written to the usual folder";
  EXPECT_EQ(CloseAndWait(program, main.window), std::optional<DWORD>(0));
}

// --- Watch mode -------------------------------------------------------------------------------------

// Watching, with the mail and the command set: the first check finds the address; when the
// service's answer has changed, a network change notice brings it to the labels, the log, one mail
// and the command, and neither a progress window nor a message box shows on the way.
TEST_F(EndToEnd, WatchTellsAChangedPublicAddressToTheLabelsTheLogTheMailAndTheCommand) {
  const std::wstring expectedLan = ExpectedLanAddress();
  ASSERT_FALSE(expectedLan.empty()) << "this machine has no adapter with an IPv4 address";
  nbtest::RecordingSmtpServer mailServer;
  const nbtest::TempFolder temp;
  const std::wstring ran = temp.path() + L"ran.txt";
  settings_.Set(L"Watch", L"1").Set(L"WatchMinutes", L"15").Set(L"WatchMail", L"1");
  settings_.Set(L"WatchCommand", L"echo %1 %2>>\"" + ran + L"\"");
  settings_.Set(L"MailFrom", L"watch@example.com").Set(L"MailTo", L"me@example.com").Remove(L"MailCC");
  settings_.Set(L"MailSMTP", mailServer.Address()).Set(L"MailSMTPauth", L"0").Remove(L"MailSubject");
  const auto logRecords = [&] {
    std::string problem;
    return ReadLogRecords(nbtest::ReadFileBytes(log_.path()), problem);
  };
  const auto shows = [](const MainWindow& main, const std::wstring& wan) { return ControlText(main.lblWANip) == wan; };

  RunningProgram program;
  MainWindow main;
  ASSERT_NO_FATAL_FAILURE(StartMain(program, main));
  const ShownWindows shown(program.pid());
  ASSERT_TRUE(WaitUntil([&] { return shows(main, kServiceAddress) && logRecords().size() == 1; }))
      << "the first check did not end: " << Utf8(TextOf(main.lblWANip));

  constexpr wchar_t kNewAddress[] = L"198.51.100.23";
  server_.Answer("/ip1", "198.51.100.23\n");
  ASSERT_TRUE(PostMessageW(main.window, nb::kNetworkChangedMessage, 0, 0));
  EXPECT_TRUE(WaitUntil([&] { return shows(main, kNewAddress); })) << Utf8(TextOf(main.lblWANip));
  EXPECT_EQ(TextOf(main.lblLANip), expectedLan);
  EXPECT_TRUE(WaitUntil([&] { return logRecords().size() == 2 && logRecords().back().wan == kNewAddress; }))
      << nbtest::ReadFileBytes(log_.path());
  const std::string commandSaw = Utf8(kNewAddress) + " " + Utf8(expectedLan) + "\r\n";
  EXPECT_TRUE(WaitUntil([&] { return nbtest::ReadFileBytes(ran) == commandSaw; })) << nbtest::ReadFileBytes(ran);
  EXPECT_TRUE(WaitUntil([&] { return !mailServer.Messages().empty(); })) << "no mail came";
  const std::vector<std::string> mails = mailServer.Messages();
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_NE(mails.front().find("\r\n\r\nHere's my new IP:\r\n198.51.100.23\r\n"), std::string::npos) << mails.front();
  EXPECT_EQ(nbtest::ReadFileBytes(ran), commandSaw) << "the command ran more than once";
  const std::set<std::wstring> classes = shown.Classes();
  EXPECT_FALSE(classes.contains(nb::FrmWorking::kClassName)) << "a progress window showed";
  EXPECT_FALSE(classes.contains(L"#32770")) << "a message box showed";
  EXPECT_EQ(CloseAndWait(program, main.window), std::optional<DWORD>(0));
}

// Started with the Watch switch, as the Run value starts it: the main window stays hidden while a
// check asks the services at once, and a second start still shows only the "already running" box.
TEST_F(EndToEnd, WatchSwitchStartsHiddenAndChecksAtOnce) {
  std::wstring error;
  RunningProgram program = StartProgram(nb::kSwitchWatch, {}, &error);
  ASSERT_TRUE(program) << Utf8(error);
  const ShownWindows shown(program.pid());
  const HWND window = WaitForWindow({ids::kClassName, std::nullopt, program.pid(), false}, kStartTimeout);
  ASSERT_NE(window, nullptr) << "no main window, shown or hidden";
  const HWND lblWANip = WaitForControl(window, ids::lblWANip);
  EXPECT_TRUE(WaitUntil([&] { return ControlText(lblWANip) == kServiceAddress; })) << Utf8(TextOf(lblWANip));
  ASSERT_NO_FATAL_FAILURE(ExpectSecondStartRefused());
  EXPECT_FALSE(shown.Classes().contains(ids::kClassName)) << "the main window showed";
  EXPECT_EQ(CloseAndWait(program, window), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace nbtest::e2e
