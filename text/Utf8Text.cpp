#include "text/Utf8Text.h"

#include <algorithm>

namespace {
bool IsContinuation(unsigned char C)
{
    return (C & 0xC0) == 0x80;
}
}  // namespace

std::size_t Utf8CharSize(const std::string& S, std::size_t Offset)
{
    const std::size_t Size = S.size();
    if (Offset >= Size)
        return 0;
    const auto Lead = static_cast<unsigned char>(S[Offset]);
    if (Lead < 0x80)
        return 1;

    std::size_t Need;                       // continuation bytes after the lead byte
    unsigned char Low = 0x80, High = 0xBF;  // allowed range of the second byte
    if (Lead >= 0xC2 && Lead <= 0xDF) {
        Need = 1;
    } else if (Lead >= 0xE0 && Lead <= 0xEF) {
        Need = 2;
        if (Lead == 0xE0)
            Low = 0xA0;  // no overlong forms
        else if (Lead == 0xED)
            High = 0x9F;  // no surrogates
    } else if (Lead >= 0xF0 && Lead <= 0xF4) {
        Need = 3;
        if (Lead == 0xF0)
            Low = 0x90;  // no overlong forms
        else if (Lead == 0xF4)
            High = 0x8F;  // nothing above U+10FFFF
    } else {
        return 1;  // stray continuation byte, C0, C1 or F5..FF
    }
    if (Size - Offset <= Need)
        return 1;
    const auto Second = static_cast<unsigned char>(S[Offset + 1]);
    if (Second < Low || Second > High)
        return 1;
    for (std::size_t k = 2; k <= Need; ++k)
        if (!IsContinuation(static_cast<unsigned char>(S[Offset + k])))
            return 1;
    return Need + 1;
}

std::size_t Utf8Length(const std::string& S, std::size_t First, std::size_t Last)
{
    Last = std::min(Last, S.size());
    std::size_t Count = 0;
    for (std::size_t i = First; i < Last; i += Utf8CharSize(S, i))
        ++Count;
    return Count;
}

bool Utf8Valid(const std::string& S)
{
    for (std::size_t I = 0; I < S.size();) {
        const std::size_t Size = Utf8CharSize(S, I);
        if (Size == 1 && static_cast<unsigned char>(S[I]) >= 0x80)
            return false;
        I += Size;
    }
    return true;
}

std::size_t Utf8Length(const std::string& S)
{
    // Plain ASCII text is by far the most common case: count it without decoding.
    const bool Ascii = std::all_of(S.begin(), S.end(),
                                   [](char C) { return static_cast<unsigned char>(C) < 0x80; });
    return Ascii ? S.size() : Utf8Length(S, 0, S.size());
}

std::size_t Utf8Offset(const std::string& S, std::size_t Index)
{
    std::size_t Offset = 0;
    for (; Index > 0 && Offset < S.size(); --Index)
        Offset += Utf8CharSize(S, Offset);
    return Offset;
}

std::string Pad_Left(const std::string& S, int Width)
{
    const std::size_t Wanted = static_cast<std::size_t>(std::clamp(Width, 0, Pad_Max_Width));
    const std::size_t Length = Utf8Length(S);
    if (Length >= Wanted)
        return S;
    std::string Result;
    Result.reserve(Wanted - Length + S.size());
    Result.append(Wanted - Length, ' ');
    Result.append(S);
    return Result;
}
