#pragma once

#include <gtest/gtest.h>

#include <string>

namespace tolvane::testing {

// Names each row of a parameterised table after its `name` member.
struct CaseName {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& row) const {
        return row.param.name;
    }
};

}  // namespace tolvane::testing
