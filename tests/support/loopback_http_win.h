// A small HTTP server on 127.0.0.1 or [::1] that runs inside a test program: scripted answers per path,
// a count of requests per path, and paths that accept a request and never answer.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace nbtest {

class LoopbackHttpServer {
 public:
  struct Reply {
    std::string body;
    int status = 200;
    bool silent = false;  // read the request, then never answer (the connection stays open)
    // Sent with every answer unless replaced: lets a cache keep the answer for an hour, as an
    // outside service may. (Wine's URL download never answers from the cache; the services test
    // plants a cache entry to show that the program removes it.)
    std::string cacheControl = "public, max-age=3600";
  };

  enum class Family { kIPv4, kIPv6 };

  // Listens on an ephemeral port of 127.0.0.1, or of ::1 for kIPv6. Unknown paths get a 404
  // page. Each connection carries one answer and is then closed, unless `keepAlive`: then a
  // connection stays open for the client's next request after each answer, as most web servers
  // keep it.
  explicit LoopbackHttpServer(bool keepAlive = false, Family family = Family::kIPv4);
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  unsigned short port() const { return port_; }
  // "http://127.0.0.1:<port>" or "http://[::1]:<port>" followed by the path (which starts with "/").
  std::wstring Url(std::string_view path) const;

  void Answer(const std::string& path, std::string body);
  void Answer(const std::string& path, Reply reply);
  void Silent(const std::string& path);

  // Connections accepted so far (a client may connect and ask nothing).
  int Connections() const;
  // Requests received so far for a path, and for all paths, and the paths in order.
  int Requests(const std::string& path) const;
  int TotalRequests() const;
  std::vector<std::string> RequestedPaths() const;
  // For each request in order, the connection it came on: 1 for the first connection accepted,
  // 2 for the second, and so on.
  std::vector<int> RequestConnections() const;

 private:
  void AcceptLoop();
  void Serve(std::uintptr_t connection, int number);

  // Answers one request read from the connection (`received` holds what was read and not yet
  // used); false when the connection is to be closed.
  bool ServeRequest(std::uintptr_t connection, int number, std::string& received);

  std::uintptr_t listener_;
  unsigned short port_ = 0;
  const bool keepAlive_;
  const Family family_;
  mutable std::mutex mutex_;
  std::condition_variable stopped_;
  bool stopping_ = false;
  std::map<std::string, Reply> replies_;
  std::vector<std::string> requested_;
  std::vector<int> requestConnections_;
  int accepted_ = 0;
  std::vector<std::uintptr_t> open_;  // connections being served
  std::vector<std::thread> workers_;
  std::thread acceptor_;
};

// A loopback port that nobody listens on: connections to it are refused at once.
unsigned short UnusedLoopbackPort();

// A loopback listener that never accepts and whose queue is full: a new connection to it is
// neither accepted nor refused, and stays pending.
class StalledListener {
 public:
  StalledListener();
  ~StalledListener();
  StalledListener(const StalledListener&) = delete;
  StalledListener& operator=(const StalledListener&) = delete;
  unsigned short port() const { return port_; }

 private:
  std::uintptr_t listener_;
  std::vector<std::uintptr_t> fillers_;
  unsigned short port_ = 0;
};

}  // namespace nbtest
