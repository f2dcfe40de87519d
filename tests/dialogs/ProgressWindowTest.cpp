// The progress window: the painted bar and its text, Cancel while a loop
// runs, the chain of windows and its placement, the clock.

#include <QElapsedTimer>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

#include "dialogs/ProgressWindow.h"
#include "dialogs/WindowPlace.h"
#include "tests/QtHelpers.h"

using namespace QtHelpers;

namespace {

// Frees the window at the end of a test, whatever happened.
struct TOpen {
    TForm_Percent* W;
    explicit TOpen(const QString& Caption = QStringLiteral("Выполнение расчёта..."))
        : W(Percent_Open(Caption))
    {}
    ~TOpen() { Percent_Close(W); }
};

// Counts paint events of a widget.
struct TPaint_Counter : QObject {
    int Paints = 0;
    bool eventFilter(QObject*, QEvent* E) override
    {
        return Paints += E->type() == QEvent::Paint, false;
    }
};

// Sets a value after the throttle interval and lets the deferred paint happen.
QString Shown_After(TForm_Percent* W, int Done, int Total)
{
    Wait(Percent_Flush_Interval + 10);
    Percent_Set(W, Done, Total);
    Wait(Percent_Flush_Interval + 10);
    return W->Shown_Text();
}

}  // namespace

TEST(Percent, OpensCentredAtZeroAndRoundsToWholePercent)
{
    ZoPercent::Set_Language(2);  // the language table names the cancel button
    TOpen English;
    ZoPercent::Set_Language(1);
    EXPECT_EQ(English.W->BitBtn_Cancel->text(), QStringLiteral("&Cancel"));
    // The first window of the chain stands in the middle of the screen.
    EXPECT_NEAR(English.W->frameGeometry().center().x(), Screen_Area_Of(nullptr).center().x(), 4);

    TOpen P;
    EXPECT_EQ(P.W->BitBtn_Cancel->text(), QStringLiteral("&Отмена"));
    EXPECT_EQ(P.W->windowTitle(), QStringLiteral("Выполнение расчёта..."));
    EXPECT_EQ(P.W->Shown_Text(), QStringLiteral("0%"));
    EXPECT_FALSE(Percent_Cancelled(P.W));

    EXPECT_EQ(Shown_After(P.W, 1, 3), QStringLiteral("33%"));
    EXPECT_EQ(P.W->Shown_Permyriad(), 3333);
    EXPECT_EQ(Shown_After(P.W, 5, 0), QStringLiteral("0%"));  // no total
    EXPECT_EQ(Shown_After(P.W, 3, 3), QStringLiteral("100%"));
}

TEST(Percent, SameValueNeitherPaintsNorProcessesEvents)
{
    TOpen P;
    Shown_After(P.W, 10, 100);
    TPaint_Counter Counter;
    P.W->installEventFilter(&Counter);
    bool Delivered = false;
    QTimer::singleShot(0, [&] { Delivered = true; });
    Percent_Set(P.W, 10, 100);
    Percent_Set(P.W, 100, 1000);  // the same permyriad
    EXPECT_EQ(Counter.Paints, 0);
    EXPECT_FALSE(Delivered);
    // A new value after the interval paints at once and lets the event through.
    Percent_Set(P.W, 11, 100);
    EXPECT_EQ(Counter.Paints, 1);
    EXPECT_TRUE(Delivered);
    P.W->removeEventFilter(&Counter);
}

TEST(Percent, HalfBarIsYellowOnBlueThenBlackOnWhite)
{
    TOpen P;
    Percent_Set(P.W, 1, 2);
    const QImage Image = Grab(P.W);
    const QRect Bar = P.W->Bevel_Bar.adjusted(2, 2, -2, -2);  // the painted inside
    const int Middle = Bar.left() + 189;                      // round(0.5 × 377)
    const QRect Left(Bar.left(), Bar.top(), Middle - Bar.left() - 1, Bar.height());
    const QRect Right(Middle + 1, Bar.top(), Bar.right() - Middle, Bar.height());

    // Away from the text the halves are plain blue and plain white.
    EXPECT_TRUE(Is_Blue(Image.pixelColor(Bar.left() + 2, Bar.top() + 2)));
    EXPECT_TRUE(Is_White(Image.pixelColor(Bar.right() - 2, Bar.top() + 2)));
    // "50%" straddles the boundary: yellow over blue, black over white, never mixed up.
    EXPECT_GT(Count_Pixels(Image, Left, Is_Yellowish), 5);
    EXPECT_GT(Count_Pixels(Image, Right, Is_Blackish), 5);
    EXPECT_EQ(Count_Pixels(Image, Left, Is_Blackish), 0);
    EXPECT_EQ(Count_Pixels(Image, Right, Is_Yellowish), 0);
    EXPECT_EQ(Count_Pixels(Image, Left, Is_White), 0);
    EXPECT_EQ(Count_Pixels(Image, Right, Is_Blue), 0);
}

TEST(Percent, CancelAndEscHideAndStayCancelled)
{
    TOpen P;
    QTest::mouseClick(P.W->BitBtn_Cancel, Qt::LeftButton);
    EXPECT_FALSE(P.W->isVisible());
    EXPECT_TRUE(Percent_Cancelled(P.W));
    Shown_After(P.W, 7, 10);
    EXPECT_TRUE(Percent_Cancelled(P.W));
    EXPECT_TRUE(Percent_Cancelled_Last());

    TOpen Q;
    Press_Key(Q.W, Qt::Key_Escape);
    EXPECT_TRUE(Percent_Cancelled(Q.W));
}

TEST(Percent, CancelReachesARunningLoop)
{
    TOpen P;
    // The click arrives while the loop below runs; only Percent_Set lets it in.
    QTimer::singleShot(60, P.W->BitBtn_Cancel,
                       [B = P.W->BitBtn_Cancel] { QTest::mouseClick(B, Qt::LeftButton); });
    QElapsedTimer Clock;
    Clock.start();
    for (int Step = 1; !Percent_Cancelled(P.W) && Clock.elapsed() < 3000; ++Step)
        Percent_Set(P.W, Step % 1000000, 1000000);
    EXPECT_TRUE(Percent_Cancelled(P.W));
    EXPECT_LT(Clock.elapsed(), 1000);
    EXPECT_FALSE(P.W->isVisible());
}

TEST(Percent, WindowsChainStandApartAndWrapAtTheEdge)
{
    const QRect S = Screen_Area_Of(nullptr);
    TOpen A(QStringLiteral("A"));
    const QPoint Created = A.W->pos();
    A.W->move(S.topLeft());  // moved by the program: the next still follows the creation position
    TOpen B(QStringLiteral("B"));
    EXPECT_EQ(B.W->pos() - Created, QPoint(8, 20));
    EXPECT_EQ(Percent_Last(), B.W);

    // The last window takes the values; closing it leaves the one before.
    Wait(Percent_Flush_Interval + 10);
    Percent_Set_Last(1, 4);
    Wait(Percent_Flush_Interval + 10);
    EXPECT_EQ(B.W->Shown_Text(), QStringLiteral("25%"));
    Percent_Close_Last();
    B.W = nullptr;
    EXPECT_EQ(Percent_Last(), A.W);

    // Stepping 20 down at a time, the chain reaches the bottom and starts again at the top.
    std::vector<std::unique_ptr<TOpen>> More;
    bool Wrapped = false;
    for (int I = 0; I < 40; ++I) {
        More.push_back(std::make_unique<TOpen>(QStringLiteral("C")));
        const QRect F(More.back()->W->pos(), More.back()->W->frameGeometry().size());
        EXPECT_TRUE(S.contains(F));
        Wrapped = Wrapped || F.top() == S.top();
    }
    EXPECT_TRUE(Wrapped);
    More.clear();

    // Nothing open: nothing happens.
    Percent_Close_Last();
    A.W = nullptr;
    EXPECT_EQ(Percent_Last(), nullptr);
    EXPECT_FALSE(Percent_Cancelled_Last());
    Percent_Set_Last(1, 2);
    Percent_Close_Last();
    Percent_Close(nullptr);
}

TEST(Percent, ClockShowsElapsedTimeUntilTheNextValue)
{
    TOpen P;
    Percent_Start_Clock(P.W);
    Wait(Percent_Clock_Interval + 60);
    EXPECT_TRUE(P.W->Shown_Text().contains(QLatin1Char(':'))) << P.W->Shown_Text().toStdString();
    // The same value as before: the percentage takes over anyway, and stays.
    EXPECT_EQ(Shown_After(P.W, 0, 1), QStringLiteral("0%"));
    Wait(Percent_Clock_Interval + 60);
    EXPECT_EQ(P.W->Shown_Text(), QStringLiteral("0%"));
}
