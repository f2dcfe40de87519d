#pragma once
// Off-screen drawing buffers.

#include <QPixmap>
#include <QRect>

class QPaintDevice;
class QPainter;

// Prepares Bitmap as the off-screen buffer of the area Rect of Canvas: a
// bitmap of another size (or pixel ratio) is replaced by one of Rect's size,
// one of the same size is kept as it is. Returns the device to draw on: the
// bitmap, whose point (0, 0) stands for Rect's top-left corner, or Canvas
// itself when no bitmap can be made (an empty Rect).
QPaintDevice* Buffer_Canvas(QPixmap& Bitmap, QPaintDevice* Canvas, const QRect& Rect);

// Copies Bitmap onto Canvas at Rect, clipped to the bitmap's size. Nothing
// happens when Bitmap is null, Canvas is missing or Canvas paints on Bitmap.
void Buffer_Flush(const QPixmap& Bitmap, QPainter* Canvas, const QRect& Rect);
