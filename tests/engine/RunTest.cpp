// The run driver: records, ranges, progress, failures and cancellation.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <tuple>
#include <vector>

#include "engine/Calc.h"
#include "engine/RunGlobals.h"
#include "engine/Tables.h"
#include "engine/UserLink.h"
#include "tests/FakeLink.h"

namespace {

const char* const RunFailed = "Ошибка выполнения расчётов!";

// Water pushed by 0.1 bar into a 50 mm pipe; Steps steps of Step seconds.
void Pipe(TCalc& Calc, int32_t Steps, double Step = 0.01)
{
    Calc.SetParams(Steps, Step, 1e4, 0, 0, 0, 999, 0.001004, 4.58e-10, 0.05, 0, 0, 0, 0);
}

// Every field of a record, and every range of a run.
auto Fields(const TCalcStep& R)
{
    return std::tie(R.Time, R.Fill, R.Speed, R.Accel, R.Losses, R.Re);
}
auto Ranges(const TCalc& C)
{
    return std::tie(C.ReMax, C.ReMin, C.FillMax, C.FillMin, C.LossesMax, C.LossesMin, C.SpeedMax,
                    C.SpeedMin, C.AccelMax, C.AccelMin);
}

// Shown progress in hundredths of a percent, rounded half to even.
int64_t ShownValue(int64_t Position, int64_t Total)
{
    return static_cast<int64_t>(std::nearbyint(static_cast<double>(Position) * 10000 / Total));
}

}  // namespace

TEST(Run, OneRecordPerStep)
{
    TScopedFakeLink Link;
    TCalc Calc;
    Pipe(Calc, 3, 0.5);
    EXPECT_TRUE(Calc.Run(0));
    ASSERT_EQ(Calc.Count, 3);
    EXPECT_EQ(Calc.Capacity, 3);
    for (int I = 0; I < 3; ++I)
        EXPECT_EQ(Calc.Records[I].Time, 0.5 * (I + 1));
    // The inputs are not the run's working state.
    EXPECT_EQ(Calc.InitialFill, 0);
    EXPECT_EQ(Calc.InitialSpeed, 0);
    ASSERT_EQ(Link.Windows.size(), 1u);
    EXPECT_EQ(Link.Windows[0]->Caption, "Выполнение расчёта...");
    EXPECT_TRUE(Link.Windows[0]->Closed);
    EXPECT_EQ(Link.Windows[0]->Sets, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
    EXPECT_TRUE(Link.Shown.empty());
}

TEST(Run, CaptionNamesTheStage)
{
    TScopedFakeLink Link;
    TCalc Calc;
    Pipe(Calc, 1);
    for (auto [Stage, Caption] : {std::pair{2, "Выполнение расчёта (этап 2)..."},
                                  {0, "Выполнение расчёта..."},
                                  {-1, "Выполнение расчёта..."},
                                  {1234, "Выполнение расчёта (этап 1234)..."}}) {
        Calc.Run(Stage);
        EXPECT_EQ(Link.Windows.back()->Caption, Caption);
    }
}

TEST(Run, Ranges)
{
    TScopedFakeLink Link;
    TCalc Calc;
    // Frictionless: every loss is 0, and Re is -1 throughout.
    Pipe(Calc, 50);
    Calc.Viscous = 0;
    Calc.InitialFill = 2;
    ASSERT_TRUE(Calc.Run(0));
    // Fill and speed ranges include the start values even when the fill only grows;
    // the acceleration range covers exactly the stored accelerations.
    const auto [AccelMin, AccelMax] = std::minmax_element(
        Calc.Records, Calc.Records + Calc.Count,
        [](const TCalcStep& A, const TCalcStep& B) { return A.Accel < B.Accel; });
    EXPECT_EQ(Ranges(Calc),
              std::make_tuple(-1.0, -1.0, Calc.Records[49].Fill, 2.0, 0.0, 0.0,
                              Calc.Records[49].Speed, 0.0, AccelMax->Accel, AccelMin->Accel));
    EXPECT_GT(Calc.AccelMin, 1);

    // Re between 5000 and 9000: the minimum stays at 1.
    Pipe(Calc, 1, 0.001);
    Calc.InitialFill = 1;
    Calc.InitialSpeed = 0.15;
    Calc.Pressure = 0;
    ASSERT_TRUE(Calc.Run(0));
    EXPECT_GT(Calc.Records[0].Re, 5000);
    EXPECT_LT(Calc.Records[0].Re, 9000);
    EXPECT_EQ(Calc.ReMin, 1);
    EXPECT_EQ(Calc.ReMax, Calc.Records[0].Re);
    EXPECT_EQ(Calc.LossesMin, 1 < Calc.Records[0].Losses ? 1 : Calc.Records[0].Losses);
}

TEST(Run, SingleNegativeAcceleration)
{
    TScopedFakeLink Link;
    TCalc Calc;
    Pipe(Calc, 1);
    Calc.Viscous = 0;
    Calc.InitialFill = 1;
    Calc.Pressure = -2997;  // a = p/ρ / Lf = -3
    ASSERT_TRUE(Calc.Run(0));
    EXPECT_DOUBLE_EQ(Calc.Records[0].Accel, -3);
    EXPECT_EQ(Calc.AccelMax, Calc.Records[0].Accel);
    EXPECT_EQ(Calc.AccelMin, Calc.Records[0].Accel);
}

TEST(Run, NoStepsIsAnEmptySuccess)
{
    for (int32_t Steps : {0, -5}) {
        TScopedFakeLink Link;
        TCalc Calc;
        Pipe(Calc, 3);
        ASSERT_TRUE(Calc.Run(0));
        Calc.Steps = Steps;
        Calc.InitialFill = 4;
        EXPECT_TRUE(Calc.Run(0));
        EXPECT_EQ(Calc.Count, 0);
        EXPECT_EQ(Calc.Capacity, 0);
        EXPECT_EQ(Calc.Records, nullptr);
        EXPECT_EQ(Calc.FillMin, 4);
        EXPECT_EQ(Calc.FillMax, 4);
        EXPECT_LT(Calc.AccelMax, Calc.AccelMin);
        ASSERT_EQ(Link.Windows.size(), 2u);
        EXPECT_TRUE(Link.Windows[1]->Closed);
        EXPECT_TRUE(Link.Windows[1]->Sets.empty());
        EXPECT_TRUE(Link.Shown.empty());
    }
}

TEST(Run, FaultInTheFirstStep)
{
    TScopedFakeLink Link;
    TCalc Calc;
    Pipe(Calc, 10);
    Calc.Density = 0;
    EXPECT_FALSE(Calc.Run(0));
    EXPECT_EQ(Calc.Count, 0);
    EXPECT_EQ(Link.Errors, std::vector<std::string>{RunFailed});
    EXPECT_EQ(Link.Shown, std::vector<std::string>{"Ошибка выполнения расчётов!!"});
    EXPECT_TRUE(Link.Windows[0]->Closed);
    // Zero pressure as well: 0/0 instead of x/0. A negative density makes the
    // pressure speed the square root of a negative number in every step, even
    // with a column in the pipe where that speed is not used.
    for (auto [Pressure, Density, Fill] : {std::tuple{0.0, 0.0, 0.0}, {1e4, -1000.0, 1.0}}) {
        Pipe(Calc, 10);
        std::tie(Calc.Pressure, Calc.Density, Calc.InitialFill) = std::tie(Pressure, Density, Fill);
        EXPECT_FALSE(Calc.Run(0));
        EXPECT_EQ(Calc.Count, 0);
    }

    // The next run starts afresh.
    Pipe(Calc, 4);
    EXPECT_TRUE(Calc.Run(0));
    EXPECT_EQ(Calc.Count, 4);
    EXPECT_EQ(Calc.Records[0].Time, 0.01);
}

TEST(Run, FaultWithinALongRunKeepsExactlyTheStepsBeforeIt)
{
    // An empty pipe without a diameter under suction: liquid leaves through
    // the inlet at 1 m/s, and the first step that starts with the front more
    // than 1e-6 m outside it divides by the zero diameter. The step is chosen so that this is
    // step Faulting. A long run tests the flags once per block of steps
    // between its progress points (100 steps apart here); the faults fall at
    // the start, inside and at the end of such blocks.
    const auto Suction = [](TCalc& Calc, int32_t Steps, int Faulting) {
        Pipe(Calc, Steps, 1e-6 / (Faulting - 1.5));
        Calc.Density = 1000;
        Calc.Pressure = -500;
        Calc.Diameter = 0;
    };
    for (int Faulting : {2, 50, 51, 52, 64, 65, 100, 114, 115, 116, 150, 151, 178, 200}) {
        SCOPED_TRACE(Faulting);
        TScopedFakeLink Link;
        TCalc Calc, Reference;
        Suction(Calc, 1000000, Faulting);
        EXPECT_FALSE(Calc.Run(0));
        EXPECT_EQ(Link.Errors, std::vector<std::string>{RunFailed});
        ASSERT_EQ(Calc.Count, Faulting - 1);

        // A run of exactly the steps before the faulting one.
        Suction(Reference, Faulting - 1, Faulting);
        ASSERT_TRUE(Reference.Run(0));
        ASSERT_EQ(Reference.Count, Faulting - 1);
        for (int I = 0; I < Calc.Count; ++I)
            EXPECT_EQ(Fields(Calc.Records[I]), Fields(Reference.Records[I])) << I;
        EXPECT_EQ(Ranges(Calc), Ranges(Reference));
        EXPECT_LT(Calc.FillMin, -1e-6);
        EXPECT_EQ(Calc.FillMin, Calc.Records[Faulting - 2].Fill);
    }
}

TEST(Run, CancelIsReportedAfterAllSteps)
{
    TScopedFakeLink Link;
    Link.CancelAfterSets = 1;
    TCalc Calc;
    Pipe(Calc, 1000);
    EXPECT_FALSE(Calc.Run(0));
    EXPECT_EQ(Calc.Count, 1000);
    EXPECT_TRUE(Link.Shown.empty());
    EXPECT_EQ(Link.Windows[0]->CancelledAsked, 1);
}

TEST(Run, ProgressOnlyWhenTheShownValueChanges)
{
    TScopedFakeLink Link;
    TCalc Calc;
    const int64_t Total = 123457;
    Pipe(Calc, static_cast<int32_t>(Total), 1e-5);
    ASSERT_TRUE(Calc.Run(0));
    const auto& Sets = Link.Windows[0]->Sets;
    ASSERT_LE(Sets.size(), 10001u);
    ASSERT_GE(Sets.size(), 10000u);
    EXPECT_EQ(Sets.front(), std::make_pair(1, static_cast<int>(Total)));
    EXPECT_EQ(ShownValue(Sets.back().first, Total), 10000);
    for (size_t K = 1; K < Sets.size(); ++K) {
        // Each call shows a new value, and no change was skipped in between.
        const int64_t Previous = Sets[K - 1].first, Position = Sets[K].first;
        EXPECT_GT(ShownValue(Position, Total), ShownValue(Previous, Total)) << Position;
        EXPECT_EQ(ShownValue(Position - 1, Total), ShownValue(Previous, Total)) << Position;
    }
}

TEST(Run, RecordsThatCannotBeAllocatedFailTheRun)
{
    TScopedFakeLink Link;
    TCalc Calc, Blow;
    BlowCalc = &Blow;
    Pipe(Calc, 5);
    ASSERT_TRUE(Calc.Run(0));
    Calc.Steps = std::numeric_limits<int32_t>::max();
    EXPECT_FALSE(Calc.Run(0));
    BlowCalc = nullptr;
    EXPECT_EQ(Calc.Count, 0);
    EXPECT_EQ(Blow.Count, 0);
    EXPECT_EQ(Blow.Records, nullptr);
    EXPECT_EQ(Link.Errors, std::vector<std::string>{RunFailed});
}

TEST(Run, OnlyARunWithTheHammerRecordsTheDrivingPipeAndRunsOfOneSizeShareABlock)
{
    TScopedFakeLink Link;
    TCalc Calc, Blow;
    BlowCalc = &Blow;
    Pipe(Calc, 7);
    Calc.Condens = 1e-9;
    Blow.SetParams(7, 0.01, 0, 1, 0, 0, 999, 0.001004, 1e-9, 0.2, 100, 0, 0, 0);

    // With the hammer: seven zeroed records with what each step coupled.
    ASSERT_TRUE(Calc.Run(0));
    ASSERT_EQ(Blow.Count, 7);
    ASSERT_NE(Blow.Records, nullptr);
    EXPECT_EQ(Blow.Capacity, 7);
    EXPECT_EQ(Blow.RecordStep, 0.01);
    for (int I = 0; I < 7; ++I) {
        EXPECT_GT(Blow.Records[I].Losses, 0) << I;
        EXPECT_EQ(std::tie(Blow.Records[I].Time, Blow.Records[I].Accel, Blow.Records[I].Re),
                  std::make_tuple(0.0, 0.0, 0.0))
            << I;
    }
    const TCalcStep* const Own = Calc.Records;
    const TCalcStep* const Driving = Blow.Records;
    ASSERT_TRUE(Calc.Run(0));
    EXPECT_EQ(Calc.Records, Own);
    EXPECT_EQ(Blow.Records, Driving);

    // Without a driving speed there is no hammer and no message: the driving
    // pipe gives up its records and gets none.
    Blow.InitialSpeed = 0;
    ASSERT_TRUE(Calc.Run(0));
    EXPECT_EQ(Calc.Records, Own);
    EXPECT_EQ(std::tie(Blow.Records, Blow.Capacity, Blow.Count, Blow.RecordStep),
              std::make_tuple(static_cast<TCalcStep*>(nullptr), 0, 0, 0.0));
    EXPECT_EQ(Blow.Steps, 7);
    EXPECT_TRUE(Link.Shown.empty());

    // Nor does a run without steps.
    Blow.InitialSpeed = 1;
    ASSERT_TRUE(Calc.Run(0));
    ASSERT_NE(Blow.Records, nullptr);
    Calc.Steps = 0;
    Calc.Run(0);
    EXPECT_EQ(
        std::tie(Calc.Records, Blow.Records, Blow.Count),
        std::make_tuple(static_cast<TCalcStep*>(nullptr), static_cast<TCalcStep*>(nullptr), 0));
    BlowCalc = nullptr;
}

TEST(ResultStore, StagesKeepTheirOrderThroughClearingAndNodesLinkedOnBehind)
{
    TCalc Calc;
    const auto Times = [&] {
        std::vector<double> List;
        for (const TCalcStage* S = Calc.Stages; S; S = S->Next)
            List.push_back(S->StartTime);
        return List;
    };
    std::vector<double> Expected;
    for (int I = 0; I < 3000; ++I) {
        TCalcStage* S = Calc.AppendStage();
        EXPECT_EQ(S->Next, nullptr);
        *S = {S->Next, static_cast<double>(I)};
        Expected.push_back(I);
    }
    EXPECT_EQ(Calc.StageCount, 3000);
    EXPECT_EQ(Times(), Expected);

    Calc.ClearStages();
    EXPECT_EQ(std::tie(Calc.Stages, Calc.StageCount),
              std::make_tuple(static_cast<TCalcStage*>(nullptr), 0));
    Calc.AppendStage()->StartTime = 1;
    // A node linked on behind the tail by hand stays in front of the next one.
    Calc.AppendStage()->Next = new TCalcStage{nullptr, 2};
    Calc.Stages->Next->StartTime = 1.5;
    Calc.AppendStage()->StartTime = 3;
    EXPECT_EQ(Times(), (std::vector<double>{1, 1.5, 2, 3}));
    EXPECT_EQ(Calc.StageCount, 3);  // the count is the list's own business
}

TEST(StdErrLink, WritesMessagesAndCountsErrors)
{
    TStdErrLink Link;
    testing::internal::CaptureStderr();
    Link.Dialog_Warning("Расчёт прерван");
    Link.Dialog_Error("Ошибка выполнения расчётов!");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Расчёт прерван!\nОшибка выполнения расчётов!!\n");
    EXPECT_EQ(Link.ErrorCount, 1);
    auto Window = Link.Percent_Open("x");
    ASSERT_TRUE(Window);
    Window->Percent_Set(1, 2);
    EXPECT_FALSE(Window->Percent_Cancelled());
}

TEST(StdErrLink, IsTheDefault)
{
    TCalc Calc;
    Pipe(Calc, 2);
    Calc.Density = 0;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Calc.Run(0));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Ошибка выполнения расчётов!!\n");
}

TEST(Run, RecordStepFollowsTheRecords)
{
    TScopedFakeLink Link;
    TCalc Calc;
    Pipe(Calc, 10);
    ASSERT_TRUE(Calc.Run(0));
    EXPECT_EQ(Calc.RecordStep, 0.01);
    Calc.Step = 0.02;  // the input changes, the records stay
    EXPECT_EQ(Calc.RecordStep, 0.01);
    Calc.Steps = 0;  // a run without steps gives up the records
    Calc.Run(0);
    EXPECT_EQ(Calc.Count, 0);
    EXPECT_EQ(Calc.RecordStep, 0);
    Calc.Steps = 5;
    ASSERT_TRUE(Calc.Run(0));
    EXPECT_EQ(Calc.RecordStep, 0.02);
    Calc.FreeRecords();
    EXPECT_EQ(Calc.RecordStep, 0);
}
