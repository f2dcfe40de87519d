// Formats of one floating-point conversion, the texts they give and reading a
// whole text as one number.

#include "text/FloatFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <locale.h>
#include <optional>
#include <random>
#include <string>
#include <string_view>

using namespace std::string_view_literals;

TEST(FloatFormat, OneFloatingPointConversionIsValid)
{
    const struct {
        std::string_view Format;
        bool Valid;
    } Cases[] = {
        {"%f", true},      {"%8.2e %%", true},     {"%%%a", true},    {"%-+ #0123.456G", true},
        {"%.f", true},     {"Длина %.3f м", true}, {"", false},       {"%%", false},
        {"abc", false},    {"%", false},           {"%5", false},     {"%d", false},
        {"%s", false},     {"%n", false},          {"%*f", false},    {"%Lf", false},
        {"%f %f", false},  {"%f%%%g", false},      {"%1234f", false}, {"%.1234f", false},
        {"%f\0"sv, false}, {"%\0f"sv, false},  // a NUL would end the format early
    };
    for (const auto& C : Cases)
        EXPECT_EQ(Float_Format_Valid(C.Format), C.Valid) << '"' << C.Format << '"';
}

TEST(FloatFormat, TextsOfValidFormatsAndNothingForOthers)
{
    const struct {
        const char* Format;
        double X;
        std::optional<std::string> Text;
    } Cases[] = {
        {"%.3f", 3, "3.000"},
        {"%g", 1e-5, "1e-05"},
        {"%8.2e %%", 1234.5, "1.23e+03 %"},
        {"%+.2f", -0.0, "-0.00"},
        {"%05.1f", 2.5, "002.5"},
        {"%.1f", 0.25, "0.2"},
        {"%g", std::numeric_limits<double>::infinity(), "inf"},
        {"%.1f м", 2.5, "2.5 м"},  // text around the number kept byte for byte
        {"%d", 3, std::nullopt},
        {"", 3, std::nullopt},
        {"%s", 3, std::nullopt},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(Format_Float(C.Format, C.X), C.Text) << C.Format << ' ' << C.X;
    // The longest text a valid format can ask for comes out whole.
    const std::optional<std::string> Long = Format_Float("%999.999f", -1.7e308);
    ASSERT_TRUE(Long);
    EXPECT_EQ(Long->size(), 1u + 309 + 1 + 999);
}

TEST(FloatFormat, PointSeparatorInAnyLocale)
{
    locale_t Comma = locale_t(0);
    for (const char* Name : {"ru_RU.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8"})
        if ((Comma = newlocale(LC_NUMERIC_MASK, Name, locale_t(0))))
            break;
    if (!Comma)
        GTEST_SKIP() << "no locale with a decimal comma installed";
    const locale_t Old = uselocale(Comma);
    const std::optional<std::string> Text = Format_Float("%.2f", 1.5);
    uselocale(Old);
    freelocale(Comma);
    EXPECT_EQ(Text, "1.50");
}

TEST(FloatFormat, WholeTextIsOneFiniteNumber)
{
    const struct {
        std::string_view Text;
        bool Ok;
        double Value;
    } Cases[] = {
        {"1.", true, 1},   {".5", true, 0.5},      {"-2.5e-3", true, -2.5e-3},
        {"0", true, 0},    {"1e308", true, 1e308}, {"4.9e-324", true, 4.9e-324},
        {"", false, 0},    {" 1", false, 0},       {"1 ", false, 0},
        {"1,5", false, 0}, {"+1", false, 0},       {"1e999", false, 0},
        {"inf", false, 0}, {"nan", false, 0},      {"0x1p3", false, 0},
        {"-", false, 0},   {".", false, 0},        {"1\0"sv, false, 0},
    };
    for (const auto& C : Cases) {
        double Value = 77.0;
        EXPECT_EQ(Text_To_Double(C.Text, Value), C.Ok) << '"' << C.Text << '"';
        EXPECT_EQ(Value, C.Ok ? C.Value : 77.0) << '"' << C.Text << "\": untouched when refused";
    }
    // Every finite double survives a round trip through its shortest exact text.
    std::mt19937_64 Gen(20240607);
    for (int i = 0; i < 2000; ++i) {
        double X;
        const uint64_t Bits = Gen();
        std::memcpy(&X, &Bits, sizeof X);
        if (!std::isfinite(X))
            continue;
        double Back = 0.0;
        ASSERT_TRUE(Text_To_Double(*Format_Float("%.17g", X), Back)) << X;
        ASSERT_EQ(Back, X);
    }
}

TEST(FloatFormat, TextsShowingOnlyZeros)
{
    const struct {
        std::string_view Text;
        bool Zeros;
    } Cases[] = {
        {"0", true},      {"0.00", true},  {"-0.000", true}, {"  +0.0", true},
        {"000", true},    {"0.01", false}, {"1e-05", false}, {"0.00e+00", false},
        {"0.0 м", false}, {"", false},     {"-", false},     {"   ", false},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(Text_Shows_Only_Zeros(C.Text), C.Zeros) << '"' << C.Text << '"';
}
