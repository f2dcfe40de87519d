// Flow physics of the filled pipe: friction regimes and one time step.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/Calc.h"
#include "engine/Tables.h"
#include "engine/StepPhysics.h"

namespace {

// Water in a 0.1 m pipe, no slope, no length limit.
void Pipe(TCalc& Calc, double Rough = 0)
{
    Calc.Step = 0.01;
    Calc.Density = 1000;
    Calc.Viscous = 0.001;
    Calc.Diameter = 0.1;
    Calc.Rough = Rough;
    Calc.Viscous = 0.001;
    Calc.Slope = 0;
    Calc.Length = 0;
    Calc.InitialFill = 0;
    Calc.InitialSpeed = 0;
    Calc.Pressure = 0;
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

TEST(Friction, Regimes)
{
    TCalc Calc;
    Pipe(Calc);
    EXPECT_EQ(Calc.Friction(-1), 0);
    EXPECT_EQ(Calc.Friction(0), 0);
    EXPECT_EQ(Calc.Friction(0.9e-6), 0);
    EXPECT_EQ(Calc.Friction(1e-6), 64 / 1e-6);
    EXPECT_EQ(Calc.Friction(1000), 0.064);
    EXPECT_EQ(Calc.Friction(2300), 64.0 / 2300);  // still laminar
    // Transitional: the straight line from the value at 2299 to the one at 4001.
    const double F2299 = 64.0 / 2299;
    const double F4001 = 1.01 / std::pow(std::log10(4001.0), 2.5);
    EXPECT_DOUBLE_EQ(Calc.Friction(3000), F2299 + (F4001 - F2299) * (3000 - 2299) / 1702);
    EXPECT_NE(Calc.Friction(2300.5), 64.0 / 2300.5);
    EXPECT_DOUBLE_EQ(Calc.Friction(4000), 1.01 / std::pow(std::log10(4000.0), 2.5));  // turbulent
    EXPECT_NEAR(Calc.Friction(1e5), 0.018067, 1e-6);
    EXPECT_DOUBLE_EQ(Calc.Friction(1e5), 1.01 / std::pow(5.0, 2.5));
}

TEST(Friction, RoughWallFromTenDiametersPerRoughness)
{
    TCalc Calc;
    Pipe(Calc, 1e-4);  // 10 * D / Rough = 10000
    EXPECT_DOUBLE_EQ(Calc.Friction(5000), 1.01 / std::pow(std::log10(5000.0), 2.5));
    EXPECT_DOUBLE_EQ(Calc.Friction(9999), 1.01 / std::pow(std::log10(9999.0), 2.5));
    EXPECT_DOUBLE_EQ(Calc.Friction(10000), 0.11 * std::pow(0.001 + 68 / 10000.0, 0.25));
    EXPECT_DOUBLE_EQ(Calc.Friction(20000), 0.11 * std::pow(0.001 + 0.0034, 0.25));
    // The transitional end point at 4001 is smooth here, too.
    const double F4001 = 1.01 / std::pow(std::log10(4001.0), 2.5);
    EXPECT_DOUBLE_EQ(Calc.Friction(3999), 64.0 / 2299 + (F4001 - 64.0 / 2299) * (3999 - 2299) / 1702);
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
    Calc.Viscous = 0;
    EXPECT_EQ(Calc.Reynolds(2), -1);
    Pipe(Calc);
    Calc.Density = -1;
    EXPECT_EQ(Calc.Reynolds(2), -1);
    Pipe(Calc);
    Calc.Diameter = 0;
    EXPECT_EQ(Calc.Reynolds(2), -1);
    EXPECT_EQ(Calc.LossGradient(1e5, 2), 0);  // no diameter, no loss
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

TEST(Step, FrictionlessColumnAtRest)
{
    TCalc Calc;
    Pipe(Calc);
    Calc.Viscous = 0;
    Calc.InitialFill = 10;
    Calc.Pressure = 1000;
    const TCalcStep Rec = OneStep(Calc);
    EXPECT_DOUBLE_EQ(Rec.Accel, 0.1);
    EXPECT_DOUBLE_EQ(Rec.Speed, 0.1 * 0.01);
    EXPECT_DOUBLE_EQ(Rec.Fill, 10 + 0.1 * 0.01 * 0.01);
    EXPECT_EQ(Rec.Re, -1);
    EXPECT_EQ(Rec.Losses, 0);
}

TEST(Step, KineticTermFollowsTheSignRelation)
{
    TCalc Calc;
    Pipe(Calc);
    Calc.Viscous = 0;
    Calc.InitialFill = 10;
    Calc.Pressure = 1000;
    Calc.InitialSpeed = 2;  // same sign as the pressure: (p/ρ − v²/2) / Lf
    EXPECT_DOUBLE_EQ(OneStep(Calc).Accel, (1.0 - 2.0) / 10);
    Calc.InitialSpeed = -2;  // opposite: (v²/2 + p/ρ) / Lf
    EXPECT_DOUBLE_EQ(OneStep(Calc).Accel, (2.0 + 1.0) / 10);
    Calc.Pressure = 0;  // sgn(p) = 0 counts as "same way"
    EXPECT_DOUBLE_EQ(OneStep(Calc).Accel, -2.0 / 10);
    Calc.Pressure = -0.0;
    EXPECT_DOUBLE_EQ(OneStep(Calc).Accel, -2.0 / 10);
}

TEST(Step, FrictionActsAgainstTheSameWayFlowAndWithTheOpposite)
{
    TCalc Calc;
    Pipe(Calc);
    Calc.InitialFill = 10;
    Calc.Pressure = 1000;
    Calc.InitialSpeed = 1;
    const double G = Calc.LossGradient(Calc.Reynolds(1), 1);
    EXPECT_DOUBLE_EQ(OneStep(Calc).Accel, (1.0 - 0.5) / 10 - G);
    Calc.Pressure = -1000;
    EXPECT_DOUBLE_EQ(OneStep(Calc).Accel, (0.5 - 1.0) / 10 + G);
}

TEST(Step, FrontOutsideTheInlet)
{
    TCalc Calc;
    Pipe(Calc);
    Calc.InitialFill = -2;
    Calc.InitialSpeed = -1;
    Calc.Pressure = 1000;
    Calc.Slope = 30;  // neither gravity nor friction act here
    const TCalcStep Rec = OneStep(Calc);
    const double A = 2 * 1.0 / (3.14159265358979323846 * (0.1 * 0.1));
    EXPECT_DOUBLE_EQ(Rec.Accel, A);
    EXPECT_DOUBLE_EQ(Rec.Speed, -1 + A * 0.01);
    EXPECT_EQ(Rec.Losses, 0);  // no column for the losses
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

TEST(Step, SlopeAddsGravity)
{
    TCalc Calc;
    Pipe(Calc);
    Calc.Viscous = 0;
    Calc.InitialFill = 10;
    Calc.Slope = 30;
    const TCalcStep Rec = OneStep(Calc);
    EXPECT_DOUBLE_EQ(Rec.Accel, Gravity * 0.5);
}

TEST(Step, LengthCapsTheColumnButNotTheFill)
{
    TCalc Calc;
    Pipe(Calc);
    Calc.InitialFill = 7;
    Calc.InitialSpeed = 1;
    Calc.Pressure = 1000;
    Calc.Length = 5;
    const TCalcStep Capped = OneStep(Calc);
    const double G = Calc.LossGradient(Calc.Reynolds(1), 1);
    EXPECT_DOUBLE_EQ(Capped.Accel, (1.0 - 0.5) / 5 - G);
    EXPECT_DOUBLE_EQ(Capped.Fill, 7 + Capped.Speed * 0.01);
    EXPECT_DOUBLE_EQ(Capped.Losses,
                     Calc.LossGradient(Calc.Reynolds(Capped.Speed), Capped.Speed) * 5 * 1000);
    Calc.Length = 0;  // endless: the whole column counts
    const TCalcStep Endless = OneStep(Calc);
    EXPECT_DOUBLE_EQ(Endless.Accel, (1.0 - 0.5) / 7 - G);
    EXPECT_DOUBLE_EQ(Endless.Losses, Calc.LossGradient(Calc.Reynolds(Endless.Speed),
                                                       Endless.Speed) * Endless.Fill * 1000);
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
        const double V = State.V, X = State.X;
        Physics.AdvanceAt(I, Calc.Pressure, State, Rec);
        EXPECT_EQ(Rec.Time, I * Calc.Step);
        EXPECT_EQ(Rec.Fill, X + Rec.Speed * Calc.Step);
        EXPECT_EQ(State.V, Rec.Speed);
        EXPECT_EQ(State.X, Rec.Fill);
        if (I > 1) {
            // The next step's friction comes from the speed it starts with.
            const double Lf0 = X > 3 ? 3 : X;
            const double G = Calc.LossGradient(Calc.Reynolds(V), V);
            EXPECT_EQ(Rec.Accel, (2.0 - V * V / 2) / Lf0 - G);
        }
    }
    EXPECT_GT(State.X, 3);  // the front went past the outlet and keeps counting
}
