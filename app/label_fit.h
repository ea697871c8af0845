// How a label shows its whole text: the rule that sizes a label and its font
// so that no text is cut off, apart from any window toolkit. The toolkit
// hands in a routine that measures a text at a font size.
//
// The rule, for a label whose text does not fit its box at the start font:
//   1. the label grows to the right as far as the text needs, up to its
//      right limit: the nearest control to its right on the same rows, else
//      the client area's right edge;
//   2. if the text is still wider, the font shrinks one pixel at a time, not
//      below kSmallestFontPx;
//   3. only if it is wider still, the text is cut and ends with "…"; the
//      window then shows the whole text as the label's tooltip.
// A text that fits keeps the label's box and the start font.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "app/controls.h"
#include "text/text.h"

namespace dsr {

inline constexpr int kSmallestFontPx = 8;
inline constexpr char16_t kEllipsis = u'\u2026';

// The width in pixels of `text` drawn at a font of `fontPx` pixels.
using MeasureText = std::function<int(std::u16string_view text, int fontPx)>;

struct LabelFit {
  int width = 0;   // the label's width; its left, top and height stay
  int fontPx = 0;  // the font size to draw it at
  // Whether the text is cut: then its first `keep` UTF-16 units, followed by
  // kEllipsis, are shown (`keep` never splits a surrogate pair).
  bool elided = false;
  std::size_t keep = 0;

  friend bool operator==(const LabelFit&, const LabelFit&) = default;
};

// The rule above for a label whose table box starts at `left` with `width`,
// that may grow up to `rightLimit` (an x in the client area), at `startPx`.
// `text` is measured as given: pass it through `OneLine` first.
LabelFit FitLabelText(std::u16string_view text, int left, int width, int rightLimit, int startPx,
                      const MeasureText& measure);

// The x up to which `label` may grow: the left edge of the nearest control of
// the table to its right whose rows overlap its own, else `clientWidth`.
int RightLimitOf(Control label, int clientWidth);

// `FitLabelText` for a label of the control table.
LabelFit FitLabel(Control label, std::u16string_view text, int clientWidth, int startPx,
                  const MeasureText& measure);

// The text a label shows under `fit`: the text itself, or its kept part and
// kEllipsis.
std::u16string ShownLabelText(std::u16string_view text, const LabelFit& fit);

// A label shows one line: every line break (CR LF, CR or LF) becomes one
// space. The GBK form does the same on bytes (no GBK character holds a CR or
// LF byte).
std::u16string OneLine(std::u16string_view text);
Text OneLine(std::string_view gbk);

}  // namespace dsr
