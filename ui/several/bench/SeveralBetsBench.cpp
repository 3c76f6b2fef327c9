// SPDX-License-Identifier: MIT
// Times what the window "Несколько ставок" does on an edit of one cell with 15 independent events: read the
// table, solve the joint stakes, fill the computed cells and redraw the table; against the same redraw with
// the stakes already computed. Prints both and their ratio; the goal is one frame at 60 Hz (16 ms).
#include "base/testing/RatioReporter.h"
#include "ui/several/BetsTableModel.h"
#include "ui/several/SeveralBetsf.h"
#include "ui_SeveralBetsf.h"

#include <QApplication>
#include <QTableView>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

using namespace brelmont;

constexpr int kEvents = 15;
const QString kProbabilities[2] = {QStringLiteral("56"), QStringLiteral("57")};

struct ShownWindow {
    ShownWindow() {
        window.Controls().Mode->setCurrentIndex(1);
        std::vector<BetRow> rows;
        for (int i = 0; i < kEvents; ++i) {
            rows.push_back({QStringLiteral("Матч %1").arg(i + 1), QStringLiteral("1,9%1").arg(i % 10),
                            QStringLiteral("%1").arg(53 + i % 5), QString()});
        }
        window.Model().SetRows(rows);
        window.resize(700, 560);
        window.show();
        // Painting starts once the window is exposed.
        while (!window.windowHandle()->isExposed()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        Redraw();
    }
    void Redraw() { window.Controls().Table->viewport()->repaint(); }
    void Edit(int edit) {
        BetsTableModel& model = window.Model();
        model.setData(model.index(0, BetsTableModel::kProbability), kProbabilities[edit % 2], Qt::EditRole);
    }
    TSeveralBets window;
};

void EditAndRedraw(benchmark::State& state) {
    ShownWindow shown;
    int edit = 0;
    for (auto _ : state) {
        shown.Edit(++edit);
        shown.Redraw();
    }
}
BENCHMARK(EditAndRedraw)->Unit(benchmark::kMillisecond);

void RedrawPrecomputed(benchmark::State& state) {
    ShownWindow shown;
    // The stakes both edits give, taken from the window itself.
    std::array<StakePlan, 2> plans;
    std::array<BetsReading, 2> readings;
    for (int e = 0; e < 2; ++e) {
        shown.Edit(e);
        plans[static_cast<std::size_t>(e)] = *shown.window.Plan();
        readings[static_cast<std::size_t>(e)] = shown.window.Model().Read();
    }
    int edit = 0;
    for (auto _ : state) {
        const auto e = static_cast<std::size_t>(++edit % 2);
        shown.window.Model().SetResults(readings[e].rows, plans[e].stakes, plans[e].single);
        shown.Redraw();
    }
}
BENCHMARK(RedrawPrecomputed)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    brelmont::testing::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (auto* times : {&reporter.RealNs, &reporter.CpuNs}) {
        const double edit = (*times)["EditAndRedraw"];
        const double redraw = (*times)["RedrawPrecomputed"];
        if (edit > 0 && redraw > 0) {
            std::printf(
                "%s, %d independent events: edit, recompute and redraw %.2f ms (goal < 16 ms); redraw "
                "with precomputed stakes %.2f ms; ratio %.2f\n",
                times == &reporter.RealNs ? "wall" : "cpu", kEvents, edit, redraw, edit / redraw);
        }
    }
    return 0;
}
