#include "app/QtCanvas.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QString>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Clamps a 64-bit extent to what QRect can hold.
int ClampToInt(int64_t Value)
{
    return static_cast<int>(std::clamp<int64_t>(Value, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

}  // namespace

QColor ToQColor(TColor Color)
{
    return QColor(Color.R, Color.G, Color.B);
}

TQtCanvas::TQtCanvas(QPainter& Painter) : Painter(Painter) {}

TQtCanvas::~TQtCanvas()
{
    Flush();
}

bool TQtCanvas::MayReduce() const
{
    if (!Reduction || !Painter.isActive())
        return false;
    const QPen Pen = Painter.pen();
    const qreal Width = Pen.widthF();
    // Pixels drawn twice must come out as drawn once: opaque source-over only.
    if ((Width != 0 && Width != 1) || Pen.style() != Qt::SolidLine ||
        Pen.brush().style() != Qt::SolidPattern || Pen.color().alpha() != 255 ||
        Painter.opacity() != 1.0 || Painter.testRenderHint(QPainter::Antialiasing) ||
        Painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return false;
    const QPaintDevice* Device = Painter.device();
    if (Device == nullptr || Device->devicePixelRatio() != 1.0)
        return false;
    // A shift by whole pixels moves every point alike; anything else does not.
    const QTransform Transform = Painter.deviceTransform();
    const auto Whole = [](qreal V) { return V == std::round(V) && std::fabs(V) < 1e9; };
    return Transform.type() <= QTransform::TxTranslate && Whole(Transform.dx()) &&
           Whole(Transform.dy());
}

void TQtCanvas::SetPen(TColor Color)
{
    Flush();
    QPen Pen = Painter.pen();
    Pen.setColor(ToQColor(Color));
    Pen.setStyle(Qt::SolidLine);
    Painter.setPen(Pen);
}

bool TQtCanvas::ReducesColumns(int32_t& Top, int32_t& Bottom) const
{
    if (!MayReduce())
        return false;
    // The device's rows in the painter's coordinates: the rasteriser clips
    // lines only outside them.
    const int64_t Shift = static_cast<int64_t>(Painter.deviceTransform().dy());
    Top = static_cast<int32_t>(std::clamp<int64_t>(-Shift, INT32_MIN, INT32_MAX));
    Bottom = static_cast<int32_t>(
        std::clamp<int64_t>(Painter.device()->height() - 1 - Shift, INT32_MIN, INT32_MAX));
    return true;
}

void TQtCanvas::StartPolyline(TPoint P)
{
    int32_t Top = 0;
    int32_t Bottom = 0;
    if (ReducesColumns(Top, Bottom))
        Polyline.Start(P, true, Top, Bottom);
    else
        Polyline.Start(P, false);
}

void TQtCanvas::MoveTo(int32_t X, int32_t Y)
{
    Flush();
    StartPolyline(TPoint{X, Y});
}

void TQtCanvas::LineTo(int32_t X, int32_t Y)
{
    if (!Polyline.Open())
        StartPolyline(Polyline.Current());
    Polyline.Add(TPoint{X, Y});
}

void TQtCanvas::LinesTo(const TPoint* Points, std::size_t Count)
{
    if (Count == 0)
        return;
    if (!Polyline.Open())
        StartPolyline(Polyline.Current());
    Polyline.Add(Points, Count);
}

void TQtCanvas::Flush()
{
    if (!Polyline.Open())
        return;
    const std::vector<TPoint>& Points = Polyline.Finish();
    if (Points.size() < 2)
        return;
    QtPoints.resize(Points.size());
    std::transform(Points.begin(), Points.end(), QtPoints.begin(),
                   [](const TPoint& P) { return QPoint(P.X, P.Y); });
    // Qt's raster engine draws thin lines with its fastest routine only under a
    // rectangular clip; clipping to the device itself changes no pixel.
    const QPaintDevice* Device = Painter.device();
    const QTransform Transform = Painter.deviceTransform();
    const bool Clip = !Painter.hasClipping() && Device != nullptr &&
                      Transform.type() <= QTransform::TxTranslate &&
                      std::fabs(Transform.dx()) < 1e9 && std::fabs(Transform.dy()) < 1e9;
    if (Clip) {
        Painter.save();
        Painter.setClipRect(
            QRectF(-Transform.dx(), -Transform.dy(), Device->width(), Device->height()));
    }
    Painter.drawPolyline(QtPoints.data(), static_cast<int>(QtPoints.size()));
    if (Clip)
        Painter.restore();
}

void TQtCanvas::TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text)
{
    Flush();
    Painter.save();
    Painter.setClipRect(QRect(Clip.Left, Clip.Top, ClampToInt(int64_t{Clip.Right} - Clip.Left),
                              ClampToInt(int64_t{Clip.Bottom} - Clip.Top)),
                        Qt::IntersectClip);
    Painter.setPen(ToQColor(TextColor));
    Painter.setBackground(ToQColor(BackColor));
    Painter.setBackgroundMode(Qt::OpaqueMode);
    const QFontMetrics Metrics(Painter.font());
    Painter.drawText(QPoint(X, ClampToInt(int64_t{Y} + Metrics.ascent())),
                     QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size())));
    Painter.restore();
}
