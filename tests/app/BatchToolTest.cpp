// hyd-calc: arguments, messages, outputs and exit statuses; through RunBatch
// and, for a few cases, through the real program.

#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "BatchTool.h"
#include "Calc.h"

namespace fs = std::filesystem;

namespace {

class TTempDir {
public:
    TTempDir()
    {
        std::random_device Seed;
        Path = fs::temp_directory_path() / ("hyd-batch-test-" + std::to_string(Seed()));
        fs::create_directories(Path);
    }
    ~TTempDir()
    {
        std::error_code Ec;
        fs::remove_all(Path, Ec);
    }
    std::string File(const std::string& Name) const { return (Path / Name).string(); }
    fs::path Path;
};

void WriteText(const std::string& Name, const std::string& Text)
{
    std::ofstream(Name, std::ios::binary) << Text;
}

std::string ReadText(const std::string& Name)
{
    std::ifstream In(Name, std::ios::binary);
    std::ostringstream S;
    S << In.rdbuf();
    return S.str();
}

std::vector<std::string> Lines(const std::string& Text)
{
    std::vector<std::string> Result;
    std::istringstream In(Text);
    for (std::string Line; std::getline(In, Line);) Result.push_back(Line);
    return Result;
}

std::vector<double> Numbers(const std::string& Line)
{
    std::vector<double> Result;
    std::size_t Start = 0;
    while (Start <= Line.size()) {
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
    std::string Out;
    std::string Err;
};

TResult Batch(const std::vector<std::string>& Args)
{
    std::ostringstream Out, Err;
    const int Status = RunBatch(Args, Out, Err);
    return {Status, Out.str(), Err.str()};
}

// An empty horizontal pipe filled at constant pressure.
const char* const ConstantCase =
    "[Data]\n"
    "Step= 1.00000000000000E-0003\n"
    "Steps=50\n"
    "Pressure= 1.00000000000000E+0004\n"
    "Length= 2.00000000000000E+0001\n"
    "[BlowData]\n"
    "MayBlow=0\n";

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

}  // namespace

// ---------------------------------------------------------------------------
// Arguments.

TEST(BatchArgs, UsageErrorsExitWithTwoAndWriteNothing)
{
    TTempDir Dir;
    const std::string Case = Dir.File("case.Hyd");
    WriteText(Case, ConstantCase);
    const std::vector<std::vector<std::string>> Bad = {
        {},
        {"--csv", Dir.File("a.csv")},                 // no case
        {Case, "--bogus"},
        {Case, "-x"},
        {Case, "--csv"},                              // missing value
        {Case, "--csv="},
        {"--csv", "--svg", Dir.File("a.svg"), Case},  // an option is no value
        {Case, Case},                                 // a second case file
        {Case, "--size", "15x500"},
        {Case, "--size", "800x10001"},
        {Case, "--size", "800"},
        {Case, "--size=800x500x1"},
        {Case, "--size", "80.5x500"},
        {Case, "--gravity", "-1"},
        {Case, "--gravity", "1e7"},
        {Case, "--gravity=9,81"},
        {Case, "--gravity", "nan"},
        {Case, "--csv", Dir.File("a.csv"), "--csv", Dir.File("b.csv")},
        {"--help=yes"},
    };
    for (const auto& Args : Bad) {
        const TResult R = Batch(Args);
        std::string Joined;
        for (const auto& A : Args) Joined += A + " ";
        EXPECT_EQ(R.Status, 2) << Joined;
        EXPECT_TRUE(R.Out.empty()) << Joined;
        EXPECT_EQ(R.Err.rfind("hyd-calc: ", 0), 0u) << Joined << R.Err;
    }
    EXPECT_FALSE(fs::exists(Dir.File("a.csv")));
    EXPECT_FALSE(fs::exists(Dir.File("a.svg")));
}

TEST(BatchArgs, HelpAndVersionGoToStandardOutput)
{
    TResult R = Batch({"--help"});
    EXPECT_EQ(R.Status, 0);
    EXPECT_NE(R.Out.find("--stages-csv"), std::string::npos);
    EXPECT_TRUE(R.Err.empty());
    R = Batch({"--version"});
    EXPECT_EQ(R.Status, 0);
    EXPECT_EQ(R.Out, "hyd-calc (Hyd Flow) 1.2.2.1\n");
    EXPECT_TRUE(R.Err.empty());
}

TEST(BatchArgs, OptionsStandBeforeOrAfterTheCaseInBothForms)
{
    TTempDir Dir;
    const std::string Case = Dir.File("case.Hyd");
    WriteText(Case, ConstantCase);
    TResult R = Batch({"--csv=" + Dir.File("a.csv"), Case, "--stages-csv", Dir.File("s.csv"),
                     "--gravity=0", "--size", "100x80", "--svg", Dir.File("c.svg")});
    EXPECT_EQ(R.Status, 0) << R.Err;
    EXPECT_TRUE(R.Out.empty());
    EXPECT_TRUE(fs::exists(Dir.File("a.csv")));
    EXPECT_TRUE(fs::exists(Dir.File("s.csv")));
    EXPECT_TRUE(fs::exists(Dir.File("c.svg")));
    // "--" ends the options: a case file may then start with "-".
    WriteText(Dir.File("-odd.Hyd"), ConstantCase);
    const fs::path Saved = fs::current_path();
    fs::current_path(Dir.Path);
    R = Batch({"--csv", "b.csv", "--", "-odd.Hyd"});
    fs::current_path(Saved);
    EXPECT_EQ(R.Status, 0) << R.Err;
    EXPECT_TRUE(fs::exists(Dir.File("b.csv")));
}

// ---------------------------------------------------------------------------
// The case file.

TEST(BatchCase, CaseThatCannotBeOpenedExitsWithTwo)
{
    TTempDir Dir;
    const std::string Missing = Dir.File("missing.Hyd");
    TResult R = Batch({Missing, "--csv", Dir.File("a.csv")});
    EXPECT_EQ(R.Status, 2);
    EXPECT_EQ(R.Err, "Ошибка открытия файла параметров «" + Missing + "»!\n");
    EXPECT_FALSE(fs::exists(Dir.File("a.csv")));

    R = Batch({Dir.Path.string()});   // a folder
    EXPECT_EQ(R.Status, 2);
    EXPECT_EQ(R.Err, "Ошибка открытия файла параметров «" + Dir.Path.string() + "»!\n");
    EXPECT_TRUE(R.Out.empty());
}

TEST(BatchCase, IncompleteCaseShowsOnlyTheStatusAndWritesNothing)
{
    TTempDir Dir;
    const std::string Case = Dir.File("bad.Hyd");
    WriteText(Case, "[Data]\nStep=0\nDensity=0\n");
    const TResult R = Batch({Case, "--csv", Dir.File("a.csv"), "--report", Dir.File("r.txt")});
    EXPECT_EQ(R.Status, 2);
    EXPECT_EQ(R.Err,
              " ——— Недостаточно данных для расчёта: шаг времени должен быть больше 0, "
              "плотность должна быть больше 0! ———\n");
    EXPECT_TRUE(R.Out.empty());
    EXPECT_FALSE(fs::exists(Dir.File("a.csv")));
    EXPECT_FALSE(fs::exists(Dir.File("r.txt")));
}

// ---------------------------------------------------------------------------
// Outputs.

TEST(BatchOutput, ReportGoesToStandardOutputWithoutOutputOptions)
{
    TTempDir Dir;
    const std::string Case = Dir.File("case.Hyd");
    WriteText(Case, ConstantCase);
    TResult R = Batch({Case});
    EXPECT_EQ(R.Status, 0) << R.Err;
    EXPECT_TRUE(R.Err.empty());
    EXPECT_FALSE(R.Out.empty());
    EXPECT_NE(R.Out.find("\r\n"), std::string::npos);

    R = Batch({Case, "--report", Dir.File("r.txt")});
    EXPECT_EQ(R.Status, 0) << R.Err;
    EXPECT_TRUE(R.Out.empty());
    const std::string Report = ReadText(Dir.File("r.txt"));
    EXPECT_EQ(Report, Batch({Case}).Out);
}

TEST(BatchOutput, CsvFilesHoldTheRecordsAndTheStages)
{
    TTempDir Dir;
    const std::string Case = Dir.File("case.Hyd");
    WriteText(Case, ConstantCase);
    const TResult R =
        Batch({Case, "--csv", Dir.File("r.csv"), "--stages-csv", Dir.File("s.csv")});
    ASSERT_EQ(R.Status, 0) << R.Err;
    const std::string Csv = ReadText(Dir.File("r.csv"));
    EXPECT_EQ(Csv.find('\r'), std::string::npos);
    const auto L = Lines(Csv);
    ASSERT_EQ(L.size(), 51u);
    EXPECT_EQ(L[0], RecordsHeader);
    const auto First = Numbers(L[1]);
    ASSERT_EQ(First.size(), 6u);
    EXPECT_EQ(First[0], 0.001);
    EXPECT_GT(First[2], 0);   // the liquid flows in
    EXPECT_EQ(Numbers(L[50])[0], 50 * 0.001);
    // Constant pressure: the stage list is empty.
    EXPECT_EQ(ReadText(Dir.File("s.csv")), StagesHeader + "\n");
}

TEST(BatchOutput, CsvNumbersReadBackExactly)
{
    TCalc Calc;
    Calc.Records = new TCalcStep[2]{{0.1, 1.0 / 3, -2.5e-300, 1e300, 0, 123456789.125},
                                    {0.2, -0.0, 5e-324, 1.7976931348623157e308, 7, 1}};
    Calc.Capacity = 2;
    Calc.Count = 2;
    const auto L = Lines(RecordsCsv(Calc));
    ASSERT_EQ(L.size(), 3u);
    EXPECT_EQ(L[1], "0.1,0.3333333333333333,-2.5e-300,1e+300,0,123456789.125");
    const auto Back = Numbers(L[2]);
    EXPECT_EQ(Back[2], 5e-324);
    EXPECT_EQ(Back[3], 1.7976931348623157e308);

    TCalcStage* S = Calc.AppendStage();
    S->StartTime = 0.5;
    S->Pause = 0.25;
    EXPECT_EQ(StagesCsv(Calc), StagesHeader + "\n0.5,0,0,0,0,0,0,0.25\n");
}

TEST(BatchOutput, UnwritableOutputExitsWithTwoAndNamesTheFile)
{
    TTempDir Dir;
    const std::string Case = Dir.File("case.Hyd");
    WriteText(Case, ConstantCase);
    const std::string Bad = Dir.File("no-such-dir/r.csv");
    const TResult R = Batch({Case, "--csv", Bad, "--report", Dir.File("r.txt")});
    EXPECT_EQ(R.Status, 2);
    EXPECT_NE(R.Err.find("«" + Bad + "»"), std::string::npos) << R.Err;
    EXPECT_TRUE(R.Out.empty());
    // The other outputs are still written, and no temporary file is left.
    EXPECT_TRUE(fs::exists(Dir.File("r.txt")));
    for (const auto& E : fs::directory_iterator(Dir.Path))
        EXPECT_EQ(E.path().string().find(".tmp"), std::string::npos) << E.path();
}

TEST(BatchOutput, ExistingOutputIsReplaced)
{
    TTempDir Dir;
    const std::string Case = Dir.File("case.Hyd");
    WriteText(Case, ConstantCase);
    WriteText(Dir.File("s.csv"), "old content that is longer than the new one\n");
    ASSERT_EQ(Batch({Case, "--stages-csv", Dir.File("s.csv")}).Status, 0);
    EXPECT_EQ(ReadText(Dir.File("s.csv")), StagesHeader + "\n");
}

// ---------------------------------------------------------------------------
// Messages and exit statuses.

TEST(BatchMessages, FailedRunShowsTheMessagesInOrderAndExitsWithOne)
{
    TTempDir Dir;
    const std::string Case = Dir.File("fault.Hyd");
    // A front outside the inlet of a pipe without a diameter divides by zero.
    WriteText(Case, FaultCase);
    const TResult R = Batch({Case, "--csv", Dir.File("r.csv")});
    EXPECT_EQ(R.Status, 1);
    EXPECT_EQ(R.Err, FaultMessages);
    // The files are written whatever the outcome.
    EXPECT_EQ(Lines(ReadText(Dir.File("r.csv")))[0], RecordsHeader);
}

TEST(BatchMessages, WarningsKeepExitZero)
{
    TTempDir Dir;
    const std::string Case = Dir.File("wide.Hyd");
    // Drive on, but the filled pipe is as wide as the driving pipe.
    WriteText(Case,
              "[Data]\nSteps=20\nDiameter=0.1\n"
              "[BlowData]\nMayBlow=1\nSpeed=2\nDiameter=0.1\nLength=10\n");
    const TResult R = Batch({Case, "--csv", Dir.File("r.csv")});
    EXPECT_EQ(R.Status, 0);
    EXPECT_NE(R.Err.find("Диаметр рассчитываемой трубы должен быть меньше диаметра разгонной "
                         "(гидроударной) трубы,\nиначе расчёт будет выполнен для постоянного "
                         "давления, равного противодавлению!\n"),
              std::string::npos)
        << R.Err;
}

TEST(BatchMessages, GravityOptionChangesTheRun)
{
    TTempDir Dir;
    const std::string Case = Dir.File("slope.Hyd");
    WriteText(Case, "[Data]\nSteps=5\nSlope=30\nInitialFill=1\nPressure=0\nViscous=0\n");
    ASSERT_EQ(Batch({Case, "--csv", Dir.File("a.csv"), "--gravity", "0"}).Status, 0);
    ASSERT_EQ(Batch({Case, "--csv", Dir.File("b.csv"), "--gravity", "20"}).Status, 0);
    // Without gravity and pressure the column stays at rest; with it, it slides.
    EXPECT_EQ(Numbers(Lines(ReadText(Dir.File("a.csv")))[5])[2], 0);
    EXPECT_GT(Numbers(Lines(ReadText(Dir.File("b.csv")))[5])[2], 0);
}

// ---------------------------------------------------------------------------
// The real program.

namespace {

// Runs the real program through the shell, each argument in quotes.
TResult RunProgram(const std::vector<std::string>& Args, const TTempDir& Dir)
{
    auto Quote = [](const std::string& Text) {
        std::string Quoted = "'";
        Quoted += Text;
        Quoted += "'";
        return Quoted;
    };
    const std::string Out = Dir.File("stdout.txt"), Err = Dir.File("stderr.txt");
    std::string Command = Quote(HYD_CALC_EXE);
    for (const std::string& Arg : Args) {
        Command += ' ';
        Command += Quote(Arg);
    }
    Command += " >";
    Command += Quote(Out);
    Command += " 2>";
    Command += Quote(Err);
    const int Raw = std::system(Command.c_str());
    const int Status = WIFEXITED(Raw) ? WEXITSTATUS(Raw) : -1;
    return {Status, ReadText(Out), ReadText(Err)};
}

}  // namespace

TEST(BatchProgram, ExamplesRunCleanly)
{
    TTempDir Dir;
    for (const char* Name : {"constant-pressure", "single-hammer", "repeated-hammer"}) {
        const std::string Case = std::string(HYD_EXAMPLES_DIR) + "/" + Name + ".Hyd";
        const TResult R = RunProgram({Case, "--stages-csv", Dir.File("s.csv"), "--csv",
                                      Dir.File("r.csv"), "--report", Dir.File("r.txt")},
                                     Dir);
        EXPECT_EQ(R.Status, 0) << Name << ": " << R.Err;
        EXPECT_TRUE(R.Err.empty()) << Name << ": " << R.Err;
        EXPECT_TRUE(R.Out.empty()) << Name;
        const auto Stages = Lines(ReadText(Dir.File("s.csv")));
        const std::size_t Expected = std::string(Name) == "constant-pressure" ? 1
                                     : std::string(Name) == "single-hammer"   ? 2
                                                                              : 3;
        EXPECT_GE(Stages.size(), Expected) << Name;
        if (std::string(Name) == "single-hammer") {
            EXPECT_EQ(Stages.size(), 2u);
        }
    }
}

TEST(BatchProgram, StatusesAndStreams)
{
    TTempDir Dir;
    TResult R = RunProgram({"--version"}, Dir);
    EXPECT_EQ(R.Status, 0);
    EXPECT_EQ(R.Out, "hyd-calc (Hyd Flow) 1.2.2.1\n");
    R = RunProgram({"--frobnicate"}, Dir);
    EXPECT_EQ(R.Status, 2);
    EXPECT_TRUE(R.Out.empty());
    EXPECT_FALSE(R.Err.empty());
    WriteText(Dir.File("fault.Hyd"), FaultCase);
    R = RunProgram({Dir.File("fault.Hyd")}, Dir);
    EXPECT_EQ(R.Status, 1);
    EXPECT_EQ(R.Err, FaultMessages);
    EXPECT_FALSE(R.Out.empty());   // the report of the failed run
}
