// SPDX-License-Identifier: MIT
// Names the rows of table-driven tests after their `name` member, so a failing row reads as what it protects.
#pragma once

#include <gtest/gtest.h>
#include <string>

namespace brelmont::testing {

struct RowName {
    template <class Row> std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
        return row.param.name;
    }
};

} // namespace brelmont::testing
