#pragma once
// A test run once in every unit the capture importers' bulk loops have (CqzCaptureUnit),
// skipped where the processor lacks the unit; the best unit is put back afterwards.

#include "capture/CqzCaptureUnit.h"

#include <gtest/gtest.h>

class CaptureUnitTest : public ::testing::TestWithParam<CqzCaptureUnit::EUnit>
{
protected:
    void SetUp() override
    {
        if (CqzCaptureUnit::SetUnit(GetParam()) != GetParam())
            GTEST_SKIP() << "the processor lacks this unit";
    }
    void TearDown() override { CqzCaptureUnit::SetUnit(CqzCaptureUnit::eAvx512); }
};

// Instantiates the fixture `suite` (derived from CaptureUnitTest) for every unit.
#define QZ_FOR_EVERY_CAPTURE_UNIT(suite)                                                          \
    INSTANTIATE_TEST_SUITE_P(                                                                     \
        Units, suite, ::testing::Values(CqzCaptureUnit::eScalar, CqzCaptureUnit::eAvx512),        \
        [](const auto& info) { return info.param == CqzCaptureUnit::eScalar ? "Scalar" : "Avx512"; })
