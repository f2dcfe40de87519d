#include "text/AtomicWrite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <climits>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/TestFiles.h"

namespace {

// Every test runs twice: with unnamed temporary files, as on this file
// system, and with named ones, as on a file system without unnamed files.
class AtomicWriteTest : public ::testing::TestWithParam<bool> {
protected:
    AtomicWriteTest()
    {
        fs::create_directories(Dir / "other");
        UseNamedTemporaryFiles(Named);
    }
    ~AtomicWriteTest() override
    {
        UseNamedTemporaryFiles(false);
        ::umask(SavedMask);
    }
    const bool Named = GetParam();
    std::string PathOf(const std::string& Name) const { return (Dir / Name).string(); }
    static unsigned ModeOf(const std::string& Path)
    {
        struct stat S {};
        return ::stat(Path.c_str(), &S) == 0 ? S.st_mode & 07777 : ~0u;
    }
    // Every name in the test folder and in its folder "other", links and
    // temporary files included (links are not followed).
    std::vector<std::string> Names() const
    {
        std::vector<std::string> Result;
        for (const fs::path& Folder : {Dir, Dir / "other"}) {
            std::error_code Ec;
            for (const auto& Entry : fs::directory_iterator(Folder, Ec))
                Result.push_back(Entry.path().lexically_relative(Dir).string());
        }
        std::sort(Result.begin(), Result.end());
        return Result;
    }
    // The temporary files' names among Names(): ".hyd-" and 8 hexadecimal digits.
    std::vector<std::string> TempNames() const
    {
        std::vector<std::string> Result;
        for (const std::string& Name : Names()) {
            const std::string Base = fs::path(Name).filename().string();
            if (Base.size() == 13 && Base.rfind(".hyd-", 0) == 0 &&
                Base.find_first_not_of("0123456789abcdef", 5) == std::string::npos)
                Result.push_back(Name);
        }
        return Result;
    }
    // The permission bits of the files in the test folder that this process
    // holds open, named or not: while a TAtomicFile is open, its temporary file.
    std::vector<unsigned> OpenFileModes() const
    {
        std::vector<unsigned> Result;
        for (const auto& Entry : fs::directory_iterator("/proc/self/fd")) {
            std::error_code Ec;
            const std::string Target = fs::read_symlink(Entry.path(), Ec).string();
            if (!Ec && Target.rfind(Dir.string() + "/", 0) == 0)
                Result.push_back(ModeOf(Entry.path().string()));
        }
        return Result;
    }

    TTempDir Temp;
    const fs::path Dir = Temp.Path;
    const mode_t SavedMask = ::umask(022);
};

using TNames = std::vector<std::string>;

TEST_P(AtomicWriteTest, ReplacedFileKeepsItsPermissionBits)
{
    const struct {
        std::optional<unsigned> Before;
        unsigned After;
    } Cases[] = {
        {std::nullopt, 0644},                // a new file: 0666 less the umask
        {0600, 0600},                        // private stays private
        {0640, 0640},         {0755, 0755},  // a script stays executable
        {0444, 0444},                        // read-only: the folder decides, the bits stay
        {0666, 0666},                        // bits the umask would drop survive
        {02750, 02750},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.After);
        const std::string Path = PathOf("a.txt");
        fs::remove(Path);
        if (C.Before) {
            WriteText(Path, "old");
            ASSERT_EQ(::chmod(Path.c_str(), *C.Before), 0);
        }
        TAtomicFile File(Path);
        File.Write("new text");
        // Meanwhile the new content is no more open to others than the old.
        const std::vector<unsigned> Modes = OpenFileModes();
        ASSERT_EQ(Modes.size(), 1u);
        EXPECT_EQ(Modes[0] & ~C.After & 0777, 0u);
        EXPECT_EQ(TempNames().size(), Named ? 1u : 0u);
        File.Commit();
        EXPECT_EQ(ReadText(Path), "new text");
        EXPECT_EQ(ModeOf(Path), C.After);
        EXPECT_EQ(Names(), (TNames{"a.txt", "other"}));
    }
}

TEST_P(AtomicWriteTest, ReplacedFileKeepsItsOwnerWhereTheSystemAllows)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser may give a file away";
    const std::string Path = PathOf("a.txt");
    WriteText(Path, "old");
    ASSERT_EQ(::chown(Path.c_str(), 12345, 23456), 0);
    ASSERT_EQ(::chmod(Path.c_str(), 04750), 0);  // chown drops set-user-ID: it comes back
    WriteFileAtomically(Path, "new");
    struct stat S {};
    ASSERT_EQ(::stat(Path.c_str(), &S), 0);
    EXPECT_EQ(S.st_uid, 12345u);
    EXPECT_EQ(S.st_gid, 23456u);
    EXPECT_EQ(S.st_mode & 07777, 04750u);
}

TEST_P(AtomicWriteTest, LinksStayLinksAndTheFileTheyNameIsReplaced)
{
    const struct {
        const char* Name;
        const char* Real;                                        // the file the links lead to
        std::vector<std::pair<const char*, const char*>> Links;  // name, link text
        bool RealExists;
    } Cases[] = {
        {"relative", "real.txt", {{"link", "real.txt"}}, true},
        {"absolute", "real.txt", {{"link", "@real.txt"}}, true},  // "@": under the test folder
        {"into another folder", "other/real.txt", {{"link", "other/real.txt"}}, true},
        {"relative to the link's folder", "real.txt", {{"other/link", "../real.txt"}}, true},
        {"chain", "other/real.txt", {{"link", "mid"}, {"mid", "other/real.txt"}}, true},
        {"dangling: creates the file", "other/new.txt", {{"link", "other/new.txt"}}, false},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        fs::remove_all(Dir);
        fs::create_directories(Dir / "other");
        if (C.RealExists) {
            WriteText(PathOf(C.Real), "old");
            ASSERT_EQ(::chmod(PathOf(C.Real).c_str(), 0600), 0);
        }
        for (const auto& [Name, Text] : C.Links) {
            const std::string Target = Text[0] == '@' ? PathOf(Text + 1) : Text;
            fs::create_symlink(Target, PathOf(Name));
        }
        TNames Before = Names();
        if (!C.RealExists) {
            Before.push_back(C.Real);
            std::sort(Before.begin(), Before.end());
        }

        WriteFileAtomically(PathOf(C.Links.front().first), "new text");

        EXPECT_EQ(ReadText(PathOf(C.Real)), "new text");
        EXPECT_EQ(ModeOf(PathOf(C.Real)), C.RealExists ? 0600u : 0644u);
        for (const auto& [Name, Text] : C.Links) {
            EXPECT_TRUE(fs::is_symlink(PathOf(Name))) << Name;
            const std::string Target = Text[0] == '@' ? PathOf(Text + 1) : Text;
            EXPECT_EQ(fs::read_symlink(PathOf(Name)).string(), Target) << Name;
        }
        EXPECT_EQ(Names(), Before);  // nothing else appeared, in either folder
    }
}

TEST_P(AtomicWriteTest, FailureLeavesTheOldFileWholeAndNoTemporaryFile)
{
    const struct {
        const char* Name;
        const char* Target;
        const char* Step;
        const char* Reason;
        void (*Prepare)(const fs::path& Dir);
    } Cases[] = {
        {"missing folder", "missing/a.txt", "cannot create a temporary file",
         "No such file or directory", [](const fs::path&) {}},
        {"a folder as the target", "other", "cannot replace", "Is a directory",
         [](const fs::path& D) { std::ofstream(D / "other/inside") << "kept"; }},
        {"a link to a folder", "link", "cannot replace", "Is a directory",
         [](const fs::path& D) { fs::create_directory_symlink(D / "other", D / "link"); }},
        {"a pipe as the target", "fifo", "cannot replace", "not a regular file",
         [](const fs::path& D) { ASSERT_EQ(::mkfifo((D / "fifo").c_str(), 0644), 0); }},
        {"a loop of links", "a", "cannot replace", "Too many levels of symbolic links",
         [](const fs::path& D) {
             fs::create_symlink("b", D / "a");
             fs::create_symlink("a", D / "b");
         }},
        {"a file in place of a folder", "plain/a.txt", "cannot create a temporary file",
         "Not a directory", [](const fs::path& D) { std::ofstream(D / "plain") << "kept"; }},
        {"no name", "", "cannot replace", "No such file or directory", [](const fs::path&) {}},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        fs::remove_all(Dir);
        fs::create_directories(Dir / "other");
        WriteText(PathOf("keep.txt"), "old");
        C.Prepare(Dir);
        const TNames Before = Names();
        const std::string Target = *C.Target ? PathOf(C.Target) : "";
        try {
            WriteFileAtomically(Target, "new text");
            ADD_FAILURE() << "no error";
        } catch (const TAtomicWriteError& E) {
            EXPECT_EQ(E.FileName(), Target);
            EXPECT_EQ(E.Step(), C.Step);
            EXPECT_EQ(E.Reason(), C.Reason);
            EXPECT_EQ(std::string(E.what()),
                      "Cannot write the file \"" + Target + "\": " + C.Step + ": " + C.Reason);
        }
        EXPECT_EQ(Names(), Before);
        EXPECT_EQ(ReadText(PathOf("keep.txt")), "old");
        if (fs::exists(Dir / "other/inside")) {
            EXPECT_EQ(ReadText(PathOf("other/inside")), "kept");
        }
    }
}

TEST_P(AtomicWriteTest, DiskFullWhileStreamingLeavesTheOldFileWhole)
{
    // The file-size limit makes writing fail, also for the superuser.
    const std::string Path = PathOf("a.txt");
    WriteText(Path, "old");
    rlimit Saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &Saved), 0);
    rlimit Small = Saved;
    Small.rlim_cur = 100000;
    auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &Small), 0);
    std::string Step;
    try {
        TAtomicFile File(Path);
        for (int I = 0; I < 100; ++I)
            File.Write(std::string(3000, 'x'));
        File.Commit();
    } catch (const TAtomicWriteError& E) {
        Step = E.Step();
    }
    ::setrlimit(RLIMIT_FSIZE, &Saved);
    std::signal(SIGXFSZ, OldHandler);

    EXPECT_EQ(Step, "cannot write");
    EXPECT_EQ(ReadText(Path), "old");
    EXPECT_EQ(Names(), (TNames{"a.txt", "other"}));
}

TEST_P(AtomicWriteTest, NothingChangesUntilCommitAndAnUncommittedFileLeavesNothing)
{
    const std::string Old = PathOf("old.txt");
    const std::string New = PathOf("new.txt");
    WriteText(Old, "old");
    {
        TAtomicFile Replacing(Old);
        TAtomicFile Creating(New);
        Replacing.Write("replaced");
        Creating.Write("created");
        EXPECT_EQ(ReadText(Old), "old");  // a reader still sees the old file
        EXPECT_FALSE(fs::exists(New));
        EXPECT_EQ(TempNames().size(), Named ? 2u : 0u);
        Replacing.Commit();
        EXPECT_EQ(ReadText(Old), "replaced");
        EXPECT_THROW(Replacing.Write("more"), std::logic_error);
        // Creating goes out of scope without Commit.
    }
    EXPECT_EQ(Names(), (TNames{"old.txt", "other"}));

    // An exception while the content is produced abandons the file the same way.
    try {
        TAtomicFile File(Old);
        File.Write("half of it");
        throw std::runtime_error("production failed");
    } catch (const std::runtime_error&) {}
    EXPECT_EQ(ReadText(Old), "replaced");
    EXPECT_EQ(Names(), (TNames{"old.txt", "other"}));
}

TEST_P(AtomicWriteTest, PiecesOfAnySizeArriveInOrder)
{
    // Sizes around the gathering buffer (64 KiB): tiny pieces, pieces that just
    // fit, pieces that overflow it, pieces larger than it, and empty ones.
    const std::vector<std::vector<std::size_t>> Cases = {
        {},
        {0},
        {1, 2, 3},
        {65536},
        {65535, 1, 1},
        {65536, 0, 65537, 7},
        {40000, 40000, 40000},
        {10, 200000, 10, 10},
        {1, 65535, 65535, 1, 131072, 3},
    };
    std::mt19937 Random(7);
    for (const auto& Sizes : Cases) {
        SCOPED_TRACE(testing::PrintToString(Sizes));
        std::string Expected;
        TAtomicFile File(PathOf("a.bin"));
        for (std::size_t Size : Sizes) {
            std::string Piece(Size, '\0');
            for (char& C : Piece)
                C = static_cast<char>(Random());
            Expected += Piece;
            File.Write(Piece);
        }
        File.Commit();
        EXPECT_EQ(ReadText(PathOf("a.bin")), Expected);
    }
    EXPECT_EQ(Names(), (TNames{"a.bin", "other"}));
}

TEST_P(AtomicWriteTest, AnyNameTheFileSystemAcceptsIsATarget)
{
    std::string Cyrillic;
    for (int I = 0; I < NAME_MAX / 2; ++I)
        Cyrillic += "я";
    for (const std::string& Name : {std::string(NAME_MAX, 'a'), Cyrillic}) {
        SCOPED_TRACE(Name.size());
        WriteFileAtomically(PathOf(Name), "new");    // created
        WriteFileAtomically(PathOf(Name), "newer");  // replaced
        EXPECT_EQ(ReadText(PathOf(Name)), "newer");
        EXPECT_EQ(Names().size(), 2u);  // the file and "other"
        fs::remove(PathOf(Name));
    }
}

// A process ended by a signal while it writes leaves the old file and nothing
// else: an unnamed temporary file goes with the process, whatever the signal;
// a named one is removed by the handler of RemoveTemporaryFilesOnSignals.
TEST_P(AtomicWriteTest, SignalWhileWritingLeavesNoTemporaryFile)
{
    const std::string Path = PathOf("a.txt");
    WriteText(Path, "old");
    const std::vector<int> Signals =
        Named ? std::vector<int>{SIGINT, SIGTERM, SIGHUP} : std::vector<int>{SIGKILL, SIGTERM};
    for (int Signal : Signals) {
        SCOPED_TRACE(Signal);
        const pid_t Child = ::fork();
        ASSERT_GE(Child, 0);
        if (Child == 0) {
            std::signal(Signal, SIG_DFL);
            RemoveTemporaryFilesOnSignals();
            TAtomicFile File(Path);
            File.Write(std::string(200000, 'x'));
            if (TempNames().size() == (Named ? 1u : 0u))
                ::raise(Signal);
            ::_exit(0);
        }
        int Status = 0;
        ASSERT_EQ(::waitpid(Child, &Status, 0), Child);
        EXPECT_TRUE(WIFSIGNALED(Status) && WTERMSIG(Status) == Signal) << Status;
        EXPECT_EQ(ReadText(Path), "old");
        EXPECT_EQ(Names(), (TNames{"a.txt", "other"}));
    }
}

INSTANTIATE_TEST_SUITE_P(Temporary, AtomicWriteTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& Info) {
                             return Info.param ? "Named" : "Unnamed";
                         });

}  // namespace
