// SPDX-License-Identifier: MIT
// Joint stakes against baselines measured in the same run: the closed form for the outcomes of one race
// against staking each outcome alone; the Newton solver for independent events against NLopt's
// derivative-free COBYLA maximising the same E[ln W] over the same 2ⁿ results with no gradient; and the
// certified chances of ten events and of three against one bet's exact chances. After the runs it prints each
// time and ratio beside its goal.
#include "base/testing/RatioReporter.h"
#include "multibet/MultiBet.h"
#include "multibet/Odds.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <map>
#include <nlopt.hpp>
#include <numeric>
#include <random>
#include <vector>

namespace {

using brelmont::Bet;
using brelmont::BetMode;

std::vector<Bet> Race(std::size_t n) {
    std::mt19937_64 random(20);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<double> weight(n);
    for (double& w : weight) {
        w = 0.1 + unit(random);
    }
    const double total = std::accumulate(weight.begin(), weight.end(), 0.0);
    std::vector<Bet> bets;
    for (std::size_t i = 0; i < n; ++i) {
        const double p = weight[i] / total;
        bets.push_back({"", (0.85 + 0.3 * unit(random)) / p, p, 0});
    }
    return bets;
}

// A Saturday of matches, each with an edge of 1 to 8 %.
std::vector<Bet> Saturday(std::size_t n) {
    std::mt19937_64 random(15);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<Bet> bets;
    for (std::size_t i = 0; i < n; ++i) {
        const double p = 0.3 + 0.4 * unit(random);
        bets.push_back({"", (1.01 + 0.07 * unit(random)) / p, p, 0});
    }
    return bets;
}

void ExclusiveKelly20(benchmark::State& state) {
    const std::vector<Bet> bets = Race(20);
    for (auto _ : state) {
        benchmark::DoNotOptimize(brelmont::ExclusiveKelly(bets));
    }
}
BENCHMARK(ExclusiveKelly20);

void SingleStakes20(benchmark::State& state) {
    const std::vector<Bet> bets = Race(20);
    for (auto _ : state) {
        benchmark::DoNotOptimize(brelmont::SingleKellyStakes(bets));
    }
}
BENCHMARK(SingleStakes20);

void IndependentKelly(benchmark::State& state) {
    const std::vector<Bet> bets = Saturday(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(brelmont::IndependentKelly(bets));
    }
}
BENCHMARK(IndependentKelly)->Arg(15)->Arg(20)->Unit(benchmark::kMillisecond);

// The same problem as NLopt sees it: E[ln W] over every result, from chances enumerated once, with the
// stakes adding up to less than the whole bank as COBYLA's one constraint.
struct Problem {
    std::vector<double> chance;
    std::vector<double> odds;
    std::vector<double> bank;
    int evaluations = 0;
};

double Objective(unsigned n, const double* f, double*, void* data) {
    auto& problem = *static_cast<Problem*>(data);
    ++problem.evaluations;
    double kept = 1;
    for (unsigned i = 0; i < n; ++i) {
        kept -= f[i];
    }
    std::vector<double>& bank = problem.bank;
    bank[0] = kept;
    for (unsigned i = 0; i < n; ++i) {
        const std::size_t half = std::size_t{1} << i;
        for (std::size_t o = 0; o < half; ++o) {
            bank[o | half] = bank[o] + f[i] * problem.odds[i];
        }
    }
    double value = 0;
    for (std::size_t o = 0; o < bank.size(); ++o) {
        if (!(bank[o] > 0)) {
            return -1e30;
        }
        value += problem.chance[o] * std::log(bank[o]);
    }
    return value;
}

double StakesAddUp(unsigned n, const double* f, double*, void*) {
    return std::accumulate(f, f + n, 0.0) - 0.999;
}

double LastNloptGrowth = 0;
int LastNloptEvaluations = 0;

void NloptCobyla(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const std::vector<Bet> bets = Saturday(n);
    Problem problem;
    problem.chance.assign(std::size_t{1} << n, 1);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t half = std::size_t{1} << i;
        for (std::size_t o = 0; o < half; ++o) {
            problem.chance[o | half] = problem.chance[o] * bets[i].probability;
            problem.chance[o] *= 1 - bets[i].probability;
        }
        problem.odds.push_back(brelmont::EffectiveOdds(bets[i].odds, bets[i].commission));
    }
    problem.chance.resize(std::size_t{1} << n);
    problem.bank.resize(problem.chance.size());
    for (auto _ : state) {
        nlopt::opt solver(nlopt::LN_COBYLA, static_cast<unsigned>(n));
        solver.set_lower_bounds(0.0);
        solver.set_upper_bounds(1.0);
        solver.set_max_objective(Objective, &problem);
        solver.add_inequality_constraint(StakesAddUp, nullptr, 1e-12);
        solver.set_ftol_abs(1e-12);
        solver.set_maxeval(3000);
        std::vector<double> f(n, 0.01);
        double best = 0;
        problem.evaluations = 0;
        solver.optimize(f, best);
        LastNloptGrowth = 100 * best;
        LastNloptEvaluations = problem.evaluations;
        benchmark::DoNotOptimize(f);
    }
}
BENCHMARK(NloptCobyla)->Arg(15)->Arg(20)->Unit(benchmark::kMillisecond)->Iterations(1);

std::map<std::size_t, std::array<brelmont::ChanceBracket, 4>> LastChances;

// A Saturday's matches at their joint Kelly stakes, with the default limits: 0,1 point, or the bracket the
// default work reaches.
void ChancesOfEvents(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const std::vector<Bet> bets = Saturday(n);
    const std::vector<double> stakes = brelmont::IndependentKelly(bets);
    for (auto _ : state) {
        LastChances[n] = brelmont::DrawdownChances(bets, BetMode::Independent, stakes);
    }
}
BENCHMARK(ChancesOfEvents)->Arg(10)->Arg(3)->Unit(benchmark::kMillisecond);

void ChancesOfOneBet(benchmark::State& state) {
    const std::vector<Bet> bets = Saturday(1);
    const std::vector<double> stakes = brelmont::IndependentKelly(bets);
    for (auto _ : state) {
        benchmark::DoNotOptimize(brelmont::DrawdownChances(bets, BetMode::Independent, stakes));
    }
}
BENCHMARK(ChancesOfOneBet)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    brelmont::testing::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // Processor times, since the machine may be shared, in each benchmark's own unit: nanoseconds for the
    // race, milliseconds for the rest.
    auto& ns = reporter.CpuNs;
    if (ns.count("ExclusiveKelly20") != 0 && ns.count("SingleStakes20") != 0) {
        std::printf("Exclusive Kelly, 20 outcomes: %.3f us (goal: under 5 us), %.1fx staking each alone\n",
                    ns["ExclusiveKelly20"] / 1000, ns["ExclusiveKelly20"] / ns["SingleStakes20"]);
    }
    for (const char* n : {"15", "20"}) {
        const std::string ours = std::string("IndependentKelly/") + n;
        const std::string theirs = std::string("NloptCobyla/") + n + "/iterations:1";
        if (ns.count(ours) != 0 && ns.count(theirs) != 0) {
            std::printf("Independent Kelly, %s events: %.2f ms (goal: under %s), NLopt COBYLA without the "
                        "gradient %.0f ms: %.0fx as fast\n",
                        n, ns[ours], std::string(n) == "15" ? "30 ms" : "2 s", ns[theirs],
                        ns[theirs] / ns[ours]);
        }
    }
    if (LastNloptEvaluations > 0) {
        const std::vector<Bet> bets = Saturday(20);
        std::printf("  (the last NLopt run: %d evaluations, growth %.8f %%; ours %.8f %%)\n",
                    LastNloptEvaluations, LastNloptGrowth,
                    brelmont::GrowthPercent(bets, BetMode::Independent, brelmont::IndependentKelly(bets)));
    }
    for (const std::size_t n : {10, 3}) {
        const std::string name = "ChancesOfEvents/" + std::to_string(n);
        if (ns.count(name) == 0 || ns.count("ChancesOfOneBet") == 0 || LastChances.count(n) == 0) {
            continue;
        }
        bool narrowed = true;
        for (const brelmont::ChanceBracket& c : LastChances[n]) {
            narrowed = narrowed && c.converged;
        }
        std::printf("Certified chances of %zu events asked to 0,1 point: %.1f ms%s%s, %.1fx one bet's exact "
                    "chances\n",
                    n, ns[name], narrowed ? "" : " until the default work limit",
                    n == 10 ? " (goal: under 300 ms, narrowed)" : "", ns[name] / ns["ChancesOfOneBet"]);
        for (const brelmont::ChanceBracket& c : LastChances[n]) {
            std::printf("  falls to %.0f %%: [%.4f, %.4f] %%, %.3f points wide%s\n", 100 * c.remaining,
                        100 * c.lower, 100 * c.upper, 100 * (c.upper - c.lower),
                        c.converged ? "" : " (not narrowed to the width)");
        }
    }
    return 0;
}
