// Whole runs through the run driver: a constant-pressure run of a million
// steps and a single water-hammer stage of 100 000 steps, with a progress
// link that shows nothing.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/Calc.h"
#include "engine/RunGlobals.h"
#include "engine/Tables.h"
#include "engine/UserLink.h"

namespace {

class TQuietLink : public TUserLink {
public:
    std::unique_ptr<TProgress> Percent_Open(const std::string&) override
    {
        return SilentProgress();
    }
    void Dialog_Error(const std::string&) override { ++Messages; }
    void Dialog_Warning(const std::string&) override { ++Messages; }
    int Messages = 0;
};

// Time per step from the time of one run of Steps steps.
benchmark::Counter PerStep(int Steps)
{
    return benchmark::Counter(Steps, benchmark::Counter::kIsIterationInvariantRate |
                                         benchmark::Counter::kInvert);
}

// The flow of the step benchmark: water +20 °C, 2 bar, a 50 mm smooth pipe
// holding a 5 m column that moves at 2 m/s.
void BM_Run_ConstantPressure(benchmark::State& Bench)
{
    TQuietLink Link;
    SetUserLink(&Link);
    const int Steps = static_cast<int>(Bench.range(0));
    TCalc Calc;
    Calc.SetParams(Steps, 1e-6, 2e5, 2, 5, 0, 999, 0.001004, 4.58e-10, 0.05, 0, 0, 0, 0);
    for (auto _ : Bench) {
        if (!Calc.Run(0) || Calc.Count != Steps)
            Bench.SkipWithError("run failed");
    }
    Bench.counters["per_step"] = PerStep(Steps);
    Bench.counters["Re"] = Calc.Records[Steps - 1].Re;
    SetUserLink(nullptr);
}

// One stage of the hammer drive: a 100 m driving pipe of 100 mm feeding a
// 50 mm pipe, with the coupling iteration in every step.
void BM_Run_HammerStage(benchmark::State& Bench)
{
    TQuietLink Link;
    SetUserLink(&Link);
    const int Steps = static_cast<int>(Bench.range(0));
    TCalc Calc, Blow;
    BlowCalc = &Blow;
    Calc.SetParams(Steps, 1e-6, 0, 0, 0, 0, 999, 0.001004, 4.58e-10, 0.05, 0, 0, 0, 0);
    Blow.SetParams(Steps, 1e-6, 0, 1, 0, 0, 999, 0.001004, 4.58e-10, 0.1, 100, 0.005, 0, 2e11);
    for (auto _ : Bench) {
        if (!Calc.Run(1) || Calc.Count != Steps || Blow.Count != Steps)
            Bench.SkipWithError("hammer run failed");
    }
    Bench.counters["per_step"] = PerStep(Steps);
    BlowCalc = nullptr;
    SetUserLink(nullptr);
}

}  // namespace

BENCHMARK(BM_Run_ConstantPressure)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Run_HammerStage)->Arg(100000)->Unit(benchmark::kMillisecond);
