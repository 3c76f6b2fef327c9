// SPDX-License-Identifier: MIT
// The three calculation commands of the main window: compute probabilities, compute all and clear. They read
// the edit fields through CalcFields, check that the required ones are filled, convert their texts (a full
// stop and a comma both mark the fraction) and run the Kelly engine, reporting every failure with one fixed
// message. The main window implements CalcFields over its controls; the tests implement it with a recorder.
#pragma once

#include <string>

namespace brelmont {

// The seven edit fields and the message dialog, as the calculation commands see them. Fields are numbered
// 1..7 for pole1..pole7; texts are UTF-8.
class CalcFields {
public:
    virtual ~CalcFields() = default;
    virtual std::string FieldText(int field) const = 0;
    virtual void SetFieldText(int field, const std::string& text) = 0;
    virtual void ShowMessage(const std::string& text) = 0;
};

// How a calculation command ended.
enum class CommandEnd {
    Computed, // every result field written
    Refused,  // a message said what is missing or wrong; fields written before it keep their texts
    // The Kelly stake rounded to 0 because the bet has no edge: the stake field shows "0", the result fields
    // keep their texts, and the no-value advice was shown in place of the invalid-value message.
    NoValue,
};

// A negative stake in compute probabilities is refused like a stake of 0, before any field changes.
CommandEnd ComputeProbabilitiesCommand(CalcFields& fields);
CommandEnd ComputeAllCommand(CalcFields& fields);
void ClearCommand(CalcFields& fields);

// A copy of `text` with every "." replaced by ",".
std::string DotToComma(std::string text);

// A field text as the commands read it: DotToComma, StrToFloat with the calculator's separator, stored into
// a double. Raises EConvertError for a text that is no number and EOverflow beyond the double range.
double FieldNumber(const std::string& text);

// The separator the calculator parses and shows numbers with, whatever the user's locale says: with the
// full stop of most locales every fractional input would otherwise be rejected after DotToComma.
inline constexpr char kCalculatorSeparator = ',';

} // namespace brelmont
