#pragma once
// Names the cases of a parameterised test after their `name` field, so that a failure names
// the case instead of dumping its bytes:
//
//   INSTANTIATE_TEST_SUITE_P(Cases, SomeTest, ::testing::ValuesIn(kCases), ByName());

#include <string>

struct ByName
{
    template <class TParamInfo> std::string operator()(const TParamInfo& info) const
    {
        return info.param.name;
    }
};
