#pragma once
// The up and down buttons at the right end of the number field.

#include "controls/NotifyEvent.h"
#include "controls/TimerButton.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

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
