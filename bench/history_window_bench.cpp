// The record of computations at its capacity, 10,000 rows: opening the History window on it
// (the table built, sorted newest first and painted), reading the record file at start, and
// writing it whole (QSaveFile), as after every computation. Runs on the offscreen platform unless
// told otherwise.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>

#include "gui/help/help_window.h"
#include "gui/history/history_file.h"
#include "gui/history/history_model.h"
#include "gui/history/history_window.h"
#include "model/computation.h"
#include "model/effects/effects.h"
#include "model/record/computation_record.h"
#include "numerics/calculators.h"

namespace {

using namespace quorvel;

class SilentReporter : public FailureReporter {
  public:
    void show(std::string_view) override {}
};

// A full record of real computations: distribution functions and percentage points of the
// three families, every fiftieth an effect size's power, one in twenty failing.
void fill(HistoryModel& full) {
    SilentReporter reporter;
    Calculators calculators(reporter);
    int second = 0;
    full.setClock([&second] {
        const int s = second++;
        char text[32];
        std::snprintf(text, sizeof text, "2026-12-08 %02d:%02d:%02d", s / 3600 % 24, s / 60 % 60,
                      s % 60);
        return std::string(text);
    });
    for (int i = 0; i < static_cast<int>(ComputationRecord::kDefaultCapacity); ++i) {
        if (i % 50 == 49) {
            EffectRequest power;
            power.quantity = EffectQuantity::Power;
            power.effect = 0.1 + 0.001 * i;
            power.n = 10 + i % 90;
            full.effectComputed(power, computeEffect(calculators, power));
            continue;
        }
        ComputeRequest request;
        request.distribution = static_cast<DistributionKind>(i % 3);
        request.quantity = i % 4 == 0 ? QuantityKind::Value : QuantityKind::CumP;
        request.value = 0.05 * (i % 200);
        request.cumP = 0.01 + 0.0098 * (i % 100);
        request.noncentrality = 0.5 * (i % 7);
        request.df1 = i % 20 == 0 ? 0 : 1 + i % 30;
        request.df2 = 5 + i % 40;
        full.quantityComputed(request, computeQuantity(calculators, request));
    }
    full.setClock(localTimeNow);
}

HistoryModel& fullModel() {
    static HistoryModel model;
    if (model.rowCount() == 0) {
        fill(model);
    }
    return model;
}

void openHistoryWindow(benchmark::State& state) {
    HistoryModel& model = fullModel();
    HelpWindow help;
    SilentReporter reporter;
    for (auto _ : state) {
        HistoryWindow window(model, help, reporter);
        window.showWindow();
        window.table().viewport()->repaint();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.table().model()->rowCount());
    }
    state.counters["rows"] = static_cast<double>(model.rowCount());
}
BENCHMARK(openHistoryWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void readRecordFile(benchmark::State& state) {
    std::ostringstream file;
    fullModel().record().write(file);
    const std::string text = file.str();
    HistoryModel model;
    for (auto _ : state) {
        const RecordReadReport report = model.read(text);
        benchmark::DoNotOptimize(report.kept);
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(readRecordFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void saveRecordFile(benchmark::State& state) {
    QTemporaryDir folder;
    SilentReporter reporter;
    HistoryFile file(fullModel(), reporter, folder.filePath(QStringLiteral("history.csv")));
    file.load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(file.save());
    }
}
BENCHMARK(saveRecordFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
