// The HTTP transport on WinInet, bound by name at run time.
#pragma once

#include <string>
#include <vector>

#include "web/transport.h"

namespace dsr {

// The eight operations of wininet.dll. When the library or one of its
// functions cannot be found, every open fails.
HttpTransport WinInetTransport();

// The same from the library of that name: for tests of a missing library or
// missing functions.
HttpTransport WinInetTransportFrom(const char* library);

// Test hook. Routes connections by rules "HOST:PORT:CONNECT-TO-HOST:CONNECT-TO-PORT"
// (as the libcurl transport's SetCurlConnectTo), so that production host names
// reach a local server; the Host line then names the local server. A
// redirection is not routed. An empty list routes nothing.
void SetWinInetConnectTo(std::vector<std::string> rules);

}  // namespace dsr
