#include <benchmark/benchmark.h>

#include <string_view>

#include "numerics/calculators.h"
#include "numerics/t/noncentral_t.h"

namespace quorvel {
namespace {

// Shows nothing: a benchmark run is never interrupted by a message.
class SilentReporter : public FailureReporter {
  public:
    void show(std::string_view) override {}
};

// The largest Df runs just under fifty thousand passes of Owen's recursion; it must stay
// below a millisecond per call.
void noncentralTCdfLargestDf(benchmark::State& state) {
    SilentReporter reporter;
    Calculators calculators{reporter};
    NoncentralT& t = calculators.t();
    const int df = static_cast<int>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(t.cdf(1.5, df, 1.0));
    }
}
BENCHMARK(noncentralTCdfLargestDf)->Arg(99999)->Arg(100000)->Unit(benchmark::kMicrosecond);

// A small odd Df: dominated by the adaptive integration of Owen's T function.
void noncentralTCdfOwensT(benchmark::State& state) {
    SilentReporter reporter;
    Calculators calculators{reporter};
    NoncentralT& t = calculators.t();
    for (auto _ : state) {
        benchmark::DoNotOptimize(t.cdf(2.0, 5, 1.0));
    }
}
BENCHMARK(noncentralTCdfOwensT)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quorvel
