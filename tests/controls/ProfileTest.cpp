#include "Profile.h"

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
        Dir = fs::temp_directory_path() /
              ("hyd-profile-" + std::to_string(::getpid()) + "-" +
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

    // Writes Bytes to a file, applies Edit to a profile of it and returns the
    // saved bytes.
    template <class F>
    std::string SaveEdited(const std::string& Bytes, F Edit)
    {
        const std::string Path = PathOf("edit.ini");
        Put(Path, Bytes);
        TProfile Ini(Path);
        Edit(Ini);
        Ini.Commit();
        return Get(Path);
    }

    fs::path Dir;
};

// ---- Reading -------------------------------------------------------------

TEST_F(ProfileTest, ReadsNamesCaseBlindAndIgnoresBlanksAndTabs)
{
    Put(PathOf("a.ini"),
        "[Data]\n"
        "Step=1\n"
        "  \tdiameter \t=\t 0.1 \t\n"
        "Title = a = b \n"
        "Empty=\n"
        "\t[ BlowData ]\t; comment after the name\n"
        "MAYBLOW=1\n");
    TProfile Ini(PathOf("a.ini"));
    EXPECT_EQ(Ini.ReadString("DATA", "STEP", "x"), "1");
    EXPECT_EQ(Ini.ReadString("data", "Diameter", "x"), "0.1");
    EXPECT_EQ(Ini.ReadString("Data", "Title", "x"), "a = b");   // everything after the first "="
    EXPECT_EQ(Ini.ReadString("Data", "Empty", "x"), "");        // present but empty
    EXPECT_EQ(Ini.ReadString("Data", "Missing", "x"), "x");
    EXPECT_EQ(Ini.ReadString("Other", "Step", "x"), "x");
    EXPECT_EQ(Ini.ReadString("blowdata", "MayBlow", "x"), "1");
    EXPECT_EQ(Ini.ReadString("BlowData", "Step", "x"), "x");     // keys belong to their section
    EXPECT_TRUE(Ini.SectionExists("BLOWDATA"));
    EXPECT_FALSE(Ini.SectionExists("Blow"));
    EXPECT_TRUE(Ini.ValueExists("Data", "empty"));
}

TEST_F(ProfileTest, UnderstandsCrLfByteOrderMarkAndCyrillic)
{
    Put(PathOf("a.ini"), "\xEF\xBB\xBF[Data]\r\nStep=2\r\nНазвание=Труба\r\nLast=3");
    TProfile Ini(PathOf("a.ini"));
    EXPECT_EQ(Ini.ReadString("Data", "Step", ""), "2");
    EXPECT_EQ(Ini.ReadString("Data", "Название", ""), "Труба");
    EXPECT_EQ(Ini.ReadString("Data", "Last", ""), "3");   // last line without a line end
}

TEST_F(ProfileTest, FirstOfEqualKeysAndSectionsCounts)
{
    Put(PathOf("a.ini"), "[Data]\nStep=1\nstep=2\n[Other]\nStep=9\n[DATA]\nStep=3\nOnlyHere=4\n");
    TProfile Ini(PathOf("a.ini"));
    EXPECT_EQ(Ini.ReadString("Data", "Step", ""), "1");
    EXPECT_EQ(Ini.ReadString("Data", "OnlyHere", ""), "4");   // the later section still counts
}

TEST_F(ProfileTest, IntegersAreASignAndDigitsWithin32Bits)
{
    Put(PathOf("a.ini"),
        "[I]\na=12\nb= -7 \nc=+5\nd=2147483647\ne=-2147483648\n"
        "f=1.5\ng=0x10\nh=3000000000\ni=\nj=abc\nk=+-5\nl=1 2\nm=--1\nn=-2147483649\n");
    TProfile Ini(PathOf("a.ini"));
    EXPECT_EQ(Ini.ReadInteger("I", "a", 99), 12);
    EXPECT_EQ(Ini.ReadInteger("I", "b", 99), -7);
    EXPECT_EQ(Ini.ReadInteger("I", "c", 99), 5);
    EXPECT_EQ(Ini.ReadInteger("I", "d", 99), 2147483647);
    EXPECT_EQ(Ini.ReadInteger("I", "e", 99), -2147483647 - 1);
    for (const char* Key : {"f", "g", "h", "i", "j", "k", "l", "m", "n", "missing"})
        EXPECT_EQ(Ini.ReadInteger("I", Key, 99), 99) << Key;

    EXPECT_TRUE(Ini.ReadBool("I", "a", false));
    EXPECT_TRUE(Ini.ReadBool("I", "b", false));   // any non-zero integer
    EXPECT_TRUE(Ini.ReadBool("I", "f", true));    // not an integer: the default
    EXPECT_FALSE(Ini.ReadBool("I", "f", false));
    Ini.WriteBool("I", "a", false);
    Ini.WriteInteger("I", "z", -42);
    EXPECT_EQ(Ini.ReadString("I", "a", ""), "0");
    EXPECT_FALSE(Ini.ReadBool("I", "a", true));
    EXPECT_EQ(Ini.ReadInteger("I", "z", 0), -42);   // reads see the writes
}

TEST_F(ProfileTest, GarbageIsReadAroundAndKept)
{
    const std::string Long(1 << 20, 'x');
    const std::string Binary("\x01\xff\xfe\x00\x80=\x00zz", 9);
    const std::string Bytes = "[Data]\n" + Binary + "\n" + Long + "\n" + "[Broken\n" +
                              "no equals sign\n" + "A=1\n" + "=orphan value\n" + "Nul=a" +
                              std::string(1, '\0') + "b\n" + "Long=" + Long + "\n";
    Put(PathOf("a.ini"), Bytes);
    TProfile Ini(PathOf("a.ini"));
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

TEST_F(ProfileTest, MissingFileReadsAsEmpty)
{
    TProfile Ini(PathOf("none.ini"));
    EXPECT_EQ(Ini.ReadString("Data", "Step", "d"), "d");
    EXPECT_EQ(Ini.ReadInteger("Data", "Steps", 100), 100);
    EXPECT_TRUE(Ini.ReadBool("BlowData", "MayBlow", true));
    EXPECT_EQ(Ini.Text(), "");
    Ini.Commit();   // nothing written: nothing created
    EXPECT_FALSE(fs::exists(PathOf("none.ini")));
}

TEST_F(ProfileTest, UnreadableFileRaises)
{
    fs::create_directory(PathOf("folder.ini"));
    TProfile Folder(PathOf("folder.ini"));
    EXPECT_THROW(Folder.ReadString("Data", "Step", ""), TProfileError);
    EXPECT_THROW(Folder.WriteString("Data", "Step", "1"), TProfileError);
    TProfile NoName("");
    EXPECT_THROW(NoName.ReadInteger("Data", "Steps", 0), TProfileError);
}

// ---- Writing -------------------------------------------------------------

TEST_F(ProfileTest, WritesKeepForeignLinesInPlace)
{
    const std::string Saved = SaveEdited(
        "; written by hand\n"
        "Loose=before any section\n"
        "[Data]\n"
        "# old comment\n"
        "  Step = 5   \n"
        "Foreign=keep me\n"
        "\n"
        "[Other]\n"
        "Step=7\n"
        "\n",
        [](TProfile& Ini) {
            Ini.WriteString("data", "STEP", " 1.0E-0003");   // first key, in place
            Ini.WriteInteger("Data", "Steps", 100);           // new key in an existing section
            Ini.WriteBool("BlowData", "MayBlow", true);       // new section
            Ini.WriteString("BlowData", "Speed", "0");
        });
    EXPECT_EQ(Saved,
              "; written by hand\n"
              "Loose=before any section\n"
              "[Data]\n"
              "# old comment\n"
              "  Step = 1.0E-0003\n"
              "Foreign=keep me\n"
              "Steps=100\n"
              "\n"
              "[Other]\n"
              "Step=7\n"
              "\n"
              "[BlowData]\n"
              "MayBlow=1\n"
              "Speed=0\n");
}

TEST_F(ProfileTest, WritesTheFirstOfEqualKeys)
{
    const std::string Saved =
        SaveEdited("[Data]\nStep=1\nStep=2\n[data]\nNew=0\n", [](TProfile& Ini) {
            Ini.WriteString("Data", "Step", "3");
            Ini.WriteString("Data", "New", "4");     // found in the second [data]
            Ini.WriteString("Data", "Added", "5");   // goes to the first [Data]
        });
    EXPECT_EQ(Saved, "[Data]\nStep=3\nStep=2\nAdded=5\n[data]\nNew=4\n");
}

TEST_F(ProfileTest, KeepsCrLfAndByteOrderMark)
{
    const std::string Saved = SaveEdited("\xEF\xBB\xBF[Data]\r\nStep=1\r\n\r\nLast=2",
                                         [](TProfile& Ini) {
                                             Ini.WriteString("Data", "Step", "9");
                                             Ini.WriteString("Data", "New", "3");
                                             Ini.WriteString("More", "K", "v");
                                         });
    EXPECT_EQ(Saved, "\xEF\xBB\xBF[Data]\r\nStep=9\r\n\r\nLast=2\r\nNew=3\r\n[More]\r\nK=v\r\n");
}

TEST_F(ProfileTest, LineBreaksInValuesBecomeBlanks)
{
    TProfile Ini(PathOf("a.ini"));
    Ini.WriteString("Data", "Title", "one\r\ntwo\nthree\r");
    Ini.WriteString("Data", "Next", "1");
    EXPECT_EQ(Ini.Text(), "[Data]\nTitle=one  two three \nNext=1\n");
    EXPECT_EQ(Ini.ReadString("Data", "Title", ""), "one  two three");
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

// ---- Saving --------------------------------------------------------------

TEST_F(ProfileTest, CommitCreatesTheFileAndSavingTwiceGivesTheSameBytes)
{
    const std::string Path = PathOf("Data.Hyd");
    auto Save = [&] {
        TProfile Ini(Path);
        Ini.WriteString("Data", "Step", " 1.00000000000000E-0003");
        Ini.WriteInteger("Data", "Steps", 100);
        Ini.WriteBool("BlowData", "MayBlow", false);
        Ini.Commit();
        EXPECT_FALSE(Ini.Modified());
    };
    Save();
    const std::string First = Get(Path);
    EXPECT_EQ(First, "[Data]\nStep= 1.00000000000000E-0003\nSteps=100\n[BlowData]\nMayBlow=0\n");
    Save();
    EXPECT_EQ(Get(Path), First);
    EXPECT_EQ(Names(), std::vector<std::string>{"Data.Hyd"});
}

TEST_F(ProfileTest, CommitWithoutChangesLeavesTheFileAlone)
{
    const std::string Path = PathOf("a.ini");
    Put(Path, "[Data]\nStep=1\n");
    fs::permissions(Path, fs::perms::owner_read);
    const auto Time = fs::last_write_time(Path);
    TProfile Ini(Path);
    Ini.WriteString("Data", "Step", "1");   // the same text: no change
    EXPECT_FALSE(Ini.Modified());
    Ini.Commit();
    EXPECT_EQ(fs::last_write_time(Path), Time);
    EXPECT_EQ(fs::status(Path).permissions(), fs::perms::owner_read);
}

TEST_F(ProfileTest, CommitKeepsPermissionsAndSymbolicLinks)
{
    const std::string Real = PathOf("real.ini");
    const std::string Link = PathOf("link.ini");
    Put(Real, "[Data]\n");
    fs::permissions(Real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(Real, Link);
    TProfile Ini(Link);
    Ini.WriteString("Data", "Step", "1");
    Ini.Commit();
    EXPECT_TRUE(fs::is_symlink(Link));
    EXPECT_EQ(Get(Real), "[Data]\nStep=1\n");
    EXPECT_EQ(fs::status(Real).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
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
    Put(Path, "[Data]\nStep=1\n");
    TProfile Ini(Path);
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
    const std::string Path = PathOf("a.ini");
    const std::string Old = "[Data]\r\nStep=1\r\n; comment\r\n";
    Put(Path, Old);
    TProfile Ini(Path);
    Ini.WriteString("Data", "Step", std::string(8192, '7'));

    rlimit Saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &Saved), 0);
    rlimit Small = Saved;
    Small.rlim_cur = 4096;
    auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &Small), 0);
    EXPECT_THROW(Ini.Commit(), TProfileError);
    ::setrlimit(RLIMIT_FSIZE, &Saved);
    std::signal(SIGXFSZ, OldHandler);

    EXPECT_EQ(Get(Path), Old);
    EXPECT_EQ(Names(), std::vector<std::string>{"a.ini"});
    Ini.Commit();   // the limit lifted: the same object saves
    EXPECT_EQ(Ini.ReadString("Data", "Step", ""), std::string(8192, '7'));
    EXPECT_EQ(Get(Path), "[Data]\r\nStep=" + std::string(8192, '7') + "\r\n; comment\r\n");
}

TEST_F(ProfileTest, ReadOnlyFolderFailsTheCommit)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    const std::string Path = PathOf("a.ini");
    Put(Path, "[Data]\nStep=1\n");
    TProfile Ini(Path);
    Ini.WriteString("Data", "Step", "2");
    fs::permissions(Dir, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(Ini.Commit(), TProfileError);
    fs::permissions(Dir, fs::perms::owner_all);
    EXPECT_EQ(Get(Path), "[Data]\nStep=1\n");
    EXPECT_EQ(Names(), std::vector<std::string>{"a.ini"});
}

}  // namespace
