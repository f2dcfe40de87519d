// hyd-calc's series of runs: 200 variants of a 10 000-step constant-pressure
// case, on one thread and on two, beside the bare calculations of the same
// variants (the case read once, then only TRunSetup and the run).

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

#include "batch/BatchTool.h"
#include "case/CaseModel.h"
#include "case/RunSetup.h"
#include "engine/Calc.h"
#include "engine/UserLink.h"
#include "text/Profile.h"

namespace {

constexpr int Variants = 200;

std::string CaseFile()
{
    return std::string(HYD_EXAMPLES_DIR) + "/constant-pressure.Hyd";  // 10 000 steps
}

double PressureOf(int I)
{
    return 100000 + 200000.0 * I / (Variants - 1);
}

void BM_BareRuns(benchmark::State& State)
{
    TCase Base;
    TProfile Profile(CaseFile());
    LoadCase(Profile, Base);
    TStdErrLink Link;
    for (auto _ : State) {
        for (int I = 0; I < Variants; ++I) {
            TCase Case = Base;
            Case.Pressure = PressureOf(I);
            TCalc Calc, Blow;
            RunCase(Case, Case.MayBlow, Calc, Blow, 9.81, Link);
            benchmark::DoNotOptimize(Calc.Count);
        }
    }
    State.SetItemsProcessed(State.iterations() * Variants);
}
BENCHMARK(BM_BareRuns)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Sweep(benchmark::State& State)
{
    const std::vector<std::string> Args = {CaseFile(),
                                           "--sweep",
                                           "Data.Pressure=100000:300000:" +
                                               std::to_string(Variants),
                                           "--summary",
                                           "-",
                                           "--jobs",
                                           std::to_string(State.range(0))};
    for (auto _ : State) {
        std::ostringstream Out, Err;
        if (RunBatch(Args, Out, Err) != BatchOk)
            State.SkipWithError("the sweep failed");
        benchmark::DoNotOptimize(Out.str());
    }
    State.SetItemsProcessed(State.iterations() * Variants);
}
BENCHMARK(BM_Sweep)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
