// The public-address services against a loopback HTTP server inside the test program.
#include <windows.h>
#include <tlhelp32.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "detect/download_win.h"
#include "detect/public_address_win.h"
#include "settings/appdata_win.h"
#include "settings/registry_win.h"
#include "support/loopback_http_win.h"
#include "support/scripted_ui_win.h"
#include "base/text_win.h"
#include "base/worker_win.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using nbtest::LoopbackHttpServer;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::wstring AnswerFile() { return nb::GetAppDataDir(nb::ExecutableFolder()) + L"ip.txt"; }

// A whole run with a fixed LAN address: its result, and the progress texts it showed.
struct Found {
  nb::DetectionResult result;
  std::vector<std::wstring> trying;
  std::wstring wan() const { return result.wan.value_or(L""); }
};

// `lan6` is the machine's LAN IPv6 address; without one nothing is asked over IPv6.
Found Find(const nb::ServiceSettings& settings, std::optional<std::wstring> lan6 = std::nullopt) {
  const nb::StopSignal stop;
  Found found;
  found.result = nb::FindAddresses(
      settings, [] { return std::wstring(L"192.0.2.2"); }, [lan6] { return lan6; }, stop, [&](nb::RunStep step) {
        if (step.kind == nb::RunStep::Kind::kTrying) found.trying.push_back(step.text);
      });
  return found;
}

class Services : public testing::Test {
 protected:
  void SetUp() override {
    DeleteFileW(AnswerFile().c_str());  // left by an earlier, interrupted run
    server.Answer("/probe", "ok");
  }
  void TearDown() override {
    EXPECT_FALSE(nbtest::FileExists(AnswerFile())) << "ip.txt was left in the data folder";
    EXPECT_TRUE(ui.messages.empty()) << testing::PrintToString(ui.messages.size());
  }

  // Loopback probe and services /s1 .. /s4 (on the fixture's server unless told otherwise),
  // labelled "one" .. "four", with a bound of 1 s.
  nb::ServiceSettings LoopbackSettings() const { return LoopbackSettings(server); }
  static nb::ServiceSettings LoopbackSettings(const LoopbackHttpServer& on) {
    nb::ServiceSettings settings = nb::DefaultServiceSettings();
    settings.probeUrl = on.Url("/probe");
    const wchar_t* labels[] = {L"one", L"two", L"three", L"four"};
    for (int i = 0; i < 4; ++i) {
      settings.services[i].url = on.Url("/s" + std::to_string(i + 1));
      settings.services[i].displayLabel = labels[i];
    }
    settings.bound = 1s;
    return settings;
  }

  std::wstring Ask(int service) {
    const nb::ServiceSettings settings = LoopbackSettings();
    return nb::GetPublicIPFrom(settings.services[service - 1], settings).result;
  }

  nbtest::ScriptedModalUi ui;
  LoopbackHttpServer server;
};

// ---- One service ----

struct AnswerCase {
  const char* name;
  std::string body;
  int status;
  const wchar_t* result;
};

class ServiceAnswers : public Services, public testing::WithParamInterface<AnswerCase> {};

TEST_P(ServiceAnswers, GiveTheAddressOrAccessError) {
  const AnswerCase& c = GetParam();
  LoopbackHttpServer::Reply reply;
  reply.body = c.body;
  reply.status = c.status;
  server.Answer("/s1", reply);
  EXPECT_EQ(Ask(1), c.result);
  EXPECT_EQ(server.Requests("/s1"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, ServiceAnswers,
    testing::Values(AnswerCase{"Address", "192.0.2.45", 200, L"192.0.2.45"},
                    AnswerCase{"AddressLf", "198.51.100.2\n", 200, L"198.51.100.2"},
                    AnswerCase{"AddressCrLf", "198.51.100.2\r\n", 200, L"198.51.100.2"},
                    AnswerCase{"ThreeDigitsCrLf", "198.51.100.200\r\n", 200, L"198.51.100.200"},
                    AnswerCase{"Html", "<html><body><p>Your address: 192.0.2.45</p></body></html>", 200,
                               nb::kAccessError},
                    AnswerCase{"Empty", "", 200, nb::kAccessError},
                    AnswerCase{"TwoLines", "192.0.2.45\n192.0.2.46\n", 200, nb::kAccessError},
                    AnswerCase{"JustTooLong", "192.0.2.45" + std::string(nb::kMaxAnswerBytes, '\n'), 200,
                               nb::kAccessError},
                    AnswerCase{"ServerError", "Internal error", 500, nb::kAccessError},
                    // An error page is no answer, even one that holds an address.
                    AnswerCase{"NotFoundPageWithAnAddress", "203.0.113.44", 404, nb::kAccessError},
                    AnswerCase{"OtherSuccessStatus", "203.0.113.44", 203, L"203.0.113.44"}),
    [](const testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

TEST_F(Services, TenMegabyteBodyIsRefusedQuickly) {
  server.Answer("/s1", "192.0.2.45" + std::string(10 * 1024 * 1024, '\n'));
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(Ask(1), nb::kAccessError);
  EXPECT_LT(SecondsSince(start), 3.0);
}

TEST_F(Services, SilentServiceIsGivenUpAfterTheBound) {
  server.Silent("/s1");
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(Ask(1), nb::kAccessError);
  const double seconds = SecondsSince(start);
  EXPECT_GE(seconds, 0.95);
  EXPECT_LT(seconds, 1.8);
  EXPECT_EQ(server.Requests("/s1"), 1);
}

TEST_F(Services, ClosedPortFailsAtOnce) {
  nb::ServiceSettings settings = LoopbackSettings();
  settings.bound = 5s;
  settings.services[0].url = L"http://127.0.0.1:" + std::to_wstring(nbtest::UnusedLoopbackPort()) + L"/ip";
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(nb::GetPublicIPFrom(settings.services[0], settings).result, nb::kAccessError);
  EXPECT_LT(SecondsSince(start), 1.5);
}

// Puts an entry for the URL into the internet cache, as an earlier download would have.
bool PlantCacheEntry(const std::wstring& url, const std::string& body) {
  wchar_t file[MAX_PATH] = {};
  if (!CreateUrlCacheEntryW(url.c_str(), 0, L"txt", file, 0)) return false;
  nbtest::WriteFileBytes(file, body);
  const wchar_t headers[] = L"HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n";
  FILETIME never{};
  return CommitUrlCacheEntryW(url.c_str(), file, never, never, NORMAL_CACHE_ENTRY, const_cast<wchar_t*>(headers),
                              static_cast<DWORD>(wcslen(headers)), nullptr, nullptr) != FALSE;
}

bool HasCacheEntry(const std::wstring& url) {
  DWORD size = 0;
  if (GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size)) return true;
  return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

TEST_F(Services, CacheEntryIsRemovedBeforeTheDownload) {
  // The service is down, so whatever the cache holds is all there is.
  nb::ServiceSettings settings = LoopbackSettings();
  settings.services[0].url = L"http://127.0.0.1:" + std::to_wstring(nbtest::UnusedLoopbackPort()) + L"/ip";
  ASSERT_TRUE(PlantCacheEntry(settings.services[0].url, "192.0.2.77"));
  ASSERT_TRUE(HasCacheEntry(settings.services[0].url));
  EXPECT_EQ(nb::GetPublicIPFrom(settings.services[0], settings).result, nb::kAccessError);
  EXPECT_FALSE(HasCacheEntry(settings.services[0].url));
}

// A file in the way of the scratch file's removal: the result is "Access error" with the error,
// for the window to report under the service's label; the scratch file stays.
TEST_F(Services, ErrorInsideTheProcedureComesBackWithTheResult) {
  server.Answer("/s3", "192.0.2.45");
  const std::wstring path = AnswerFile();
  nbtest::WriteFileBytes(path, "stale");
  // Held open without delete sharing: the download may write it, but it cannot be removed.
  HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  const nb::ServiceSettings settings = LoopbackSettings();
  const nb::ServiceAnswer answer = nb::GetPublicIPFrom(settings.services[2], settings);
  CloseHandle(holder);
  EXPECT_EQ(answer.result, nb::kAccessError);
  // Run-time error 70 (a file in use is permission denied), naming the file that stayed.
  ASSERT_TRUE(answer.error);
  EXPECT_EQ(answer.error->number, 70);
  EXPECT_EQ(answer.error->description.rfind(L"Cannot delete " + path, 0), 0u) << nb::ToAnsi(answer.error->description);
  EXPECT_TRUE(nbtest::FileExists(path));
  DeleteFileW(path.c_str());
}

// ---- DownloadFile ----

TEST(DownloadFile, KeepsABodyOfExactlyTheLimitAndRefusesOneByteMore) {
  LoopbackHttpServer server;
  nbtest::TempFolder folder;
  const std::wstring target = folder.path() + L"body.txt";
  server.Answer("/limit", std::string(4096, 'a'));
  server.Answer("/over", std::string(4097, 'b'));
  EXPECT_TRUE(nb::DownloadFile(server.Url("/limit"), target, 2s, 4096));
  EXPECT_EQ(nbtest::ReadFileBytes(target), std::string(4096, 'a'));
  EXPECT_FALSE(nb::DownloadFile(server.Url("/over"), target, 2s, 4096));
  EXPECT_FALSE(nbtest::FileExists(target));  // nothing half-written is left
}

TEST(DownloadFile, ReplacesAnExistingFile) {
  LoopbackHttpServer server;
  nbtest::TempFolder folder;
  const std::wstring target = folder.path() + L"body.txt";
  nbtest::WriteFileBytes(target, std::string(100, 'x'));
  server.Answer("/new", "new");
  EXPECT_TRUE(nb::DownloadFile(server.Url("/new"), target, 2s));
  EXPECT_EQ(nbtest::ReadFileBytes(target), "new");
}

// The names of the files in a folder.
std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

// A download whose worker has not ended when the wait is given up (here at once after the
// abort, at several points of a large transfer) ends later by itself: it never writes the file
// that the caller goes on to use, and leaves no file of its own behind.
class AbandonedDownload : public testing::TestWithParam<int> {};

TEST_P(AbandonedDownload, NeverTouchesTheTargetAndLeavesNoFile) {
  nbtest::TempFolder folder;
  const std::wstring target = folder.path() + L"ip.txt";
  LoopbackHttpServer server;
  const std::wstring url = server.Url("/large");
  server.Answer("/large", std::string(30 * 1024 * 1024, 'a'));
  nb::DownloadFile(url, target, std::chrono::milliseconds(GetParam()), nb::kNoSizeLimit, 0ms);
  nbtest::WriteFileBytes(target, "198.51.100.2");  // what the caller goes on to use
  // Watched for a second, and then until the download has removed its own file (15 s at most: Wine
  // reads the whole body after an abort, which takes a while on a busy machine).
  bool alone = false;
  for (int i = 1; i <= 150 && (i <= 10 || !alone); ++i) {
    Sleep(100);
    const std::string content = nbtest::ReadFileBytes(target);
    ASSERT_TRUE(content == "198.51.100.2") << "after " << i * 100 << " ms it holds " << content.size() << " bytes";
    alone = FilesIn(folder.path()) == std::vector<std::wstring>{L"ip.txt"};
  }
  EXPECT_TRUE(alone) << "the abandoned download left a file behind";
  nb::DeleteCacheEntry(url);
}

INSTANTIATE_TEST_SUITE_P(GivenUpAfterMilliseconds, AbandonedDownload, testing::Values(100, 200, 300));

// A stop ends the wait at once, and the download winds down by itself, its scratch file with it.
TEST(DownloadFile, AStopEndsTheWaitAndLeavesNoFile) {
  LoopbackHttpServer server;
  server.Silent("/wait");
  nbtest::TempFolder folder;
  const nb::StopSignal stop;
  std::thread stopper([&stop] {
    Sleep(300);
    stop.Request();
  });
  const Clock::time_point start = Clock::now();
  EXPECT_FALSE(nb::DownloadFile(server.Url("/wait"), folder.path() + L"ip.txt", 20s, nb::kNoSizeLimit,
                                nb::kAbortGrace, &stop));
  stopper.join();
  EXPECT_LT(SecondsSince(start), 2.0);
  EXPECT_TRUE(FilesIn(folder.path()).empty());
}

// ---- ProbeConnection ----

// The threads of this process.
int ThreadCount() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

TEST(ProbeConnection, AtMostOneProbeOutlivesItsBound) {
  LoopbackHttpServer server;
  server.Answer("/probe", "ok");
  ASSERT_TRUE(nb::ProbeConnection(server.Url("/probe"), 5s));  // the libraries are loaded before counting
  {
    nbtest::StalledListener stalled;
    const std::wstring hanging = L"http://127.0.0.1:" + std::to_wstring(stalled.port()) + L"/";
    const int before = ThreadCount();
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(nb::ProbeConnection(hanging, 200ms));
    EXPECT_LE(ThreadCount() - before, 1) << "probe threads left hanging";
  }
  EXPECT_TRUE(nb::ProbeConnection(server.Url("/probe"), 20s));
}

// ---- The chain ----

TEST_F(Services, FirstServiceAnswersAlone) {
  server.Answer("/s1", "192.0.2.45");
  const Found view = Find(LoopbackSettings());
  EXPECT_EQ(view.trying, (std::vector<std::wstring>{nb::kConnectNotice, L"Trying one ..."}));
  EXPECT_EQ(view.wan(), L"192.0.2.45");
  EXPECT_EQ(server.RequestedPaths(), std::vector<std::string>{"/s1"});
}

TEST_F(Services, HtmlFromServiceOneThenAddressFromServiceTwo) {
  server.Answer("/s1", "<html><body>Hello</body></html>");
  server.Answer("/s2", "198.51.100.2\n");
  server.Answer("/s3", "192.0.2.3");
  server.Answer("/s4", "192.0.2.4");
  const Found view = Find(LoopbackSettings());
  EXPECT_EQ(view.trying, (std::vector<std::wstring>{nb::kConnectNotice, L"Trying one ...", L"Trying two ..."}));
  EXPECT_EQ(view.wan(), L"198.51.100.2");
  EXPECT_EQ(server.RequestedPaths(), (std::vector<std::string>{"/s1", "/s2"}));
}

TEST_F(Services, AllFourFail) {
  server.Answer("/s1", "<html></html>");
  server.Answer("/s2", "");
  server.Answer("/s3", "256.1.1.1");
  nb::ServiceSettings settings = LoopbackSettings();
  settings.services[3].url = L"http://127.0.0.1:" + std::to_wstring(nbtest::UnusedLoopbackPort()) + L"/s4";
  const Found view = Find(settings);
  EXPECT_EQ(view.trying, (std::vector<std::wstring>{nb::kConnectNotice, L"Trying one ...", L"Trying two ...",
                                                    L"Trying three ...", L"Trying four ..."}));
  EXPECT_EQ(view.wan(), nb::kAccessError);
  EXPECT_EQ(server.RequestedPaths(), (std::vector<std::string>{"/s1", "/s2", "/s3"}));
}

TEST_F(Services, FailedProbeAsksNoService) {
  server.Answer("/s1", "192.0.2.45");
  nb::ServiceSettings settings = LoopbackSettings();
  settings.probeUrl = L"http://127.0.0.1:" + std::to_wstring(nbtest::UnusedLoopbackPort()) + L"/";
  const Found view = Find(settings);
  EXPECT_EQ(view.trying, std::vector<std::wstring>{nb::kConnectNotice});
  EXPECT_EQ(view.wan(), nb::kAccessError);
  EXPECT_EQ(server.TotalRequests(), 0);
}

TEST_F(Services, ProbeThatNeverConnectsIsGivenUpAfterTheBound) {
  server.Answer("/s1", "192.0.2.45");
  {
    nbtest::StalledListener stalled;
    nb::ServiceSettings settings = LoopbackSettings();
    settings.probeUrl = L"http://127.0.0.1:" + std::to_wstring(stalled.port()) + L"/";
    const Clock::time_point start = Clock::now();
    const Found view = Find(settings);
    const double seconds = SecondsSince(start);
    EXPECT_GE(seconds, 0.95);
    EXPECT_LT(seconds, 1.8);
    EXPECT_EQ(view.wan(), nb::kAccessError);
    EXPECT_EQ(server.TotalRequests(), 0);
  }
  // Once the way is clear, the hanging probe ends and the next one connects.
  EXPECT_TRUE(nb::ProbeConnection(server.Url("/probe"), 20s));
}

TEST_F(Services, DeadFirstServiceCostsAtMostTheBound) {
  server.Silent("/s1");
  server.Answer("/s2", "203.0.113.7\r\n");
  const Clock::time_point start = Clock::now();
  const Found view = Find(LoopbackSettings());
  EXPECT_LT(SecondsSince(start), 1.8);
  EXPECT_EQ(view.wan(), L"203.0.113.7");
  EXPECT_EQ(server.RequestedPaths(), (std::vector<std::string>{"/s1", "/s2"}));
}

// Every service on one host and port that keeps connections open between answers, as most web
// servers do: service 1's answer is too long and is cut off; service 2 is then asked, on a
// connection of its own, and answers.
TEST_F(Services, AnswerCutOffLeavesNothingThatTheNextServiceUses) {
  LoopbackHttpServer kept(true);
  kept.Answer("/probe", "ok");
  kept.Answer("/s1", "192.0.2.45" + std::string(10 * 1024 * 1024, '\n'));
  kept.Answer("/s2", "198.51.100.2");
  const Found view = Find(LoopbackSettings(kept));
  EXPECT_EQ(view.wan(), L"198.51.100.2");
  EXPECT_EQ(kept.RequestedPaths(), (std::vector<std::string>{"/s1", "/s2"}));
  const std::vector<int> connections = kept.RequestConnections();
  ASSERT_EQ(connections.size(), 2u);
  EXPECT_NE(connections[0], connections[1]) << "service 2 was asked on the connection of service 1's cut-off answer";
}

// Over IPv6, on [::1]: a non-global answer and a bad one move on to the next service, whose
// address is taken in its canonical form. (That the IPv4 result stays as it was is
// public_address_test.cpp's.)
TEST_F(Services, IPv6ChainTakesTheFirstGlobalAddress) {
  LoopbackHttpServer server6(false, LoopbackHttpServer::Family::kIPv6);
  server.Answer("/s1", "192.0.2.45");
  server6.Answer("/probe", "ok");
  server6.Answer("/v1", "fd00::5\n");
  server6.Answer("/v2", "2a00:1450::5 2a00:1450::6");
  server6.Answer("/v3", "2A00:1450:0:0::05\r\n");
  nb::ServiceSettings settings = LoopbackSettings();
  settings.probe6Url = server6.Url("/probe");
  for (int i = 0; i < 3; ++i) settings.services6[i].url = server6.Url("/v" + std::to_string(i + 1));
  const Found view = Find(settings, L"2a00:1450::9");
  EXPECT_EQ(view.result.wan6.value_or(L""), L"2a00:1450::5");
  EXPECT_EQ(server6.RequestedPaths(), (std::vector<std::string>{"/v1", "/v2", "/v3"}));
}

// ---- Stored replacements ----

// Removes the replacement values before and after a test.
class StoredServiceValues {
 public:
  StoredServiceValues() { Remove(); }
  ~StoredServiceValues() { Remove(); }
  StoredServiceValues(const StoredServiceValues&) = delete;
  StoredServiceValues& operator=(const StoredServiceValues&) = delete;

 private:
  static void Remove() {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Ambertop\\Netbeacon", nb::kProbeUrlValue);
    for (const wchar_t* name : nb::kServiceUrlValues) {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Ambertop\\Netbeacon", name);
    }
  }
};

TEST_F(Services, StoredValuesReplaceTheDefaultsAtEachRun) {
  const StoredServiceValues cleanup;
  nb::CreateKey(nb::kProgramKey);
  const nb::ServiceSettings defaults = nb::DefaultServiceSettings();

  server.Answer("/a", "<html></html>");
  server.Answer("/b", "192.0.2.99\n");
  nb::WriteString(nb::kProgramKey, L"ProbeURL", server.Url("/probe"));
  nb::WriteString(nb::kProgramKey, L"ServiceURL1", server.Url("/a"));
  nb::WriteString(nb::kProgramKey, L"ServiceURL2", server.Url("/b"));
  nb::WriteString(nb::kProgramKey, L"ServiceURL3", L"");  // empty: the default stays

  nb::ServiceSettings settings = nb::LoadServiceSettings();
  const std::wstring host = L"127.0.0.1:" + std::to_wstring(server.port());
  EXPECT_EQ(settings.probeUrl, server.Url("/probe"));
  EXPECT_EQ(settings.services[0].url, server.Url("/a"));
  EXPECT_EQ(settings.services[0].displayLabel, host);
  EXPECT_EQ(settings.services[0].reportLabel, L"frmMain GetPublicIP");
  EXPECT_EQ(settings.services[1].displayLabel, host);
  EXPECT_EQ(settings.services[2].url, defaults.services[2].url);
  EXPECT_EQ(settings.services[2].displayLabel, defaults.services[2].displayLabel);
  EXPECT_EQ(settings.services[3].url, defaults.services[3].url);

  settings.bound = 1s;
  const Found view = Find(settings);
  EXPECT_EQ(view.trying, (std::vector<std::wstring>{nb::kConnectNotice, L"Trying " + host + L" ...",
                                                    L"Trying " + host + L" ..."}));
  EXPECT_EQ(view.wan(), L"192.0.2.99");
  EXPECT_EQ(server.RequestedPaths(), (std::vector<std::string>{"/a", "/b"}));

  // Read afresh: a value changed between runs takes effect on the next one.
  nb::WriteString(nb::kProgramKey, L"ServiceURL1", L"http://127.0.0.1:1/x");
  EXPECT_EQ(nb::LoadServiceSettings().services[0].url, L"http://127.0.0.1:1/x");
  EXPECT_EQ(nb::LoadServiceSettings().services[0].displayLabel, L"127.0.0.1:1");
}

}  // namespace
