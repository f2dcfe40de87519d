#include "dialogs/EditorGlyphs.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor Outline(60, 60, 60);
const QColor Paper(255, 255, 255);

void Page(QPainter& P, const QRectF& R)
{
    QPainterPath Path;
    const double Fold = 3.5;
    Path.moveTo(R.left(), R.top());
    Path.lineTo(R.right() - Fold, R.top());
    Path.lineTo(R.right(), R.top() + Fold);
    Path.lineTo(R.right(), R.bottom());
    Path.lineTo(R.left(), R.bottom());
    Path.closeSubpath();
    P.setPen(QPen(Outline, 1));
    P.setBrush(Paper);
    P.drawPath(Path);
    P.drawLine(QPointF(R.right() - Fold, R.top()), QPointF(R.right() - Fold, R.top() + Fold));
    P.drawLine(QPointF(R.right() - Fold, R.top() + Fold), QPointF(R.right(), R.top() + Fold));
}

void Text_Lines(QPainter& P, double Left, double Top, double Width, int Count, double Step = 2.5)
{
    P.setPen(QPen(QColor(90, 90, 160), 1));
    for (int I = 0; I < Count; ++I)
        P.drawLine(QPointF(Left, Top + I * Step),
                   QPointF(Left + Width - (I % 2) * 2, Top + I * Step));
}

void Paint(QPainter& P, TEditor_Glyph Glyph)
{
    switch (Glyph) {
    case TEditor_Glyph::OK: {
        QPen Pen(QColor(0, 140, 0), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        P.setPen(Pen);
        const QPointF Points[] = {{2.5, 8.5}, {6.5, 12.5}, {13.5, 3.5}};
        P.drawPolyline(Points, 3);
        break;
    }
    case TEditor_Glyph::Cancel: {
        QPen Pen(QColor(200, 0, 0), 2.4, Qt::SolidLine, Qt::RoundCap);
        P.setPen(Pen);
        P.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        P.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    }
    case TEditor_Glyph::New: Page(P, QRectF(3.5, 1.5, 9, 13)); break;
    case TEditor_Glyph::Open: {
        P.setPen(QPen(QColor(150, 110, 20), 1));
        P.setBrush(QColor(230, 190, 70));
        QPainterPath Back;
        Back.moveTo(1.5, 3.5);
        Back.lineTo(6, 3.5);
        Back.lineTo(7.5, 5);
        Back.lineTo(13.5, 5);
        Back.lineTo(13.5, 13.5);
        Back.lineTo(1.5, 13.5);
        Back.closeSubpath();
        P.drawPath(Back);
        P.setBrush(QColor(250, 215, 100));
        QPainterPath Front;
        Front.moveTo(1.5, 13.5);
        Front.lineTo(4, 7.5);
        Front.lineTo(15.5, 7.5);
        Front.lineTo(13.5, 13.5);
        Front.closeSubpath();
        P.drawPath(Front);
        break;
    }
    case TEditor_Glyph::Save:
        P.setPen(QPen(QColor(20, 40, 110), 1));
        P.setBrush(QColor(50, 90, 190));
        P.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
        P.setBrush(Paper);
        P.drawRect(QRectF(4, 1.5, 8, 5.5));
        P.setBrush(QColor(200, 200, 210));
        P.drawRect(QRectF(4.5, 9.5, 7, 5));
        P.fillRect(QRectF(9, 2.5, 1.8, 3.5), QColor(50, 90, 190));
        break;
    case TEditor_Glyph::Print:
        P.setPen(QPen(Outline, 1));
        P.setBrush(Paper);
        P.drawRect(QRectF(4.5, 1.5, 7, 5));
        P.setBrush(QColor(170, 170, 175));
        P.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
        P.setBrush(Paper);
        P.drawRect(QRectF(4.5, 10.5, 7, 4.5));
        P.fillRect(QRectF(12, 8, 1.5, 1.5), QColor(0, 170, 0));
        break;
    case TEditor_Glyph::Cut: {
        P.setPen(QPen(QColor(90, 90, 90), 1.3, Qt::SolidLine, Qt::RoundCap));
        P.drawLine(QPointF(4.5, 1.5), QPointF(10, 10.5));
        P.drawLine(QPointF(11.5, 1.5), QPointF(6, 10.5));
        P.setPen(QPen(QColor(180, 0, 0), 1.4));
        P.setBrush(Qt::NoBrush);
        P.drawEllipse(QPointF(4.5, 12.5), 2.3, 2.3);
        P.drawEllipse(QPointF(11.5, 12.5), 2.3, 2.3);
        break;
    }
    case TEditor_Glyph::Copy:
        Page(P, QRectF(1.5, 1.5, 8, 10));
        Page(P, QRectF(6.5, 4.5, 8, 10.5));
        Text_Lines(P, 8.5, 9, 4, 3);
        break;
    case TEditor_Glyph::Paste:
        P.setPen(QPen(QColor(110, 70, 20), 1));
        P.setBrush(QColor(190, 140, 70));
        P.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
        P.setBrush(QColor(200, 200, 200));
        P.setPen(QPen(Outline, 1));
        P.drawRect(QRectF(4, 1, 5, 3));
        Page(P, QRectF(6.5, 6.5, 8, 8.5));
        Text_Lines(P, 8.5, 10.5, 4, 2);
        break;
    case TEditor_Glyph::Delete: {
        Page(P, QRectF(2.5, 1.5, 9, 13));
        Text_Lines(P, 4.5, 5, 4.5, 4);
        QPen Pen(QColor(210, 0, 0), 2, Qt::SolidLine, Qt::RoundCap);
        P.setPen(Pen);
        P.drawLine(QPointF(8.5, 8.5), QPointF(14, 14));
        P.drawLine(QPointF(14, 8.5), QPointF(8.5, 14));
        break;
    }
    case TEditor_Glyph::Select_All: {
        QPen Dash(QColor(40, 40, 40), 1, Qt::DotLine);
        P.setPen(Dash);
        P.setBrush(QColor(200, 220, 255));
        P.drawRect(QRectF(1.5, 1.5, 13, 13));
        Text_Lines(P, 4, 5, 8, 3, 3);
        break;
    }
    case TEditor_Glyph::Find: {
        P.setPen(QPen(QColor(40, 40, 40), 1.5));
        P.setBrush(QColor(200, 230, 255));
        P.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
        P.setPen(QPen(QColor(120, 70, 20), 2.6, Qt::SolidLine, Qt::RoundCap));
        P.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
        break;
    }
    case TEditor_Glyph::Wrap: {
        Text_Lines(P, 1.5, 3.5, 12, 1);
        P.setPen(QPen(QColor(0, 110, 0), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        P.setBrush(Qt::NoBrush);
        QPainterPath Arrow;
        Arrow.moveTo(1.5, 7.5);
        Arrow.lineTo(11.5, 7.5);
        Arrow.arcTo(QRectF(9.5, 7.5, 4, 4), 90, -180);
        Arrow.lineTo(6, 11.5);
        P.drawPath(Arrow);
        const QPointF Head[] = {{8, 9.5}, {6, 11.5}, {8, 13.5}};
        P.drawPolyline(Head, 3);
        Text_Lines(P, 1.5, 14.5, 6, 1);
        break;
    }
    case TEditor_Glyph::Font: {
        QFont F(QStringLiteral("DejaVu Serif"));
        F.setStyleHint(QFont::Serif);
        F.setPixelSize(13);
        F.setBold(true);
        P.setFont(F);
        P.setPen(QColor(20, 20, 120));
        P.drawText(QRectF(0, 0, 11, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("A"));
        F.setPixelSize(9);
        P.setFont(F);
        P.setPen(QColor(150, 20, 20));
        P.drawText(QRectF(8, 3, 8, 13), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("a"));
        break;
    }
    }
}

QPixmap Picture(TEditor_Glyph Glyph, int Scale)
{
    QPixmap Map(16 * Scale, 16 * Scale);
    Map.fill(Qt::transparent);
    QPainter P(&Map);
    P.setRenderHint(QPainter::Antialiasing, true);
    P.setRenderHint(QPainter::TextAntialiasing, true);
    P.scale(Scale, Scale);
    Paint(P, Glyph);
    P.end();
    Map.setDevicePixelRatio(Scale);
    return Map;
}

}  // namespace

QIcon Editor_Glyph(TEditor_Glyph Glyph)
{
    // Never freed: the pictures must not outlive the application object.
    static auto& Cache = *new QHash<int, QIcon>;
    const int Key = static_cast<int>(Glyph);
    auto It = Cache.find(Key);
    if (It == Cache.end()) {
        QIcon Icon;
        Icon.addPixmap(Picture(Glyph, 1));
        Icon.addPixmap(Picture(Glyph, 2));
        It = Cache.insert(Key, Icon);
    }
    return *It;
}
