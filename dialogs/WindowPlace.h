#pragma once
// Placing windows on the screen and keeping them reachable.
//
// Positions are those of the window frame (QWidget::pos(), what move() sets);
// widths and heights are those of the client area (QWidget::width()/height(),
// what resize() sets), so that Get_Window_Bounds followed by Set_Window_Bounds
// puts a window back exactly where it was. "The screen" is the available area
// (without panels) of the screen the window is on or is being moved to.

#include <QRect>

class QWidget;

// No position or size stored; a window placed with it is centred in that direction.
inline constexpr int NotSet = -1000000;

// Pixels between a label and the control placed to its right.
inline constexpr int Placement_Gap = 4;

// The available area of the screen that holds Point, or of the primary screen
// when no screen does.
QRect Screen_Area_At(const QPoint& Point);
// The available area of the screen Form is on (the primary screen for nullptr).
QRect Screen_Area_Of(const QWidget* Form);

// Narrows B when it stands closer than Placement_Gap to the right edge of A:
// B then starts Placement_Gap pixels right of A and keeps its right edge
// (never narrower than 8 pixels). A and B share a parent.
void Place_Right_Of(const QWidget* A, QWidget* B);

// Puts Window as far right of and below Form's top-left corner as Form's frame
// is high above its client area, pulled back so that Window's right and bottom
// edges stay on the screen.
void Place_At_Client(const QWidget* Form, QWidget* Window);

// Copies Form's bounds into the outputs when Form exists and is neither
// minimised, maximised nor full-screen; otherwise leaves them unchanged.
void Get_Window_Bounds(const QWidget* Form, int& Left, int& Top, int& Width, int& Height);

// Width and Height are applied when above 0; a Left or Top of NotSet centres
// Form on the screen in that direction. The window is then pulled back so
// that its right and bottom edges are on the screen, and then so that its left
// and top edges are.
void Set_Window_Bounds(QWidget* Form, int Left, int Top, int Width, int Height);

// Like Set_Window_Bounds, but a window may stand partly off the screen: it is
// only kept so that at least m pixels of it (twice the frame's height above
// the client area, at least 32) remain reachable at each edge.
void Set_Window_Bounds_Loose(QWidget* Form, int Left, int Top, int Width, int Height);
