// The transport that the real-HTTP fetch cases run on: one small file per
// transport (fetch_http_cases_curl.cpp, fetch_http_cases_wininet.cpp).
#pragma once

#include <string_view>

#include "web/transport.h"

namespace dsr {

HttpTransport TransportUnderTest();
// "libcurl" or "WinInet": the cases that one of them cannot match say so.
std::string_view TransportName();

}  // namespace dsr
