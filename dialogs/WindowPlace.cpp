#include "dialogs/WindowPlace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <climits>

#include "engine/UserLink.h"

namespace {

// Coordinates are computed in 64 bits (stored positions may hold any int)
// and brought back into the int range at the end.
using Coord = long long;

int To_Int(Coord X)
{
    return static_cast<int>(std::clamp<Coord>(X, INT_MIN, INT_MAX));
}

// Applies a width and a height above 0 to the client area; others keep the size.
void Apply_Size(QWidget* Form, int Width, int Height)
{
    if (Width > 0 || Height > 0)
        Form->resize(Width > 0 ? Width : Form->width(), Height > 0 ? Height : Form->height());
}

// The screen a window placed at Left, Top goes to: the one holding that point,
// where a NotSet coordinate stands for the middle of the window's own screen.
QRect Target_Area(const QWidget* Form, int Left, int Top)
{
    const QRect Own = Screen_Area_Of(Form);
    const QPoint Point(Left == NotSet ? Own.center().x() : Left,
                       Top == NotSet ? Own.center().y() : Top);
    if (QScreen* S = QGuiApplication::screenAt(Point))
        return S->availableGeometry();
    return Own;
}

// The extra height of the frame above and below the client area.
int Frame_Extra_Height(const QWidget* Form)
{
    return std::max(0, Form->frameGeometry().height() - Form->height());
}

}  // namespace

QRect Screen_Area_At(const QPoint& Point)
{
    if (QScreen* S = QGuiApplication::screenAt(Point))
        return S->availableGeometry();
    if (QScreen* S = QGuiApplication::primaryScreen())
        return S->availableGeometry();
    return QRect(0, 0, 800, 600);
}

QRect Screen_Area_Of(const QWidget* Form)
{
    if (Form)
        if (QScreen* S = Form->screen())
            return S->availableGeometry();
    if (QScreen* S = QGuiApplication::primaryScreen())
        return S->availableGeometry();
    return QRect(0, 0, 800, 600);
}

void Place_Right_Of(const QWidget* A, QWidget* B)
{
    if (!A || !B)
        return;
    const Coord ARight = Coord(A->x()) + A->width();
    const Coord Room = Coord(B->x()) + B->width() - ARight - Placement_Gap;
    if (Room < B->width())
        B->setGeometry(To_Int(ARight + Placement_Gap), B->y(), To_Int(std::max<Coord>(Room, 8)),
                       B->height());
}

void Place_At_Client(const QWidget* Form, QWidget* Window)
{
    if (!Form || !Window)
        return;
    const Coord Offset = Frame_Extra_Height(Form);
    Coord X = Coord(Form->x()) + Offset;
    Coord Y = Coord(Form->y()) + Offset;
    const QSize Size = Window->frameGeometry().size();
    const QRect Area = Screen_Area_At(QPoint(To_Int(X), To_Int(Y)));
    X = std::min<Coord>(X, Coord(Area.left()) + Area.width() - Size.width());
    Y = std::min<Coord>(Y, Coord(Area.top()) + Area.height() - Size.height());
    Window->move(To_Int(X), To_Int(Y));
}

void Get_Window_Bounds(const QWidget* Form, int& Left, int& Top, int& Width, int& Height)
{
    if (!Form)
        return;
    if (Form->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    Left = Form->x();
    Top = Form->y();
    Width = Form->width();
    Height = Form->height();
}

void Set_Window_Bounds(QWidget* Form, int Left, int Top, int Width, int Height)
{
    if (!Form)
        return;
    Apply_Size(Form, Width, Height);
    const QSize Size = Form->frameGeometry().size();
    const QRect Area = Target_Area(Form, Left, Top);
    Coord X = Left == NotSet ? Area.left() + (Coord(Area.width()) - Size.width()) / 2 : Left;
    Coord Y = Top == NotSet ? Area.top() + (Coord(Area.height()) - Size.height()) / 2 : Top;
    X = std::min<Coord>(X, Coord(Area.left()) + Area.width() - Size.width());
    Y = std::min<Coord>(Y, Coord(Area.top()) + Area.height() - Size.height());
    X = std::max<Coord>(X, Area.left());
    Y = std::max<Coord>(Y, Area.top());
    Form->move(To_Int(X), To_Int(Y));
}

namespace {

// One coordinate of Set_Window_Bounds_Loose, relative to the screen's origin:
// Pos (NotSet: centred) kept within reach for a window Size long on a screen
// Screen long, M being the part that must stay reachable.
Coord Loose_Coordinate(int Pos, Coord Origin, Coord Screen, Coord Size, Coord M)
{
    Coord P = Pos == NotSet ? (Screen - Size) / 2 : Coord(Pos) - Origin;
    if (P > Screen - M)
        P = Screen - M;
    if (P + Size < M)
        P = std::max<Coord>(Size - M, 0);  // a narrow window would stay out of reach at Size - M
    return Origin + P;
}

}  // namespace

void Set_Window_Bounds_Loose(QWidget* Form, int Left, int Top, int Width, int Height)
{
    if (!Form)
        return;
    Apply_Size(Form, Width, Height);
    const QSize Size = Form->frameGeometry().size();
    const Coord M = std::max(2 * Frame_Extra_Height(Form), 32);
    const QRect Area = Target_Area(Form, Left, Top);
    const Coord X = Loose_Coordinate(Left, Area.left(), Area.width(), Size.width(), M);
    const Coord Y = Loose_Coordinate(Top, Area.top(), Area.height(), Size.height(), M);
    Form->move(To_Int(X), To_Int(Y));
}
