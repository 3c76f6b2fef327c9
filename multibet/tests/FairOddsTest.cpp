// SPDX-License-Identifier: MIT
// The margin and the four ways of taking it back: the published figures for a three-way market, and the
// properties every method must keep on random markets (chances adding up to 1, equal odds giving equal
// chances, the favourite staying the favourite).
#include "multibet/FairOdds.h"

#include "base/Exception.h"
#include "base/testing/RowName.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <random>
#include <vector>

namespace brelmont {
namespace {

using ::brelmont::testing::PrintTo;
using testing::RowName;

const std::vector<double> kMatch{2.6, 2.4, 4.3};

TEST(MarginOfAMatch, IsTheOverround) {
    EXPECT_NEAR(Margin(kMatch), 0.0338, 5e-5);
}

struct PublishedRow {
    const char* name;
    DevigMethod method;
    std::vector<double> chances;
    double z;
};

class FairPublished : public ::testing::TestWithParam<PublishedRow> {};

TEST_P(FairPublished, MatchesTheFigures) {
    const PublishedRow& row = GetParam();
    const FairProbabilities fair = FairFromOdds(kMatch, row.method);
    ASSERT_EQ(fair.probabilities.size(), 3U);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(fair.probabilities[i], row.chances[i], 5e-7) << i;
    }
    EXPECT_NEAR(fair.shinZ, row.z, 5e-7);
}

INSTANTIATE_TEST_SUITE_P(
    ThreeWay, FairPublished,
    ::testing::Values(PublishedRow{"Shin", DevigMethod::Shin, {0.372994, 0.404779, 0.222227}, 0.016943},
                      PublishedRow{
                          "Multiplicative", DevigMethod::Multiplicative, {0.372026, 0.403028, 0.224946}, 0}),
    RowName());

TEST(FairByPowerAndAddition, TakeTheMarginAsTheirRuleSays) {
    const FairProbabilities power = FairFromOdds(kMatch, DevigMethod::Power);
    double sum = 0;
    for (const double d : kMatch) {
        sum += std::pow(1 / d, power.powerK);
    }
    EXPECT_NEAR(sum, 1, 1e-12);
    EXPECT_GT(power.powerK, 1);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(power.probabilities[i], std::pow(1 / kMatch[i], power.powerK), 1e-12);
    }
    const FairProbabilities additive = FairFromOdds(kMatch, DevigMethod::Additive);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(additive.probabilities[i], 1 / kMatch[i] - additive.margin / 3, 1e-12);
    }
}

TEST(FairOnRandomMarkets, AddUpToOneAndKeepTheOrder) {
    std::mt19937_64 random(18);
    std::uniform_real_distribution<double> chance(0.05, 1);
    std::uniform_real_distribution<double> margin(0, 0.12);
    for (int market = 0; market < 200; ++market) {
        const std::size_t n = 2 + static_cast<std::size_t>(market % 9);
        std::vector<double> p(n);
        for (double& x : p) {
            x = chance(random);
        }
        const double sum = std::accumulate(p.begin(), p.end(), 0.0);
        const double book = 1 + margin(random);
        std::vector<double> odds;
        for (const double x : p) {
            odds.push_back(std::max(1.01, sum / (x * book)));
        }
        for (const DevigMethod method :
             {DevigMethod::Multiplicative, DevigMethod::Additive, DevigMethod::Power, DevigMethod::Shin}) {
            FairProbabilities fair;
            try {
                fair = FairFromOdds(odds, method);
            } catch (const EBetSetError&) {
                ASSERT_EQ(method, DevigMethod::Additive); // only addition can run a long shot below zero
                continue;
            }
            EXPECT_NEAR(std::accumulate(fair.probabilities.begin(), fair.probabilities.end(), 0.0), 1, 1e-12);
            for (std::size_t i = 0; i < n; ++i) {
                EXPECT_GT(fair.probabilities[i], 0);
                for (std::size_t j = 0; j < n; ++j) {
                    if (odds[i] < odds[j]) {
                        EXPECT_GE(fair.probabilities[i], fair.probabilities[j]);
                    }
                }
            }
        }
    }
}

TEST(FairWithEqualOdds, GivesEqualChancesByEveryMethod) {
    for (const DevigMethod method :
         {DevigMethod::Multiplicative, DevigMethod::Additive, DevigMethod::Power, DevigMethod::Shin}) {
        for (const std::vector<double>& odds :
             {std::vector<double>{1.9, 1.9}, std::vector<double>{2.8, 2.8, 2.8},
              std::vector<double>(10, 9.0)}) {
            const FairProbabilities fair = FairFromOdds(odds, method);
            for (const double p : fair.probabilities) {
                EXPECT_NEAR(p, 1.0 / static_cast<double>(odds.size()), 1e-12) << DevigMethodName(method);
            }
        }
    }
}

TEST(FairWithoutMargin, IsNormalisedWhateverTheMethod) {
    const std::vector<double> odds{2.1, 2.1};
    for (const DevigMethod method : {DevigMethod::Power, DevigMethod::Shin}) {
        const FairProbabilities fair = FairFromOdds(odds, method);
        EXPECT_LT(fair.margin, 0);
        EXPECT_DOUBLE_EQ(fair.probabilities[0], 0.5);
        EXPECT_EQ(fair.shinZ, 0);
        EXPECT_EQ(fair.powerK, 1);
    }
}

TEST(FairRefusals, SayWhatIsWrong) {
    const std::vector<double> longShot{1.05, 1.05, 200};
    try {
        FairFromOdds(longShot, DevigMethod::Additive);
        FAIL() << "accepted";
    } catch (const EBetSetError& error) {
        EXPECT_NE(error.Message().find("исходу 3"), std::string::npos) << error.Message();
    }
    EXPECT_THROW(Margin(std::vector<double>{2.0}), EBetSetError);
    EXPECT_THROW(Margin(std::vector<double>{2.0, 1.0}), EBetSetError);
    EXPECT_THROW(Margin(std::vector<double>(101, 101.0)), EBetSetError);
}

TEST(DevigMethodNames, ReadInAnyCaseAndRefuseOthers) {
    EXPECT_EQ(ParseDevigMethod("Shin"), DevigMethod::Shin);
    EXPECT_EQ(ParseDevigMethod("POWER"), DevigMethod::Power);
    EXPECT_EQ(ParseDevigMethod("additive"), DevigMethod::Additive);
    EXPECT_EQ(ParseDevigMethod("multiplicative"), DevigMethod::Multiplicative);
    try {
        ParseDevigMethod("логит");
        FAIL() << "accepted";
    } catch (const EConvertError& error) {
        EXPECT_NE(error.Message().find("«логит»"), std::string::npos);
    }
}

} // namespace
} // namespace brelmont
