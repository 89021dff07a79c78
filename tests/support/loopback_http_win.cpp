#include <winsock2.h>
#include <ws2tcpip.h>

#include "support/loopback_http_win.h"

#include "support/loopback_socket_win.h"

#include <algorithm>

namespace nbtest {
namespace {

void SetTimeouts(SOCKET s, DWORD receiveMs, DWORD sendMs) {
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&receiveMs), sizeof receiveMs);
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendMs), sizeof sendMs);
}

bool SendAll(SOCKET s, std::string_view bytes) {
  while (!bytes.empty()) {
    const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size(), 64 * 1024));
    const int sent = send(s, bytes.data(), chunk, 0);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

const char* ReasonPhrase(int status) {
  switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
  }
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(bool keepAlive, Family family) : keepAlive_(keepAlive), family_(family) {
  listener_ = LoopbackSocket(port_, family == Family::kIPv6, SOMAXCONN);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (const std::uintptr_t connection : open_) shutdown(static_cast<SOCKET>(connection), SD_BOTH);
  }
  stopped_.notify_all();
  acceptor_.join();
  closesocket(static_cast<SOCKET>(listener_));
  for (std::thread& worker : workers_) worker.join();
}

std::wstring LoopbackHttpServer::Url(std::string_view path) const {
  std::wstring url = (family_ == Family::kIPv6 ? L"http://[::1]:" : L"http://127.0.0.1:") + std::to_wstring(port_);
  for (const char c : path) url += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return url;
}

void LoopbackHttpServer::Answer(const std::string& path, std::string body) {
  Reply reply;
  reply.body = std::move(body);
  Answer(path, std::move(reply));
}

void LoopbackHttpServer::Answer(const std::string& path, Reply reply) {
  std::lock_guard lock(mutex_);
  replies_[path] = std::move(reply);
}

void LoopbackHttpServer::Silent(const std::string& path) {
  Reply reply;
  reply.silent = true;
  Answer(path, std::move(reply));
}

int LoopbackHttpServer::Connections() const {
  std::lock_guard lock(mutex_);
  return accepted_;
}

int LoopbackHttpServer::Requests(const std::string& path) const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(std::count(requested_.begin(), requested_.end(), path));
}

int LoopbackHttpServer::TotalRequests() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(requested_.size());
}

std::vector<std::string> LoopbackHttpServer::RequestedPaths() const {
  std::lock_guard lock(mutex_);
  return requested_;
}

std::vector<int> LoopbackHttpServer::RequestConnections() const {
  std::lock_guard lock(mutex_);
  return requestConnections_;
}

void LoopbackHttpServer::AcceptLoop() {
  const auto stopping = [this] {
    std::lock_guard lock(mutex_);
    return stopping_;
  };
  while (const std::optional<std::uintptr_t> connection = NextConnection(listener_, stopping)) {
    std::lock_guard lock(mutex_);
    if (stopping_) {
      closesocket(static_cast<SOCKET>(*connection));
      return;
    }
    open_.push_back(*connection);
    const int number = ++accepted_;
    workers_.emplace_back([this, handle = *connection, number] { Serve(handle, number); });
  }
}

void LoopbackHttpServer::Serve(std::uintptr_t handle, int number) {
  const SOCKET s = static_cast<SOCKET>(handle);
  SetTimeouts(s, 5000, 5000);
  const BOOL noDelay = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
  std::string received;
  while (ServeRequest(handle, number, received)) {
  }
  {
    std::lock_guard lock(mutex_);
    open_.erase(std::remove(open_.begin(), open_.end(), handle), open_.end());
  }
  closesocket(s);
}

bool LoopbackHttpServer::ServeRequest(std::uintptr_t handle, int number, std::string& received) {
  const SOCKET s = static_cast<SOCKET>(handle);
  // The request head; a GET has no body.
  char buffer[4096];
  std::size_t headEnd;
  while ((headEnd = received.find("\r\n\r\n")) == std::string::npos) {
    if (received.size() >= 16 * 1024) return false;
    const int got = recv(s, buffer, sizeof buffer, 0);
    if (got <= 0) return false;
    received.append(buffer, static_cast<std::size_t>(got));
  }
  const std::string head = received.substr(0, headEnd);
  received.erase(0, headEnd + 4);
  const std::size_t pathStart = head.find(' ');
  const std::size_t pathEnd = pathStart == std::string::npos ? pathStart : head.find(' ', pathStart + 1);
  const std::string path =
      pathEnd == std::string::npos ? std::string() : head.substr(pathStart + 1, pathEnd - pathStart - 1);

  Reply reply;
  {
    std::unique_lock lock(mutex_);
    requested_.push_back(path);
    requestConnections_.push_back(number);
    const auto found = replies_.find(path);
    if (found != replies_.end()) {
      reply = found->second;
    } else {
      reply.status = 404;
      reply.body = "<html><body>Not found</body></html>";
    }
    if (reply.silent) {
      // Holds the connection without a word until the server stops (bounded all the same).
      stopped_.wait_for(lock, std::chrono::minutes(2), [this] { return stopping_; });
      return false;
    }
  }
  std::string answer = "HTTP/1.1 " + std::to_string(reply.status) + " " + ReasonPhrase(reply.status) + "\r\n";
  answer += "Content-Type: text/plain\r\n";
  answer += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
  if (!reply.cacheControl.empty()) answer += "Cache-Control: " + reply.cacheControl + "\r\n";
  answer += keepAlive_ ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
  // Head and body leave together, so no small segment waits for an acknowledgement.
  answer += reply.body;
  if (!SendAll(s, answer)) return false;
  if (keepAlive_) {
    SetTimeouts(s, 1000, 5000);  // a kept connection left idle for a second is closed
    return true;
  }
  // Lets the client read everything before the connection goes.
  shutdown(s, SD_SEND);
  SetTimeouts(s, 500, 500);
  while (recv(s, buffer, sizeof buffer, 0) > 0) {
  }
  return false;
}

unsigned short UnusedLoopbackPort() {
  unsigned short port = 0;
  closesocket(static_cast<SOCKET>(LoopbackSocket(port)));
  return port;
}

StalledListener::StalledListener() {
  listener_ = LoopbackSocket(port_, false, 1);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port_);
  // More pending connections than the queue holds: the queue stays full, since nothing accepts.
  for (int i = 0; i < 8; ++i) {
    const SOCKET filler = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (filler == INVALID_SOCKET) break;
    u_long nonBlocking = 1;
    ioctlsocket(filler, FIONBIO, &nonBlocking);
    connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
    fillers_.push_back(filler);
  }
  Sleep(100);  // lets the handshakes that will complete do so
}

StalledListener::~StalledListener() {
  for (const std::uintptr_t filler : fillers_) closesocket(static_cast<SOCKET>(filler));
  closesocket(static_cast<SOCKET>(listener_));
}

}  // namespace nbtest
