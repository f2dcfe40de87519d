// Window placement: centring, keeping windows on the screen, the loose rule
// for windows that may stand partly off it, and the placement of neighbours.

#include <QDialog>
#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

#include "dialogs/WindowPlace.h"
#include "engine/UserLink.h"
#include "tests/QtHelpers.h"

namespace {

// A shown top-level window of Width × Height client pixels.
std::unique_ptr<QDialog> Window(int Width = 300, int Height = 200)
{
    auto W = std::make_unique<QDialog>();
    W->resize(Width, Height);
    W->move(10, 10);
    W->show();
    QtHelpers::Wait(1);
    return W;
}

QRect Frame(const QWidget& W)
{
    return QRect(W.pos(), W.frameGeometry().size());
}

}  // namespace

TEST(Place, SetWindowBoundsCentresKeepsAndPullsOnScreen)
{
    const QRect S = Screen_Area_Of(nullptr);
    auto W = Window();
    // NotSet centres on its axis; the other coordinate and sizes of NotSet or 0 are kept.
    Set_Window_Bounds(W.get(), NotSet, 100, NotSet, NotSet);
    EXPECT_NEAR(Frame(*W).center().x(), S.center().x(), 1);
    EXPECT_EQ(W->y(), 100);
    Set_Window_Bounds(W.get(), NotSet, NotSet, 400, 0);
    EXPECT_EQ(W->size(), QSize(400, 200));
    EXPECT_NEAR(Frame(*W).center().y(), S.center().y(), 1);

    // Past the right and bottom edges: pulled back so that the edges are on screen.
    Set_Window_Bounds(W.get(), S.right() - 50, S.bottom() + 500, NotSet, NotSet);
    EXPECT_EQ(Frame(*W).bottomRight(), S.bottomRight());
    Set_Window_Bounds(W.get(), -500, -1, NotSet, NotSet);
    EXPECT_EQ(W->pos(), S.topLeft());
    // Extreme stored values neither overflow nor leave the screen.
    Set_Window_Bounds(W.get(), INT_MAX, INT_MIN, NotSet, NotSet);
    EXPECT_TRUE(S.contains(Frame(*W)));
    // A window wider than the screen keeps its left edge on it.
    Set_Window_Bounds(W.get(), 50, 50, S.width() + 200, 100);
    EXPECT_EQ(W->x(), S.left());
}

TEST(Place, GetWindowBoundsRoundTripsAndSkipsMaximised)
{
    auto W = Window();
    Set_Window_Bounds(W.get(), 120, 130, 250, 150);
    int L = 0, T = 0, Wd = 0, H = 0;
    Get_Window_Bounds(W.get(), L, T, Wd, H);
    EXPECT_EQ(QRect(L, T, Wd, H), QRect(120, 130, 250, 150));
    // Setting what was read puts the window back exactly.
    Set_Window_Bounds(W.get(), 0, 0, 100, 100);
    Set_Window_Bounds(W.get(), L, T, Wd, H);
    EXPECT_EQ(QRect(Frame(*W).topLeft(), W->size()), QRect(120, 130, 250, 150));

    // A maximised window and no window leave the values alone.
    W->setWindowState(Qt::WindowMaximized);
    L = T = Wd = H = -7;
    Get_Window_Bounds(W.get(), L, T, Wd, H);
    Get_Window_Bounds(nullptr, L, T, Wd, H);
    EXPECT_EQ(QRect(L, T, Wd, H), QRect(-7, -7, -7, -7));
}

TEST(Place, LooseBoundsKeepWindowsReachable)
{
    const QRect S = Screen_Area_Of(nullptr);
    auto W = Window(300, 200);
    const int M = std::max(2 * (W->frameGeometry().height() - W->height()), 32);

    // Partly off the screen is allowed...
    Set_Window_Bounds_Loose(W.get(), S.right() - 100, -50, NotSet, NotSet);
    EXPECT_EQ(W->pos(), QPoint(S.right() - 100, -50));
    // ...but M pixels stay reachable at the right and bottom,
    Set_Window_Bounds_Loose(W.get(), S.right() + 1000, S.bottom() + 1000, NotSet, NotSet);
    EXPECT_EQ(W->pos(), S.topLeft() + QPoint(S.width() - M, S.height() - M));
    // and a window far off at the left or top comes back.
    Set_Window_Bounds_Loose(W.get(), -5000, -5000, NotSet, NotSet);
    EXPECT_GE(Frame(*W).right(), S.left() + M - 1);
    EXPECT_GE(Frame(*W).bottom(), S.top() + M - 1);
    // A window narrower than M stays wholly reachable too.
    W->setMinimumSize(1, 1);
    Set_Window_Bounds_Loose(W.get(), -5000, -5000, 10, 10);
    EXPECT_TRUE(S.contains(Frame(*W))) << Frame(*W).x() << "," << Frame(*W).y();
    // NotSet centres.
    Set_Window_Bounds_Loose(W.get(), NotSet, NotSet, 300, 200);
    EXPECT_LE((Frame(*W).center() - S.center()).manhattanLength(), 2);
}

TEST(Place, RightOfNarrowsTheSecondControl)
{
    QWidget Parent;
    QLabel A(&Parent), B(&Parent);
    A.setGeometry(10, 10, 100, 20);
    const struct {
        QRect Before, After;
    } Cases[] = {
        {{60, 10, 200, 20}, {114, 10, 146, 20}},  // overlaps A: right edge 259 kept
        {{200, 10, 50, 20}, {200, 10, 50, 20}},   // far enough away: unchanged
        {{0, 10, 50, 20}, {114, 10, 8, 20}},      // never narrower than 8 pixels
    };
    for (const auto& C : Cases) {
        B.setGeometry(C.Before);
        Place_Right_Of(&A, &B);
        EXPECT_EQ(B.geometry(), C.After);
    }
}

TEST(Place, AtClientOffsetsByTheFrameAndStaysOnScreen)
{
    const QRect S = Screen_Area_Of(nullptr);
    auto Form = Window(300, 200);
    auto Other = Window(100, 80);
    Form->move(100, 150);
    const int Extra = Form->frameGeometry().height() - Form->height();
    Place_At_Client(Form.get(), Other.get());
    EXPECT_EQ(Other->pos(), QPoint(100 + Extra, 150 + Extra));

    Form->move(S.right() - 20, S.bottom() - 20);
    Place_At_Client(Form.get(), Other.get());
    EXPECT_EQ(Frame(*Other).bottomRight(), S.bottomRight());
}
