// Cost of one time step of the filled pipe at constant pressure, beside the
// cost of the library calls such a step cannot avoid (its floor).

#include <benchmark/benchmark.h>

#include <cmath>

#include "engine/Calc.h"
#include "engine/StepPhysics.h"

namespace {

// Water +20 °C pushed by 2 bar into a 50 mm pipe already holding a 5 m
// column that moves at 2 m/s: turbulent all along (Re about 1e5).
void Prepare(TCalc& Calc, double Rough)
{
    Calc.SetParams(0, 1e-5, 2e5, 2, 5, 0, 999, 0.001004, 4.58e-10, 0.05, 0, 0, Rough, 0);
}

void StepAt(benchmark::State& Bench, double Rough)
{
    TCalc Calc;
    Prepare(Calc, Rough);
    const TStepPhysics Physics(Calc);
    TStepState Start;
    Start.V = Calc.InitialSpeed;
    Start.X = Calc.InitialFill;
    TStepState State = Start;
    TCalcStep Rec{};
    int64_t I = 0;
    for (auto _ : Bench) {
        if (++I > 100000) {
            // Keep the column in its regime: back to the start state now and then.
            I = 1;
            State = Start;
        }
        Physics.AdvanceAt(I, Calc.Pressure, State, Rec);
        benchmark::DoNotOptimize(Rec);
    }
    Bench.counters["Re"] = Rec.Re;
}

// The floor: the library calls a step makes, timed the way a step makes
// them. A smooth-wall step calls log10 and pow once each (the friction of the
// new speed; the friction the step starts with is the previous step's) and
// takes one square root for the pressure speed. Each step's Reynolds number
// comes from the speed that the previous step's friction gave, so the calls
// of one step wait for those of the one before: the floor chains them the
// same way. The square root depends on the pressure only and runs beside.
void BM_Floor_Smooth(benchmark::State& Bench)
{
    double Re = 1.0e5;
    double P = 2e5;
    for (auto _ : Bench) {
        benchmark::DoNotOptimize(P);
        const double Power = std::pow(std::log10(Re), 2.5);
        const double VB = std::sqrt(2 * std::abs(P) / 999);
        benchmark::DoNotOptimize(VB);
        Re = 1.0e5 + Power * 1e-6;
    }
    benchmark::DoNotOptimize(Re);
}

void BM_Step_Smooth(benchmark::State& Bench)
{
    StepAt(Bench, 0);
}

// A rough-wall step: one pow with the exponent 0.25 and the square root.
void BM_Floor_Rough(benchmark::State& Bench)
{
    double Re = 1.0e5;
    double P = 2e5;
    for (auto _ : Bench) {
        benchmark::DoNotOptimize(P);
        const double Power = std::pow(2e-3 + 68 / Re, 0.25);
        const double VB = std::sqrt(2 * std::abs(P) / 999);
        benchmark::DoNotOptimize(VB);
        Re = 1.0e5 + Power * 1e-6;
    }
    benchmark::DoNotOptimize(Re);
}

void BM_Step_Rough(benchmark::State& Bench)
{
    StepAt(Bench, 1e-4);
}

// For comparison: the same calls when nothing makes them wait for each
// other, as in a loop over independent values.
void BM_Calls_Smooth_Independent(benchmark::State& Bench)
{
    double Re = 1.0e5;
    double P = 2e5;
    for (auto _ : Bench) {
        benchmark::DoNotOptimize(Re);
        benchmark::DoNotOptimize(P);
        const double Power = std::pow(std::log10(Re), 2.5);
        const double VB = std::sqrt(2 * std::abs(P) / 999);
        benchmark::DoNotOptimize(Power);
        benchmark::DoNotOptimize(VB);
        Re += 0.37;
    }
}

}  // namespace

BENCHMARK(BM_Step_Smooth);
BENCHMARK(BM_Floor_Smooth);
BENCHMARK(BM_Step_Rough);
BENCHMARK(BM_Floor_Rough);
BENCHMARK(BM_Calls_Smooth_Independent);
