// SPDX-License-Identifier: MIT
// Any text gives a number or the one conversion message, with either separator and through the whole
// compute-all command (the input split at its first newline into the two fields it reads).
#include "base/Exception.h"
#include "stakecalc/Commands.h"
#include "stakecalc/NumberText.h"
#include "stakecalc/testing/MemoryFields.h"

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

void ParseOrReject(std::string_view text, char separator) {
    // The fuzzing engine's own arithmetic may leave flags behind; only the parse's count here.
    std::feclearexcept(FE_ALL_EXCEPT);
    try {
        const long double value = brelmont::StrToFloat(text, separator);
        if (std::isnan(value) || std::isinf(value)) {
            std::abort();
        }
    } catch (const brelmont::EConvertError& e) {
        // Messages are C strings: a text with a NUL byte shows up to that byte.
        const std::string expected = "'" + std::string(text) + "' is not a valid floating point value";
        if (std::strcmp(e.what(), expected.c_str()) != 0) {
            std::abort();
        }
    }
    if (std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool initialised = [] {
        brelmont::InitFloatEnvironment();
        return true;
    }();
    (void)initialised;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ParseOrReject(text, ',');
    ParseOrReject(text, '.');

    brelmont::testing::MemoryFields fields;
    const std::size_t newline = text.find('\n');
    fields.texts[1] = std::string(text.substr(0, newline));
    fields.texts[2] = newline == std::string_view::npos ? "2" : std::string(text.substr(newline + 1));
    brelmont::ComputeAllCommand(fields);
    brelmont::ComputeProbabilitiesCommand(fields);
    return 0;
}
