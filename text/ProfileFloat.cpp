#include "text/ProfileFloat.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "text/NumberText.h"

namespace {

bool IsDigit(char C)
{
    return C >= '0' && C <= '9';
}

// The power of ten of the leading digit of a number text that from_chars has
// found out of range ("1e999": 999, "0.001e-400": -403). Its sign tells an
// overflow from an underflow: those start beyond 1e308 and below 1e-323.
long long DecimalMagnitude(const char* P, const char* End)
{
    if (P != End && *P == '-')
        ++P;
    while (P != End && *P == '0')
        ++P;
    long long Lead = -1;
    while (P != End && IsDigit(*P)) {
        ++Lead;
        ++P;
    }
    if (P != End && *P == '.') {
        ++P;
        if (Lead < 0) {
            while (P != End && *P == '0') {
                --Lead;
                ++P;
            }
        }
        while (P != End && IsDigit(*P))
            ++P;
    }
    long long Exponent = 0;
    if (P != End && (*P == 'e' || *P == 'E')) {
        ++P;
        bool Negative = false;
        if (P != End && (*P == '+' || *P == '-'))
            Negative = *P++ == '-';
        for (; P != End && IsDigit(*P); ++P)
            if (Exponent < 1'000'000'000)
                Exponent = Exponent * 10 + (*P - '0');
        if (Negative)
            Exponent = -Exponent;
    }
    return Lead + Exponent;
}

// LeadingRealValue; Stop is left after the number text taken.
std::optional<double> LeadingReal(std::string_view Text, const char*& Stop)
{
    const char* Begin = Text.data();
    const char* End = Begin + Text.size();
    const char* Digits = Begin;
    if (Digits != End && *Digits == '+')
        Begin = ++Digits;  // from_chars takes no "+"
    else if (Digits != End && *Digits == '-')
        ++Digits;
    // Only decimal numbers: no "inf", "nan", and no "+-".
    if (Digits == End || !(IsDigit(*Digits) || *Digits == '.'))
        return std::nullopt;

    double Value = 0;
    const auto Result = std::from_chars(Begin, End, Value, std::chars_format::general);
    Stop = Result.ptr;
    if (Result.ec == std::errc())
        return Value;
    if (Result.ec != std::errc::result_out_of_range)
        return std::nullopt;
    const double Sign = *Begin == '-' ? -1.0 : 1.0;
    if (DecimalMagnitude(Begin, Stop) >= 0)
        return Sign * std::numeric_limits<double>::infinity();
    return Sign * 0.0;
}

}  // namespace

std::optional<double> LeadingRealValue(std::string_view Text)
{
    const char* Stop = nullptr;
    return LeadingReal(Text, Stop);
}

std::optional<double> WholeRealValue(std::string_view Text)
{
    const char* Stop = nullptr;
    const std::optional<double> Value = LeadingReal(Text, Stop);
    if (!Value || Stop != Text.data() + Text.size())
        return std::nullopt;
    return Value;
}

std::optional<double> RealInText(const std::string& Text)
{
    if (Text.empty())
        return std::nullopt;
    int Position = 1;
    const std::string Number = ExtractReal(Text, Position);
    if (Number.empty())
        return std::nullopt;
    return LeadingRealValue(Number);
}

double ReadFloat(TProfile& Ini, const std::string& Section, const std::string& Key, double Default)
{
    return RealInText(Ini.ReadString(Section, Key, "")).value_or(Default);
}

void WriteFloat(TProfile& Ini, const std::string& Section, const std::string& Key, double Value)
{
    Ini.WriteString(Section, Key, FloatToFixed(-1, Value));
}
