// SPDX-License-Identifier: MIT
// Any bytes as a bets file: the reader either raises its own error or gives 1..kMaxBets bets whose values lie
// in their ranges, and writing them and reading the text again gives the same bets.
#include "multibet/BetsCsv.h"
#include "stakecalc/NumberText.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

bool Close(double a, double b) {
    return std::fabs(a - b) <= 1e-12 * std::fmax(1, std::fabs(a));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool initialised = [] {
        brelmont::InitFloatEnvironment();
        return true;
    }();
    (void)initialised;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    brelmont::BetsFile file;
    try {
        file = brelmont::ParseBetsCsv(input);
    } catch (const brelmont::EBetsFileError& e) {
        if (e.Message().empty()) {
            std::abort();
        }
        return 0;
    }
    if (file.rows.empty() || file.rows.size() > brelmont::kMaxBets) {
        std::abort();
    }
    std::vector<brelmont::Bet> bets;
    for (const brelmont::BetsFileRow& row : file.rows) {
        const brelmont::Bet& bet = row.bet;
        if (!(bet.odds > 1) || !(bet.probability > 0 && bet.probability < 1) ||
            !(bet.commission >= 0 && bet.commission < 1) || bet.name.size() > brelmont::kMaxNameLength) {
            std::abort();
        }
        bets.push_back(bet);
    }
    const brelmont::BetsFile again = brelmont::ParseBetsCsv(brelmont::WriteBetsCsv(bets));
    if (again.rows.size() != bets.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < bets.size(); ++i) {
        const brelmont::Bet& back = again.rows[i].bet;
        if (back.name != bets[i].name || !Close(back.odds, bets[i].odds) ||
            !Close(back.probability, bets[i].probability) || !Close(back.commission, bets[i].commission)) {
            std::abort();
        }
    }
    return 0;
}
