#pragma once
// Numbers to text and back in one fixed notation: "." as the decimal
// separator and one blank as the digit-group separator, whatever the user's
// locale. Strings are UTF-8; positions count characters, 1-based.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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
// X with Precision significant digits (0 counts as 1; clamped to 340) in
// printf's "%.*g" layout: trailing zeros dropped, exponent "e+XX" from 1e-5
// on down and from 10^Precision on up; "NAN", "INF", "-INF" otherwise.
std::string FormatGeneral(int Precision, double X);
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
// The texts of FormatWithPrefix and FloatToFixed appended to Out, for callers
// that write many numbers into one text.
void AppendWithPrefix(std::string& Out, int Digits, std::string_view Separator, double Value,
                      double Reference = 0);
void AppendFixed(std::string& Out, int Decimals, double X);

// The same texts in pieces that need no string, for tables of many numbers.
// Room the number of PrefixedNumberText takes.
inline constexpr std::size_t PrefixedNumberRoom = 32;
// FormatWithPrefix(Digits, Separator, Value, 0) for 0 <= Digits <= 17 (others
// throw std::invalid_argument) is the number written into Number (whose
// length is returned), then Separator, then Prefix.
std::size_t PrefixedNumberText(int Digits, double Value, char* Number, std::string_view& Prefix);
// FloatToFixed(0, X) written into Text (24 bytes) for a finite X below 2^53 in
// magnitude; returns its length, or 0 (nothing written) for any other X.
std::size_t WholeNumberText(double X, char* Text);
