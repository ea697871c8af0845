// Time of one exact five-star count beside the quotient in doubles that it
// replaced (three ParseNumber calls and one division), for a typical row, a
// count in the hundred millions and texts of 300 digits.
#include <benchmark/benchmark.h>

#include <string>

#include "ratings/five_star.h"
#include "text/text.h"

namespace dsr {
namespace {

struct Row {
  std::string s, c, e;
};

Row RowOf(int which) {
  switch (which) {
    case 1:
      return {"4.82", "2345664", "4.99"};
    case 2:
      return {"4.8" + std::string(300, '0'), "1234." + std::string(300, '0'),
              "4.99" + std::string(300, '0')};
    default:
      return {"4.8", "1234", "4.99"};
  }
}

void BM_ExactCount(benchmark::State& state) {
  const Row r = RowOf(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(FiveStarsNeeded(r.s, r.c, r.e));
}

void BM_DoubleQuotient(benchmark::State& state) {
  const Row r = RowOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    const double s = ParseNumber(r.s), c = ParseNumber(r.c), e = ParseNumber(r.e);
    benchmark::DoNotOptimize(TruncateToInt((e * c - s * c) / (5.0 - e)));
  }
}

BENCHMARK(BM_DoubleQuotient)->Arg(0)->Arg(1)->Arg(2);
BENCHMARK(BM_ExactCount)->Arg(0)->Arg(1)->Arg(2);

}  // namespace
}  // namespace dsr

BENCHMARK_MAIN();
