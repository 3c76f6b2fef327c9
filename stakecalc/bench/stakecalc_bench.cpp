// SPDX-License-Identifier: MIT
// The conversions against their glibc counterparts on the same inputs, and one whole compute-all command.
// After the runs it prints how many times faster each conversion is than glibc's.
#include "base/testing/RatioReporter.h"
#include "stakecalc/Commands.h"
#include "stakecalc/NumberText.h"
#include "stakecalc/RiskCurves.h"
#include "stakecalc/testing/MemoryFields.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

// Typical field texts (percentages, odds, results) and a share of long and scientific ones.
struct Inputs {
    std::vector<std::string> commaTexts;
    std::vector<std::string> dotTexts;
    std::vector<long double> values;
};

const Inputs& TheInputs() {
    static const Inputs inputs = [] {
        Inputs in;
        std::mt19937_64 random(3);
        const char* fixed[] = {
            "55",     "2",          "1,9",   "12,5",   "0,07", "59,85", "100",  "2,5E-2",
            "1e3",    "1234567,89", "-3,25", "0,0001", "5",    "16,67", "9,88", "0,666666666666667",
            "1,5E-5", "39,82"};
        for (int i = 0; i < 1024; ++i) {
            std::string text;
            if (i < 512) {
                text = fixed[i % (sizeof fixed / sizeof fixed[0])];
            } else {
                text = std::to_string(random() % 1000000);
                text += ",";
                text += std::to_string(random() % 100000000000ULL);
                if (i % 4 == 0) {
                    text += "E" + std::to_string(static_cast<int>(random() % 60) - 30);
                }
            }
            in.commaTexts.push_back(text);
            in.dotTexts.push_back(brelmont::DotToComma(text));
            for (char& c : in.dotTexts.back()) {
                if (c == ',') {
                    c = '.';
                }
            }
            in.values.push_back(brelmont::StrToFloat(text, ','));
        }
        return in;
    }();
    return inputs;
}

void StrToFloat(benchmark::State& state) {
    const Inputs& in = TheInputs();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(brelmont::StrToFloat(in.commaTexts[i++ & 1023], ','));
    }
}
BENCHMARK(StrToFloat);

void GlibcStrtold(benchmark::State& state) {
    const Inputs& in = TheInputs();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::strtold(in.dotTexts[i++ & 1023].c_str(), nullptr));
    }
}
BENCHMARK(GlibcStrtold);

void FloatToStr(benchmark::State& state) {
    const Inputs& in = TheInputs();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(brelmont::FloatToStr(in.values[i++ & 1023], ','));
    }
}
BENCHMARK(FloatToStr);

// The same work as FloatToStr: the text ends up in a std::string.
void GlibcSnprintf(benchmark::State& state) {
    const Inputs& in = TheInputs();
    std::size_t i = 0;
    char buffer[64];
    for (auto _ : state) {
        const int length = std::snprintf(buffer, sizeof buffer, "%.15Lg", in.values[i++ & 1023]);
        std::string text(buffer, static_cast<std::size_t>(length));
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(GlibcSnprintf);

void ComputeAllCommand(benchmark::State& state) {
    brelmont::testing::MemoryFields fields;
    fields.texts[1] = "55";
    fields.texts[2] = "1.9";
    for (auto _ : state) {
        brelmont::ComputeAllCommand(fields);
        benchmark::DoNotOptimize(fields.texts[7]);
    }
    if (!fields.message.empty() || fields.texts[3] != "5") {
        state.SkipWithError("unexpected result");
    }
}
BENCHMARK(ComputeAllCommand);

// The exact whole-bet chances of one mark (four levels within 0,01 points) against the program's own four
// figures for the same stake, at the Kelly stake and near twice it, where the exact work is longest.
void ExactChancesAt(benchmark::State& state, double stake) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(brelmont::ExactChances(55, 2, stake, {}, nullptr));
    }
}
BENCHMARK_CAPTURE(ExactChancesAt, Kelly, 10.0);
BENCHMARK_CAPTURE(ExactChancesAt, NearTwiceKelly, 19.0);

void FormulaChancesAtKelly(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(brelmont::FormulaChances(55, 2, 10));
    }
}
BENCHMARK(FormulaChancesAtKelly);

} // namespace

int main(int argc, char** argv) {
    brelmont::InitFloatEnvironment();
    TheInputs();
    benchmark::Initialize(&argc, argv);
    brelmont::testing::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    auto& ns = reporter.CpuNs;
    if (ns.count("StrToFloat") != 0 && ns.count("GlibcStrtold") != 0) {
        std::printf("StrToFloat is %.2fx as fast as strtold (goal: at least 2x)\n",
                    ns["GlibcStrtold"] / ns["StrToFloat"]);
    }
    if (ns.count("FloatToStr") != 0 && ns.count("GlibcSnprintf") != 0) {
        std::printf("FloatToStr is %.2fx as fast as snprintf(\"%%.15Lg\") (goal: at least 2x)\n",
                    ns["GlibcSnprintf"] / ns["FloatToStr"]);
    }
    if (ns.count("ComputeAllCommand") != 0) {
        std::printf("One compute-all command takes %.2f us (goal: under 5 us)\n",
                    ns["ComputeAllCommand"] / 1000);
    }
    const double formula = ns["FormulaChancesAtKelly"];
    if (formula > 0) {
        std::printf(
            "Exact whole-bet chances of one mark: %.2f ms at Kelly, %.2f ms at 1,9 Kelly; the formula's "
            "four figures %.2f us (ratios %.0f and %.0f)\n",
            ns["ExactChancesAt/Kelly"] / 1e6, ns["ExactChancesAt/NearTwiceKelly"] / 1e6, formula / 1000,
            ns["ExactChancesAt/Kelly"] / formula, ns["ExactChancesAt/NearTwiceKelly"] / formula);
    }
    return 0;
}
