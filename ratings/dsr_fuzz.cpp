// Fuzzing the rating extraction on random pages: every dimension read as the
// marker cuts say (against the plain reference search), and its result line.
//
// The page is the input with a few control bytes standing for the page's
// markers (see kTokens), so that the fuzzer builds rating pages without
// knowing the markers' bytes in the charset the literals were compiled in.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "ratings/dsr.h"

namespace {

using dsr::DsrDimension;

struct Token {
  unsigned char byte;
  std::string_view text;
};

const Token kTokens[] = {
    {0x01, dsr::kDsrDimensions[0].marker},
    {0x02, dsr::kDsrDimensions[1].marker},
    {0x03, dsr::kDsrDimensions[2].marker},
    {0x04, "人"},
    {0x05, "共<span>"},
    {0x06, "</span>"},
    {0x07, "title=\""},
    {0x08, "分"},
    {0x0E, "/strong"},
    {0x0F, "店铺得分-同行业平均分"},
    {0x10, " over\">"},
    {0x11, " lower\">"},
    {0x12, "<"},
    {0x13, std::string_view("人").substr(0, 1)},  // half a character
    {0x14, "4.8"},
    {0x15, "1234"},
};

std::string Expand(std::string_view input) {
  std::string page;
  for (char c : input) {
    std::string_view piece(&c, 1);
    for (const Token& t : kTokens) {
      if (static_cast<unsigned char>(c) == t.byte) piece = t.text;
    }
    page += piece;
  }
  return page;
}

// The reading as the marker cuts define it.
dsr::DsrReading Reference(std::string_view page, std::string_view marker) {
  const std::string block = fuzz::TextBetween(page, marker, "人");
  const std::string comparisonBlock = fuzz::TextBetween(page, marker, "/strong");
  dsr::DsrReading r;
  r.raterCount = fuzz::TextBetween(block, "共<span>", "</span>");
  r.score = fuzz::TextBetween(block, "title=\"", "分");
  if (fuzz::PositionOf(comparisonBlock, "店铺得分-同行业平均分") != -1) {
    r.comparison = "高于同行业" + fuzz::TextBetween(comparisonBlock, " over\">", "<");
  } else {
    r.comparison = "低于同行业" + fuzz::TextBetween(comparisonBlock, " lower\">", "<");
  }
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string page = Expand(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const dsr::DsrDimensionRow& row : dsr::kDsrDimensions) {
    const dsr::DsrReading reading = dsr::ExtractDsrReading(page, row.dimension);
    const dsr::DsrReading expected = Reference(page, row.marker);
    FUZZ_CHECK(reading.score == expected.score);
    FUZZ_CHECK(reading.raterCount == expected.raterCount);
    FUZZ_CHECK(reading.comparison == expected.comparison);
    const dsr::Text line = dsr::FormatReadingLine(reading);
    FUZZ_CHECK(line == reading.score + "分--" + reading.raterCount + "人--" + reading.comparison);
    FUZZ_CHECK(!fuzz::HasZero(line));
  }
  return 0;
}
