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
// Empties the process-wide cookie store.
void ClearCurlCookies();

}  // namespace dsr
