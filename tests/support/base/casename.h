#pragma once
#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace kt::testing {

// Names a parameterised case after its `name` field, in the characters test
// names may hold.
struct CaseName {
    template <class Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const
    {
        std::string name = info.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    }
};

} // namespace kt::testing
