#include "controls/EditButton.h"

#include "controls/Glyphs.h"

#include <algorithm>

TEdit_Button::TEdit_Button(QWidget* Parent) : QWidget(Parent), FButton(new TTimer_Button(this))
{
    setMinimumWidth(15);
    connect(FButton, &QAbstractButton::pressed, this,
            [this] { Focus_After_Press(this, FFocusControl); });
    connect(FButton, &QAbstractButton::clicked, this, [this] {
        if (OnClick)
            OnClick(this);
    });
    resize(19, 25);
}

void TEdit_Button::Set_Glyph(const QPixmap& Strip)
{
    FGlyph = Strip;
    FButton->setIcon(Glyph_Icon(FGlyph, FNumGlyphs));
    FButton->setIconSize(Frame_Size(FGlyph, FNumGlyphs));
}

void TEdit_Button::Set_NumGlyphs(int Value)
{
    FNumGlyphs = std::max(1, Value);
    Set_Glyph(FGlyph);
}

void TEdit_Button::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    FButton->setGeometry(0, 0, std::max(width(), 15), height());
}
