// Flow physics of the filled pipe: friction regimes and one time step.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/Calc.h"
#include "engine/RunGlobals.h"
#include "engine/StepPhysics.h"
#include "engine/Tables.h"

namespace {

// Water in a 0.1 m pipe, no slope, no length limit, 10 ms steps.
void Pipe(TCalc& Calc, double Rough = 0)
{
    Calc.SetParams(0, 0.01, 0, 0, 0, 0, 1000, 0.001, 0, 0.1, 0, 0, Rough, 0);
}

// One step at constant pressure from the calc's start state.
TCalcStep OneStep(const TCalc& Calc)
{
    TStepPhysics Physics(Calc);
    TStepState State;
    State.V = Calc.InitialSpeed;
    State.X = Calc.InitialFill;
    TCalcStep Rec{};
    Physics.AdvanceAt(1, Calc.Pressure, State, Rec);
    return Rec;
}

}  // namespace

TEST(Friction, RegimesAndTheirBounds)
{
    const auto Laminar = [](double Re) { return 64 / Re; };
    const auto Smooth = [](double Re) { return 1.01 / std::pow(std::log10(Re), 2.5); };
    // Transitional: the straight line from the laminar value at 2299 to the smooth one at 4001.
    const auto Between = [&](double Re) {
        return Laminar(2299) + (Smooth(4001) - Laminar(2299)) * (Re - 2299) / 1702;
    };
    const auto Rough = [](double Re) { return 0.11 * std::pow(0.001 + 68 / Re, 0.25); };
    const struct {
        double Rough, Re, Expected;
    } Cases[] = {
        {0, -1, 0},
        {0, 0, 0},
        {0, 0.9e-6, 0},
        {0, 1e-6, Laminar(1e-6)},
        {0, 1000, 0.064},
        {0, 2300, Laminar(2300)},
        {0, 2300.5, Between(2300.5)},
        {0, 3000, Between(3000)},
        {0, 4000, Smooth(4000)},
        {0, 1e5, 1.01 / std::pow(5.0, 2.5)},
        // 10 D / Rough = 10000: smooth below, rough from there on.
        {1e-4, 3999, Between(3999)},
        {1e-4, 5000, Smooth(5000)},
        {1e-4, 9999, Smooth(9999)},
        {1e-4, 10000, Rough(10000)},
        {1e-4, 20000, 0.11 * std::pow(0.001 + 0.0034, 0.25)},
    };
    for (const auto& C : Cases) {
        TCalc Calc;
        Pipe(Calc, C.Rough);
        EXPECT_DOUBLE_EQ(Calc.Friction(C.Re), C.Expected) << C.Rough << " " << C.Re;
    }
    EXPECT_NEAR(Smooth(1e5), 0.018067, 1e-6);
}

TEST(Friction, RunCopyAgreesWithTheEngineObject)
{
    // The step uses its own copy with the transitional end points computed once.
    for (double Rough : {0.0, 1e-4, 0.05}) {
        TCalc Calc;
        Pipe(Calc, Rough);
        const TStepPhysics Physics(Calc);
        for (double Re : {-1.0, 0.0, 1.0, 2299.0, 2300.0, 2300.1, 3000.0, 3999.9, 4000.0, 4001.0,
                          20.0, 9999.0, 10000.0, 1e7}) {
            EXPECT_EQ(Physics.Friction(Re), Calc.Friction(Re)) << Rough << " " << Re;
            EXPECT_EQ(Physics.LossGradient(Re, 2.5), Calc.LossGradient(Re, 2.5));
        }
        EXPECT_EQ(Physics.Reynolds(-3), Calc.Reynolds(-3));
    }
}

TEST(Reynolds, GuardsAndValue)
{
    TCalc Calc;
    Pipe(Calc);
    EXPECT_DOUBLE_EQ(Calc.Reynolds(-2), 2 * 0.1 * 1000 / 0.001);
    for (double TCalc::*Field : {&TCalc::Viscous, &TCalc::Density, &TCalc::Diameter}) {
        Pipe(Calc);
        Calc.*Field = Field == &TCalc::Density ? -1 : 0;
        EXPECT_EQ(Calc.Reynolds(2), -1);
    }
    EXPECT_EQ(Calc.LossGradient(1e5, 2), 0);  // no diameter, no loss
}

// The acceleration of one step from a start state; friction, where it acts,
// is the loss gradient at the start speed (G below).
TEST(Step, AccelerationOfOneStep)
{
    const double G = [] {
        TCalc C;
        Pipe(C);
        return C.LossGradient(C.Reynolds(1), 1);
    }();
    const double Inlet = 2 * 1.0 / (3.14159265358979323846 * (0.1 * 0.1));
    const struct {
        const char* What;
        double Viscous, Fill, Speed, Pressure, Slope, Length, Accel;
    } Cases[] = {
        {"frictionless at rest", 0, 10, 0, 1000, 0, 0, 0.1},
        // Kinetic term: same sign as the pressure (p/ρ − v²/2) / Lf, opposite (v²/2 + p/ρ) / Lf.
        {"same way", 0, 10, 2, 1000, 0, 0, (1.0 - 2.0) / 10},
        {"opposite", 0, 10, -2, 1000, 0, 0, (2.0 + 1.0) / 10},
        {"sgn(0) is the same way", 0, 10, -2, 0, 0, 0, -2.0 / 10},
        {"sgn(-0) too", 0, 10, -2, -0.0, 0, 0, -2.0 / 10},
        // Friction acts against the same-way flow and with the opposite.
        {"friction same way", 0.001, 10, 1, 1000, 0, 0, (1.0 - 0.5) / 10 - G},
        {"friction opposite", 0.001, 10, 1, -1000, 0, 0, (0.5 - 1.0) / 10 + G},
        {"slope", 0, 10, 0, 0, 30, 0, Gravity * 0.5},
        // The length caps the column.
        {"capped", 0.001, 7, 1, 1000, 0, 5, (1.0 - 0.5) / 5 - G},
        {"endless", 0.001, 7, 1, 1000, 0, 0, (1.0 - 0.5) / 7 - G},
        // Outside the inlet neither gravity nor friction act.
        {"front outside", 0.001, -2, -1, 1000, 30, 0, Inlet},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.What);
        TCalc Calc;
        Pipe(Calc);
        Calc.Viscous = C.Viscous;
        Calc.InitialFill = C.Fill;
        Calc.InitialSpeed = C.Speed;
        Calc.Pressure = C.Pressure;
        Calc.Slope = C.Slope;
        Calc.Length = C.Length;
        const TCalcStep Rec = OneStep(Calc);
        EXPECT_DOUBLE_EQ(Rec.Accel, C.Accel);
        EXPECT_DOUBLE_EQ(Rec.Speed, C.Speed + C.Accel * 0.01);
        EXPECT_DOUBLE_EQ(Rec.Fill, C.Fill + Rec.Speed * 0.01);
        EXPECT_EQ(Rec.Time, 0.01);
        const double Column = C.Viscous == 0 || C.Fill < 0 ? 0 : C.Length > 0 ? C.Length : Rec.Fill;
        EXPECT_DOUBLE_EQ(Rec.Losses,
                         Calc.LossGradient(Calc.Reynolds(Rec.Speed), Rec.Speed) * Column * 1000);
        EXPECT_EQ(Rec.Re == -1, C.Viscous == 0);
    }
}

TEST(Step, EmptyPipeTakesThePressureSpeedAtOnce)
{
    TCalc Calc;
    Pipe(Calc);
    Calc.Pressure = 1000;
    Calc.Step = 0.5;
    const TCalcStep Rec = OneStep(Calc);
    EXPECT_EQ(Rec.Time, 0.5);
    EXPECT_EQ(Rec.Speed, std::sqrt(2.0));  // no friction at speed 0
    EXPECT_EQ(Rec.Fill, std::sqrt(2.0) * 0.5);
    EXPECT_EQ(Rec.Accel, 0);
    EXPECT_DOUBLE_EQ(Rec.Re, std::sqrt(2.0) * 0.1 * 1000 / 0.001);
    EXPECT_GT(Rec.Losses, 0);
}

TEST(Step, EmptyPipeInflowIsNotReversed)
{
    TCalc Calc;
    Pipe(Calc);
    Calc.Pressure = 1000;
    Calc.Step = 0.1;
    Calc.Slope = -90;  // rising straight up: gravity alone would push it back
    const TCalcStep Rec = OneStep(Calc);
    EXPECT_EQ(Rec.Speed, 0);
    EXPECT_DOUBLE_EQ(Rec.Accel, -9.81);
    EXPECT_EQ(Rec.Fill, 0);
}

TEST(Step, TinyAccelerationIsStoredAsZeroButUsed)
{
    TCalc Calc;
    Pipe(Calc);
    Calc.Viscous = 0;
    Calc.Step = 1;
    Calc.InitialFill = 1;
    Calc.Pressure = 5e-10;  // a = p/ρ / Lf = 5e-13
    const TCalcStep Rec = OneStep(Calc);
    EXPECT_EQ(Rec.Accel, 0);
    EXPECT_EQ(Rec.Speed, 5e-13);
    Calc.Pressure = 1e-9;  // 1e-12 is kept
    EXPECT_EQ(OneStep(Calc).Accel, 1e-12);
}

TEST(Step, StateCarriesOver)
{
    TCalc Calc;
    Pipe(Calc);
    Calc.Pressure = 2000;
    Calc.Length = 3;
    TStepPhysics Physics(Calc);
    TStepState State;
    TCalcStep Rec{};
    for (int I = 1; I <= 500; ++I) {
        Physics.AdvanceAt(I, Calc.Pressure, State, Rec);
        EXPECT_EQ(Rec.Time, I * Calc.Step);  // not a sum of steps
        EXPECT_EQ(std::make_pair(State.V, State.X), std::make_pair(Rec.Speed, Rec.Fill));
    }
    EXPECT_GT(State.X, 3);  // the front went past the outlet and keeps counting
}
