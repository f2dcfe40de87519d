// Off-screen drawing buffers.

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "controls/DrawBuffer.h"

TEST(Buffer, CanvasIsReusedWhileTheSizeHolds)
{
    QImage Screen(200, 100, QImage::Format_RGB32);
    QPixmap Bitmap;
    ASSERT_EQ(Buffer_Canvas(Bitmap, &Screen, QRect(0, 0, 120, 80)), &Bitmap);
    EXPECT_EQ(Bitmap.size(), QSize(120, 80));
    const qint64 Key = Bitmap.cacheKey();
    EXPECT_EQ(Buffer_Canvas(Bitmap, &Screen, QRect(10, 10, 120, 80)), &Bitmap);
    EXPECT_EQ(Bitmap.cacheKey(), Key);  // the same bitmap
    // Another size: a new bitmap of that size.
    EXPECT_EQ(Buffer_Canvas(Bitmap, &Screen, QRect(0, 0, 60, 80)), &Bitmap);
    EXPECT_EQ(Bitmap.size(), QSize(60, 80));
    EXPECT_NE(Bitmap.cacheKey(), Key);
    // No area: no bitmap, the drawing goes to the canvas itself.
    EXPECT_EQ(Buffer_Canvas(Bitmap, &Screen, QRect(0, 0, 0, 80)), &Screen);
    EXPECT_TRUE(Bitmap.isNull());
}

TEST(Buffer, FlushCopiesTheBitmapToItsAreaAndNoMore)
{
    QImage Screen(200, 100, QImage::Format_RGB32);
    Screen.fill(Qt::white);
    QPixmap Bitmap;
    const QRect Area(50, 20, 40, 30);
    {
        QPainter P(Buffer_Canvas(Bitmap, &Screen, Area));
        P.fillRect(QRect(0, 0, 40, 30), Qt::red);
        P.fillRect(QRect(0, 0, 1, 1), Qt::blue);
        Buffer_Flush(Bitmap, &P, Area);  // the bitmap's own painter is not a target
    }
    {
        QPainter P(&Screen);
        Buffer_Flush(Bitmap, &P, Area);
        Buffer_Flush(QPixmap(), &P, QRect(0, 0, 10, 10));  // nothing to copy
        Buffer_Flush(Bitmap, nullptr, Area);
        Buffer_Flush(Bitmap, &P, QRect(100, 0, 100, 100));  // larger: the bitmap's size only
    }
    const struct {
        int X, Y;
        Qt::GlobalColor Color;
    } Pixels[] = {{50, 20, Qt::blue}, {89, 49, Qt::red},  {90, 49, Qt::white}, {49, 20, Qt::white},
                  {0, 0, Qt::white},  {139, 29, Qt::red}, {140, 29, Qt::white}};
    for (const auto& P : Pixels)
        EXPECT_EQ(Screen.pixelColor(P.X, P.Y), QColor(P.Color)) << P.X << "," << P.Y;
}
