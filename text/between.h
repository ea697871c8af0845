// The one cutting tool for values in fetched pages.
#pragma once

#include <string_view>

#include "text/text.h"

namespace dsr {

// The text between the first occurrence of `left` and the first occurrence of
// `right` after the end of it; the empty text when either is missing. Both
// searches are case-sensitive and match only at character starts, the second
// stepping over characters from the first byte after `left`. An empty `left`
// takes the whole text; an empty `right` always gives the empty text. Nothing
// is trimmed or converted.
Text TextBetween(std::string_view text, std::string_view left, std::string_view right);

}  // namespace dsr
