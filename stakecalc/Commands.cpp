// SPDX-License-Identifier: MIT
#include "stakecalc/Commands.h"

#include "base/Exception.h"
#include "stakecalc/BetValue.h"
#include "stakecalc/KellyEngine.h"
#include "stakecalc/NumberText.h"

#include <exception>
#include <optional>

namespace brelmont {
namespace {

constexpr int kProbabilityField = 1;
constexpr int kOddsField = 2;
constexpr int kLastField = 7;

const char* const kProbabilityMissing = "Вы не заполнили поле Вероятность события.";
const char* const kOddsMissing = "Вы не заполнили поле Коэффициент.";
const char* const kStakeMissing = "Вы не заполнили поле Ставка в % от банка.";
const char* const kInvalidValue = "В одно из полей введено не допустимое значение.";

double ReadNumber(const CalcFields& fields, int field) {
    return FieldNumber(fields.FieldText(field));
}

// Shows the message of the first required field that is empty; true when all are filled.
bool RequiredFieldsFilled(CalcFields& fields, bool needsStake) {
    if (fields.FieldText(kProbabilityField).empty()) {
        fields.ShowMessage(kProbabilityMissing);
        return false;
    }
    if (fields.FieldText(kOddsField).empty()) {
        fields.ShowMessage(kOddsMissing);
        return false;
    }
    if (needsStake && fields.FieldText(kStakeField).empty()) {
        fields.ShowMessage(kStakeMissing);
        return false;
    }
    return true;
}

// Conversion and arithmetic errors are not told apart: whatever fails, the caller shows one message, and the
// next command finds the floating-point unit as it was at start-up. True when the body ran to its end.
template <class Body> bool RunTrapped(Body body) {
    try {
        ClearFaultFlags();
        body();
        return true;
    } catch (const std::exception&) {
        InitFloatEnvironment();
        return false;
    }
}

// Passes everything through and notes whether the engine wrote a stake of "0": the drawdowns of a zero
// stake cannot be computed, and when the bet has no edge the user needs the reason, not "invalid value".
class ZeroStakeWatch final : public CalcFields {
public:
    explicit ZeroStakeWatch(CalcFields& fields) : fields_(fields) {}
    std::string FieldText(int field) const override { return fields_.FieldText(field); }
    void SetFieldText(int field, const std::string& text) override {
        if (field == kStakeField) {
            zeroStakeShown = text == "0";
        }
        fields_.SetFieldText(field, text);
    }
    void ShowMessage(const std::string& text) override { fields_.ShowMessage(text); }

    bool zeroStakeShown = false;

private:
    CalcFields& fields_;
};

} // namespace

CommandEnd ComputeProbabilitiesCommand(CalcFields& fields) {
    StakeInputs = StakeValues{};
    if (!RequiredFieldsFilled(fields, true)) {
        return CommandEnd::Refused;
    }
    const bool computed = RunTrapped([&fields] {
        StakeInputs.p = ReadNumber(fields, kProbabilityField);
        StakeInputs.k = ReadNumber(fields, kOddsField);
        StakeInputs.s = ReadNumber(fields, kStakeField);
        // A negative stake would show every chance as 100 %, as if it meant something; it is refused
        // before any field changes, as a stake of 0 is.
        if (StakeInputs.s < 0) {
            throw EInvalidOp();
        }
        ComputeProbabilities(fields);
    });
    if (!computed) {
        fields.ShowMessage(kInvalidValue);
        return CommandEnd::Refused;
    }
    return CommandEnd::Computed;
}

CommandEnd ComputeAllCommand(CalcFields& fields) {
    StakeInputs = StakeValues{};
    if (!RequiredFieldsFilled(fields, false)) {
        return CommandEnd::Refused;
    }
    ZeroStakeWatch watch(fields);
    double probability = 0;
    double odds = 0;
    const bool computed = RunTrapped([&] {
        probability = StakeInputs.p = ReadNumber(fields, kProbabilityField);
        odds = StakeInputs.k = ReadNumber(fields, kOddsField);
        ComputeAll(watch);
    });
    if (computed) {
        return CommandEnd::Computed;
    }
    if (watch.zeroStakeShown) {
        if (const std::optional<std::string> advice = NoValueAdvice(probability, odds)) {
            fields.ShowMessage(*advice);
            return CommandEnd::NoValue;
        }
    }
    fields.ShowMessage(kInvalidValue);
    return CommandEnd::Refused;
}

void ClearCommand(CalcFields& fields) {
    for (int field = kProbabilityField; field <= kLastField; ++field) {
        fields.SetFieldText(field, std::string());
    }
}

double FieldNumber(const std::string& text) {
    return StoreDouble(StrToFloat(DotToComma(text), kCalculatorSeparator));
}

std::string DotToComma(std::string text) {
    for (char& c : text) {
        if (c == '.') {
            c = ',';
        }
    }
    return text;
}

} // namespace brelmont
