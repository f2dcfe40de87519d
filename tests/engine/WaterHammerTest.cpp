// The water-hammer drive: checks and messages, wave speed, the coupling of
// the driving pipe in every step, and the stage-by-stage driver.

#include <gtest/gtest.h>

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
#include "text/NumberText.h"

namespace {

const char* const MissingParams =
    "Не указаны все необходимые параметры для расчёта внешнего гидроудара";
const char* const DiameterTooLarge =
    "Диаметр рассчитываемой трубы должен быть меньше диаметра разгонной (гидроударной) трубы,\n"
    "иначе расчёт будет выполнен для постоянного давления, равного противодавлению";

// A filled pipe and its driving pipe, installed as BlowCalc for the test's
// lifetime. The liquid gives a wave speed of 1000 m/s in rigid walls.
struct TDrive {
    TCalc Calc, Blow;

    TDrive(double D, double Db, double Lb, double V0, double Step = 0.1, int32_t Steps = 100)
    {
        Calc.SetParams(Steps, Step, 0, 0, 0, 0, 1000, 0.001, 1e-9, D, 0, 0, 0, 0);
        Blow.SetParams(Steps, Step, 0, V0, 0, 0, 1000, 0.001, 1e-9, Db, Lb, 0, 0, 0);
        BlowCalc = &Blow;
    }
    ~TDrive() { BlowCalc = nullptr; }
    TDrive(const TDrive&) = delete;
    TDrive& operator=(const TDrive&) = delete;

    // The values a stage run works with, which it must give back.
    auto Working() const
    {
        return std::tie(Calc.Step, Calc.Steps, Calc.InitialSpeed, Calc.InitialFill,
                        Blow.InitialSpeed, Blow.Length);
    }

    std::vector<TCalcStage> Stages() const
    {
        std::vector<TCalcStage> List;
        for (const TCalcStage* S = Calc.Stages; S; S = S->Next)
            List.push_back(*S);
        return List;
    }
};

struct TNarrowing {
    explicit TNarrowing(int Kind)
    {
        SetNarrowingKindSource([Kind] { return Kind; });
    }
    ~TNarrowing() { SetNarrowingKindSource({}); }
};

// Steps of the run shown in Window (every position is shown up to 10000 steps).
int StepsOf(const TFakeLink::TWindow& Window)
{
    return Window.Sets.empty() ? 0 : Window.Sets.back().second;
}

}  // namespace

TEST(WaveSpeed, RigidAndElasticWalls)
{
    TCalc Calc, Blow;
    Calc.Density = LiquidTable[2].Density;
    Calc.Condens = LiquidTable[2].Condens;
    EXPECT_NEAR(Calc.WaveSpeed(), 1478, 1);  // no driving pipe: rigid walls
    Blow.Diameter = 0.2;
    Blow.Walls = 0.005;
    BlowCalc = &Blow;
    EXPECT_NEAR(Calc.WaveSpeed(), 1478, 1);  // no Young's modulus: rigid walls
    Blow.Young = 2e11;
    Blow.Walls = 0;
    EXPECT_NEAR(Calc.WaveSpeed(), 1478, 1);
    Blow.Walls = 0.005;
    EXPECT_DOUBLE_EQ(Calc.WaveSpeed(), 1 / std::sqrt(999 * (4.58e-10 + 0.2 / (0.005 * 2e11))));
    BlowCalc = nullptr;
}

TEST(Hammer, ChecksAndTheirMessages)
{
    struct TCase {
        double D, Db, Condens, V0;
        const char* Message;  // nullptr: none
        bool Active;
    };
    const TCase Cases[] = {
        {0.05, 0, 1e-9, 1, MissingParams, false},
        {0.05, 0.1, 0, 1, MissingParams, false},
        {0, 0.1, 1e-9, 1, MissingParams, false},
        {0.05, 0.1, 0, 0, MissingParams, false},  // before the speed check
        {0.05, 0.1, 1e-9, 0, nullptr, false},
        {0.1, 0.1, 1e-9, 1, DiameterTooLarge, false},
        {0.2, 0.1, 1e-9, 1, DiameterTooLarge, false},
        {0.0999, 0.1, 1e-9, 1, nullptr, true},
    };
    for (const TCase& C : Cases) {
        TScopedFakeLink Link;
        TDrive Drive(C.D, C.Db, 100, C.V0, 0.001, 20);
        Drive.Calc.Condens = C.Condens;
        Drive.Calc.Pressure = 500;
        Drive.Calc.InitialFill = 1;
        EXPECT_TRUE(Drive.Calc.Run(0));
        if (C.Message)
            EXPECT_EQ(Link.Warnings, std::vector<std::string>{C.Message}) << C.D << " " << C.Db;
        else
            EXPECT_TRUE(Link.Warnings.empty()) << C.D << " " << C.Db;
        EXPECT_TRUE(Link.Errors.empty());
        EXPECT_EQ(Drive.Blow.Count, C.Active ? 20 : 0);
        if (!C.Active) {
            // Constant pressure equal to the back pressure.
            TCalc Plain;
            Plain.SetParams(20, 0.001, 500, 0, 1, 0, 1000, 0.001, C.Condens, C.D, 0, 0, 0, 0);
            BlowCalc = nullptr;
            Plain.Run(0);
            for (int I = 0; I < 20; ++I)
                EXPECT_EQ(Drive.Calc.Records[I].Speed, Plain.Records[I].Speed);
        }
    }
}

TEST(Hammer, EveryStepCouplesTheDrivingPipe)
{
    TScopedFakeLink Link;
    // The golden cases pin the driving pipe's columns; here its bounds.
    TDrive Drive(0.05, 0.1, 0, 1, 0.001, 300);  // driving length 0 does not matter to a run
    ASSERT_TRUE(Drive.Calc.Run(0));
    ASSERT_EQ(Drive.Blow.Count, 300);
    const double C = Drive.Calc.WaveSpeed();
    for (int I = 0; I < 300; ++I) {
        const TCalcStep& B = Drive.Blow.Records[I];
        // Continuity between the pipes ((d / D)² = 0.25); the pressure within the
        // iteration's tolerance.
        EXPECT_EQ(B.Speed, 0.25 * Drive.Calc.Records[I].Speed) << I;
        EXPECT_GT(B.Losses, 0);
        EXPECT_LE(B.Losses, 1 * 1000 * C);
        EXPECT_NEAR(B.Losses, (1 - B.Speed) * 1000 * C, 1000 * C * 1e-3);
    }
    EXPECT_TRUE(Link.Shown.empty());
}

TEST(Hammer, WaveSpeedFaultFailsTheRun)
{
    TScopedFakeLink Link;
    TDrive Drive(0.05, 0.1, 100, 1, 0.001, 10);
    Drive.Calc.Density = 0;
    EXPECT_FALSE(Drive.Calc.Run(0));
    EXPECT_EQ(Drive.Calc.Count, 0);
    EXPECT_EQ(Link.Errors, std::vector<std::string>{"Ошибка выполнения расчётов!"});
}

TEST(Hammer, SuddenNarrowingLowersThePressure)
{
    TScopedFakeLink Link;
    TDrive Plain(0.05, 0.1, 100, 1, 0.001, 200);
    {
        TNarrowing Kind(0);
        ASSERT_TRUE(Plain.Calc.Run(0));
    }
    TCalc Narrow;
    Narrow.SetParams(200, 0.001, 0, 0, 0, 0, 1000, 0.001, 1e-9, 0.05, 0, 0, 0, 0);
    {
        TNarrowing Kind(1);
        ASSERT_TRUE(Narrow.Run(0));
    }
    EXPECT_LT(Narrow.Records[199].Fill, Plain.Calc.Records[199].Fill);
    EXPECT_LT(Narrow.Records[199].Speed, Plain.Calc.Records[199].Speed);
}

TEST(Stages, AdaptedStepAndSingleBlow)
{
    // Lb / c = 0.5 s with Step 0.1 s: 1000 steps of 1 ms per stage. The
    // narrow filled pipe takes little flow, so the reflected driving speed is
    // negative and, without a cut-off chamber, the drive stops after one blow.
    TScopedFakeLink Link;
    TDrive Drive(0.01, 0.1, 500, 1, 0.1, 77);
    Drive.Calc.RunStages(false);
    ASSERT_EQ(Drive.Calc.StageCount, 1);
    ASSERT_EQ(Link.Windows.size(), 2u);
    EXPECT_EQ(Link.Windows[0]->Caption, "Выполнение расчёта (этап 1)...");
    EXPECT_EQ(StepsOf(*Link.Windows[0]), 1000);
    // The records show the single blow again, from the start state.
    EXPECT_EQ(Link.Windows[1]->Caption, "Выполнение расчёта...");
    ASSERT_EQ(Drive.Calc.Count, 1000);
    EXPECT_DOUBLE_EQ(Drive.Calc.Records[0].Time, 0.001);
    const TCalcStage& S = *Drive.Calc.Stages;
    const TCalcStep &Last = Drive.Blow.Records[999], &First = Drive.Blow.Records[0];
    EXPECT_EQ(std::tie(S.StartTime, S.StartSpeed, S.RestSpeed, S.PumpPressure, S.Pumped, S.PumpTime,
                       S.PipeSpeed, S.Pause),
              std::make_tuple(0.0, 1.0, Last.Speed, First.Losses, Last.Fill,
                              Drive.Calc.Records[999].Time, 0.0, 0.0));
    EXPECT_LT(2 * S.RestSpeed - S.StartSpeed, 0);
    // Every working value is back.
    EXPECT_EQ(Drive.Working(), std::make_tuple(0.1, 77, 0.0, 0.0, 1.0, 500.0));
    EXPECT_TRUE(Link.Shown.empty());
}

TEST(Stages, BackPressureAboveTheBlow)
{
    TScopedFakeLink Link;
    TDrive Drive(0.01, 0.1, 500, 1);
    Drive.Calc.Pressure = 2e6;  // ρ·c·V0 is 1e6
    Drive.Calc.RunStages(false);
    EXPECT_EQ(Drive.Calc.StageCount, 0);
    EXPECT_EQ(Drive.Calc.Stages, nullptr);
    EXPECT_EQ(Link.Windows.size(), 1u);
    EXPECT_EQ(Drive.Calc.Count, 1000);  // the records show that run
    EXPECT_TRUE(Link.Shown.empty());
}

TEST(Stages, StageWithoutHammerRecordsNothing)
{
    for (double BackPressure : {0.0, -5000.0}) {
        TScopedFakeLink Link;
        TDrive Drive(0.1, 0.1, 500, 1);  // not narrower: no hammer in the run
        Drive.Calc.Pressure = BackPressure;
        Drive.Calc.RunStages(true);
        EXPECT_EQ(Drive.Calc.StageCount, 0);
        EXPECT_EQ(Link.Windows.size(), 1u);
        EXPECT_EQ(Link.Shown, std::vector<std::string>{std::string(DiameterTooLarge) + "!"});
        EXPECT_EQ(Drive.Calc.Step, 0.1);
        EXPECT_EQ(Drive.Calc.Steps, 100);
    }
}

TEST(Stages, NoDrivingLengthWaveSpeedOrUsableStepEndsSilently)
{
    const struct {
        double Lb, Condens, Step;
    } Cases[] = {
        {0, 1e-9, 0.1},
        {-3, 1e-9, 0.1},
        {500, -1e-9, 0.1},  // no wave speed
        {500, 1e-9, 0},
        {500, 1e-9, -0.1},
        {500, 1e-9, std::numeric_limits<double>::infinity()},
        {500, 1e-9, std::nan("")},
        {1e-306, 1e-9, 0.1},  // a wave passage so short that the step would be subnormal
    };
    for (const auto& C : Cases)
        for (bool Repeated : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << C.Lb << " " << C.Condens << " " << C.Step << " " << Repeated);
            TScopedFakeLink Link;
            TDrive Drive(0.01, 0.1, C.Lb, 1, C.Step);
            Drive.Calc.Condens = C.Condens;
            Drive.Calc.AppendStage();
            Drive.Calc.RunStages(Repeated);
            EXPECT_EQ(Drive.Calc.StageCount, 0);
            EXPECT_TRUE(Link.Windows.empty());
            EXPECT_TRUE(Link.Shown.empty());
            EXPECT_TRUE(Drive.Calc.Step == C.Step ||
                        (std::isnan(C.Step) && std::isnan(Drive.Calc.Step)));
        }
}

TEST(Stages, CancelledStage)
{
    TScopedFakeLink Link;
    Link.CancelAfterSets = 0;
    TDrive Drive(0.01, 0.1, 500, 1);
    Drive.Calc.RunStages(true);
    EXPECT_EQ(Drive.Calc.StageCount, 0);
    EXPECT_EQ(Link.Windows.size(), 1u);
    EXPECT_EQ(Link.Warnings, std::vector<std::string>{"Расчёт прерван"});
    EXPECT_TRUE(Link.Errors.empty());
}

TEST(Stages, FailedStageShowsOnlyTheRunsError)
{
    TScopedFakeLink Link;
    TDrive Drive(0.01, 0.1, 500, 1);
    Drive.Calc.Pressure = 1e308;  // twice the pressure overflows in the first step
    Drive.Calc.RunStages(true);
    EXPECT_EQ(Drive.Calc.StageCount, 0);
    EXPECT_EQ(Link.Errors, std::vector<std::string>{"Ошибка выполнения расчётов!"});
    EXPECT_TRUE(Link.Warnings.empty());
    EXPECT_EQ(Drive.Calc.Step, 0.1);
}

TEST(Stages, CutOffChamberShortensTheDrivingPipe)
{
    // A wider filled pipe: the driving flow keeps its direction after each
    // blow, and each stage starts with a fresh portion. The seventh stage is
    // cancelled: the six before it stay.
    TScopedFakeLink Link;
    Link.CancelFromWindow = 6;
    TDrive Drive(0.05, 0.1, 500, 1);
    Drive.Calc.Steps = 5;
    Drive.Calc.InitialSpeed = 0.25;
    Drive.Calc.InitialFill = 3;
    Drive.Calc.RunStages(true);
    const auto Stages = Drive.Stages();
    ASSERT_EQ(Stages.size(), 6u);
    ASSERT_EQ(Link.Windows.size(), 7u);
    EXPECT_EQ(Link.Warnings, std::vector<std::string>{"Расчёт прерван"});
    const double C = Drive.Calc.WaveSpeed();
    for (size_t N = 0; N + 1 < 6; ++N) {
        const TCalcStage& S = Stages[N];
        const TCalcStage& Next = Stages[N + 1];
        EXPECT_GE(2 * S.RestSpeed - S.StartSpeed, 0);
        EXPECT_EQ(Next.StartSpeed, 2 * S.RestSpeed - S.StartSpeed);
        EXPECT_EQ(Next.StartTime, S.StartTime + S.PumpTime);
        EXPECT_EQ(Next.PipeSpeed, 0);
        EXPECT_GT(Next.Pumped, S.Pumped);
        // The next stage's driving length is the original one less what has been pumped.
        EXPECT_EQ(StepsOf(*Link.Windows[N + 1]), RoundToInt64(2 * (500 - S.Pumped) / (C * 0.001)));
    }
    EXPECT_EQ(Stages[0].PipeSpeed, 0.25);  // the first stage starts from the given state
    EXPECT_EQ(Drive.Working(), std::make_tuple(0.1, 5, 0.25, 3.0, 1.0, 500.0));
}

TEST(Stages, CutOffChamberIsStruckAgainAfterAPause)
{
    TScopedFakeLink Link;
    Link.CancelFromWindow = 4;
    TDrive Drive(0.01, 0.1, 500, 1);
    Drive.Calc.RunStages(true);
    const auto Stages = Drive.Stages();
    ASSERT_EQ(Stages.size(), 4u);
    for (size_t N = 0; N + 1 < 4; ++N) {
        const TCalcStage& S = Stages[N];
        const TCalcStage& Next = Stages[N + 1];
        const double Reflected = 2 * S.RestSpeed - S.StartSpeed;
        ASSERT_LT(Reflected, 0);
        EXPECT_EQ(Next.StartSpeed, -Reflected);
        EXPECT_EQ(S.Pause, 2 * S.Pumped / Next.StartSpeed);
        EXPECT_EQ(Next.StartTime, S.StartTime + S.PumpTime + S.Pause);
        EXPECT_EQ(Next.PipeSpeed, 0);
    }
    EXPECT_EQ(Drive.Working(), std::make_tuple(0.1, 100, 0.0, 0.0, 1.0, 500.0));
}

TEST(Stages, AtMostAThousand)
{
    // 202 steps per stage; the blow weakens slowly and never stops by itself.
    TScopedFakeLink Link;
    TDrive Drive(0.09, 0.1, 0.101, 1, 1e-6, 9);
    Drive.Calc.RunStages(false);
    EXPECT_EQ(Drive.Calc.StageCount, 1000);
    EXPECT_EQ(Link.Windows.size(), 1000u);
    EXPECT_EQ(Link.Windows.back()->Caption, "Выполнение расчёта (этап 1000)...");
    EXPECT_EQ(Drive.Calc.Count, 202);  // the last stage's records stay
    EXPECT_TRUE(Link.Shown.empty());
    EXPECT_EQ(Drive.Working(), std::make_tuple(1e-6, 9, 0.0, 0.0, 1.0, 0.101));
}

TEST(Stages, WithoutDrivingPipe)
{
    TScopedFakeLink Link;
    TCalc Calc;
    Calc.SetParams(10, 0.01, 1000, 0, 0, 0, 1000, 0.001, 1e-9, 0.05, 0, 0, 0, 0);
    Calc.AppendStage();
    Calc.RunStages(false);
    EXPECT_EQ(Calc.StageCount, 0);
    EXPECT_EQ(Link.Warnings, std::vector<std::string>{MissingParams});
    EXPECT_EQ(Calc.Count, 10);  // computed at the back pressure
}

TEST(Stages, SingleBlowIsShownWithItsOwnStep)
{
    // The cut-off chamber shortens the driving pipe below a hundred steps of
    // wave passage, so the second stage runs with a finer step; it is
    // cancelled. The records then show the first blow again, as it was.
    TScopedFakeLink Link;
    Link.CancelFromWindow = 1;
    TDrive Drive(0.05, 0.1, 0.1001, 1, 1e-6);
    Drive.Calc.RunStages(true);
    ASSERT_EQ(Drive.Calc.StageCount, 1);
    ASSERT_EQ(Link.Windows.size(), 3u);
    EXPECT_GT(StepsOf(*Link.Windows[1]), 5 * StepsOf(*Link.Windows[0]));
    EXPECT_EQ(Drive.Calc.Count, StepsOf(*Link.Windows[0]));
    EXPECT_EQ(Drive.Calc.Records[Drive.Calc.Count - 1].Time, Drive.Calc.Stages->PumpTime);
    EXPECT_EQ(Drive.Blow.Records[Drive.Calc.Count - 1].Speed, Drive.Calc.Stages->RestSpeed);
    EXPECT_EQ(Drive.Calc.Step, 1e-6);
}

TEST(Stages, RecordsKeepTheStepTheyWereMadeWith)
{
    // Lb / c = 0.5 s: a stage runs with 1 ms steps whatever the user's step,
    // and the user's step is put back afterwards. The readout places the
    // records in time by the step they were made with.
    const struct {
        const char* Name;
        double BackPressure;
        int32_t StageCount;
    } Cases[] = {
        {"single blow", 0, 1}, {"blow below the back pressure", 2e6, 0},  // ρ·c·V0 is 1e6
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        TScopedFakeLink Link;
        TDrive Drive(0.01, 0.1, 500, 1, 0.1, 77);
        Drive.Calc.Pressure = C.BackPressure;
        Drive.Calc.RunStages(false);
        ASSERT_EQ(Drive.Calc.StageCount, C.StageCount);
        ASSERT_EQ(Drive.Calc.Count, 1000);
        EXPECT_EQ(Drive.Calc.Step, 0.1);
        EXPECT_EQ(Drive.Calc.RecordStep, 0.001);
        EXPECT_EQ(Drive.Blow.RecordStep, 0.001);
        EXPECT_EQ(Drive.Calc.Records[999].Time, 1000 * Drive.Calc.RecordStep);
    }
}
