#pragma once
// The chart's canvas on a QPainter (the main window's off-screen bitmap).

#include <QColor>
#include <QPoint>
#include <vector>

#include "results/Canvas.h"

class QPainter;

QColor ToQColor(TColor Color);

// Draws on a painter that the caller has begun (and ends). The pen keeps the
// painter's width and cap; SetPen changes its colour and makes it solid.
//
// Polylines are buffered from MoveTo to the next MoveTo, SetPen, TextRect or
// Flush (and the destructor) and drawn in one call. Where the result is known
// to be the same picture (a one-pixel aliased pen, opaque source-over
// drawing, no scaling), each polyline is first reduced per pixel column (see
// ReduceColumn, with the device's rows as the band); otherwise every segment
// is drawn.
class TQtCanvas final : public TCanvas {
public:
    explicit TQtCanvas(QPainter& Painter);
    ~TQtCanvas() override;
    TQtCanvas(const TQtCanvas&) = delete;
    TQtCanvas& operator=(const TQtCanvas&) = delete;

    void SetPen(TColor Color) override;
    void MoveTo(int32_t X, int32_t Y) override;
    void LineTo(int32_t X, int32_t Y) override;
    void LinesTo(const TPoint* Points, std::size_t Count) override;
    void TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text) override;
    void Flush() override;
    // While it may reduce: the device's rows, so that the chart hands over
    // its series already reduced, in one pass over the records.
    bool ReducesColumns(int32_t& Top, int32_t& Bottom) const override;

    // Allows the per-column reduction (the default); off draws every segment.
    void SetReduction(bool On) { Reduction = On; }
    // True when reduction is allowed and the painter's state keeps the picture
    // the same with it.
    bool MayReduce() const;

private:
    void StartPolyline(TPoint P);

    QPainter& Painter;
    TPolylineBuffer Polyline;
    std::vector<QPoint> QtPoints;
    bool Reduction = true;
};
