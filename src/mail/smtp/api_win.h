// The system libraries a send needs — Windows Sockets, the security package interface and the
// certificate functions — loaded when a send first asks for them, not when the program starts
// (loading them with the program delayed its first window by about a third). A library or entry
// point that is missing raises AppError 48, which the send reports as not sent.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#define SECURITY_WIN32
#include <security.h>
#include <wincrypt.h>

#include "base/dynamic_library_win.h"

namespace nb::mail {

#define NB_ENTRY(library, name) decltype(&::name) name = library.Get<decltype(&::name)>(#name)

struct SocketsApi {
  DynamicLibrary library{L"ws2_32.dll"};
  NB_ENTRY(library, WSAStartup);
  NB_ENTRY(library, WSACleanup);
  NB_ENTRY(library, WSAGetLastError);
  NB_ENTRY(library, GetAddrInfoW);
  NB_ENTRY(library, FreeAddrInfoW);
  NB_ENTRY(library, socket);
  NB_ENTRY(library, closesocket);
  NB_ENTRY(library, connect);
  NB_ENTRY(library, WSAEventSelect);
  NB_ENTRY(library, WSAEnumNetworkEvents);
  NB_ENTRY(library, getsockname);
  NB_ENTRY(library, getpeername);
  NB_ENTRY(library, inet_ntop);
  NB_ENTRY(library, send);
  NB_ENTRY(library, recv);
};

struct CertificatesApi {
  DynamicLibrary library{L"crypt32.dll"};
  NB_ENTRY(library, CertOpenStore);
  NB_ENTRY(library, CertCloseStore);
  NB_ENTRY(library, CertAddEncodedCertificateToStore);
  NB_ENTRY(library, CertAddStoreToCollection);
  NB_ENTRY(library, CertFreeCertificateContext);
  NB_ENTRY(library, CertGetCertificateChain);
  NB_ENTRY(library, CertFreeCertificateChain);
  NB_ENTRY(library, CertVerifyCertificateChainPolicy);
  NB_ENTRY(library, CertCompareCertificateName);
};

#undef NB_ENTRY

// Each of the three is loaded on its first call (a failed load raises and is tried again on the
// next call) and stays loaded to the program's end: a name lookup that outlived its bound may
// still run in the sockets library, and a send abandoned at the end in any of them.
const SocketsApi& Sockets();
const CertificatesApi& Certificates();
// The security package functions (AcquireCredentialsHandleW, InitializeSecurityContextW, ...),
// from the one entry point of the security library.
const SecurityFunctionTableW& Security();

}  // namespace nb::mail
