#include "controls/ColorButton.h"

#include "controls/Glyphs.h"

#include <QDialog>
#include <QPainter>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

#include <algorithm>

TBtn_Clr::TKind_Info TBtn_Clr::Kind_Info(TBitBtnKind Kind)
{
    switch (Kind) {
    case TBitBtnKind::bkCustom: return {"", "", 0};
    case TBitBtnKind::bkOK: return {"OK", "BCOK", 1};
    case TBitBtnKind::bkCancel: return {"&Отмена", "BCCANCEL", 2};
    case TBitBtnKind::bkHelp: return {"&Помощь", "BCHELP", 0};
    case TBitBtnKind::bkYes: return {"&Да", "BCYES", 6};
    case TBitBtnKind::bkNo: return {"&Нет", "BCNO", 7};
    case TBitBtnKind::bkClose: return {"&Закрыть", "BCCLOSE", 0};
    case TBitBtnKind::bkAbort: return {"&Прервать", "BCABORT", 3};
    case TBitBtnKind::bkRetry: return {"&Повтор", "BCRETRY", 4};
    case TBitBtnKind::bkIgnore: return {"&Игнорировать", "BCIGNORE", 5};
    case TBitBtnKind::bkAll: return {"&Все", "BCALL", 8};
    }
    return {"", "", 0};
}

TBtn_Clr::TBtn_Clr(QWidget* Parent) : QPushButton(Parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoDefault(false);
    connect(this, &QAbstractButton::clicked, this, [this] { Clicked(); });
    resize(75, 25);
}

void TBtn_Clr::Set_Color(const QColor& Value)
{
    FColor = Value;
    update();
}

void TBtn_Clr::Set_Color_Down(const QColor& Value)
{
    FColor_Down = Value;
    update();
}

QColor TBtn_Clr::Face_Color(bool Down) const
{
    const QColor& Own = Down ? FColor_Down : FColor;
    return Own.isValid() ? Own : palette().color(QPalette::Button);
}

void TBtn_Clr::Set_Kind(TBitBtnKind Value)
{
    FKind = Value;
    if (Value == TBitBtnKind::bkCustom)
        return;
    const TKind_Info Info = Kind_Info(Value);
    setText(QString::fromUtf8(Info.Caption));
    FGlyph_Name = QString::fromLatin1(Info.Glyph_Name);
    FNumGlyphs = std::max(1, Zo_Glyph_Count(FGlyph_Name));
    FGlyph = Zo_Glyph(FGlyph_Name);
    FModalResult = Info.Modal_Result;
    updateGeometry();
    update();
}

void TBtn_Clr::Set_Glyph(const QPixmap& Strip)
{
    FGlyph = Strip;
    FGlyph_Name.clear();
    updateGeometry();
    update();
}

void TBtn_Clr::Set_NumGlyphs(int Value)
{
    FNumGlyphs = std::max(1, Value);
    update();
}

void TBtn_Clr::Set_Layout(TButtonLayout Value)
{
    FLayout = Value;
    update();
}

void TBtn_Clr::Set_Margin(int Value)
{
    FMargin = Value;
    update();
}

void TBtn_Clr::Set_Spacing(int Value)
{
    FSpacing = Value;
    update();
}

void TBtn_Clr::Set_Cancel(bool Value)
{
    FCancel = Value;
    if (Value && !FCancel_Shortcut) {
        FCancel_Shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        FCancel_Shortcut->setContext(Qt::WindowShortcut);
        connect(FCancel_Shortcut, &QShortcut::activated, this, [this] {
            if (isEnabled() && isVisible())
                click();
        });
    } else if (!Value && FCancel_Shortcut) {
        delete FCancel_Shortcut;
        FCancel_Shortcut = nullptr;
    }
}

void TBtn_Clr::Clicked()
{
    if (FModalResult == 0)
        return;
    if (auto* Dialog = qobject_cast<QDialog*>(window()))
        Dialog->done(FModalResult);
}

QPixmap TBtn_Clr::Glyph_Frame() const
{
    if (FGlyph.isNull())
        return {};
    const QSize Size = Frame_Size(FGlyph, FNumGlyphs);
    const int Index = (!isEnabled() && FNumGlyphs >= 2) ? 1 : 0;
    return FGlyph.copy(Index * Size.width(), 0, Size.width(), Size.height());
}

QSize TBtn_Clr::sizeHint() const
{
    const QSize Text = fontMetrics().size(Qt::TextShowMnemonic, text());
    const QSize Glyph = Frame_Size(FGlyph, FNumGlyphs);
    const int Gap = (!Glyph.isEmpty() && !text().isEmpty()) ? std::max(0, FSpacing) : 0;
    const bool Horizontal =
        FLayout == TButtonLayout::blGlyphLeft || FLayout == TButtonLayout::blGlyphRight;
    const int W =
        Horizontal ? Glyph.width() + Gap + Text.width() : std::max(Glyph.width(), Text.width());
    const int H =
        Horizontal ? std::max(Glyph.height(), Text.height()) : Glyph.height() + Gap + Text.height();
    return {std::max(75, W + 16), std::max(25, H + 8)};
}

void TBtn_Clr::paintEvent(QPaintEvent*)
{
    QPainter P(this);
    const bool Down = isDown() || isChecked();
    const QColor Face = Face_Color(Down);
    QRect R = rect();
    if (isDefault() && isEnabled()) {
        P.setPen(palette().color(QPalette::Shadow));
        P.drawRect(R.adjusted(0, 0, -1, -1));
        R.adjust(1, 1, -1, -1);
    }
    const QBrush Fill(Face);
    qDrawWinButton(&P, R, palette(), Down, &Fill);

    // Glyph and caption as one block, placed by layout, margin and spacing.
    const QPixmap Glyph = Glyph_Frame();
    const QString Text = text();
    const QSize Text_Size = fontMetrics().size(Qt::TextShowMnemonic, Text);
    const QSize Glyph_Size = Glyph.isNull() ? QSize(0, 0) : Glyph.size();
    const bool Both = !Glyph.isNull() && !Text.isEmpty();
    const bool Horizontal =
        FLayout == TButtonLayout::blGlyphLeft || FLayout == TButtonLayout::blGlyphRight;
    const QRect Content = R.adjusted(4, 4, -4, -4).translated(Down ? QPoint(1, 1) : QPoint(0, 0));

    int Gap = Both ? std::max(0, FSpacing) : 0;
    const int Along = Horizontal ? Content.width() : Content.height();
    const int Glyph_Along = Horizontal ? Glyph_Size.width() : Glyph_Size.height();
    const int Text_Along = Horizontal ? Text_Size.width() : Text_Size.height();
    int Start;
    if (FMargin < 0) {
        Start = (Along - (Glyph_Along + Gap + Text_Along)) / 2;
    } else {
        Start = FMargin;
        if (FSpacing < 0 && Both)  // caption centred in the room beside the glyph
            Gap = std::max(0, (Along - FMargin - Glyph_Along - Text_Along) / 2);
    }
    const bool Glyph_First =
        FLayout == TButtonLayout::blGlyphLeft || FLayout == TButtonLayout::blGlyphTop;
    int Glyph_Pos;
    int Text_Pos;
    if (Glyph_First) {
        Glyph_Pos = Start;
        Text_Pos = Start + Glyph_Along + Gap;
    } else if (FMargin < 0) {
        Text_Pos = Start;
        Glyph_Pos = Start + Text_Along + Gap;
    } else {  // margin measured from the far edge, where the glyph is
        Glyph_Pos = Along - FMargin - Glyph_Along;
        Text_Pos = Glyph_Pos - Gap - Text_Along;
    }
    QRect Glyph_Rect;
    QRect Text_Rect;
    if (Horizontal) {
        Glyph_Rect =
            QRect(Content.left() + Glyph_Pos, Content.center().y() - Glyph_Size.height() / 2 + 1,
                  Glyph_Size.width(), Glyph_Size.height());
        Text_Rect =
            QRect(Content.left() + Text_Pos, Content.top(), Text_Size.width(), Content.height());
    } else {
        Glyph_Rect = QRect(Content.center().x() - Glyph_Size.width() / 2 + 1,
                           Content.top() + Glyph_Pos, Glyph_Size.width(), Glyph_Size.height());
        Text_Rect =
            QRect(Content.left(), Content.top() + Text_Pos, Content.width(), Text_Size.height());
    }
    if (!Glyph.isNull())
        P.drawPixmap(Glyph_Rect.topLeft(), Glyph);
    if (!Text.isEmpty()) {
        const int Flags = Qt::AlignCenter | Qt::TextShowMnemonic;
        if (!isEnabled()) {
            P.setPen(palette().color(QPalette::Light));
            P.drawText(Text_Rect.translated(1, 1), Flags, Text);
            P.setPen(palette().color(QPalette::Disabled, QPalette::ButtonText));
        } else {
            P.setPen(palette().color(QPalette::ButtonText));
        }
        P.drawText(Text_Rect, Flags, Text);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect Option;
        Option.initFrom(this);
        Option.rect = R.adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &Option, &P, this);
    }
}
