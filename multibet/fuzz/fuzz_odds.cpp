// SPDX-License-Identifier: MIT
// Any text either becomes decimal odds above 1 that survive being shown in every form and read back, or is
// refused with a conversion error; nothing else may escape.
#include "base/Exception.h"
#include "multibet/Odds.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    brelmont::Odds odds;
    try {
        odds = brelmont::ParseOdds(text);
    } catch (const brelmont::EConvertError& error) {
        if (error.Message().empty()) {
            std::abort();
        }
        return 0;
    }
    if (!(odds.decimal > 1) || !(odds.decimal <= brelmont::kMaxDecimalOdds)) {
        std::abort();
    }
    for (const brelmont::OddsForm form :
         {brelmont::OddsForm::Decimal, brelmont::OddsForm::Fractional, brelmont::OddsForm::American}) {
        const std::string shown = brelmont::FormatOdds(odds.decimal, form);
        try {
            const brelmont::Odds back = brelmont::ParseOdds(shown);
            if (back.form != form && !(form == brelmont::OddsForm::American)) {
                std::abort();
            }
        } catch (const brelmont::EConvertError&) {
            // Odds within a rounding step of 1, or of the largest odds read, may show as a value outside them.
            if (odds.decimal > 1.01 && odds.decimal < 0.999 * brelmont::kMaxDecimalOdds) {
                std::abort();
            }
        }
    }
    return 0;
}
