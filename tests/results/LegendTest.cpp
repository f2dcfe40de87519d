// The legend: its six lines for the colour key, step values and stage values,
// and the readout of the values under the mouse.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "case/CaseModel.h"
#include "case/RunSetup.h"
#include "engine/Calc.h"
#include "engine/Tables.h"
#include "results/Legend.h"
#include "tests/FakeLink.h"
#include "text/Profile.h"

namespace {

constexpr double No = NoValue;
constexpr double Inf = std::numeric_limits<double>::infinity();

void SetRecords(TCalc& Calc, const std::vector<TCalcStep>& Records, double Step)
{
    Calc.FreeRecords();
    Calc.Records = new TCalcStep[Records.size()];
    std::copy(Records.begin(), Records.end(), Calc.Records);
    Calc.Capacity = Calc.Count = static_cast<int32_t>(Records.size());
    Calc.RecordStep = Step;
}

// Stages of {StartTime, Pumped, PipeSpeed, StartSpeed, PumpTime, Pause}.
void SetStages(TCalc& Calc, const std::vector<std::array<double, 6>>& Stages)
{
    Calc.ClearStages();
    for (const auto& [StartTime, Pumped, PipeSpeed, StartSpeed, PumpTime, Pause] : Stages) {
        TCalcStage* S = Calc.AppendStage();
        S->StartTime = StartTime, S->Pumped = Pumped, S->PipeSpeed = PipeSpeed;
        S->StartSpeed = StartSpeed, S->PumpTime = PumpTime, S->Pause = Pause;
    }
}

TLegendValues Step(std::array<double, 7> V)
{
    return {false, V};
}
TLegendValues Stage(std::array<double, 7> V)
{
    return {true, V};
}

bool IsKey(const TLegendValues& Values)
{
    return std::none_of(Values.V.begin(), Values.V.end(), [](double X) { return IsValue(X); });
}

const TLegendLines StepKey = {"Цвета линий:", "заполнение", "скорость",
                              "ускорение",    "потери",     "число Рейнольдса"};
const TLegendLines StageKey = {"Цвета линий:",
                               "заполнение закачки",
                               "начальная скорость закачки",
                               "начальная скорость удара",
                               "длительность нагнетения",
                               "длительность паузы"};

}  // namespace

TEST(LegendLines, KeyTexts)
{
    EXPECT_EQ(LegendKeyLines(false), StepKey);
    EXPECT_EQ(LegendKeyLines(true), StageKey);
    // NoValue itself and anything below the marker's threshold.
    EXPECT_EQ(LegendLines(Step({-1.706e308, No, No, No, No, No, -Inf})), StepKey);
}

TEST(LegendLines, StepValues)
{
    EXPECT_EQ(LegendLines(Step({0.0125, 0, 0.25, 0.5, -2, 1500, 123456.7})),
              (TLegendLines{"Время: 12.5 мс.", "Заполнение: 250 мм.", "Скорость: 500 мм/с.",
                            "Ускорение: -2 м/с2.", "Потери: 1.5 кПа.",
                            "Re = 123457 (турбулентный режим)."}));
    // Each line is decided by its own value.
    EXPECT_EQ(LegendLines(Step({No, 0, 0.25, No, 0, No, 0})),
              (TLegendLines{"Цвета линий:", "Заполнение: 250 мм.", "скорость",
                            "Ускорение: 0.0 м/с2.", "потери", "Re = 0 (ламинарный режим)."}));
}

TEST(LegendLines, FlowRegime)
{
    const struct {
        double Re;
        const char* Line;
    } Cases[] = {
        {-1, "Re = -1 (ламинарный режим)."},  // not computable
        {0, "Re = 0 (ламинарный режим)."},           {2300, "Re = 2300 (ламинарный режим)."},
        {2300.4, "Re = 2300 (переходный режим)."},  // the regime follows the value, not its text
        {3999.9, "Re = 4000 (переходный режим)."},   {4000, "Re = 4000 (турбулентный режим)."},
        {1e6, "Re = 1000000 (турбулентный режим)."},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Re);
        EXPECT_EQ(LegendLines(Step({No, No, No, No, No, No, C.Re}))[5], C.Line);
    }
}

TEST(LegendLines, FillBeyondThePipe)
{
    const struct {
        double Length, Fill;
        const char* Step;   // the step mode's line
        const char* Stage;  // the stage mode's (Pumped) line
    } Cases[] = {
        {30, 31.5, "Заполнение: 30 м, продвижение 31.5 м.",
         "Заполнение: 30 м, продвижение 31.5 м."},
        {30, 30, "Заполнение: 30 м.", "Заполнение: 30 м."},  // just full
        {30, 2.5, "Заполнение: 2.5 м.", "Заполнение: 2.5 м."},
        {0, 31.5, "Заполнение: 31.5 м.", "Заполнение: 31.5 м."},  // no length: endless pipe
        {-5, 31.5, "Заполнение: 31.5 м.", "Заполнение: 31.5 м."},
        {No, 31.5, "Заполнение: 31.5 м.", "Заполнение: 31.5 м."},
        {30, No, "заполнение", "заполнение закачки"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.Length << " " << C.Fill);
        EXPECT_EQ(LegendLines(Step({No, C.Length, C.Fill, No, No, No, No}))[1], C.Step);
        EXPECT_EQ(LegendLines(Stage({No, C.Length, C.Fill, No, No, No, No}))[1], C.Stage);
    }
}

TEST(LegendLines, StageValues)
{
    EXPECT_EQ(
        LegendLines(Stage({0.0125, 30, 0.75, 1.5, 2, 0.02, 0.003})),
        (TLegendLines{"Начало этапа: 12.5 мс.", "Заполнение: 750 мм.",
                      "Начальная скорость закачки: 1.5 м/с.", "Начальная скорость удара: 2 м/с.",
                      "Длительность закачки: 20 мс.", "Длительность паузы: 3 мс."}));

    // A later portion starting at rest does not catch up with the earlier one.
    const std::string Plain = "Начальная скорость закачки: 0.0 м/с.";
    const std::string Note = "Начальная скорость закачки: 0.0 м/с (не догонит раннюю порцию).";
    const struct {
        double StartTime, PipeSpeed;
        std::string Line;
    } Cases[] = {
        {0.5, 0, Note},
        {0.5, -0.0, Note},
        {1e-300, 0, Note},
        {0, 0, Plain},   // the first stage never has it
        {No, 0, Plain},  // no start time
        {0.5, 1e-9, "Начальная скорость закачки: 1 нм/с."},
        {0.5, No, "начальная скорость закачки"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.StartTime << " " << C.PipeSpeed);
        EXPECT_EQ(LegendLines(Stage({C.StartTime, 30, 1, C.PipeSpeed, 2, 3, 4}))[2], C.Line);
    }
}

TEST(Readout, StepValuesUnderTheMouse)
{
    // Four records half a second apart; the speed stops sharply between the
    // second and the third.
    TCalc Calc;
    Calc.Length = 30;
    SetRecords(Calc,
               {{0.5, 1, 10, 4, 100, 1000},
                {1.0, 2, 10, 0, 200, 3000},
                {1.5, 3, 0, -20, 300, 2000},
                {2.0, 4, 0, 0, 400, 5000}},
               0.5);
    // {Time, Fill, Speed, Accel, Losses, Re}
    using TRow = std::array<double, 6>;
    const struct {
        const char* Name;
        int X, Width;
        TRow Expected;  // the time, then the values
    } Cases[] = {
        // Chart 8 pixels wide: t = X / 4.
        {"left edge: record 0 without a neighbour", 0, 8, {0, 1, 10, 4, 100, 1000}},
        {"before the first record", 1, 8, {0.25, 1, 10, 4, 100, 1000}},
        {"left of the chart", -2, 8, {-0.5, 1, 10, 4, 100, 1000}},
        {"between records 0 and 1", 3, 8, {0.75, 1.5, 10, 2, 150, 2000}},
        {"at record 1", 4, 8, {1.0, 2, 10, 0, 200, 3000}},
        {"between records 1 and 2", 5, 8, {1.25, 2.5, 5, -10, 250, 2500}},
        {"right edge", 8, 8, {2.0, 4, 0, 0, 400, 5000}},
        {"right of the chart", 9, 8, {2.25, 4, 0, 0, 400, 5000}},
        // Records denser than pixels: the nearest record after the cursor time.
        {"3 pixels, 4 records", 1, 3, {2.0 / 3, 2, 10, 0, 200, 3000}},
        {"4 pixels, 4 records", 1, 4, {0.5, 2, 10, 0, 200, 3000}},
        {"4 pixels, right edge", 4, 4, {2.0, 4, 0, 0, 400, 5000}},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        const TLegendValues Values = ReadoutAt(Calc, C.X, C.Width);
        EXPECT_FALSE(Values.StageMode);
        EXPECT_DOUBLE_EQ(Values.V[0], C.Expected[0]);
        EXPECT_EQ(Values.V[1], 30);
        for (std::size_t I = 1; I < 6; ++I)
            EXPECT_DOUBLE_EQ(Values.V[I + 1], C.Expected[I]) << "value " << I;
    }
}

TEST(Readout, StageUnderTheMouse)
{
    TCalc Calc;
    Calc.Length = 30;
    // Records are there as well: with more than one stage they do not count.
    SetRecords(Calc, {{0.5, 1, 10, 4, 100, 1000}}, 0.5);
    SetStages(Calc, {{0, 1, 0, 2, 0.1, 0}, {0.2, 2, 0, 1.5, 0.1, 0.01}, {0.4, 3, 0.5, 1, 0.1, 0}});
    const struct {
        int Stages, X, Width;
        double StartTime;  // of the stage shown
    } Cases[] = {
        {2, 0, 100, 0},     {2, 50, 100, 0},  // exactly the middle: 0.5 rounds to 0
        {2, 51, 100, 0.2},  {2, 100, 100, 0.2}, {3, 25, 100, 0},  // 0.5 to 0
        {3, 75, 100, 0.4},                                        // 1.5 to 2
        {3, 74, 100, 0.2},  {3, 1, 3, 0.2},                       // 1 · 2 / 3 = 0.67
        {3, 300, 100, 0.4},  // beyond the last stage: the last one
        {3, -40, 100, 0},    // left of the chart: the first one
        {9, 100, 100, 0.4},  // a count above the list's length stops at its end
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.Stages << " stages, X " << C.X << " of " << C.Width);
        Calc.StageCount = C.Stages;
        const TLegendValues Values = ReadoutAt(Calc, C.X, C.Width);
        EXPECT_TRUE(Values.StageMode);
        EXPECT_EQ(Values.V[0], C.StartTime);
    }
    Calc.StageCount = 3;
    EXPECT_EQ(ReadoutAt(Calc, 50, 100).V, (std::array<double, 7>{0.2, 30, 2, 0, 1.5, 0.1, 0.01}));
    // The second stage starts at rest after the first: the note shows.
    EXPECT_EQ(LegendLines(ReadoutAt(Calc, 50, 100))[2],
              "Начальная скорость закачки: 0.0 м/с (не догонит раннюю порцию).");
}

TEST(Readout, ColourKeyWithoutValues)
{
    TCalc Empty;
    TCalc Recorded;
    SetRecords(Recorded, {{0.5, 1, 10, 4, 100, 1000}, {1.0, 2, 10, 0, 200, 3000}}, 0.5);
    TCalc NoStep;  // records whose step is unknown cannot be placed in time
    SetRecords(NoStep, {{0.5, 1, 10, 4, 100, 1000}, {1.0, 2, 10, 0, 200, 3000}}, 0);
    TCalc StagesLost;  // a stage count without its list
    StagesLost.StageCount = 2;
    const struct {
        const char* Name;
        const TCalc& Calc;
        int X, Width;
        bool StageMode;
    } Cases[] = {
        {"no width", Recorded, 0, 0, false},
        {"negative width", Recorded, 1, -5, false},
        {"no width, stages", StagesLost, 1, 0, false},
        {"no run", Empty, 10, 100, false},
        {"no record step", NoStep, 10, 100, false},
        {"empty stage list", StagesLost, 10, 100, true},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        const TLegendValues Values = ReadoutAt(C.Calc, C.X, C.Width);
        EXPECT_TRUE(IsKey(Values));
        EXPECT_EQ(Values.StageMode, C.StageMode);
    }
}

TEST(Readout, SingleBlowReadsWithinItsRecords)
{
    // A water hammer of one blow: its records are made with a step adapted to
    // the driving pipe, ten times shorter than the user's.
    TProfile Profile(std::string(HYD_CASES_DIR) + "/single-hammer/case.Hyd");
    TCase Case;
    LoadCase(Profile, Case);
    TFakeLink Link;
    TCalc Calc, Blow;
    ASSERT_EQ(RunCase(Case, true, Calc, Blow, 9.81, Link), TRunKind::SingleHammer);
    ASSERT_EQ(Calc.StageCount, 1);
    ASSERT_GT(Calc.Count, 1);
    ASSERT_LT(Calc.RecordStep, Calc.Step);
    const TCalcStep* const Begin = Calc.Records;
    const TCalcStep* const End = Calc.Records + Calc.Count;
    const TCalcStep& Last = End[-1];

    constexpr int Width = 1000;
    const TLegendValues AtRight = ReadoutAt(Calc, Width, Width);
    EXPECT_EQ(AtRight.V, (std::array<double, 7>{Last.Time, Calc.Length, Last.Fill, Last.Speed,
                                                Last.Accel, Last.Losses, Last.Re}));

    // Everywhere on the chart the time lies within the run and every value
    // within those of the records; the speed stays positive all the way.
    constexpr double TCalcStep::*Fields[] = {&TCalcStep::Fill, &TCalcStep::Speed, &TCalcStep::Accel,
                                             &TCalcStep::Losses, &TCalcStep::Re};
    for (int X = 0; X <= Width; ++X) {
        SCOPED_TRACE(X);
        const TLegendValues Values = ReadoutAt(Calc, X, Width);
        ASSERT_LE(Values.V[0], Last.Time * (1 + 1e-12));
        EXPECT_GT(Values.V[3], 0);
        for (std::size_t I = 0; I < std::size(Fields); ++I) {
            const auto [Min, Max] =
                std::minmax_element(Begin, End, [&](const TCalcStep& A, const TCalcStep& B) {
                    return A.*Fields[I] < B.*Fields[I];
                });
            const double Slack = 1e-9 * (std::abs(Min->*Fields[I]) + std::abs(Max->*Fields[I]));
            EXPECT_GE(Values.V[2 + I], Min->*Fields[I] - Slack) << "value " << I;
            EXPECT_LE(Values.V[2 + I], Max->*Fields[I] + Slack) << "value " << I;
        }
    }
}
