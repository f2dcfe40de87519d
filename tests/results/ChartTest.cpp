// The chart: exact points of the step and stage charts on a recording canvas,
// its messages and failures, the per-column polyline reduction, and the SVG
// canvas and document.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/Calc.h"
#include "engine/Tables.h"
#include "results/Canvas.h"
#include "results/SvgCanvas.h"
#include "tests/results/RecordingCanvas.h"

namespace {

using TPoints = std::vector<TPoint>;
using TColors = std::vector<TColor>;

const std::string NoRunText = "Расчёт не выполнялся.";
const std::string NoStagesText = "Нет ни данных ни по одному этапу длительного гидроудара.";
const std::string StepFailedText = "Ошибка расчёта параметров прорисовки.";
const std::string StageFailedText = "Ошибка прорисовки нагнетения гидроударом.";

const double NaN = std::numeric_limits<double>::quiet_NaN();
const int32_t Int32Min = std::numeric_limits<int32_t>::min();
const int32_t Int32Max = std::numeric_limits<int32_t>::max();

// Gives Calc these records and the ranges a run would have kept for them: fill
// and speed include the start values, Re and losses start from the empty 1 ... -1.
void SetRecords(TCalc& Calc, const std::vector<TCalcStep>& Records)
{
    Calc.FreeRecords();
    Calc.Records = new TCalcStep[Records.size()];
    std::copy(Records.begin(), Records.end(), Calc.Records);
    Calc.Capacity = Calc.Count = static_cast<int32_t>(Records.size());
    const auto Range = [&](double TCalcStep::*Field, double& Min, double& Max, double Lo,
                           double Hi) {
        Min = Lo;
        Max = Hi;
        for (const TCalcStep& R : Records) {
            Min = std::min(Min, R.*Field);
            Max = std::max(Max, R.*Field);
        }
    };
    Range(&TCalcStep::Fill, Calc.FillMin, Calc.FillMax, Calc.InitialFill, Calc.InitialFill);
    Range(&TCalcStep::Speed, Calc.SpeedMin, Calc.SpeedMax, Calc.InitialSpeed, Calc.InitialSpeed);
    Range(&TCalcStep::Re, Calc.ReMin, Calc.ReMax, 1, -1);
    Range(&TCalcStep::Losses, Calc.LossesMin, Calc.LossesMax, 1, -1);
    const double Accel = Records.front().Accel;
    Range(&TCalcStep::Accel, Calc.AccelMin, Calc.AccelMax, Accel, Accel);
}

// Stages of {Pumped, PipeSpeed, StartSpeed, PumpTime, Pause}.
void AddStages(TCalc& Calc, const std::vector<std::array<double, 5>>& Stages)
{
    for (const auto& [Pumped, PipeSpeed, StartSpeed, PumpTime, Pause] : Stages) {
        TCalcStage* S = Calc.AppendStage();
        S->Pumped = Pumped, S->PipeSpeed = PipeSpeed, S->StartSpeed = StartSpeed;
        S->PumpTime = PumpTime, S->Pause = Pause;
    }
}

// Draws the chart; every drawing ends with a flush.
TRecordingCanvas Draw(const TCalc& Calc, const TRect& Rect)
{
    TRecordingCanvas Canvas;
    Calc.DrawChart(Canvas, Rect);
    EXPECT_EQ(Canvas.Calls.empty() ? "" : Canvas.Calls.back(), "flush");
    return Canvas;
}

// The one message of the canvas ("" when there is none or several).
std::string Message(const TRecordingCanvas& Canvas)
{
    return Canvas.Texts.size() == 1 ? Canvas.Texts[0].Text : std::string();
}

// ----- Step chart -----

// A recording canvas that takes its polylines reduced over the rows Top ... Bottom.
class TReducingCanvas : public TRecordingCanvas {
public:
    TReducingCanvas(int32_t Top, int32_t Bottom) : Top(Top), Bottom(Bottom) {}
    bool ReducesColumns(int32_t& BandTop, int32_t& BandBottom) const override
    {
        BandTop = Top;
        BandBottom = Bottom;
        return true;
    }
    int32_t Top, Bottom;
};

// The lines as a canvas reducing over Top ... Bottom would draw them.
std::vector<TRecordingCanvas::TLine> ReducedLines(std::vector<TRecordingCanvas::TLine> Lines,
                                                  int32_t Top, int32_t Bottom)
{
    for (auto& Line : Lines) {
        TPolylineBuffer Buffer;
        Buffer.Start(Line.Points[0], true, Top, Bottom);
        Buffer.Add(Line.Points.data() + 1, Line.Points.size() - 1);
        Line.Points = Buffer.Finish();
    }
    return Lines;
}

std::vector<std::string> WithoutLines(std::vector<std::string> Calls)
{
    std::erase(Calls, "line");
    return Calls;
}

// The chart on a canvas that reduces columns over Top ... Bottom: the calls
// and polylines of every point, reduced.
void ExpectOnePassSame(const TCalc& Calc, const TRect& Rect, int32_t Top = Int32Min,
                       int32_t Bottom = Int32Max)
{
    const TRecordingCanvas Every = Draw(Calc, Rect);
    TReducingCanvas Reducing(Top, Bottom);
    Calc.DrawChart(Reducing, Rect);
    EXPECT_EQ(WithoutLines(Reducing.Calls), WithoutLines(Every.Calls));
    EXPECT_EQ(Reducing.Texts.size(), Every.Texts.size());
    const auto Expected = ReducedLines(Every.Lines, Top, Bottom);
    ASSERT_EQ(Reducing.Lines.size(), Expected.size());
    for (std::size_t I = 0; I < Expected.size(); ++I) {
        EXPECT_EQ(Reducing.Lines[I].Color, Expected[I].Color) << I;
        EXPECT_EQ(Reducing.Lines[I].Points, Expected[I].Points) << I;
    }
    // What the canvas gets is reduced already: its own reduction keeps it.
    const auto Again = ReducedLines(Reducing.Lines, Top, Bottom);
    for (std::size_t I = 0; I < Again.size(); ++I)
        EXPECT_EQ(Again[I].Points, Reducing.Lines[I].Points) << I;
}

TEST(StepChart, OneStepRunGoesFromTheStartValuesToTheRightEdge)
{
    TCalc Calc;
    Calc.InitialFill = 1;
    Calc.InitialSpeed = 0;
    SetRecords(Calc, {{0.5, 2, 3, -3, 0, 5000}});
    const TRecordingCanvas Canvas = Draw(Calc, TRect{10, 20, 110, 121});  // rows 20 ... 120

    EXPECT_TRUE(Canvas.Texts.empty());
    EXPECT_EQ(Canvas.Colors(), (TColors{ReColor, LossColor, AccelColor, SpeedColor, FillColor}));
    // Re 1 ... 5000 has no start value: just its point on the right edge. Losses
    // and acceleration hold one value each: on the bottom row.
    EXPECT_EQ(Canvas.Lines[0].Points, (TPoints{{110, 20}}));
    EXPECT_EQ(Canvas.Lines[1].Points, (TPoints{{110, 120}}));
    EXPECT_EQ(Canvas.Lines[2].Points, (TPoints{{110, 120}}));
    // Speed and fill start at the left edge on their minimum.
    EXPECT_EQ(Canvas.Lines[3].Points, (TPoints{{10, 120}, {110, 20}}));
    EXPECT_EQ(Canvas.Lines[4].Points, (TPoints{{10, 120}, {110, 20}}));
}

TEST(StepChart, TwoRecordsPerColumnRoundTiesToEvenAndConstantsLieOnTheLastRow)
{
    // Count = 2 x width: sx = 0.5, so every other x is a tie.
    TCalc Calc;
    Calc.InitialFill = 7;
    SetRecords(Calc, std::vector<TCalcStep>(10, TCalcStep{0, 7, 0, 0, 0, -1}));
    Calc.AccelMax = Calc.LossesMax = -1;  // leave acceleration and losses out
    const TRecordingCanvas Canvas = Draw(Calc, TRect{0, 0, 5, 11});

    // No Reynolds numbers (every Re is -1), a constant speed and a constant fill:
    // all flat on row B - 1.
    ASSERT_EQ(Canvas.Colors(), (TColors{ReColor, SpeedColor, FillColor}));
    const TPoints Ties{{0, 10}, {1, 10}, {2, 10}, {2, 10}, {2, 10},
                       {3, 10}, {4, 10}, {4, 10}, {4, 10}, {5, 10}};
    EXPECT_EQ(Canvas.Lines[0].Points, Ties);
    TPoints Fill{{0, 10}};
    Fill.insert(Fill.end(), Ties.begin(), Ties.end());
    EXPECT_EQ(Canvas.Lines[1].Points, Fill);
    EXPECT_EQ(Canvas.Lines[2].Points, Fill);
}

TEST(StepChart, RowsRoundTiesToEvenAndTheStartValueUsesTheSameMapping)
{
    TCalc Calc;
    Calc.InitialSpeed = 0;  // the minimum of the speed range
    SetRecords(
        Calc, {{1, 0, 0.2, 0, 0, 0}, {2, 0, 1, 0, 0, 0}, {3, 0, 1.8, 0, 0, 0}, {4, 0, 2, 0, 0, 0}});
    Calc.ReMax = Calc.LossesMax = Calc.AccelMax = Calc.FillMax = -1;
    // Six rows: sy = 5 / 2 = 2.5; 0.2 -> 4.5, 1 -> 2.5, 1.8 -> 0.5.
    const TRecordingCanvas Canvas = Draw(Calc, TRect{0, 0, 8, 6});
    ASSERT_EQ(Canvas.Colors(), (TColors{SpeedColor}));
    EXPECT_EQ(Canvas.Lines[0].Points, (TPoints{{0, 5}, {2, 4}, {4, 2}, {6, 0}, {8, 0}}));
}

TEST(StepChart, NonFiniteValuesEndTheChartWithItsMessageOverWhatWasDrawn)
{
    TCalc Calc;
    SetRecords(Calc, {{1, 1, 1, 1, 1, 10}, {2, 2, 2, 2, NaN, 20}, {3, 3, 3, 3, 3, 30}});
    Calc.ReMin = 10;
    Calc.LossesMin = 1;
    Calc.LossesMax = 3;
    const TRecordingCanvas Canvas = Draw(Calc, TRect{0, 0, 30, 21});
    // Re complete, losses up to the record before the NaN, nothing after it.
    ASSERT_EQ(Canvas.Colors(), (TColors{ReColor, LossColor}));
    EXPECT_EQ(Canvas.Lines[0].Points, (TPoints{{10, 20}, {20, 10}, {30, 0}}));
    EXPECT_EQ(Canvas.Lines[1].Points, (TPoints{{10, 20}}));
    EXPECT_EQ(Message(Canvas), StepFailedText);
    EXPECT_EQ(Canvas.Calls.end()[-2], "text");
    ExpectOnePassSame(Calc, TRect{0, 0, 30, 21});
}

TEST(StepChart, BrokenRangesAndStartValuesFail)
{
    const auto Fails = [](auto Break) {
        TCalc Calc;
        Calc.InitialFill = 0;
        SetRecords(Calc, {{1, 1, 1, 1, 1, 1}, {2, 2, 2, 2, 2, 2}});
        Break(Calc);
        return Message(Draw(Calc, TRect{0, 0, 40, 40})) == StepFailedText;
    };
    EXPECT_FALSE(Fails([](TCalc&) {}));
    EXPECT_TRUE(Fails([](TCalc& C) { C.ReMax = NaN; }));
    EXPECT_TRUE(Fails([](TCalc& C) { C.SpeedMin = NaN; }));
    EXPECT_TRUE(Fails([](TCalc& C) { C.AccelMax = std::numeric_limits<double>::infinity(); }));
    EXPECT_TRUE(
        Fails([](TCalc& C) { C.LossesMin = -1e308, C.LossesMax = 1e308; }));  // span overflows
    EXPECT_TRUE(Fails([](TCalc& C) { C.InitialFill = NaN; }));
    EXPECT_TRUE(Fails([](TCalc& C) { C.Records[1].Fill = 1e300; }));  // row beyond 32 bits
    EXPECT_TRUE(Fails([](TCalc& C) { C.Count = C.Capacity + 1; }));
}

TEST(StepChart, RowsAtTheEndsOfThe32BitRangeAreDrawnAndOneBeyondFails)
{
    // One value row (sy = 1): y = 1 - v.
    TCalc Calc;
    SetRecords(Calc, {{1, 0, 0, 0, 0, 2147483649.0}, {2, 0, 0, 0, 0, -2147483646.0}});
    Calc.ReMin = 0;
    Calc.ReMax = 1;
    Calc.SpeedMax = Calc.FillMax = Calc.AccelMax = Calc.LossesMax = -1;
    TRecordingCanvas Canvas = Draw(Calc, TRect{0, 0, 2, 2});
    ASSERT_EQ(Canvas.Colors(), (TColors{ReColor, SpeedColor}));
    EXPECT_EQ(Canvas.Lines[0].Points, (TPoints{{1, Int32Min}, {2, Int32Max}}));
    EXPECT_TRUE(Canvas.Texts.empty());
    ExpectOnePassSame(Calc, TRect{0, 0, 2, 2});

    Calc.Records[1].Re = -2147483647.0;
    EXPECT_EQ(Message(Draw(Calc, TRect{0, 0, 2, 2})), StepFailedText);
    ExpectOnePassSame(Calc, TRect{0, 0, 2, 2});

    // The same edges in the middle of a long run, where the rows are made
    // many at a time; and every kind of value that has no row.
    std::vector<TCalcStep> Records(3000, TCalcStep{0, 0, 0, 0, 0, 0.5});
    Records[1000].Re = 2147483649.0;
    Records[2000].Re = -2147483646.0;
    SetRecords(Calc, Records);
    Calc.ReMin = 0;
    Calc.ReMax = 1;
    Calc.SpeedMax = Calc.FillMax = Calc.AccelMax = Calc.LossesMax = -1;
    ExpectOnePassSame(Calc, TRect{0, 0, 100, 2});
    for (const double Bad :
         {2147483649.6, -2147483646.5, -2147483647.0, NaN, std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), 1e300, -1e300, -1e16}) {
        SCOPED_TRACE(Bad);
        Calc.Records[1500].Re = Bad;
        ExpectOnePassSame(Calc, TRect{0, 0, 100, 2});
        EXPECT_EQ(Message(Draw(Calc, TRect{0, 0, 100, 2})), StepFailedText);
    }
}

// A canvas that reduces columns gets the step chart in one pass over the
// records: the same polylines, reduced, as every point reduced by the canvas,
// with the same pens, moves, failures and messages.
TEST(StepChart, OnePassForAReducingCanvasGivesEveryPointReduced)
{
    const auto Records = [](int Count, uint32_t Seed) {
        std::vector<TCalcStep> List(static_cast<std::size_t>(Count));
        std::mt19937 Random(Seed);
        std::normal_distribution<double> Noise(0, 1);
        double Walk = 0;
        for (int K = 0; K < Count; ++K) {
            Walk += Noise(Random);
            List[static_cast<std::size_t>(K)] = {static_cast<double>(K),
                                                 K * 0.001 + std::sin(K * 0.01),
                                                 Walk,
                                                 Noise(Random) * (K % 997 == 0 ? 50 : 1),
                                                 K % 2 ? 1.0 : -1.0,
                                                 (K / 1000) % 2 ? 5.0 : 7.0};
        }
        return List;
    };
    const struct {
        int Count;
        TRect Rect;
        int Broken;       // record with a NaN (-1: none)
        int BrokenField;  // 0 fill ... 4 Re
        const char* Change;
        bool AllBands = true;  // else only the rectangle's rows, as the window's canvas
    } Cases[] = {
        // Long runs are passed in two halves that meet near the middle
        // (here between records 35042 and 35043): breaks in either half and
        // at the records where they meet, spikes across it, and a column
        // for every record.
        {70000, {0, 0, 800, 500}, -1, 0, ""},
        {70000, {10, 20, 810, 520}, 54321, 3, ""},
        {70000, {0, 0, 800, 500}, 20000, 1, "", false},
        {70000, {0, 0, 800, 500}, 35042, 0, "", false},
        {70000, {0, 0, 800, 500}, 35043, 4, "", false},
        {70000, {0, 0, 800, 500}, -1, 0, "spikes", false},
        {70000, {5, 0, 70005, 300}, -1, 0, "", false},
        {5000, {0, 0, 200, 100}, 0, 4, ""},
        {5000, {0, 0, 200, 100}, 4999, 2, ""},
        {5000, {0, 0, 200, 100}, 1, 1, ""},
        {400, {0, 0, 200, 100}, -1, 0, "spikes"},
        {150, {0, 0, 200, 100}, -1, 0, ""},
        {3, {0, 0, 50, 40}, 1, 0, ""},
        {2, {0, 0, 50, 40}, -1, 0, "start"},
        {1, {0, 0, 50, 40}, -1, 0, ""},
        {1000, {0, 0, 50, 40}, -1, 0, "range"},
    };
    double TCalcStep::*const Fields[] = {&TCalcStep::Fill, &TCalcStep::Speed, &TCalcStep::Accel,
                                         &TCalcStep::Losses, &TCalcStep::Re};
    uint32_t Seed = 1;
    for (const auto& C : Cases) {
        TCalc Calc;
        Calc.InitialFill = 0;
        Calc.InitialSpeed = 0;
        SetRecords(Calc, Records(C.Count, Seed++));
        if (C.Broken >= 0)
            Calc.Records[C.Broken].*Fields[C.BrokenField] = NaN;
        if (std::string(C.Change) == "spikes")
            Calc.AccelMax /= 3;  // rows beyond the rectangle
        else if (std::string(C.Change) == "start")
            Calc.InitialSpeed = NaN;
        else if (std::string(C.Change) == "range")
            Calc.LossesMax = NaN;
        std::vector<std::pair<int32_t, int32_t>> Bands = {{C.Rect.Top, C.Rect.Bottom - 1}};
        if (C.AllBands)
            Bands = {{Int32Min, Int32Max}, Bands[0], {C.Rect.Top + 10, C.Rect.Bottom - 20}};
        for (const auto& [Top, Bottom] : Bands) {
            SCOPED_TRACE(std::to_string(C.Count) + " records, break " + std::to_string(C.Broken) +
                         " " + C.Change + ", band " + std::to_string(Top) + " ... " +
                         std::to_string(Bottom));
            ExpectOnePassSame(Calc, C.Rect, Top, Bottom);
        }
    }
}

TEST(ChartMessages, NoRunAndStagesCountedButMissingWriteOnlyTheirMessage)
{
    TCalc NoRun;  // stages do not make up for the missing run
    AddStages(NoRun, {{1, 1, 1, 1, 1}, {2, 2, 2, 2, 2}, {3, 3, 3, 3, 3}});
    TCalc NoStages;
    SetRecords(NoStages, {{1, 1, 1, 1, 1, 1}});
    NoStages.StageCount = 2;
    const TRect Rect{5, 7, 200, 100};
    for (const auto& [Calc, Text] :
         {std::pair<const TCalc&, std::string>{NoRun, NoRunText}, {NoStages, NoStagesText}}) {
        SCOPED_TRACE(Text);
        const TRecordingCanvas Canvas = Draw(Calc, Rect);
        EXPECT_TRUE(Canvas.Lines.empty());
        ASSERT_EQ(Message(Canvas), Text);
        EXPECT_EQ(Canvas.Texts[0].Clip, Rect);
        EXPECT_EQ(Canvas.Texts[0].At, (TPoint{6, 8}));
    }
}

// ----- Stage chart -----

class StageChart : public testing::Test {
protected:
    TCalc Calc;
    const TRect Rect{0, 0, 100, 101};  // sy = 100 / (Max - Min)

    void SetUp() override { SetRecords(Calc, {{1, 1, 1, 1, 1, 1}}); }
};

TEST_F(StageChart, DrawsOnlyTheQuantitiesWhoseFirstAndLastStageMoveTheRightWay)
{
    AddStages(Calc, {{1, 3, 5, 1, 0}, {2, 2, 6, 1, 1}, {3, 1, 4, 1, 2}});
    const TRecordingCanvas Canvas = Draw(Calc, Rect);
    EXPECT_TRUE(Canvas.Texts.empty());
    ASSERT_EQ(Canvas.Colors(), (TColors{ReColor, LossColor, AccelColor, SpeedColor, FillColor}));
    // The pause grows: 0 at the bottom, 2 at the top. Equal pump times: flat on
    // the bottom row. The range comes from the first and the last stage only.
    EXPECT_EQ(Canvas.Lines[0].Points, (TPoints{{0, 100}, {50, 50}, {100, 0}}));
    EXPECT_EQ(Canvas.Lines[1].Points, (TPoints{{0, 100}, {50, 100}, {100, 100}}));
    EXPECT_EQ(Canvas.Lines[2].Points, (TPoints{{0, 0}, {50, -100}, {100, 100}}));

    // The pause shrinks, pumped falls, speeds and pump time rise: nothing drawn.
    TCalc Wrong;
    SetRecords(Wrong, {{1, 1, 1, 1, 1, 1}});
    AddStages(Wrong, {{3, 1, 1, 1, 2}, {2, 2, 2, 2, 1}, {1, 3, 3, 3, 0}});
    const TRecordingCanvas None = Draw(Wrong, Rect);
    EXPECT_TRUE(None.Lines.empty());
    EXPECT_TRUE(None.Texts.empty());
}

TEST_F(StageChart, WalksNoFurtherThanStageCountButTakesTheRangeFromTheListsEnd)
{
    AddStages(Calc, {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {2, 0, 0, 0, 0}, {4, 0, 0, 0, 0}});
    Calc.StageCount = 3;  // sx = 50; the range of Pumped is 0 ... 4 all the same
    const TRecordingCanvas Canvas = Draw(Calc, Rect);
    ASSERT_EQ(Canvas.Lines.size(), 5u);
    EXPECT_EQ(Canvas.Lines[4].Points, (TPoints{{0, 100}, {50, 75}, {100, 50}}));

    Calc.StageCount = 5;  // sx = 25; a shorter list ends the lines early
    EXPECT_EQ(Draw(Calc, Rect).Lines[4].Points, (TPoints{{0, 100}, {25, 75}, {50, 50}, {75, 0}}));
}

TEST_F(StageChart, AStageFarOutsideTheRangeIsDrawnWhileItFitsAndReportedBeyond)
{
    // Pumped 0 ... 1 on two rows (sy = 1): y = 1 - v.
    const TRect Flat{0, 0, 100, 2};
    AddStages(Calc, {{0, 0, 0, 0, 0}, {2147483649.0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}});
    TRecordingCanvas Canvas = Draw(Calc, Flat);
    ASSERT_EQ(Canvas.Lines.size(), 5u);
    EXPECT_EQ(Canvas.Lines[4].Points, (TPoints{{0, 1}, {50, Int32Min}, {100, 0}}));
    EXPECT_TRUE(Canvas.Texts.empty());

    Calc.Stages->Next->Pumped = 1e300;
    Canvas = Draw(Calc, Flat);
    ASSERT_EQ(Canvas.Lines.size(), 5u);  // series 5 to 2, and the start of series 1
    EXPECT_EQ(Canvas.Lines[4].Points, (TPoints{{0, 1}}));
    EXPECT_EQ(Message(Canvas), StageFailedText);

    Calc.Stages->Next->Pumped = NaN;
    EXPECT_EQ(Message(Draw(Calc, Flat)), StageFailedText);
}

// ----- Polyline reduction -----

using TRows = std::vector<int32_t>;

// The rows of one column at x = 1 after reduction with the band Top ... Bottom.
TRows Column(const TRows& Rows, int32_t Top = -100, int32_t Bottom = 100)
{
    TPoints Points;
    ReduceColumn(1, Rows, Top, Bottom, Points);
    TRows Result;
    for (const TPoint& P : Points) {
        EXPECT_EQ(P.X, 1);
        Result.push_back(P.Y);
    }
    return Result;
}

// Exact results of a few rules; the pixel test checks the reduction as a whole.
TEST(PolylineBuffer, ColumnsKeepTheirEndsDirectionsAndCoveredRows)
{
    // Up to eight points stay as they are.
    EXPECT_EQ(Column({5, 9, 2, 8, 1, 7, 3, 4}), (TRows{5, 9, 2, 8, 1, 7, 3, 4}));
    // Inner path 4 2 8 1 7 6 3: leaves 4 upwards, turns at its bottom row 8,
    // arrives at 3 upwards.
    EXPECT_EQ(Column({0, 4, 2, 8, 1, 7, 6, 3, 5}), (TRows{0, 4, 1, 8, 3, 5}));
    // Equal inner rows draw nothing between the first and the last line.
    EXPECT_EQ(Column({0, 4, 4, 4, 4, 4, 4, 4, 9}), (TRows{0, 4, 9}));
    // Inner rows outside the band: left alone (the first and last may lie anywhere).
    const TRows Outside{-50, 4, 2, 8, 1, 7, 6, 3, 50};
    EXPECT_EQ(Column(Outside, 0, 8), (TRows{-50, 4, 1, 8, 3, 50}));
    EXPECT_EQ(Column(Outside, 2, 8), Outside);
}

TEST(PolylineBuffer, AMillionPointsInOneColumnBecomeAFew)
{
    TPolylineBuffer Buffer;
    Buffer.Start(TPoint{3, 0}, true);
    for (int I = 1; I < 1000000; ++I)
        Buffer.Add(TPoint{3, static_cast<int32_t>(I * 7919LL % 1000)});
    EXPECT_LE(Buffer.Finish().size(), 8u);
    // A line after Finish goes on from the last point.
    EXPECT_FALSE(Buffer.Open());
    Buffer.Add(TPoint{4, 4});
    EXPECT_EQ(Buffer.Finish(), (TPoints{{3, 81}, {4, 4}}));
}

// ----- SVG -----

TEST(Svg, EscapesTextForXml)
{
    EXPECT_EQ(XmlEscape("a<b & 'c' \"d\" >"), "a&lt;b &amp; &apos;c&apos; &quot;d&quot; &gt;");
    EXPECT_EQ(XmlEscape(NoRunText), NoRunText);
    EXPECT_EQ(XmlEscape(std::string("x\x01y\tz\x80", 6)), "x\xEF\xBF\xBDy\tz\xEF\xBF\xBD");
    EXPECT_EQ(XmlEscape("\xEF\xBF\xBF"), "\xEF\xBF\xBD");
}

TEST(Svg, ReadsSizesWithinTheLimits)
{
    int W = 0, H = 0;
    EXPECT_TRUE(ParseSvgSize("16x10000", W, H) && W == 16 && H == 10000);
    for (const char* Bad : {"15x500", "800x10001", "-800x500", "+800x500", " 800x500", "800X500",
                            "800x500x2", "800x", "800", "8e2x500", "99999999999x500"})
        EXPECT_FALSE(ParseSvgSize(Bad, W, H)) << Bad;
    EXPECT_THROW(ChartSvg(TCalc(), 15, 500), std::invalid_argument);
    EXPECT_THROW(ChartSvg(TCalc(), 800, 10001), std::invalid_argument);
}

// The golden cases pin whole chart documents; none of them has no run.
TEST(Svg, ChartDocumentOfNoRunHasTheBackgroundAndTheMessage)
{
    const std::string Empty = ChartSvg(TCalc(), 800, 500);
    EXPECT_NE(Empty.find("width=\"800\" height=\"500\" fill=\"#ffffff\""), std::string::npos);
    EXPECT_NE(Empty.find(">" + NoRunText + "</text>"), std::string::npos);
}

TEST(Svg, CanvasEscapesAndClipsTextAndReducesColumns)
{
    TSvgCanvas Canvas(50, 40);
    Canvas.SetPen(SpeedColor);
    Canvas.MoveTo(0, 0);
    for (int I = 0; I < 10000; ++I)
        Canvas.LineTo(1 + I / 5000, I % 37);
    Canvas.TextRect(TRect{2, 3, 12, 13}, 4, 5, "<&>");
    const std::string Svg = Canvas.Document();
    EXPECT_LT(Svg.size(), 1000u) << Svg;  // two columns of a few points each
    EXPECT_NE(Svg.find("<clipPath id=\"clip1\"><rect x=\"2\" y=\"3\" width=\"10\" height=\"10\"/>"),
              std::string::npos);
    EXPECT_NE(Svg.find("clip-path=\"url(#clip1)\">&lt;&amp;&gt;</text>"), std::string::npos);
}

// The polylines of an SVG document: their colours and points, in order.
std::vector<TRecordingCanvas::TLine> SvgLines(const std::string& Svg)
{
    std::vector<TRecordingCanvas::TLine> Lines;
    const auto Attribute = [&](std::size_t From, const std::string& Name) {
        const std::size_t Start = Svg.find(Name + "=\"", From) + Name.size() + 2;
        return Svg.substr(Start, Svg.find('"', Start) - Start);
    };
    for (std::size_t At = Svg.find("<polyline "); At != std::string::npos;
         At = Svg.find("<polyline ", At + 1)) {
        const unsigned long Rgb = std::stoul(Attribute(At, "stroke").substr(1), nullptr, 16);
        TRecordingCanvas::TLine Line{TColor{static_cast<uint8_t>(Rgb >> 16),
                                            static_cast<uint8_t>(Rgb >> 8 & 255),
                                            static_cast<uint8_t>(Rgb & 255)},
                                     {}};
        std::istringstream Points(Attribute(At, "points"));
        TPoint P;
        char Comma = 0;
        while (Points >> P.X >> Comma >> P.Y)
            Line.Points.push_back(P);
        Lines.push_back(Line);
    }
    return Lines;
}

// The SVG document draws the chart the canvas reduction makes of every point,
// less each point that repeats the one before it (a line of length 0 inside a
// polyline draws nothing); a polyline of one point repeated keeps two, for
// the dot of its square caps.
TEST(Svg, PolylinesAreTheReducedChartLessRepeatedPoints)
{
    for (const auto& [Count, Width, Height] :
         {std::tuple{1, 50, 40}, std::tuple{150, 200, 100}, std::tuple{100000, 800, 500},
          std::tuple{30000, 64, 3000}}) {
        SCOPED_TRACE(Count);
        TCalc Calc;
        Calc.InitialFill = 0;
        Calc.InitialSpeed = 0;
        std::vector<TCalcStep> Records(static_cast<std::size_t>(Count));
        for (int K = 0; K < Count; ++K)
            Records[static_cast<std::size_t>(K)] = {
                static_cast<double>(K),    std::sqrt(K),
                std::sin(K * 0.001),       (K * 7919 % 101) * 0.01,
                K % 5000 < 10 ? 1.0 : 0.0, (K / 3000) % 2 ? 5.0 : 7.0};
        SetRecords(Calc, Records);
        const std::string Svg = ChartSvg(Calc, Width, Height);
        auto Expected =
            ReducedLines(Draw(Calc, TRect{0, 0, Width, Height}).Lines, Int32Min, Int32Max);
        std::erase_if(Expected, [](const auto& Line) { return Line.Points.size() < 2; });
        std::size_t Dropped = 0;
        for (auto& Line : Expected) {
            const std::size_t Before = Line.Points.size();
            Line.Points.erase(std::unique(Line.Points.begin(), Line.Points.end()),
                              Line.Points.end());
            Dropped += Before - Line.Points.size();
            if (Line.Points.size() == 1)
                Line.Points.push_back(Line.Points[0]);
        }
        const auto Drawn = SvgLines(Svg);
        ASSERT_EQ(Drawn.size(), Expected.size());
        for (std::size_t I = 0; I < Drawn.size(); ++I) {
            EXPECT_EQ(Drawn[I].Color, Expected[I].Color) << I;
            EXPECT_EQ(Drawn[I].Points, Expected[I].Points) << I;
        }
        if (Count >= 30000) {
            EXPECT_GT(Dropped, 100u);  // records of one column repeat their rows
        }
    }

    TSvgCanvas Canvas(20, 20);
    Canvas.MoveTo(3, 4);
    Canvas.LineTo(3, 4);
    Canvas.LineTo(3, 4);
    EXPECT_NE(Canvas.Document().find("points=\"3,4 3,4\""), std::string::npos);
}

}  // namespace
