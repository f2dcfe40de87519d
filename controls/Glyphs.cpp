#include "controls/Glyphs.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <functional>

// Strips of equal frames side by side, painted once and cached.

namespace {
struct TGlyph_Strip {
    QPixmap Strip;
    int Count = 0;
};

using TFrame_Painter = std::function<void(QPainter&, const QColor& Main, bool Enabled)>;

QPixmap Paint_Strip(int W, int H, int Count, const TFrame_Painter& Paint_Frame)
{
    QPixmap Strip(W * Count, H);
    Strip.fill(Qt::transparent);
    QPainter P(&Strip);
    P.setRenderHint(QPainter::Antialiasing, true);
    for (int i = 0; i < Count; ++i) {
        P.save();
        P.translate(i * W, 0);
        const bool Enabled = i == 0;
        Paint_Frame(P, Enabled ? QColor() : QColor(128, 128, 128), Enabled);
        P.restore();
    }
    return Strip;
}

// Colour of a glyph part: its own colour when enabled, grey otherwise.
QColor Part(const QColor& Own, const QColor& Disabled)
{
    return Disabled.isValid() ? Disabled : Own;
}

void Paint_Arrow(QPainter& P, bool Up, const QColor& Grey)
{
    QPainterPath Path;
    if (Up) {
        Path.moveTo(0, 4);
        Path.lineTo(7, 4);
        Path.lineTo(3.5, 0.5);
    } else {
        Path.moveTo(0, 0);
        Path.lineTo(7, 0);
        Path.lineTo(3.5, 3.5);
    }
    Path.closeSubpath();
    P.fillPath(Path, Part(Qt::black, Grey));
}

void Paint_Calculator(QPainter& P, const QColor& Grey)
{
    P.setRenderHint(QPainter::Antialiasing, false);
    P.setPen(Part(QColor(40, 40, 40), Grey));
    P.setBrush(Part(QColor(230, 230, 230), Grey.isValid() ? QColor(220, 220, 220) : QColor()));
    P.drawRect(0, 0, 9, 11);
    P.fillRect(2, 2, 6, 2, Part(QColor(0, 120, 0), Grey));
    for (int Row = 0; Row < 3; ++Row)
        for (int Col = 0; Col < 3; ++Col)
            P.fillRect(2 + Col * 2, 5 + Row * 2, 1, 1, Part(Qt::black, Grey));
}

void Paint_Check(QPainter& P, const QColor& Grey, double Dx)
{
    QPen Pen(Part(QColor(0, 128, 0), Grey), 2.2);
    Pen.setCapStyle(Qt::RoundCap);
    Pen.setJoinStyle(Qt::RoundJoin);
    P.setPen(Pen);
    const QPointF Points[] = {{2.5 + Dx, 8.5}, {6 + Dx, 12}, {13.5 + Dx, 3.5}};
    P.drawPolyline(Points, 3);
}

void Paint_Cross(QPainter& P, const QColor& Colour)
{
    QPen Pen(Colour, 2.4);
    Pen.setCapStyle(Qt::RoundCap);
    P.setPen(Pen);
    P.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    P.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

void Paint_Letter(QPainter& P, const QColor& Colour, const QString& Text)
{
    QFont Font = P.font();
    Font.setPixelSize(14);
    Font.setBold(true);
    P.setFont(Font);
    P.setPen(Colour);
    P.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, Text);
}

TFrame_Painter Kind_Painter(const QString& Name)
{
    if (Name == "BCOK" || Name == "BCYES")
        return [](QPainter& P, const QColor& Grey, bool) { Paint_Check(P, Grey, 0); };
    if (Name == "BCALL")
        return [](QPainter& P, const QColor& Grey, bool) {
            P.scale(0.8, 1.0);
            Paint_Check(P, Grey, -1);
            Paint_Check(P, Grey, 5);
        };
    if (Name == "BCCANCEL")
        return [](QPainter& P, const QColor& Grey, bool) {
            Paint_Cross(P, Part(QColor(200, 0, 0), Grey));
        };
    if (Name == "BCNO")
        return [](QPainter& P, const QColor& Grey, bool) {
            QPen Pen(Part(QColor(200, 0, 0), Grey), 2.0);
            P.setPen(Pen);
            P.drawEllipse(QRectF(2.5, 2.5, 11, 11));
            P.drawLine(QPointF(4.5, 11.5), QPointF(11.5, 4.5));
        };
    if (Name == "BCHELP")
        return [](QPainter& P, const QColor& Grey, bool) {
            Paint_Letter(P, Part(QColor(0, 0, 160), Grey), "?");
        };
    if (Name == "BCIGNORE")
        return [](QPainter& P, const QColor& Grey, bool) {
            Paint_Letter(P, Part(QColor(0, 0, 160), Grey), "!");
        };
    if (Name == "BCCLOSE")
        return [](QPainter& P, const QColor& Grey, bool) {
            P.setRenderHint(QPainter::Antialiasing, false);
            P.setPen(Part(QColor(0, 96, 96), Grey));
            P.setBrush(Part(QColor(0, 160, 160), Grey));
            P.drawRect(4, 1, 8, 13);
            P.fillRect(10, 7, 1, 2, Part(Qt::yellow, Grey.isValid() ? Qt::white : QColor()));
        };
    if (Name == "BCABORT")
        return [](QPainter& P, const QColor& Grey, bool) {
            P.setPen(Qt::NoPen);
            P.setBrush(Part(QColor(200, 0, 0), Grey));
            P.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            Paint_Cross(P, Qt::white);
        };
    if (Name == "BCRETRY")
        return [](QPainter& P, const QColor& Grey, bool) {
            const QColor C = Part(QColor(0, 128, 0), Grey);
            QPen Pen(C, 2.0);
            P.setPen(Pen);
            P.drawArc(QRectF(2.5, 2.5, 11, 11), 90 * 16, 270 * 16);
            QPainterPath Head;
            Head.moveTo(8, 0);
            Head.lineTo(12, 2.5);
            Head.lineTo(8, 5.5);
            Head.closeSubpath();
            P.fillPath(Head, C);
        };
    return {};
}

const TGlyph_Strip& Glyph_Cache(const QString& Name)
{
    static QHash<QString, TGlyph_Strip> Cache;
    auto It = Cache.find(Name);
    if (It != Cache.end())
        return *It;
    TGlyph_Strip Entry;
    if (Name == "Spin_Up" || Name == "Spin_Down") {
        const bool Up = Name == "Spin_Up";
        Entry.Strip = Paint_Strip(7, 4, 2, [Up](QPainter& P, const QColor& Grey, bool) {
            P.setRenderHint(QPainter::Antialiasing, false);
            Paint_Arrow(P, Up, Grey);
        });
        Entry.Count = 2;
    } else if (Name == "CALCULATE") {
        Entry.Strip = Paint_Strip(
            10, 12, 2, [](QPainter& P, const QColor& Grey, bool) { Paint_Calculator(P, Grey); });
        Entry.Count = 2;
    } else if (TFrame_Painter Painter = Kind_Painter(Name)) {
        Entry.Strip = Paint_Strip(16, 16, 2, Painter);
        Entry.Count = 2;
    }
    return *Cache.insert(Name, Entry);
}
}  // namespace

QPixmap Zo_Glyph(const QString& Name)
{
    return Glyph_Cache(Name).Strip;
}

int Zo_Glyph_Count(const QString& Name)
{
    return Glyph_Cache(Name).Count;
}

QIcon Glyph_Icon(const QPixmap& Strip, int NumGlyphs)
{
    QIcon Icon;
    if (Strip.isNull())
        return Icon;
    const int Count = std::max(1, NumGlyphs);
    const int W = Strip.width() / Count;
    if (W < 1)
        return Icon;
    Icon.addPixmap(Strip.copy(0, 0, W, Strip.height()), QIcon::Normal);
    if (Count >= 2)
        Icon.addPixmap(Strip.copy(W, 0, W, Strip.height()), QIcon::Disabled);
    return Icon;
}

QSize Frame_Size(const QPixmap& Strip, int NumGlyphs)
{
    if (Strip.isNull())
        return {};
    return {Strip.width() / std::max(1, NumGlyphs), Strip.height()};
}
