// The engine's link to the user in the desktop program: a real progress
// window and the real message dialog, end to end through TCalc::Run.

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "dialogs/MessageDialog.h"
#include "dialogs/ProgressWindow.h"
#include "dialogs/QtUserLink.h"
#include "dialogs/WindowPlace.h"
#include "engine/Calc.h"
#include "engine/UserLink.h"
#include "tests/QtHelpers.h"

using namespace QtHelpers;

namespace {

// Installs the Qt link and a remembered progress position for one test.
struct TLinked {
    TQtUserLink Link;
    int Old_Left = PercentLeft, Old_Top = PercentTop;
    TLinked(int Left, int Top) { PercentLeft = Left, PercentTop = Top, SetUserLink(&Link); }
    ~TLinked() { SetUserLink(nullptr), PercentLeft = Old_Left, PercentTop = Old_Top; }
};

// Water in a 50 mm pipe, 100 m long, pushed by 1 bar.
void Water_Case(TCalc& Calc, int Steps, double Density = 1000)
{
    Calc.SetParams(Steps, 0.001, 1e5, 0.5, 1, 0, Density, 0.001, 4.6e-10, 0.05, 100, 0.003, 1e-5,
                   2e11);
}

// The text of the message dialog that Action opens, answered with Key.
template <class F> QString Answered_Text(F Action, Qt::Key Key)
{
    QString Text;
    When_Modal([&](QWidget* W) {
        Text = qobject_cast<TForm_Dialog*>(W)->Label_Text->text();
        Press_Key(W, Key);
    });
    Action();
    return Text;
}

}  // namespace

TEST(QtUserLink, ProgressWindowOpensAtTheRememberedPlaceAndCountsAsAJob)
{
    TLinked L(120, 140);
    QSignalSpy Spy(&TJob_State::Instance(), &TJob_State::Running_Changed);
    {
        auto Progress = UserLink().Percent_Open("Генерация отчёта...");
        TForm_Percent* W = Percent_Last();
        ASSERT_NE(W, nullptr);
        EXPECT_EQ(W->windowTitle(), QStringLiteral("Генерация отчёта..."));
        EXPECT_EQ(W->pos(), QPoint(120, 140));
        EXPECT_EQ(Job_Running(), 1);

        // The user moves it.
        W->move(130, 200);

        QTest::mouseClick(W->BitBtn_Cancel, Qt::LeftButton);
        EXPECT_TRUE(Progress->Percent_Cancelled());
    }
    // Freed with its handle, its place remembered for the next one; the job is over.
    EXPECT_EQ(Percent_Last(), nullptr);
    EXPECT_EQ(QPoint(PercentLeft, PercentTop), QPoint(130, 200));
    EXPECT_EQ(Job_Running(), 0);
    EXPECT_EQ(Spy.count(), 2);

    // Guards nest: one signal at the first start and one at the last end.
    Spy.clear();
    {
        TJobGuard A;
        TJobGuard B;
        EXPECT_EQ(Job_Running(), 2);
    }
    EXPECT_EQ(Spy.count(), 2);
}

TEST(QtUserLink, HandleSurvivesItsWindowBeingClosedElsewhere)
{
    TLinked L(5, 6);
    {
        auto Progress = UserLink().Percent_Open("x");
        Percent_Close_Last();
        Progress->Percent_Set(1, 2);
        EXPECT_FALSE(Progress->Percent_Cancelled());
    }
    EXPECT_EQ(QPoint(PercentLeft, PercentTop), QPoint(5, 6));  // nothing to remember
}

// The error dialog is seen through a failed run below.
TEST(QtUserLink, WarningGoesToTheDialog)
{
    TLinked L(NotSet, NotSet);
    EXPECT_EQ(Answered_Text([] { UserLink().Dialog_Warning("Расчёт прерван"); }, Qt::Key_Escape),
              QStringLiteral("Расчёт прерван!"));
}

TEST(QtUserLink, RunCancelledInItsWindowAndPositionKept)
{
    TLinked L(150, NotSet);
    TCalc Calc;
    Water_Case(Calc, 20000);
    // The first repaint of the window lets this click through, while Run goes on.
    int Jobs_During = -1;
    QPoint Where;
    QTimer::singleShot(0, [&] {
        if (TForm_Percent* W = Percent_Last()) {
            Jobs_During = Job_Running();
            Where = W->pos();
            QTest::mouseClick(W->BitBtn_Cancel, Qt::LeftButton);
        }
    });
    EXPECT_FALSE(Calc.Run(0));
    EXPECT_EQ(Calc.Count, 20000);  // cancelling does not stop the steps
    EXPECT_EQ(Jobs_During, 1);
    // Opened at the remembered left, centred vertically; that place is remembered
    // (centring knows the frame only once the window is shown: within its width).
    EXPECT_EQ(QPoint(Where.x(), PercentLeft), QPoint(150, 150));
    EXPECT_NEAR(PercentTop, Where.y(), 4);
    EXPECT_NEAR(PercentTop, Screen_Area_Of(nullptr).center().y() - 30, 4);
    EXPECT_EQ(Percent_Last(), nullptr);
    EXPECT_EQ(Job_Running(), 0);

    // Not cancelled: a good run.
    EXPECT_TRUE(Calc.Run(0));
}

TEST(QtUserLink, FailedRunShowsTheErrorDialog)
{
    TLinked L(NotSet, NotSet);
    TCalc Calc;
    Water_Case(Calc, 100, 0);  // no density: the first step fails
    EXPECT_EQ(Answered_Text([&] { EXPECT_FALSE(Calc.Run(0)); }, Qt::Key_Return),
              QStringLiteral("Ошибка выполнения расчётов!!"));
    EXPECT_EQ(Percent_Last(), nullptr);
}
