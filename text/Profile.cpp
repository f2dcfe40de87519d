#include "text/Profile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
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

// Text [From, To) of S without the blanks and tabs around it.
std::string_view Trim(std::string_view S, std::size_t From = 0,
                      std::size_t To = std::string_view::npos)
{
    if (To > S.size())
        To = S.size();
    const std::size_t First = S.find_first_not_of(Blanks, From);
    if (First == std::string_view::npos || First >= To)
        return {};
    const std::size_t Last = S.find_last_not_of(Blanks, To - 1);
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

// ----- The lines kept -----
//
// The file's bytes stay as they were read. Only section and key lines get an
// entry of eight bytes: where the line starts, whether a write gave it a new
// text, and the hash of its name, by which the lookups pass over the entries
// without reading the lines; a line whose hash matches is parsed again from
// the text to compare its name. The other lines (comments, blank lines,
// anything else) are the text between the entries and are written back as
// they stand. New lines and changed lines keep their UTF-8 text apart.

namespace {

constexpr uint32_t SectionBit = 1;  // a section line (otherwise a key line)
constexpr uint32_t WrittenBit = 2;  // a new line: Where indexes FWritten
constexpr uint32_t AtEndBit = 4;    // a new line after the end of the file's text
constexpr uint32_t ChangedBit = 8;  // a line of the file with a new text (FChanged)
constexpr int HashShift = 4;

// The hash of a name, case-blind, in the bits above the flags.
uint32_t NameHash(std::string_view Name)
{
    uint32_t Hash = 2166136261u;
    for (const char C : Name) {
        Hash ^= static_cast<unsigned char>(AsciiLower(C));
        Hash *= 16777619u;
    }
    return Hash >> HashShift;
}

}  // namespace

char32_t TProfile::Unit(std::size_t I) const
{
    if (FEncoding == TEncoding::Utf8)
        return static_cast<unsigned char>(FContent[FTextStart + I]);
    return Utf16Unit(std::string_view(FContent).substr(FTextStart), I,
                     FEncoding == TEncoding::Utf16BE);
}

std::size_t TProfile::LineStop(std::size_t Start) const
{
    if (FEncoding == TEncoding::Utf8) {
        const char* const Begin = FContent.data() + FTextStart;
        const char* const End = Begin + FUnits;
        const char* Stop =
            std::find_if(Begin + Start, End, [](char C) { return C == '\n' || C == '\r'; });
        return static_cast<std::size_t>(Stop - Begin);
    }
    std::size_t Stop = Start;
    while (Stop < FUnits && Unit(Stop) != '\n' && Unit(Stop) != '\r')
        ++Stop;
    return Stop;
}

const char* TProfile::EndAt(std::size_t Stop) const
{
    if (Stop >= FUnits)
        return "";
    if (Unit(Stop) == '\n')
        return "\n";
    return Stop + 1 < FUnits && Unit(Stop + 1) == '\n' ? "\r\n" : "\r";
}

std::size_t TProfile::LineNext(std::size_t Stop) const
{
    return Stop + std::char_traits<char>::length(EndAt(Stop));
}

std::string TProfile::UnitsText(std::size_t First, std::size_t Last) const
{
    if (FEncoding == TEncoding::Utf8)
        return FContent.substr(FTextStart + First, Last - First);
    const std::string_view Bytes = std::string_view(FContent).substr(FTextStart);
    return DecodeUtf16(Bytes.substr(2 * First, 2 * (Last - First)),
                       FEncoding == TEncoding::Utf16BE);
}

std::string_view TProfile::EntryText(const TEntry& Entry, std::string& Buffer) const
{
    if (Entry.Bits & WrittenBit)
        return FWritten[Entry.Where].Text;
    if (Entry.Bits & ChangedBit)
        return FWritten[FChanged.at(Entry.Where)].Text;
    const std::size_t Stop = LineStop(Entry.Where);
    if (FEncoding == TEncoding::Utf8)
        return std::string_view(FContent).substr(FTextStart + Entry.Where, Stop - Entry.Where);
    Buffer = UnitsText(Entry.Where, Stop);
    return Buffer;
}

TProfile::TParsed TProfile::ParseEntry(const TEntry& Entry) const
{
    std::string Buffer;
    return ParseLine(EntryText(Entry, Buffer));
}

bool TProfile::EntryNamed(const TEntry& Entry, const std::string& Name, uint32_t Hash) const
{
    return Entry.Bits >> HashShift == Hash && SameProfileName(ParseEntry(Entry).Name, Name);
}

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
        // Read in one piece of the size found, and on while the file grows
        // up to the limit.
        Content.resize(static_cast<std::size_t>(Size));
        In.read(Content.data(), static_cast<std::streamsize>(Content.size()));
        Content.resize(static_cast<std::size_t>(In.gcount()));
        if (In) {
            char Piece[4096];
            while (In.read(Piece, sizeof Piece) || In.gcount() > 0) {
                Content.append(Piece, static_cast<std::size_t>(In.gcount()));
                if (Content.size() > MaxFileSize)
                    FailRead(FFileName, "the file is larger than 64 MiB");
            }
        }
        if (In.bad())
            FailRead(FFileName, "read error");
    }

    // The text starts after the byte-order mark; a UTF-16 file is split into
    // lines by its code units.
    FByteOrderMark = false;
    FEncoding = TEncoding::Utf8;
    FTextStart = 0;
    if (Content.compare(0, 2, "\xFF\xFE") == 0) {
        FEncoding = TEncoding::Utf16LE;
        FTextStart = 2;
    } else if (Content.compare(0, 2, "\xFE\xFF") == 0) {
        FEncoding = TEncoding::Utf16BE;
        FTextStart = 2;
    } else if (Content.compare(0, 3, ByteOrderMark) == 0) {
        FByteOrderMark = true;
        FTextStart = 3;
    }
    FContent = std::move(Content);
    const std::size_t Bytes = FContent.size() - FTextStart;
    FUnits = FEncoding == TEncoding::Utf8
                 ? Bytes
                 : Utf16Units(std::string_view(FContent).substr(FTextStart));

    FEntries.clear();
    FWritten.clear();
    FChanged.clear();
    FLastEnd = "";
    FLastFromText = false;
    FNewLineEnd = "\n";
    // Room for an entry a line, taken once: growing step by step would hold
    // the old and the new array at once. Pages never written cost nothing;
    // a file of few section and key lines gives the rest back below.
    std::size_t Ends = 0;
    for (std::size_t I = 0; I < FUnits; ++I) {
        const char32_t C = FEncoding == TEncoding::Utf8
                               ? static_cast<unsigned char>(FContent[FTextStart + I])
                               : Unit(I);
        Ends += C == '\n' || C == '\r';
    }
    FEntries.reserve(Ends + 1);
    bool EndSeen = false;
    std::string Buffer;
    for (std::size_t I = 0; I < FUnits;) {
        const std::size_t Stop = LineStop(I);
        if (!EndSeen && Stop < FUnits) {
            FNewLineEnd = EndAt(Stop);
            EndSeen = true;
        }
        std::string_view Text;
        if (FEncoding == TEncoding::Utf8) {
            Text = std::string_view(FContent).substr(FTextStart + I, Stop - I);
        } else {
            Buffer = UnitsText(I, Stop);
            Text = Buffer;
        }
        const TParsed Line = ParseLine(Text);
        if (Line.Kind != TKind::Other)
            FEntries.push_back(TEntry{static_cast<uint32_t>(I),
                                      NameHash(Line.Name) << HashShift |
                                          (Line.Kind == TKind::Section ? SectionBit : 0)});
        I = LineNext(Stop);
    }
    if (FEntries.size() < FEntries.capacity() / 2)
        FEntries.shrink_to_fit();
    FLoaded = true;
}

TProfile::TParsed TProfile::ParseLine(std::string_view T)
{
    TParsed Line;
    std::size_t First = T.find_first_not_of(Blanks);
    if (First == std::string_view::npos || T[First] == ';' || T[First] == '#')
        return Line;
    if (T[First] == '[') {
        std::size_t Close = T.find(']', First + 1);
        if (Close == std::string_view::npos)
            return Line;  // not a section: kept as text
        Line.Kind = TKind::Section;
        Line.Name = Trim(T, First + 1, Close);
        return Line;
    }
    std::size_t Equal = T.find('=', First);
    if (Equal == std::string_view::npos)
        return Line;
    Line.Name = Trim(T, First, Equal);
    if (Line.Name.empty())
        return Line;
    Line.Kind = TKind::Value;
    Line.ValueStart = Equal + 1;
    return Line;
}

std::size_t TProfile::FindSection(const std::string& Section) const
{
    const uint32_t Hash = NameHash(Section);
    for (std::size_t I = 0; I < FEntries.size(); ++I)
        if ((FEntries[I].Bits & SectionBit) && EntryNamed(FEntries[I], Section, Hash))
            return I;
    return std::string::npos;
}

std::size_t TProfile::FindValue(const std::string& Section, const std::string& Key) const
{
    const uint32_t SectionHash = NameHash(Section);
    const uint32_t KeyHash = NameHash(Key);
    bool InSection = false;
    for (std::size_t I = 0; I < FEntries.size(); ++I) {
        const TEntry& Entry = FEntries[I];
        if (Entry.Bits & SectionBit)
            InSection = EntryNamed(Entry, Section, SectionHash);
        else if (InSection && EntryNamed(Entry, Key, KeyHash))
            return I;
    }
    return std::string::npos;
}

void TProfile::ChangeText(std::size_t Index, std::string Text)
{
    TEntry& Entry = FEntries[Index];
    if (Entry.Bits & WrittenBit) {
        FWritten[Entry.Where].Text = std::move(Text);
    } else if (Entry.Bits & ChangedBit) {
        FWritten[FChanged.at(Entry.Where)].Text = std::move(Text);
    } else {
        FChanged[Entry.Where] = static_cast<uint32_t>(FWritten.size());
        FWritten.push_back(TWritten{std::move(Text), ""});
        Entry.Bits |= ChangedBit;
    }
}

void TProfile::InsertLine(std::size_t Index, bool AtEnd, std::string Text)
{
    // The last line of the file's text gets a line end when a line comes
    // after it. An odd last byte of a UTF-16 file would shift every unit
    // after it: that line is written from its text, the byte as the U+FFFD
    // it reads.
    const bool AfterText = AtEnd ? std::none_of(FEntries.begin(), FEntries.end(),
                                                [](const TEntry& E) { return E.Bits & AtEndBit; })
                                 : Index > 0 && !(FEntries[Index - 1].Bits & WrittenBit) &&
                                       LineStop(FEntries[Index - 1].Where) == FUnits;
    const bool Open = FUnits > 0 && Unit(FUnits - 1) != '\n' && Unit(FUnits - 1) != '\r';
    if (AfterText && Open && *FLastEnd == '\0') {
        FLastEnd = FNewLineEnd;
        FLastFromText = FEncoding != TEncoding::Utf8 && (FContent.size() - FTextStart) % 2 != 0;
    }
    if (AtEnd)
        Index = FEntries.size();
    const bool Behind = AtEnd || (Index > 0 && (FEntries[Index - 1].Bits & AtEndBit));

    // A lone CR in front of a line that starts with its LF would read as one
    // CR LF and swallow that line: the new line ends in CR LF then. The line
    // after the new one is a line of the file's text unless a new line
    // follows in front of the text's end; it starts where the last line of
    // the file before it ends.
    const char* End = FNewLineEnd;
    const auto NewLine = [](const TEntry& E) {
        return (E.Bits & WrittenBit) && !(E.Bits & AtEndBit);
    };
    if (std::string_view(End) == "\r" && !Behind &&
        (Index == FEntries.size() || !NewLine(FEntries[Index]))) {
        std::size_t Next = 0;
        for (std::size_t J = Index; J-- > 0;)
            if (!(FEntries[J].Bits & WrittenBit)) {
                Next = LineNext(LineStop(FEntries[J].Where));
                break;
            }
        if (Next < FUnits && Unit(Next) == '\n')
            End = "\r\n";
    }

    const TParsed Line = ParseLine(Text);
    FEntries.insert(FEntries.begin() + static_cast<std::ptrdiff_t>(Index),
                    TEntry{static_cast<uint32_t>(FWritten.size()),
                           NameHash(Line.Name) << HashShift |
                               (Line.Kind == TKind::Section ? SectionBit : 0) | WrittenBit |
                               (Behind ? AtEndBit : 0)});
    FWritten.push_back(TWritten{std::move(Text), End});
}

std::string TProfile::ReadString(const std::string& Section, const std::string& Key,
                                 const std::string& Default)
{
    Load();
    const std::size_t I = FindValue(Section, Key);
    if (I == std::string::npos)
        return Default;
    std::string Buffer;
    const std::string_view Text = EntryText(FEntries[I], Buffer);
    return std::string(Trim(Text, ParseLine(Text).ValueStart));
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
    const std::size_t I = FindValue(Section, Key);
    if (I != std::string::npos) {
        std::string Buffer;
        const std::string_view Old = EntryText(FEntries[I], Buffer);
        std::string Text = std::string(Old.substr(0, ParseLine(Old).ValueStart)) + Clean;
        if (Text != Old) {
            ChangeText(I, std::move(Text));
            FModified = true;
        }
        return;
    }
    const std::size_t S = FindSection(Section);
    if (S == std::string::npos) {
        InsertLine(FEntries.size(), true, "[" + Section + "]");
        InsertLine(FEntries.size(), true, Key + "=" + Clean);
    } else {
        std::size_t After = S;
        for (std::size_t J = S + 1; J < FEntries.size() && !(FEntries[J].Bits & SectionBit); ++J)
            After = J;
        InsertLine(After + 1, false, Key + "=" + Clean);
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
    const uint32_t Hash = NameHash(Section);
    std::vector<std::string> Names;
    bool InSection = false;
    for (const TEntry& Entry : FEntries) {
        if (Entry.Bits & SectionBit)
            InSection = EntryNamed(Entry, Section, Hash);
        else if (InSection)
            Names.push_back(ParseEntry(Entry).Name);
    }
    return Names;
}

bool TProfile::Blank()
{
    Load();
    // Every line written holds a name.
    if (!FWritten.empty())
        return false;
    for (std::size_t I = 0; I < FUnits; ++I) {
        const char32_t C = Unit(I);
        if (C != ' ' && C != '\t' && C != '\r' && C != '\n')
            return false;
    }
    return true;
}

void TProfile::AppendUnits(std::string& Out, std::size_t First, std::size_t Last) const
{
    if (FEncoding == TEncoding::Utf8) {
        Out.append(FContent, FTextStart + First, Last - First);
        return;
    }
    // The last unit of an odd number of bytes is the odd byte alone.
    const std::size_t From = std::min(FContent.size(), FTextStart + 2 * First);
    Out.append(FContent, From, std::min(FContent.size(), FTextStart + 2 * Last) - From);
}

void TProfile::AppendText(std::string& Out, std::string_view Text) const
{
    if (FEncoding == TEncoding::Utf8)
        Out += Text;
    else
        Out += EncodeUtf16(std::string(Text), FEncoding == TEncoding::Utf16BE);
}

std::string TProfile::Text()
{
    Load();
    std::string Content = FEncoding == TEncoding::Utf16LE   ? "\xFF\xFE"
                          : FEncoding == TEncoding::Utf16BE ? "\xFE\xFF"
                          : FByteOrderMark                  ? ByteOrderMark
                                                            : "";
    Content.reserve(FContent.size() + FWritten.size() * 32);
    // The file's text up to Last (FUnits at most); at its end the line end its
    // last line got.
    std::size_t Done = 0;
    bool Ended = false;  // the text's end is written
    const auto Copy = [&](std::size_t Last) {
        if (Last == FUnits && FLastFromText && Done < FUnits) {
            std::size_t LastLine = FUnits;
            while (LastLine > Done && Unit(LastLine - 1) != '\n' && Unit(LastLine - 1) != '\r')
                --LastLine;
            AppendUnits(Content, Done, LastLine);
            AppendText(Content, UnitsText(LastLine, FUnits));
        } else {
            AppendUnits(Content, Done, Last);
        }
        if (Last == FUnits && !Ended) {
            AppendText(Content, FLastEnd);
            Ended = true;
        }
        Done = Last;
    };
    for (const TEntry& Entry : FEntries) {
        if (Entry.Bits & WrittenBit) {
            if (Entry.Bits & AtEndBit)
                Copy(FUnits);
            AppendText(Content, FWritten[Entry.Where].Text);
            AppendText(Content, FWritten[Entry.Where].End);
            continue;
        }
        Copy(Entry.Where);
        if (Entry.Bits & ChangedBit) {
            const std::size_t Stop = LineStop(Entry.Where);
            AppendText(Content, FWritten[FChanged.at(Entry.Where)].Text);
            Done = Stop;
        }
        Copy(LineNext(LineStop(Entry.Where)));
    }
    Copy(FUnits);
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
