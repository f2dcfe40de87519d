#include "controls/TimerButton.h"

#include <QStyleOptionFocusRect>
#include <QStylePainter>

TTimer_Button::TTimer_Button(QWidget* Parent) : QToolButton(Parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAutoRepeatDelay(Repeat_Delay);
    setAutoRepeatInterval(Repeat_Interval);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void TTimer_Button::Set_Options(int Value)
{
    FOptions = Value;
    setAutoRepeat((Value & Opt_Repeat) != 0);
    update();
}

void TTimer_Button::Set_Focus_Shown(bool Value)
{
    if (FFocus_Shown == Value)
        return;
    FFocus_Shown = Value;
    update();
}

void TTimer_Button::paintEvent(QPaintEvent* Event)
{
    QToolButton::paintEvent(Event);
    if (!(FOptions & Opt_Focus_Rect) || !FFocus_Shown)
        return;
    QStylePainter P(this);
    QStyleOptionFocusRect Option;
    Option.initFrom(this);
    Option.rect = rect().adjusted(3, 3, -3, -3);
    if (isDown())
        Option.rect.translate(1, 1);
    P.drawPrimitive(QStyle::PE_FrameFocusRect, Option);
}

void Focus_After_Press(QWidget* Self, QWidget* Focus_Control)
{
    if (Focus_Control) {
        if (Focus_Control->isEnabled() && Focus_Control->focusPolicy() != Qt::NoFocus &&
            Focus_Control->isVisible() && !Focus_Control->hasFocus())
            Focus_Control->setFocus(Qt::MouseFocusReason);
        return;
    }
    if (Self->focusPolicy() != Qt::NoFocus && !Self->hasFocus())
        Self->setFocus(Qt::MouseFocusReason);
}
