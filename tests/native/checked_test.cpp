// Checked arithmetic: placement and eye tracking rely on overflow failing
// loudly instead of wrapping, and on rounding that sends halves to even.
#include "Checked.h"
#include "Failure.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstdint>
#include <limits>
#include <optional>

namespace {

using forms::FailureCode;

constexpr std::int32_t Max32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t Min32 = std::numeric_limits<std::int32_t>::min();
const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Infinity = std::numeric_limits<double>::infinity();

// The failure code that step raises, or nullopt when it completes.
template <typename Step>
std::optional<FailureCode> FailureOf(Step step)
{
    try {
        step();
    } catch (const forms::RuntimeFailure& failure) {
        return failure.Code();
    }
    return std::nullopt;
}

// What step gives, or nullopt when it fails with Overflow; any other failure escapes.
template <typename Step>
auto ValueOrOverflow(Step step) -> std::optional<decltype(step())>
{
    try {
        return step();
    } catch (const forms::RuntimeFailure& failure) {
        if (failure.Code() != FailureCode::Overflow)
            throw;
        return std::nullopt;
    }
}

struct IntegerCase {
    std::int32_t a;
    std::int32_t b;
    std::optional<std::int32_t> expected; // nullopt: Overflow
};

class AddCheckedCases : public testing::TestWithParam<IntegerCase> { };

TEST_P(AddCheckedCases, SumOrOverflow)
{
    const IntegerCase& c = GetParam();
    EXPECT_EQ(ValueOrOverflow([&] { return forms::AddChecked(c.a, c.b); }), c.expected) << c.a << " + " << c.b;
}

INSTANTIATE_TEST_SUITE_P(Int32Edges, AddCheckedCases,
    testing::Values(IntegerCase { Max32, 0, Max32 }, IntegerCase { Max32 - 1, 1, Max32 },
        IntegerCase { Max32, 1, std::nullopt }, IntegerCase { 1, Max32, std::nullopt },
        IntegerCase { Max32, Max32, std::nullopt }, IntegerCase { Min32, 0, Min32 },
        IntegerCase { Min32 + 1, -1, Min32 }, IntegerCase { Min32, -1, std::nullopt },
        IntegerCase { Min32, Min32, std::nullopt }, IntegerCase { Max32, Min32, -1 },
        IntegerCase { 52, 118, 170 }, IntegerCase { -5, 3, -2 }));

class SubtractCheckedCases : public testing::TestWithParam<IntegerCase> { };

TEST_P(SubtractCheckedCases, DifferenceOrOverflow)
{
    const IntegerCase& c = GetParam();
    EXPECT_EQ(ValueOrOverflow([&] { return forms::SubtractChecked(c.a, c.b); }), c.expected) << c.a << " - " << c.b;
}

INSTANTIATE_TEST_SUITE_P(Int32Edges, SubtractCheckedCases,
    testing::Values(IntegerCase { Min32, 0, Min32 }, IntegerCase { Min32 + 1, 1, Min32 },
        IntegerCase { Min32, 1, std::nullopt }, IntegerCase { 0, Min32, std::nullopt },
        IntegerCase { -1, Min32, Max32 }, IntegerCase { Max32, -1, std::nullopt },
        IntegerCase { Max32 - 1, -1, Max32 }, IntegerCase { Max32, Max32, 0 },
        IntegerCase { Min32, Max32, std::nullopt }, IntegerCase { 42, 3, 39 }, IntegerCase { 3, 42, -39 }));

struct RoundingCase {
    double value;
    std::optional<std::int32_t> expected; // nullopt: Overflow
};

class RoundToInt32Cases : public testing::TestWithParam<RoundingCase> { };

TEST_P(RoundToInt32Cases, NearestHalvesToEvenOrOverflow)
{
    const RoundingCase& c = GetParam();
    EXPECT_EQ(ValueOrOverflow([&] { return forms::RoundToInt32(c.value); }), c.expected) << c.value;
}

INSTANTIATE_TEST_SUITE_P(HalvesToEven, RoundToInt32Cases,
    testing::Values(RoundingCase { 0.5, 0 }, RoundingCase { 1.5, 2 }, RoundingCase { 2.5, 2 },
        RoundingCase { 3.5, 4 }, RoundingCase { -0.5, 0 }, RoundingCase { -1.5, -2 }, RoundingCase { -2.5, -2 },
        RoundingCase { -3.5, -4 }, RoundingCase { 8.5, 8 }, RoundingCase { 3869.5, 3870 },
        RoundingCase { 15359.5, 15360 }));

INSTANTIATE_TEST_SUITE_P(NotHalves, RoundToInt32Cases,
    testing::Values(RoundingCase { 0.0, 0 }, RoundingCase { -0.0, 0 }, RoundingCase { 0.49999999999999994, 0 },
        RoundingCase { -0.49999999999999994, 0 }, RoundingCase { 0.5000000000000001, 1 },
        RoundingCase { 2.4999999999999996, 2 }, RoundingCase { 2.5000000000000004, 3 },
        RoundingCase { -2.5000000000000004, -3 }, RoundingCase { 1.7, 2 }, RoundingCase { -1.7, -2 }));

INSTANTIATE_TEST_SUITE_P(RangeLimits, RoundToInt32Cases,
    testing::Values(RoundingCase { 2147483647.0, Max32 }, RoundingCase { 2147483647.49, Max32 },
        RoundingCase { 2147483647.5, std::nullopt }, RoundingCase { 2147483648.0, std::nullopt },
        RoundingCase { -2147483648.0, Min32 }, RoundingCase { -2147483648.5, Min32 },
        RoundingCase { -2147483648.51, std::nullopt }, RoundingCase { -2147483649.0, std::nullopt },
        RoundingCase { 4503599627370495.5, std::nullopt }, RoundingCase { 1e300, std::nullopt },
        RoundingCase { -1e300, std::nullopt },
        RoundingCase { Infinity, std::nullopt }, RoundingCase { -Infinity, std::nullopt },
        RoundingCase { NaN, std::nullopt }));

TEST(RoundToInt16, HalvesToEvenWithinSixteenBits)
{
    EXPECT_EQ(forms::RoundToInt16(2.5), 2);
    EXPECT_EQ(forms::RoundToInt16(-2.5), -2);
    EXPECT_EQ(forms::RoundToInt16(32767.4), 32767);
    EXPECT_EQ(forms::RoundToInt16(-32768.5), -32768);
    EXPECT_EQ(FailureOf([] { forms::RoundToInt16(32767.5); }), FailureCode::Overflow);
    EXPECT_EQ(FailureOf([] { forms::RoundToInt16(-32769.0); }), FailureCode::Overflow);
    EXPECT_EQ(FailureOf([] { forms::RoundToInt16(NaN); }), FailureCode::Overflow);
}

TEST(RoundHalfEven, KeepsWholeNumbersBeyondInt32)
{
    EXPECT_EQ(forms::RoundHalfEven(4503599627370497.0), 4503599627370497.0);
    EXPECT_EQ(forms::RoundHalfEven(4503599627370495.5), 4503599627370496.0);
    EXPECT_EQ(forms::RoundHalfEven(-4503599627370495.5), -4503599627370496.0);
    EXPECT_EQ(forms::RoundHalfEven(1e300), 1e300);
}

TEST(HalveTruncating, DropsTheRemainderTowardZero)
{
    EXPECT_EQ(forms::HalveTruncating(7), 3);
    EXPECT_EQ(forms::HalveTruncating(-7), -3);
    EXPECT_EQ(forms::HalveTruncating(85), 42);
    EXPECT_EQ(forms::HalveTruncating(Max32), 1073741823);
    EXPECT_EQ(forms::HalveTruncating(Min32), -1073741824);
}

TEST(ToSingle, NarrowsValuesWithinSinglePrecisionRange)
{
    EXPECT_EQ(forms::ToSingle(3.4e38), 3.4e38f);
    EXPECT_EQ(forms::ToSingle(-3.4e38), -3.4e38f);
    EXPECT_EQ(forms::ToSingle(static_cast<double>(FLT_MAX)), FLT_MAX);
    // Just below half-way to the next power of two still rounds down to the largest single.
    EXPECT_EQ(forms::ToSingle(0x1.fffffefffffffp+127), FLT_MAX);
    EXPECT_EQ(forms::ToSingle(1500.0), 1500.0f);
    EXPECT_EQ(forms::ToSingle(1e-50), 0.0f); // underflow is no failure
}

TEST(ToSingle, FailsWithOverflowWhereSinglePrecisionEnds)
{
    for (double value : { 1e39, -1e39, 0x1.ffffffp+127, -0x1.ffffffp+127, 1e300, Infinity, -Infinity }) {
        EXPECT_EQ(FailureOf([&] { forms::ToSingle(value); }), FailureCode::Overflow) << value;
    }
}

TEST(ToSingle, NotANumberFails) { EXPECT_TRUE(FailureOf([] { forms::ToSingle(NaN); }).has_value()); }

TEST(CheckedResult, PassesFiniteValuesAndRejectsTheRest)
{
    EXPECT_EQ(forms::CheckedResult(-1.25), -1.25);
    EXPECT_EQ(forms::CheckedResult(DBL_MAX), DBL_MAX);
    EXPECT_EQ(forms::CheckedResult(DBL_TRUE_MIN), DBL_TRUE_MIN);
    EXPECT_EQ(FailureOf([] { forms::CheckedResult(Infinity); }), FailureCode::Overflow);
    EXPECT_EQ(FailureOf([] { forms::CheckedResult(-Infinity); }), FailureCode::Overflow);
    EXPECT_TRUE(FailureOf([] { forms::CheckedResult(NaN); }).has_value());
}

struct DivisionCase {
    double numerator;
    double denominator;
    std::optional<FailureCode> failure;
    double expected;
};

class DivideCheckedCases : public testing::TestWithParam<DivisionCase> { };

TEST_P(DivideCheckedCases, QuotientOrFailure)
{
    const DivisionCase& c = GetParam();
    if (c.failure) {
        EXPECT_EQ(FailureOf([&] { forms::DivideChecked(c.numerator, c.denominator); }), c.failure)
            << c.numerator << " / " << c.denominator;
    } else {
        EXPECT_EQ(forms::DivideChecked(c.numerator, c.denominator), c.expected)
            << c.numerator << " / " << c.denominator;
    }
}

INSTANTIATE_TEST_SUITE_P(Quotients, DivideCheckedCases,
    testing::Values(DivisionCase { 3.0, 5.0, std::nullopt, 0.6 }, DivisionCase { -4.0, 5.0, std::nullopt, -0.8 },
        DivisionCase { 0.0, 1.0, std::nullopt, 0.0 }, DivisionCase { 1.0, 0.0, FailureCode::DivisionByZero, 0 },
        DivisionCase { -1.0, 0.0, FailureCode::DivisionByZero, 0 },
        DivisionCase { 1.0, -0.0, FailureCode::DivisionByZero, 0 },
        DivisionCase { 0.0, 0.0, FailureCode::Overflow, 0 }, DivisionCase { -0.0, 0.0, FailureCode::Overflow, 0 },
        DivisionCase { 1e308, 1e-10, FailureCode::Overflow, 0 },
        DivisionCase { -1e308, 1e-10, FailureCode::Overflow, 0 }));

} // namespace
