// SPDX-License-Identifier: MIT
// Times what the risk chart does on an edit of one input field: read the fields, run the Kelly engine at
// every stake of the four curves, work out the growth curve and redraw the chart, against the same redraw
// with its points already computed. Prints both and their ratio; the goal is one frame at 60 Hz (16 ms).
#include "base/testing/RatioReporter.h"
#include "stakecalc/RiskCurves.h"
#include "ui/RiskChartf.h"

#include <QApplication>
#include <QChartView>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineSeries>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>

namespace {

using namespace brelmont;

const QString kOdds[2] = {QStringLiteral("2"), QStringLiteral("2,1")};

struct ShownChart {
    ShownChart() {
        chart.resize(860, 640);
        chart.show();
        chart.SetFieldTexts(QStringLiteral("55"), kOdds[0], QStringLiteral("7"));
        chart.View().viewport()->repaint();
    }
    void Redraw() { chart.View().viewport()->repaint(); }
    TRiskChart chart;
};

void EditAndRedraw(benchmark::State& state) {
    ShownChart shown;
    int edit = 0;
    for (auto _ : state) {
        shown.chart.SetFieldTexts(QStringLiteral("55"), kOdds[++edit % 2], QStringLiteral("7"));
        shown.Redraw();
    }
}
BENCHMARK(EditAndRedraw)->Unit(benchmark::kMillisecond);

void RedrawPrecomputed(benchmark::State& state) {
    ShownChart shown;
    // The points both edits draw, taken from the chart itself.
    std::array<std::array<QList<QPointF>, 5>, 2> points;
    for (int e = 0; e < 2; ++e) {
        shown.chart.SetFieldTexts(QStringLiteral("55"), kOdds[e], QStringLiteral("7"));
        for (int level = 0; level < 4; ++level) {
            points[e][level] = shown.chart.FormulaSeries(level).points();
        }
        points[e][4] = shown.chart.GrowthSeries().points();
    }
    int edit = 0;
    for (auto _ : state) {
        const auto& set = points[++edit % 2];
        for (int level = 0; level < 4; ++level) {
            shown.chart.FormulaSeries(level).replace(set[level]);
        }
        shown.chart.GrowthSeries().replace(set[4]);
        shown.Redraw();
    }
}
BENCHMARK(RedrawPrecomputed)->Unit(benchmark::kMillisecond);

void FormulaFiguresOnly(benchmark::State& state) {
    const ChartReading reading = ReadChartFields("55", "2", "7");
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeFormulaCurves(reading, 240));
    }
}
BENCHMARK(FormulaFiguresOnly)->Unit(benchmark::kMillisecond);

// Wall time from an edit to the last exact figure, for a few bets, with the user-interface thread idle in
// its event loop meanwhile.
void PrintExactArrival() {
    ShownChart shown;
    struct Bet {
        const char* p;
        const char* k;
    };
    for (const Bet bet : {Bet{"55", "2"}, Bet{"70", "2"}, Bet{"60", "1,9"}, Bet{"52", "2,1"}}) {
        QElapsedTimer clock;
        QEventLoop loop;
        QObject::connect(&shown.chart, &TRiskChart::ExactReady, &loop, &QEventLoop::quit);
        clock.start();
        shown.chart.SetFieldTexts(QString::fromUtf8(bet.p), QString::fromUtf8(bet.k), QStringLiteral("7"));
        if (shown.chart.ExactPending()) {
            loop.exec();
        }
        std::printf("exact curves and marks for %s %% at %s: all in %lld ms after the edit\n", bet.p, bet.k,
                    static_cast<long long>(clock.elapsed()));
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    brelmont::testing::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // CPU time of the user-interface thread beside wall time: the exact curves' worker shares the machine.
    for (auto* times : {&reporter.RealNs, &reporter.CpuNs}) {
        const double edit = (*times)["EditAndRedraw"];
        const double redraw = (*times)["RedrawPrecomputed"];
        const double figures = (*times)["FormulaFiguresOnly"];
        if (edit > 0 && redraw > 0) {
            std::printf("%s: edit, recompute and redraw %.2f ms (goal < 16 ms); redraw of precomputed points "
                        "%.2f ms; ratio %.2f; the engine's figures alone %.2f ms\n",
                        times == &reporter.RealNs ? "wall" : "cpu", edit, redraw, edit / redraw, figures);
        }
    }
    PrintExactArrival();
    benchmark::Shutdown();
    return 0;
}
