// The real-HTTP fetch cases on the WinInet transport.
#include "web/fetch_http_cases.h"
#include "web/wininet_transport.h"

namespace dsr {

HttpTransport TransportUnderTest() { return WinInetTransport(); }
std::string_view TransportName() { return "WinInet"; }

}  // namespace dsr
