#include "NumberText.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr int64_t Max64 = std::numeric_limits<int64_t>::max();
constexpr int64_t Min64 = std::numeric_limits<int64_t>::min();

std::string Printf(const char* Format, int Precision, double X) {
    char Buf[2048];
    std::snprintf(Buf, sizeof Buf, Format, Precision, X);
    return Buf;
}

// Random doubles over the whole range: random bit patterns (finite only)
// and values of everyday size.
std::vector<double> SampleDoubles() {
    std::mt19937_64 Gen(20240601);
    std::vector<double> Values;
    for (int i = 0; i < 3000; ++i) {
        uint64_t Bits = Gen();
        double X;
        std::memcpy(&X, &Bits, sizeof X);
        if (std::isfinite(X)) Values.push_back(X);
    }
    std::uniform_real_distribution<double> Mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> Exponent(-20, 20);
    for (int i = 0; i < 3000; ++i) Values.push_back(Mantissa(Gen) * std::pow(10.0, Exponent(Gen)));
    for (double X : {0.5, 1.5, 2.5, 0.25, 0.125, -0.04, 999.6, 9.5, 99.95, 0.0005, -0.0})
        Values.push_back(X);
    return Values;
}

struct LanguageGuard {  // tests that switch the language switch it back
    ~LanguageGuard() { ZoNumber::Set_Language(1); }
};

TEST(NumberTextLanguage, RussianUntilSwitchedAndBothTablesComplete) {
    LanguageGuard Guard;
    using ZoNumber::Text;
    EXPECT_EQ(ZoNumber::Get_Text(Text::CalcTitle), "Калькулятор");
    EXPECT_EQ(ZoNumber::Get_Text(Text::PrefixMicro), "мк");
    EXPECT_EQ(ZoNumber::Get_Text(Text::NoValueText), "не определено");
    EXPECT_EQ(ZoNumber::Get_Text(Text::HintInverse), "Переворот дроби (клавиша «\\»)");

    ZoNumber::Set_Language(0);
    EXPECT_EQ(ZoNumber::Get_Text(Text::CalcTitle), "Calculator");
    EXPECT_EQ(ZoNumber::Get_Text(Text::PrefixHecto), "H");
    EXPECT_EQ(ZoNumber::Get_Text(Text::HintResult), "Calculate result (without return)");
    EXPECT_EQ(ZoNumber::Get_Text(Text::NoValueText), "no value");
    EXPECT_EQ(FormatWithPrefix(4, " ", 5000, 0), "5 K");
    EXPECT_EQ(FormatWithPrefix(4, " ", 1.5e-7, 0), "150 n");

    ZoNumber::Set_Language(1);
    EXPECT_EQ(ZoNumber::Get_Text(Text::PrefixHecto), "г");
    EXPECT_EQ(FormatWithPrefix(4, " ", 5000, 0), "5 к");

    for (int Language : {1, 2}) {
        ZoNumber::Set_Language(Language);
        for (int i = 0; i < static_cast<int>(Text::Count_); ++i)
            EXPECT_FALSE(ZoNumber::Get_Text(static_cast<Text>(i)).empty()) << Language << ' ' << i;
    }
}

TEST(NumberTextRound, TiesToEvenSaturatesAndNaNIsZero) {
    const struct { double X; int64_t Expected; } Cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
        {2.4999999999999996, 2}, {2.5000000000000004, 3}, {-7.6, -8}, {0.49999999999999994, 0},
        {4503599627370497.0, 4503599627370497}, {-4503599627370497.0, -4503599627370497},
        {9223372036854774784.0, 9223372036854774784},  // largest double below 2^63
        {9223372036854775808.0, Max64}, {1e300, Max64}, {Inf, Max64},
        {-9223372036854775808.0, Min64}, {-1e300, Min64}, {-Inf, Min64},
        {NaN, 0}, {-NaN, 0}, {5e-324, 0},
    };
    for (const auto& C : Cases) EXPECT_EQ(RoundToInt64(C.X), C.Expected) << C.X;
}

TEST(NumberTextInt, DecimalTextAndGroups) {
    EXPECT_EQ(Int64ToText(0), "0");
    EXPECT_EQ(Int64ToText(-42), "-42");
    EXPECT_EQ(Int64ToText(Min64), "-9223372036854775808");
    EXPECT_EQ(IntToGrouped(30000), "30 000");
    EXPECT_EQ(IntToGrouped(-999), "-999");
    EXPECT_EQ(IntToGrouped(-1000), "-1 000");
    EXPECT_EQ(IntToGrouped(Min64), "-9 223 372 036 854 775 808");
    EXPECT_EQ(IntToGrouped(Max64), "9 223 372 036 854 775 807");
}

TEST(NumberTextFixed, FollowsPrintfOnTheExactBinaryValue) {
    const struct { int Decimals; double X; const char* Expected; } Cases[] = {
        {1, 0.25, "0.2"}, {1, 0.35, "0.3"}, {1, -0.04, "-0.0"}, {0, 2.5, "2"}, {0, 3.5, "4"},
        {0, -0.4, "-0"}, {2, 1.005, "1.00"}, {3, 1e-5, "0.000"}, {1, 12.0, "12.0"},
        {0, 123456.7, "123457"}, {4, -3.14159, "-3.1416"},
    };
    for (const auto& C : Cases) EXPECT_EQ(FloatToFixed(C.Decimals, C.X), C.Expected) << C.X;

    for (double X : SampleDoubles())
        for (int Decimals : {0, 1, 2, 5, 17})
            ASSERT_EQ(FloatToFixed(Decimals, X), Printf("%.*f", Decimals, X)) << X;
}

TEST(NumberTextFixed, ScientificLayoutOfTheParameterFile) {
    const struct { double X; const char* Expected; } Cases[] = {
        {0.001, " 1.00000000000000E-0003"}, {-2.5, "-2.50000000000000E+0000"},
        {0.0, " 0.00000000000000E+0000"}, {-0.0, "-0.00000000000000E+0000"},
        {1.7e308, " 1.70000000000000E+0308"}, {5e-324, " 4.94065645841247E-0324"},
        {9.9999999999999999e99, " 1.00000000000000E+0100"}, {123456789.0, " 1.23456789000000E+0008"},
        {NaN, " NAN"}, {Inf, " INF"}, {-Inf, "-INF"},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(FloatToFixed(-1, C.X), C.Expected) << C.X;
        EXPECT_EQ(FloatToFixed(INT_MIN, C.X), C.Expected) << C.X;
    }
    // Same digits as printf's "%.14E", always 23 characters.
    for (double X : SampleDoubles()) {
        const std::string S = FloatToFixed(-1, X);
        ASSERT_EQ(S.size(), 23u) << X;
        ASSERT_EQ(std::strtod(S.c_str(), nullptr), std::strtod(Printf("%.*E", 14, X).c_str(), nullptr))
            << S;
    }
}

TEST(NumberTextFixed, NonFiniteAndClampedDecimals) {
    EXPECT_EQ(FloatToFixed(2, NaN), "NAN");
    EXPECT_EQ(FloatToFixed(0, Inf), "INF");
    EXPECT_EQ(FloatToFixed(3, -Inf), "-INF");
    // Decimals above 340 are cut to 340; the widest text stays whole.
    EXPECT_EQ(FloatToFixed(100000, 1.0), FloatToFixed(340, 1.0));
    EXPECT_EQ(FloatToFixed(340, 1.0).size(), 342u);
    EXPECT_EQ(FloatToFixed(INT_MAX, -1.7e308), Printf("%.*f", 340, -1.7e308));
    EXPECT_EQ(FloatToFixed(340, 5e-324).substr(0, 327), Printf("%.*f", 340, 5e-324).substr(0, 327));
}

TEST(NumberTextFixed, GroupedFixedText) {
    EXPECT_EQ(FixedToGrouped(1, 1234567.45), "1 234 567.4");
    EXPECT_EQ(FixedToGrouped(0, 100.0), "100");
    EXPECT_EQ(FixedToGrouped(7, 0.1234567), "0.123 456 7");
    EXPECT_EQ(FixedToGrouped(0, -123456.0), "-123 456");
}

TEST(NumberTextSignificant, WidensAndCutsWithoutRounding) {
    const struct { int Decimals, Digits; double X; std::string Expected; } Cases[] = {
        {1, 1, 0.01, "0.01"},
        {1, 1, 0.00047, "0.0004"},      // cut, not rounded
        {1, 1, 0.25, "0.2"},            // "0.2" is 20 % off: rebuilt, then cut
        {1, 1, -0.00047, "-0.0004"},
        {0, 1, 1.5, "1."},              // the cut falls right after the separator
        {2, 3, 0.001234, "0.00123"},
        {2, 3, 0.0012, "0.00120"},
        {1, 2, 0.099, "0.099"},
        {1, 1, 0.3, "0.3"},             // close enough: the fixed text stays
        {2, 1, 123.456, "123.46"},
        {0, 2, 12345.6, "12346"},       // off by far less than 1 %: stays rounded
        {3, 1, 0.0, "0.000"},
        {1, 1, 1e-300, "0." + std::string(299, '0') + "1"},
        // The integer part is never cut, even when it has more digits than asked.
        {-1, 16, 12345678901234568.0, "12345678901234600."},
        {1, 1, NaN, "NAN"}, {1, 1, -Inf, "-INF"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(FormatSignificant(C.Decimals, C.Digits, C.X), C.Expected)
            << C.Decimals << ' ' << C.Digits << ' ' << C.X;
}

TEST(NumberTextSignificant, ExtremeArgumentsStayBounded) {
    for (int Decimals : {INT_MIN, -1, 0, 340, INT_MAX})
        for (int Digits : {INT_MIN, -20, 0, 1, 20, INT_MAX})
            for (double X : {5e-324, -2.2250738585072014e-308, 1.7e308, -1.7e308, 0.1, 1e-5}) {
                const std::string S = FormatSignificant(Decimals, Digits, X);
                EXPECT_FALSE(S.empty());
                EXPECT_LT(S.size(), 1100u);
            }
}

TEST(NumberTextGroups, SeparatesIntegerAndFractionDigits) {
    const struct { const char* S; const char* Expected; } Cases[] = {
        {"1234567.5", "1 234 567.5"}, {"-123456", "-123 456"}, {"0.1234567", "0.123 456 7"},
        {"1.5E+003", "1.5 E+003"}, {"1.5 E+003", "1.5 E+003"}, {"2e5", "2e5"}, {"0.5e5", "0.5 e5"},
        {"123", "123"}, {"-123", "-123"}, {"1234", "1 234"}, {"-1234", "-1 234"},
        {"12345678", "12 345 678"}, {"0.1234", "0.123 4"}, {".5", ".5"}, {"", ""}, {"-", "-"},
        {"1234.", "1 234."}, {"нет1234", "нет1 234"}, {"1.2345м678", "1.234 5м678"},
    };
    for (const auto& C : Cases) EXPECT_EQ(InsertGroupSeparators(C.S), C.Expected) << C.S;
}

TEST(NumberTextGroups, LongTextsTakeLinearTime) {
    // Found by fuzzing: inserting into the text one separator at a time took
    // minutes for a megabyte of digits.
    const std::string Digits(3'000'000, '7');
    const std::string Grouped = InsertGroupSeparators(Digits + "." + Digits + "E5");
    ASSERT_EQ(Grouped.size(), 2 * (3'000'000 + 999'999) + 4);
    EXPECT_EQ(Grouped.substr(0, 9), "777 777 7");
    EXPECT_EQ(Grouped.substr(Grouped.size() - 8), "7 777 E5");
}

enum class Kind { Integer, Fixed, Real };

std::string Extract(Kind K, const std::string& S, int& Position) {
    switch (K) {
    case Kind::Integer: return ExtractInteger(S, Position);
    case Kind::Fixed: return ExtractFixed(S, Position);
    case Kind::Real: break;
    }
    return ExtractReal(S, Position);
}

TEST(NumberTextExtract, FindsTheNumberAndLeavesPositionAfterIt) {
    const struct {
        Kind K; const char* S; int Position; const char* Expected; int After;
    } Cases[] = {
        {Kind::Fixed, "Длина: 1 234.5 м", 1, "1234.5", 16},
        {Kind::Real, "Длина: 1 234.5 м", 1, "1234.5", 16},
        {Kind::Integer, "Длина: 1 234.5 м", 1, "1234", 13},
        {Kind::Real, "x=-2.5e-3;", 1, "-2.5e-3", 10},
        {Kind::Fixed, "x=-2.5e-3;", 1, "-2.5", 7},
        {Kind::Integer, "x=-2.5e-3;", 1, "-2", 5},
        {Kind::Integer, "--5", 1, "-5", 4},
        {Kind::Real, "1e5e3", 1, "1e5", 4},
        {Kind::Real, "1e5E3", 1, "1e5E3", 6},
        {Kind::Real, "1E+5", 1, "1E+5", 5},
        {Kind::Real, "1+5", 1, "1", 2},
        {Kind::Real, "1e5-3", 1, "1e5", 4},
        {Kind::Fixed, "1.2.3", 1, "1.2", 4},
        {Kind::Fixed, "a.5", 1, ".5", 4},
        {Kind::Integer, "a.5", 1, "5", 4},
        {Kind::Integer, "5-3", 1, "5", 2},
        {Kind::Integer, "- 5", 1, "5", 4},
        {Kind::Real, "1 000 000 Па", 1, "1000000", 11},
        {Kind::Real, "нет данных", 1, "", 11},
        {Kind::Real, "-", 1, "", 2},
        {Kind::Real, "", 1, "", 1},
        {Kind::Integer, "a1b22", 3, "22", 6},
        {Kind::Integer, "a1b22", 0, "1", 3},
        {Kind::Integer, "a1b22", -7, "1", 3},
        {Kind::Integer, "a1b22", 6, "", 6},
        {Kind::Integer, "a1b22", 100, "", 6},
        {Kind::Integer, "a1b22", INT_MAX, "", 6},
        {Kind::Real, "\xff\xfe" "7\xd0", 1, "7", 4},   // stray bytes count one each
        {Kind::Real, "\xe2\x82\xac" "2.5\xe2\x82\xac", 2, "2.5", 5},
    };
    for (const auto& C : Cases) {
        int Position = C.Position;
        EXPECT_EQ(Extract(C.K, C.S, Position), C.Expected) << C.S << " from " << C.Position;
        EXPECT_EQ(Position, C.After) << C.S << " from " << C.Position;
    }
}

TEST(NumberTextExtract, ReadsSuccessiveNumbers) {
    const std::string S = "t=1.5 с; v=-2 м/c";
    int Position = 1;
    EXPECT_EQ(ExtractReal(S, Position), "1.5");
    EXPECT_EQ(ExtractReal(S, Position), "-2");
    EXPECT_EQ(ExtractReal(S, Position), "");
    EXPECT_EQ(Position, 18);
}

TEST(NumberTextPrefix, ChoosesPrefixByMagnitude) {
    const struct { int Digits; double Value; const char* Expected; } Cases[] = {
        {4, 5000, "5 к"}, {4, 0.0123, "12.3 м"}, {4, 1.5e-7, "150 н"}, {4, 0.5, "500 м"},
        {2, 0.5, "0.5 "}, {4, 999000, "0.999 М"}, {4, -2500, "-2.5 к"}, {3, 1500, "1.5 к"},
        {3, 0.001, "1 м"}, {3, 2e-5, "20 мк"}, {3, 3e-11, "30 п"}, {3, 4e-14, "40 ф"},
        {3, 5e9, "5 Г"}, {3, 6e12, "6 Т"}, {3, 7e15, "7 П"}, {3, 8e18, "8 Э"},
        {3, 999.6, "1e+03 "}, {3, 123.456, "123 "}, {3, 0.1, "100 м"},
        {0, 1234, "1 к"}, {2, 99.9, "1e+02 "}, {2, 0.09, "90 м"},
        {3, 0, "0.0 "}, {3, -0.0, "0.0 "},
        {3, NaN, "NAN "}, {3, Inf, "INF "}, {3, -Inf, "-INF "},
        {3, 1.7e308, "1.7e+290 Э"}, {3, -1.7e308, "-1.7e+290 Э"}, {3, 5e-324, "4.94e-309 ф"},
        {-7, 1234.5678, "1.234 568 к"}, {-4, 1234567, "1.235 М"}, {-4, 123.25, "123.2 "},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(FormatWithPrefix(C.Digits, " ", C.Value, 0), C.Expected)
            << C.Digits << ' ' << C.Value;
    EXPECT_EQ(FormatWithPrefix(3, "", 1500, 0) + "Па", "1.5кПа");
}

TEST(NumberTextPrefix, BoundsAreTheDoublesOfTheTableConstants) {
    const struct { double Value; const char* Expected; } Cases[] = {
        {9.9999998e-13, "1e+03 ф"}, {9.9999999e-13, "1 п"},
        {9.9999998e-10, "1e+03 п"}, {9.9999999e-10, "1 н"},
        {9.9999998e-7, "1e+03 н"}, {9.9999999e-7, "1 мк"},
        {0.00099999998, "1e+03 мк"}, {0.00099999999, "1 м"},
        {0.99999998, "1e+03 м"}, {0.99999999, "1 "},
        {999.99998, "1e+03 "}, {999.99999, "1 к"},
        {998899.98, "999 к"}, {998899.99, "0.999 М"}, {999999.99, "1 М"},
        {999999989, "1e+03 М"}, {999999990, "1 Г"},
        {9.9999998e11, "1e+03 Г"}, {9.9999999e11, "1 Т"},
        {9.9999998e14, "1e+03 Т"}, {9.9999999e14, "1 П"},
        {9.9999998e17, "1e+03 П"}, {9.9999999e17, "1 Э"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(FormatWithPrefix(3, " ", C.Value, 0), C.Expected) << C.Value;
    // With fewer than three digits the choice is made for ten times the value.
    EXPECT_EQ(FormatWithPrefix(2, " ", 99.999998, 0), "1e+02 ");
    EXPECT_EQ(FormatWithPrefix(2, " ", 99.999999, 0), "0.1 к");
    EXPECT_EQ(FormatWithPrefix(-2, " ", 0.099999999, 0), "0.1 ");
}

TEST(NumberTextPrefix, ReferenceFixesThePrefix) {
    const struct { int Digits; double Value, Reference; const char* Expected; } Cases[] = {
        {3, 1000.0 * 1000, 1000, "1000 к"},   // density in g/m³ read as kg/m³
        {3, 998200, 1000, "998 к"},
        {3, 1200, 1000, "1.20 к"},
        {3, 1250.5, 1000, "1.25 к"},
        {4, 1000.0 * 1000, 1000, "1000 к"},
        {5, 1000.0 * 1000, 1000, "1000.0 к"},
        {3, 1e6, -1000, "1000 к"},            // a negative reference counts by magnitude
        {3, 1e6, NaN, "1 М"},                 // a reference that is no number is ignored
        {20, 1234.5, 1000, "1.2345 к"},       // 15 rounds without enough digits: "%g"
        {-4, 1e6, 1000, "1 000 к"},
        {3, 1e300, 1e-20, "INF ф"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(FormatWithPrefix(C.Digits, " ", C.Value, C.Reference), C.Expected)
            << C.Digits << ' ' << C.Value << ' ' << C.Reference;
}

TEST(NumberTextPrefix, NumberTextIsPrintfGeneralFormat) {
    // Without a prefix the multiplier is 1: the text is exactly printf's.
    std::mt19937_64 Gen(7);
    std::uniform_real_distribution<double> Plain(-999.9, 999.9);
    for (int i = 0; i < 20000; ++i) {
        const double X = Plain(Gen);
        if (std::fabs(X) < 1) continue;
        for (int Digits : {3, 4, 8, 17, 40})
            ASSERT_EQ(FormatWithPrefix(Digits, "", X, 0), Printf("%.*g", Digits, X)) << X;
    }
}

}  // namespace
