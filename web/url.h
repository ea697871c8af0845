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

}  // namespace dsr
