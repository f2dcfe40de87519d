#pragma once
// The progress window: a caption naming the work, a bar filling from left to
// right with the percentage written across it (yellow on blue over the filled
// part, black on white over the rest) and a Cancel button.
//
// Long work runs on the user-interface thread: feeding the window a new value
// repaints the bar and lets Qt process pending events, which is how Cancel is
// pressed while the caller's loop runs. A caller must therefore expect other
// handlers of the program to run inside Percent_Set. Repainting and event
// processing are throttled in time (at most once per Percent_Flush_Interval):
// the first value is always painted, later ones at the next flush, and every
// flush delivers the input that waits, Cancel included. The window is
// application-modal: while it is open, the program's other windows take no
// input, without being greyed out (which would repaint them twice a job).

#include <QElapsedTimer>
#include <QString>
#include <QWidget>

class QPushButton;
class QTimer;

namespace ZoPercent {
enum class Text { Cancel_Button, Count_ };
// 1: Russian, any other value: English.
void Set_Language(int Language);
// The entry in the current language; Russian until Set_Language says otherwise.
const QString& Get_Text(Text Entry);
}  // namespace ZoPercent

// Least time between two repaints with event processing by Percent_Set.
inline constexpr int Percent_Flush_Interval = 30;  // ms
// A window opened while another exists stands this far right of and below it.
inline constexpr int Percent_Offset_X = 8;
inline constexpr int Percent_Offset_Y = 20;
// Interval of the elapsed-time display.
inline constexpr int Percent_Clock_Interval = 250;  // ms

class TForm_Percent : public QWidget {
    Q_OBJECT
public:
    TForm_Percent();
    ~TForm_Percent() override;

    QPushButton* BitBtn_Cancel;
    const QRect Bevel_Bar{4, 4, 381, 21};

    // 2 once Cancel was pressed, 0 before.
    int Modal_Result = 0;
    // True from creation until Cancel is pressed.
    bool Running = true;

    // The text painted across the bar the last time, and its permyriad (-1:
    // nothing painted yet). For the tests and the program's own checks.
    const QString& Shown_Text() const { return Bar_Text; }
    int Shown_Permyriad() const { return Shown; }

protected:
    void paintEvent(QPaintEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;

private:
    friend void Percent_Set(TForm_Percent* Window, int Position, int Total);
    friend void Percent_Start_Clock(TForm_Percent* Window);
    friend void Percent_Close(TForm_Percent* Window);
    friend TForm_Percent* Percent_Last();

    void BitBtn_CancelClick();
    void TimerTimer();
    void Flush();
    void Paint_Bar(class QPainter& Painter, int Permyriad, const QString& Text);
    QString Clock_Text() const;

    int Own_Left = 0, Own_Top = 0;      // position at creation
    TForm_Percent* Previous = nullptr;  // the chain of open windows
    TForm_Percent* Next = nullptr;
    QElapsedTimer Start_Time;     // start of the elapsed-time display
    QTimer* Timer = nullptr;      // elapsed-time display, when it runs
    int Position = 0, Total = 1;  // last values given
    int Wanted = -1;              // permyriad of Position and Total
    int Shown = -1;               // permyriad last painted, -1: nothing painted
    QString Bar_Text;             // text last painted across the bar
    QElapsedTimer Last_Flush;     // time of the last repaint with event processing
    bool Flush_Pending = false;   // a value waits for the next flush
    bool Flushing = false;        // inside the event processing of a flush
};

// Creates and shows a window with Caption at position 0 of 1. The caller frees
// it when its work ends (delete or Percent_Close).
TForm_Percent* Percent_Open(const QString& Caption);
// The same, placed with Set_Window_Bounds at Left, Top before it is shown
// (NotSet centres in that direction), as the remembered position of the
// progress window asks.
TForm_Percent* Percent_Open(const QString& Caption, int Left, int Top);
// Shows Position of Total (0 % when Total is 0); repaints and processes
// pending events when the shown value, in hundredths of a percent, changes,
// and then hands the caller back a clean vector state (engine/VectorState.h).
void Percent_Set(TForm_Percent* Window, int Position, int Total);
// True once the window's Cancel button was pressed; false for nullptr.
bool Percent_Cancelled(const TForm_Percent* Window);
// From now until the next Percent_Set the bar shows the time elapsed since
// this call, updated every Percent_Clock_Interval.
void Percent_Start_Clock(TForm_Percent* Window);
// The most recently opened window that is still open, or nullptr.
TForm_Percent* Percent_Last();
void Percent_Set_Last(int Position, int Total);
bool Percent_Cancelled_Last();
void Percent_Close_Last();
// Frees Window when it is one of the open progress windows.
void Percent_Close(TForm_Percent* Window);
