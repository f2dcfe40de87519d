#pragma once
// Helpers of the control tests: a beep counter and an active test window.

#include "ZoCmpCtrl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

// Counts the beeps while it lives.
class TBeep_Counter {
public:
    TBeep_Counter() { FOld = Set_Beep_Hook([this] { ++Count; }); }
    ~TBeep_Counter() { Set_Beep_Hook(FOld); }
    TBeep_Counter(const TBeep_Counter&) = delete;
    TBeep_Counter& operator=(const TBeep_Counter&) = delete;
    int Count = 0;

private:
    std::function<void()> FOld;
};

// Shows a top-level widget and makes it the active window, so that focus
// changes behave as on a desktop.
inline bool Show_Active(QWidget& Window)
{
    Window.show();
    QApplication::setActiveWindow(&Window);
    Window.activateWindow();
    return QTest::qWaitForWindowActive(&Window);
}

// Types any text, Cyrillic included, one character at a time.
inline void Type_Text(QWidget* Target, const QString& Text)
{
    for (QChar C : Text)
        QTest::sendKeyEvent(QTest::Click, Target, Qt::Key_unknown, QString(C), Qt::NoModifier);
}

// Processes events until Done() holds or Timeout_Ms passes.
inline bool Wait_For(const std::function<bool()>& Done, int Timeout_Ms = 3000)
{
    QElapsedTimer Timer;
    Timer.start();
    while (!Done()) {
        if (Timer.elapsed() > Timeout_Ms)
            return false;
        QTest::qWait(2);
    }
    return true;
}
