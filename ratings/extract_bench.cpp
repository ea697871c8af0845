// Throughput of the marker search and of reading all three ratings over large
// synthetic rating pages, beside a plain memmem scan of the same bytes.
//
// The pages are GBK text full of double-byte characters and near misses:
// whole markers and "人" standing one byte into a character (byte matches
// that are no character matches), marker prefixes and pieces of the ASCII
// markers. The real ratings stand at the very end.
#include <benchmark/benchmark.h>
#include <string.h>

#include <cstddef>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "ratings/dsr.h"
#include "text/text.h"

namespace dsr {
namespace {

std::string RatingBlocks() {
  std::string out;
  for (const DsrDimensionRow& row : kDsrDimensions) {
    out += std::string(row.marker) + "title=\"4.8分共<span>1234</span>人";
    out += "店铺得分-同行业平均分 over\">12.34</strong";
  }
  return out;
}

std::string Page(std::size_t size) {
  // Every piece leaves the next one starting at a character start.
  std::vector<std::string> pieces = {
      "<div class=\"item\">",
      "\xC9\xCC\xC6\xB7\xC3\xE8\xCA\xF6\xCF\xEA\xC7\xE9",  // plain Chinese text
      "\xB2\xE2\xCA\xD4\xCE\xC4\xD7\xD6\xB1\xB4\xB1\xA6",
      "\xB0\xC8\xCBx",                                     // 人 one byte in
      "\xB1\xA6\xB1\xB4\xD3\xEB\xC3\xE8\xCA\xF6\xCF\xE0",  // marker prefix
      "\xC2\xF4\xBC\xD2\xB5\xC4",                          // 卖家的
      "\xC2\xF4\xBC\xD2\xB7\xA2\xBB\xF5",                  // 卖家发货
      "\xB9\xB2<spa",
      "</span",
      "title=",
      "/stron",
  };
  for (const DsrDimensionRow& row : kDsrDimensions) {
    std::string misplaced = "\xB0";  // the marker one byte into a character
    misplaced += row.marker;
    misplaced += 'y';
    pieces.push_back(misplaced);
  }
  std::mt19937 rng(7);
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  const std::string tail = RatingBlocks();
  std::string page;
  page.reserve(size);
  while (page.size() + tail.size() < size) {
    const std::string& piece = pieces[pick(rng)];
    if (page.size() + piece.size() + tail.size() > size) break;
    page += piece;
  }
  page.append(size - tail.size() - page.size(), ' ');
  page += tail;
  return page;
}

const std::string& CachedPage(std::size_t size) {
  static std::string pages[3];
  static const std::size_t sizes[3] = {64u << 10, 1u << 20, 16u << 20};
  for (int i = 0; i < 3; ++i) {
    if (sizes[i] == size) {
      if (pages[i].empty()) pages[i] = Page(size);
      return pages[i];
    }
  }
  static std::string other;
  other = Page(size);
  return other;
}

// Every byte occurrence of the description marker, by memmem over the page.
void BM_MemmemScan(benchmark::State& state) {
  const std::string& page = CachedPage(static_cast<std::size_t>(state.range(0)));
  const std::string_view marker = kDsrDimensions[0].marker;
  for (auto _ : state) {
    std::size_t hits = 0;
    const char* at = page.data();
    const char* end = page.data() + page.size();
    while (const void* hit =
               memmem(at, static_cast<std::size_t>(end - at), marker.data(), marker.size())) {
      ++hits;
      at = static_cast<const char*>(hit) + 1;
    }
    benchmark::DoNotOptimize(hits);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
}

void BM_PositionOf(benchmark::State& state) {
  const std::string& page = CachedPage(static_cast<std::size_t>(state.range(0)));
  const std::size_t real = page.size() - RatingBlocks().size() + 1;
  if (PositionOf(page, kDsrDimensions[0].marker) != static_cast<int>(real)) {
    state.SkipWithError("the marker was found off its place");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(PositionOf(page, kDsrDimensions[0].marker));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
}

void BM_ExtractThree(benchmark::State& state) {
  const std::string& page = CachedPage(static_cast<std::size_t>(state.range(0)));
  for (const DsrDimensionRow& row : kDsrDimensions) {
    const DsrReading reading = ExtractDsrReading(page, row.dimension);
    if (reading.score != "4.8" || reading.raterCount != "1234") {
      state.SkipWithError("a near miss was taken for a rating");
      return;
    }
  }
  for (auto _ : state) {
    for (const DsrDimensionRow& row : kDsrDimensions) {
      DsrReading reading = ExtractDsrReading(page, row.dimension);
      benchmark::DoNotOptimize(reading);
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.size()));
}

BENCHMARK(BM_MemmemScan)->Arg(64 << 10)->Arg(1 << 20)->Arg(16 << 20);
BENCHMARK(BM_PositionOf)->Arg(64 << 10)->Arg(1 << 20)->Arg(16 << 20);
BENCHMARK(BM_ExtractThree)->Arg(64 << 10)->Arg(1 << 20)->Arg(16 << 20);

}  // namespace
}  // namespace dsr

BENCHMARK_MAIN();
