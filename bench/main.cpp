// Runs every benchmarked computation, ours and Boost.Math's side by side, in one process, then
// prints a table: operation, our time, Boost's time, their ratio and the relative difference
// of the two results.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_cases.h"
#include "numerics/calculators.h"

namespace {

using quorvel::bench::BenchCase;

// Shows nothing: a benchmark run is never interrupted by a message.
class SilentReporter : public quorvel::FailureReporter {
  public:
    void show(std::string_view) override { ++count; }
    int count = 0;
};

struct Measurement {
    double nanoseconds = NAN;
    double result = NAN;
    bool failed = false;
};

// Keeps each run's time and result counter while the console shows progress.
class CollectingReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            Measurement& m = measured[run.benchmark_name()];
            m.nanoseconds = run.GetAdjustedRealTime() * multiplier(run.time_unit);
            const auto result = run.counters.find("result");
            m.result = result == run.counters.end() ? NAN : double(result->second);
            const auto failed = run.counters.find("failed");
            m.failed = failed != run.counters.end() && double(failed->second) != 0.0;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, Measurement> measured;

  private:
    static double multiplier(benchmark::TimeUnit unit) {
        switch (unit) {
            case benchmark::kSecond:
                return 1e9;
            case benchmark::kMillisecond:
                return 1e6;
            case benchmark::kMicrosecond:
                return 1e3;
            case benchmark::kNanosecond:
                break;
        }
        return 1.0;
    }
};

// The number compared with Boost: the result, or the upper limit of an interval.
double headline(const quorvel::ComputeRequest& request, const quorvel::ComputeOutcome& outcome) {
    return request.quantity == quorvel::QuantityKind::Interval ? outcome.upper : outcome.result;
}

void registerCase(const BenchCase& benchCase) {
    benchmark::RegisterBenchmark(
        ("ours/" + benchCase.operation).c_str(),
        [benchCase](benchmark::State& state) {
            SilentReporter reporter;
            quorvel::Calculators calculators(reporter);
            quorvel::ComputeOutcome outcome;
            for (auto _ : state) {
                outcome = quorvel::computeQuantity(calculators, benchCase.request);
                benchmark::DoNotOptimize(outcome);
            }
            state.counters["result"] = headline(benchCase.request, outcome);
            state.counters["failed"] = reporter.count > 0 ? 1 : 0;
        })
        ->Unit(benchmark::kMicrosecond);
    if (!benchCase.boost) {
        return;
    }
    benchmark::RegisterBenchmark(("boost/" + benchCase.operation).c_str(),
                                 [benchCase](benchmark::State& state) {
                                     double result = NAN;
                                     bool failed = false;
                                     for (auto _ : state) {
                                         try {
                                             result = benchCase.boost();
                                         } catch (const std::exception&) {
                                             failed = true;
                                         }
                                         benchmark::DoNotOptimize(result);
                                     }
                                     state.counters["result"] = result;
                                     state.counters["failed"] = failed ? 1 : 0;
                                 })
        ->Unit(benchmark::kMicrosecond);
}

std::string time(const Measurement* m) {
    if (m == nullptr) {
        return "-";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f us", m->nanoseconds / 1000.0);
    return text;
}

void printTable(const std::vector<BenchCase>& cases, const CollectingReporter& reporter) {
    std::printf("\n| operation | ours | Boost.Math | ours / Boost | relative difference |\n");
    std::printf("|---|---|---|---|---|\n");
    for (const BenchCase& benchCase : cases) {
        const auto find = [&](const std::string& name) -> const Measurement* {
            const auto found = reporter.measured.find(name);
            return found == reporter.measured.end() ? nullptr : &found->second;
        };
        const Measurement* ours = find("ours/" + benchCase.operation);
        const Measurement* boost = find("boost/" + benchCase.operation);
        std::string ratio = "-", difference = "-";
        if (ours && boost) {
            char text[32];
            std::snprintf(text, sizeof text, "%.2f", ours->nanoseconds / boost->nanoseconds);
            ratio = text;
            if (ours->failed || boost->failed) {
                difference = ours->failed ? "ours failed" : "Boost failed";
            } else {
                const double scale = std::max(std::fabs(boost->result), 1e-300);
                std::snprintf(text, sizeof text, "%.1e",
                              std::fabs(ours->result - boost->result) / scale);
                difference = text;
            }
        } else if (ours && ours->failed) {
            difference = "ours failed";
        }
        std::printf("| %s | %s | %s | %s | %s |\n", benchCase.operation.c_str(), time(ours).c_str(),
                    time(boost).c_str(), ratio.c_str(), difference.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const std::vector<BenchCase> cases = quorvel::bench::benchCases();
    for (const BenchCase& benchCase : cases) {
        registerCase(benchCase);
    }
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printTable(cases, reporter);
    return 0;
}
