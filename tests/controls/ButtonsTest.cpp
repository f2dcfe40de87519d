// The buttons: spin and edit buttons of the number field and the colour
// button, driven through real key presses and mouse clicks.

#include "controls/ColorButton.h"
#include "controls/EditButton.h"
#include "controls/SpinButtons.h"
#include "tests/controls/ControlsTestUtil.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>

#include <cstddef>
#include <vector>

TEST(SpinButtons, HoldingRepeatsAfter400msThenEvery100msAndClicksOnRelease)
{
    TSpin_Buttons Spin;
    // When each click came, counted from before the press: a busy machine
    // can only make a click later than its schedule, never earlier.
    QElapsedTimer Held;
    std::vector<qint64> Clicks;
    Spin.OnUpClick = [&](QObject*) { Clicks.push_back(Held.elapsed()); };
    ASSERT_TRUE(Show_Active(Spin));

    Held.start();
    QTest::mousePress(Spin.Up_Button(), Qt::LeftButton);
    EXPECT_TRUE(Clicks.empty()) << "a press alone does not click";
    ASSERT_TRUE(Wait_For([&] { return Clicks.size() >= 4; }, 20000));
    // Repeat i + 1 comes no sooner than the delay and i intervals after the
    // press, less the 5 % by which a coarse timer may fire early.
    for (std::size_t i = 0; i < Clicks.size(); ++i) {
        const double Due =
            TTimer_Button::Repeat_Delay + static_cast<double>(i) * TTimer_Button::Repeat_Interval;
        EXPECT_GE(Clicks[i], 0.95 * Due - 1) << "repeat " << i + 1;
    }
    const std::size_t Before_Release = Clicks.size();
    QTest::mouseRelease(Spin.Up_Button(), Qt::LeftButton);
    EXPECT_EQ(Clicks.size(), Before_Release + 1) << "the release clicks once more";
    QTest::qWait(TTimer_Button::Repeat_Delay);
    EXPECT_EQ(Clicks.size(), Before_Release + 1) << "no repeats after the release";
}

TEST(SpinButtons, ArrowKeysClickTheirHalfAndDisablingDisablesBoth)
{
    TSpin_Buttons Spin;
    int Ups = 0, Downs = 0;
    Spin.OnUpClick = [&](QObject*) { ++Ups; };
    Spin.OnDownClick = [&](QObject*) { ++Downs; };
    ASSERT_TRUE(Show_Active(Spin));
    Spin.setFocus();
    QTest::keyClick(&Spin, Qt::Key_Down);
    QTest::keyClick(&Spin, Qt::Key_Up);
    EXPECT_TRUE(Spin.Up_Button()->Focus_Shown() && !Spin.Down_Button()->Focus_Shown());
    QTest::keyClick(&Spin, Qt::Key_Space);  // clicks the focused half
    EXPECT_EQ(Ups, 2);
    EXPECT_EQ(Downs, 1);

    Spin.Set_Enabled_Up(false);
    EXPECT_TRUE(Spin.Enabled_Down());
    Spin.setEnabled(false);
    EXPECT_FALSE(Spin.Enabled_Down());
    Spin.Set_Enabled_Down(true);
    EXPECT_FALSE(Spin.Enabled_Down()) << "no effect while disabled";
    Spin.setEnabled(true);
    EXPECT_TRUE(Spin.Enabled_Up() && Spin.Enabled_Down()) << "enabling enables both halves";
}

TEST(SpinButtons, ButtonsFocusTheirFocusControl)
{
    QWidget Host;
    auto* Edit = new QLineEdit(&Host);
    auto* Other = new QLineEdit(&Host);
    auto* Spin = new TSpin_Buttons(&Host);
    auto* Button = new TEdit_Button(&Host);
    Other->move(0, 30);
    Spin->move(0, 60);
    Button->move(0, 90);
    Spin->Set_FocusControl(Edit);
    Button->Set_FocusControl(Edit);
    int Clicks = 0;
    Button->OnClick = [&](QObject*) { ++Clicks; };
    ASSERT_TRUE(Show_Active(Host));
    for (TTimer_Button* Pressed : {Spin->Down_Button(), Button->Button()}) {
        Other->setFocus();
        QTest::mouseClick(Pressed, Qt::LeftButton);
        EXPECT_TRUE(Edit->hasFocus());
    }
    EXPECT_EQ(Spin->Focused_Button(), Spin->Down_Button());
    EXPECT_EQ(Clicks, 1);
}

TEST(BtnClr, KindsGiveCaptionGlyphAndResult)
{
    using K = TBtn_Clr::TBitBtnKind;
    const struct {
        K Kind;
        const char* Caption;
        const char* Glyph;
        int Result;
    } Rows[] = {
        {K::bkOK, "OK", "BCOK", 1},
        {K::bkCancel, "&Отмена", "BCCANCEL", 2},
        {K::bkHelp, "&Помощь", "BCHELP", 0},
        {K::bkYes, "&Да", "BCYES", 6},
        {K::bkNo, "&Нет", "BCNO", 7},
        {K::bkClose, "&Закрыть", "BCCLOSE", 0},
        {K::bkAbort, "&Прервать", "BCABORT", 3},
        {K::bkRetry, "&Повтор", "BCRETRY", 4},
        {K::bkIgnore, "&Игнорировать", "BCIGNORE", 5},
        {K::bkAll, "&Все", "BCALL", 8},
    };
    for (const auto& Row : Rows) {
        SCOPED_TRACE(Row.Glyph);
        TBtn_Clr Button;
        Button.Set_Kind(Row.Kind);
        EXPECT_EQ(Button.text(), QString::fromUtf8(Row.Caption));
        EXPECT_EQ(Button.Glyph_Name(), QString(Row.Glyph));
        EXPECT_FALSE(Button.Glyph().isNull());
        EXPECT_EQ(Button.ModalResult(), Row.Result);
    }
    TBtn_Clr Custom;
    Custom.setText("Своя");
    Custom.Set_Kind(K::bkCustom);
    EXPECT_EQ(Custom.text(), "Своя") << "custom keeps the caption as set";
    EXPECT_EQ(Custom.ModalResult(), 0);

    QDialog Dialog;  // the result closes the dialog
    auto* No = new TBtn_Clr(&Dialog);
    No->Set_Kind(K::bkNo);
    QTimer::singleShot(0, No, [No] { QTest::mouseClick(No, Qt::LeftButton); });
    EXPECT_EQ(Dialog.exec(), 7);

    // The face is painted with Color, and with Color_Down while pressed.
    Custom.resize(120, 30);
    Custom.Set_Color(QColor(255, 0, 0));
    Custom.Set_Color_Down(QColor(0, 0, 255));
    auto Face = [&] { return Custom.grab().toImage().pixelColor(6, 6); };
    EXPECT_EQ(Face(), QColor(255, 0, 0));
    Custom.setDown(true);
    EXPECT_EQ(Face(), QColor(0, 0, 255));
    Custom.setDown(false);
    Custom.Set_Color(QColor());
    EXPECT_EQ(Face(), Custom.palette().color(QPalette::Button)) << "invalid colour: standard face";
}
