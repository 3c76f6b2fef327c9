// SPDX-License-Identifier: MIT
// Seven field texts and the last message, held in memory: the cheapest stand-in for the main window, used
// where only the outcome of a command matters (the benchmark and the fuzz target), not the order of its
// steps.
#pragma once

#include "stakecalc/Commands.h"

#include <string>

namespace brelmont::testing {

class MemoryFields : public CalcFields {
public:
    std::string FieldText(int field) const override { return texts[field]; }
    void SetFieldText(int field, const std::string& text) override { texts[field] = text; }
    void ShowMessage(const std::string& text) override { message = text; }
    std::string texts[8];
    std::string message;
};

} // namespace brelmont::testing
