#pragma once
// A push button with a chosen face colour, standard kinds and glyphs.

#include <QColor>
#include <QPixmap>
#include <QPushButton>
#include <QString>

class QShortcut;

// Push button drawn by itself: the face filled with Color (Color_Down while
// pressed), glyph and caption placed by Layout, Margin and Spacing. An
// invalid QColor stands for the standard button face.
class TBtn_Clr : public QPushButton {
    Q_OBJECT
public:
    enum class TBitBtnKind {
        bkCustom,
        bkOK,
        bkCancel,
        bkHelp,
        bkYes,
        bkNo,
        bkClose,
        bkAbort,
        bkRetry,
        bkIgnore,
        bkAll
    };
    enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

    // Caption, glyph resource name and modal result of a kind.
    struct TKind_Info {
        const char* Caption;
        const char* Glyph_Name;
        int Modal_Result;
    };
    static TKind_Info Kind_Info(TBitBtnKind Kind);

    explicit TBtn_Clr(QWidget* Parent = nullptr);

    QColor Color() const { return FColor; }
    void Set_Color(const QColor& Value);
    QColor Color_Down() const { return FColor_Down; }
    void Set_Color_Down(const QColor& Value);
    // The colour actually painted in the up and down states.
    QColor Face_Color(bool Down) const;

    TBitBtnKind Kind() const { return FKind; }
    void Set_Kind(TBitBtnKind Value);
    QString Glyph_Name() const { return FGlyph_Name; }
    const QPixmap& Glyph() const { return FGlyph; }
    void Set_Glyph(const QPixmap& Strip);
    int NumGlyphs() const { return FNumGlyphs; }
    void Set_NumGlyphs(int Value);
    TButtonLayout Layout() const { return FLayout; }
    void Set_Layout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void Set_Margin(int Value);
    int Spacing() const { return FSpacing; }
    void Set_Spacing(int Value);
    // A click in a dialog closes it with this result when it is not 0.
    int ModalResult() const { return FModalResult; }
    void Set_ModalResult(int Value) { FModalResult = Value; }
    // Escape clicks a cancel button; Enter a default one.
    bool Cancel() const { return FCancel; }
    void Set_Cancel(bool Value);
    bool Default() const { return isDefault(); }
    void Set_Default(bool Value) { setDefault(Value); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    void Clicked();
    QPixmap Glyph_Frame() const;

    QColor FColor;
    QColor FColor_Down;
    TBitBtnKind FKind = TBitBtnKind::bkCustom;
    QString FGlyph_Name;
    QPixmap FGlyph;
    int FNumGlyphs = 1;
    TButtonLayout FLayout = TButtonLayout::blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    int FModalResult = 0;
    bool FCancel = false;
    QShortcut* FCancel_Shortcut = nullptr;
};
