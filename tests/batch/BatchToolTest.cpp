// hyd-calc: arguments, messages, outputs and exit statuses; through RunBatch
// and, for a few cases, through the real program. Whole outputs of typical and
// odd cases are pinned by the golden cases (GoldenCaseTest.cpp, tests/cases);
// these tests cover what those do not: options, usage errors, unreadable
// cases, replaced and unwritable files, the report on standard output.

#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <iomanip>
#include <vector>

#include <sys/wait.h>

#include "batch/BatchTool.h"
#include "engine/Calc.h"
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

// An empty horizontal pipe filled at constant pressure.
const char* const ConstantCase =
    "[Data]\nStep= 1.00000000000000E-0003\nSteps=50\nPressure= 1.00000000000000E+0004\n"
    "Length= 2.00000000000000E+0001\n[BlowData]\nMayBlow=0\n";

// A front outside the inlet of a pipe without a diameter divides by zero: the
// run stops with an error message.
const char* const FaultCase = "[Data]\nSteps=10\nInitialFill=-1\nDiameter=0\n";

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
