// SPDX-License-Identifier: MIT
// Names the rows of table-driven tests after their `name` member, so a failing row reads as what it protects,
// both in CTest's list and in GoogleTest's failure messages.
//
// A test file brings the printer into the rows' namespace with `using brelmont::testing::PrintTo;`; without
// it GoogleTest prints a row as a dump of its bytes.
#pragma once

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace brelmont::testing {

struct RowName {
    template <class Row> std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
        return row.param.name;
    }
};

template <class Row>
requires requires(const Row& row, std::ostream& out) {
    out << row.name;
}
void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

} // namespace brelmont::testing
