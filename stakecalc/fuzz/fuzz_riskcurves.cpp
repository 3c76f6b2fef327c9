// SPDX-License-Identifier: MIT
// Any three field texts (the input split at its first two newlines) give either a plain sentence or a bet
// whose curves hold only finite chances from 0 to 100 and whose exact bracket is ordered within [0, 1].
#include "base/Exception.h"
#include "stakecalc/RiskCurves.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string texts[3];
    std::size_t from = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t end = i < 2 ? input.find('\n', from) : std::string::npos;
        texts[i] = input.substr(from, end == std::string::npos ? std::string::npos : end - from);
        from = end == std::string::npos ? input.size() : end + 1;
    }
    const brelmont::ChartReading reading = brelmont::ReadChartFields(texts[0], texts[1], texts[2]);
    if (!reading.ok) {
        if (reading.sentence.empty()) {
            std::abort();
        }
        return 0;
    }
    const brelmont::FormulaCurves curves = brelmont::ComputeFormulaCurves(reading, 8);
    for (const auto& curve : curves.chances) {
        for (const brelmont::CurvePoint& point : curve) {
            if (!(point.value >= 0 && point.value <= 100 && point.stake > 0 && point.stake <= 100)) {
                std::abort();
            }
        }
    }
    const double stake = reading.stake ? *reading.stake : reading.kelly;
    try {
        const brelmont::RuinBounds b =
            brelmont::WholeBetRuin({reading.p / 100, reading.k, stake / 100}, 0.1, {1e-4, 200'000});
        if (!(b.lower >= 0 && b.lower <= b.upper && b.upper <= 1)) {
            std::abort();
        }
    } catch (const brelmont::EInvalidOp&) {
        // Only a stake of the whole bank or more lies outside the computation's domain.
        if (stake < 100) {
            std::abort();
        }
    }
    return 0;
}
