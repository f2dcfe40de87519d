#pragma once
// Small controls from which the number field is built, and a push button
// with a chosen face colour:
//   TTimer_Button  flat button that repeats its click while held down
//   TSpin_Buttons  an up and a down repeating button
//   TEdit_Button   one button for the right end of an edit field
//   TCustom_Edit   the single-line edit box of the number field
//   TBtn_Clr       push button with face colours, kinds and glyphs
// Also the default beep (replaceable, so that tests can count beeps) and the
// painted glyphs that stand in for bitmap resources.

#include <QColor>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

#include <functional>

class QShortcut;

// A notify event: the control that raised it is passed as Sender.
using TNotifyEvent = std::function<void(QObject* Sender)>;

// The default beep of the platform, or the hook installed by Set_Beep_Hook.
void Default_Beep();
// Replaces the beep; an empty hook restores QApplication::beep. Returns the
// previous hook.
std::function<void()> Set_Beep_Hook(std::function<void()> Hook);

// A glyph strip painted on first use and kept in a cache shared by all
// controls: "Spin_Up", "Spin_Down", "CALCULATE" (two frames: normal and
// disabled) and "BCOK", "BCCANCEL", "BCHELP", "BCYES", "BCNO", "BCCLOSE",
// "BCABORT", "BCRETRY", "BCIGNORE", "BCALL" (two frames). An unknown name
// gives a null pixmap.
QPixmap Zo_Glyph(const QString& Name);
// Number of frames in a strip of the cache (0 for an unknown name).
int Zo_Glyph_Count(const QString& Name);
// The icon made from a strip: frame 1 normal, frame 2 (when present) disabled.
QIcon Glyph_Icon(const QPixmap& Strip, int NumGlyphs);

// ---------------------------------------------------------------------------
// Flat speed button; the repeat option makes it click again while held down:
// the first repeat 400 ms after the press, then every 100 ms, besides the
// ordinary click on release.
class TTimer_Button : public QToolButton {
    Q_OBJECT
public:
    enum : int { Opt_Focus_Rect = 1, Opt_Repeat = 2 };
    static constexpr int Repeat_Delay = 400;
    static constexpr int Repeat_Interval = 100;

    explicit TTimer_Button(QWidget* Parent = nullptr);

    int Options() const { return FOptions; }
    void Set_Options(int Value);
    // The focus rectangle (with Opt_Focus_Rect) is drawn while this is on.
    bool Focus_Shown() const { return FFocus_Shown; }
    void Set_Focus_Shown(bool Value);

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    int FOptions = 0;
    bool FFocus_Shown = false;
};

// ---------------------------------------------------------------------------
// An up and a down button, both repeating. A press on a half focuses
// FocusControl (or the spin control itself when it is a tab stop). With the
// focus: Space clicks the focused half, Up and Down arrows focus and click
// their half.
class TSpin_Buttons : public QWidget {
    Q_OBJECT
public:
    explicit TSpin_Buttons(QWidget* Parent = nullptr);

    TTimer_Button* Up_Button() const { return FUp; }
    TTimer_Button* Down_Button() const { return FDown; }
    // The half that has the focus (the up half at first).
    TTimer_Button* Focused_Button() const { return FFocused; }

    QWidget* FocusControl() const { return FFocusControl; }
    void Set_FocusControl(QWidget* Control) { FFocusControl = Control; }
    void Set_Up_Glyph(const QPixmap& Strip, int NumGlyphs = 2);
    void Set_Down_Glyph(const QPixmap& Strip, int NumGlyphs = 2);
    // False whenever the whole control is disabled; setting them then has no
    // effect.
    bool Enabled_Up() const;
    bool Enabled_Down() const;
    void Set_Enabled_Up(bool Value);
    void Set_Enabled_Down(bool Value);
    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void Set_TabStop(bool Value);

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

    QSize sizeHint() const override { return {19, 25}; }

protected:
    void resizeEvent(QResizeEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    void Lay_Out();
    void Half_Pressed(TTimer_Button* Half);
    void Set_Focused(TTimer_Button* Half);

    TTimer_Button* FUp;
    TTimer_Button* FDown;
    TTimer_Button* FFocused;
    QPointer<QWidget> FFocusControl;
};

// ---------------------------------------------------------------------------
// One button filling the control (at least 15 pixels wide); a press focuses
// FocusControl as TSpin_Buttons does, a click raises OnClick.
class TEdit_Button : public QWidget {
    Q_OBJECT
public:
    explicit TEdit_Button(QWidget* Parent = nullptr);

    TTimer_Button* Button() const { return FButton; }
    QWidget* FocusControl() const { return FFocusControl; }
    void Set_FocusControl(QWidget* Control) { FFocusControl = Control; }
    const QPixmap& Glyph() const { return FGlyph; }
    int NumGlyphs() const { return FNumGlyphs; }
    void Set_Glyph(const QPixmap& Strip);
    void Set_NumGlyphs(int Value);

    TNotifyEvent OnClick;

    QSize sizeHint() const override { return {19, 25}; }

protected:
    void resizeEvent(QResizeEvent* Event) override;

private:
    TTimer_Button* FButton;
    QPointer<QWidget> FFocusControl;
    QPixmap FGlyph;
    int FNumGlyphs = 1;
};

// ---------------------------------------------------------------------------
// The plain single-line edit box of the number field. Its owner listens
// through the hooks; OnKeyDown returns true when it consumed the key.
class TCustom_Edit : public QLineEdit {
    Q_OBJECT
public:
    explicit TCustom_Edit(QWidget* Parent = nullptr);

    std::function<void()> OnEnter;
    std::function<void()> OnExit;
    std::function<bool(QKeyEvent*)> OnKeyDown;

protected:
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
};

// ---------------------------------------------------------------------------
// Push button drawn by itself: the face filled with Color (Color_Down while
// pressed), glyph and caption placed by Layout, Margin and Spacing. An
// invalid QColor stands for the standard button face.
class TBtn_Clr : public QPushButton {
    Q_OBJECT
public:
    enum class TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose,
                             bkAbort, bkRetry, bkIgnore, bkAll };
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
