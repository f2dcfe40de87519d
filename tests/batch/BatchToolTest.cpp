// hyd-calc: arguments, messages, outputs and exit statuses; through RunBatch
// and, for a few cases, through the real program.

#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <iomanip>
#include <vector>

#include <sys/wait.h>

#include "tests/TestFiles.h"
#include "batch/BatchTool.h"
#include "engine/Calc.h"

namespace {

std::vector<std::string> Lines(const std::string& Text)
{
    std::vector<std::string> Result;
    std::istringstream In(Text);
    for (std::string Line; std::getline(In, Line);) Result.push_back(Line);
    return Result;
}

// The comma-separated numbers of a CSV line; each must read back whole.
std::vector<double> Numbers(const std::string& Line)
{
    std::vector<double> Result;
    for (std::size_t Start = 0; Start <= Line.size();) {
        std::size_t End = Line.find(',', Start);
        if (End == std::string::npos) End = Line.size();
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
    for (const std::string& Arg : Args) Command << ' ' << std::quoted(Arg, '\'');
    Command << " >" << std::quoted(Out, '\'') << " 2>" << std::quoted(Err, '\'');
    const int Raw = std::system(Command.str().c_str());
    return {WIFEXITED(Raw) ? WEXITSTATUS(Raw) : -1, ReadText(Out), ReadText(Err)};
}

// An empty horizontal pipe filled at constant pressure.
const char* const ConstantCase =
    "[Data]\nStep= 1.00000000000000E-0003\nSteps=50\nPressure= 1.00000000000000E+0004\n"
    "Length= 2.00000000000000E+0001\n[BlowData]\nMayBlow=0\n";

// What the run of FaultCase shows: the hammer check complains about the
// missing diameter first (it runs in every run with a driving pipe), then the
// faulting step, then the run command.
const char* const FaultCase = "[Data]\nSteps=10\nInitialFill=-1\nDiameter=0\n";
const std::string FaultMessages =
    "Не указаны все необходимые параметры для расчёта внешнего гидроудара!\n"
    "Ошибка выполнения расчётов!!\n"
    "Расчёт прерван!\n";

const std::string RecordsHeader = "Time,Fill,Speed,Accel,Losses,Re";
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
        {},                     {"--csv", Csv} /* no case */,  {Case, "--bogus"},
        {Case, "--csv"},        {Case, "--csv="},              {Case, Case},
        {"--csv", "--svg", Dir.File("a.svg"), Case},  // an option is no value
        {Case, "--size", "15x500"},    {Case, "--size=800x500x1"},
        {Case, "--gravity", "-1"},     {Case, "--gravity=9,81"},  {Case, "--gravity", "nan"},
        {Case, "--csv", Csv, "--csv", Dir.File("b.csv")},          {"--help=yes"},
    };
    for (const auto& Args : Bad) {
        std::string Joined;
        for (const auto& A : Args) Joined += A + " ";
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

TEST(BatchCase, UnreadableOrIncompleteCaseExitsWithTwoAndWritesNothing)
{
    TCaseDir Dir("[Data]\nStep=0\nDensity=0\n");
    const std::string Missing = Dir.File("missing.Hyd"), Folder = Dir.Path.string();
    const struct {
        std::string Case, Err;
    } Cases[] = {
        {Missing, "Ошибка открытия файла параметров «" + Missing + "»!\n"},
        {Folder, "Ошибка открытия файла параметров «" + Folder + "»!\n"},
        // An incomplete case shows only its status.
        {Dir.Case, " ——— Недостаточно данных для расчёта: шаг времени должен быть больше 0, "
                   "плотность должна быть больше 0! ———\n"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Case);
        const TResult R = Batch({C.Case, "--csv", Dir.File("a.csv"), "--report", Dir.File("r.txt")});
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

TEST(BatchOutput, CsvFilesHoldTheRecordsAndTheStagesAndReplaceOldFiles)
{
    TCaseDir Dir;
    WriteText(Dir.File("s.csv"), "old content that is longer than the new one\n");
    const TResult R =
        Batch({Dir.Case, "--csv", Dir.File("r.csv"), "--stages-csv", Dir.File("s.csv")});
    ASSERT_EQ(R.Status, 0) << R.Err;
    const std::string Csv = ReadText(Dir.File("r.csv"));
    EXPECT_EQ(Csv.find('\r'), std::string::npos);
    const auto L = Lines(Csv);
    ASSERT_EQ(L.size(), 51u);
    EXPECT_EQ(L[0], RecordsHeader);
    const auto First = Numbers(L[1]);
    ASSERT_EQ(First.size(), 6u);
    EXPECT_EQ(First[0], 0.001);
    EXPECT_GT(First[2], 0);  // the liquid flows in
    EXPECT_EQ(Numbers(L[50])[0], 50 * 0.001);
    // Constant pressure: the stage list is empty, the file only a header.
    EXPECT_EQ(ReadText(Dir.File("s.csv")), StagesHeader + "\n");
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

TEST(BatchMessages, MessagesGoToStandardErrorInOrderAndSetTheExitStatus)
{
    const struct {
        const char* Case;
        int Status;
        std::string Err;
    } Cases[] = {
        // A front outside the inlet of a pipe without a diameter divides by zero.
        {FaultCase, 1, FaultMessages},
        // Drive on, but the filled pipe is as wide as the driving pipe: a warning only.
        {"[Data]\nSteps=20\nDiameter=0.1\n"
         "[BlowData]\nMayBlow=1\nSpeed=2\nDiameter=0.1\nLength=10\n",
         0,
         "Диаметр рассчитываемой трубы должен быть меньше диаметра разгонной (гидроударной) "
         "трубы,\nиначе расчёт будет выполнен для постоянного давления, равного "
         "противодавлению!\n"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Status);
        TCaseDir Dir(C.Case);
        const TResult R = Batch({Dir.Case, "--csv", Dir.File("r.csv")});
        EXPECT_EQ(R.Status, C.Status);
        EXPECT_EQ(R.Err, C.Err);
        // The files are written whatever the outcome.
        EXPECT_EQ(Lines(ReadText(Dir.File("r.csv")))[0], RecordsHeader);
    }
}

TEST(BatchMessages, GravityOptionChangesTheRun)
{
    TCaseDir Dir("[Data]\nSteps=5\nSlope=30\nInitialFill=1\nPressure=0\nViscous=0\n");
    ASSERT_EQ(Batch({Dir.Case, "--csv", Dir.File("a.csv"), "--gravity", "0"}).Status, 0);
    ASSERT_EQ(Batch({Dir.Case, "--csv", Dir.File("b.csv"), "--gravity", "20"}).Status, 0);
    // Without gravity and pressure the column stays at rest; with it, it slides.
    EXPECT_EQ(Numbers(Lines(ReadText(Dir.File("a.csv")))[5])[2], 0);
    EXPECT_GT(Numbers(Lines(ReadText(Dir.File("b.csv")))[5])[2], 0);
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

TEST(BatchProgram, StatusesAndStreams)
{
    TCaseDir Dir(FaultCase);
    const TResult Usage = RunProgram({"--frobnicate"}, Dir);
    EXPECT_EQ(Usage.Status, 2);
    EXPECT_EQ(Usage.Out, "");
    EXPECT_NE(Usage.Err, "");
    const TResult Fault = RunProgram({Dir.Case}, Dir);
    EXPECT_EQ(Fault.Status, 1);
    EXPECT_EQ(Fault.Err, FaultMessages);
    EXPECT_NE(Fault.Out, "");  // the report of the failed run
}
