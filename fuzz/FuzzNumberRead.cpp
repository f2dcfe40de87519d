// Number texts read back: ExtractInteger, ExtractFixed and ExtractReal from
// several start positions, LeadingRealValue, ReadFloat, and the integer and
// boolean readers of profile files, on arbitrary text.
//
// Properties:
// - Position ends between the start and the length + 1 (in characters);
// - the number text consists of the bytes just before the new Position (group
//   blanks left out), holds only the characters its kind takes, holds a digit
//   and reads the same when extracted again;
// - the number ends where the digits end: no digit right after Position, no
//   digit, sign or point of the number left right before the text taken; a
//   decimal number written out in full is taken whole by ExtractReal;
// - ExtractReal's text, LeadingRealValue and ReadFloat give exactly the value
//   that strtod ("C" locale) gives for the leading decimal number that the
//   harness finds by its own rule (the same sign of zero, none when there is
//   none);
// - ReadFloat gives its default exactly when no number is found, never NaN;
// - ReadInteger accepts exactly an optional sign and decimal digits within
//   32 bits (blanks around them ignored), ReadBool is ReadInteger != 0.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/FuzzCommon.h"
#include "text/NumberText.h"
#include "text/Profile.h"
#include "text/ProfileFloat.h"
#include "text/Utf8Text.h"

namespace {

using fuzz::Show;

using TExtract = std::string (*)(const std::string&, int&);

bool IsDigit(char C)
{
    return C >= '0' && C <= '9';
}

std::string WithoutBlanks(const std::string& S)
{
    std::string R;
    for (char C : S)
        if (C != ' ')
            R += C;
    return R;
}

bool ReferenceLeading(std::string_view Text, double& Value, std::size_t* Length = nullptr);

void CheckExtract(const char* Name, TExtract Extract, const std::string& Allowed,
                  const std::string& S, int Start)
{
    const long long Length = static_cast<long long>(Utf8Length(S));
    int Position = Start;
    const std::string Number = Extract(S, Position);
    const long long First = Start < 1 ? 1 : Start;
    FUZZ_CHECK(Position >= 1 && Position <= Length + 1, "%s(%s, %d): Position %d, length %lld",
               Name, Show(S).c_str(), Start, Position, Length);
    FUZZ_CHECK(First > Length + 1 || Position >= First, "%s(%s, %d): Position %d went back", Name,
               Show(S).c_str(), Start, Position);
    if (Number.empty()) {
        FUZZ_CHECK(Position == Length + 1, "%s(%s, %d): nothing found, Position %d", Name,
                   Show(S).c_str(), Start, Position);
        return;
    }
    bool HasDigit = false;
    for (char C : Number) {
        FUZZ_CHECK(Allowed.find(C) != std::string::npos, "%s(%s, %d) gives %s", Name,
                   Show(S).c_str(), Start, Show(Number).c_str());
        HasDigit = HasDigit || IsDigit(C);
    }
    FUZZ_CHECK(HasDigit, "%s(%s, %d) gives %s without a digit", Name, Show(S).c_str(), Start,
               Show(Number).c_str());
    // The text taken ends right before Position.
    const std::size_t StartByte = Utf8Offset(S, static_cast<std::size_t>(First - 1));
    const std::size_t EndByte = Utf8Offset(S, static_cast<std::size_t>(Position - 1));
    FUZZ_CHECK(StartByte <= EndByte, "%s: bytes %zu..%zu", Name, StartByte, EndByte);
    const std::string Taken = WithoutBlanks(S.substr(StartByte, EndByte - StartByte));
    FUZZ_CHECK(Taken.size() >= Number.size() &&
                   Taken.compare(Taken.size() - Number.size(), Number.size(), Number) == 0,
               "%s(%s, %d) gives %s, which does not end at Position %d", Name, Show(S).c_str(),
               Start, Show(Number).c_str(), Position);
    // Nothing of the number is left on either side: no digit right after
    // Position, no digit (nor a sign or, for decimals, a point that belongs
    // to it) right before the text taken. A "-" is a sign only right before
    // a digit.
    FUZZ_CHECK(EndByte >= S.size() || !IsDigit(S[EndByte]),
               "%s(%s, %d) gives %s and stops before a digit", Name, Show(S).c_str(), Start,
               Show(Number).c_str());
    // The byte before the number's first character, group blanks inside the
    // number skipped.
    const std::string Raw = S.substr(StartByte, EndByte - StartByte);
    std::size_t At = Raw.size();
    for (std::size_t K = Number.size(); K > 0 && At > 0;)
        if (Raw[--At] != ' ')
            --K;
    if (At > 0) {
        const char Before = Raw[At - 1];
        FUZZ_CHECK(!IsDigit(Before) && (!IsDigit(Number[0]) || Before != '-') &&
                       (Allowed.find('.') == std::string::npos || Number[0] == '.' ||
                        Number[0] == '-' || Before != '.'),
                   "%s(%s, %d) gives %s, after %c", Name, Show(S).c_str(), Start,
                   Show(Number).c_str(), Before);
    }
    // A decimal number written out in full (no group blanks) is taken whole
    // by ExtractReal, its exponent included.
    std::size_t Whole = 0;
    double Ignored = 0;
    if (Allowed.find('e') != std::string::npos &&
        ReferenceLeading(std::string_view(S).substr(StartByte + At), Ignored, &Whole))
        FUZZ_CHECK(Number.compare(0, Whole, S, StartByte + At, Whole) == 0,
                   "%s(%s, %d) gives %s, not all of %s", Name, Show(S).c_str(), Start,
                   Show(Number).c_str(), Show(S.substr(StartByte + At, Whole)).c_str());
    int Again = 1;
    const std::string Twice = Extract(Number, Again);
    FUZZ_CHECK(Twice == Number, "%s of %s gives %s", Name, Show(Number).c_str(),
               Show(Twice).c_str());
}

// The longest leading decimal number of Text by its own rule (an optional
// sign, digits with at most one ".", at least one digit, an optional exponent
// "e"/"E" with an optional sign and digits), converted by strtod in the "C"
// locale; false when Text does not start with one.
bool ReferenceLeading(std::string_view Text, double& Value, std::size_t* Length)
{
    std::size_t I = 0;
    if (I < Text.size() && (Text[I] == '+' || Text[I] == '-'))
        ++I;
    std::size_t Digits = 0;
    bool Point = false;
    for (; I < Text.size(); ++I) {
        if (IsDigit(Text[I]))
            ++Digits;
        else if (Text[I] == '.' && !Point)
            Point = true;
        else
            break;
    }
    if (Digits == 0)
        return false;
    if (I < Text.size() && (Text[I] == 'e' || Text[I] == 'E')) {
        std::size_t J = I + 1;
        if (J < Text.size() && (Text[J] == '+' || Text[J] == '-'))
            ++J;
        if (J < Text.size() && IsDigit(Text[J])) {
            while (J < Text.size() && IsDigit(Text[J]))
                ++J;
            I = J;
        }
    }
    if (Length)
        *Length = I;
    const std::string Number(Text.substr(0, I));
    char* End = nullptr;
    Value = std::strtod(Number.c_str(), &End);
    FUZZ_CHECK(End == Number.c_str() + Number.size(), "strtod stops inside %s",
               Show(Number).c_str());
    return true;
}

bool SameDouble(double A, double B)
{
    return A == B && std::signbit(A) == std::signbit(B);
}

std::string Trim(const std::string& S)
{
    std::size_t First = S.find_first_not_of(" \t");
    if (First == std::string::npos)
        return {};
    std::size_t Last = S.find_last_not_of(" \t");
    return S.substr(First, Last - First + 1);
}

// The integer of Text by the reading rule, or false.
bool ReferenceInteger(const std::string& Text, long long& Value)
{
    std::size_t I = 0;
    bool Negative = false;
    if (I < Text.size() && (Text[I] == '+' || Text[I] == '-'))
        Negative = Text[I++] == '-';
    if (I == Text.size())
        return false;
    long long V = 0;
    for (; I < Text.size(); ++I) {
        if (!IsDigit(Text[I]))
            return false;
        V = V * 10 + (Text[I] - '0');
        if (V > 2147483648LL)
            return false;
    }
    Value = Negative ? -V : V;
    return Value >= -2147483648LL && Value <= 2147483647LL;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size)
{
    const std::string S(reinterpret_cast<const char*>(Data), Size);
    const int Length = static_cast<int>(Utf8Length(S));

    const int Starts[] = {-7, 0, 1, 2, 3, Length / 3, Length / 2, Length, Length + 1, Length + 5};
    for (int Start : Starts) {
        CheckExtract("ExtractInteger", ExtractInteger, "-0123456789", S, Start);
        CheckExtract("ExtractFixed", ExtractFixed, "-.0123456789", S, Start);
        CheckExtract("ExtractReal", ExtractReal, "-+.eE0123456789", S, Start);
    }
    // Every number of the text, one after another, as the readers walk it.
    for (int Position = 1, Guard = 0; Position <= Length && Guard <= Length; ++Guard) {
        int Before = Position;
        const std::string Number = ExtractReal(S, Position);
        FUZZ_CHECK(Position > Before || Number.empty(), "ExtractReal made no progress");
        if (Number.empty())
            break;
        const auto Value = LeadingRealValue(Number);
        double Want = 0;
        FUZZ_CHECK(ReferenceLeading(Number, Want) && Value && SameDouble(*Value, Want),
                   "ExtractReal text %s converts to %.17g, not %.17g", Show(Number).c_str(),
                   Value ? *Value : -0.0, Want);
    }

    // LeadingRealValue against the reference: the same number, or none.
    const auto Leading = LeadingRealValue(S);
    double LeadingWant = 0;
    const bool LeadingFound = ReferenceLeading(S, LeadingWant);
    FUZZ_CHECK(
        Leading.has_value() == LeadingFound && (!Leading || SameDouble(*Leading, LeadingWant)),
        "LeadingRealValue(%s) = %s%.17g, not %s%.17g", Show(S).c_str(), Leading ? "" : "none ",
        Leading ? *Leading : 0.0, LeadingFound ? "" : "none ", LeadingWant);

    // The profile readers on the same text as a key's value (kept in memory:
    // the file does not exist and nothing is committed).
    TProfile Ini(fuzz::ScratchDir() + "/never-written.ini");
    Ini.WriteString("Data", "Value", S);
    const std::string Text = Ini.ReadString("Data", "Value", "");

    const double A = ReadFloat(Ini, "Data", "Value", 1.25);
    const double B = ReadFloat(Ini, "Data", "Value", -7.5);
    FUZZ_CHECK(!std::isnan(A) && !std::isnan(B), "ReadFloat(%s) is NaN", Show(Text).c_str());
    int Position = 1;
    const std::string First = ExtractReal(Text, Position);
    const bool Found = !First.empty();
    double FloatWant = 0;
    if (Found)
        FUZZ_CHECK(ReferenceLeading(First, FloatWant) && SameDouble(A, FloatWant) &&
                       SameDouble(B, FloatWant),
                   "ReadFloat(%s) = %.17g, %.17g; its number %s is %.17g", Show(Text).c_str(), A, B,
                   Show(First).c_str(), FloatWant);
    else
        FUZZ_CHECK(A == 1.25 && B == -7.5, "ReadFloat(%s) found a number: %g", Show(Text).c_str(),
                   A);

    long long Want = 0;
    const bool Integer = ReferenceInteger(Trim(Text), Want);
    const int I1 = Ini.ReadInteger("Data", "Value", 12345);
    const int I2 = Ini.ReadInteger("Data", "Value", -54321);
    if (Integer)
        FUZZ_CHECK(I1 == Want && I2 == Want, "ReadInteger(%s) gives %d, not %lld",
                   Show(Text).c_str(), I1, Want);
    else
        FUZZ_CHECK(I1 == 12345 && I2 == -54321, "ReadInteger(%s) accepts %d", Show(Text).c_str(),
                   I1);
    const bool T = Ini.ReadBool("Data", "Value", true);
    const bool F = Ini.ReadBool("Data", "Value", false);
    FUZZ_CHECK(T == (Integer ? Want != 0 : true) && F == (Integer ? Want != 0 : false),
               "ReadBool(%s)", Show(Text).c_str());
    return 0;
}
