// The real-HTTP fetch cases on the libcurl transport.
#include "web/curl_transport.h"
#include "web/fetch_http_cases.h"

namespace dsr {

HttpTransport TransportUnderTest() { return CurlTransport(); }
std::string_view TransportName() { return "libcurl"; }

}  // namespace dsr
