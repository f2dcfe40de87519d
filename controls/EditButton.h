#pragma once
// The single button at the right end of an edit field (the calculator button
// of the number field).

#include "controls/NotifyEvent.h"
#include "controls/TimerButton.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

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
