#include "text/Profile.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>
#include <utility>

#include "text/AtomicWrite.h"
#include "text/Utf8Text.h"

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

constexpr char32_t Replacement = 0xFFFD;

void AppendUtf8(std::string& Out, char32_t C)
{
    auto Byte = [&Out](char32_t B) { Out += static_cast<char>(B); };
    if (C < 0x80) {
        Byte(C);
    } else if (C < 0x800) {
        Byte(0xC0 | (C >> 6));
        Byte(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Byte(0xE0 | (C >> 12));
        Byte(0x80 | ((C >> 6) & 0x3F));
        Byte(0x80 | (C & 0x3F));
    } else {
        Byte(0xF0 | (C >> 18));
        Byte(0x80 | ((C >> 12) & 0x3F));
        Byte(0x80 | ((C >> 6) & 0x3F));
        Byte(0x80 | (C & 0x3F));
    }
}

// The code unit I of UTF-16 bytes; a last odd byte is no code unit and reads
// as U+FFFD.
char32_t Utf16Unit(std::string_view Bytes, std::size_t I, bool BigEndian)
{
    if (2 * I + 1 >= Bytes.size())
        return Replacement;
    const auto First = static_cast<unsigned char>(Bytes[2 * I]);
    const auto Second = static_cast<unsigned char>(Bytes[2 * I + 1]);
    return BigEndian ? (char32_t(First) << 8 | Second) : (char32_t(Second) << 8 | First);
}

std::size_t Utf16Units(std::string_view Bytes)
{
    return (Bytes.size() + 1) / 2;
}

std::string DecodeUtf16(std::string_view Bytes, bool BigEndian)
{
    std::string Out;
    Out.reserve(Bytes.size());
    const std::size_t Count = Utf16Units(Bytes);
    for (std::size_t I = 0; I < Count; ++I) {
        char32_t C = Utf16Unit(Bytes, I, BigEndian);
        if (C >= 0xD800 && C <= 0xDBFF && I + 1 < Count) {
            const char32_t Low = Utf16Unit(Bytes, I + 1, BigEndian);
            if (Low >= 0xDC00 && Low <= 0xDFFF) {
                C = 0x10000 + ((C - 0xD800) << 10) + (Low - 0xDC00);
                ++I;
            }
        }
        if (C >= 0xD800 && C <= 0xDFFF)
            C = Replacement;
        AppendUtf8(Out, C);
    }
    return Out;
}

void AppendUtf16Unit(std::string& Out, char32_t Unit, bool BigEndian)
{
    const char High = static_cast<char>(Unit >> 8);
    const char Low = static_cast<char>(Unit & 0xFF);
    Out += BigEndian ? High : Low;
    Out += BigEndian ? Low : High;
}

// UTF-8 text as UTF-16; a byte that does not start a well-formed UTF-8
// character becomes U+FFFD.
std::string EncodeUtf16(const std::string& Text, bool BigEndian)
{
    std::string Out;
    Out.reserve(2 * Text.size());
    for (std::size_t Pos = 0; Pos < Text.size();) {
        const std::size_t Size = Utf8CharSize(Text, Pos);
        const auto Lead = static_cast<unsigned char>(Text[Pos]);
        char32_t C = Replacement;
        if (Size == 1 && Lead < 0x80) {
            C = Lead;
        } else if (Size > 1) {
            C = Lead & (0x7F >> Size);
            for (std::size_t K = 1; K < Size; ++K)
                C = (C << 6) | (static_cast<unsigned char>(Text[Pos + K]) & 0x3F);
        }
        if (C >= 0x10000) {
            AppendUtf16Unit(Out, 0xD800 + ((C - 0x10000) >> 10), BigEndian);
            AppendUtf16Unit(Out, 0xDC00 + ((C - 0x10000) & 0x3FF), BigEndian);
        } else {
            AppendUtf16Unit(Out, C, BigEndian);
        }
        Pos += Size;
    }
    return Out;
}

}  // namespace

namespace {

char AsciiLower(char C)
{
    return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C;
}

}  // namespace

std::string ProfileNameKey(std::string Name)
{
    for (char& C : Name)
        C = AsciiLower(C);
    return Name;
}

bool SameProfileName(const std::string& A, const std::string& B)
{
    if (A.size() != B.size())
        return false;
    for (std::size_t I = 0; I < A.size(); ++I)
        if (AsciiLower(A[I]) != AsciiLower(B[I]))
            return false;
    return true;
}

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

    // The text starts after the byte-order mark; a UTF-16 file is split into
    // lines by its code units and each line decoded on its own, so that its
    // bytes can be kept.
    std::size_t Start = 0;
    FByteOrderMark = false;
    FEncoding = TEncoding::Utf8;
    if (Content.compare(0, 2, "\xFF\xFE") == 0) {
        FEncoding = TEncoding::Utf16LE;
        Start = 2;
    } else if (Content.compare(0, 2, "\xFE\xFF") == 0) {
        FEncoding = TEncoding::Utf16BE;
        Start = 2;
    } else if (Content.compare(0, 3, ByteOrderMark) == 0) {
        FByteOrderMark = true;
        Start = 3;
    }
    const std::string_view Bytes = std::string_view(Content).substr(Start);
    const bool Utf16 = FEncoding != TEncoding::Utf8;
    const bool BigEndian = FEncoding == TEncoding::Utf16BE;
    const std::size_t Width = Utf16 ? 2 : 1;
    const std::size_t Count = Utf16 ? Utf16Units(Bytes) : Bytes.size();
    auto Unit = [&](std::size_t I) -> char32_t {
        return Utf16 ? Utf16Unit(Bytes, I, BigEndian) : static_cast<unsigned char>(Bytes[I]);
    };

    std::vector<TLine> Lines;
    bool EndSeen = false;
    FNewLineEnd = "\n";
    for (std::size_t I = 0; I < Count;) {
        std::size_t Stop = I;
        while (Stop < Count && Unit(Stop) != '\n' && Unit(Stop) != '\r')
            ++Stop;
        const char* End = "";
        std::size_t Next = Stop;
        if (Stop < Count) {
            const bool CrLf = Unit(Stop) == '\r' && Stop + 1 < Count && Unit(Stop + 1) == '\n';
            End = CrLf ? "\r\n" : Unit(Stop) == '\r' ? "\r" : "\n";
            Next = Stop + (CrLf ? 2 : 1);
            if (!EndSeen) {
                FNewLineEnd = End;
                EndSeen = true;
            }
        }
        const std::string_view Line = Bytes.substr(I * Width, (Stop - I) * Width);
        if (Utf16) {
            Lines.push_back(ParseLine(DecodeUtf16(Line, BigEndian), End));
            Lines.back().Raw = std::string(Line);
        } else {
            Lines.push_back(ParseLine(std::string(Line), End));
        }
        I = Next;
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
        if (FLines[I].Kind == TLineKind::Section && SameProfileName(FLines[I].Name, Section))
            return I;
    return std::string::npos;
}

std::size_t TProfile::FindValue(const std::string& Section, const std::string& Key) const
{
    bool InSection = false;
    for (std::size_t I = 0; I < FLines.size(); ++I) {
        const TLine& Line = FLines[I];
        if (Line.Kind == TLineKind::Section)
            InSection = SameProfileName(Line.Name, Section);
        else if (InSection && Line.Kind == TLineKind::Value && SameProfileName(Line.Name, Key))
            return I;
    }
    return std::string::npos;
}

void TProfile::InsertLine(std::size_t Index, std::string Text)
{
    if (Index > 0 && *FLines[Index - 1].End == '\0') {
        TLine& Last = FLines[Index - 1];
        Last.End = FNewLineEnd;
        // An odd last byte of a UTF-16 file would shift every unit after it:
        // the line is written from its text, the byte as the U+FFFD it reads.
        if (Last.Raw && Last.Raw->size() % 2 != 0)
            Last.Raw.reset();
    }
    // A lone CR in front of a line that starts with its LF would read as one
    // CR LF and swallow that line: the new line ends in CR LF then.
    const char* End = FNewLineEnd;
    if (std::string_view(End) == "\r" && Index < FLines.size() && FLines[Index].Text.empty() &&
        *FLines[Index].End == '\n')
        End = "\r\n";
    FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(Index),
                  ParseLine(std::move(Text), End));
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

std::optional<int> IntegerValue(std::string_view Text)
{
    const char* Begin = Text.data();
    const char* End = Begin + Text.size();
    if (Begin != End && *Begin == '+') {
        ++Begin;
        if (Begin != End && *Begin == '-')
            return std::nullopt;
    }
    int Value = 0;
    auto [Stop, Error] = std::from_chars(Begin, End, Value);
    if (Error != std::errc() || Stop != End)
        return std::nullopt;
    return Value;
}

int TProfile::ReadInteger(const std::string& Section, const std::string& Key, int Default)
{
    return IntegerValue(ReadString(Section, Key, "")).value_or(Default);
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
    // A UTF-16 file holds characters: a name with a stray byte would be
    // written as U+FFFD and never be found again.
    if (FEncoding != TEncoding::Utf8 && !(Utf8Valid(Section) && Utf8Valid(Key)))
        FailSave(FFileName, "a name that is not UTF-8 in a UTF-16 file");
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

std::vector<std::string> TProfile::KeyNames(const std::string& Section)
{
    Load();
    std::vector<std::string> Names;
    bool InSection = false;
    for (const TLine& Line : FLines) {
        if (Line.Kind == TLineKind::Section)
            InSection = SameProfileName(Line.Name, Section);
        else if (InSection && Line.Kind == TLineKind::Value)
            Names.push_back(Line.Name);
    }
    return Names;
}

bool TProfile::Blank()
{
    Load();
    for (const TLine& Line : FLines)
        if (Line.Text.find_first_not_of(Blanks) != std::string::npos)
            return false;
    return true;
}

std::string TProfile::Text()
{
    Load();
    if (FEncoding == TEncoding::Utf8) {
        std::string Content = FByteOrderMark ? ByteOrderMark : "";
        for (const TLine& Line : FLines) {
            Content += Line.Text;
            Content += Line.End;
        }
        return Content;
    }
    const bool BigEndian = FEncoding == TEncoding::Utf16BE;
    std::string Content = BigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const TLine& Line : FLines) {
        Content += Line.Raw ? *Line.Raw : EncodeUtf16(Line.Text, BigEndian);
        Content += EncodeUtf16(Line.End, BigEndian);
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
