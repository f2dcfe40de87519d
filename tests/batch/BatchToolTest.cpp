// hyd-calc: arguments, messages, outputs and exit statuses; through RunBatch
// and, for a few cases, through the real program. Whole outputs of typical and
// odd cases are pinned by the golden cases (GoldenCaseTest.cpp, tests/cases);
// these tests cover what those do not: options, usage errors, unreadable
// cases, replaced and unwritable files, the report on standard output, the
// outputs that are refused before the run (the case file, one file twice,
// folders, write-protected files), pipes and devices, and the old outputs
// that survive a killed program or a report that could not be made.

#include <gtest/gtest.h>

#include <charconv>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <iomanip>
#include <set>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include "batch/BatchTool.h"
#include "engine/Calc.h"
#include "results/Csv.h"
#include "tests/TestFiles.h"

namespace {

std::vector<std::string> Lines(const std::string& Text)
{
    std::vector<std::string> Result;
    std::istringstream In(Text);
    for (std::string Line; std::getline(In, Line);)
        Result.push_back(Line);
    return Result;
}

// The comma-separated numbers of a CSV line; each must read back whole.
std::vector<double> Numbers(const std::string& Line)
{
    std::vector<double> Result;
    for (std::size_t Start = 0; Start <= Line.size();) {
        std::size_t End = Line.find(',', Start);
        if (End == std::string::npos)
            End = Line.size();
        double X = 0;
        const auto [Ptr, Ec] = std::from_chars(Line.data() + Start, Line.data() + End, X);
        EXPECT_TRUE(Ec == std::errc() && Ptr == Line.data() + End) << Line;
        Result.push_back(X);
        Start = End + 1;
    }
    return Result;
}

struct TResult {
    int Status;
    std::string Out, Err;
};

TResult Batch(const std::vector<std::string>& Args)
{
    std::ostringstream Out, Err;
    const int Status = RunBatch(Args, Out, Err);
    return {Status, Out.str(), Err.str()};
}

// Runs the real program through the shell, each argument in single quotes (the
// test paths hold no quotes or backslashes).
TResult RunProgram(const std::vector<std::string>& Args, const TTempDir& Dir)
{
    const std::string Out = Dir.File("stdout.txt"), Err = Dir.File("stderr.txt");
    std::ostringstream Command;
    Command << std::quoted(HYD_CALC_EXE, '\'');
    for (const std::string& Arg : Args)
        Command << ' ' << std::quoted(Arg, '\'');
    Command << " >" << std::quoted(Out, '\'') << " 2>" << std::quoted(Err, '\'');
    const int Raw = std::system(Command.str().c_str());
    return {WIFEXITED(Raw) ? WEXITSTATUS(Raw) : -1, ReadText(Out), ReadText(Err)};
}

// Starts the real program in Dir with its standard streams in the files
// Dir/stdout.txt and Dir/stderr.txt, under an address-space limit when one is
// given; returns its process id.
pid_t StartProgram(const std::vector<std::string>& Args, const TTempDir& Dir, rlim_t Limit = 0)
{
    // Everything the child needs is made before the fork.
    std::vector<std::string> Words = {HYD_CALC_EXE};
    Words.insert(Words.end(), Args.begin(), Args.end());
    std::vector<char*> Argv;
    for (std::string& Word : Words)
        Argv.push_back(Word.data());
    Argv.push_back(nullptr);
    const std::string Out = Dir.File("stdout.txt"), Err = Dir.File("stderr.txt");
    const pid_t Child = ::fork();
    if (Child == 0) {
        const rlimit Memory{Limit, Limit};
        const int OutFd = ::open(Out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int ErrFd = ::open(Err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (OutFd < 0 || ErrFd < 0 || ::dup2(OutFd, 1) < 0 || ::dup2(ErrFd, 2) < 0 ||
            (Limit > 0 && ::setrlimit(RLIMIT_AS, &Memory) != 0))
            ::_exit(127);
        ::execv(Argv[0], Argv.data());
        ::_exit(127);
    }
    return Child;
}

// The exit status of a finished child, or -signal when a signal ended it.
int WaitFor(pid_t Child)
{
    int Raw = 0;
    if (::waitpid(Child, &Raw, 0) != Child)
        return -1000;
    return WIFEXITED(Raw) ? WEXITSTATUS(Raw) : WIFSIGNALED(Raw) ? -WTERMSIG(Raw) : -1000;
}

// The names in a folder, links not followed.
std::set<std::string> NamesIn(const fs::path& Folder)
{
    std::set<std::string> Names;
    for (const auto& Entry : fs::directory_iterator(Folder))
        Names.insert(Entry.path().filename().string());
    return Names;
}

// An empty horizontal pipe filled at constant pressure.
const char* const ConstantCase =
    "[Data]\nStep= 1.00000000000000E-0003\nSteps=50\nPressure= 1.00000000000000E+0004\n"
    "Length= 2.00000000000000E+0001\n[BlowData]\nMayBlow=0\n";

// A front outside the inlet of a pipe without a diameter divides by zero: the
// run stops with an error message.
const char* const FaultCase = "[Data]\nSteps=10\nInitialFill=-1\nDiameter=0\n";

// The same pipe, long enough for Steps steps of 1 ms without filling.
std::string LongCase(int Steps)
{
    return "[Data]\nStep= 1.00000000000000E-0003\nSteps=" + std::to_string(Steps) +
           "\nPressure= 1.00000000000000E+0004\nLength= 2.00000000000000E+0006\n"
           "[BlowData]\nMayBlow=0\n";
}

const std::string StagesHeader =
    "StartTime,StartSpeed,RestSpeed,PumpPressure,Pumped,PipeSpeed,PumpTime,Pause";

// A temporary folder holding a case file, case.Hyd.
struct TCaseDir : TTempDir {
    explicit TCaseDir(const char* Text = ConstantCase) { WriteText(Case, Text); }
    const std::string Case = File("case.Hyd");
};

}  // namespace

TEST(BatchArgs, UsageErrorsExitWithTwoAndWriteNothing)
{
    TCaseDir Dir;
    const std::string Case = Dir.Case, Csv = Dir.File("a.csv");
    // One of each way the parser refuses its arguments.
    const std::vector<std::vector<std::string>> Bad = {
        {},
        {"--csv", Csv} /* no case */,
        {Case, "--bogus"},
        {Case, "--csv"},
        {Case, "--csv="},
        {Case, Case},
        {"--csv", "--svg", Dir.File("a.svg"), Case},  // an option is no value
        {Case, "--size", "15x500"},
        {Case, "--size=800x500x1"},
        {Case, "--gravity", "-1"},
        {Case, "--gravity=9,81"},
        {Case, "--gravity", "nan"},
        {Case, "--csv", Csv, "--csv", Dir.File("b.csv")},
        {"--help=yes"},
    };
    for (const auto& Args : Bad) {
        std::string Joined;
        for (const auto& A : Args)
            Joined += A + " ";
        SCOPED_TRACE(Joined);
        const TResult R = Batch(Args);
        EXPECT_EQ(R.Status, 2);
        EXPECT_TRUE(R.Out.empty());
        EXPECT_EQ(R.Err.rfind("hyd-calc: ", 0), 0u) << R.Err;
    }
    EXPECT_FALSE(fs::exists(Csv));
    EXPECT_FALSE(fs::exists(Dir.File("a.svg")));
}

TEST(BatchArgs, HelpAndVersionGoToStandardOutput)
{
    const TResult Help = Batch({"--help"}), Version = Batch({"--version"});
    EXPECT_EQ(Help.Status + Version.Status, 0);
    EXPECT_NE(Help.Out.find("--stages-csv"), std::string::npos);
    EXPECT_EQ(Version.Out, "hyd-calc (Hyd Flow) 1.2.2.1\n");
    EXPECT_EQ(Help.Err + Version.Err, "");

    // Standard output that cannot be written: said, not only told by the status.
    for (const char* Option : {"--help", "--version"}) {
        std::ostringstream Out, Err;
        Out.setstate(std::ios::badbit);
        EXPECT_EQ(RunBatch({Option}, Out, Err), BatchFailure) << Option;
        EXPECT_EQ(Err.str(), "hyd-calc: ошибка вывода на стандартный вывод\n") << Option;
    }
}

TEST(BatchArgs, OptionsStandBeforeOrAfterTheCaseInBothForms)
{
    TCaseDir Dir;
    TResult R = Batch({"--csv=" + Dir.File("a.csv"), Dir.Case, "--stages-csv", Dir.File("s.csv"),
                       "--gravity=0", "--size", "100x80", "--svg", Dir.File("c.svg")});
    EXPECT_EQ(R.Status, 0) << R.Err;
    EXPECT_TRUE(R.Out.empty());
    for (const char* Name : {"a.csv", "s.csv", "c.svg"})
        EXPECT_TRUE(fs::exists(Dir.File(Name))) << Name;
    // "--" ends the options: a case file may then start with "-".
    WriteText(Dir.File("-odd.Hyd"), ConstantCase);
    const fs::path Saved = fs::current_path();
    fs::current_path(Dir.Path);
    R = Batch({"--csv", "b.csv", "--", "-odd.Hyd"});
    fs::current_path(Saved);
    EXPECT_EQ(R.Status, 0) << R.Err;
    EXPECT_TRUE(fs::exists(Dir.File("b.csv")));
}

// An incomplete case is the golden case missing-data.
TEST(BatchCase, UnreadableCaseExitsWithTwoAndWritesNothing)
{
    TTempDir Dir;
    const std::string Missing = Dir.File("missing.Hyd"), Folder = Dir.Path.string();
    const struct {
        std::string Case, Err;
    } Cases[] = {
        {Missing, "Ошибка открытия файла параметров «" + Missing + "»!\n"},
        {Folder, "Ошибка открытия файла параметров «" + Folder + "»!\n"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Case);
        const TResult R =
            Batch({C.Case, "--csv", Dir.File("a.csv"), "--report", Dir.File("r.txt")});
        EXPECT_EQ(R.Status, 2);
        EXPECT_EQ(R.Err, C.Err);
        EXPECT_TRUE(R.Out.empty());
        EXPECT_FALSE(fs::exists(Dir.File("a.csv")));
        EXPECT_FALSE(fs::exists(Dir.File("r.txt")));
    }
}

TEST(BatchOutput, ReportGoesToStandardOutputOnlyWithoutOutputOptions)
{
    TCaseDir Dir;
    const TResult Plain = Batch({Dir.Case});
    EXPECT_EQ(Plain.Status, 0) << Plain.Err;
    EXPECT_TRUE(Plain.Err.empty());
    EXPECT_NE(Plain.Out.find("\r\n"), std::string::npos);

    const TResult R = Batch({Dir.Case, "--report", Dir.File("r.txt")});
    EXPECT_EQ(R.Status, 0) << R.Err;
    EXPECT_TRUE(R.Out.empty());
    EXPECT_EQ(ReadText(Dir.File("r.txt")), Plain.Out);
}

// Every output written over an existing, longer file is the same as written
// into a new one: nothing of the old file is left.
TEST(BatchOutput, OutputsReplaceLongerOldFiles)
{
    TCaseDir Dir;
    const char* const Names[] = {"r.txt", "r.csv", "s.csv", "c.svg"};
    auto Run = [&Dir](const std::string& Prefix) {
        return Batch({Dir.Case, "--report", Dir.File(Prefix + "r.txt"), "--csv",
                      Dir.File(Prefix + "r.csv"), "--stages-csv", Dir.File(Prefix + "s.csv"),
                      "--svg", Dir.File(Prefix + "c.svg")});
    };
    ASSERT_EQ(Run("new-").Status, 0);
    for (const char* Name : Names)
        WriteText(Dir.File(Name), std::string(100000, 'x') + "\n");
    const TResult R = Run("");
    ASSERT_EQ(R.Status, 0) << R.Err;
    for (const std::string Name : Names)
        EXPECT_EQ(ReadText(Dir.File(Name)), ReadText(Dir.File("new-" + Name))) << Name;
}

TEST(BatchOutput, CsvNumbersReadBackExactly)
{
    TCalc Calc;
    Calc.Records = new TCalcStep[2]{{0.1, 1.0 / 3, -2.5e-300, 1e300, 0, 123456789.125},
                                    {0.2, -0.0, 5e-324, 1.7976931348623157e308, 7, 1}};
    Calc.Capacity = Calc.Count = 2;
    const auto L = Lines(RecordsCsv(Calc));
    ASSERT_EQ(L.size(), 3u);
    EXPECT_EQ(L[1], "0.1,0.3333333333333333,-2.5e-300,1e+300,0,123456789.125");
    EXPECT_EQ(Numbers(L[2]), (std::vector<double>{0.2, 0, 5e-324, 1.7976931348623157e308, 7, 1}));

    TCalcStage* S = Calc.AppendStage();
    S->StartTime = 0.5;
    S->Pause = 0.25;
    EXPECT_EQ(StagesCsv(Calc), StagesHeader + "\n0.5,0,0,0,0,0,0,0.25\n");
}

TEST(BatchOutput, UnwritableOutputExitsWithTwoNamesTheFileAndTheOthersAreWritten)
{
    TCaseDir Dir;
    const std::string Bad = Dir.File("no-such-dir/r.csv");
    const TResult R = Batch({Dir.Case, "--csv", Bad, "--report", Dir.File("r.txt")});
    EXPECT_EQ(R.Status, 2);
    EXPECT_NE(R.Err.find("«" + Bad + "»"), std::string::npos) << R.Err;
    EXPECT_TRUE(R.Out.empty());
    EXPECT_TRUE(fs::exists(Dir.File("r.txt")));
    for (const auto& E : fs::directory_iterator(Dir.Path))  // no temporary file is left
        EXPECT_EQ(E.path().string().find(".tmp"), std::string::npos) << E.path();
}

TEST(BatchProgram, ExamplesRunCleanly)
{
    TTempDir Dir;
    // Stage CSV lines: only the header at constant pressure, one stage, several stages.
    const std::pair<const char*, std::size_t> Examples[] = {
        {"constant-pressure", 1}, {"single-hammer", 2}, {"repeated-hammer", 0}};
    for (const auto& [Name, StageLines] : Examples) {
        SCOPED_TRACE(Name);
        const std::string Case = std::string(HYD_EXAMPLES_DIR) + "/" + Name + ".Hyd";
        const TResult R = RunProgram({Case, "--stages-csv", Dir.File("s.csv"), "--csv",
                                      Dir.File("r.csv"), "--report", Dir.File("r.txt")},
                                     Dir);
        EXPECT_EQ(R.Status, 0);
        EXPECT_EQ(R.Err, "");
        EXPECT_EQ(R.Out, "");
        const std::size_t Stages = Lines(ReadText(Dir.File("s.csv"))).size();
        EXPECT_TRUE(StageLines ? Stages == StageLines : Stages >= 3) << Stages;
    }
}

// The messages of a failed run with its files are the golden case run-error.
TEST(BatchProgram, StatusesAndStreams)
{
    TCaseDir Dir(FaultCase);
    const TResult Usage = RunProgram({"--frobnicate"}, Dir);
    EXPECT_EQ(Usage.Status, 2);
    EXPECT_EQ(Usage.Out, "");
    EXPECT_NE(Usage.Err, "");
    const TResult Fault = RunProgram({Dir.Case}, Dir);
    EXPECT_EQ(Fault.Status, 1);
    EXPECT_NE(Fault.Err, "");
    EXPECT_NE(Fault.Out, "");  // the report of the failed run
}

TEST(BatchArgs, RepeatedOptionIsAUsageErrorNamingIt)
{
    TCaseDir Dir;
    const std::string Csv = Dir.File("a.csv");
    const std::pair<std::vector<std::string>, const char*> Cases[] = {
        {{Dir.Case, "--gravity", "1", "--gravity=1"}, "--gravity"},
        {{Dir.Case, "--size=100x80", "--size", "200x100"}, "--size"},
        {{Dir.Case, "--report", Csv, "--report=" + Csv}, "--report"},
        {{Dir.Case, "--svg", "-", "--svg", Csv}, "--svg"},
        {{"--help", "--help"}, "--help"},
        {{"--version", Dir.Case, "--version"}, "--version"},
    };
    for (const auto& [Args, Option] : Cases) {
        SCOPED_TRACE(Option);
        const TResult R = Batch(Args);
        EXPECT_EQ(R.Status, 2);
        EXPECT_EQ(R.Out, "");
        EXPECT_EQ(R.Err, "hyd-calc: параметр " + std::string(Option) +
                             " указан дважды\nСправка: hyd-calc --help\n");
    }
    EXPECT_FALSE(fs::exists(Csv));
}

// An output that is the case file, by any spelling, or the file of another
// output is refused before the run: nothing is written, nothing changes.
TEST(BatchTargets, SameFileTwiceIsRefusedAndNothingIsWritten)
{
    TCaseDir Dir;
    const std::string Case = Dir.Case, D = Dir.Path.string();
    fs::create_directory(Dir.Path / "sub");
    fs::create_hard_link(Case, Dir.File("hard.Hyd"));
    fs::create_symlink("case.Hyd", Dir.File("link.Hyd"));
    fs::create_symlink("new.csv", Dir.File("dangling"));  // names a file not yet there
    WriteText(Dir.File("old.csv"), "old\n");
    const std::string Csv = Dir.File("new.csv");
    auto CaseClash = [&Case](const std::string& Name, const char* Option) {
        return "hyd-calc: файл результата «" + Name + "» (" + Option +
               ") совпадает с файлом параметров «" + Case + "»\n";
    };
    auto Clash = [](const std::string& Name, const char* Option, const std::string& First,
                    const char* FirstOption) {
        return "hyd-calc: файл результата «" + Name + "» (" + Option +
               ") совпадает с файлом результата «" + First + "» (" + FirstOption + ")\n";
    };
    const std::pair<std::vector<std::string>, std::string> Cases[] = {
        {{"--report", Case}, CaseClash(Case, "--report")},
        {{"--csv", D + "/./case.Hyd"}, CaseClash(D + "/./case.Hyd", "--csv")},
        {{"--svg", D + "/sub/../case.Hyd"}, CaseClash(D + "/sub/../case.Hyd", "--svg")},
        {{"--stages-csv", Dir.File("hard.Hyd")}, CaseClash(Dir.File("hard.Hyd"), "--stages-csv")},
        {{"--report", Dir.File("link.Hyd")}, CaseClash(Dir.File("link.Hyd"), "--report")},
        {{"--report", Csv, "--csv", D + "/sub/../new.csv"},
         Clash(D + "/sub/../new.csv", "--csv", Csv, "--report")},
        {{"--csv", Dir.File("old.csv"), "--svg", Dir.File("old.csv")},
         Clash(Dir.File("old.csv"), "--svg", Dir.File("old.csv"), "--csv")},
        {{"--csv", Dir.File("dangling"), "--svg", Csv},
         Clash(Csv, "--svg", Dir.File("dangling"), "--csv")},
        {{"--report", "-", "--stages-csv", "-"}, Clash("-", "--stages-csv", "-", "--report")},
        {{"--report", Case, "--csv", Csv, "--svg", Csv},
         CaseClash(Case, "--report") + Clash(Csv, "--svg", Csv, "--csv")},
    };
    const std::set<std::string> Before = NamesIn(Dir.Path);
    for (const auto& [Outputs, Err] : Cases) {
        SCOPED_TRACE(Err);
        std::vector<std::string> Args = {Case};
        Args.insert(Args.end(), Outputs.begin(), Outputs.end());
        const TResult R = Batch(Args);
        EXPECT_EQ(R.Status, 2);
        EXPECT_EQ(R.Out, "");
        EXPECT_EQ(R.Err, Err);
        EXPECT_EQ(ReadText(Case), ConstantCase);
        EXPECT_EQ(ReadText(Dir.File("old.csv")), "old\n");
        EXPECT_EQ(NamesIn(Dir.Path), Before);
    }
}

// Outputs that a shell's ">" would refuse to a normal user, or that are no
// files at all: refused before the run, the other outputs not written either.
TEST(BatchTargets, UnfitTargetsAreRefusedBeforeTheRun)
{
    TCaseDir Dir;
    fs::create_directory(Dir.Path / "folder");
    WriteText(Dir.File("locked.txt"), "old\n");
    ASSERT_EQ(::chmod(Dir.File("locked.txt").c_str(), 0444), 0);
    fs::create_symlink("locked.txt", Dir.File("locked-link"));
    const bool HaveBlock = ::mknod(Dir.File("block").c_str(), S_IFBLK | 0666, makedev(7, 200)) == 0;
    const struct {
        std::string Name, Why;
    } Cases[] = {
        {Dir.File("locked.txt"), "защищён от записи"},
        {Dir.File("locked-link"), "защищён от записи"},
        {Dir.File("folder"), "является папкой"},
        {Dir.File("folder") + "/", "является папкой"},
        {Dir.File("block"), "не является обычным файлом, каналом или символьным устройством"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        if (C.Name == Dir.File("block") && !HaveBlock)
            continue;  // only the superuser makes devices
        const TResult R = Batch({Dir.Case, "--csv", Dir.File("a.csv"), "--report", C.Name});
        EXPECT_EQ(R.Status, 2);
        EXPECT_EQ(R.Err, "hyd-calc: файл результата «" + C.Name + "» (--report) " + C.Why + "\n");
        EXPECT_FALSE(fs::exists(Dir.File("a.csv")));
    }
    EXPECT_EQ(ReadText(Dir.File("locked.txt")), "old\n");
    EXPECT_TRUE(fs::is_symlink(Dir.File("locked-link")));
    EXPECT_TRUE(fs::is_directory(Dir.Path / "folder"));
    if (HaveBlock) {
        EXPECT_TRUE(fs::is_block_file(Dir.File("block")));
    }
}

// What the user names is written the way a Unix tool would: "-" is standard
// output, a pipe or a character device is written as it is (never replaced),
// a link stays a link, a name as long as the file system allows is a file.
TEST(BatchTargets, EveryKindOfTargetGetsTheWholeText)
{
    TCaseDir Dir;
    const TResult Plain = Batch({Dir.Case});
    ASSERT_EQ(Plain.Status, 0);
    const std::string Report = Plain.Out;
    ASSERT_EQ(Batch({Dir.Case, "--csv", Dir.File("expected.csv")}).Status, 0);
    const std::string Csv = ReadText(Dir.File("expected.csv"));

    // Standard output: the report or another output, the rest to files.
    TResult R = Batch({Dir.Case, "--report", "-", "--csv", Dir.File("a.csv")});
    EXPECT_EQ(R.Status, 0) << R.Err;
    EXPECT_EQ(R.Out, Report);
    EXPECT_EQ(ReadText(Dir.File("a.csv")), Csv);
    R = Batch({Dir.Case, "--csv=-"});
    EXPECT_EQ(R.Status, 0) << R.Err;
    EXPECT_EQ(R.Out, Csv);

    // A pipe, read while the report is written; it stays a pipe.
    const std::string Fifo = Dir.File("fifo");
    ASSERT_EQ(::mkfifo(Fifo.c_str(), 0644), 0);
    std::string FromPipe;
    std::thread Reader([&] { FromPipe = ReadText(Fifo); });
    R = Batch({Dir.Case, "--report", Fifo});
    Reader.join();
    EXPECT_EQ(R.Status, 0) << R.Err;
    EXPECT_EQ(FromPipe, Report);
    struct stat Info {};
    ASSERT_EQ(::stat(Fifo.c_str(), &Info), 0);
    EXPECT_TRUE(S_ISFIFO(Info.st_mode));

    // The null device, also through a link: written, still the device.
    fs::create_symlink("/dev/null", Dir.File("null-link"));
    struct stat Null {};
    ASSERT_EQ(::stat("/dev/null", &Null), 0);
    for (const std::string& Name : {std::string("/dev/null"), Dir.File("null-link")}) {
        R = Batch({Dir.Case, "--csv", Name});
        EXPECT_EQ(R.Status, 0) << R.Err;
        ASSERT_EQ(::stat("/dev/null", &Info), 0);
        EXPECT_TRUE(S_ISCHR(Info.st_mode));
        EXPECT_EQ(Info.st_rdev, Null.st_rdev);
        EXPECT_EQ(Info.st_ino, Null.st_ino);
    }
    EXPECT_TRUE(fs::is_symlink(Dir.File("null-link")));

    // A link to a file: the file replaced, the link kept.
    WriteText(Dir.File("real.txt"), "old\n");
    fs::create_symlink("real.txt", Dir.File("link.txt"));
    // The longest names the file system takes, one of them in two-byte letters.
    std::string Cyrillic;
    for (int I = 0; I < NAME_MAX / 2; ++I)
        Cyrillic += "ж";
    const std::string Long = Dir.File(std::string(NAME_MAX, 'n')), Wide = Dir.File(Cyrillic);
    WriteText(Wide, "old\n");
    R = Batch({Dir.Case, "--report", Dir.File("link.txt"), "--csv", Long, "--stages-csv", Wide});
    EXPECT_EQ(R.Status, 0) << R.Err;
    EXPECT_EQ(ReadText(Dir.File("real.txt")), Report);
    EXPECT_TRUE(fs::is_symlink(Dir.File("link.txt")));
    EXPECT_EQ(ReadText(Long), Csv);
    EXPECT_EQ(ReadText(Wide), StagesHeader + "\n");
    const std::set<std::string> Expected = {"case.Hyd", "expected.csv", "a.csv",
                                            "fifo",     "null-link",    "real.txt",
                                            "link.txt", Cyrillic,       std::string(NAME_MAX, 'n')};
    EXPECT_EQ(NamesIn(Dir.Path), Expected);  // no temporary file is left
}

// A program killed while it writes a large output leaves the old file as it
// was and no temporary file.
TEST(BatchProgram, KillWhileWritingLeavesTheOldOutput)
{
    TTempDir Dir, Streams;
    const std::string Case = Dir.File("case.Hyd"), Csv = Dir.File("steps.csv");
    WriteText(Case, LongCase(1000000));
    WriteText(Csv, "old\n");
    const pid_t Child = StartProgram({Case, "--csv", Csv}, Streams);
    ASSERT_GT(Child, 0);
    // Waits until the program holds open a file in the folder, other than the
    // case, that has something in it: the new steps.csv being written.
    const fs::path Fds = "/proc/" + std::to_string(Child) + "/fd";
    bool Writing = false;
    for (int Poll = 0; Poll < 20000 && !Writing; ++Poll) {
        std::error_code Ec;
        for (const auto& Entry : fs::directory_iterator(Fds, Ec)) {
            const std::string Target = fs::read_symlink(Entry.path(), Ec).string();
            struct stat Info {};
            if (!Ec && Target.rfind(Dir.Path.string() + "/", 0) == 0 && Target != Case &&
                ::stat(Entry.path().c_str(), &Info) == 0 && Info.st_size > 100000)
                Writing = true;
        }
        if (!Writing)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::kill(Child, SIGKILL);
    const int Status = WaitFor(Child);
    ASSERT_TRUE(Writing) << "the program did not start writing; status " << Status << ", "
                         << ReadText(Streams.File("stderr.txt"));
    EXPECT_EQ(Status, -SIGKILL);
    EXPECT_EQ(ReadText(Csv), "old\n");
    EXPECT_EQ(NamesIn(Dir.Path), (std::set<std::string>{"case.Hyd", "steps.csv"}));
}

// A report that cannot be made for want of memory leaves the old report file
// as it was, says so, and the other outputs are still written; exit status 1.
// The limit that lets the run finish but not the report is searched for
// between one that is too small for the run and one the whole program fits in.
// The report is written as it is made and needs little beyond the run, so the
// search halves the range until it is narrower than that.
TEST(BatchProgram, ReportThatCannotBeMadeLeavesTheOldReport)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than any limit here";
#endif
    TTempDir Dir, Streams;
    const std::string Case = Dir.File("case.Hyd"), Report = Dir.File("report.txt"),
                      Stages = Dir.File("stages.csv");
    WriteText(Case, LongCase(200000));
    ASSERT_EQ(WaitFor(StartProgram({Case, "--report", Report}, Streams)), 0);
    const std::string Whole = ReadText(Report);

    rlim_t Low = 4 << 20, High = 1024u << 20;  // MiB: too small for the run; ample
    bool Seen = false;
    for (int Try = 0; Try < 30 && !Seen && High - Low > (16 << 10); ++Try) {
        const rlim_t Limit = (Low + High) / 2;
        SCOPED_TRACE(Limit >> 10);
        WriteText(Report, "old\n");
        fs::remove(Stages);
        const int Status = WaitFor(
            StartProgram({Case, "--report", Report, "--stages-csv", Stages}, Streams, Limit));
        const std::string Err = ReadText(Streams.File("stderr.txt"));
        const std::string Now = ReadText(Report);
        // Whatever the limit, no temporary file is left.
        std::set<std::string> Names = NamesIn(Dir.Path);
        Names.erase("stages.csv");
        EXPECT_EQ(Names, (std::set<std::string>{"case.Hyd", "report.txt"}));
        if (Status == 0) {
            EXPECT_EQ(Now, Whole);
            High = Limit;
        } else if (Err.find("Ошибка генерации отчёта!\n") != std::string::npos) {
            Seen = true;
            EXPECT_EQ(Status, 1);
            EXPECT_EQ(Now, "old\n");
            EXPECT_NE(Err.find("hyd-calc: отчёт не создан, файл «" + Report + "» не записан\n"),
                      std::string::npos)
                << Err;
            EXPECT_EQ(ReadText(Stages), StagesHeader + "\n");
        } else {
            // Too little for the run itself: it stops with an error message,
            // or the program cannot even start.
            EXPECT_TRUE(Now == "old\n" || Status == 1) << Status << " " << Err;
            Low = Limit;
        }
    }
    EXPECT_TRUE(Seen) << "no limit let the run finish but not the report";
}
