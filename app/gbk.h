// Conversion between the tool's GBK texts and the UTF-16 and UTF-8 of the
// outside world (the window toolkit, the terminal, command-line arguments).
#pragma once

#include <string>
#include <string_view>

#include "text/text.h"

namespace dsr {

// Bytes that are not valid GBK, a lead byte at the very end included, each
// become U+FFFD; everything else decodes as GBK.
std::u16string GbkToUtf16(std::string_view gbk);
std::string GbkToUtf8(std::string_view gbk);

// A character that GBK cannot hold, or a broken UTF-16 / UTF-8 sequence,
// becomes "?". The result is a `Text`: it ends before the first U+0000.
Text Utf16ToGbk(std::u16string_view utf16);
Text Utf8ToGbk(std::string_view utf8);

}  // namespace dsr
