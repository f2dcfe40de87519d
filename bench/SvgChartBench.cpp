// What the chart of a million-step run costs on the SVG canvas of hyd-calc:
// TCalc::DrawChart into 800 x 500 with its document.
//
// - OnePass: the canvas takes its polylines reduced, so the chart makes all
//   five series in one pass over the records;
// - EveryPoint (the baseline, in the same run): the same canvas behind a
//   wrapper that does not say so, so that every series makes its own pass and
//   hands every point over, for the canvas to reduce;
// - ReadRecords (the floor): one pass that only reads the five values of
//   every record.

#include <benchmark/benchmark.h>

#include <string>

#include "bench/ChartRecords.h"
#include "engine/Calc.h"
#include "results/Canvas.h"
#include "results/SvgCanvas.h"

namespace {

constexpr int RecordCount = ChartRecordCount;
constexpr int Width = 800;
constexpr int Height = 500;

// The SVG canvas without its word that it reduces polylines itself.
class TEveryPoint final : public TCanvas {
public:
    TEveryPoint() : Svg(Width, Height) {}
    void SetPen(TColor Color) override { Svg.SetPen(Color); }
    void MoveTo(int32_t X, int32_t Y) override { Svg.MoveTo(X, Y); }
    void LineTo(int32_t X, int32_t Y) override { Svg.LineTo(X, Y); }
    void LinesTo(const TPoint* Points, std::size_t Count) override { Svg.LinesTo(Points, Count); }
    void TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text) override
    {
        Svg.TextRect(Clip, X, Y, Text);
    }
    void Flush() override { Svg.Flush(); }
    TSvgCanvas Svg;
};

std::string OnePassDocument(const TCalc& Calc)
{
    TSvgCanvas Canvas(Width, Height);
    Calc.DrawChart(Canvas, TRect{0, 0, Width, Height});
    return Canvas.Document();
}

std::string EveryPointDocument(const TCalc& Calc)
{
    TEveryPoint Canvas;
    Calc.DrawChart(Canvas, TRect{0, 0, Width, Height});
    return Canvas.Svg.Document();
}

void BM_SvgChart(benchmark::State& State, bool OnePass)
{
    const TCalc& Calc = MillionRecords();
    if (OnePassDocument(Calc) != EveryPointDocument(Calc)) {
        State.SkipWithError("the two ways draw different charts");
        return;
    }
    for (auto _ : State) {
        const std::string Document = OnePass ? OnePassDocument(Calc) : EveryPointDocument(Calc);
        benchmark::DoNotOptimize(Document.data());
    }
    State.SetItemsProcessed(State.iterations() * RecordCount);
}

void BM_ReadRecords(benchmark::State& State)
{
    const TCalc& Calc = MillionRecords();
    for (auto _ : State) {
        double Sum = 0;
        for (int K = 0; K < RecordCount; ++K) {
            const TCalcStep& R = Calc.Records[K];
            Sum += R.Fill + R.Speed + R.Accel + R.Losses + R.Re;
        }
        benchmark::DoNotOptimize(Sum);
    }
    State.SetItemsProcessed(State.iterations() * RecordCount);
}

}  // namespace

BENCHMARK_CAPTURE(BM_SvgChart, OnePass, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SvgChart, EveryPoint, false)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRecords)->Unit(benchmark::kMillisecond);
