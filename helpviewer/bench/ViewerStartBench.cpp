// SPDX-License-Identifier: MIT
// Time from a help request to the viewer's window on screen: cold (the request starts the viewer) and warm
// (the viewer runs), next to the starts of a minimal Qt program and of one that shows the help's titles, on
// the same machine and display. Needs an X server with a window manager: scripts/with-xvfb.sh --wm
// helpviewer_bench
#include "../tests/SampleHelp.h"
#include "helpdelivery/display/HelpSystem.h"
#include "helpdelivery/display/WinHelpBridge.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#ifndef BRELMONT_VIEWER_PROGRAM
#error "the benchmark needs the viewer program's path"
#endif

namespace {

using namespace brelmont;

std::map<std::string, std::vector<double>> samples;

QTemporaryDir& Work() {
    static QTemporaryDir dir;
    static const bool written = (brelmont::testing::WriteSampleHelp(dir.path()), true);
    (void)written;
    return dir;
}

helpprotocol::Request Jump(const char* topic) {
    helpprotocol::Request request;
    request.command = HELP_COMMAND;
    request.file = QStringLiteral("help.hlp");
    request.folder = Work().path();
    request.text = QByteArray::fromStdString(JumpCommand(topic));
    return request;
}

void Quit(WinHelpBridge& bridge) {
    helpprotocol::Request quit;
    quit.command = HELP_QUIT;
    bridge.Send(quit);
}

void Record(benchmark::State& state, const char* name, double seconds) {
    state.SetIterationTime(seconds);
    samples[name].push_back(seconds * 1000.0);
}

void MinimalStart(benchmark::State& state, const char* name, const QStringList& texts) {
    for (auto _ : state) {
        QProcess process;
        QElapsedTimer clock;
        clock.start();
        process.start(QStringLiteral(BRELMONT_MINIMAL_PROGRAM), texts);
        process.waitForReadyRead(10000);
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        process.waitForFinished(5000);
        Record(state, name, seconds);
    }
}

void MinimalQtProgramStart(benchmark::State& state) {
    MinimalStart(state, "minimal", {});
}

// Shows the sample help's titles in a tree and a page, as the viewer shows them.
void MinimalTextProgramStart(benchmark::State& state) {
    MinimalStart(state, "texts", brelmont::testing::kSampleTitles);
}

void ViewerCold(benchmark::State& state) {
    int round = 0;
    for (auto _ : state) {
        WinHelpBridge bridge(QStringLiteral(BRELMONT_VIEWER_PROGRAM),
                             Work().filePath(QStringLiteral("cold-%1.sock").arg(round++)));
        QElapsedTimer clock;
        clock.start();
        const QByteArray reply = bridge.Send(Jump("TApplication_HelpJump"));
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        if (reply.isEmpty()) {
            state.SkipWithError("the viewer did not answer");
        }
        Record(state, "cold", seconds);
        Quit(bridge);
    }
}

void ViewerWarm(benchmark::State& state) {
    WinHelpBridge bridge(QStringLiteral(BRELMONT_VIEWER_PROGRAM),
                         Work().filePath(QStringLiteral("warm.sock")));
    bridge.Send(Jump("Topic10"));
    const char* topics[] = {"Topic20", "Topic50", "TApplication_HelpJump"};
    int round = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const QByteArray reply = bridge.Send(Jump(topics[round++ % 3]));
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        if (reply.isEmpty()) {
            state.SkipWithError("the viewer did not answer");
        }
        Record(state, "warm", seconds);
    }
    Quit(bridge);
}

BENCHMARK(MinimalQtProgramStart)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(MinimalTextProgramStart)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(ViewerCold)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(ViewerWarm)->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double minimal = Median(samples["minimal"]);
    const double texts = Median(samples["texts"]);
    const double cold = Median(samples["cold"]);
    const double warm = Median(samples["warm"]);
    std::printf(
        "median ms: minimal Qt program %.1f, minimal program with the help's texts %.1f, viewer cold %.1f "
        "(%.2fx the minimal program, %.2fx the one with texts; goal <= 1.3x), viewer warm %.2f (goal < 50)\n",
        minimal, texts, cold, minimal > 0 ? cold / minimal : 0.0, texts > 0 ? cold / texts : 0.0, warm);
    return 0;
}
