// What the progress window costs a long calculation: TCalc::Run of a million
// steps with the desktop program's link (a real progress window that repaints
// and processes events) against a link that shows nothing.

#include <QApplication>

#include "bench/QtBench.h"
#include <benchmark/benchmark.h>
#include <memory>

#include "dialogs/QtUserLink.h"
#include "engine/Calc.h"
#include "engine/UserLink.h"

namespace {

// Shows nothing, is never cancelled.
class TNoOpLink : public TUserLink {
public:
    std::unique_ptr<TProgress> Percent_Open(const std::string&) override
    {
        return SilentProgress();
    }
    void Dialog_Error(const std::string&) override {}
    void Dialog_Warning(const std::string&) override {}
};

constexpr int Run_Steps = 1'000'000;

// Water in a 50 mm pipe, 100 m long, pushed by 1 bar, 1 ms steps.
void Million_Step_Case(TCalc& Calc)
{
    Calc.SetParams(Run_Steps, 0.001, 1e5, 0.5, 1, 0, 1000, 0.001, 4.6e-10, 0.05, 100, 0.003, 1e-5,
                   2e11);
}

void Run_With(benchmark::State& State, TUserLink& Link)
{
    TCalc Calc;
    Million_Step_Case(Calc);
    SetUserLink(&Link);
    for (auto _ : State) {
        const bool Ok = Calc.Run(0);
        benchmark::DoNotOptimize(Ok);
        if (!Ok || Calc.Count != Run_Steps)
            State.SkipWithError("the run failed");
    }
    SetUserLink(nullptr);
    State.SetItemsProcessed(State.iterations() * Run_Steps);
}

void BM_Run_NoOpLink(benchmark::State& State)
{
    Ensure_Qt();
    TNoOpLink Link;
    Run_With(State, Link);
}

void BM_Run_QtLink(benchmark::State& State)
{
    Ensure_Qt();
    TQtUserLink Link;
    const int Left = PercentLeft, Top = PercentTop;
    Run_With(State, Link);
    PercentLeft = Left;
    PercentTop = Top;
}

}  // namespace

BENCHMARK(BM_Run_NoOpLink)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Run_QtLink)->Unit(benchmark::kMillisecond)->MinTime(1.0);
