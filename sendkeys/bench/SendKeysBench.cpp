// SPDX-License-Identifier: MIT
// Parse-and-send speed of a 10,000-character key string on the recording platform. "keys/s" counts the
// characters of the key string, "events/s" the keyboard events they became.
#include "sendkeys/SendKeys.h"
#include "sendkeys/testing/RecordingKeyPlatform.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

std::string KeyString(std::size_t length) {
    const std::string pattern = "Kelly stake 2.5% of bank{ENTER}+(ab)^c{TAB}{{}{}}~{LEFT 2}";
    std::string keys;
    while (keys.size() + pattern.size() <= length) {
        keys += pattern;
    }
    keys.append(length - keys.size(), 'x');
    return keys;
}

void BM_SendKeys(benchmark::State& state) {
    const std::string keys = KeyString(10000);
    brelmont::RecordingKeyPlatform platform;
    platform.RecordKeyEvents = false;
    brelmont::SetKeyPlatform(&platform);
    for (auto _ : state) {
        benchmark::DoNotOptimize(brelmont::SendKeys(keys, false));
    }
    brelmont::SetKeyPlatform(nullptr);
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["keys/s"] =
        benchmark::Counter(iterations * static_cast<double>(keys.size()), benchmark::Counter::kIsRate);
    state.counters["events/s"] =
        benchmark::Counter(static_cast<double>(platform.KeyEventCount), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_SendKeys)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
