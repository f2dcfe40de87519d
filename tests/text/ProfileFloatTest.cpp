#include "text/ProfileFloat.h"

#include <gtest/gtest.h>

#include "text/NumberText.h"

#include <cmath>
#include <limits>

#include "tests/TestFiles.h"

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();

TEST(IniFloat, WritesTheScientificTextAndReadsItBackTo15Digits)
{
    TTempDir Dir;
    TProfile Ini(Dir.File("a.Hyd"));
    WriteFloat(Ini, "Data", "Step", 0.001);
    WriteFloat(Ini, "Data", "Slope", -2.5);
    EXPECT_EQ(Ini.Text(), "[Data]\nStep= 1.00000000000000E-0003\nSlope=-2.50000000000000E+0000\n");
    for (double Value : {0.001, 4.6e-10, 2e11, -5.0, 0.0, 1.0 / 3.0, -123456.789012345, 9.81,
                         1e-300, 1.7e308, -1.71e308}) {
        WriteFloat(Ini, "Data", "Value", Value);
        const double Back = ReadFloat(Ini, "Data", "Value", 42);
        EXPECT_NEAR(Back, Value, std::abs(Value) * 5e-15) << Value;
        EXPECT_EQ(FloatToFixed(-1, Back), FloatToFixed(-1, Value));  // saving again: same text
    }
}

TEST(IniFloat, ReadsTheNumberInTheTextOrTheDefault)
{
    const struct {
        const char* Text;
        double Value;
    } Cases[] = {
        {"2.5e-3", 0.0025},
        {" 1.00000000000000E-0003", 0.001},
        {"1,5", 1},                    // a decimal comma ends the number
        {"5 м", 5},                    // a unit after the number
        {"Длина: 1 234.5 м", 1234.5},  // a label before, group blanks inside
        {"x=-2.5e-3;", -0.0025},
        {"5e", 5},
        {"5e-", 5},      // an exponent without digits is left out
        {"1e5E3", 1e5},  // the longest number at the start counts
        {"1e999", Inf},
        {"-1e999", -Inf},
        {"1e-999", 0},
        {"e5", 5},  // the number starts at the first digit
        // No number: the default.
        {"", -7},
        {"   ", -7},
        {"abc", -7},
        {"-", -7},
        {".", -7},
        {"e", -7},
        {"м", -7},
    };
    TTempDir Dir;
    TProfile Ini(Dir.File("a.Hyd"));
    for (const auto& C : Cases) {
        Ini.WriteString("Data", "Step", C.Text);
        EXPECT_EQ(ReadFloat(Ini, "Data", "Step", -7), C.Value) << C.Text;
    }
    EXPECT_EQ(ReadFloat(Ini, "Data", "Missing", 0.1), 0.1);
}

TEST(LeadingRealValue, TakesTheLongestDecimalNumberAtTheStart)
{
    const struct {
        const char* Text;
        double Value;
    } Cases[] = {
        {"+5", 5},
        {"-.5", -0.5},
        {"5.", 5},
        {"0.000001e-400", 0},
        {"0.000001e400", Inf},
        {"1e99999999999999999999", Inf},
        {"-1e99999999999999999999", -Inf},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(LeadingRealValue(C.Text), C.Value) << C.Text;
    for (const char* Text : {"", "+", "-", "+-5", "inf", "nan", "e3", " 5"})
        EXPECT_FALSE(LeadingRealValue(Text).has_value()) << Text;
    // The whole text or nothing.
    for (const auto& C : Cases)
        EXPECT_EQ(WholeRealValue(C.Text), C.Value) << C.Text;
    for (const char* Text : {"5 ", "5e", "5e-", "1e5E3", "5 м", "1,5", "--5", "."})
        EXPECT_FALSE(WholeRealValue(Text).has_value()) << Text;
}

}  // namespace
