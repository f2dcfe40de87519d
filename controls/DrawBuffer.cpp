#include "controls/DrawBuffer.h"

#include <QPaintDevice>
#include <QPainter>

QPaintDevice* Buffer_Canvas(QPixmap& Bitmap, QPaintDevice* Canvas, const QRect& Rect)
{
    if (Rect.width() <= 0 || Rect.height() <= 0) {
        Bitmap = QPixmap();
        return Canvas;
    }
    // Sharp on high-density screens: the bitmap has the canvas's pixel ratio.
    const qreal Ratio = Canvas ? Canvas->devicePixelRatioF() : 1.0;
    const QSize Pixels = (QSizeF(Rect.size()) * Ratio).toSize();
    if (Bitmap.isNull() || Bitmap.size() != Pixels || Bitmap.devicePixelRatio() != Ratio) {
        Bitmap = QPixmap(Pixels);
        if (Bitmap.isNull())
            return Canvas;
        Bitmap.setDevicePixelRatio(Ratio);
    }
    return &Bitmap;
}

void Buffer_Flush(const QPixmap& Bitmap, QPainter* Canvas, const QRect& Rect)
{
    if (Bitmap.isNull() || !Canvas || Canvas->device() == &Bitmap)
        return;
    const QSize Size = Bitmap.deviceIndependentSize().toSize();
    const QRect Target(Rect.topLeft(), Rect.size().boundedTo(Size));
    Canvas->drawPixmap(Target, Bitmap,
                       QRectF(QPointF(0, 0), QSizeF(Target.size()) * Bitmap.devicePixelRatio()));
}
