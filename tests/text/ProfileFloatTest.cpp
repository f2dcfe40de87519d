#include "text/ProfileFloat.h"

#include <gtest/gtest.h>

#include "text/NumberText.h"

#include <cmath>
#include <filesystem>
#include <limits>
#include <random>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();

class IniFloatTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Path = (fs::temp_directory_path() / ("hyd-inifloat-" + std::to_string(::getpid()) + "-" +
                                             std::to_string(std::random_device{}()) + ".Hyd"))
                   .string();
    }
    void TearDown() override
    {
        std::error_code Ec;
        fs::remove(Path, Ec);
    }
    // ReadFloat of the key "Step" holding Text, with the default -7.
    double ReadText(const std::string& Text)
    {
        TProfile Ini(Path);
        Ini.WriteString("Data", "Step", Text);
        return ReadFloat(Ini, "Data", "Step", -7);
    }

    std::string Path;
};

TEST_F(IniFloatTest, WritesTheScientificText)
{
    TProfile Ini(Path);
    WriteFloat(Ini, "Data", "Step", 0.001);
    WriteFloat(Ini, "Data", "Pressure", 100000);
    WriteFloat(Ini, "Data", "Slope", -2.5);
    WriteFloat(Ini, "Data", "Length", 0);
    Ini.Commit();
    TProfile Back(Path);
    EXPECT_EQ(Back.Text(),
              "[Data]\n"
              "Step= 1.00000000000000E-0003\n"
              "Pressure= 1.00000000000000E+0005\n"
              "Slope=-2.50000000000000E+0000\n"
              "Length= 0.00000000000000E+0000\n");
}

TEST_F(IniFloatTest, ReadsTheNumberInTheText)
{
    EXPECT_EQ(ReadText("2.5e-3"), 0.0025);
    EXPECT_EQ(ReadText(" 1.00000000000000E-0003"), 0.001);
    EXPECT_EQ(ReadText("1,5"), 1);              // a decimal comma ends the number
    EXPECT_EQ(ReadText("5 м"), 5);              // a unit after the number
    EXPECT_EQ(ReadText("Длина: 1 234.5 м"), 1234.5);   // a label before, group blanks inside
    EXPECT_EQ(ReadText("x=-2.5e-3;"), -0.0025);
    EXPECT_EQ(ReadText("5e"), 5);               // an exponent without digits is left out
    EXPECT_EQ(ReadText("5e-"), 5);
    EXPECT_EQ(ReadText("1e5E3"), 1e5);          // the longest number at the start counts
    EXPECT_EQ(ReadText("1e999"), Inf);
    EXPECT_EQ(ReadText("-1e999"), -Inf);
    EXPECT_EQ(ReadText("1e-999"), 0);
    EXPECT_EQ(ReadText("e5"), 5);               // the number starts at the first digit
}

TEST_F(IniFloatTest, NoNumberGivesTheDefault)
{
    for (const char* Text : {"", "   ", "abc", "-", ".", "e", "м"})
        EXPECT_EQ(ReadText(Text), -7) << Text;
    TProfile Ini(Path);
    EXPECT_EQ(ReadFloat(Ini, "Data", "Missing", 0.1), 0.1);
}

TEST_F(IniFloatTest, WrittenValuesReadBackTo15Digits)
{
    TProfile Ini(Path);
    for (double Value : {0.001, 4.6e-10, 2e11, -5.0, 0.0, 1.0 / 3.0, -123456.789012345, 9.81,
                         1e-300, 1.7e308, -1.71e308}) {
        WriteFloat(Ini, "Data", "Value", Value);
        const double Back = ReadFloat(Ini, "Data", "Value", 42);
        EXPECT_NEAR(Back, Value, std::abs(Value) * 5e-15) << Value;
        EXPECT_EQ(FloatToFixed(-1, Back), FloatToFixed(-1, Value));   // saving again: same text
    }
}

TEST(LeadingRealValue, TakesTheLongestDecimalNumberAtTheStart)
{
    EXPECT_EQ(LeadingRealValue("+5"), 5);
    EXPECT_EQ(LeadingRealValue("-.5"), -0.5);
    EXPECT_EQ(LeadingRealValue("5."), 5);
    EXPECT_EQ(LeadingRealValue("0.000001e-400"), 0);
    EXPECT_EQ(LeadingRealValue("0.000001e400"), Inf);
    EXPECT_EQ(LeadingRealValue("1e99999999999999999999"), Inf);
    EXPECT_EQ(LeadingRealValue("-1e99999999999999999999"), -Inf);
    for (const char* Text : {"", "+", "-", "+-5", "inf", "nan", "e3", " 5"})
        EXPECT_FALSE(LeadingRealValue(Text).has_value()) << Text;
}

}  // namespace
