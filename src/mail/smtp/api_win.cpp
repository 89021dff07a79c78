#include "mail/smtp/api_win.h"

namespace nb::mail {
namespace {

const SecurityFunctionTableW* LoadSecurity() {
  // Never freed, like the other two: a send abandoned at the program's end may still be inside it.
  static const DynamicLibrary& library = *new DynamicLibrary(L"secur32.dll");
  const auto init = library.Get<decltype(&::InitSecurityInterfaceW)>("InitSecurityInterfaceW");
  const SecurityFunctionTableW* functions = init();
  if (!functions) throw AppError(errnum::kLibraryLoad, L"The security package interface is not available");
  return functions;
}

}  // namespace

const SocketsApi& Sockets() {
  static const SocketsApi& api = *new SocketsApi;
  return api;
}

const CertificatesApi& Certificates() {
  static const CertificatesApi& api = *new CertificatesApi;
  return api;
}

const SecurityFunctionTableW& Security() {
  static const SecurityFunctionTableW* const table = LoadSecurity();
  return *table;
}

}  // namespace nb::mail
