#include "text/Profile.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

#include "text/AtomicWrite.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* Blanks = " \t";
constexpr const char* ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::uintmax_t MaxFileSize = 64u << 20;

std::string Trim(const std::string& S, std::size_t From = 0, std::size_t To = std::string::npos)
{
    if (To > S.size())
        To = S.size();
    std::size_t First = S.find_first_not_of(Blanks, From);
    if (First == std::string::npos || First >= To)
        return {};
    std::size_t Last = S.find_last_not_of(Blanks, To - 1);
    return S.substr(First, Last - First + 1);
}

char AsciiLower(char C)
{
    return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C;
}

bool SameName(const std::string& A, const std::string& B)
{
    if (A.size() != B.size())
        return false;
    for (std::size_t I = 0; I < A.size(); ++I)
        if (AsciiLower(A[I]) != AsciiLower(B[I]))
            return false;
    return true;
}

std::string Reason(int Errno)
{
    return std::generic_category().message(Errno);
}

[[noreturn]] void FailRead(const std::string& FileName, const std::string& Why)
{
    throw TProfileError("Cannot read the profile file \"" + FileName + "\": " + Why);
}

[[noreturn]] void FailSave(const std::string& FileName, const std::string& Why)
{
    throw TProfileError("Cannot save the profile file \"" + FileName + "\": " + Why);
}

// A name is written only when it reads back as the same name.
void CheckNames(const std::string& FileName, const std::string& Section, const std::string& Key)
{
    auto Bad = [&](const std::string& What, const std::string& Name) {
        FailSave(FileName, "invalid " + What + " name \"" + Name + "\"");
    };
    auto Plain = [](const std::string& Name) {
        return !Name.empty() && Trim(Name) == Name &&
               Name.find_first_of("\r\n") == std::string::npos;
    };
    if (!Plain(Section) || Section.find(']') != std::string::npos)
        Bad("section", Section);
    if (!Plain(Key) || Key.find('=') != std::string::npos || Key[0] == '[' || Key[0] == ';' ||
        Key[0] == '#')
        Bad("key", Key);
}

std::string OneLine(std::string Value)
{
    for (char& C : Value)
        if (C == '\r' || C == '\n')
            C = ' ';
    return Value;
}

}  // namespace

TProfile::TProfile(std::string FileName) : FFileName(std::move(FileName)) {}

void TProfile::Load()
{
    if (FLoaded)
        return;
    if (FFileName.empty())
        FailRead(FFileName, "no file name");

    std::error_code Ec;
    fs::file_status Status = fs::status(FFileName, Ec);
    std::string Content;
    if (Status.type() != fs::file_type::not_found) {
        if (Ec)
            FailRead(FFileName, Ec.message());
        if (!fs::is_regular_file(Status))
            FailRead(FFileName, "not a regular file");
        std::uintmax_t Size = fs::file_size(FFileName, Ec);
        if (Ec)
            FailRead(FFileName, Ec.message());
        if (Size > MaxFileSize)
            FailRead(FFileName, "the file is larger than 64 MiB");
        errno = 0;
        std::ifstream In(FFileName, std::ios::binary);
        if (!In)
            FailRead(FFileName, errno ? Reason(errno) : "cannot open");
        Content.assign(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
        if (In.bad())
            FailRead(FFileName, "read error");
    }

    std::vector<TLine> Lines;
    std::size_t Pos = 0;
    FByteOrderMark = Content.compare(0, 3, ByteOrderMark) == 0;
    if (FByteOrderMark)
        Pos = 3;
    bool EndSeen = false;
    FNewLineEnd = "\n";
    while (Pos < Content.size()) {
        std::size_t NewLine = Content.find('\n', Pos);
        if (NewLine == std::string::npos) {
            Lines.push_back(ParseLine(Content.substr(Pos), ""));
            break;
        }
        std::size_t TextEnd = NewLine;
        const char* End = "\n";
        if (TextEnd > Pos && Content[TextEnd - 1] == '\r') {
            --TextEnd;
            End = "\r\n";
        }
        if (!EndSeen) {
            FNewLineEnd = End;
            EndSeen = true;
        }
        Lines.push_back(ParseLine(Content.substr(Pos, TextEnd - Pos), End));
        Pos = NewLine + 1;
    }
    FLines = std::move(Lines);
    FLoaded = true;
}

TProfile::TLine TProfile::ParseLine(std::string Text, const char* End)
{
    TLine Line;
    Line.Text = std::move(Text);
    Line.End = End;
    const std::string& T = Line.Text;
    std::size_t First = T.find_first_not_of(Blanks);
    if (First == std::string::npos || T[First] == ';' || T[First] == '#')
        return Line;
    if (T[First] == '[') {
        std::size_t Close = T.find(']', First + 1);
        if (Close == std::string::npos)
            return Line;  // not a section: kept as text
        Line.Kind = TLineKind::Section;
        Line.Name = Trim(T, First + 1, Close);
        return Line;
    }
    std::size_t Equal = T.find('=', First);
    if (Equal == std::string::npos)
        return Line;
    Line.Name = Trim(T, First, Equal);
    if (Line.Name.empty())
        return Line;
    Line.Kind = TLineKind::Value;
    Line.ValueStart = Equal + 1;
    return Line;
}

std::size_t TProfile::FindSection(const std::string& Section) const
{
    for (std::size_t I = 0; I < FLines.size(); ++I)
        if (FLines[I].Kind == TLineKind::Section && SameName(FLines[I].Name, Section))
            return I;
    return std::string::npos;
}

std::size_t TProfile::FindValue(const std::string& Section, const std::string& Key) const
{
    bool InSection = false;
    for (std::size_t I = 0; I < FLines.size(); ++I) {
        const TLine& Line = FLines[I];
        if (Line.Kind == TLineKind::Section)
            InSection = SameName(Line.Name, Section);
        else if (InSection && Line.Kind == TLineKind::Value && SameName(Line.Name, Key))
            return I;
    }
    return std::string::npos;
}

void TProfile::InsertLine(std::size_t Index, std::string Text)
{
    if (Index > 0 && *FLines[Index - 1].End == '\0')
        FLines[Index - 1].End = FNewLineEnd;
    FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(Index),
                  ParseLine(std::move(Text), FNewLineEnd));
}

std::string TProfile::ReadString(const std::string& Section, const std::string& Key,
                                 const std::string& Default)
{
    Load();
    std::size_t I = FindValue(Section, Key);
    if (I == std::string::npos)
        return Default;
    return Trim(FLines[I].Text, FLines[I].ValueStart);
}

int TProfile::ReadInteger(const std::string& Section, const std::string& Key, int Default)
{
    const std::string Text = ReadString(Section, Key, "");
    const char* Begin = Text.data();
    const char* End = Begin + Text.size();
    if (Begin != End && *Begin == '+') {
        ++Begin;
        if (Begin != End && *Begin == '-')
            return Default;
    }
    int Value = 0;
    auto [Stop, Error] = std::from_chars(Begin, End, Value);
    if (Error != std::errc() || Stop != End)
        return Default;
    return Value;
}

bool TProfile::ReadBool(const std::string& Section, const std::string& Key, bool Default)
{
    return ReadInteger(Section, Key, Default ? 1 : 0) != 0;
}

void TProfile::WriteString(const std::string& Section, const std::string& Key,
                           const std::string& Value)
{
    CheckNames(FFileName, Section, Key);
    Load();
    const std::string Clean = OneLine(Value);
    std::size_t I = FindValue(Section, Key);
    if (I != std::string::npos) {
        TLine& Line = FLines[I];
        std::string Text = Line.Text.substr(0, Line.ValueStart) + Clean;
        if (Text != Line.Text) {
            Line = ParseLine(std::move(Text), Line.End);
            FModified = true;
        }
        return;
    }
    std::size_t S = FindSection(Section);
    if (S == std::string::npos) {
        InsertLine(FLines.size(), "[" + Section + "]");
        InsertLine(FLines.size(), Key + "=" + Clean);
    } else {
        std::size_t After = S;
        for (std::size_t J = S + 1; J < FLines.size() && FLines[J].Kind != TLineKind::Section; ++J)
            if (FLines[J].Kind == TLineKind::Value)
                After = J;
        InsertLine(After + 1, Key + "=" + Clean);
    }
    FModified = true;
}

void TProfile::WriteInteger(const std::string& Section, const std::string& Key, int Value)
{
    WriteString(Section, Key, std::to_string(Value));
}

void TProfile::WriteBool(const std::string& Section, const std::string& Key, bool Value)
{
    WriteString(Section, Key, Value ? "1" : "0");
}

bool TProfile::SectionExists(const std::string& Section)
{
    Load();
    return FindSection(Section) != std::string::npos;
}

bool TProfile::ValueExists(const std::string& Section, const std::string& Key)
{
    Load();
    return FindValue(Section, Key) != std::string::npos;
}

std::string TProfile::Text()
{
    Load();
    std::string Content = FByteOrderMark ? ByteOrderMark : "";
    for (const TLine& Line : FLines) {
        Content += Line.Text;
        Content += Line.End;
    }
    return Content;
}

void TProfile::Commit()
{
    if (!FModified)
        return;
    try {
        WriteFileAtomically(FFileName, Text());
    } catch (const TAtomicWriteError& E) {
        FailSave(FFileName, E.Step() + ": " + E.Reason());
    }
    FModified = false;
}
