// Off-screen drawing buffers and read-only file opening.

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
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
        Buffer_Flush(Bitmap, &P, Area);   // the bitmap's own painter is not a target
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
    } Pixels[] = {{50, 20, Qt::blue}, {89, 49, Qt::red}, {90, 49, Qt::white}, {49, 20, Qt::white},
                  {0, 0, Qt::white},  {139, 29, Qt::red}, {140, 29, Qt::white}};
    for (const auto& P : Pixels)
        EXPECT_EQ(Screen.pixelColor(P.X, P.Y), QColor(P.Color)) << P.X << "," << P.Y;
}

TEST(FileOpenRead, ReadsWithoutChangingAndReportsFailures)
{
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const QString Name = Dir.filePath(QStringLiteral("Отчёт.txt"));
    {
        QFile F(Name);
        ASSERT_TRUE(F.open(QIODevice::WriteOnly));
        F.write("строка\r\n");
    }
    QFile::setPermissions(Name, QFileDevice::ReadOwner);  // read-only file
    QFile F;
    File_Open_Read(F, Name);
    EXPECT_FALSE(F.isWritable());
    EXPECT_EQ(F.readAll(), QByteArray("строка\r\n"));   // neither truncated nor converted
    F.close();

    // A missing file and a folder are reported, with the name, and nothing is created.
    const QString Missing = Dir.filePath(QStringLiteral("нет.txt"));
    try {
        File_Open_Read(F, Missing);
        ADD_FAILURE() << "no error for a missing file";
    } catch (const EIn_Out_Error& E) {
        EXPECT_NE(std::string(E.what()).find("нет.txt"), std::string::npos);
    }
    EXPECT_FALSE(QFileInfo::exists(Missing));
    EXPECT_THROW(File_Open_Read(F, Dir.path()), EIn_Out_Error);
    EXPECT_FALSE(F.isOpen());
}
