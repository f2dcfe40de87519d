// Profile (INI) files: arbitrary bytes as a file, a few keys written into it
// (keys of the file itself, case variants, new keys and a new section),
// committed, and read back.
//
// Properties:
// - every written key reads back as written (the last write of a name wins;
//   names match without regard to ASCII case; line breaks in a value become
//   blanks; blanks around a value are not part of it; in a UTF-16 file a
//   value that is not UTF-8 is only there);
// - every line of the input (lines end at LF, CR LF or a lone CR) is still in
//   the file, in its order: only the lines of written keys change (their text
//   up to the "=" stays), and at most two lines per write are added;
// - the committed file is the object's text, and the same writes on the
//   reloaded file give the same text again.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/FuzzCommon.h"
#include "text/Profile.h"

namespace {

using fuzz::Show;

std::string Lower(std::string S)
{
    for (char& C : S)
        if (C >= 'A' && C <= 'Z')
            C = static_cast<char>(C - 'A' + 'a');
    return S;
}

std::string Trim(const std::string& S)
{
    std::size_t First = S.find_first_not_of(" \t");
    if (First == std::string::npos)
        return {};
    std::size_t Last = S.find_last_not_of(" \t");
    return S.substr(First, Last - First + 1);
}

// Lines without their ends, as the reader splits them: a line ends at LF, at
// CR LF or at a CR alone. A last line without a line end is a line too.
std::vector<std::string> SplitLines(const std::string& Text)
{
    std::vector<std::string> Lines;
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
        const std::size_t End = Text.find_first_of("\r\n", Pos);
        if (End == std::string::npos) {
            Lines.push_back(Text.substr(Pos));
            break;
        }
        Lines.push_back(Text.substr(Pos, End - Pos));
        Pos = End + (Text.compare(End, 2, "\r\n") == 0 ? 2 : 1);
    }
    return Lines;
}

// Section and key names of the input's value lines, roughly as a reader
// sees them (the harness only uses them to pick names worth writing).
std::vector<std::pair<std::string, std::string>> KeysOf(const std::vector<std::string>& Lines)
{
    std::vector<std::pair<std::string, std::string>> Keys;
    std::string Section;
    for (std::string Line : Lines) {
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        std::string T = Trim(Line);
        if (T.empty() || T[0] == ';' || T[0] == '#')
            continue;
        if (T[0] == '[') {
            std::size_t Close = T.find(']');
            if (Close != std::string::npos)
                Section = Trim(T.substr(1, Close - 1));
            continue;
        }
        std::size_t Equal = T.find('=');
        if (Equal == std::string::npos || Section.empty())
            continue;
        std::string Key = Trim(T.substr(0, Equal));
        if (!Key.empty())
            Keys.emplace_back(Section, Key);
    }
    return Keys;
}

struct TWrite {
    std::string Section, Key, Value;
};

std::string OneLine(std::string Value)
{
    for (char& C : Value)
        if (C == '\r' || C == '\n')
            C = ' ';
    return Value;
}

// Applies the writes; returns the ones that were accepted. A name that would
// not read back is refused with TProfileError, which is a clean answer.
std::vector<TWrite> Apply(TProfile& Ini, const std::vector<TWrite>& Writes)
{
    std::vector<TWrite> Done;
    for (const TWrite& W : Writes) {
        try {
            Ini.WriteString(W.Section, W.Key, W.Value);
            Done.push_back(W);
        } catch (const TProfileError&) {}
    }
    return Done;
}

void WriteFile(const std::string& Name, const std::string& Content)
{
    std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
    Out.write(Content.data(), static_cast<std::streamsize>(Content.size()));
    FUZZ_CHECK(Out.good(), "cannot write the scratch file %s", Name.c_str());
}

std::string ReadFile(const std::string& Name)
{
    std::ifstream In(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size)
{
    const std::string Input(reinterpret_cast<const char*>(Data), Size);
    const std::string FileName = fuzz::ScratchDir() + "/case.ini";
    WriteFile(FileName, Input);

    // The byte-order mark is not part of the first line.
    const std::string Mark = "\xEF\xBB\xBF";
    const bool Utf16 = Input.compare(0, 2, "\xFF\xFE") == 0 || Input.compare(0, 2, "\xFE\xFF") == 0;
    const bool HasMark = Input.compare(0, 3, Mark) == 0;
    const std::vector<std::string> InLines = SplitLines(HasMark ? Input.substr(3) : Input);
    const auto Keys = KeysOf(InLines);

    // Values: plain, padded, with "=" and ";", with line breaks, empty, and a
    // slice of the input itself.
    std::uint32_t Hash = 2166136261u;
    for (unsigned char C : Input)
        Hash = (Hash ^ C) * 16777619u;
    const std::string Slice = Input.substr(Hash % (Size + 1), 40);
    const std::vector<std::string> Values = {
        "1",   "  padded value\t",       "a=b;c#d", "two\r\nlines", "", Slice,
        "[x]", " 1.00000000000000E-0003"};
    auto Value = [&](unsigned I) { return Values[(Hash >> (3 * I)) % Values.size()]; };

    std::vector<TWrite> Writes;
    if (!Keys.empty()) {
        const auto& First = Keys.front();
        const auto& Last = Keys.back();
        const auto& Middle = Keys[Keys.size() / 2];
        Writes.push_back({First.first, First.second, Value(0)});
        Writes.push_back({Middle.first, Middle.second, Value(1)});
        Writes.push_back({Last.first, Last.second, Value(2)});
        // The same key again with other letter case: changes the same line.
        std::string Upper = First.second;
        for (char& C : Upper)
            if (C >= 'a' && C <= 'z')
                C = static_cast<char>(C - 'a' + 'A');
        Writes.push_back({Lower(First.first), Upper, Value(3)});
        // A new key in an existing section.
        Writes.push_back({Middle.first, "FuzzNewKey", Value(4)});
    }
    Writes.push_back({"Data", "Step", Value(5)});
    Writes.push_back({"FuzzNewSection", "Key", Value(6)});
    Writes.push_back({Slice, Slice, Value(7)});  // names of arbitrary bytes

    std::vector<TWrite> Done;
    std::string Committed;
    {
        TProfile Ini(FileName);
        // Reads before writes must not disturb anything.
        for (std::size_t I = 0; I < Keys.size() && I < 64; ++I)
            (void)Ini.ReadString(Keys[I].first, Keys[I].second, "");
        Done = Apply(Ini, Writes);
        Committed = Ini.Text();
        Ini.Commit();
        FUZZ_CHECK(!Ini.Modified(), "Modified() after Commit()");
    }
    const std::string OnDisk = ReadFile(FileName);
    FUZZ_CHECK(OnDisk == Committed, "the committed file is not the object's text");

    // Written keys read back as written.
    std::map<std::pair<std::string, std::string>, std::string> Expected;
    for (const TWrite& W : Done)
        Expected[{Lower(W.Section), Lower(W.Key)}] = Trim(OneLine(W.Value));
    {
        TProfile Again(FileName);
        for (const TWrite& W : Done) {
            const std::string Want = Expected[{Lower(W.Section), Lower(W.Key)}];
            const std::string Got = Again.ReadString(W.Section, W.Key, "\x01missing");
            // A UTF-16 file stores a byte that is not UTF-8 as U+FFFD: such a
            // value only has to be there. A name always reads back.
            const bool Recoded = Utf16 && !fuzz::ValidUtf8(Want);
            FUZZ_CHECK(Got == Want || (Recoded && Got != "\x01missing"),
                       "[%s] %s reads %s, written %s", Show(W.Section).c_str(), Show(W.Key).c_str(),
                       Show(Got).c_str(), Show(Want).c_str());
        }
        // Saving the same values twice gives the same text.
        Apply(Again, Done);
        FUZZ_CHECK(Again.Text() == OnDisk, "the same writes again change the text");
    }

    // Every input line is still there, in order. A line may only be changed
    // into "its text up to the first '=' + a written value", at most once per
    // write; every line not matched is added. (UTF-16 files are compared by
    // their values only: their lines are not byte strings of the input.)
    if (Utf16)
        return 0;
    FUZZ_CHECK(OnDisk.compare(0, 3, Mark) == 0 || !HasMark, "the byte-order mark is lost");
    const std::vector<std::string> OutLines = SplitLines(HasMark ? OnDisk.substr(3) : OnDisk);
    std::vector<std::string> Cleaned;
    for (const TWrite& W : Done)
        Cleaned.push_back(OneLine(W.Value));
    auto Replaces = [&](const std::string& In, const std::string& Out) {
        std::size_t Equal = In.find('=');
        if (Equal == std::string::npos)
            return false;
        const std::string Head = In.substr(0, Equal + 1);
        if (Out.compare(0, Head.size(), Head) != 0)
            return false;
        std::string Tail = Out.substr(Head.size());
        for (const std::string& V : Cleaned)
            if (Tail == V)
                return true;
        return false;
    };
    std::size_t J = 0, Changed = 0;
    for (std::size_t I = 0; I < InLines.size(); ++I) {
        const std::string& In = InLines[I];
        bool Found = false;
        for (; J < OutLines.size(); ++J) {
            if (OutLines[J] == In) {
                Found = true;
                break;
            }
            if (Replaces(In, OutLines[J])) {
                ++Changed;
                Found = true;
                break;
            }
        }
        FUZZ_CHECK(Found, "input line %zu %s is lost", I + 1, Show(In).c_str());
        ++J;
    }
    FUZZ_CHECK(Changed <= Done.size(), "%zu lines changed by %zu writes", Changed, Done.size());
    FUZZ_CHECK(OutLines.size() <= InLines.size() + 2 * Done.size(),
               "%zu lines grew to %zu by %zu writes", InLines.size(), OutLines.size(), Done.size());
    return 0;
}
