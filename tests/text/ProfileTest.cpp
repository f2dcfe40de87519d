#include "text/Profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "tests/TestFiles.h"

namespace {

class ProfileTest : public ::testing::Test {
protected:
    std::string PathOf(const std::string& Name) const { return Temp.File(Name); }
    // A profile of the file "a.ini" holding Bytes.
    TProfile Open(const std::string& Bytes)
    {
        WriteText(PathOf("a.ini"), Bytes);
        return TProfile(PathOf("a.ini"));
    }

    TTempDir Temp;
};

TEST_F(ProfileTest, ReadsNamesCaseBlindAcrossLayouts)
{
    const struct {
        const char* Bytes;
        const char* Section;
        const char* Key;
        const char* Expected;
    } Cases[] = {
        {"[Data]\n  \tdiameter \t=\t 0.1 \t\n", "data", "Diameter", "0.1"},
        {"[Data]\nTitle = a = b \n", "Data", "Title", "a = b"},  // all after the first "="
        {"[Data]\nEmpty=\n", "Data", "Empty", ""},               // present but empty
        {"[Data]\nStep=1\n", "Data", "Missing", "?"},
        {"[Data]\nStep=1\n\t[ BlowData ]\t; comment\nX=1\n", "BLOWDATA", "Step", "?"},
        {"[Data]\nStep=1\n\t[ BlowData ]\t; comment\nX=1\n", "blowdata", "x", "1"},
        {"\xEF\xBB\xBF[Data]\r\nStep=2\r\nНазвание=Труба\r\n", "Data", "Step", "2"},
        {"\xEF\xBB\xBF[Data]\r\nStep=2\r\nНазвание=Труба\r\n", "Data", "Название", "Труба"},
        {"[Data]\nStep=1\nLast=3", "Data", "Last", "3"},  // no line end at the end
        // The first of equal keys counts; a later equal section still counts.
        {"[Data]\nStep=1\nstep=2\n[Other]\nK=9\n[DATA]\nStep=3\nK=4\n", "Data", "Step", "1"},
        {"[Data]\nStep=1\nstep=2\n[Other]\nK=9\n[DATA]\nStep=3\nK=4\n", "Data", "K", "4"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Bytes);
        TProfile Ini = Open(C.Bytes);
        EXPECT_EQ(Ini.ReadString(C.Section, C.Key, "?"), C.Expected);
    }
}

TEST_F(ProfileTest, IntegersAreASignAndDigitsWithin32Bits)
{
    const struct {
        const char* Text;
        int Expected;
    } Cases[] = {
        {"12", 12},
        {"0", 0},
        {" -7 ", -7},
        {"+5", 5},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        // Not an integer: the default.
        {"1.5", 99},
        {"0x10", 99},
        {"3000000000", 99},
        {"-2147483649", 99},
        {"", 99},
        {"abc", 99},
        {"+-5", 99},
        {"1 2", 99},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Text);
        TProfile Ini = Open(std::string("[I]\nk=") + C.Text + "\n");
        EXPECT_EQ(Ini.ReadInteger("I", "k", 99), C.Expected);
        EXPECT_EQ(Ini.ReadBool("I", "k", true), C.Expected != 0);
    }
    TProfile Ini(PathOf("b.ini"));
    Ini.WriteBool("I", "a", false);
    Ini.WriteInteger("I", "z", -42);
    EXPECT_EQ(Ini.ReadString("I", "a", ""), "0");
    EXPECT_EQ(Ini.ReadInteger("I", "z", 0), -42);  // reads see the writes
}

TEST_F(ProfileTest, GarbageIsReadAroundAndKept)
{
    const std::string Long(1 << 20, 'x');
    const std::string Binary("\x01\xff\xfe\x00\x80=\x00zz", 9);
    const std::string Bytes = "[Data]\n" + Binary + "\n" + Long + "\n" + "[Broken\n" +
                              "no equals sign\n" + "A=1\n" + "=orphan value\n" + "Nul=a" +
                              std::string(1, '\0') + "b\n" + "Long=" + Long + "\n";
    TProfile Ini = Open(Bytes);
    // A "[" line without "]" opens no section: A stays in [Data].
    EXPECT_EQ(Ini.ReadString("Data", "A", ""), "1");
    EXPECT_EQ(Ini.ReadString("Data", "Nul", ""), std::string("a\0b", 3));
    EXPECT_EQ(Ini.ReadString("Data", "Long", ""), Long);
    EXPECT_FALSE(Ini.SectionExists("Broken"));
    EXPECT_EQ(Ini.ReadString("Data", "", "d"), "d");

    Ini.WriteString("Data", "A", "2");
    Ini.Commit();
    std::string Expected = Bytes;
    Expected.replace(Expected.find("A=1"), 3, "A=2");
    EXPECT_EQ(ReadText(PathOf("a.ini")), Expected);
}

TEST_F(ProfileTest, MissingFileReadsAsEmptyAndUnreadableOneRaises)
{
    TProfile Missing(PathOf("none.ini"));
    EXPECT_EQ(Missing.ReadInteger("Data", "Steps", 100), 100);
    Missing.Commit();  // nothing written: nothing created
    EXPECT_FALSE(fs::exists(PathOf("none.ini")));

    fs::create_directory(PathOf("folder.ini"));
    TProfile Folder(PathOf("folder.ini"));
    EXPECT_THROW(Folder.ReadString("Data", "Step", ""), TProfileError);
    EXPECT_THROW(Folder.WriteString("Data", "Step", "1"), TProfileError);
    TProfile NoName("");
    EXPECT_THROW(NoName.ReadInteger("Data", "Steps", 0), TProfileError);
}

TEST_F(ProfileTest, WritesKeepForeignLinesAndTheFileLayout)
{
    struct TWrite {
        const char* Section;
        const char* Key;
        const char* Value;
    };
    const struct {
        std::string Before;
        std::vector<TWrite> Writes;
        std::string After;
    } Cases[] = {
        {"; written by hand\nLoose=before any section\n[Data]\n# old comment\n"
         "  Step = 5   \nForeign=keep me\n\n[Other]\nStep=7\n\n",
         {{"data", "STEP", " 1.0E-0003"},  // first key, in place
          {"Data", "Steps", "100"},        // new key in an existing section
          {"BlowData", "MayBlow", "1"}},   // new section
         "; written by hand\nLoose=before any section\n[Data]\n# old comment\n"
         "  Step = 1.0E-0003\nForeign=keep me\nSteps=100\n\n[Other]\nStep=7\n\n"
         "[BlowData]\nMayBlow=1\n"},
        // The first of equal keys; a key found in a later equal section stays there.
        {"[Data]\nStep=1\nStep=2\n[data]\nNew=0\n",
         {{"Data", "Step", "3"}, {"Data", "New", "4"}, {"Data", "Added", "5"}},
         "[Data]\nStep=3\nStep=2\nAdded=5\n[data]\nNew=4\n"},
        {"\xEF\xBB\xBF[Data]\r\nStep=1\r\n\r\nLast=2",
         {{"Data", "Step", "9"}, {"Data", "New", "3"}, {"More", "K", "v"}},
         "\xEF\xBB\xBF[Data]\r\nStep=9\r\n\r\nLast=2\r\nNew=3\r\n[More]\r\nK=v\r\n"},
        // Line breaks in values become blanks.
        {"",
         {{"Data", "Title", "one\r\ntwo\nthree\r"}, {"Data", "Next", "1"}},
         "[Data]\nTitle=one  two three \nNext=1\n"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Before);
        TProfile Ini = Open(C.Before);
        for (const TWrite& W : C.Writes)
            Ini.WriteString(W.Section, W.Key, W.Value);
        Ini.Commit();
        EXPECT_EQ(ReadText(PathOf("a.ini")), C.After);
    }
}

// A section of 5000 blank lines, then one of the same name with 1000 keys.
std::string ManyLines()
{
    std::string Text = "[D]\n";
    Text.append(5000, '\n');
    Text += "[d]\n";
    for (int I = 0; I < 1000; ++I) {
        Text += 'K';
        Text += std::to_string(I);
        Text += '=';
        Text += std::to_string(I);
        Text += '\n';
    }
    return Text;
}

// New lines find their place between the lines of the file that no entry
// holds (comments, blank lines, a last line without its end).
TEST_F(ProfileTest, NewLinesAroundTheLinesOfTheFile)
{
    struct TWrite {
        const char* Section;
        const char* Key;
        const char* Value;
    };
    const struct {
        std::string Before;
        std::vector<TWrite> Writes;
        std::string After;
    } Cases[] = {
        // A changed last key line without its end gets one before a new line.
        {"[D]\nK=1", {{"D", "K", "2"}, {"D", "N", "3"}}, "[D]\nK=2\nN=3\n"},
        // A comment without its end ends the file's text: a new section comes
        // after it, a new key before it.
        {"[D]\nK=1\n; tail",
         {{"E", "X", "1"}, {"D", "N", "3"}},
         "[D]\nK=1\nN=3\n; tail\n[E]\nX=1\n"},
        // Lines end in a lone CR here, but the blank LF line after the new
        // key would join it: CR LF, also when a new section follows the text.
        {"[D]\rK=1\r\n\n", {{"D", "N", "3"}}, "[D]\rK=1\r\nN=3\r\n\n"},
        {"[D]\rK=1\r\n\n", {{"E", "X", "1"}, {"D", "N", "3"}}, "[D]\rK=1\r\nN=3\r\n\n[E]\rX=1\r"},
        // Many lines: the thousandth key of the second of two equal sections.
        {ManyLines(), {{"D", "K999", "x"}}, ""},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Before.substr(0, 40));
        TProfile Ini = Open(C.Before);
        for (const TWrite& W : C.Writes)
            Ini.WriteString(W.Section, W.Key, W.Value);
        if (C.After.empty()) {
            EXPECT_EQ(Ini.ReadString("D", "K998", ""), "998");
            EXPECT_EQ(Ini.ReadString("D", "K999", ""), "x");
            EXPECT_EQ(Ini.KeyNames("D").size(), 1000u);
            std::string Expected = C.Before;
            Expected.replace(Expected.find("K999=999"), 8, "K999=x");
            EXPECT_EQ(Ini.Text(), Expected);
        } else {
            EXPECT_EQ(Ini.Text(), C.After);
        }
    }
}

// The bytes of UTF-16 text after its byte-order mark.
std::string Utf16(const std::u16string& Units, bool BigEndian)
{
    std::string Bytes = BigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t U : Units) {
        const char High = static_cast<char>(U >> 8), Low = static_cast<char>(U & 0xFF);
        Bytes += BigEndian ? High : Low;
        Bytes += BigEndian ? Low : High;
    }
    return Bytes;
}

TEST_F(ProfileTest, Utf16AndCrOnlyFilesReadAsText)
{
    const std::u16string Unpaired = u"K=a" + std::u16string(1, char16_t(0xD800)) + u"b\n";
    const struct {
        std::string Bytes;
        const char* Section;
        const char* Key;
        const char* Expected;
    } Cases[] = {
        {Utf16(u"[Data]\r\nStep=2\r\nНазвание=Труба 𝄞\r\n", false), "data", "Название", "Труба 𝄞"},
        {Utf16(u"[Data]\r\nStep=2\r\nНазвание=Труба 𝄞\r\n", true), "Data", "STEP", "2"},
        {Utf16(u"[Data]\nНазвание=Труба 𝄞", true), "Data", "Название", "Труба 𝄞"},
        // What is not UTF-16 reads as U+FFFD.
        {Utf16(u"[D]\n" + Unpaired, false), "D", "K", "a\uFFFDb"},
        {Utf16(u"[D]\nK=", false) + "x", "D", "K", "\uFFFD"},  // an odd last byte
        {Utf16(u"[D]\nK=" + std::u16string(1, char16_t(0xDC00)), true), "D", "K", "\uFFFD"},
        // CR alone ends a line, also mixed with the others.
        {"[Data]\rStep=2\rLast=3", "Data", "Last", "3"},
        {"[Data]\rStep=2\r\r[BlowData]\rMayBlow=1\r", "BlowData", "MayBlow", "1"},
        {"[Data]\nStep=2\rSteps=7\r\n", "Data", "Steps", "7"},
        {"[Data]\nStep=2\rSteps=7\r\n", "Data", "Step", "2"},
        // A UTF-16 byte-order mark is needed; without it the bytes stay bytes.
        {std::string("[\0D\0]\0\n\0K\0=\0\x31\0", 14), "D", "K", "?"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Bytes);
        TProfile Ini = Open(C.Bytes);
        EXPECT_EQ(Ini.ReadString(C.Section, C.Key, "?"), C.Expected);
        EXPECT_EQ(Ini.Text(), C.Bytes);  // nothing written: the same bytes
    }
}

TEST_F(ProfileTest, WritesKeepTheEncodingAndTheBytesOfUnchangedLines)
{
    const std::u16string Unpaired(1, char16_t(0xD800));
    const struct {
        std::string Before;
        std::string After;
    } Cases[] = {
        {Utf16(u"; κ" + Unpaired + u"\r\n[Data]\r\nStep=1\r\nNote=Труба", false),
         Utf16(u"; κ" + Unpaired +
                   u"\r\n[Data]\r\nStep=Шаг 𝄞\r\nNote=Труба\r\nNew=3\r\n"
                   u"[More]\r\nK=v\r\n",
               false)},
        {Utf16(u"[Data]\nStep=1\n", true),
         Utf16(u"[Data]\nStep=Шаг 𝄞\nNew=3\n[More]\nK=v\n", true)},
        // The byte-order mark alone is an empty UTF-16 file.
        {Utf16(u"", true), Utf16(u"[Data]\nStep=Шаг 𝄞\nNew=3\n[More]\nK=v\n", true)},
        // An odd last byte cannot stay before new lines: it becomes its U+FFFD.
        {Utf16(u"[Data]\nStep=1\nX=", false) + "y",
         Utf16(u"[Data]\nStep=Шаг 𝄞\nX=\uFFFD\nNew=3\n[More]\nK=v\n", false)},
        {"[Data]\rStep=1\rNote=a\r", "[Data]\rStep=Шаг 𝄞\rNote=a\rNew=3\r[More]\rK=v\r"},
        // A new line ending in a lone CR must not join the LF of a blank line after it.
        {"[Data]\rStep=1\r\n\n[Other]\r",
         "[Data]\rStep=Шаг 𝄞\r\nNew=3\r\n\n[Other]\r[More]\rK=v\r"},
        // A byte that is not UTF-8 is replaced in a UTF-16 file only.
        {"[Data]\nStep=1\n", "[Data]\nStep=Шаг 𝄞\nNew=3\n[More]\nK=v\n"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Before);
        TProfile Ini = Open(C.Before);
        Ini.WriteString("Data", "Step", "Шаг 𝄞");
        Ini.WriteString("Data", "New", "3");
        Ini.WriteString("More", "K", "v");
        Ini.Commit();
        EXPECT_EQ(ReadText(PathOf("a.ini")), C.After);
        TProfile Back(PathOf("a.ini"));
        EXPECT_EQ(Back.ReadString("Data", "Step", ""), "Шаг 𝄞");
        EXPECT_EQ(Back.ReadString("More", "K", ""), "v");
    }
    TProfile Ini = Open(Utf16(u"[D]\n", true));
    Ini.WriteString("D", "K", "a\xFF");
    EXPECT_EQ(Ini.Text(), Utf16(u"[D]\nK=a\uFFFD\n", true));
}

TEST_F(ProfileTest, BlankFilesAndKeyNames)
{
    const struct {
        std::string Bytes;
        bool Blank;
        std::vector<std::string> DataKeys;
    } Cases[] = {
        {"", true, {}},
        {" \t\r\n\r\n\r", true, {}},
        {"\xEF\xBB\xBF\n", true, {}},
        {Utf16(u" \r\n", false), true, {}},
        {"; comment", false, {}},
        {std::string(1, '\0'), false, {}},
        {"K=1\n[Data]\n Step = 1\n;x=1\nnone\n[Other]\nA=1\n[data]\nstep=2\nB=\n",
         false,
         {"Step", "step", "B"}},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Bytes);
        TProfile Ini = Open(C.Bytes);
        EXPECT_EQ(Ini.Blank(), C.Blank);
        EXPECT_EQ(Ini.KeyNames("DATA"), C.DataKeys);
    }
    EXPECT_TRUE(TProfile(PathOf("missing.ini")).Blank());
}

TEST_F(ProfileTest, RefusesNamesThatWouldNotReadBack)
{
    TProfile Ini(PathOf("a.ini"));
    for (const char* Key : {"", " Step", "a=b", "[x", ";c", "#c", "a\nb"})
        EXPECT_THROW(Ini.WriteString("Data", Key, "1"), TProfileError) << Key;
    for (const char* Section : {"", "a]b", "Data ", "a\r"})
        EXPECT_THROW(Ini.WriteString(Section, "Key", "1"), TProfileError) << Section;
    EXPECT_FALSE(Ini.Modified());

    // A UTF-16 file holds characters only: a stray byte in a name could not be found again.
    TProfile Wide = Open(Utf16(u"[D]\n", false));
    EXPECT_THROW(Wide.WriteString("D", "K\xFF", "1"), TProfileError);
    EXPECT_THROW(Wide.WriteString("D\xC3", "K", "1"), TProfileError);
    EXPECT_FALSE(Wide.Modified());
}

// Writing the file itself (permissions, links, failures that leave the old
// file whole) is the atomic write's, tested with it.
TEST_F(ProfileTest, CommitWritesOnlyChanges)
{
    const std::string Real = PathOf("real.ini");
    WriteText(Real, "[Data]\nStep=1\n");
    fs::permissions(Real, fs::perms::owner_read);
    const auto Time = fs::last_write_time(Real);
    TProfile Same(Real);
    Same.WriteString("Data", "Step", "1");  // the same text: no change
    EXPECT_FALSE(Same.Modified());
    Same.Commit();
    EXPECT_EQ(fs::last_write_time(Real), Time);

    fs::permissions(Real, fs::perms::owner_read | fs::perms::owner_write);
    TProfile Ini(Real);
    Ini.WriteString("Data", "Steps", "100");
    Ini.Commit();
    EXPECT_FALSE(Ini.Modified());
    EXPECT_EQ(ReadText(Real), "[Data]\nStep=1\nSteps=100\n");
}

TEST_F(ProfileTest, FailedCommitRaisesWithTheNameAndKeepsTheWritesToRetry)
{
    TProfile Lost(PathOf("missing/Data.Hyd"));
    Lost.WriteString("Data", "Step", "1");
    try {
        Lost.Commit();
        FAIL() << "no error";
    } catch (const TProfileError& E) {
        EXPECT_NE(std::string(E.what()).find("missing/Data.Hyd"), std::string::npos) << E.what();
    }
    EXPECT_TRUE(Lost.Modified());
    fs::create_directory(PathOf("missing"));
    Lost.Commit();  // the same object saves once it can
    EXPECT_EQ(ReadText(PathOf("missing/Data.Hyd")), "[Data]\nStep=1\n");
}

}  // namespace
