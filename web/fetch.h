// Page fetch: one HTTP request through the bound transport, the body as bytes
// or as text. Waiting window events run between reads.
#pragma once

#include <string_view>

#include "text/text.h"

namespace dsr {

// The body returned after a failure before the request could be sent: 255
// zero bytes.
const Bytes& FetchFailureBytes();

// One request to `address` (with or without "http://"). `method` empty means
// GET; `proxy` empty or only spaces means direct access; `headers` (in and
// out) are extra request header lines, each ended by "\r\n", and hold the
// header text sent on return; `body` goes only with POST; `rawHeaders` gets
// the response's status and header lines. Cookies the response sets go to the
// process-wide store. Never fails: see `FetchFailureBytes`, which a host that
// is no plain host name (`IsPlainHost`) and a port outside 1..65535 also give
// (port 0 stands for 80). The object path goes out as `RequestTarget`; a body
// is kept up to 32 MiB, the rest is not read.
Bytes FetchPageBytes(std::string_view address, std::string_view method, std::string_view proxy,
                     Text& headers, std::string_view body, Text& rawHeaders);

// `FetchPageBytes` as text: ends before the first zero byte, so a failure and
// an empty body both give the empty text.
Text FetchPageText(std::string_view address, std::string_view method, std::string_view proxy,
                   Text& headers, std::string_view body, Text& rawHeaders);

// A GET over direct access with the fetch's own header lines only.
Text FetchPageText(std::string_view address);

}  // namespace dsr
