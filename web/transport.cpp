// The process-wide binding of the HTTP transport.
#include "web/transport.h"

#include <utility>

namespace dsr {
namespace {

// Operations that fail without touching anything: what an unbound process,
// or a transport that leaves an operation out, gets.
HttpTransport FailingTransport() {
  HttpTransport t;
  t.open = [](std::string_view, int, std::string_view) { return InternetHandle{0}; };
  t.connect = [](InternetHandle, std::string_view, int, std::string_view, std::string_view, int) {
    return InternetHandle{0};
  };
  t.openRequest = [](InternetHandle, std::string_view, std::string_view, std::string_view,
                     std::uint32_t) { return InternetHandle{0}; };
  t.send = [](InternetHandle, std::string_view, std::string_view) { return false; };
  t.read = [](InternetHandle, char*, int, int& count) {
    count = 0;
    return false;
  };
  t.queryInfo = [](InternetHandle, int, Text&, int) { return false; };
  t.closeHandle = [](InternetHandle) { return false; };
  t.setCookie = [](std::string_view, std::string_view, std::string_view) { return false; };
  return t;
}

HttpTransport& Bound() {
  static HttpTransport transport = FailingTransport();
  return transport;
}

template <typename F>
void FillIfEmpty(F& operation, const F& fallback) {
  if (!operation) operation = fallback;
}

}  // namespace

void UseTransport(HttpTransport transport) {
  const HttpTransport fallback = FailingTransport();
  FillIfEmpty(transport.open, fallback.open);
  FillIfEmpty(transport.connect, fallback.connect);
  FillIfEmpty(transport.openRequest, fallback.openRequest);
  FillIfEmpty(transport.send, fallback.send);
  FillIfEmpty(transport.read, fallback.read);
  FillIfEmpty(transport.queryInfo, fallback.queryInfo);
  FillIfEmpty(transport.closeHandle, fallback.closeHandle);
  FillIfEmpty(transport.setCookie, fallback.setCookie);
  Bound() = std::move(transport);
}

const HttpTransport& CurrentTransport() { return Bound(); }

}  // namespace dsr
