// Speed of the text report: a constant-pressure report of one million step
// rows with every optional column, behind a progress link that does nothing.
//
// - Streamed: the report as hyd-calc writes it, in pieces to a sink (here one
//   that drops them), with the rows made on two threads and, for comparison
//   in the same run, on one;
// - String: the report as one string (the editor window's), a fresh one each
//   time, so that every run faults in the whole text again.
// Rows per second; run with --benchmark_repetitions to see how steady they are.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Calc.h"
#include "engine/RunGlobals.h"
#include "engine/Tables.h"
#include "engine/UserLink.h"
#include "results/Report.h"
#include "text/OrderedBlocks.h"

namespace {

constexpr int Rows = 1000000;

class TSilentLink final : public TUserLink {
public:
    std::unique_ptr<TProgress> Percent_Open(const std::string&) override
    {
        return SilentProgress();
    }
    void Dialog_Error(const std::string&) override {}
    void Dialog_Warning(const std::string&) override {}
};

// A million records of a column accelerating in a 500 m pipe, with values of
// many magnitudes, so that every prefix path is taken.
const TCalc& ReportCase()
{
    static const TCalc* const Calc = [] {
        auto* C = new TCalc;
        C->Pressure = 20000;
        C->Density = 998;
        C->Viscous = 0.001;
        C->Condens = 4.6e-10;
        C->Diameter = 0.05;
        C->Walls = 0.004;
        C->Young = 2e11;
        C->Rough = 1e-5;
        C->Length = 500;
        C->InitialFill = 0.1;
        C->InitialSpeed = 0.2;
        C->Records = new TCalcStep[Rows];
        for (int I = 0; I < Rows; ++I) {
            const double T = (I + 1) * 1e-4;
            const double V = 6.3 * (1 - std::exp(-T * 3));
            C->Records[I] = {T,
                             0.1 + V * T,
                             V,
                             18.9 * std::exp(-T * 3),
                             V * V * 120 * T,
                             V * 0.05 * 998 / 0.001};
        }
        C->Capacity = C->Count = Rows;
        C->ReMax = C->Records[Rows - 1].Re;
        return C;
    }();
    return *Calc;
}

void Counters(benchmark::State& State, std::size_t Bytes)
{
    State.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(Rows) * static_cast<double>(State.iterations()),
                           benchmark::Counter::kIsRate);
    State.counters["MB"] = static_cast<double>(Bytes) / 1e6;
}

void BM_Report_Streamed(benchmark::State& State)
{
    TSilentLink Link;
    SetUserLink(&Link);
    BlowCalc = nullptr;
    SetDefaultBlockThreads(static_cast<unsigned>(State.range(0)));
    const TCalc& Calc = ReportCase();
    std::size_t Bytes = 0;
    for (auto _ : State) {
        Bytes = 0;
        WriteReport(Calc, [&Bytes](std::string_view Piece) {
            Bytes += Piece.size();
            benchmark::DoNotOptimize(Piece.data());
        });
    }
    Counters(State, Bytes);
    SetDefaultBlockThreads(0);
    SetUserLink(nullptr);
}

void BM_Report_String(benchmark::State& State)
{
    TSilentLink Link;
    SetUserLink(&Link);
    BlowCalc = nullptr;
    const TCalc& Calc = ReportCase();
    std::size_t Bytes = 0;
    for (auto _ : State) {
        std::string Text;
        Calc.MakeReport(Text);
        Bytes = Text.size();
        benchmark::DoNotOptimize(Text.data());
    }
    Counters(State, Bytes);
    SetUserLink(nullptr);
}

}  // namespace

BENCHMARK(BM_Report_Streamed)
    ->ArgName("threads")
    ->Arg(2)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_Report_String)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
