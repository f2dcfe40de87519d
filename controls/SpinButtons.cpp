#include "controls/SpinButtons.h"

#include "controls/Glyphs.h"

#include <QKeyEvent>

#include <algorithm>

TSpin_Buttons::TSpin_Buttons(QWidget* Parent)
    : QWidget(Parent), FUp(new TTimer_Button(this)), FDown(new TTimer_Button(this)), FFocused(FUp)
{
    setMinimumWidth(15);
    setFocusPolicy(Qt::StrongFocus);
    for (TTimer_Button* Half : {FUp, FDown}) {
        Half->Set_Options(TTimer_Button::Opt_Focus_Rect | TTimer_Button::Opt_Repeat);
        connect(Half, &QAbstractButton::pressed, this, [this, Half] { Half_Pressed(Half); });
    }
    Set_Up_Glyph(Zo_Glyph("Spin_Up"), Zo_Glyph_Count("Spin_Up"));
    Set_Down_Glyph(Zo_Glyph("Spin_Down"), Zo_Glyph_Count("Spin_Down"));
    connect(FUp, &QAbstractButton::clicked, this, [this] {
        if (OnUpClick)
            OnUpClick(this);
    });
    connect(FDown, &QAbstractButton::clicked, this, [this] {
        if (OnDownClick)
            OnDownClick(this);
    });
    resize(19, 25);
    Lay_Out();
}

void TSpin_Buttons::Set_Up_Glyph(const QPixmap& Strip, int NumGlyphs)
{
    FUp->setIcon(Glyph_Icon(Strip, NumGlyphs));
    FUp->setIconSize(Frame_Size(Strip, NumGlyphs));
}

void TSpin_Buttons::Set_Down_Glyph(const QPixmap& Strip, int NumGlyphs)
{
    FDown->setIcon(Glyph_Icon(Strip, NumGlyphs));
    FDown->setIconSize(Frame_Size(Strip, NumGlyphs));
}

bool TSpin_Buttons::Enabled_Up() const
{
    return isEnabled() && FUp->isEnabled();
}

bool TSpin_Buttons::Enabled_Down() const
{
    return isEnabled() && FDown->isEnabled();
}

void TSpin_Buttons::Set_Enabled_Up(bool Value)
{
    if (isEnabled())
        FUp->setEnabled(Value);
}

void TSpin_Buttons::Set_Enabled_Down(bool Value)
{
    if (isEnabled())
        FDown->setEnabled(Value);
}

void TSpin_Buttons::Set_TabStop(bool Value)
{
    setFocusPolicy(Value ? Qt::StrongFocus : Qt::NoFocus);
}

void TSpin_Buttons::Lay_Out()
{
    const int W = std::max(width(), 15);
    const int H = height();
    FUp->setGeometry(0, 0, W, H / 2 + 1);
    FDown->setGeometry(0, H / 2, W, H - H / 2);
}

void TSpin_Buttons::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    Lay_Out();
}

void TSpin_Buttons::Half_Pressed(TTimer_Button* Half)
{
    Set_Focused(Half);
    Focus_After_Press(this, FFocusControl);
}

void TSpin_Buttons::Set_Focused(TTimer_Button* Half)
{
    if (FFocused == Half)
        return;
    const bool Shown = FFocused->Focus_Shown();
    FFocused->Set_Focus_Shown(false);
    FFocused = Half;
    FFocused->Set_Focus_Shown(Shown);
}

void TSpin_Buttons::keyPressEvent(QKeyEvent* Event)
{
    switch (Event->key()) {
    case Qt::Key_Space: FFocused->click(); break;
    case Qt::Key_Up:
        Set_Focused(FUp);
        FUp->click();
        break;
    case Qt::Key_Down:
        Set_Focused(FDown);
        FDown->click();
        break;
    default: QWidget::keyPressEvent(Event); return;
    }
    Event->accept();
}

void TSpin_Buttons::focusInEvent(QFocusEvent* Event)
{
    QWidget::focusInEvent(Event);
    FFocused->Set_Focus_Shown(true);
}

void TSpin_Buttons::focusOutEvent(QFocusEvent* Event)
{
    QWidget::focusOutEvent(Event);
    FFocused->Set_Focus_Shown(false);
}

void TSpin_Buttons::changeEvent(QEvent* Event)
{
    QWidget::changeEvent(Event);
    // Enabling the control enables both halves again.
    if (Event->type() == QEvent::EnabledChange && isEnabled()) {
        FUp->setEnabled(true);
        FDown->setEnabled(true);
    }
}
