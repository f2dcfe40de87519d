#pragma once
// Helpers for tests that drive real Qt widgets on the offscreen platform:
// answering a modal dialog from a timer, pressing keys and reading pixels.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace QtHelpers {

// Runs Action on the first visible modal window other than Not_This, once it
// is active (polled every 5 ms). Call it before the code that opens the window.
// No window within Timeout_Ms, or the window still open 3 s after Action: the
// test fails (and the window is closed), so a broken dialog never hangs the tests.
inline void When_Modal(std::function<void(QWidget*)> Action, QWidget* Not_This = nullptr,
                       int Timeout_Ms = 3000)
{
    auto* Poll = new QTimer(qApp);
    auto Clock = std::make_shared<QElapsedTimer>();
    Clock->start();
    QPointer<QWidget> Skip(Not_This);
    QObject::connect(Poll, &QTimer::timeout, Poll, [=] {
        QWidget* W = QApplication::activeModalWidget();
        const bool Found = W && W->isVisible() && W != Skip.data();
        // A moment to become active, so that keys reach its focus widget.
        const bool Ready = Found && (QApplication::activeWindow() == W || Clock->elapsed() > 200);
        if (!Ready && Clock->elapsed() < Timeout_Ms)
            return;
        Poll->stop();
        Poll->deleteLater();
        if (!Found) {
            ADD_FAILURE() << "no modal window appeared";
            return;
        }
        QTimer::singleShot(3000, qApp, [Target = QPointer<QWidget>(W)] {
            if (Target && Target->isVisible()) {
                ADD_FAILURE() << "modal window left open: " << Target->windowTitle().toStdString();
                Target->close();
            }
        });
        Action(W);
    });
    Poll->start(5);
}

// The widget that receives keys typed into Window.
inline QWidget* Key_Target(QWidget* Window)
{
    QWidget* F = Window->focusWidget();
    return F ? F : Window;
}

inline void Press_Key(QWidget* Window, Qt::Key Key,
                      Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
{
    QTest::keyClick(Key_Target(Window), Key, Modifiers);
}

// Widget Name of type T inside Window (nullptr when there is none).
template <class T> T* Child(QWidget* Window, const char* Name)
{
    return Window ? Window->findChild<T*>(QString::fromLatin1(Name)) : nullptr;
}

// The widget as painted, one image pixel per widget pixel.
inline QImage Grab(QWidget* W)
{
    QPixmap P = W->grab();
    P.setDevicePixelRatio(1);
    return P.toImage().convertToFormat(QImage::Format_RGB32);
}

// Pixels in Rect of Image for which Test holds.
inline int Count_Pixels(const QImage& Image, const QRect& Rect,
                        const std::function<bool(QColor)>& Test)
{
    int N = 0;
    for (int Y = Rect.top(); Y <= Rect.bottom(); ++Y)
        for (int X = Rect.left(); X <= Rect.right(); ++X)
            N += Test(Image.pixelColor(X, Y));
    return N;
}

// Colour classes with room for antialiased edges.
inline bool Is_Yellowish(QColor C)
{
    return C.red() > 180 && C.green() > 180 && C.blue() < 110;
}
inline bool Is_Blackish(QColor C)
{
    return C.red() < 90 && C.green() < 90 && C.blue() < 90;
}
inline bool Is_Blue(QColor C)
{
    return C == QColor(0, 0, 255);
}
inline bool Is_White(QColor C)
{
    return C == QColor(255, 255, 255);
}

#ifdef HYD_SCREENSHOT_DIR
// The folder the GUI tests write their pictures into, made when missing.
inline QString Screenshot_Folder()
{
    const QString Folder = QStringLiteral(HYD_SCREENSHOT_DIR);
    QDir().mkpath(Folder);
    return Folder;
}
#endif

// Processes events for Ms milliseconds.
inline void Wait(int Ms)
{
    QTest::qWait(Ms);
}

}  // namespace QtHelpers
