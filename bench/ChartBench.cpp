// What the chart of a million-step run costs: TCalc::DrawChart into an 800 x 500
// bitmap through the raster canvas, which takes the series reduced per pixel
// column and so lets the chart make them in one pass over the records; for
// comparison, behind a wrapper that hides this (a pass per series, reduced by
// the canvas), and with every segment handed to QPainter.

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <string>

#include "app/QtCanvas.h"
#include "bench/ChartRecords.h"
#include "engine/Calc.h"

namespace {

constexpr int RecordCount = ChartRecordCount;

// The raster canvas as a chart sees a canvas that does not reduce: every
// point reaches it and it reduces them itself, series by series.
class TPerSeriesCanvas final : public TCanvas {
public:
    explicit TPerSeriesCanvas(QPainter& Painter) : Canvas(Painter) {}
    void SetPen(TColor Color) override { Canvas.SetPen(Color); }
    void MoveTo(int32_t X, int32_t Y) override { Canvas.MoveTo(X, Y); }
    void LineTo(int32_t X, int32_t Y) override { Canvas.LineTo(X, Y); }
    void LinesTo(const TPoint* Points, std::size_t Count) override
    {
        Canvas.LinesTo(Points, Count);
    }
    void TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text) override
    {
        Canvas.TextRect(Clip, X, Y, Text);
    }
    void Flush() override { Canvas.Flush(); }
    TQtCanvas Canvas;
};

enum class TWay { PerSeries, EverySegment, OnePass };

void Draw(const TCalc& Calc, TWay Way, QImage& Image)
{
    Image.fill(Qt::white);
    QPainter Painter(&Image);
    if (Way == TWay::PerSeries) {
        TPerSeriesCanvas Canvas(Painter);
        Calc.DrawChart(Canvas, TRect{0, 0, 800, 500});
    } else {
        TQtCanvas Canvas(Painter);
        Canvas.SetReduction(Way == TWay::OnePass);
        Calc.DrawChart(Canvas, TRect{0, 0, 800, 500});
    }
}

void DrawChart(benchmark::State& State, TWay Way)
{
    const TCalc& Calc = MillionRecords();
    QImage Image(800, 500, QImage::Format_RGB32);
    QImage Reference(800, 500, QImage::Format_RGB32);
    Draw(Calc, Way, Image);
    Draw(Calc, TWay::EverySegment, Reference);
    if (Image != Reference) {
        State.SkipWithError("not the picture of every segment");
        return;
    }
    for (auto _ : State) {
        Draw(Calc, Way, Image);
        benchmark::DoNotOptimize(Image.constBits());
    }
    State.SetItemsProcessed(State.iterations() * RecordCount);
}

BENCHMARK_CAPTURE(DrawChart, PerSeries, TWay::PerSeries)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawChart, EverySegment, TWay::EverySegment)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawChart, OnePass, TWay::OnePass)->Unit(benchmark::kMillisecond);

}  // namespace
