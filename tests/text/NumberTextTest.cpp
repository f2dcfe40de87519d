#include "text/NumberText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr int64_t Max64 = std::numeric_limits<int64_t>::max();
constexpr int64_t Min64 = std::numeric_limits<int64_t>::min();

std::string Printf(const char* Format, int Precision, double X)
{
    char Buf[2048];
    std::snprintf(Buf, sizeof Buf, Format, Precision, X);
    return Buf;
}

struct LanguageGuard {  // tests that switch the language switch it back
    ~LanguageGuard() { ZoNumber::Set_Language(1); }
};

TEST(NumberTextLanguage, RussianUntilSwitchedAndBothTablesComplete)
{
    LanguageGuard Guard;
    using ZoNumber::Text;
    EXPECT_EQ(ZoNumber::Get_Text(Text::NoValueText), "не определено");
    for (int Language : {0, 1}) {
        ZoNumber::Set_Language(Language);
        EXPECT_EQ(FormatWithPrefix(4, " ", 5000, 0), Language ? "5 к" : "5 K");
        for (int i = 0; i < static_cast<int>(Text::Count_); ++i)
            EXPECT_FALSE(ZoNumber::Get_Text(static_cast<Text>(i)).empty()) << Language << ' ' << i;
    }
}

TEST(NumberTextRound, TiesToEvenSaturatesAndNaNIsZero)
{
    const struct {
        double X;
        int64_t Expected;
    } Cases[] = {
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {-2.5, -2},
        {0.49999999999999994, 0},
        {2.5000000000000004, 3},
        {4503599627370497.0, 4503599627370497},
        {9223372036854774784.0, 9223372036854774784},  // largest double below 2^63
        {9223372036854775808.0, Max64},
        {Inf, Max64},
        {-9223372036854775808.0, Min64},
        {-1e300, Min64},
        {NaN, 0},
        {-NaN, 0},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(RoundToInt64(C.X), C.Expected) << C.X;
}

TEST(NumberTextFixed, DecimalsAndTheParameterFileLayout)
{
    const struct {
        int Decimals;
        double X;
        const char* Expected;
    } Cases[] = {
        {1, 0.25, "0.2"},
        {1, -0.04, "-0.0"},
        {0, 2.5, "2"},
        {2, 1.005, "1.00"},
        {2, NaN, "NAN"},
        {3, -Inf, "-INF"},
        // Negative decimals: the scientific layout, always 23 characters.
        {-1, 0.001, " 1.00000000000000E-0003"},
        {-1, -0.0, "-0.00000000000000E+0000"},
        {INT_MIN, 5e-324, " 4.94065645841247E-0324"},
        {-1, 1.7e308, " 1.70000000000000E+0308"},
        {-1, 9.9999999999999999e99, " 1.00000000000000E+0100"},
        {-1, NaN, " NAN"},
        {-1, Inf, " INF"},
        {-1, -Inf, "-INF"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(FloatToFixed(C.Decimals, C.X), C.Expected) << C.X;
    // Decimals above 340 are cut to 340; the widest text stays whole.
    EXPECT_EQ(FloatToFixed(INT_MAX, -1.7e308), Printf("%.*f", 340, -1.7e308));
}

TEST(NumberTextFixed, SameTextsAsPrintf)
{
    // Random bit patterns over the whole range and values of everyday size.
    std::mt19937_64 Gen(20240601);
    std::uniform_real_distribution<double> Mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> Exponent(-20, 20);
    for (int i = 0; i < 600; ++i) {
        double X = Mantissa(Gen) * std::pow(10.0, Exponent(Gen));
        if (i % 2) {
            const uint64_t Bits = Gen();
            std::memcpy(&X, &Bits, sizeof X);
            if (!std::isfinite(X))
                continue;
        }
        for (int Decimals : {0, 2, 17}) {
            ASSERT_EQ(FloatToFixed(Decimals, X), Printf("%.*f", Decimals, X)) << X;
            std::string Text = "[";
            AppendFixed(Text, Decimals, X);
            ASSERT_EQ(Text.substr(1), FloatToFixed(Decimals, X));
        }
        const std::string S = FloatToFixed(-1, X);
        ASSERT_EQ(S.size(), 23u) << X;
        ASSERT_EQ(std::strtod(S.c_str(), nullptr),
                  std::strtod(Printf("%.*E", 14, X).c_str(), nullptr))
            << S;
    }
}

// The short texts of the report and the legend are made without the
// general-purpose conversion; whatever the value, they must read as printf's.
TEST(NumberTextGeneral, SameTextsAsPrintf)
{
    std::vector<double> Values = {0.0,
                                  -0.0,
                                  0.5,
                                  1.5,
                                  2.5,
                                  -2.5,
                                  0.125,
                                  0.375,
                                  12345,
                                  12355,
                                  1.5e20,
                                  2.5e20,
                                  9.5,
                                  99.5,
                                  999.5,
                                  9.9995,
                                  99995,
                                  0.00099995,
                                  9.999999999999999e22,
                                  1e23,
                                  4503599627370495.5,
                                  1e-5,
                                  9.99999e-5,
                                  0.0001,
                                  5e-324,
                                  2.2250738585072014e-308,
                                  1.7976931348623157e308};
    // Random bit patterns over the whole range, everyday sizes around the
    // powers of ten, and binary fractions, whose decimals end: many ties.
    std::mt19937_64 Gen(20240602);
    std::uniform_real_distribution<double> Mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> Exponent(-30, 30);
    for (int I = 0; I < 20000; ++I) {
        double X = 0;
        switch (I % 4) {
        case 0: {
            const uint64_t Bits = Gen();
            std::memcpy(&X, &Bits, sizeof X);
            break;
        }
        case 1: X = Mantissa(Gen) * std::pow(10.0, Exponent(Gen)); break;
        case 2: X = std::nextafter(std::pow(10.0, Exponent(Gen)), (Gen() % 2) ? Inf : 0.0); break;
        default:
            X = std::ldexp(static_cast<double>(Gen() % (1u << 24)), -static_cast<int>(Gen() % 30));
        }
        Values.push_back(Gen() % 2 ? -X : X);
    }
    for (double X : Values) {
        if (!std::isfinite(X))
            continue;
        for (int Precision = 0; Precision <= 18; ++Precision)
            ASSERT_EQ(FormatGeneral(Precision, X), Printf("%.*g", Precision, X))
                << Precision << ' ' << X;
        ASSERT_EQ(FloatToFixed(0, X), Printf("%.*f", 0, X)) << X;
        char Whole[24];
        const std::size_t Length = WholeNumberText(X, Whole);
        if (std::fabs(X) < 0x1p53)
            ASSERT_EQ(std::string(Whole, Length), FloatToFixed(0, X));
        else
            ASSERT_EQ(Length, 0u);
    }
    char Whole[24];
    EXPECT_EQ(WholeNumberText(NaN, Whole), 0u);
    EXPECT_EQ(FormatGeneral(-3, 1234.5), "1.23e+03");  // by its magnitude
    EXPECT_EQ(FormatGeneral(4, NaN), "NAN");
    EXPECT_EQ(FormatGeneral(4, -Inf), "-INF");
}

TEST(NumberTextSignificant, WidensAndCutsWithoutRounding)
{
    const struct {
        int Decimals, Digits;
        double X;
        std::string Expected;
    } Cases[] = {
        {1, 1, 0.00047, "0.0004"},  // cut, not rounded
        {1, 1, 0.25, "0.2"},        // "0.2" is 20 % off: rebuilt, then cut
        {1, 1, -0.00047, "-0.0004"},
        {0, 1, 1.5, "1."},  // the cut falls right after the separator
        {2, 3, 0.0012, "0.00120"},
        {3, 1, 0.0, "0.000"},
        {1, 1, 0.3, "0.3"},        // close enough: the fixed text stays
        {0, 2, 12345.6, "12346"},  // off by far less than 1 %: stays rounded
        {1, 1, 1e-300, "0." + std::string(299, '0') + "1"},
        // The integer part is never cut, even when it has more digits than asked.
        {-1, 16, 12345678901234568.0, "12345678901234600."},
        {1, 1, NaN, "NAN"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(FormatSignificant(C.Decimals, C.Digits, C.X), C.Expected)
            << C.Decimals << ' ' << C.Digits << ' ' << C.X;
    for (int Decimals : {INT_MIN, -1, 340, INT_MAX})
        for (int Digits : {INT_MIN, 0, 20, INT_MAX})
            for (double X : {5e-324, -2.2250738585072014e-308, 1.7e308, 1e-5}) {
                const std::string S = FormatSignificant(Decimals, Digits, X);
                EXPECT_TRUE(!S.empty() && S.size() < 1100u)
                    << Decimals << ' ' << Digits << ' ' << X;
            }
}

TEST(NumberTextGroups, SeparatesIntegerAndFractionDigits)
{
    const struct {
        const char* S;
        const char* Expected;
    } Cases[] = {
        {"1234567.5", "1 234 567.5"},
        {"-123456", "-123 456"},
        {"0.1234567", "0.123 456 7"},
        {"1.5E+003", "1.5 E+003"},
        {"1.5 E+003", "1.5 E+003"},
        {"2e5", "2e5"},
        {"-123", "-123"},
        {".5", ".5"},
        {"", ""},
        {"-", "-"},
        {"1234.", "1 234."},
        {"нет1234", "нет1 234"},
        {"1.2345м678", "1.234 5м678"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(InsertGroupSeparators(C.S), C.Expected) << C.S;
    EXPECT_EQ(IntToGrouped(Min64), "-9 223 372 036 854 775 808");
    EXPECT_EQ(IntToGrouped(-1000), "-1 000");
    EXPECT_EQ(FixedToGrouped(1, 1234567.45), "1 234 567.4");

    // Found by fuzzing: inserting one separator at a time took minutes for a
    // megabyte of digits.
    const std::string Digits(3'000'000, '7');
    const std::string Grouped = InsertGroupSeparators(Digits + "." + Digits + "E5");
    ASSERT_EQ(Grouped.size(), 2 * (3'000'000 + 999'999) + 4);
    EXPECT_EQ(Grouped.substr(Grouped.size() - 8), "7 777 E5");
}

enum class Kind { Integer, Fixed, Real };

TEST(NumberTextExtract, FindsTheNumberAndLeavesPositionAfterIt)
{
    const struct {
        Kind K;
        const char* S;
        int Position;
        const char* Expected;
        int After;
    } Cases[] = {
        {Kind::Real, "Длина: 1 234.5 м", 1, "1234.5", 16},
        {Kind::Integer, "Длина: 1 234.5 м", 1, "1234", 13},
        {Kind::Real, "x=-2.5e-3;", 1, "-2.5e-3", 10},
        {Kind::Fixed, "x=-2.5e-3;", 1, "-2.5", 7},
        {Kind::Integer, "--5", 1, "-5", 4},
        {Kind::Real, "1e5e3", 1, "1e5", 4},
        {Kind::Real, "1e5E3", 1, "1e5E3", 6},
        {Kind::Fixed, "1.2.3", 1, "1.2", 4},
        {Kind::Fixed, "a.5", 1, ".5", 4},
        {Kind::Integer, "- 5", 1, "5", 4},
        {Kind::Real, "нет данных", 1, "", 11},
        {Kind::Real, "-", 1, "", 2},
        {Kind::Real, "", 1, "", 1},
        {Kind::Integer, "a1b22", 3, "22", 6},
        {Kind::Integer, "a1b22", -7, "1", 3},
        {Kind::Integer, "a1b22", INT_MAX, "", 6},
        {Kind::Real,
         "\xff\xfe"
         "7\xd0",
         1, "7", 4},  // stray bytes count one each
        {Kind::Real,
         "\xe2\x82\xac"
         "2.5\xe2\x82\xac",
         2, "2.5", 5},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(std::string(C.S) + " from " + std::to_string(C.Position));
        int Position = C.Position;
        const std::string Found = C.K == Kind::Integer ? ExtractInteger(C.S, Position)
                                  : C.K == Kind::Fixed ? ExtractFixed(C.S, Position)
                                                       : ExtractReal(C.S, Position);
        EXPECT_EQ(Found, C.Expected);
        EXPECT_EQ(Position, C.After);
    }
}

TEST(NumberTextPrefix, ChoosesPrefixByMagnitude)
{
    const struct {
        int Digits;
        double Value;
        const char* Expected;
    } Cases[] = {
        {4, 0.0123, "12.3 м"},
        {2, 0.5, "0.5 "},
        {4, 999000, "0.999 М"},
        {4, -2500, "-2.5 к"},
        {3, 2e-5, "20 мк"},
        {3, 8e18, "8 Э"},
        {3, 999.6, "1e+03 "},
        {3, -0.0, "0.0 "},
        {3, -Inf, "-INF "},
        {3, 1.7e308, "1.7e+290 Э"},
        {3, 5e-324, "4.94e-309 ф"},
        // Negative digits: grouped.
        {-7, 1234.5678, "1.234 568 к"},
        {-4, 1234567, "1.235 М"},
        {-4, 123.25, "123.2 "},
        // The bounds are the doubles of the table constants.
        {3, 9.9999998e-13, "1e+03 ф"},
        {3, 9.9999999e-13, "1 п"},
        {3, 999.99998, "1e+03 "},
        {3, 999.99999, "1 к"},
        {3, 998899.98, "999 к"},
        {3, 998899.99, "0.999 М"},
        {3, 9.9999998e17, "1e+03 П"},
        {3, 9.9999999e17, "1 Э"},
        // With fewer than three digits the choice is made for ten times the value.
        {2, 99.999998, "1e+02 "},
        {2, 99.999999, "0.1 к"},
        {-2, 0.099999999, "0.1 "},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(FormatWithPrefix(C.Digits, " ", C.Value, 0), C.Expected)
            << C.Digits << ' ' << C.Value;
        std::string Text = "[";
        AppendWithPrefix(Text, C.Digits, " ", C.Value);
        EXPECT_EQ(Text.substr(1), C.Expected) << C.Digits << ' ' << C.Value;
        if (C.Digits >= 0) {
            char Number[PrefixedNumberRoom];
            std::string_view Prefix;
            const std::size_t Length = PrefixedNumberText(C.Digits, C.Value, Number, Prefix);
            EXPECT_EQ(std::string(Number, Length) + " " + std::string(Prefix), C.Expected);
        }
    }
    char Room[PrefixedNumberRoom];
    std::string_view Prefix;
    EXPECT_THROW(PrefixedNumberText(18, 1, Room, Prefix), std::invalid_argument);
    EXPECT_EQ(FormatWithPrefix(3, "", 1500, 0) + "Па", "1.5кПа");
}

TEST(NumberTextPrefix, ReferenceFixesThePrefix)
{
    const struct {
        int Digits;
        double Value, Reference;
        const char* Expected;
    } Cases[] = {
        {3, 1000.0 * 1000, 1000, "1000 к"},  // density in g/m³ read as kg/m³
        {3, 1200, 1000, "1.20 к"},
        {3, 1e6, -1000, "1000 к"},       // a negative reference counts by magnitude
        {3, 1e6, NaN, "1 М"},            // a reference that is no number is ignored
        {20, 1234.5, 1000, "1.2345 к"},  // 15 rounds without enough digits: "%g"
        {-4, 1e6, 1000, "1 000 к"},
        {3, 1e300, 1e-20, "INF ф"},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(FormatWithPrefix(C.Digits, " ", C.Value, C.Reference), C.Expected)
            << C.Digits << ' ' << C.Value << ' ' << C.Reference;
        std::string Text = "[";
        AppendWithPrefix(Text, C.Digits, " ", C.Value, C.Reference);
        EXPECT_EQ(Text.substr(1), C.Expected);
    }
}

}  // namespace
