#pragma once
// Off-screen drawing buffers and reading files without write access.

#include <QFile>
#include <QPixmap>
#include <QRect>
#include <stdexcept>

class QPaintDevice;
class QPainter;

// A file could not be opened or read; what() names the file and the reason.
class EIn_Out_Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Opens F on Name for reading only; nothing is created, locked or changed.
// Throws EIn_Out_Error when the file cannot be opened (missing, a folder, no
// permission), for the caller to report.
void File_Open_Read(QFile& F, const QString& Name);

// Prepares Bitmap as the off-screen buffer of the area Rect of Canvas: a
// bitmap of another size (or pixel ratio) is replaced by one of Rect's size,
// one of the same size is kept as it is. Returns the device to draw on: the
// bitmap, whose point (0, 0) stands for Rect's top-left corner, or Canvas
// itself when no bitmap can be made (an empty Rect).
QPaintDevice* Buffer_Canvas(QPixmap& Bitmap, QPaintDevice* Canvas, const QRect& Rect);

// Copies Bitmap onto Canvas at Rect, clipped to the bitmap's size. Nothing
// happens when Bitmap is null, Canvas is missing or Canvas paints on Bitmap.
void Buffer_Flush(const QPixmap& Bitmap, QPainter* Canvas, const QRect& Rect);
