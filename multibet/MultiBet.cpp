// SPDX-License-Identifier: MIT
#include "multibet/MultiBet.h"

namespace brelmont {

void CheckBets(std::span<const Bet>, BetMode) {}
std::vector<double> ExclusiveKelly(std::span<const Bet> bets) {
    return std::vector<double>(bets.size());
}
std::vector<double> IndependentKelly(std::span<const Bet> bets) {
    return std::vector<double>(bets.size());
}
std::vector<double> KellyStakes(std::span<const Bet> bets, BetMode) {
    return std::vector<double>(bets.size());
}
std::vector<double> SingleKellyStakes(std::span<const Bet> bets) {
    return std::vector<double>(bets.size());
}
double GrowthPercent(std::span<const Bet>, BetMode, std::span<const double>) {
    return 0;
}
std::array<ChanceBracket, 4> DrawdownChances(std::span<const Bet>, BetMode, std::span<const double>,
                                             const ChanceLimits&, const std::atomic<bool>*) {
    return {};
}
StakePlan PlanStakes(const PlanRequest& request, const std::atomic<bool>*) {
    StakePlan plan;
    plan.stakes.assign(request.bets.size(), 0);
    plan.single.assign(request.bets.size(), 0);
    plan.outcome = PlanOutcome::NoValue;
    return plan;
}
BetSetResult ComputeBetSet(const PlanRequest& request, const ChanceLimits&, const std::atomic<bool>* cancel) {
    return {PlanStakes(request, cancel), {}};
}

} // namespace brelmont
