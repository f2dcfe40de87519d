// Number texts read back: ExtractInteger, ExtractFixed and ExtractReal from
// several start positions, LeadingRealValue, ReadFloat, and the integer and
// boolean readers of profile files, on arbitrary text.
//
// Properties:
// - Position ends between the start and the length + 1 (in characters);
// - the number text consists of the bytes just before the new Position (group
//   blanks left out), holds only the characters its kind takes, holds a digit
//   and reads the same when extracted again;
// - ExtractReal's text always converts;
// - ReadFloat gives its default exactly when no number is found, never NaN;
// - ReadInteger accepts exactly an optional sign and decimal digits within
//   32 bits (blanks around them ignored), ReadBool is ReadInteger != 0.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

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
    int Again = 1;
    const std::string Twice = Extract(Number, Again);
    FUZZ_CHECK(Twice == Number, "%s of %s gives %s", Name, Show(Number).c_str(),
               Show(Twice).c_str());
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
        FUZZ_CHECK(LeadingRealValue(Number).has_value(), "ExtractReal text %s does not convert",
                   Show(Number).c_str());
    }

    const auto Leading = LeadingRealValue(S);
    FUZZ_CHECK(!Leading || !std::isnan(*Leading), "LeadingRealValue(%s) is NaN", Show(S).c_str());

    // The profile readers on the same text as a key's value (kept in memory:
    // the file does not exist and nothing is committed).
    TProfile Ini(fuzz::ScratchDir() + "/never-written.ini");
    Ini.WriteString("Data", "Value", S);
    const std::string Text = Ini.ReadString("Data", "Value", "");

    const double A = ReadFloat(Ini, "Data", "Value", 1.25);
    const double B = ReadFloat(Ini, "Data", "Value", -7.5);
    FUZZ_CHECK(!std::isnan(A) && !std::isnan(B), "ReadFloat(%s) is NaN", Show(Text).c_str());
    int Position = 1;
    const bool Found = !ExtractReal(Text, Position).empty();
    if (Found)
        FUZZ_CHECK(A == B || (std::isnan(A) && std::isnan(B)),
                   "ReadFloat(%s) depends on the default: %g, %g", Show(Text).c_str(), A, B);
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
