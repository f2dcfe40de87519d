#pragma once
// The flat button of the spin and edit button controls.

#include <QToolButton>

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

// A press on a button of a spin or edit button control: the control named as
// focus target takes the focus; without one the control itself does when it
// is a tab stop.
void Focus_After_Press(QWidget* Self, QWidget* Focus_Control);
