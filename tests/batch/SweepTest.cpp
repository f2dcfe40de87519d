// hyd-calc's series of runs: keys set and swept from the command line, the
// summary, the variants' files against single runs, threads and shares, and
// the bad input refused before any run.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <thread>

#include "batch/BatchTool.h"
#include "batch/Sweep.h"
#include "case/CaseOverrides.h"
#include "case/RunSetup.h"
#include "engine/Calc.h"
#include "engine/RunGlobals.h"
#include "engine/UserLink.h"
#include "tests/TestFiles.h"

namespace {

struct TResult {
    int Status = -1;
    std::string Out, Err;
};

TResult Hyd(std::vector<std::string> Args)
{
    std::ostringstream Out, Err;
    TResult Result;
    Result.Status = RunBatch(Args, Out, Err);
    Result.Out = Out.str();
    Result.Err = Err.str();
    return Result;
}

std::string Example(const std::string& Name)
{
    return std::string(HYD_EXAMPLES_DIR) + "/" + Name;
}

std::vector<std::string> Lines(const std::string& Text)
{
    std::vector<std::string> Result;
    std::istringstream In(Text);
    for (std::string Line; std::getline(In, Line);)
        Result.push_back(Line);
    return Result;
}

std::vector<std::string> Fields(const std::string& Line)
{
    std::vector<std::string> Result;
    std::string Field;
    bool Quoted = false;
    for (char C : Line) {
        if (C == '"')
            Quoted = !Quoted;
        else if (C == ',' && !Quoted)
            Result.push_back(std::exchange(Field, {}));
        else
            Field += C;
    }
    Result.push_back(Field);
    return Result;
}

// Every file of a folder by name, with its bytes.
std::map<std::string, std::string> Files(const fs::path& Dir)
{
    std::map<std::string, std::string> Result;
    for (const auto& Entry : fs::directory_iterator(Dir))
        Result[Entry.path().filename().string()] = ReadText(Entry.path().string());
    return Result;
}

// The engine's run-wide state is per thread: a run set up on one thread is
// not seen by another, and each puts back its own.
TEST(RunGlobals, EachThreadHasItsOwn)
{
    TCase Case;
    Case.NarrowingKind = 1;
    TCalc MainBlow;
    TStdErrLink MainLink;
    TRunSetup Main(Case, MainBlow, 1.5, MainLink);
    std::thread Other([] {
        EXPECT_EQ(Gravity, 9.81);
        EXPECT_EQ(BlowCalc, nullptr);
        EXPECT_EQ(NarrowingKind(), 0);
        TCase OtherCase;
        TCalc OtherBlow;
        TStdErrLink OtherLink;
        {
            TRunSetup Setup(OtherCase, OtherBlow, 3.5, OtherLink);
            EXPECT_EQ(Gravity, 3.5);
            EXPECT_EQ(BlowCalc, &OtherBlow);
            EXPECT_EQ(&UserLink(), &OtherLink);
        }
        EXPECT_EQ(Gravity, 9.81);
        EXPECT_EQ(BlowCalc, nullptr);
    });
    Other.join();
    EXPECT_EQ(Gravity, 1.5);
    EXPECT_EQ(BlowCalc, &MainBlow);
    EXPECT_EQ(NarrowingKind(), 1);
    EXPECT_EQ(&UserLink(), &MainLink);
}

TEST(CaseOverrides, KeysAreFoundAsTheModelSpellsThem)
{
    const struct {
        const char* Name;
        const char* Found;  // nullptr: unknown
    } Table[] = {
        {"Data.Step", "Data.Step"},
        {"data.STEP", "Data.Step"},
        {"Data.Steps", "Data.Steps"},
        {"Data.LiquidKind", "Data.LiquidKind"},
        {"BlowData.Speed", "BlowData.Speed"},
        {"blowdata.maytrunc", "BlowData.MayTrunc"},
        {"BlowData.NarrowingKind", "BlowData.NarrowingKind"},
        {"BlowData.Top", nullptr},  // the dialog's place, no parameter
        {"Data.Speed", nullptr},
        {"Data.Gravity", nullptr},
        {"Step", nullptr},
        {"Data.", nullptr},
        {".Step", nullptr},
        {"Data.Step.x", nullptr},
    };
    for (const auto& Row : Table) {
        const auto Key = FindCaseKey(Row.Name);
        ASSERT_EQ(Key.has_value(), Row.Found != nullptr) << Row.Name;
        if (Key) {
            EXPECT_EQ(Key->Name(), Row.Found) << Row.Name;
        }
    }
}

TEST(CaseOverrides, OnlyWholeNumbersAreValues)
{
    for (const char* Good : {"1", "-1", "+5", "2.5e-3", " 0.5 ", "0.5", "1E+0003", "-0"})
        EXPECT_TRUE(IsNumberText(Good)) << Good;
    for (const char* Bad : {"", " ", "abc", "5 м", "1 234", "5e", "nan", "inf", "-inf", "0x10",
                            "1,5", "--1", "+-1", "1e5x", "1e400", "-.5"})
        EXPECT_FALSE(IsNumberText(Bad)) << Bad;
}

TEST(CaseOverrides, ParseNamesTheFault)
{
    std::string Error;
    const auto Good = ParseCaseOverride("data.slope= 5 ", Error);
    ASSERT_TRUE(Good);
    EXPECT_EQ(Good->Key.Name(), "Data.Slope");
    EXPECT_EQ(Good->Value, "5");
    EXPECT_FALSE(ParseCaseOverride("Data.Slop=5", Error));
    EXPECT_NE(Error.find("неизвестный ключ «Data.Slop»"), std::string::npos) << Error;
    EXPECT_FALSE(ParseCaseOverride("Data.Slope=5м", Error));
    EXPECT_NE(Error.find("не является числом"), std::string::npos) << Error;
    EXPECT_FALSE(ParseCaseOverride("Data.Slope", Error));
}

TEST(SweepAxis, RangesAndLists)
{
    const struct {
        const char* Text;
        std::vector<std::string> Values;
    } Table[] = {
        {"Data.Slope=0:1:5", {"0", "0.25", "0.5", "0.75", "1"}},
        {"Data.Slope=10:0:3", {"10", "5", "0"}},
        {"Data.Slope=7:9:1", {"7"}},
        {"Data.Pressure=100000:200000:2", {"100000", "200000"}},
        {"Data.Step=1e-3:2e-3:2", {"0.001", "0.002"}},
        {"Data.Viscous=1e-20:1e-19:2", {"1e-20", "1e-19"}},
        {"Data.Slope=0.1:0.3:3", {"0.1", "0.2", "0.3"}},
        {"Data.Slope=1,2.5, 3 ", {"1", "2.5", "3"}},
        {"Data.Slope=4", {"4"}},
    };
    for (const auto& Row : Table) {
        std::string Error;
        const auto Axis = ParseSweepAxis(Row.Text, Error);
        ASSERT_TRUE(Axis) << Row.Text << ": " << Error;
        EXPECT_EQ(Axis->Values, Row.Values) << Row.Text;
    }
}

TEST(SweepAxis, VariantsRunLastAxisFastest)
{
    std::string Error;
    const std::vector<TSweepAxis> Axes = {*ParseSweepAxis("Data.Slope=1,2", Error),
                                          *ParseSweepAxis("Data.Pressure=1,2,3", Error)};
    EXPECT_EQ(SweepVariantCount(Axes), 6u);
    const std::vector<std::vector<std::size_t>> Expected = {{0, 0}, {0, 1}, {0, 2},
                                                            {1, 0}, {1, 1}, {1, 2}};
    for (std::uint64_t I = 0; I < 6; ++I)
        EXPECT_EQ(SweepVariantAt(Axes, I), Expected[I]) << I;
    EXPECT_EQ(SweepVariantCount({}), 1u);
}

// --set reads as the file's own key would: limits, clamping, the reading rules.
TEST(SetOption, ReadsAsTheFileWould)
{
    TTempDir Dir;
    const std::string Base = ReadText(Example("constant-pressure.Hyd"));
    const struct {
        const char* Set;
        const char* Key;     // the line of the file replaced
        const char* InFile;  // by this line
    } Table[] = {
        {"Data.Slope=120", "Slope= 0.00000000000000E+0000", "Slope=120"},  // clamped to 90
        {"Data.Steps=2000000000", "Steps=10000", "Steps=2000000000"},      // clamped
        {"Data.Steps=300", "Steps=10000", "Steps=300"},
        {"data.pressure=1.5e5", "Pressure= 2.00000000000000E+0005", "Pressure=1.5e5"},
        {"Data.LiquidKind=99", "LiquidKind=2", "LiquidKind=99"},
    };
    for (const auto& Row : Table) {
        std::string Text = Base;
        Text.replace(Text.find(Row.Key), std::string(Row.Key).size(), Row.InFile);
        WriteText(Dir.File("edited.Hyd"), Text);
        const TResult Edited = Hyd({Dir.File("edited.Hyd"), "--csv", "-"});
        const TResult Set = Hyd({Example("constant-pressure.Hyd"), "--set", Row.Set, "--csv", "-"});
        EXPECT_EQ(Set.Status, Edited.Status) << Row.Set;
        EXPECT_EQ(Set.Out, Edited.Out) << Row.Set;
        EXPECT_EQ(Set.Err, Edited.Err) << Row.Set;
    }
    // Repeated: the later wins; --strict sees the value set.
    EXPECT_EQ(Hyd({Example("constant-pressure.Hyd"), "--set=Data.Steps=5", "--set",
                   "Data.Steps=300", "--csv", "-"})
                  .Out,
              Hyd({Example("constant-pressure.Hyd"), "--set", "Data.Steps=300", "--csv", "-"}).Out);
    const TResult Strict =
        Hyd({Example("constant-pressure.Hyd"), "--strict", "--set", "Data.Slope=120"});
    EXPECT_EQ(Strict.Status, BatchFailure);
    EXPECT_NE(Strict.Err.find("Slope"), std::string::npos) << Strict.Err;
}

// Each variant's files and summary row are those of a single run of it.
TEST(Sweep, VariantsEqualSingleRuns)
{
    for (const char* Case : {"constant-pressure.Hyd", "single-hammer.Hyd", "repeated-hammer.Hyd"}) {
        TTempDir Dir;
        const TResult Sweep = Hyd({Example(Case), "--set", "Data.Steps=400", "--sweep",
                                   "Data.Pressure=100000:300000:3", "--sweep", "Data.Length=0,1",
                                   "--outputs", Dir.File("out"), "--summary", Dir.File("s.csv")});
        ASSERT_LE(Sweep.Status, BatchCalcError) << Case << Sweep.Err;
        const std::vector<std::string> Rows = Lines(ReadText(Dir.File("s.csv")));
        ASSERT_EQ(Rows.size(), 7u) << Case;
        EXPECT_EQ(Fields(Rows[0])[1], "Data.Pressure");
        EXPECT_EQ(Fields(Rows[0])[2], "Data.Length");
        const auto Out = Files(Dir.Path / "out");
        std::size_t Compared = 0;
        for (int V = 1; V <= 6; ++V) {
            const std::string Pressure = std::to_string(100000 * (1 + (V - 1) / 2));
            const std::string Length = std::to_string((V - 1) % 2);
            const std::vector<std::string> Row = Fields(Rows[V]);
            ASSERT_EQ(Row[0], std::to_string(V));
            EXPECT_EQ(Row[1], Pressure);
            EXPECT_EQ(Row[2], Length);

            const std::string Stem = Dir.File("single");
            std::vector<std::string> Args = {Example(Case),
                                             "--set",
                                             "Data.Steps=400",
                                             "--set",
                                             "Data.Pressure=" + Pressure,
                                             "--set",
                                             "Data.Length=" + Length,
                                             "--report",
                                             Stem + ".txt",
                                             "--csv",
                                             Stem + ".csv",
                                             "--svg",
                                             Stem + ".svg",
                                             "--stages-csv",
                                             Stem + ".stages.csv"};
            const TResult Single = Hyd(Args);
            EXPECT_EQ(std::to_string(Single.Status), Row[3]) << Case << V;
            const std::string Base =
                std::to_string(V) + "_Data.Pressure=" + Pressure + "_Data.Length=" + Length;
            for (const std::string Ending : {".txt", ".csv", ".svg", ".stages.csv"}) {
                const auto It = Out.find(Base + Ending);
                if (Ending == ".stages.csv" && Row[5] == "constant") {
                    EXPECT_EQ(It, Out.end());
                    continue;
                }
                ASSERT_NE(It, Out.end()) << Base + Ending;
                EXPECT_EQ(It->second, ReadText(Stem + Ending)) << Case << " " << Base + Ending;
                ++Compared;
            }
            // The single run's own summary row, without the swept columns.
            const TResult Alone =
                Hyd({Example(Case), "--set", "Data.Steps=400", "--set", "Data.Pressure=" + Pressure,
                     "--set", "Data.Length=" + Length, "--summary", "-"});
            std::vector<std::string> AloneRow = Fields(Lines(Alone.Out).at(1));
            std::vector<std::string> SweepRow = Row;
            SweepRow.erase(SweepRow.begin(), SweepRow.begin() + 3);
            AloneRow.erase(AloneRow.begin());
            EXPECT_EQ(SweepRow, AloneRow) << Case << V;
        }
        EXPECT_GE(Compared, 18u);
    }
}

TEST(Sweep, SummaryColumns)
{
    TTempDir Dir;
    // A pipe of 10 m fills in the run, an endless one never; a density of 0
    // cannot be calculated and is said in its row, the other variants run.
    const TResult R = Hyd({Example("constant-pressure.Hyd"), "--sweep", "Data.Length=10,0",
                           "--sweep", "Data.Density=999,0", "--summary", "-", "--jobs", "2"});
    EXPECT_EQ(R.Status, BatchFailure);
    const auto Rows = Lines(R.Out);
    ASSERT_EQ(Rows.size(), 5u);
    EXPECT_EQ(Rows[0], "Variant,Data.Length,Data.Density,Status,Message,Kind,Steps,LastTime,"
                       "LastFill,MaxSpeed,MinSpeed,FillTime,Stages,Pumped,LastStageStart");
    const auto Filled = Fields(Rows[1]);
    ASSERT_EQ(Filled.size(), 15u);
    EXPECT_EQ(Filled[3], "0");
    EXPECT_EQ(Filled[5], "constant");
    EXPECT_EQ(Filled[6], "10000");
    EXPECT_EQ(Filled[7], "10");
    EXPECT_FALSE(Filled[11].empty());
    EXPECT_GT(std::stod(Filled[11]), 0);
    EXPECT_LT(std::stod(Filled[11]), 10);
    EXPECT_GE(std::stod(Filled[8]), 10);
    EXPECT_GE(std::stod(Filled[9]), std::stod(Filled[10]));
    EXPECT_EQ(Filled[12] + Filled[13] + Filled[14], "");
    const auto Missing = Fields(Rows[2]);
    EXPECT_EQ(Missing[3], "2");
    EXPECT_FALSE(Missing[4].empty());
    EXPECT_EQ(Missing[5] + Missing[6] + Missing[7], "");
    EXPECT_TRUE(Fields(Rows[3])[11].empty());  // endless pipe
    // Messages carry their variant's index.
    EXPECT_NE(R.Err.find("hyd-calc: вариант 2: " + Missing[4]), std::string::npos) << R.Err;
    EXPECT_NE(R.Err.find("hyd-calc: вариант 4: "), std::string::npos) << R.Err;

    const TResult Hammer = Hyd({Example("repeated-hammer.Hyd"), "--set", "Data.Steps=300",
                                "--sweep", "BlowData.Speed=1,2", "--summary", "-"});
    const auto HammerRows = Lines(Hammer.Out);
    ASSERT_EQ(HammerRows.size(), 3u) << Hammer.Err;
    for (std::size_t I = 1; I < HammerRows.size(); ++I) {
        const auto Row = Fields(HammerRows[I]);
        ASSERT_EQ(Row.size(), 14u);  // one swept column
        EXPECT_EQ(Row[4], "repeated-hammer");
        EXPECT_GE(std::stoi(Row[11]), 1);
        EXPECT_GT(std::stod(Row[12]), 0);
        EXPECT_FALSE(Row[13].empty());
    }
}

TEST(Sweep, ThreadsAndSharesGiveTheSameFiles)
{
    TTempDir Dir;
    const std::vector<std::string> Base = {
        Example("single-hammer.Hyd"),    "--set",   "Data.Steps=500",        "--sweep",
        "Data.Pressure=100000:250000:4", "--sweep", "BlowData.Speed=0.5,1,2"};
    std::map<std::string, std::map<std::string, std::string>> ByJobs;
    std::map<std::string, std::string> Summary;
    for (const std::string Jobs : {"1", "2", "5"}) {
        auto Args = Base;
        Args.insert(Args.end(), {"--jobs", Jobs, "--outputs", Dir.File("out" + Jobs), "--summary",
                                 Dir.File("s" + Jobs + ".csv")});
        const TResult R = Hyd(Args);
        ASSERT_LE(R.Status, BatchCalcError) << R.Err;
        ByJobs[Jobs] = Files(Dir.Path / ("out" + Jobs));
        Summary[Jobs] = ReadText(Dir.File("s" + Jobs + ".csv"));
    }
    EXPECT_EQ(ByJobs["1"].size(), 12u * 4);
    EXPECT_EQ(ByJobs["1"], ByJobs["2"]);
    EXPECT_EQ(ByJobs["1"], ByJobs["5"]);
    EXPECT_EQ(Summary["1"], Summary["2"]);
    EXPECT_EQ(Summary["1"], Summary["5"]);

    // The shares, joined and ordered by the variant index, are the whole.
    for (int Parts : {1, 3, 5, 12, 20}) {
        std::vector<std::pair<int, std::string>> Rows;
        std::string Header;
        for (int K = 1; K <= Parts; ++K) {
            auto Args = Base;
            Args.insert(Args.end(), {"--part", std::to_string(K) + "/" + std::to_string(Parts),
                                     "--summary", "-", "--jobs", "2"});
            const TResult R = Hyd(Args);
            ASSERT_LE(R.Status, BatchCalcError) << R.Err;
            const auto Lines_ = Lines(R.Out);
            Header = Lines_.at(0);
            for (std::size_t I = 1; I < Lines_.size(); ++I) {
                const int Variant = std::stoi(Fields(Lines_[I])[0]);
                EXPECT_EQ((Variant - 1) % Parts, K - 1) << Lines_[I];
                Rows.emplace_back(Variant, Lines_[I]);
            }
        }
        std::sort(Rows.begin(), Rows.end());
        std::string Joined = Header + "\n";
        for (const auto& Row : Rows)
            Joined += Row.second + "\n";
        EXPECT_EQ(Joined, Summary["1"]) << Parts;
    }
}

// A character device or a pipe takes the summary as it is.
TEST(Sweep, SummaryToADevice)
{
    const TResult R = Hyd({Example("constant-pressure.Hyd"), "--set", "Data.Steps=50", "--sweep",
                           "Data.Slope=1,2", "--summary", "/dev/null"});
    EXPECT_EQ(R.Status, BatchOk) << R.Err;
    EXPECT_TRUE(R.Out.empty());
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST(Sweep, HelpAndVersionWin)
{
    for (const char* Option : {"--help", "--version"}) {
        const TResult Plain = Hyd({Option});
        const TResult Sweep = Hyd({"--sweep", "Data.Slope=1,2", Option, "--jobs", "2"});
        EXPECT_EQ(Sweep.Status, BatchOk);
        EXPECT_EQ(Sweep.Out, Plain.Out);
    }
}

// Bad input: status 2 and its message before any run; nothing is written.
TEST(Sweep, BadInputIsRefusedBeforeAnyRun)
{
    const struct {
        std::vector<std::string> Args;
        const char* Message;
    } Table[] = {
        {{"--sweep", "Data.Slop=1,2"}, "--sweep: неизвестный ключ «Data.Slop»"},
        {{"--set", "Blow.Speed=1", "--sweep", "Data.Slope=1,2"}, "неизвестный ключ «Blow.Speed»"},
        {{"--set", "Data.Slope=x"}, "значение «x» ключа Data.Slope не является числом"},
        {{"--sweep", "Data.Slope=1,x"}, "значение «x» ключа Data.Slope не является числом"},
        {{"--sweep", "Data.Slope=a:2:3"}, "значение «a» ключа Data.Slope не является числом"},
        {{"--sweep", "Data.Slope=1:2:0"}, "число значений «0» ключа Data.Slope"},
        {{"--sweep", "Data.Slope=1:2:-3"}, "число значений «-3»"},
        {{"--sweep", "Data.Slope=1:2:2.5"}, "число значений «2.5»"},
        {{"--sweep", "Data.Slope=1:2"}, "нужно ОТ:ДО:ЧИСЛО"},
        {{"--sweep", "Data.Slope=1:2:3000000"}, "слишком много значений"},
        {{"--sweep", "Data.Slope=0:1:1000", "--sweep", "Data.Pressure=0:1:1001"},
         "слишком много вариантов"},
        {{"--sweep", "Data.Slope=1,2", "--sweep", "data.slope=3"}, "задан дважды"},
        {{"--sweep", "Data.Slope=1,2", "--part", "0/3"}, "неверная часть «0/3»"},
        {{"--sweep", "Data.Slope=1,2", "--part", "4/3"}, "неверная часть «4/3»"},
        {{"--sweep", "Data.Slope=1,2", "--part", "1/0"}, "неверная часть «1/0»"},
        {{"--sweep", "Data.Slope=1,2", "--part", "2"}, "неверная часть «2»"},
        {{"--sweep", "Data.Slope=1,2", "--jobs", "0"}, "неверное число потоков «0»"},
        {{"--sweep", "Data.Slope=1,2", "--jobs", "two"}, "неверное число потоков «two»"},
        {{"--sweep", "Data.Slope=1,2", "--report", "r.txt"}, "не применяется к серии"},
        {{"--sweep", "Data.Slope=1,2", "--summary", "a", "--summary", "b"}, "указан дважды"},
        {{"--sweep"}, "для параметра --sweep не указано значение"},
    };
    for (const auto& Row : Table) {
        TTempDir Dir;
        const std::string Case = Dir.File("c.Hyd");
        fs::copy_file(Example("constant-pressure.Hyd"), Case);
        std::vector<std::string> Args = {Case};
        Args.insert(Args.end(), Row.Args.begin(), Row.Args.end());
        Args.insert(Args.end(), {"--summary=" + Dir.File("s.csv"), "--outputs=" + Dir.File("out")});
        if (std::find(Row.Args.begin(), Row.Args.end(), "--summary") != Row.Args.end())
            Args.resize(Args.size() - 2);
        const fs::path Cwd = fs::current_path();
        fs::current_path(Dir.Path);
        const TResult R = Hyd(Args);
        fs::current_path(Cwd);
        EXPECT_EQ(R.Status, BatchFailure) << Row.Message;
        EXPECT_NE(R.Err.find(Row.Message), std::string::npos) << R.Err;
        EXPECT_TRUE(R.Out.empty());
        EXPECT_EQ(Files(Dir.Path).size(), 1u) << Row.Message;  // the case alone
    }

    // Refused outputs: the summary as the case file or a folder, a file as
    // the outputs' folder.
    TTempDir Dir;
    const std::string Case = Dir.File("c.Hyd");
    fs::copy_file(Example("constant-pressure.Hyd"), Case);
    const std::string Before = ReadText(Case);
    fs::create_directory(Dir.File("folder"));
    for (const std::vector<std::string>& Args :
         {std::vector<std::string>{Case, "--sweep", "Data.Slope=1,2", "--summary", Case},
          std::vector<std::string>{Case, "--sweep", "Data.Slope=1,2", "--summary",
                                   Dir.File("folder")},
          std::vector<std::string>{Case, "--sweep", "Data.Slope=1,2", "--outputs", Case},
          std::vector<std::string>{Dir.File("none.Hyd"), "--sweep", "Data.Slope=1,2"}}) {
        const TResult R = Hyd(Args);
        EXPECT_EQ(R.Status, BatchFailure) << Args.back();
        EXPECT_FALSE(R.Err.empty());
        EXPECT_TRUE(R.Out.empty());
    }
    EXPECT_EQ(ReadText(Case), Before);
    EXPECT_EQ(Files(Dir.Path).size(), 2u);
    EXPECT_TRUE(fs::is_empty(Dir.File("folder")));
}

}  // namespace
