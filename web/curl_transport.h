// The HTTP transport on libcurl, with its process-wide cookie store (libcurl's
// own cookie engine).
#pragma once

#include <string>
#include <vector>

#include "web/transport.h"

namespace dsr {

HttpTransport CurlTransport();

// Test hooks. Routes connections by curl's CONNECT_TO rules
// ("HOST:PORT:CONNECT-TO-HOST:CONNECT-TO-PORT"), so that production host
// names reach a local server; an empty list routes nothing.
void SetCurlConnectTo(std::vector<std::string> rules);
// The limits of one request: it ends as a failure midway, the body bytes so
// far kept, once no header or body byte has come for the stall limit or once
// it has lasted the overall limit. Connecting has 60 s of its own.
inline constexpr int kCurlStallLimitMilliseconds = 60 * 1000;
inline constexpr int kCurlOverallLimitMilliseconds = 10 * 60 * 1000;
void SetCurlTimeLimits(int stallMilliseconds = kCurlStallLimitMilliseconds,
                       int overallMilliseconds = kCurlOverallLimitMilliseconds);
// Empties the process-wide cookie store.
void ClearCurlCookies();

}  // namespace dsr
