// Measures the public-address chain against loopback services:
//  (1) a chain that the first service answers (probe + service 1), against two bare HTTP GETs of
//      a minimal Winsock client to the same server, as a ratio of medians.
//      The same two GETs through WinHTTP and through the system's URL download call (the call the
//      services use, without probe, cache removal, thread or data folder), and the parts of the
//      chain, are shown beside it.
//  (2) the time from a stalled first service to the second service's address, with the default
//      bound.
// Usage: detect_bench [rounds]
#include <winsock2.h>
#include <windows.h>
#include <urlmon.h>
#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "detect/download_win.h"
#include "base/worker_win.h"
#include "detect/public_address_win.h"
#include "settings/appdata_win.h"
#include "support/loopback_http_win.h"
#include "base/dynamic_library_win.h"
#include "base/text_win.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The public address a whole run finds (the LAN address is not timed here).
struct ResultView {
  std::wstring wan;
};

void RunChain(const nb::ServiceSettings& settings, ResultView& view) {
  const nb::StopSignal stop;
  const nb::DetectionResult result =
      nb::FindAddresses(settings, [] { return std::wstring(L"192.0.2.2"); }, stop, [](const nb::RunStep&) {});
  view.wan = result.wan.value_or(L"");
}

// One HTTP GET by hand: connect, send the request, read the answer until the server closes.
std::string BareGet(unsigned short port, const char* path) {
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  std::string answer;
  if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    const std::string request =
        std::string("GET ") + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    send(s, request.data(), static_cast<int>(request.size()), 0);
    char buffer[4096];
    int got;
    while ((got = recv(s, buffer, sizeof buffer, 0)) > 0) answer.append(buffer, static_cast<std::size_t>(got));
  }
  closesocket(s);
  return answer;
}

// The same GET through WinHTTP (loaded at run time): session, connection, request, answer.
struct WinHttpApi {
  nb::DynamicLibrary library{L"winhttp.dll"};
  decltype(&WinHttpOpen) open = library.Get<decltype(&WinHttpOpen)>("WinHttpOpen");
  decltype(&WinHttpConnect) connect = library.Get<decltype(&WinHttpConnect)>("WinHttpConnect");
  decltype(&WinHttpOpenRequest) openRequest = library.Get<decltype(&WinHttpOpenRequest)>("WinHttpOpenRequest");
  decltype(&WinHttpSendRequest) sendRequest = library.Get<decltype(&WinHttpSendRequest)>("WinHttpSendRequest");
  decltype(&WinHttpReceiveResponse) receive = library.Get<decltype(&WinHttpReceiveResponse)>("WinHttpReceiveResponse");
  decltype(&WinHttpReadData) read = library.Get<decltype(&WinHttpReadData)>("WinHttpReadData");
  decltype(&WinHttpCloseHandle) close = library.Get<decltype(&WinHttpCloseHandle)>("WinHttpCloseHandle");
};

std::string WinHttpGet(const WinHttpApi& api, unsigned short port, const wchar_t* path) {
  struct Handle {
    const WinHttpApi& api;
    HINTERNET h;
    ~Handle() {
      if (h) api.close(h);
    }
  };
  std::string body;
  const Handle session{api, api.open(L"detect_bench", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                     WINHTTP_NO_PROXY_BYPASS, 0)};
  if (!session.h) return body;
  const Handle connection{api, api.connect(session.h, L"127.0.0.1", port, 0)};
  if (!connection.h) return body;
  const Handle request{api, api.openRequest(connection.h, L"GET", path, nullptr, WINHTTP_NO_REFERER,
                                            WINHTTP_DEFAULT_ACCEPT_TYPES, 0)};
  if (!request.h || !api.sendRequest(request.h, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !api.receive(request.h, nullptr)) {
    return body;
  }
  char buffer[4096];
  DWORD got = 0;
  while (api.read(request.h, buffer, sizeof buffer, &got) && got > 0) body.append(buffer, got);
  return body;
}

nb::ServiceSettings LoopbackSettings(const nbtest::LoopbackHttpServer& server) {
  nb::ServiceSettings settings = nb::DefaultServiceSettings();  // default bound: 5 s
  settings.probeUrl = server.Url("/probe");
  for (int i = 0; i < 4; ++i) settings.services[i].url = server.Url("/s" + std::to_string(i + 1));
  return settings;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 30;
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);

  nbtest::LoopbackHttpServer server;
  server.Answer("/probe", "ok");
  server.Answer("/s1", "192.0.2.45\r\n");
  server.Answer("/s2", "198.51.100.2\n");
  const nb::ServiceSettings settings = LoopbackSettings(server);

  // First use loads the URL and internet libraries: measured apart.
  Clock::time_point start = Clock::now();
  ResultView warm;
  RunChain(settings, warm);
  const double firstChain = MillisecondsSince(start);
  if (warm.wan != L"192.0.2.45") {
    std::fwprintf(stderr, L"chain gave \"%ls\"\n", warm.wan.c_str());
    return 1;
  }
  BareGet(server.port(), "/probe");

  const WinHttpApi winHttp;
  WinHttpGet(winHttp, server.port(), L"/probe");
  const std::wstring plainTarget = nb::GetAppDataDir(nb::ExecutableFolder()) + L"bench-plain.txt";
  std::vector<double> chains, bares, winhttps, plains;
  for (int i = 0; i < rounds; ++i) {
    start = Clock::now();
    ResultView view;
    RunChain(settings, view);
    chains.push_back(MillisecondsSince(start));
    if (view.wan != L"192.0.2.45") return 1;

    start = Clock::now();
    const std::string probe = BareGet(server.port(), "/probe");
    const std::string answer = BareGet(server.port(), "/s1");
    bares.push_back(MillisecondsSince(start));
    if (answer.find("192.0.2.45") == std::string::npos || probe.empty()) return 1;

    start = Clock::now();
    WinHttpGet(winHttp, server.port(), L"/probe");
    const std::string viaWinHttp = WinHttpGet(winHttp, server.port(), L"/s1");
    winhttps.push_back(MillisecondsSince(start));
    if (viaWinHttp.find("192.0.2.45") == std::string::npos) return 1;

    start = Clock::now();
    const HRESULT first = URLDownloadToFileW(nullptr, settings.probeUrl.c_str(), plainTarget.c_str(), 0, nullptr);
    const HRESULT second = URLDownloadToFileW(nullptr, settings.services[0].url.c_str(), plainTarget.c_str(), 0, nullptr);
    plains.push_back(MillisecondsSince(start));
    DeleteFileW(plainTarget.c_str());
    if (first != S_OK || second != S_OK) return 1;
  }

  // The parts of the chain.
  std::vector<double> probes, folders, downloads, services;
  for (int i = 0; i < rounds; ++i) {
    start = Clock::now();
    nb::ProbeConnection(settings.probeUrl, settings.bound);
    probes.push_back(MillisecondsSince(start));
    start = Clock::now();
    const std::wstring folder = nb::GetAppDataDir(nb::ExecutableFolder());
    folders.push_back(MillisecondsSince(start));
    start = Clock::now();
    nb::DownloadFile(settings.services[0].url, folder + L"bench.txt", settings.bound, nb::kMaxAnswerBytes);
    downloads.push_back(MillisecondsSince(start));
    DeleteFileW((folder + L"bench.txt").c_str());
    start = Clock::now();
    nb::GetPublicIPFrom(settings.services[0], settings);
    services.push_back(MillisecondsSince(start));
  }
  const double chain = Median(chains);
  const double bare = Median(bares);
  std::wprintf(L"(1) chain, probe + service 1, first run (library load): %.1f ms\n", firstChain);
  std::wprintf(L"    chain, probe + service 1, median of %d: %.2f ms\n", rounds, chain);
  std::wprintf(L"    two bare Winsock GETs, median of %d: %.2f ms\n", rounds, bare);
  std::wprintf(L"    ratio chain / bare GETs: %.2f (target at most 1.3)\n", chain / bare);
  std::wprintf(L"    two WinHTTP GETs, median of %d: %.2f ms (ratio chain / WinHTTP GETs: %.2f)\n", rounds,
               Median(winhttps), chain / Median(winhttps));
  std::wprintf(L"    two plain URL downloads (the services' own call), median of %d: %.2f ms (ratio chain / "
               L"plain downloads: %.2f)\n",
               rounds, Median(plains), chain / Median(plains));
  std::wprintf(L"    parts (medians): probe %.2f ms; service 1 procedure %.2f ms, of which data folder %.2f ms "
               L"and bounded download %.2f ms\n",
               Median(probes), Median(services), Median(folders), Median(downloads));

  // (2) Service 1 accepts the request and never answers.
  server.Silent("/s1");
  ResultView stalled;
  start = Clock::now();
  RunChain(settings, stalled);
  const double stall = MillisecondsSince(start);
  std::wprintf(L"(2) stalled service 1 to service 2's address \"%ls\", bound %lld ms: %.3f s (target at most 5.5 s)\n",
               stalled.wan.c_str(), static_cast<long long>(settings.bound.count()), stall / 1000.0);
  WSACleanup();
  return stalled.wan == L"198.51.100.2" ? 0 : 1;
}
