// SPDX-License-Identifier: MIT
#include "stakecalc/Commands.h"

#include "stakecalc/KellyEngine.h"
#include "stakecalc/NumberText.h"

#include <exception>

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

// Conversion and arithmetic errors are not told apart: whatever fails, the user sees one message, and the
// next command finds the floating-point unit as it was at start-up.
template <class Body> void RunTrapped(CalcFields& fields, Body body) {
    try {
        ClearFaultFlags();
        body();
    } catch (const std::exception&) {
        InitFloatEnvironment();
        fields.ShowMessage(kInvalidValue);
    }
}

} // namespace

void ComputeProbabilitiesCommand(CalcFields& fields) {
    StakeInputs = StakeValues{};
    if (!RequiredFieldsFilled(fields, true)) {
        return;
    }
    RunTrapped(fields, [&fields] {
        StakeInputs.p = ReadNumber(fields, kProbabilityField);
        StakeInputs.k = ReadNumber(fields, kOddsField);
        StakeInputs.s = ReadNumber(fields, kStakeField);
        ComputeProbabilities(fields);
    });
}

void ComputeAllCommand(CalcFields& fields) {
    StakeInputs = StakeValues{};
    if (!RequiredFieldsFilled(fields, false)) {
        return;
    }
    RunTrapped(fields, [&fields] {
        StakeInputs.p = ReadNumber(fields, kProbabilityField);
        StakeInputs.k = ReadNumber(fields, kOddsField);
        ComputeAll(fields);
    });
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
