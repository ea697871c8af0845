// Taking a web address apart: host, port and object path.
//
// The address is GBK text, with or without "http://", and ends at its first
// zero byte. Nothing is validated and nothing fails: every address, the empty
// one included, gives a result.
#pragma once

#include <string_view>

#include "text/text.h"

namespace dsr {

// The host, lower-cased (ASCII letters only): the bytes after the first
// "http://" (case-sensitive, wherever it stands; else from the start) up to the
// next "/". With `keepPort` false it is cut before its first ":". A query
// that follows the host without a "/" stays part of the host.
Text UrlHost(std::string_view address, bool keepPort);

// The number that begins the text after the first ":" of the host with its
// port, truncated toward zero (0 when there is no number there, no range
// test); 80 when the host has no ":".
int UrlPort(std::string_view address);

// The address from the first "/" at or after the first case-insensitive
// occurrence of the host (without port) to the end, in its own letter case;
// "/" when there is no such "/".
Text UrlObjectPath(std::string_view address);

// `text` with every byte for which `escape` holds written as "%" and two
// upper-case hex digits; every other byte as given.
Text PercentEscape(std::string_view text, bool (*escape)(unsigned char));

// The object path as it goes on the request line: bytes 0x00 to 0x20, 0x7F
// and "#" as %XX, so that nothing can end the line, split the target or cut
// it at a fragment; every other byte (GBK included) as given.
Text RequestTarget(std::string_view objectPath);

// Whether a connection may be made to `host`: not empty, and only ASCII
// letters, digits, "-", "." and "_" (anything else could be read by an HTTP
// library as a user name, a query or a port).
bool IsPlainHost(std::string_view host);

// The port a connection goes to: 0 stands for the HTTP default, 80; any other
// number outside 1..65535 gives 0, no connection.
int ConnectionPort(int port);

}  // namespace dsr
