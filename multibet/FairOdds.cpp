// SPDX-License-Identifier: MIT
#include "multibet/FairOdds.h"

#include "base/Text.h"

#include <cmath>
#include <numeric>
#include <string>

namespace brelmont {

namespace {

std::vector<double> Implied(std::span<const double> odds) {
    if (odds.size() < 2 || odds.size() > kMaxMarketOutcomes) {
        throw EBetSetError("В одном рынке должно быть от 2 до " + std::to_string(kMaxMarketOutcomes) +
                           " исходов, а задано " + std::to_string(odds.size()));
    }
    std::vector<double> implied;
    implied.reserve(odds.size());
    for (std::size_t i = 0; i < odds.size(); ++i) {
        if (!(odds[i] > 1) || !std::isfinite(odds[i])) {
            throw EBetSetError("Коэффициент исхода " + std::to_string(i + 1) + " должен быть больше 1");
        }
        implied.push_back(1 / odds[i]);
    }
    return implied;
}

std::vector<double> Normalised(std::vector<double> chances) {
    const double sum = std::accumulate(chances.begin(), chances.end(), 0.0);
    for (double& p : chances) {
        p /= sum;
    }
    return chances;
}

// Σπ^k falls from n at k = 0 towards 0 as k grows, so the root of Σπ^k = 1 is bracketed and bisection
// finds it to the last bit.
double PowerRoot(const std::vector<double>& implied) {
    auto sum = [&](double k) {
        double s = 0;
        for (const double p : implied) {
            s += std::pow(p, k);
        }
        return s;
    };
    double low = 0;
    double high = 1;
    while (sum(high) > 1) {
        low = high;
        high *= 2;
    }
    for (int i = 0; i < 200 && low < high; ++i) {
        const double middle = 0.5 * (low + high);
        if (middle <= low || middle >= high) {
            break;
        }
        (sum(middle) > 1 ? low : high) = middle;
    }
    return 0.5 * (low + high);
}

std::vector<double> ShinChances(const std::vector<double>& implied, double booksum, double z) {
    std::vector<double> chances;
    chances.reserve(implied.size());
    for (const double p : implied) {
        chances.push_back((std::sqrt(z * z + 4 * (1 - z) * p * p / booksum) - z) / (2 * (1 - z)));
    }
    return chances;
}

// Shin's chances add up to √Σπ > 1 at z = 0 and fall as z grows, to below 1 before z reaches 1, so
// bisection on [0, 1) finds the z at which they add up to 1.
double ShinRoot(const std::vector<double>& implied, double booksum) {
    auto total = [&](double z) {
        const std::vector<double> c = ShinChances(implied, booksum, z);
        return std::accumulate(c.begin(), c.end(), 0.0);
    };
    double low = 0;
    double high = 1 - 1e-12;
    for (int i = 0; i < 200; ++i) {
        const double middle = 0.5 * (low + high);
        if (middle <= low || middle >= high) {
            break;
        }
        (total(middle) > 1 ? low : high) = middle;
    }
    return 0.5 * (low + high);
}

} // namespace

double Margin(std::span<const double> odds) {
    const std::vector<double> implied = Implied(odds);
    return std::accumulate(implied.begin(), implied.end(), 0.0) - 1;
}

FairProbabilities FairFromOdds(std::span<const double> odds, DevigMethod method) {
    const std::vector<double> implied = Implied(odds);
    const double booksum = std::accumulate(implied.begin(), implied.end(), 0.0);
    FairProbabilities fair;
    fair.margin = booksum - 1;
    if (booksum <= 1) {
        fair.probabilities = Normalised(implied);
        return fair;
    }
    switch (method) {
    case DevigMethod::Multiplicative:
        fair.probabilities = Normalised(implied);
        break;
    case DevigMethod::Additive: {
        const double share = fair.margin / static_cast<double>(implied.size());
        for (std::size_t i = 0; i < implied.size(); ++i) {
            if (implied[i] - share <= 0) {
                throw EBetSetError("Аддитивный способ даёт исходу " + std::to_string(i + 1) +
                                   " неположительную вероятность: его доля маржи больше его вероятности по "
                                   "коэффициенту. Выберите другой способ (multiplicative, power или shin)");
            }
            fair.probabilities.push_back(implied[i] - share);
        }
        break;
    }
    case DevigMethod::Power: {
        fair.powerK = PowerRoot(implied);
        for (const double p : implied) {
            fair.probabilities.push_back(std::pow(p, fair.powerK));
        }
        fair.probabilities = Normalised(std::move(fair.probabilities));
        break;
    }
    case DevigMethod::Shin:
        fair.shinZ = ShinRoot(implied, booksum);
        fair.probabilities = Normalised(ShinChances(implied, booksum, fair.shinZ));
        break;
    }
    return fair;
}

DevigMethod ParseDevigMethod(std::string_view name) {
    for (const DevigMethod method :
         {DevigMethod::Multiplicative, DevigMethod::Additive, DevigMethod::Power, DevigMethod::Shin}) {
        if (SameTextAsciiCase(name, DevigMethodName(method))) {
            return method;
        }
    }
    throw EConvertError("Способ «" + std::string(CutUtf8(name, 40)) +
                        "» не известен: ожидается multiplicative, additive, power или shin");
}

std::string_view DevigMethodName(DevigMethod method) {
    switch (method) {
    case DevigMethod::Multiplicative:
        return "multiplicative";
    case DevigMethod::Additive:
        return "additive";
    case DevigMethod::Power:
        return "power";
    case DevigMethod::Shin:
        return "shin";
    }
    return "multiplicative";
}

} // namespace brelmont
