// Speed of the text report: a constant-pressure report of one million step
// rows with every optional column, behind a progress link that does nothing.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/Calc.h"
#include "engine/RunGlobals.h"
#include "engine/Tables.h"
#include "engine/UserLink.h"

namespace {

class TSilentLink final : public TUserLink {
public:
    std::unique_ptr<TProgress> Percent_Open(const std::string&) override
    {
        return SilentProgress();
    }
    void Dialog_Error(const std::string&) override {}
    void Dialog_Warning(const std::string&) override {}
};

void BM_ConstantPressureReport(benchmark::State& State)
{
    const int Rows = static_cast<int>(State.range(0));
    TSilentLink Link;
    SetUserLink(&Link);
    BlowCalc = nullptr;

    TCalc Calc;
    Calc.Pressure = 20000;
    Calc.Density = 998;
    Calc.Viscous = 0.001;
    Calc.Condens = 4.6e-10;
    Calc.Diameter = 0.05;
    Calc.Walls = 0.004;
    Calc.Young = 2e11;
    Calc.Rough = 1e-5;
    Calc.Length = 500;
    Calc.InitialFill = 0.1;
    Calc.InitialSpeed = 0.2;
    // Values of many magnitudes, so that every prefix path is taken.
    std::vector<TCalcStep> Records(static_cast<std::size_t>(Rows));
    for (int i = 0; i < Rows; ++i) {
        const double t = (i + 1) * 1e-4;
        const double v = 6.3 * (1 - std::exp(-t * 3));
        Records[static_cast<std::size_t>(i)] = {
            t, 0.1 + v * t, v, 18.9 * std::exp(-t * 3), v * v * 120 * t, v * 0.05 * 998 / 0.001};
    }
    Calc.Records = Records.data();
    Calc.Capacity = Calc.Count = Rows;
    Calc.ReMax = Records.back().Re;

    std::size_t Bytes = 0;
    for (auto _ : State) {
        std::string Text;
        Calc.MakeReport(Text);
        Bytes = Text.size();
        benchmark::DoNotOptimize(Text.data());
    }
    State.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(Rows) * static_cast<double>(State.iterations()),
                           benchmark::Counter::kIsRate);
    State.counters["MB"] = static_cast<double>(Bytes) / 1e6;

    Calc.Records = nullptr;
    Calc.Capacity = Calc.Count = 0;
    SetUserLink(nullptr);
}

}  // namespace

BENCHMARK(BM_ConstantPressureReport)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
