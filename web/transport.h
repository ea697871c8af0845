// The HTTP transport: the eight operations the page fetch needs, shaped like
// the WinInet calls of the same roles, as a plain record of functions.
//
// Handles are opaque and 0 means failure. One transport is bound per process
// (`UseTransport`); the libcurl one (curl_transport.h) stands in where WinInet
// is not available, and the scripted fake (fake_transport.h) serves unit tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "text/text.h"

namespace dsr {

using InternetHandle = std::uintptr_t;

inline constexpr int kOpenTypeDirect = 1;                  // INTERNET_OPEN_TYPE_DIRECT
inline constexpr int kOpenTypeProxy = 3;                   // INTERNET_OPEN_TYPE_PROXY
inline constexpr int kServiceHttp = 3;                     // INTERNET_SERVICE_HTTP
inline constexpr std::uint32_t kFlagReload = 0x80000000u;  // INTERNET_FLAG_RELOAD
inline constexpr int kQueryRawHeadersCrlf = 22;            // HTTP_QUERY_RAW_HEADERS_CRLF

struct HttpTransport {
  // InternetOpenA: a root handle whose requests carry `agent` as User-Agent;
  // `proxy` ("http=" and the proxy) only with kOpenTypeProxy.
  std::function<InternetHandle(std::string_view agent, int accessType, std::string_view proxy)>
      open;
  // InternetConnectA: a connection handle for host and port. The fetch only
  // asks for a plain host name (`IsPlainHost`) and a port in 1..65535.
  std::function<InternetHandle(InternetHandle root, std::string_view host, int port,
                               std::string_view user, std::string_view password, int service)>
      connect;
  // HttpOpenRequestA: `method` empty means GET; never answered from a cache
  // when `flags` holds kFlagReload. The fetch hands `objectPath` over already
  // escaped (`RequestTarget`), to go on the request line as it is.
  std::function<InternetHandle(InternetHandle connection, std::string_view method,
                               std::string_view objectPath, std::string_view version,
                               std::uint32_t flags)>
      openRequest;
  // HttpSendRequestA: request line, own headers (Host, User-Agent, stored
  // cookies of the host), then `headers` as given, then `body`. Redirections
  // are followed; what is read afterwards is the final response.
  std::function<bool(InternetHandle request, std::string_view headers, std::string_view body)> send;
  // InternetReadFile: the next bytes of the body, at most `capacity`, into
  // `buffer`; `count` 0 at the end of the body and on failure.
  std::function<bool(InternetHandle request, char* buffer, int capacity, int& count)> read;
  // HttpQueryInfoA with kQueryRawHeadersCrlf: when the status line and header
  // lines, each ended by CRLF, fit into `capacity` bytes with an ending zero
  // byte, `buffer` becomes that block; otherwise it is left unchanged.
  std::function<bool(InternetHandle request, int infoLevel, Text& buffer, int capacity)> queryInfo;
  // InternetCloseHandle.
  std::function<bool(InternetHandle handle)> closeHandle;
  // InternetSetCookieA: stores the cookie for the host of `url` in the
  // process-wide cookie store.
  std::function<bool(std::string_view url, std::string_view name, std::string_view value)>
      setCookie;
};

// Binds `transport` for the whole process; an operation it leaves empty fails
// (returns 0 or false, reads nothing). Unbound, every open fails.
void UseTransport(HttpTransport transport);
const HttpTransport& CurrentTransport();

}  // namespace dsr
