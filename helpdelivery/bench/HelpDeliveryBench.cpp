// SPDX-License-Identifier: MIT
// Unpacking the help from this program's own file (it carries the real archive) and removing it again.
#include "helpdelivery/HelpArchive.h"
#include "helpdelivery/WorkFolder.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// A private runtime folder of its own (under $TMPDIR, to compare file systems), so the runs neither see nor
// leave anything elsewhere.
struct RuntimeFolder {
    RuntimeFolder() {
        const char* temp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(temp != nullptr && temp[0] == '/' ? temp : "/tmp") + "/brelmont-bench-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path = pattern;
        setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
    }
    ~RuntimeFolder() { rmdir(path.c_str()); }
    std::string path;
};

void UnpackFourFiles(benchmark::State& state) {
    const RuntimeFolder runtime;
    for (auto _ : state) {
        brelmont::UnpackHelp();
        state.PauseTiming();
        brelmont::RemoveWorkFolder();
        state.ResumeTiming();
    }
}
BENCHMARK(UnpackFourFiles)->Unit(benchmark::kMicrosecond);

void RemoveFolder(benchmark::State& state) {
    const RuntimeFolder runtime;
    for (auto _ : state) {
        state.PauseTiming();
        brelmont::UnpackHelp();
        state.ResumeTiming();
        brelmont::RemoveWorkFolder();
    }
}
BENCHMARK(RemoveFolder)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
