// SPDX-License-Identifier: MIT
// A CalcFields that records every read, write and message in order, as the commands' contract is the order
// of those calls and what is left in the fields after a failure.
#pragma once

#include "stakecalc/Commands.h"

#include <array>
#include <string>
#include <vector>

namespace brelmont::testing {

class RecordingFields : public CalcFields {
public:
    std::string FieldText(int field) const override {
        log.push_back("read " + std::to_string(field));
        return texts.at(static_cast<std::size_t>(field));
    }
    void SetFieldText(int field, const std::string& text) override {
        log.push_back("write " + std::to_string(field) + " " + text);
        texts.at(static_cast<std::size_t>(field)) = text;
    }
    void ShowMessage(const std::string& text) override { log.push_back("message " + text); }

    // Only the writes and messages, in order.
    std::vector<std::string> Effects() const {
        std::vector<std::string> out;
        for (const std::string& entry : log) {
            if (entry.rfind("read ", 0) != 0) {
                out.push_back(entry);
            }
        }
        return out;
    }

    std::array<std::string, 8> texts; // index 0 unused: fields are numbered 1..7
    mutable std::vector<std::string> log;
};

} // namespace brelmont::testing
