#include "text/Profile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Dir = fs::temp_directory_path() / ("hyd-profile-" + std::to_string(::getpid()) + "-" +
                                           std::to_string(std::random_device{}()));
        fs::create_directories(Dir);
    }
    void TearDown() override
    {
        std::error_code Ec;
        fs::permissions(Dir, fs::perms::owner_all, fs::perm_options::add, Ec);
        fs::remove_all(Dir, Ec);
    }
    std::string PathOf(const std::string& Name) const { return (Dir / Name).string(); }
    static void Put(const std::string& Path, const std::string& Bytes)
    {
        std::ofstream(Path, std::ios::binary) << Bytes;
    }
    static std::string Get(const std::string& Path)
    {
        std::ifstream In(Path, std::ios::binary);
        return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
    }
    // The names in the folder: a failed save must leave no temporary file.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> Result;
        for (const auto& Entry : fs::directory_iterator(Dir))
            Result.push_back(Entry.path().filename().string());
        std::sort(Result.begin(), Result.end());
        return Result;
    }
    // A profile of the file "a.ini" holding Bytes.
    TProfile Open(const std::string& Bytes)
    {
        Put(PathOf("a.ini"), Bytes);
        return TProfile(PathOf("a.ini"));
    }

    fs::path Dir;
};

TEST_F(ProfileTest, ReadsNamesCaseBlindAcrossLayouts)
{
    const struct { const char* Bytes; const char* Section; const char* Key; const char* Expected; }
    Cases[] = {
        {"[Data]\n  \tdiameter \t=\t 0.1 \t\n", "data", "Diameter", "0.1"},
        {"[Data]\nTitle = a = b \n", "Data", "Title", "a = b"},   // all after the first "="
        {"[Data]\nEmpty=\n", "Data", "Empty", ""},                 // present but empty
        {"[Data]\nStep=1\n", "Data", "Missing", "?"},
        {"[Data]\nStep=1\n\t[ BlowData ]\t; comment\nX=1\n", "BLOWDATA", "Step", "?"},
        {"[Data]\nStep=1\n\t[ BlowData ]\t; comment\nX=1\n", "blowdata", "x", "1"},
        {"\xEF\xBB\xBF[Data]\r\nStep=2\r\nНазвание=Труба\r\n", "Data", "Step", "2"},
        {"\xEF\xBB\xBF[Data]\r\nStep=2\r\nНазвание=Труба\r\n", "Data", "Название", "Труба"},
        {"[Data]\nStep=1\nLast=3", "Data", "Last", "3"},           // no line end at the end
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
    const struct { const char* Text; int Expected; } Cases[] = {
        {"12", 12}, {"0", 0}, {" -7 ", -7}, {"+5", 5}, {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        // Not an integer: the default.
        {"1.5", 99}, {"0x10", 99}, {"3000000000", 99}, {"-2147483649", 99}, {"", 99},
        {"abc", 99}, {"+-5", 99}, {"1 2", 99},
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
    EXPECT_EQ(Ini.ReadInteger("I", "z", 0), -42);   // reads see the writes
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
    EXPECT_EQ(Get(PathOf("a.ini")), Expected);
}

TEST_F(ProfileTest, MissingFileReadsAsEmptyAndUnreadableOneRaises)
{
    TProfile Missing(PathOf("none.ini"));
    EXPECT_EQ(Missing.ReadInteger("Data", "Steps", 100), 100);
    Missing.Commit();   // nothing written: nothing created
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
    struct TWrite { const char* Section; const char* Key; const char* Value; };
    const struct { std::string Before; std::vector<TWrite> Writes; std::string After; } Cases[] = {
        {"; written by hand\nLoose=before any section\n[Data]\n# old comment\n"
         "  Step = 5   \nForeign=keep me\n\n[Other]\nStep=7\n\n",
         {{"data", "STEP", " 1.0E-0003"},   // first key, in place
          {"Data", "Steps", "100"},         // new key in an existing section
          {"BlowData", "MayBlow", "1"}},    // new section
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
        {"", {{"Data", "Title", "one\r\ntwo\nthree\r"}, {"Data", "Next", "1"}},
         "[Data]\nTitle=one  two three \nNext=1\n"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Before);
        TProfile Ini = Open(C.Before);
        for (const TWrite& W : C.Writes) Ini.WriteString(W.Section, W.Key, W.Value);
        Ini.Commit();
        EXPECT_EQ(Get(PathOf("a.ini")), C.After);
    }
}

TEST_F(ProfileTest, RefusesNamesThatWouldNotReadBack)
{
    TProfile Ini(PathOf("a.ini"));
    for (const char* Key : {"", " Step", "a=b", "[x", ";c", "#c", "a\nb"})
        EXPECT_THROW(Ini.WriteString("Data", Key, "1"), TProfileError) << Key;
    for (const char* Section : {"", "a]b", "Data ", "a\r"})
        EXPECT_THROW(Ini.WriteString(Section, "Key", "1"), TProfileError) << Section;
    EXPECT_FALSE(Ini.Modified());
}

TEST_F(ProfileTest, CommitWritesOnlyChangesAndKeepsPermissionsAndLinks)
{
    const std::string Real = PathOf("real.ini");
    const std::string Link = PathOf("link.ini");
    const auto Mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    Put(Real, "[Data]\nStep=1\n");
    fs::permissions(Real, fs::perms::owner_read);
    const auto Time = fs::last_write_time(Real);
    TProfile Same(Real);
    Same.WriteString("Data", "Step", "1");   // the same text: no change
    EXPECT_FALSE(Same.Modified());
    Same.Commit();
    EXPECT_EQ(fs::last_write_time(Real), Time);

    fs::permissions(Real, Mode);
    fs::create_symlink(Real, Link);
    TProfile Ini(Link);
    Ini.WriteString("Data", "Steps", "100");
    Ini.Commit();
    EXPECT_FALSE(Ini.Modified());
    EXPECT_TRUE(fs::is_symlink(Link));
    EXPECT_EQ(Get(Real), "[Data]\nStep=1\nSteps=100\n");
    EXPECT_EQ(fs::status(Real).permissions(), Mode);
    EXPECT_EQ(Names(), (std::vector<std::string>{"link.ini", "real.ini"}));
}

TEST_F(ProfileTest, FailedCommitRaisesAndLeavesNothingBehind)
{
    // A folder that does not exist.
    TProfile Lost(PathOf("missing/Data.Hyd"));
    Lost.WriteString("Data", "Step", "1");
    try {
        Lost.Commit();
        FAIL() << "no error";
    } catch (const TProfileError& E) {
        EXPECT_NE(std::string(E.what()).find("missing/Data.Hyd"), std::string::npos) << E.what();
    }
    EXPECT_TRUE(Lost.Modified());   // the writes are still there to retry

    // The file became a folder after it was read: the rename fails.
    const std::string Path = PathOf("a.ini");
    TProfile Ini = Open("[Data]\nStep=1\n");
    Ini.WriteString("Data", "Step", "2");
    fs::remove(Path);
    fs::create_directory(Path);
    Put(Path + "/inside", "x");
    EXPECT_THROW(Ini.Commit(), TProfileError);
    EXPECT_EQ(Names(), std::vector<std::string>{"a.ini"});
    EXPECT_EQ(Get(Path + "/inside"), "x");

}

TEST_F(ProfileTest, FailedWriteLeavesTheOldFileWhole)
{
    // The file-size limit makes writing the new content fail, also for root.
    const std::string Old = "[Data]\r\nStep=1\r\n; comment\r\n";
    const std::string Long(8192, '7');
    TProfile Ini = Open(Old);
    Ini.WriteString("Data", "Step", Long);

    rlimit Saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &Saved), 0);
    rlimit Small = Saved;
    Small.rlim_cur = 4096;
    auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &Small), 0);
    EXPECT_THROW(Ini.Commit(), TProfileError);
    ::setrlimit(RLIMIT_FSIZE, &Saved);
    std::signal(SIGXFSZ, OldHandler);

    EXPECT_EQ(Get(PathOf("a.ini")), Old);
    EXPECT_EQ(Names(), std::vector<std::string>{"a.ini"});
    Ini.Commit();   // the limit lifted: the same object saves
    EXPECT_EQ(Get(PathOf("a.ini")), "[Data]\r\nStep=" + Long + "\r\n; comment\r\n");
}

}  // namespace
