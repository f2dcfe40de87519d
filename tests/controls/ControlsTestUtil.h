#pragma once
// Helpers of the control tests: a beep counter and an active test window.

#include "controls/Beep.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

// Counts the beeps while it lives.
struct TBeep_Counter {
    TBeep_Counter()
    {
        FOld = Set_Beep_Hook([this] { ++Count; });
    }
    ~TBeep_Counter() { Set_Beep_Hook(FOld); }
    TBeep_Counter(const TBeep_Counter&) = delete;
    TBeep_Counter& operator=(const TBeep_Counter&) = delete;
    int Count = 0;
    std::function<void()> FOld;
};

// Shows a top-level widget as the active window, so that focus changes
// behave as on a desktop.
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
    for (; !Done(); QTest::qWait(2))
        if (Timer.elapsed() > Timeout_Ms)
            return false;
    return true;
}
