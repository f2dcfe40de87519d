#pragma once
// Numbers to text and back in one fixed notation: "." as the decimal
// separator and one blank as the digit-group separator, whatever the user's
// locale. Strings are UTF-8; positions count characters, 1-based.

#include <cstdint>
#include <string>

inline constexpr char Decimal_Separator = '.';
inline constexpr char Group_Separator = ' ';
inline constexpr double No_Value = -1.71e308;           // a number field showing "no value"
inline constexpr double No_Value_Threshold = -1.7e308;  // below it: "no value"

namespace ZoNumber {
// Entries of the unit's text table.
enum class Text {
    CalcTitle,
    TapeCaption,
    AcceptButton,
    CloseButton,
    HintSeparator,
    HintDivide,
    HintMultiply,
    HintSubtract,
    HintAdd,
    HintSign,
    HintRound,
    HintSqrt,
    HintInverse,
    HintBackspace,
    HintClear,
    HintPercent,
    HintResult,
    NumberTooLong,
    OperationFailed,
    TapeStart,
    PrefixFemto,
    PrefixPico,
    PrefixNano,
    PrefixMicro,
    PrefixMilli,
    PrefixCenti,
    PrefixDeci,
    PrefixDeca,
    PrefixHecto,
    PrefixKilo,
    PrefixMega,
    PrefixGiga,
    PrefixTera,
    PrefixPeta,
    PrefixExa,
    NoValueText,
    Count_
};
// 1: Russian, any other value: English.
void Set_Language(int Language);
// The entry in the current language; Russian until Set_Language says otherwise.
const std::string& Get_Text(Text Entry);
}  // namespace ZoNumber

// Nearest integer, ties to even; saturates at the 64-bit limits, NaN gives 0.
int64_t RoundToInt64(double X);
std::string Int64ToText(int64_t X);
// Decimals > 0: fixed with that many decimals; 0: no decimals; < 0: "%E"-style
// scientific text of the runtime (" 1.00000000000000E-0003" layout, see .cpp).
// Decimals and digit counts are clamped to 0..340 (sign ignored where the
// magnitude counts). Not-a-number and infinities read "NAN", "INF", "-INF"
// (" NAN", " INF", "-INF" in the scientific layout); extraction never takes
// them for numbers.
std::string FloatToFixed(int Decimals, double X);
std::string FormatSignificant(int Decimals, int Digits, double X);
std::string InsertGroupSeparators(const std::string& S);
std::string IntToGrouped(int64_t X);
std::string FixedToGrouped(int Decimals, double X);
// The number text found in S from Position on; Position is left after it.
// Position counts characters; one below 1 starts at 1, one past the end
// finds nothing and is left at length + 1.
std::string ExtractInteger(const std::string& S, int& Position);
std::string ExtractFixed(const std::string& S, int& Position);
std::string ExtractReal(const std::string& S, int& Position);
// Value in a decimal multiple: number text + Separator + prefix ("к", "М", ...).
std::string FormatWithPrefix(int Digits, const std::string& Separator, double Value,
                             double Reference);
