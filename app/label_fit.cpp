// The label-fitting rule and the one-line rule.
#include "app/label_fit.h"

#include <algorithm>

namespace dsr {

namespace {

bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Width of the first `keep` units of `text` followed by the ellipsis.
int ElidedWidth(std::u16string_view text, std::size_t keep, int fontPx,
                const MeasureText& measure) {
  std::u16string shown(text.substr(0, keep));
  shown.push_back(kEllipsis);
  return measure(shown, fontPx);
}

template <typename String, typename View>
String ReplaceLineBreaks(View text) {
  String out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out.push_back(' ');
    } else if (text[i] == '\n') {
      out.push_back(' ');
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

}  // namespace

LabelFit FitLabelText(std::u16string_view text, int left, int width, int rightLimit, int startPx,
                      const MeasureText& measure) {
  const int widest = std::max(width, rightLimit - left);
  int px = startPx;
  // Grow first, then shrink the font.
  for (;;) {
    const int needed = measure(text, px);
    if (needed <= widest) return {std::max(width, needed), px, false, 0};
    if (px <= kSmallestFontPx) break;
    --px;
  }
  // Cut: the longest start of the text that fits with the ellipsis. The
  // width of a start grows with its length, so bisect.
  std::size_t fits = 0, tooLong = text.size();
  while (tooLong - fits > 1) {
    const std::size_t mid = fits + (tooLong - fits) / 2;
    (ElidedWidth(text, mid, px, measure) <= widest ? fits : tooLong) = mid;
  }
  if (fits > 0 && IsLowSurrogate(text[fits])) --fits;
  return {widest, px, true, fits};
}

int RightLimitOf(Control label, int clientWidth) {
  const ControlInfo& self = InfoOf(label);
  int limit = clientWidth;
  for (const ControlInfo& other : kControlTable) {
    if (other.control == label || other.left < self.left + self.width) continue;
    const bool rowsOverlap =
        other.top < self.top + self.height && self.top < other.top + other.height;
    if (rowsOverlap) limit = std::min(limit, other.left);
  }
  return limit;
}

LabelFit FitLabel(Control label, std::u16string_view text, int clientWidth, int startPx,
                  const MeasureText& measure) {
  const ControlInfo& info = InfoOf(label);
  return FitLabelText(text, info.left, info.width, RightLimitOf(label, clientWidth), startPx,
                      measure);
}

std::u16string ShownLabelText(std::u16string_view text, const LabelFit& fit) {
  if (!fit.elided) return std::u16string(text);
  std::u16string shown(text.substr(0, fit.keep));
  shown.push_back(kEllipsis);
  return shown;
}

std::u16string OneLine(std::u16string_view text) { return ReplaceLineBreaks<std::u16string>(text); }

Text OneLine(std::string_view gbk) { return ReplaceLineBreaks<Text>(gbk); }

}  // namespace dsr
