// The text report (the golden cases of hyd-calc pin whole reports): a report
// whose driving pipe recorded fewer steps, the optional lines and columns, the pipe-filled line,
// cancellation and failure lines, and the progress window it drives.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Calc.h"
#include "engine/RunGlobals.h"
#include "engine/Tables.h"
#include "engine/UserLink.h"
#include "results/Report.h"
#include "tests/FakeLink.h"
#include "text/OrderedBlocks.h"
#include "text/Utf8Text.h"

namespace {

using TLines = std::vector<std::string>;
const std::string CRLF = "\r\n";

// Splits a report into its lines; every line must end in CR LF.
TLines SplitLines(const std::string& Text)
{
    TLines Lines;
    for (std::size_t Start = 0, End = 0; Start < Text.size(); Start = End + 2) {
        End = Text.find(CRLF, Start);
        if (End == std::string::npos) {
            ADD_FAILURE() << "text does not end with CR LF";
            break;
        }
        Lines.push_back(Text.substr(Start, End - Start));
        EXPECT_EQ(Lines.back().find_first_of("\r\n"), std::string::npos) << Lines.back();
    }
    return Lines;
}

std::string Joined(const TLines& Lines)
{
    std::string Text;
    for (const auto& Line : Lines)
        Text += Line + CRLF;
    return Text;
}

std::size_t IndexOf(const TLines& Lines, const std::string& Line)
{
    return static_cast<std::size_t>(std::find(Lines.begin(), Lines.end(), Line) - Lines.begin());
}

bool Contains(const TLines& Lines, const std::string& Part)
{
    return std::any_of(Lines.begin(), Lines.end(),
                       [&](const std::string& L) { return L.find(Part) != std::string::npos; });
}

void ExpectStart(const std::string& Line, const std::string& Prefix)
{
    EXPECT_TRUE(Line.starts_with(Prefix))
        << "«" << Line << "» does not start with «" << Prefix << "»";
}

const std::string PipeFilled = "----- ТРУБА ЗАПОЛНЕНА ПОЛНОСТЬЮ! -----";
const std::string StageHeader =
    "   №№   Время Нач.скорость Ост.скорость Нап.скорость Нагнет.давл. Нагн.разность   "
    "Закачано Время нагнет.  Пауза";
const std::string Cancelled = "ГЕНЕРАЦИЯ ОТЧЁТА БЫЛА ПРЕРВАНА ПОЛЬЗОВАТЕЛЕМ ";

// Lines First to End (or the last), apart from the pipe-filled line, are Width characters wide.
void ExpectWidths(const TLines& Lines, std::size_t First, std::size_t Width,
                  std::size_t End = SIZE_MAX)
{
    for (std::size_t i = First; i < std::min(End, Lines.size()); ++i)
        if (Lines[i] != PipeFilled) {
            EXPECT_EQ(Utf8Length(Lines[i]), Width) << "line " << i << ": " << Lines[i];
        }
}

class ReportTest : public ::testing::Test {
protected:
    TScopedFakeLink Link;
    TCalc Calc;
    std::unique_ptr<TCalc> Blow;

    ReportTest() { BlowCalc = nullptr; }
    ~ReportTest() override { BlowCalc = nullptr; }

    // Gives C its own copy of Records, as a run leaves them.
    static void SetRecords(TCalc& C, const std::vector<TCalcStep>& Records)
    {
        C.FreeRecords();
        C.Records = new TCalcStep[Records.size()];
        std::copy(Records.begin(), Records.end(), C.Records);
        C.Capacity = C.Count = static_cast<int32_t>(Records.size());
    }

    // Water, a 50 mm steel pipe 2 m long, driven at 5 kPa; no driving pipe.
    void ConstantPressureCase()
    {
        Calc.SetParams(0, 0, 5000, 1, 0.5, 0, 1000, 0.001, 5e-10, 0.05, 2, 0.005, 0, 2e11);
        Calc.ReMax = 5000;
        SetRecords(Calc, {{0.5, 1.0, 2, 2, 100, 1234.4},
                          {1.0, 2.5, 3, 2, 150, 2000.6},
                          {1.5, 4.0, 0, -6, 0, 0}});
        Calc.ClearStages();
        Calc.StageCount = 0;
        Blow.reset();
        BlowCalc = nullptr;
    }

    // A 200 mm driving pipe 100 m long struck at 2 m/s, which recorded Records steps.
    TCalc& DrivingPipe(std::size_t Records)
    {
        Blow = std::make_unique<TCalc>();
        BlowCalc = Blow.get();
        Blow->SetParams(0, 0, 0, 2, 0, 0, 0, 0, 0, 0.2, 100, 0.01, 0, 2e11);
        SetRecords(*Blow, std::vector<TCalcStep>(Records, {0, 0.03, 0.5, 0, 2.5e6, 0}));
        return *Blow;
    }

    // Stages struck at 2 m/s, each pumping up to the given advance.
    void AddStages(std::initializer_list<double> Pumped, double Pause = 0)
    {
        for (double P : Pumped) {
            TCalcStage* S = Calc.AppendStage();
            *S = {S->Next, 0, 2, 0.5, 2.5e6, P, 0, 0.1, Pause};
        }
        Calc.StageCount = static_cast<int32_t>(Pumped.size());
    }

    std::string Report()
    {
        std::string Text = "text of an earlier report";
        Calc.MakeReport(Text);
        return Text;
    }
    TLines ReportLines() { return SplitLines(Report()); }
};

// The golden cases pin the layout of whole reports; here the progress window of the step table.
TEST_F(ReportTest, ProgressWindowFollowsTheStepRows)
{
    ConstantPressureCase();
    Report();
    ASSERT_EQ(Link.Windows.size(), 1u);
    const auto& W = *Link.Windows[0];
    EXPECT_EQ(W.Caption, "Генерация отчёта...");
    EXPECT_EQ(W.Sets, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
    EXPECT_EQ(W.CancelledAsked, 3);
    EXPECT_TRUE(W.Closed);
}

TEST_F(ReportTest, StepTableOfASingleHammerWhoseDrivingPipeRecordedFewerSteps)
{
    // No viscosity, no wall data and no length: the optional columns drop out;
    // the driving pipe recorded only the first step.
    Calc.SetParams(0, 0, 1e5, 0, 0, 1.5, 1000, 0, 5e-10, 0.05, 0, 0, 0, 2e11);
    SetRecords(Calc, {{0.1, 0.02, 0.4, 4, 0, -1}, {0.2, 0.05, 0.6, 2, 0, -1}});
    DrivingPipe(1);
    AddStages({1.5});
    const std::string Text = Report();
    EXPECT_TRUE(Text.starts_with("ИСХОДНЫЕ ДАННЫЕ:\r\n"));  // an earlier text is replaced
    const std::vector<std::string> End = {
        "    1   0.0 с        2 м/с     500 мм/с      0.0 м/с      2.5 МПа      2.4 МПа"
        "     47.12 л       100 мс   0.0 с",
        "",
        "ПОДРОБНЫЕ РЕЗУЛЬТАТЫ НАГНЕТЕНИЯ ОДИНОЧНЫМ ГИДРОУДАРОМ:",
        "   №№   Время Вх.давление Ост.скорость Продвижение Заполнение    Скорость   Ускорение",
        "    0   0.0 c      0.0 Па       2 м/с       0.0 м       0.0 м     0.0 м/с        -",
        "    1  100 мс     2.5 МПа    500 мм/с       30 мм       20 мм    400 мм/с      4 м/с2",
        "    2  200 мс        -           -           -          50 мм    600 мм/с      2 м/с2",
    };
    EXPECT_TRUE(Text.ends_with(StageHeader + CRLF + Joined(End))) << Text;
    ASSERT_EQ(Link.Windows.size(), 1u);
    EXPECT_EQ(Link.Windows[0]->Sets, (std::vector<std::pair<int, int>>{{1, 1}, {1, 2}, {2, 2}}));
}

TEST_F(ReportTest, RepeatedHammersGiveStageTableOnlyAndThePipeFilledLineComesOnce)
{
    ConstantPressureCase();
    Calc.Pressure = 1e5;
    DrivingPipe(3);
    AddStages({1.0, 2.5, 4.0}, 0.5);
    const auto Lines = ReportLines();
    const std::size_t Header = IndexOf(Lines, StageHeader);
    // The filled length passes the pipe length in stage 2: the line comes once, before row 2.
    ASSERT_EQ(Lines.size(), Header + 5);
    ExpectStart(Lines[Header + 1], "    1");
    EXPECT_EQ(Lines[Header + 2], PipeFilled);
    ExpectStart(Lines[Header + 3], "    2");
    ExpectStart(Lines[Header + 4], "    3");
    ExpectWidths(Lines, Header + 1, 111u);
    EXPECT_EQ(Link.Windows[0]->Sets, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));

    // A single hammer whose step table passes the length as well: still once.
    ConstantPressureCase();
    Calc.Pressure = 1e5;
    DrivingPipe(3);
    AddStages({2.5});
    const auto Single = ReportLines();
    EXPECT_EQ(std::count(Single.begin(), Single.end(), PipeFilled), 1);
    EXPECT_EQ(IndexOf(Single, PipeFilled), IndexOf(Single, StageHeader) + 1);
    // The step rows still show the fill clipped and the advance unclipped.
    EXPECT_TRUE(Contains(Single, "         2 м       3.5 м     0.0 м/с"));
}

// Each case changes the constant-pressure case; the report then holds every
// Present line, no Absent text, and all step rows after row 0 are as wide as the header.
TEST_F(ReportTest, OptionalLinesColumnsAndValueTexts)
{
    const std::string NoFriction =
        "Расчёт потерь на трение не выполнялся (не указаны все необходимые данные).";
    const std::string NoWave = "Расчёт скорости ударной волны и силы гидроудара не выполнялся (не "
                               "указаны все необходимые данные).";
    const struct {
        const char* What;
        std::function<void()> Change;
        std::vector<std::string> Present, Absent;
    } Cases[] = {
        {"values",
         [&] {
             Calc.Pressure = 0;
             Calc.Rough = 1e-4;
             Calc.Slope = -2.5;
         },
         {"Постоянное внешнее разгоняющее давление 0.0 Па.",
          "Эквивалентная шероховатость трубы 100 мкм.", "Уклон трубы -2.5°."},
         {}},
        // Up to 1 kg/m³ the density is given in its own prefix.
        {"light", [&] { Calc.Density = 0.5; }, {"Плотность жидкости 500 г/куб.м."}, {}},
        {"1 kg", [&] { Calc.Density = 1; }, {"Плотность жидкости 1 кг/куб.м."}, {}},
        {"no Re",
         [&] { Calc.Records[0].Re = -1; },
         {"    1  500 мс         1 м      500 мм       2 м/с      2 м/с2      100 Па  нет данных"
          "     2.7 МПа"},
         {}},
        // No length: no advance, no clipping, no pipe-filled line.
        {"no length",
         [&] { Calc.Length = 0; },
         {"    3   1.5 с         4 м     0.0 м/с     -6 м/с2      0.0 Па           0      0.0 Па"},
         {"Продвижение", PipeFilled}},
        // No viscosity: no losses and Re; row 0 keeps the force under its heading.
        {"no friction",
         [&] { Calc.ReMax = -1; },
         {NoFriction, "   №№   Время  Заполнение Продвижение    Скорость   Ускорение  Сила удара",
          "    0   0.0 c      500 мм       0.0 м       1 м/с        -       1.35 МПа"},
         {"Потери"}},
        {"no walls",
         [&] { Calc.Walls = 0; },
         {"Диаметр трубы 50 мм.", NoWave,
          "    3   1.5 с         2 м       3.5 м     0.0 м/с     -6 м/с2      0.0 Па           0"},
         {"Сжимаемость", "Скорость ударной волны", "Толщина стенок", "Сила удара"}},
        {"neither",
         [&] {
             Calc.ReMax = -1;
             Calc.Young = 0;
         },
         {"    0   0.0 c      500 мм       0.0 м       1 м/с        -"},
         {"Диаметр трубы"}},
        {"no compressibility",
         [&] {
             Calc.ReMax = -1;
             Calc.Young = Calc.Condens = 0;
         },
         {},
         {"Скорость звука"}},
        // A driving pipe that recorded nothing leaves a constant-pressure report.
        {"no records",
         [&] { DrivingPipe(0); },
         {"Постоянное внешнее разгоняющее давление 5 кПа."},
         {"Вх.давление"}},
        // Records without a driving speed still make it a water-hammer report.
        {"records",
         [&] { DrivingPipe(3).InitialSpeed = 0; },
         {"Разгон под действием внешнего гидроудара с параметрами:",
          "   №№   Время Вх.давление Ост.скорость Продвижение Заполнение Продвижение    Скорость"
          "   Ускорение      Потери          Re  Сила удара"},
         {}},
        // 1 / sqrt(1000 × 5e-10) = 1414 m/s; no length, no duration line.
        {"inelastic",
         [&] {
             DrivingPipe(3);
             Blow->Walls = Blow->Length = 0;
         },
         {"Расчётная скорость ударной волны нагнетающего гидроудара (без учёта упругости стенок "
          "трубы) 1.41 км/с."},
         {"длительность"}},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.What);
        ConstantPressureCase();
        C.Change();
        const auto Lines = ReportLines();
        for (const auto& P : C.Present)
            EXPECT_LT(IndexOf(Lines, P), Lines.size()) << "missing line: " << P;
        for (const auto& A : C.Absent)
            EXPECT_FALSE(Contains(Lines, A)) << "present: " << A;
        const auto Header = std::find_if(Lines.begin(), Lines.end(), [](const std::string& L) {
            return L.starts_with("   №№");
        });
        ASSERT_NE(Header, Lines.end());
        // Rows 1 to 3 follow; row 0 may end early in a dash.
        const std::size_t Row1 = static_cast<std::size_t>(Header - Lines.begin()) + 2;
        EXPECT_EQ(Lines.size() - std::count(Lines.begin(), Lines.end(), PipeFilled), Row1 + 3);
        ExpectWidths(Lines, Row1, Utf8Length(*Header));
    }
}

TEST_F(ReportTest, CancelEndsTheTableWithRowsDoneOfAll)
{
    ConstantPressureCase();
    Link.CancelAfterSets = 0;  // at once: row 0 only
    auto Lines = ReportLines();
    ASSERT_EQ(Lines.size(), IndexOf(Lines, "РЕЗУЛЬТАТЫ:") + 6);
    ExpectStart(Lines[Lines.size() - 2], "    0");
    EXPECT_EQ(Lines.back(), Cancelled + "(0 из 3)!");
    EXPECT_TRUE(Link.Windows.back()->Sets.empty());
    EXPECT_TRUE(Link.Windows.back()->Closed);

    Link.CancelAfterSets = 2;  // part-way
    Lines = ReportLines();
    ExpectStart(Lines[Lines.size() - 2], "    2");
    EXPECT_EQ(Lines.back(), Cancelled + "(2 из 3)!");
    EXPECT_EQ(Link.Windows.back()->CancelledAsked, 3);

    DrivingPipe(3);  // in the stage table of repeated hammers
    AddStages({1.0, 1.0, 1.0});
    Link.CancelAfterSets = 1;
    Lines = ReportLines();
    ExpectStart(Lines[Lines.size() - 2], "    1");
    EXPECT_EQ(Lines.back(), Cancelled + "(1 из 3)!");

    // In the stage table of a single hammer: the step table is cancelled too.
    ConstantPressureCase();
    DrivingPipe(3);
    AddStages({1.0});
    Link.CancelAfterSets = 0;
    Lines = ReportLines();
    const std::size_t Header = IndexOf(Lines, StageHeader);
    ASSERT_EQ(Lines.size(), Header + 7);
    EXPECT_EQ(Lines[Header + 1], Cancelled + "(0 из 1)!");
    EXPECT_EQ(Lines[Header + 3], "ПОДРОБНЫЕ РЕЗУЛЬТАТЫ НАГНЕТЕНИЯ ОДИНОЧНЫМ ГИДРОУДАРОМ:");
    ExpectStart(Lines[Header + 5], "    0   0.0 c");
    EXPECT_EQ(Lines[Header + 6], Cancelled + "(0 из 3)!");
}

TEST_F(ReportTest, ShortStageListAndFailedStageRowsAreSaid)
{
    ConstantPressureCase();
    DrivingPipe(3);
    AddStages({1.0, 1.0});
    Calc.StageCount = 3;  // one stage more than the list holds
    auto Lines = ReportLines();
    EXPECT_EQ(Lines.back(), " ОТЧЁТ СФОРМИРОВАН НЕ ПОЛНОСТЬЮ!");
    ExpectStart(Lines[Lines.size() - 2], "    2");
    EXPECT_EQ(Link.Windows[0]->Sets, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}}));

    // Without a driving pipe the pumped volume cannot be given: each row keeps its part.
    Calc.StageCount = 2;
    Calc.Pressure = 1e5;
    Blow.reset();
    BlowCalc = nullptr;
    Lines = ReportLines();
    const std::size_t Header = IndexOf(Lines, StageHeader);
    ASSERT_EQ(Lines.size(), Header + 3);
    const std::string Part = "   0.0 с        2 м/с     500 мм/с      0.0 м/с      2.5 МПа      "
                             "2.4 МПа ОШИБКА ФОРМИРОВАНИЯ ОТЧЁТА!";
    EXPECT_EQ(Lines[Header + 1], "    1" + Part);
    EXPECT_EQ(Lines[Header + 2], "    2" + Part);
}

TEST_F(ReportTest, MissingRecordsFailTheReportAndStillCloseTheWindow)
{
    ConstantPressureCase();
    Calc.Capacity = 2;  // fewer records than the count claims
    std::string Text;
    EXPECT_ANY_THROW(Calc.MakeReport(Text));
    EXPECT_TRUE(Link.Windows[0]->Closed);
}

// A run of Rows steps with every column: the pipe fills past its length at
// row FilledAt, the driving pipe recorded Driving steps.
class LongReportTest : public ReportTest {
protected:
    static constexpr int Rows = 20000;
    static constexpr int FilledAt = 12345;

    void LongCase(int Driving)
    {
        ConstantPressureCase();
        Calc.ReMax = 1e6;
        std::vector<TCalcStep> Records(Rows);
        for (int I = 0; I < Rows; ++I) {
            const double T = (I + 1) * 1e-3;
            Records[static_cast<std::size_t>(I)] = {
                T,         (I + 1 < FilledAt ? 1.5 : 2.5) + T * 1e-6,
                T * 3,     -T / 7,
                I * 17.25, I % 3 ? I * 1e3 : -1};
        }
        SetRecords(Calc, Records);
        if (Driving > 0)
            DrivingPipe(static_cast<std::size_t>(Driving));
    }

    // The report in the pieces the sink receives, made on Threads threads.
    std::vector<std::string> Pieces(unsigned Threads)
    {
        SetDefaultBlockThreads(Threads);
        std::vector<std::string> List;
        WriteReport(Calc, [&](std::string_view Piece) { List.emplace_back(Piece); });
        SetDefaultBlockThreads(0);
        return List;
    }
};

TEST_F(LongReportTest, StreamedInBoundedPiecesTheSameOnOneThreadOrTwo)
{
    for (int Driving : {0, 15000}) {
        SCOPED_TRACE(Driving);
        LongCase(Driving);
        const std::string Whole = Report();
        for (unsigned Threads : {1u, 2u}) {
            const auto List = Pieces(Threads);
            std::string Joined;
            for (const auto& Piece : List) {
                EXPECT_LT(Piece.size(), 300000u);
                Joined += Piece;
            }
            EXPECT_GT(List.size(), 3u);
            EXPECT_TRUE(Joined == Whole) << Threads << " threads";
        }
        const auto Lines = SplitLines(Whole);
        const std::size_t Filled = IndexOf(Lines, PipeFilled);
        ASSERT_LT(Filled, Lines.size());
        ExpectStart(Lines[Filled + 1], std::to_string(FilledAt));
        EXPECT_EQ(std::count(Lines.begin(), Lines.end(), PipeFilled), 1);
        ExpectStart(Lines.back(), std::to_string(Rows));
        ExpectWidths(Lines, Lines.size() - Rows - 1, Utf8Length(Lines[Lines.size() - Rows - 2]));
        EXPECT_EQ(Link.Windows.back()->Sets.size(), static_cast<std::size_t>(Rows));
    }
}

TEST_F(LongReportTest, CancelDeepInTheTableStopsAtThatRowOnEitherThreadCount)
{
    LongCase(0);
    Link.CancelAfterSets = 7777;
    const std::string Expected = Report();
    const auto Lines = SplitLines(Expected);
    ExpectStart(Lines[Lines.size() - 2], " 7777");
    EXPECT_EQ(Lines.back(), Cancelled + "(7777 из 20000)!");
    EXPECT_EQ(Link.Windows.back()->CancelledAsked, 7778);
    for (unsigned Threads : {1u, 2u}) {
        std::string Joined;
        for (const auto& Piece : Pieces(Threads))
            Joined += Piece;
        EXPECT_TRUE(Joined == Expected) << Threads << " threads";
        EXPECT_EQ(Link.Windows.back()->Sets.size(), 7777u);
    }
}

TEST_F(LongReportTest, AFailingSinkEndsTheReportAndMissingRecordsReachNoSink)
{
    LongCase(0);
    int Calls = 0;
    EXPECT_THROW(WriteReport(Calc,
                             [&](std::string_view) {
                                 if (++Calls == 2)
                                     throw std::runtime_error("disk full");
                             }),
                 std::runtime_error);
    EXPECT_EQ(Calls, 2);
    EXPECT_TRUE(Link.Windows.back()->Closed);

    Calc.Capacity = Rows - 1;
    Calls = 0;
    EXPECT_THROW(CheckReportRecords(Calc), std::logic_error);
    EXPECT_THROW(WriteReport(Calc, [&](std::string_view) { ++Calls; }), std::logic_error);
    EXPECT_EQ(Calls, 0);
}

}  // namespace
