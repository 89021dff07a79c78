#include "mail/smtp/smtp_transport_win.h"

#include "mail/smtp/api_win.h"

#include <subauth.h>
#include <schannel.h>

#include <algorithm>
#include <cstring>

#include "base/unique_any_win.h"
#include "base/worker_win.h"
#include "mail/smtp/charsets_win.h"
#include "mail/smtp/send_bounds.h"

namespace nb::mail {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::string Hex(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", value);
  return text;
}

[[noreturn]] void Stopped() { throw TransportError(TransportError::Kind::kStopped, "the send was stopped"); }

struct socket_traits {
  using type = SOCKET;
  static type invalid() noexcept { return INVALID_SOCKET; }
  static void close(type s) noexcept { Sockets().closesocket(s); }
};

// A socket whose network events set an event of its own (which makes the socket non-blocking),
// so that a wait can watch the socket and the send's stop together.
struct EventSocket {
  unique_handle event;
  unique_any<socket_traits> socket;  // closed before its event goes

  // Waits until something happens on the socket, the send is stopped or the deadline passes;
  // false when the deadline passed. Events are edge-triggered: call it only after an operation
  // said it would block, then try the operation again. `news` receives what happened.
  bool Await(const StopSignal& stop, Clock::time_point deadline, WSANETWORKEVENTS* news = nullptr) const {
    switch (WaitFor(event.get(), &stop, TimeLeft(deadline))) {
      case WaitEnd::kStopped: Stopped();
      case WaitEnd::kTimedOut: return false;
      case WaitEnd::kSignalled: break;
    }
    WSANETWORKEVENTS happened{};
    if (Sockets().WSAEnumNetworkEvents(socket.get(), event.get(), news ? news : &happened) == SOCKET_ERROR) {
      throw TransportError(TransportError::Kind::kFailed,
                           "the connection failed: " + ReasonText(Sockets().WSAGetLastError()));
    }
    return true;
  }
};

// Name resolution on a thread of its own, so that a slow name server cannot hold the send
// beyond its bound; the thread is left to finish by itself when the bound passes first.
struct Lookup {
  std::wstring host;
  std::wstring port;
  bool numeric = false;
  int result = 0;
  ADDRINFOW* addresses = nullptr;
  bool started = false;
  Lookup() = default;
  Lookup(const Lookup&) = delete;
  Lookup& operator=(const Lookup&) = delete;
  // The lookup holds Windows Sockets started for itself: one that outlives the send's bound may
  // still run, and free its answer, after the send has released the library.
  ~Lookup() {
    if (addresses) Sockets().FreeAddrInfoW(addresses);
    if (started) Sockets().WSACleanup();
  }
  void Run() noexcept {
    WSADATA data;
    started = Sockets().WSAStartup(MAKEWORD(2, 2), &data) == 0;
    if (!started) {
      result = EAI_FAIL;
      return;
    }
    ADDRINFOW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    hints.ai_flags = numeric ? AI_NUMERICHOST : 0;
    result = Sockets().GetAddrInfoW(host.c_str(), port.c_str(), &hints, &addresses);
  }
};

// The finished lookup, or nullptr when the deadline passed first.
std::shared_ptr<Lookup> Resolve(const ServerAddress& server, Clock::time_point deadline, const StopSignal& stop) {
  auto lookup = std::make_shared<Lookup>();
  lookup->host = Utf8ToWide(server.host);
  lookup->port = std::to_wstring(server.port);
  lookup->numeric = server.ipLiteral;
  unique_handle worker;
  try {
    worker = StartWorker(lookup);
  } catch (const AppError& e) {
    throw TransportError(TransportError::Kind::kFailed, "the name " + server.host + " could not be looked up: " +
                                                            WideToUtf8(e.description));
  }
  switch (WaitFor(worker.get(), &stop, TimeLeft(deadline))) {
    case WaitEnd::kStopped: Stopped();
    case WaitEnd::kTimedOut: return nullptr;
    case WaitEnd::kSignalled: break;
  }
  return lookup;
}

bool IsLoopback(const sockaddr_storage& address) {
  if (address.ss_family == AF_INET) {
    return reinterpret_cast<const unsigned char*>(&reinterpret_cast<const sockaddr_in&>(address).sin_addr)[0] == 127;
  }
  if (address.ss_family == AF_INET6) {
    const IN6_ADDR& a = reinterpret_cast<const sockaddr_in6&>(address).sin6_addr;
    static const unsigned char kLoopback[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    static const unsigned char kMapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    return std::memcmp(a.s6_addr, kLoopback, 16) == 0 ||
           (std::memcmp(a.s6_addr, kMapped, 12) == 0 && a.s6_addr[12] == 127);
  }
  return false;
}

// ----- The server's certificate -----

struct chain_traits {
  using type = PCCERT_CHAIN_CONTEXT;
  static type invalid() noexcept { return nullptr; }
  static void close(type chain) noexcept { Certificates().CertFreeCertificateChain(chain); }
};
struct store_traits {
  using type = HCERTSTORE;
  static type invalid() noexcept { return nullptr; }
  static void close(type store) noexcept { Certificates().CertCloseStore(store, 0); }
};
struct cert_traits {
  using type = PCCERT_CONTEXT;
  static type invalid() noexcept { return nullptr; }
  static void close(type cert) noexcept { Certificates().CertFreeCertificateContext(cert); }
};

[[noreturn]] void Refuse(const std::string& why) { throw TransportError(TransportError::Kind::kCertificate, why); }

// Refuses the certificate for what the chain's trust status holds against it.
void CheckChainStatus(DWORD status, PCCERT_CONTEXT cert) {
  const bool selfSigned = Certificates().CertCompareCertificateName(X509_ASN_ENCODING, &cert->pCertInfo->Subject,
                                                                    &cert->pCertInfo->Issuer) != FALSE;
  if (status & CERT_TRUST_IS_NOT_TIME_VALID) Refuse("the certificate has expired or is not yet valid");
  if (status & CERT_TRUST_IS_REVOKED) Refuse("the certificate has been revoked");
  if (status & (CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN)) {
    Refuse(selfSigned ? "the certificate is self-signed"
                      : "the certificate is not issued by an authority that this computer trusts");
  }
  if (status & CERT_TRUST_IS_NOT_VALID_FOR_USAGE) Refuse("the certificate is not meant for a mail server");
  if (status & CERT_TRUST_IS_NOT_SIGNATURE_VALID) Refuse("the certificate's signature is not valid");
  if (status != CERT_TRUST_NO_ERROR) Refuse("the certificate is not valid (chain status " + Hex(status) + ")");
}

// Refuses a chain that is not one for this server's name (the system's server policy; an
// authority a test trusts besides the system's is let pass there as well).
void CheckServerName(PCCERT_CHAIN_CONTEXT chain, const std::string& host, bool extraRootUsed) {
  std::wstring name = Utf8ToWide(host);
  SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
  ssl.cbSize = sizeof ssl;
  ssl.dwAuthType = AUTHTYPE_SERVER;
  constexpr DWORD kIgnoreUnknownAuthority = 0x00000100;  // SECURITY_FLAG_IGNORE_UNKNOWN_CA of <wininet.h>
  ssl.fdwChecks = extraRootUsed ? kIgnoreUnknownAuthority : 0;
  ssl.pwszServerName = name.data();
  CERT_CHAIN_POLICY_PARA policy{};
  policy.cbSize = sizeof policy;
  policy.pvExtraPolicyPara = &ssl;
  CERT_CHAIN_POLICY_STATUS result{};
  result.cbSize = sizeof result;
  if (!Certificates().CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &result)) {
    Refuse("it could not be checked: " + ReasonText(GetLastError()));
  }
  switch (static_cast<unsigned long>(result.dwError)) {
    case 0: return;
    case static_cast<unsigned long>(CERT_E_CN_NO_MATCH): Refuse("the certificate is for another name than " + host);
    case static_cast<unsigned long>(CERT_E_EXPIRED): Refuse("the certificate has expired or is not yet valid");
    case static_cast<unsigned long>(CERT_E_UNTRUSTEDROOT):
      Refuse("the certificate is not issued by an authority that this computer trusts");
    default: Refuse("the certificate is not valid (" + Hex(static_cast<unsigned long>(result.dwError)) + ")");
  }
}

// The chain up to a trusted root, valid now, for server use, revocation not asked (there may be no
// way to the authority's lists, and each try would be another wait); then the host name.
void CheckCertificate(PCCERT_CONTEXT cert, const std::string& host, const ExtraRoots& extraRoots) {
  unique_any<store_traits> extra;
  HCERTSTORE additional = cert->hCertStore;
  if (!extraRoots.empty()) {
    extra.reset(Certificates().CertOpenStore(CERT_STORE_PROV_COLLECTION, 0, 0, 0, nullptr));
    const unique_any<store_traits> roots(Certificates().CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr));
    for (const std::string& der : extraRoots) {
      Certificates().CertAddEncodedCertificateToStore(roots.get(), X509_ASN_ENCODING,
                                                      reinterpret_cast<const BYTE*>(der.data()),
                                                      static_cast<DWORD>(der.size()), CERT_STORE_ADD_ALWAYS, nullptr);
    }
    Certificates().CertAddStoreToCollection(extra.get(), roots.get(), 0, 0);
    Certificates().CertAddStoreToCollection(extra.get(), cert->hCertStore, 0, 0);
    additional = extra.get();
  }
  LPSTR usages[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
  CERT_CHAIN_PARA para{};
  para.cbSize = sizeof para;
  para.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
  para.RequestedUsage.Usage.cUsageIdentifier = 1;
  para.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
  unique_any<chain_traits> chain;
  if (!Certificates().CertGetCertificateChain(nullptr, cert, nullptr, additional, &para, 0, nullptr, chain.put())) {
    Refuse("its chain could not be built: " + ReasonText(GetLastError()));
  }
  DWORD status = chain.get()->TrustStatus.dwErrorStatus;
  bool extraRootUsed = false;
  if ((status & CERT_TRUST_IS_UNTRUSTED_ROOT) && !(status & CERT_TRUST_IS_PARTIAL_CHAIN) && chain.get()->cChain > 0 &&
      !extraRoots.empty()) {
    const CERT_SIMPLE_CHAIN* simple = chain.get()->rgpChain[0];
    const CERT_CONTEXT* root = simple->rgpElement[simple->cElement - 1]->pCertContext;
    for (const std::string& der : extraRoots) {
      if (der.size() == root->cbCertEncoded && std::memcmp(der.data(), root->pbCertEncoded, der.size()) == 0 &&
          simple->cElement > 1) {
        status &= ~static_cast<DWORD>(CERT_TRUST_IS_UNTRUSTED_ROOT);
        extraRootUsed = true;
      }
    }
  }
  CheckChainStatus(status, cert);
  CheckServerName(chain.get(), host, extraRootUsed);
}

// ----- The connection -----

class WinTransport final : public SmtpTransport {
 public:
  WinTransport(EventSocket connection, std::string host, ExtraRoots extraRoots, const StopSignal& stop)
      : connection_(std::move(connection)), socket_(connection_.socket.get()), host_(std::move(host)),
        extraRoots_(std::move(extraRoots)), stop_(stop) {
    SecInvalidateHandle(&credentials_);
    SecInvalidateHandle(&context_);
  }
  ~WinTransport() override {
    if (SecIsValidHandle(&context_)) Security().DeleteSecurityContext(&context_);
    if (SecIsValidHandle(&credentials_)) Security().FreeCredentialsHandle(&credentials_);
  }

  std::size_t Read(char* buffer, std::size_t size, milliseconds bound) override {
    const Clock::time_point deadline = Clock::now() + bound;
    if (!tls_) return RawRead(buffer, size, deadline, bound);
    while (plain_.empty()) Decrypt(deadline, bound);
    const std::size_t n = std::min(size, plain_.size());
    std::memcpy(buffer, plain_.data(), n);
    plain_.erase(0, n);
    return n;
  }

  void Write(std::string_view bytes, milliseconds bound) override {
    const Clock::time_point deadline = Clock::now() + bound;
    if (!tls_) {
      RawWrite(bytes, deadline, bound);
      return;
    }
    while (!bytes.empty()) {
      const std::size_t n = std::min<std::size_t>(bytes.size(), sizes_.cbMaximumMessage);
      std::string record(sizes_.cbHeader + n + sizes_.cbTrailer, '\0');
      std::memcpy(record.data() + sizes_.cbHeader, bytes.data(), n);
      SecBuffer buffers[4] = {
          {sizes_.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
          {static_cast<unsigned long>(n), SECBUFFER_DATA, record.data() + sizes_.cbHeader},
          {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + sizes_.cbHeader + n},
          {0, SECBUFFER_EMPTY, nullptr}};
      SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
      const SECURITY_STATUS status = Security().EncryptMessage(&context_, 0, &desc, 0);
      if (status != SEC_E_OK) Fail("TLS could not encrypt the data (" + Hex(status) + ")");
      RawWrite(std::string_view(record.data(), buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer),
               deadline, bound);
      bytes.remove_prefix(n);
    }
  }

  void StartTls(milliseconds bound) override {
    const Clock::time_point deadline = Clock::now() + bound;
    AcquireCredentials();
    const std::wstring target = Utf8ToWide(host_);
    // Server name indication only for names, not for addresses.
    SEC_WCHAR* targetName = isIpHost_ ? nullptr : const_cast<SEC_WCHAR*>(target.c_str());
    // Supplied credentials only (there are none): a server that asks for a client certificate
    // gets an empty answer instead of a request for credentials the program does not have.
    constexpr DWORD kFlags = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                             ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION |
                             ISC_REQ_USE_SUPPLIED_CREDS;
    DWORD attributes = 0;
    SECURITY_STATUS status = SEC_I_CONTINUE_NEEDED;
    bool first = true;
    bool certificateAsked = false;
    encrypted_.clear();
    for (;;) {
      // A pass that neither reads nor writes must not go round for ever.
      if (stop_.Requested()) Stopped();
      if (TimeLeft(deadline).count() == 0) {
        throw TransportError(TransportError::Kind::kTimeout,
                             "the TLS handshake did not end within " + BoundText(bound));
      }
      SecBuffer in[2] = {{static_cast<unsigned long>(encrypted_.size()), SECBUFFER_TOKEN, encrypted_.data()},
                         {0, SECBUFFER_EMPTY, nullptr}};
      SecBufferDesc inDesc{SECBUFFER_VERSION, 2, in};
      SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
      SecBufferDesc outDesc{SECBUFFER_VERSION, 1, out};
      status = Security().InitializeSecurityContextW(&credentials_, first ? nullptr : &context_, targetName, kFlags, 0,
                                                     0, first ? nullptr : &inDesc, 0, first ? &context_ : nullptr,
                                                     &outDesc, &attributes, nullptr);
      first = false;
      if (status == SEC_E_INCOMPLETE_MESSAGE) {
        ReadMore(deadline, bound);
        continue;
      }
      if (out[0].pvBuffer) {
        const std::string token(static_cast<const char*>(out[0].pvBuffer), out[0].cbBuffer);
        Security().FreeContextBuffer(out[0].pvBuffer);
        if (!token.empty()) RawWrite(token, deadline, bound);
      }
      if (FAILED(status)) Fail("the TLS handshake failed (" + Hex(status) + ")");
      if (status == SEC_I_INCOMPLETE_CREDENTIALS) {
        // Asked for a client certificate: once more without one; the same answer again would
        // repeat the same call for ever.
        if (certificateAsked) Fail("the server asks for a client certificate, which Netbeacon does not have");
        certificateAsked = true;
        continue;
      }
      if (in[1].BufferType == SECBUFFER_EXTRA && in[1].cbBuffer > 0) {
        encrypted_.erase(0, encrypted_.size() - in[1].cbBuffer);
      } else {
        encrypted_.clear();
      }
      if (status == SEC_E_OK) break;
      if (status == SEC_I_CONTINUE_NEEDED && encrypted_.empty()) ReadMore(deadline, bound);
      if (status != SEC_I_CONTINUE_NEEDED) Fail("the TLS handshake failed (" + Hex(status) + ")");
    }
    SecPkgContext_ConnectionInfo info{};
    if (Security().QueryContextAttributesW(&context_, SECPKG_ATTR_CONNECTION_INFO, &info) != SEC_E_OK ||
        !(info.dwProtocol & (SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT))) {
      Fail("the server does not speak TLS 1.2 or later");
    }
    unique_any<cert_traits> cert;
    if (Security().QueryContextAttributesW(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT, cert.put()) != SEC_E_OK ||
        !cert) {
      throw TransportError(TransportError::Kind::kCertificate, "the server showed no certificate");
    }
    CheckCertificate(cert.get(), host_, extraRoots_);
    if (Security().QueryContextAttributesW(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_) != SEC_E_OK) {
      Fail("TLS gave no record sizes");
    }
    tls_ = true;
  }

  bool Encrypted() const override { return tls_; }
  bool Loopback() const override { return loopback_; }
  std::string ClientAddressLiteral() const override { return clientLiteral_; }

  void Describe(bool isIpHost) {
    isIpHost_ = isIpHost;
    sockaddr_storage address{};
    int length = sizeof address;
    if (Sockets().getpeername(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      loopback_ = IsLoopback(address);
    }
    length = sizeof address;
    char text[INET6_ADDRSTRLEN] = "127.0.0.1";
    if (Sockets().getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      const void* raw = address.ss_family == AF_INET6
                            ? static_cast<const void*>(&reinterpret_cast<sockaddr_in6&>(address).sin6_addr)
                            : static_cast<const void*>(&reinterpret_cast<sockaddr_in&>(address).sin_addr);
      Sockets().inet_ntop(address.ss_family, raw, text, sizeof text);
    }
    clientLiteral_ = address.ss_family == AF_INET6 ? "[IPv6:" : "[";
    clientLiteral_ += text;
    clientLiteral_ += ']';
  }

 private:
  [[noreturn]] static void Fail(const std::string& text) { throw TransportError(TransportError::Kind::kFailed, text); }

  void AcquireCredentials() {
    SCHANNEL_CRED cred{};
    cred.dwVersion = SCHANNEL_CRED_VERSION;
    cred.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;
    // TLS 1.2, which every mail server people use offers. TLS 1.3 stays off: its session tickets
    // reach the reader as a renegotiation request that this transport does not answer, and it
    // cannot be tried here (the test servers' SChannel does not speak it).
    cred.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
    const SECURITY_STATUS status =
        Security().AcquireCredentialsHandleW(nullptr, const_cast<SEC_WCHAR*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND,
                                             nullptr, &cred, nullptr, nullptr, &credentials_, nullptr);
    if (status != SEC_E_OK) Fail("TLS is not available (" + Hex(status) + ")");
  }

  void ReadMore(Clock::time_point deadline, milliseconds bound) {
    char chunk[16 * 1024];
    const std::size_t got = RawRead(chunk, sizeof chunk, deadline, bound);
    encrypted_.append(chunk, got);
  }

  void Decrypt(Clock::time_point deadline, milliseconds bound) {
    if (encrypted_.empty()) ReadMore(deadline, bound);
    SecBuffer buffers[4] = {{static_cast<unsigned long>(encrypted_.size()), SECBUFFER_DATA, encrypted_.data()},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    const SECURITY_STATUS status = Security().DecryptMessage(&context_, &desc, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) {
      ReadMore(deadline, bound);
      return;
    }
    if (status == SEC_I_CONTEXT_EXPIRED) throw TransportError(TransportError::Kind::kClosed, "the server ended TLS");
    if (status != SEC_E_OK) Fail("TLS could not decrypt the server's data (" + Hex(status) + ")");
    std::string extra;
    for (const SecBuffer& b : buffers) {
      if (b.BufferType == SECBUFFER_DATA) plain_.append(static_cast<const char*>(b.pvBuffer), b.cbBuffer);
      if (b.BufferType == SECBUFFER_EXTRA) extra.assign(static_cast<const char*>(b.pvBuffer), b.cbBuffer);
    }
    encrypted_ = std::move(extra);
  }

  std::size_t RawRead(char* buffer, std::size_t size, Clock::time_point deadline, milliseconds bound) {
    for (;;) {
      if (stop_.Requested()) Stopped();
      const int got = Sockets().recv(socket_, buffer, static_cast<int>(std::min<std::size_t>(size, 1 << 20)), 0);
      if (got > 0) return static_cast<std::size_t>(got);
      if (got == 0) throw TransportError(TransportError::Kind::kClosed, "the server closed the connection");
      const int error = Sockets().WSAGetLastError();
      if (error != WSAEWOULDBLOCK) {
        throw TransportError(TransportError::Kind::kFailed, "the connection failed: " + ReasonText(error));
      }
      if (!connection_.Await(stop_, deadline)) {
        throw TransportError(TransportError::Kind::kTimeout, "no answer within " + BoundText(bound));
      }
    }
  }

  void RawWrite(std::string_view bytes, Clock::time_point deadline, milliseconds bound) {
    while (!bytes.empty()) {
      if (stop_.Requested()) Stopped();
      const int sent =
          Sockets().send(socket_, bytes.data(), static_cast<int>(std::min<std::size_t>(bytes.size(), 1 << 20)), 0);
      if (sent != SOCKET_ERROR) {
        bytes.remove_prefix(static_cast<std::size_t>(sent));
        continue;
      }
      const int error = Sockets().WSAGetLastError();
      if (error != WSAEWOULDBLOCK) {
        throw TransportError(TransportError::Kind::kFailed, "the connection failed: " + ReasonText(error));
      }
      if (!connection_.Await(stop_, deadline)) {
        throw TransportError(TransportError::Kind::kTimeout, "the server took no data for " + BoundText(bound));
      }
    }
  }

  EventSocket connection_;
  SOCKET socket_;
  std::string host_;
  ExtraRoots extraRoots_;
  const StopSignal& stop_;
  bool isIpHost_ = false;
  bool loopback_ = false;
  std::string clientLiteral_;
  bool tls_ = false;
  CredHandle credentials_;
  CtxtHandle context_;
  SecPkgContext_StreamSizes sizes_{};
  std::string encrypted_;  // received, not yet decrypted
  std::string plain_;      // decrypted, not yet read
};

}  // namespace

std::unique_ptr<SmtpTransport> ConnectSmtp(const ServerAddress& server, milliseconds bound, ExtraRoots extraRoots,
                                           const StopSignal& stop) {
  const Clock::time_point deadline = Clock::now() + bound;
  const std::string where = server.host + " port " + std::to_string(server.port);
  const std::shared_ptr<Lookup> lookup = Resolve(server, deadline, stop);
  if (!lookup) {
    throw TransportError(TransportError::Kind::kTimeout, "the name " + server.host + " was not found within " +
                                                             BoundText(bound));
  }
  if (lookup->result != 0 || !lookup->addresses) {
    throw TransportError(TransportError::Kind::kFailed,
                         "the name " + server.host + " was not found: " + ReasonText(lookup->result));
  }
  std::size_t addressesLeft = 0;
  for (const ADDRINFOW* a = lookup->addresses; a; a = a->ai_next) ++addressesLeft;
  int lastError = 0;
  for (const ADDRINFOW* a = lookup->addresses; a; a = a->ai_next, --addressesLeft) {
    const Clock::time_point attemptEnd = Clock::now() + ConnectShare(TimeLeft(deadline), addressesLeft);
    EventSocket connection;
    connection.event.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    connection.socket.reset(Sockets().socket(a->ai_family, a->ai_socktype, a->ai_protocol));
    if (!connection.event || !connection.socket ||
        Sockets().WSAEventSelect(connection.socket.get(), connection.event.get(),
                                 FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE) == SOCKET_ERROR) {
      lastError = connection.event ? Sockets().WSAGetLastError() : static_cast<int>(GetLastError());
      continue;
    }
    bool connected = Sockets().connect(connection.socket.get(), a->ai_addr, static_cast<int>(a->ai_addrlen)) == 0;
    lastError = connected ? 0 : Sockets().WSAGetLastError();
    if (lastError == WSAEWOULDBLOCK) {
      WSANETWORKEVENTS news{};
      bool answered = false;
      while (!answered && connection.Await(stop, attemptEnd, &news)) answered = (news.lNetworkEvents & FD_CONNECT) != 0;
      lastError = answered ? news.iErrorCode[FD_CONNECT_BIT] : WSAETIMEDOUT;
      connected = lastError == 0;
    }
    if (connected) {
      auto transport = std::make_unique<WinTransport>(std::move(connection), server.host, std::move(extraRoots), stop);
      transport->Describe(server.ipLiteral);
      return transport;
    }
    if (TimeLeft(deadline).count() == 0) break;
  }
  if (lastError == WSAETIMEDOUT) {
    throw TransportError(TransportError::Kind::kTimeout,
                         where + " did not answer within " + BoundText(bound));
  }
  throw TransportError(TransportError::Kind::kFailed, where + ": " + ReasonText(static_cast<DWORD>(lastError)));
}

}  // namespace nb::mail
