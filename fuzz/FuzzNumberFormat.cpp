// Numbers to text: FloatToFixed, FormatSignificant, FormatWithPrefix,
// InsertGroupSeparators (and the grouped and padded texts built on them) on
// arbitrary doubles, digit counts and texts.
//
// Properties:
// - finite values give texts that read back close to the value: fixed texts
//   within half a unit of their last decimal, the scientific text to 15
//   digits in its 23-character layout, significant texts within the digits
//   they promise, prefixed texts within a factor of two of value / multiplier
//   and with the value's sign, and without a reference within half a unit of
//   their last significant digit (the number read back times the prefix's
//   multiplier);
// - NaN and infinities give their fixed words, never a number;
// - digit groups only add blanks;
// - Pad_Left pads to the width asked, in characters;
// - the texts found with integer arithmetic are the general conversion's:
//   FormatGeneral is std::to_chars with general notation, FloatToFixed(0) and
//   WholeNumberText its fixed one, and PrefixedNumberText, AppendWithPrefix
//   and AppendFixed give the texts of FormatWithPrefix and FloatToFixed.

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/FuzzCommon.h"
#include "text/NumberText.h"
#include "text/Utf8Text.h"

namespace {

using fuzz::Show;

std::string WithoutBlanks(const std::string& S)
{
    std::string R;
    for (char C : S)
        if (C != ' ')
            R += C;
    return R;
}

// The whole text as a number ("C" locale), or NaN.
double Back(const std::string& Text)
{
    const std::string T = WithoutBlanks(Text);
    // Decimal numbers only: strtod would also take "INF", "NAN" and hex.
    if (T.empty() || T.find_first_not_of("0123456789+-.eE") != std::string::npos)
        return std::nan("");
    char* End = nullptr;
    const double V = std::strtod(T.c_str(), &End);
    return End == T.c_str() + T.size() ? V : std::nan("");
}

// |B - X| / |X| without underflow for the smallest X.
double Relative(double B, double X)
{
    return X == 0 ? std::fabs(B) : std::fabs(B - X) / std::fabs(X);
}

double PickDouble(FuzzedDataProvider& In)
{
    static const double Special[] = {0.0,
                                     -0.0,
                                     std::numeric_limits<double>::quiet_NaN(),
                                     std::numeric_limits<double>::infinity(),
                                     -std::numeric_limits<double>::infinity(),
                                     std::numeric_limits<double>::denorm_min(),
                                     -std::numeric_limits<double>::denorm_min(),
                                     std::numeric_limits<double>::min(),
                                     std::numeric_limits<double>::max(),
                                     -std::numeric_limits<double>::max(),
                                     1.7e308,
                                     -1.7e308,
                                     -1.71e308,
                                     1e-300,
                                     0.5,
                                     0.25,
                                     999.99999,
                                     998899.99,
                                     999999.99,
                                     0.99999999,
                                     9.9999999e-13,
                                     1e15,
                                     1e16,
                                     1e19,
                                     1e22,
                                     0.1,
                                     2.5,
                                     1234567.5,
                                     4.6e-10};
    const uint8_t Kind = In.ConsumeIntegral<uint8_t>();
    if (Kind < 64)
        return Special[Kind % (sizeof Special / sizeof Special[0])];
    uint64_t Bits = In.ConsumeIntegral<uint64_t>();
    double X;
    std::memcpy(&X, &Bits, sizeof X);
    if (Kind < 160)
        return X;                                                   // any bit pattern
    return static_cast<double>(static_cast<int32_t>(Bits)) / 1024;  // short decimals
}

int PickDigits(FuzzedDataProvider& In)
{
    const uint8_t Kind = In.ConsumeIntegral<uint8_t>();
    if (Kind < 200)
        return Kind % 41 - 20;
    if (Kind < 230)
        return In.ConsumeIntegralInRange<int>(-400, 400);
    return In.ConsumeIntegral<int>();
}

// |D| within 0..340, as the routines clamp it.
int Clamped(int D)
{
    long long A = D < 0 ? -static_cast<long long>(D) : D;
    return static_cast<int>(A > 340 ? 340 : A);
}

void CheckFixed(int Decimals, double X)
{
    const std::string S = FloatToFixed(Decimals, X);
    if (std::isnan(X)) {
        FUZZ_CHECK(S == (Decimals < 0 ? " NAN" : "NAN"), "FloatToFixed(%d, NaN) = %s", Decimals,
                   S.c_str());
        return;
    }
    if (std::isinf(X)) {
        FUZZ_CHECK(WithoutBlanks(S) == (X < 0 ? "-INF" : "INF"), "FloatToFixed(%d, inf) = %s",
                   Decimals, S.c_str());
        return;
    }
    const double B = Back(S);
    FUZZ_CHECK(!std::isnan(B), "FloatToFixed(%d, %.17g) = %s does not read back", Decimals, X,
               S.c_str());
    if (Decimals < 0) {
        FUZZ_CHECK(S.size() == 23 && S[2] == '.' && S[17] == 'E', "FloatToFixed(-1, %.17g) = %s", X,
                   S.c_str());
        // 15 significant digits (a tie such as 1.000030517578125 rounds to
        // even: half a unit of the last digit, 5e-15 of the value) plus two
        // units in the last place of the double read back; the largest
        // doubles may round to infinity.
        FUZZ_CHECK(Relative(B, X) <= 5e-15 + 4.5e-16 || std::isinf(B),
                   "FloatToFixed(-1, %.17g) = %s", X, S.c_str());
    } else {
        const double Half = 0.5 * std::pow(10.0, -Clamped(Decimals));
        FUZZ_CHECK(std::fabs(B - X) <= Half * (1 + 1e-9) + std::fabs(X) * 1e-15,
                   "FloatToFixed(%d, %.17g) = %s", Decimals, X, S.c_str());
    }
}

void CheckSignificant(int Decimals, int Digits, double X)
{
    const std::string S = FormatSignificant(Decimals, Digits, X);
    if (!std::isfinite(X)) {
        FUZZ_CHECK(S == FloatToFixed(Decimals, X), "FormatSignificant of a non-number: %s",
                   S.c_str());
        return;
    }
    const double B = Back(S);
    FUZZ_CHECK(!std::isnan(B), "FormatSignificant(%d, %d, %.17g) = %s does not read back", Decimals,
               Digits, X, S.c_str());
    // Either within the tolerance of the plain text, or cut after |Digits|
    // significant digits (at most 15) of the 15-digit text.
    const int K = Clamped(Digits);
    const double Promised = std::pow(10.0, -(K < 15 ? K : 15));
    // Fifteen digits of the largest doubles round beyond the range.
    const bool Top = std::isinf(B) && std::fabs(X) >= 1.79769313486231e308;
    FUZZ_CHECK(Top || Relative(B, X) <= Promised * 10.01 ||
                   (Decimals >= 0 &&
                    std::fabs(B - X) <= 0.5 * std::pow(10.0, -Clamped(Decimals)) * (1 + 1e-9)),
               "FormatSignificant(%d, %d, %.17g) = %s", Decimals, Digits, X, S.c_str());
}

void CheckPrefix(int Digits, const std::string& Separator, double Value, double Reference)
{
    const std::string S = FormatWithPrefix(Digits, Separator, Value, Reference);
    const int Other =
        Digits == std::numeric_limits<int>::min() ? std::numeric_limits<int>::max() : -Digits;
    const std::string Grouped = FormatWithPrefix(Other, Separator, Value, Reference);
    if (Other != std::numeric_limits<int>::max())
        FUZZ_CHECK(WithoutBlanks(S) == WithoutBlanks(Grouped),
                   "FormatWithPrefix(%d) %s and grouped %s differ", Digits, Show(S).c_str(),
                   Show(Grouped).c_str());
    // Split "number + Separator + prefix" from the end: the longest prefix
    // whose split leaves a readable number (the separator may hold blanks or
    // prefix letters itself).
    static const char* const Prefixes[] = {"мк", "ф", "п", "н", "м", "к",
                                           "М",  "Г", "Т", "П", "Э", ""};
    static const double Multipliers[] = {1e6,  1e15, 1e12,  1e9,   1e3,   1e-3,
                                         1e-6, 1e-9, 1e-12, 1e-15, 1e-18, 1};
    int Row = -1;
    std::string Number, Prefix;
    for (int I = 0; I < 12 && Row < 0; ++I) {
        const std::string P = Prefixes[I];
        const std::size_t Tail = P.size() + Separator.size();
        if (S.size() < Tail || S.compare(S.size() - P.size(), P.size(), P) != 0 ||
            S.compare(S.size() - Tail, Separator.size(), Separator) != 0)
            continue;
        const std::string N = S.substr(0, S.size() - Tail);
        const std::string W = WithoutBlanks(N);
        if (!std::isnan(Back(N)) || W == "NAN" || W == "INF" || W == "-INF") {
            Row = I;
            Number = N;
            Prefix = P;
        }
    }
    FUZZ_CHECK(Row >= 0,
               "FormatWithPrefix(%d, %s, %.17g, %.17g) = %s: no number, separator, prefix", Digits,
               Show(Separator).c_str(), Value, Reference, Show(S).c_str());

    if (Value == 0) {
        FUZZ_CHECK(Number == "0.0" && Prefix.empty(), "FormatWithPrefix(0) = %s", Show(S).c_str());
        return;
    }
    if (!std::isfinite(Value)) {
        FUZZ_CHECK(Prefix.empty() && std::isnan(Back(Number)), "FormatWithPrefix(%g) = %s", Value,
                   Show(S).c_str());
        return;
    }
    const double X = Value * Multipliers[Row];
    if (!std::isfinite(X))
        return;  // a huge value against a tiny reference reads "INF"
    const double B = Back(Number);
    FUZZ_CHECK(!std::isnan(B), "FormatWithPrefix(%d, %.17g, %.17g) = %s does not read back", Digits,
               Value, Reference, Show(S).c_str());
    FUZZ_CHECK(std::fabs(B - X) <= std::fabs(X) * (1 + 1e-12) && (B == 0 || (B < 0) == (X < 0)),
               "FormatWithPrefix(%d, %.17g, %.17g) = %s, x = %.17g", Digits, Value, Reference,
               Show(S).c_str(), X);
    // Without a reference the number has |Digits| significant digits (at
    // least one): it is within half a unit of the last of them.
    if (Reference == 0 || !std::isfinite(Reference)) {
        const int D = Clamped(Digits) < 1 ? 1 : Clamped(Digits);
        // Plus two units in the last place of a double for the text's own
        // conversion at 16 and more digits.
        const double Half = 0.5 * std::pow(10.0, 1 - D) + 4.5e-16;
        FUZZ_CHECK(std::fabs(B - X) <= Half * std::fabs(X) * (1 + 1e-9),
                   "FormatWithPrefix(%d, %.17g) = %s reads %.17g, not %.17g to %d digits", Digits,
                   Value, Show(S).c_str(), B, X, D);
    }
}

void CheckConversions(int Digits, double X)
{
    const int Precision = Digits < 0 ? 0 : Digits % 20;
    if (std::isfinite(X)) {
        char Text[1100];
        const auto General =
            std::to_chars(Text, Text + sizeof Text, X, std::chars_format::general, Precision);
        FUZZ_CHECK(FormatGeneral(Precision, X) == std::string(Text, General.ptr),
                   "FormatGeneral(%d, %.17g) = %s", Precision, X,
                   FormatGeneral(Precision, X).c_str());
        const auto Whole = std::to_chars(Text, Text + sizeof Text, X, std::chars_format::fixed, 0);
        FUZZ_CHECK(FloatToFixed(0, X) == std::string(Text, Whole.ptr), "FloatToFixed(0, %.17g)", X);
        char Short[24];
        const std::size_t Length = WholeNumberText(X, Short);
        FUZZ_CHECK(std::fabs(X) < 0x1p53 ? std::string(Short, Length) == FloatToFixed(0, X)
                                         : Length == 0,
                   "WholeNumberText(%.17g)", X);
    }
    if (Digits >= 0 && Digits <= 17) {
        char Number[PrefixedNumberRoom];
        std::string_view Prefix;
        const std::size_t Length = PrefixedNumberText(Digits, X, Number, Prefix);
        FUZZ_CHECK(std::string(Number, Length) + " " + std::string(Prefix) ==
                       FormatWithPrefix(Digits, " ", X, 0),
                   "PrefixedNumberText(%d, %.17g)", Digits, X);
    }
    std::string Appended = "<";
    AppendWithPrefix(Appended, Digits, " ", X);
    AppendFixed(Appended, Digits, X);
    FUZZ_CHECK(Appended == "<" + FormatWithPrefix(Digits, " ", X, 0) + FloatToFixed(Digits, X),
               "AppendWithPrefix, AppendFixed(%d, %.17g)", Digits, X);
}

void CheckGroups(const std::string& S)
{
    const std::string G = InsertGroupSeparators(S);
    FUZZ_CHECK(WithoutBlanks(G) == WithoutBlanks(S) && G.size() <= 2 * S.size() + 1,
               "InsertGroupSeparators(%s) = %s", Show(S).c_str(), Show(G).c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size)
{
    FuzzedDataProvider In(Data, Size);
    const double X = PickDouble(In);
    const double Reference = PickDouble(In);
    const int Decimals = PickDigits(In);
    const int Digits = PickDigits(In);
    const int Width = In.ConsumeIntegralInRange<int>(-5, 2000);
    const std::string Separator = In.ConsumeRandomLengthString(8);
    const std::string Text = In.ConsumeRemainingBytesAsString();

    CheckFixed(Decimals, X);
    CheckFixed(-1, X);
    CheckSignificant(Decimals, Digits, X);
    CheckPrefix(Digits, Separator.empty() ? " " : Separator, X, 0);
    CheckPrefix(Digits, " ", X, Reference);
    CheckConversions(Digits, X);
    CheckConversions(Decimals, X);

    CheckGroups(Text);
    CheckGroups(FloatToFixed(Decimals, X));
    CheckGroups(FloatToFixed(-1, X));
    const std::string Grouped = FixedToGrouped(Decimals, X);
    FUZZ_CHECK(WithoutBlanks(Grouped) == WithoutBlanks(FloatToFixed(Decimals, X)),
               "FixedToGrouped(%d, %.17g) = %s", Decimals, X, Grouped.c_str());
    const int64_t N = RoundToInt64(X);
    FUZZ_CHECK(WithoutBlanks(IntToGrouped(N)) == Int64ToText(N), "IntToGrouped(%lld)",
               static_cast<long long>(N));
    if (std::isnan(X))
        FUZZ_CHECK(N == 0, "RoundToInt64(NaN) = %lld", static_cast<long long>(N));
    else if (std::fabs(X) < 9.2e18)
        FUZZ_CHECK(std::fabs(static_cast<double>(N) - X) <= 0.5, "RoundToInt64(%.17g) = %lld", X,
                   static_cast<long long>(N));

    const std::string Padded = Pad_Left(Text, Width);
    const std::size_t Length = Utf8Length(Text);
    const std::size_t Want = Width > 0 && static_cast<std::size_t>(Width) > Length
                                 ? static_cast<std::size_t>(Width)
                                 : Length;
    FUZZ_CHECK(Utf8Length(Padded) == Want && Padded.size() >= Text.size() &&
                   Padded.compare(Padded.size() - Text.size(), Text.size(), Text) == 0,
               "Pad_Left(%s, %d)", Show(Text).c_str(), Width);
    return 0;
}
