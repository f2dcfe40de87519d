#include "text/NumberText.h"

#include "text/Utf8Text.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

// Every number is formatted with std::to_chars, which writes exactly what
// printf writes in the "C" locale (correctly rounded from the binary value,
// exact ties to even) but never looks at the user's locale and allocates
// nothing; the decimal separator is therefore always Decimal_Separator.
//
// Texts of values that are not numbers: "NAN", "INF" and "-INF"; the
// scientific layout keeps its sign column (" NAN", " INF", "-INF").
//
// Digit counts are clamped: fixed decimals and significant digits to
// 0..Max_Digits. 340 decimals show the first digits of the smallest
// subnormal, and the longest text (1.7e308 with 340 decimals) fits the
// stack buffer below.

namespace {

constexpr int Max_Digits = 340;
constexpr std::size_t Buffer_Size = 1024;  // > 1 + 309 + 1 + 340

static_assert(Decimal_Separator == '.', "std::to_chars writes '.', the text routines rely on it");

// |D| limited to 0..Max_Digits without overflowing for INT_MIN.
int AbsDigits(int D)
{
    if (D < 0)
        return D < -Max_Digits ? Max_Digits : -D;
    return std::min(D, Max_Digits);
}

bool IsDigit(char C)
{
    return C >= '0' && C <= '9';
}

const char* NonFiniteText(double X)
{
    if (std::isnan(X))
        return "NAN";
    return std::signbit(X) ? "-INF" : "INF";
}

// ----- Short texts without the general-purpose conversion -----
//
// The report and the legend write millions of numbers with a few significant
// digits or none after the point. Their digits are found here with integer
// arithmetic, exactly as std::to_chars finds them (the binary value rounded
// to the nearest, ties to even); a number out of the reach of 128-bit
// integers goes the general way.

__extension__ typedef unsigned __int128 TUint128;

constexpr int Max_Power = 38;  // 10^38 < 2^128

constexpr std::array<TUint128, Max_Power + 1> Powers_Of_Ten = [] {
    std::array<TUint128, Max_Power + 1> Powers{};
    TUint128 Power = 1;
    for (TUint128& P : Powers) {
        P = Power;
        Power *= 10;
    }
    return Powers;
}();

int BitWidth(TUint128 X)
{
    const auto High = static_cast<uint64_t>(X >> 64);
    return High ? 128 - __builtin_clzll(High)
           : X  ? 64 - __builtin_clzll(static_cast<uint64_t>(X))
                : 0;
}

// floor(M * 2^E2 * 10^S) in Floor and how the rest compares with one half in
// Rest (-1 below, 0 equal, 1 above); false when that is out of reach.
inline bool ScaledFloor(uint64_t M, int E2, int S, uint64_t& Floor, int& Rest)
{
    TUint128 Quotient = 0;
    TUint128 Remainder = 0;
    TUint128 Divisor = 0;  // the rest is Remainder / Divisor
    if (S >= 0) {
        if (S > 22)  // M * 10^S must stay below 2^128 (M < 2^53, 10^22 < 2^74)
            return false;
        // One 64 x 64-bit multiplication while 10^S fits 64 bits.
        const TUint128 A =
            S <= 19
                ? TUint128{M} * static_cast<uint64_t>(Powers_Of_Ten[static_cast<std::size_t>(S)])
                : M * Powers_Of_Ten[static_cast<std::size_t>(S)];
        if (E2 >= 0) {
            if (BitWidth(A) + E2 > 127)
                return false;
            Quotient = A << E2;
            Rest = -1;  // nothing left over
            Floor = static_cast<uint64_t>(Quotient);
            return Quotient >> 64 == 0;
        }
        if (E2 <= -127)
            return false;
        const int Shift = -E2;
        Quotient = A >> Shift;
        Remainder = A & ((TUint128{1} << Shift) - 1);
        Divisor = TUint128{1} << Shift;
    } else {
        if (-S > Max_Power)
            return false;
        const TUint128 Power = Powers_Of_Ten[static_cast<std::size_t>(-S)];
        TUint128 Numerator = M;
        Divisor = Power;
        if (E2 >= 0) {
            if (53 + E2 > 127)
                return false;
            Numerator = TUint128{M} << E2;
        } else {
            if (BitWidth(Power) - E2 > 126)
                return false;
            Divisor = Power << -E2;
        }
        Quotient = Numerator / Divisor;
        Remainder = Numerator % Divisor;
    }
    if (Quotient >> 64 != 0)
        return false;
    Floor = static_cast<uint64_t>(Quotient);
    // Remainder < Divisor < 2^127: twice it still fits.
    const TUint128 Twice = Remainder << 1;
    Rest = Twice < Divisor ? -1 : Twice == Divisor ? 0 : 1;
    return true;
}

// The text of std::to_chars(X, general, Precision) for 0 <= Precision <= 17
// and a normal X, written into Buf (at most 24 bytes); 0 when X is out of
// reach (zero, not normal, or too large or small a scale).
std::size_t FastGeneral(char* Buf, double X, int Precision)
{
    uint64_t Bits = 0;
    std::memcpy(&Bits, &X, sizeof Bits);
    const int Biased = static_cast<int>((Bits >> 52) & 0x7FF);
    if (Precision == 0)
        Precision = 1;  // as printf has it
    if (Biased == 0 || Biased == 0x7FF || Precision < 1 || Precision > 17)
        return 0;
    const uint64_t M = (Bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
    const int E2 = Biased - 1075;  // |X| = M * 2^E2, 2^(E2 + 52) <= |X| < 2^(E2 + 53)
    // floor(k * log10(2)) for |k| < 2^11: 10^E <= |X| < 10^(E + 2).
    int E = ((E2 + 52) * 78913) >> 18;
    // Powers of ten up to 10^22 are exact doubles: one comparison settles
    // the exponent there.
    static constexpr double Exact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (E >= 0 && E < 22 && std::fabs(X) >= Exact[E + 1])
        ++E;
    const uint64_t Top = static_cast<uint64_t>(Powers_Of_Ten[static_cast<std::size_t>(Precision)]);
    uint64_t N = 0;
    int Rest = 0;
    if (!ScaledFloor(M, E2, Precision - 1 - E, N, Rest))
        return 0;
    if (N >= Top) {  // the exponent was one too small
        ++E;
        if (!ScaledFloor(M, E2, Precision - 1 - E, N, Rest) || N >= Top)
            return 0;
    }
    if (Rest > 0 || (Rest == 0 && N % 2 != 0))
        ++N;
    if (N == Top) {  // 9.99... rounded up to 10.0...
        N = Top / 10;
        ++E;
    }

    char Digits[20];
    for (int I = Precision - 1; I >= 0; --I) {
        Digits[I] = static_cast<char>('0' + N % 10);
        N /= 10;
    }
    int Last = Precision - 1;  // the last digit kept: trailing zeros go
    char* Out = Buf;
    if (Bits >> 63)
        *Out++ = '-';
    if (E >= -4 && E < Precision) {
        // Fixed notation with Precision - 1 - E decimals.
        const int Whole = E >= 0 ? E + 1 : 0;  // digits before the point
        while (Last >= Whole && Digits[Last] == '0')
            --Last;
        if (E >= 0) {
            std::memcpy(Out, Digits, static_cast<std::size_t>(Whole));
            Out += Whole;
        } else {
            *Out++ = '0';
        }
        if (Last >= Whole) {
            *Out++ = '.';
            for (int Z = E + 1; Z < 0; ++Z)
                *Out++ = '0';
            std::memcpy(Out, Digits + Whole, static_cast<std::size_t>(Last - Whole + 1));
            Out += Last - Whole + 1;
        }
    } else {
        // Scientific notation: d.ddde+XX.
        while (Last >= 1 && Digits[Last] == '0')
            --Last;
        *Out++ = Digits[0];
        if (Last >= 1) {
            *Out++ = '.';
            std::memcpy(Out, Digits + 1, static_cast<std::size_t>(Last));
            Out += Last;
        }
        *Out++ = 'e';
        *Out++ = E < 0 ? '-' : '+';
        const int Exponent = E < 0 ? -E : E;
        if (Exponent >= 100)
            *Out++ = static_cast<char>('0' + Exponent / 100);
        *Out++ = static_cast<char>('0' + Exponent / 10 % 10);
        *Out++ = static_cast<char>('0' + Exponent % 10);
    }
    return static_cast<std::size_t>(Out - Buf);
}

// The text of std::to_chars(X, fixed, 0) for |X| < 2^53, written into Buf;
// 0 for any other X.
std::size_t FastWhole(char* Buf, double X)
{
    const double Magnitude = std::fabs(X);
    if (!(Magnitude < 9007199254740992.0))  // 2^53; also NaN
        return 0;
    const double Whole = std::trunc(Magnitude);
    const double Fraction = Magnitude - Whole;  // exact below 2^53
    auto N = static_cast<uint64_t>(Whole);
    if (Fraction > 0.5 || (Fraction == 0.5 && N % 2 != 0))
        ++N;
    char* Out = Buf;
    if (std::signbit(X))
        *Out++ = '-';
    return static_cast<std::size_t>(std::to_chars(Out, Out + 24, N).ptr - Buf);
}

// printf-compatible formatting into a caller's buffer; returns the length.
std::size_t Format(char* Buf, double X, std::chars_format Style, int Precision)
{
    std::size_t Fast = 0;
    if (Style == std::chars_format::general)
        Fast = FastGeneral(Buf, X, Precision);
    else if (Style == std::chars_format::fixed && Precision == 0)
        Fast = FastWhole(Buf, X);
    if (Fast != 0)
        return Fast;
    const auto Result = std::to_chars(Buf, Buf + Buffer_Size, X, Style, Precision);
    // The buffer holds every text the clamped precisions can produce.
    return Result.ec == std::errc() ? static_cast<std::size_t>(Result.ptr - Buf) : 0;
}

// The scientific text of the parameter file: sign column, one digit, ".",
// 14 digits, "E", exponent sign and four exponent digits (23 characters).
std::string ScientificText(double X)
{
    std::string Out;
    if (!std::isfinite(X)) {
        Out = std::isnan(X) ? " NAN" : std::signbit(X) ? "-INF" : " INF";
        return Out;
    }
    char Buf[Buffer_Size];
    const std::size_t Len = Format(Buf, std::fabs(X), std::chars_format::scientific, 14);
    const std::string_view Text(Buf, Len);  // "d.dddddddddddddde+XX"
    const std::size_t E = Text.find('e');
    if (E == std::string_view::npos || E + 2 >= Len)
        return Out;  // cannot happen
    const std::string_view Exponent = Text.substr(E + 2);

    Out.reserve(23);
    Out += std::signbit(X) ? '-' : ' ';
    Out.append(Text.substr(0, E));
    Out += 'E';
    Out += Text[E + 1];
    if (Exponent.size() < 4)
        Out.append(4 - Exponent.size(), '0');
    Out.append(Exponent);
    return Out;
}

// Reads back a text written by FloatToFixed; false when it is not a finite
// number in full.
bool ReadBack(const std::string& S, double& X)
{
    const char* First = S.data();
    const char* Last = First + S.size();
    while (First != Last && *First == ' ')
        ++First;
    const auto Result = std::from_chars(First, Last, X, std::chars_format::general);
    return Result.ec == std::errc() && Result.ptr == Last && std::isfinite(X);
}

enum class NumberKind { Integer, Fixed, Real };

// The number text in S from byte Pos on; Pos is left on the first byte after
// it. Only ASCII bytes are ever taken, so Pos always ends on a character
// boundary.
std::string ExtractAt(const std::string& S, std::size_t& Pos, NumberKind Kind)
{
    const std::size_t N = S.size();
    const bool Fraction = Kind != NumberKind::Integer;
    const bool Exponent = Kind == NumberKind::Real;

    for (; Pos < N; ++Pos) {
        const char C = S[Pos];
        if (IsDigit(C))
            break;
        if ((C == '-' || (Fraction && C == Decimal_Separator)) && Pos + 1 < N &&
            IsDigit(S[Pos + 1]))
            break;
    }

    std::string R;
    bool HasSeparator = false, HasUpperE = false, HasLowerE = false;
    for (; Pos < N; ++Pos) {
        const char C = S[Pos];
        if (IsDigit(C)) {
            R += C;
        } else if (C == Group_Separator) {
            // skipped, not taken
        } else if (C == '-' && R.empty()) {
            R += C;
        } else if (Exponent && (C == '-' || C == '+') && !R.empty() &&
                   (R.back() == 'E' || R.back() == 'e')) {
            R += C;
        } else if (Fraction && C == Decimal_Separator && !HasSeparator) {
            HasSeparator = true;
            R += C;
        } else if (Exponent && C == 'E' && !HasUpperE) {
            HasUpperE = true;
            R += C;
        } else if (Exponent && C == 'e' && !HasLowerE) {
            HasLowerE = true;
            R += C;
        } else {
            break;
        }
    }
    return R;
}

// Character positions (1-based, clamped to 1..length + 1) around ExtractAt.
std::string Extract(const std::string& S, int& Position, NumberKind Kind)
{
    const std::size_t StartIndex = Position > 1 ? static_cast<std::size_t>(Position) - 1 : 0;
    std::size_t Pos = Utf8Offset(S, StartIndex);
    const std::size_t StartChar = Pos == S.size() ? Utf8Length(S) : StartIndex;
    const std::size_t Start = Pos;
    std::string Result = ExtractAt(S, Pos, Kind);
    const std::size_t After = StartChar + Utf8Length(S, Start, Pos) + 1;
    Position = static_cast<int>(std::min<std::size_t>(After, INT_MAX));
    return Result;
}

// Rebuilds the text of X from its 15-digit scientific form in plain
// notation and cuts it after Digits significant digits (never inside the
// integer part).
std::string CutScientific(int Digits, double X)
{
    char Buf[Buffer_Size];
    std::string S(Buf, Format(Buf, X, std::chars_format::scientific, 14));
    std::size_t E = S.find('e');
    if (E == std::string::npos)
        return S;
    S[E] = 'E';

    std::size_t Pos = E;
    const std::string ExponentText = ExtractAt(S, Pos, NumberKind::Integer);
    S.resize(E);  // the mantissa
    int N = 0;
    const auto Parsed =
        std::from_chars(ExponentText.data(), ExponentText.data() + ExponentText.size(), N);
    if (Parsed.ec == std::errc() && Parsed.ptr == ExponentText.data() + ExponentText.size()) {
        N = std::clamp(N, -400, 400);  // a double's exponent is within -324..308
        const std::size_t Shift = static_cast<std::size_t>(N < 0 ? -N : N);
        std::size_t P = S.find(Decimal_Separator);
        if (N < 0) {
            if (P != std::string::npos)
                S.erase(P, 1);
            const std::size_t At = !S.empty() && S[0] == '-' ? 1 : 0;
            S.insert(At, Shift, '0');
            S.insert(At + 1, 1, Decimal_Separator);
        } else if (N > 0) {
            if (P == std::string::npos)
                P = S.size();
            else
                S.erase(P, 1);
            if (S.size() < P + 1 + Shift)
                S.resize(P + 1 + Shift, '0');
            S.insert(P + Shift, 1, Decimal_Separator);
        }
    }

    // 1-based positions: I of the first significant digit, Q of the separator.
    const std::size_t FirstSignificant = S.find_first_not_of("0-.");
    const long long I = FirstSignificant == std::string::npos
                            ? static_cast<long long>(S.size()) + 1
                            : static_cast<long long>(FirstSignificant) + 1;
    const std::size_t Sep = S.find(Decimal_Separator);
    const long long Q = Sep == std::string::npos ? 0 : static_cast<long long>(Sep) + 1;
    long long K = static_cast<long long>(AbsDigits(Digits)) - 1;
    if (I < Q && Q <= I + K)
        K += 1;
    else if (Q > I + K)
        K = Q - I;
    if (static_cast<long long>(S.size()) > I + K)
        S.resize(static_cast<std::size_t>(I + K));
    return S;
}

// Prefix table: the first row whose bound r is below gives the prefix.
struct PrefixRow {
    double Bound;
    ZoNumber::Text Prefix;
    double Multiplier;
};
constexpr double No_Bound = std::numeric_limits<double>::infinity();
constexpr std::array<PrefixRow, 12> Prefix_Rows{{
    {9.9999999e-13, ZoNumber::Text::PrefixFemto, 1e15},
    {9.9999999e-10, ZoNumber::Text::PrefixPico, 1e12},
    {9.9999999e-7, ZoNumber::Text::PrefixNano, 1e9},
    {0.00099999999, ZoNumber::Text::PrefixMicro, 1e6},
    {0.99999999, ZoNumber::Text::PrefixMilli, 1e3},
    {999.99999, ZoNumber::Text::Count_, 1},         // no prefix
    {998899.99, ZoNumber::Text::PrefixKilo, 1e-3},  // deliberately below 999999.99
    {999999990, ZoNumber::Text::PrefixMega, 1e-6},
    {9.9999999e11, ZoNumber::Text::PrefixGiga, 1e-9},
    {9.9999999e14, ZoNumber::Text::PrefixTera, 1e-12},
    {9.9999999e17, ZoNumber::Text::PrefixPeta, 1e-15},
    {No_Bound, ZoNumber::Text::PrefixExa, 1e-18},
}};

const PrefixRow& ChoosePrefix(double R)
{
    for (const PrefixRow& Row : Prefix_Rows)
        if (R < Row.Bound)
            return Row;
    return Prefix_Rows.back();  // NaN
}

// Number text of x for a fixed Reference: the fewest decimals whose
// significant text has at least Digits characters (digits and sign).
std::string ReferencedText(int Digits, double X)
{
    const std::size_t Wanted = static_cast<std::size_t>(AbsDigits(Digits));
    for (int d = 0; d <= 14; ++d) {
        std::string T = FormatSignificant(d, 1, X);
        std::size_t Count = T.size();  // the text is ASCII
        if (T.find(Decimal_Separator) != std::string::npos)
            --Count;
        if (Count >= Wanted)
            return T;
    }
    char Buf[Buffer_Size];
    return std::string(Buf, Format(Buf, X, std::chars_format::general, 6));
}

}  // namespace

namespace ZoNumber {
namespace {
using Table = std::array<std::string, static_cast<std::size_t>(Text::Count_)>;

const Table& Russian()
{
    static const Table T{"Калькулятор",
                         "Контрольная лента",
                         "&Принять",
                         "&Закрыть",
                         "Десятичный разделитель",
                         "Деление",
                         "Умножение",
                         "Вычитание",
                         "Сложение",
                         "Смена знака (клавиша «_»)",
                         "Округление числа (клавиша «R»)",
                         "Квадратный корень (клавиша «S»)",
                         "Переворот дроби (клавиша «\\»)",
                         "Стирание последней цифры",
                         "Сброс числа / сброс операции",
                         "Операции с процентами",
                         "Вычислить результат",
                         "Слишком длинное число!",
                         "Ошибка операции!",
                         "Начало работы",
                         "ф",
                         "п",
                         "н",
                         "мк",
                         "м",
                         "с",
                         "д",
                         "Д",
                         "г",
                         "к",
                         "М",
                         "Г",
                         "Т",
                         "П",
                         "Э",
                         "не определено"};
    return T;
}

const Table& English()
{
    static const Table T{"Calculator",
                         "Checking tape",
                         "&Accept",
                         "&Close",
                         "Decimal separator",
                         "Division",
                         "Multiplication",
                         "Subtraction",
                         "Addition",
                         "Change sign (press «_»)",
                         "Round (press «R»)",
                         "Square root (press «S»)",
                         "Fraction rotate (press «\\»)",
                         "Erase last digit",
                         "Clear number / clear operation",
                         "Calculate percents",
                         "Calculate result (without return)",
                         "The number is too big!",
                         "Operation failed!",
                         "Calculator ON",
                         "f",
                         "p",
                         "n",
                         "u",
                         "m",
                         "s",
                         "d",
                         "D",
                         "H",
                         "K",
                         "M",
                         "G",
                         "T",
                         "P",
                         "E",
                         "no value"};
    return T;
}

std::atomic<bool> Use_English{false};
const std::string Empty_Text;
}  // namespace

void Set_Language(int Language)
{
    Use_English.store(Language != 1, std::memory_order_relaxed);
}

const std::string& Get_Text(Text Entry)
{
    const auto Index = static_cast<std::size_t>(Entry);
    const Table& T = Use_English.load(std::memory_order_relaxed) ? English() : Russian();
    return Index < T.size() ? T[Index] : Empty_Text;
}
}  // namespace ZoNumber

int64_t RoundToInt64(double X)
{
    constexpr double Two63 = 9223372036854775808.0;  // 2^63
    if (std::isnan(X))
        return 0;
    if (X >= Two63)
        return std::numeric_limits<int64_t>::max();
    if (X <= -Two63)
        return std::numeric_limits<int64_t>::min();
    // Ties to even without depending on the current rounding mode; from 2^52
    // on every double is a whole number already.
    double T = std::trunc(X);
    const double Fraction = std::fabs(X - T);
    const double Step = X < 0 ? -1.0 : 1.0;
    if (Fraction > 0.5 || (Fraction == 0.5 && std::fmod(T, 2.0) != 0))
        T += Step;
    return static_cast<int64_t>(T);
}

std::string Int64ToText(int64_t X)
{
    char Buf[24];
    const auto Result = std::to_chars(Buf, Buf + sizeof Buf, X);
    return std::string(Buf, Result.ptr);
}

std::string FloatToFixed(int Decimals, double X)
{
    if (Decimals < 0)
        return ScientificText(X);
    if (!std::isfinite(X))
        return NonFiniteText(X);
    char Buf[Buffer_Size];
    return std::string(Buf,
                       Format(Buf, X, std::chars_format::fixed, std::min(Decimals, Max_Digits)));
}

std::string FormatGeneral(int Precision, double X)
{
    if (!std::isfinite(X))
        return NonFiniteText(X);
    char Buf[Buffer_Size];
    return std::string(Buf, Format(Buf, X, std::chars_format::general, AbsDigits(Precision)));
}

std::string FormatSignificant(int Decimals, int Digits, double X)
{
    std::string S = FloatToFixed(Decimals, X);
    if (!std::isfinite(X))
        return S;
    const double Tolerance = std::fabs(X) * std::pow(10.0, -AbsDigits(Digits));
    double Back = 0;
    if (ReadBack(S, Back) && std::fabs(Back - X) > Tolerance)
        S = CutScientific(Digits, X);
    return S;
}

std::string InsertGroupSeparators(const std::string& S)
{
    // Built in one pass (inserting into S would take quadratic time on long
    // texts). P: index of the separator, or the length when there is none.
    const std::size_t N = S.size();
    const std::size_t P = std::min(S.find(Decimal_Separator), N);

    // Integer part: the run of digits right before P gets a separator before
    // every digit 3, 6, 9, ... places left of P; never at the first character
    // or right after the sign.
    std::size_t First = P;
    while (First > 0 && IsDigit(S[First - 1]))
        --First;
    std::string R;
    R.reserve(N + N / 3 + 2);
    R.append(S, 0, First);
    for (std::size_t j = First; j < P; ++j) {
        if ((P - j) % 3 == 0 && j >= 1 && S[j - 1] != '-')
            R += Group_Separator;
        R += S[j];
    }
    if (P == N)
        return R;
    R += S[P];

    // Fraction: a separator before the digits 4, 7, 10, ... places after the
    // decimal separator; a blank before an exponent letter; stop at any
    // other character.
    std::size_t i = P + 1;
    for (; i < N; ++i) {
        const char C = S[i];
        if (C == 'E' || C == 'e') {
            if (S[i - 1] != ' ')
                R += ' ';
            break;
        }
        if (!IsDigit(C))
            break;
        const std::size_t Place = i - P;
        if (Place >= 4 && (Place - 1) % 3 == 0)
            R += Group_Separator;
        R += C;
    }
    R.append(S, i, std::string::npos);
    return R;
}

std::string IntToGrouped(int64_t X)
{
    return InsertGroupSeparators(Int64ToText(X));
}

std::string FixedToGrouped(int Decimals, double X)
{
    return InsertGroupSeparators(FloatToFixed(Decimals, X));
}

std::string ExtractInteger(const std::string& S, int& Position)
{
    return Extract(S, Position, NumberKind::Integer);
}

std::string ExtractFixed(const std::string& S, int& Position)
{
    return Extract(S, Position, NumberKind::Fixed);
}

std::string ExtractReal(const std::string& S, int& Position)
{
    return Extract(S, Position, NumberKind::Real);
}

std::size_t PrefixedNumberText(int Digits, double Value, char* Number, std::string_view& Prefix)
{
    if (Digits < 0 || Digits > 17)
        throw std::invalid_argument("PrefixedNumberText: digits out of range");
    Prefix = {};
    const char* Text = nullptr;
    if (Value == 0 || !std::isfinite(Value)) {
        Text = Value == 0 ? "0.0" : NonFiniteText(Value);
    } else {
        double R = std::fabs(Value);
        if (Digits < 3)
            R *= 10;
        const PrefixRow& Row = ChoosePrefix(R);
        if (Row.Prefix != ZoNumber::Text::Count_)
            Prefix = ZoNumber::Get_Text(Row.Prefix);
        const double X = Value * Row.Multiplier;
        if (!std::isfinite(X)) {  // a huge value against a tiny reference
            Text = NonFiniteText(X);
        } else {
            std::size_t Length = FastGeneral(Number, X, Digits);
            if (Length == 0) {
                char Buf[Buffer_Size];
                Length = Format(Buf, X, std::chars_format::general, Digits);
                std::memcpy(Number, Buf, std::min(Length, PrefixedNumberRoom));
            }
            return Length;
        }
    }
    const std::size_t Length = std::char_traits<char>::length(Text);
    std::memcpy(Number, Text, Length);
    return Length;
}

void AppendWithPrefix(std::string& Out, int Digits, std::string_view Separator, double Value,
                      double Reference)
{
    // A reference that is not a number is no reference.
    if (!std::isfinite(Reference))
        Reference = 0;
    if (Reference == 0 && Digits >= 0 && Digits <= 17) {
        char Number[PrefixedNumberRoom];
        std::string_view Prefix;
        Out.append(Number, PrefixedNumberText(Digits, Value, Number, Prefix));
        Out += Separator;
        Out += Prefix;
        return;
    }
    if (Value == 0 || !std::isfinite(Value)) {
        Out += Value == 0 ? "0.0" : NonFiniteText(Value);
        Out += Separator;
        return;
    }
    // A negative reference chooses by its magnitude, as a negative value does.
    const int D = AbsDigits(Digits);
    double R = Reference != 0 ? std::fabs(Reference) : std::fabs(Value);
    if (D < 3 && Reference == 0)
        R *= 10;
    const PrefixRow& Row = ChoosePrefix(R);
    const double X = Value * Row.Multiplier;

    char Buf[Buffer_Size];
    std::size_t Len = 0;
    std::string Referenced;
    const char* Number = Buf;
    if (!std::isfinite(X)) {  // a huge value against a tiny reference
        Number = NonFiniteText(X);
        Len = std::char_traits<char>::length(Number);
    } else if (Reference == 0) {
        Len = Format(Buf, X, std::chars_format::general, D);
    } else {
        Referenced = ReferencedText(Digits, X);
        Number = Referenced.data();
        Len = Referenced.size();
    }

    if (Digits < 0)
        Out += InsertGroupSeparators(std::string(Number, Len));
    else
        Out.append(Number, Len);
    Out += Separator;
    if (Row.Prefix != ZoNumber::Text::Count_)
        Out += ZoNumber::Get_Text(Row.Prefix);
}

std::string FormatWithPrefix(int Digits, const std::string& Separator, double Value,
                             double Reference)
{
    std::string Result;
    AppendWithPrefix(Result, Digits, Separator, Value, Reference);
    return Result;
}

std::size_t WholeNumberText(double X, char* Text)
{
    return FastWhole(Text, X);
}

void AppendFixed(std::string& Out, int Decimals, double X)
{
    if (Decimals < 0) {
        Out += ScientificText(X);
    } else if (!std::isfinite(X)) {
        Out += NonFiniteText(X);
    } else {
        char Buf[Buffer_Size];
        Out.append(Buf, Format(Buf, X, std::chars_format::fixed, std::min(Decimals, Max_Digits)));
    }
}
