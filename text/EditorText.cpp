#include "text/EditorText.h"

#include "text/Cp1251.h"
#include "text/NumberText.h"
#include "text/Utf8Text.h"

namespace {

constexpr std::string_view Byte_Order_Mark = "\xEF\xBB\xBF";

bool Is_Continuation(unsigned char B)
{
    return B >= 0x80 && B <= 0xBF;
}

// Bytes of the sequence a lead byte starts (0: not a lead byte).
std::size_t Sequence_Length(unsigned char Lead)
{
    if (Lead >= 0xC2 && Lead <= 0xDF)
        return 2;
    if (Lead >= 0xE0 && Lead <= 0xEF)
        return 3;
    if (Lead >= 0xF0 && Lead <= 0xF4)
        return 4;
    return 0;
}

// Where a UTF-8 character cut short at the end of S begins, or S.size() when
// the last character is whole (or S does not end in the beginning of one).
std::size_t Cut_Character(std::string_view S)
{
    const std::size_t Size = S.size();
    std::size_t Start = Size;
    while (Start > 0 && Size - Start < 3 &&
           Is_Continuation(static_cast<unsigned char>(S[Start - 1])))
        --Start;
    if (Start == 0)
        return Size;
    --Start;
    const std::size_t Need = Sequence_Length(static_cast<unsigned char>(S[Start]));
    return Need > Size - Start ? Start : Size;
}

}  // namespace

TLineEnd FirstLineEnd(std::string_view Text, TLineEnd Default)
{
    const std::size_t At = Text.find_first_of("\r\n");
    if (At == std::string_view::npos)
        return Default;
    if (Text[At] == '\n')
        return TLineEnd::Lf;
    return At + 1 < Text.size() && Text[At + 1] == '\n' ? TLineEnd::CrLf : TLineEnd::Cr;
}

std::string_view LineEndText(TLineEnd LineEnd)
{
    switch (LineEnd) {
    case TLineEnd::CrLf: return "\r\n";
    case TLineEnd::Cr: return "\r";
    case TLineEnd::Lf: break;
    }
    return "\n";
}

TEditorFileText DecodeEditorFile(std::string_view Bytes, bool Cut)
{
    TEditorFileText Result;
    std::string_view Body = Bytes;
    if (Body.substr(0, Byte_Order_Mark.size()) == Byte_Order_Mark)
        Body.remove_prefix(Byte_Order_Mark.size());
    std::string Text(Body);
    if (!Utf8Valid(Text) && Cut) {
        const std::size_t Whole = Cut_Character(Text);
        if (Whole < Text.size() && Utf8Valid(Text.substr(0, Whole)))
            Text.resize(Whole);
    }
    if (Utf8Valid(Text)) {
        Result.Text = std::move(Text);
    } else {
        Result.Utf8 = false;
        Result.Text = Cp1251ToUtf8(Bytes);
    }
    Result.LineEnd = FirstLineEnd(Result.Text, TLineEnd::Lf);
    return Result;
}

std::string EncodeEditorText(std::string_view Text, TLineEnd LineEnd)
{
    if (LineEnd == TLineEnd::Lf)
        return std::string(Text);
    const std::string_view End = LineEndText(LineEnd);
    std::string Out;
    Out.reserve(Text.size() + (LineEnd == TLineEnd::CrLf ? Text.size() / 32 : 0));
    std::size_t From = 0;
    for (std::size_t At; (At = Text.find('\n', From)) != std::string_view::npos; From = At + 1) {
        Out.append(Text.substr(From, At - From));
        Out.append(End);
    }
    Out.append(Text.substr(From));
    return Out;
}

std::int64_t EditorLineCount(std::int64_t Blocks, bool LastBlockEmpty)
{
    if (Blocks <= 0)
        return 0;
    return LastBlockEmpty ? Blocks - 1 : Blocks;
}

std::int64_t EditorTextSize(std::int64_t Length, std::int64_t LineEnds, TLineEnd LineEnd)
{
    return LineEnd == TLineEnd::CrLf ? Length + LineEnds : Length;
}

std::string EditorLinesText(std::string_view Word, std::int64_t Lines)
{
    return std::string(Word) + IntToGrouped(Lines);
}

std::string EditorSizeText(std::string_view Word, std::int64_t Size, bool Modified)
{
    return (Modified ? std::string("* ") : std::string()) + std::string(Word) + IntToGrouped(Size);
}

std::string EditorSizeQuestion(std::string_view First, std::string_view Name,
                               std::string_view Middle, std::string_view Last)
{
    return std::string(First) + std::string(Name) + std::string(Middle) +
           IntToGrouped(static_cast<std::int64_t>(EditorFileLimit)) + std::string(Last);
}
