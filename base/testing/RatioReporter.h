// SPDX-License-Identifier: MIT
// A benchmark reporter that keeps each run's wall and processor time by name, so that a benchmark program can
// print its ratios against a baseline measured in the same run.
#pragma once

#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <vector>

namespace brelmont::testing {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            RealNs[run.benchmark_name()] = run.GetAdjustedRealTime();
            CpuNs[run.benchmark_name()] = run.GetAdjustedCPUTime();
        }
    }
    std::map<std::string, double> RealNs;
    std::map<std::string, double> CpuNs;
};

} // namespace brelmont::testing
