// Cutting the text that stands between two markers.
#include "text/between.h"

namespace dsr {

Text TextBetween(std::string_view text, std::string_view left, std::string_view right) {
  const int p = PositionOf(text, left);
  if (p == -1) return Text();
  // Everything after the first occurrence of `left`. The position and length
  // of `left` lie within the text up to its first zero byte, so the zero byte
  // (if any) is also the first one of `rest`, where the search below stops.
  const std::size_t after =
      static_cast<std::size_t>(p) - 1 + static_cast<std::size_t>(ByteLength(left));
  const std::string_view rest = text.substr(after);
  const int q = PositionOf(rest, right);
  if (q == -1) return Text();
  return Text(rest.substr(0, static_cast<std::size_t>(q) - 1));
}

}  // namespace dsr
