#include "app/ChartView.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/QtCanvas.h"
#include "controls/DrawBuffer.h"
#include "engine/Calc.h"
#include "results/Canvas.h"

TChart_View::TChart_View(QWidget* Parent) : QWidget(Parent)
{
    setObjectName(QStringLiteral("PaintBox"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TChart_View::Set_Calc(const TCalc* Calc)
{
    FCalc = Calc;
    Results_Changed();
}

void TChart_View::Set_Frozen(bool Frozen)
{
    FFrozen = Frozen;
    if (!Frozen)
        update();
}

void TChart_View::Results_Changed()
{
    FDirty = true;
    update();
}

bool TChart_View::Image_Stale() const
{
    if (FDirty || FChartBitmap.isNull())
        return true;
    const qreal Ratio = devicePixelRatioF();
    return FChartBitmap.devicePixelRatio() != Ratio ||
           FChartBitmap.size() != (QSizeF(size()) * Ratio).toSize();
}

void TChart_View::Draw_Image()
{
    const QRect R(0, 0, width(), height());
    QPaintDevice* Target = Buffer_Canvas(FChartBitmap, this, R);
    FDirty = false;
    if (Target != &FChartBitmap)
        return;  // no area to draw in
    // Drawn in device pixels, one chart column a pixel, also on dense screens.
    const qreal Ratio = FChartBitmap.devicePixelRatio();
    FChartBitmap.setDevicePixelRatio(1);
    {
        QPainter Painter(&FChartBitmap);
        Painter.fillRect(FChartBitmap.rect(), ToQColor(BackColor));
        if (FCalc) {
            TQtCanvas Canvas(Painter);
            FCalc->DrawChart(Canvas, TRect{0, 0, FChartBitmap.width(), FChartBitmap.height()});
        }
    }
    FChartBitmap.setDevicePixelRatio(Ratio);
    ++FDraw_Count;
}

void TChart_View::RedrawChart()
{
    Draw_Image();
    repaint();
}

void TChart_View::paintEvent(QPaintEvent* Event)
{
    if (!FFrozen && Image_Stale())
        Draw_Image();
    QPainter Painter(this);
    const QColor Back = ToQColor(BackColor);
    if (FChartBitmap.isNull()) {
        Painter.fillRect(rect(), Back);
        return;
    }
    if (FFrozen)
        Painter.fillRect(rect(), Back);  // beyond an image of another size
    // Only the exposed part is copied.
    const QRect Area = Event->rect();
    const qreal Ratio = FChartBitmap.devicePixelRatio();
    Painter.drawPixmap(Area, FChartBitmap,
                       QRectF(QPointF(Area.topLeft()) * Ratio, QSizeF(Area.size()) * Ratio));
}

void TChart_View::mouseMoveEvent(QMouseEvent* Event)
{
    if (OnMouseMove)
        OnMouseMove(Event->position().toPoint().x());
    QWidget::mouseMoveEvent(Event);
}

void TChart_View::mouseReleaseEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()) &&
        OnClick)
        OnClick();
    QWidget::mouseReleaseEvent(Event);
}
