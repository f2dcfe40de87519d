// Buttons of the number field and the number field itself, driven through
// real key presses, mouse clicks and focus changes.

#include "tests/controls/ControlsTestUtil.h"
#include "text/NumberText.h"
#include "controls/Buttons.h"
#include "controls/NumberEdit.h"

#include <QDialog>
#include <QLineEdit>
#include <QTimer>

#include <cmath>

TEST(SpinButtons, HoldingRepeatsAfter400msThenEvery100msAndClicksOnRelease)
{
    TSpin_Buttons Spin;
    int Ups = 0;
    Spin.OnUpClick = [&](QObject*) { ++Ups; };
    ASSERT_TRUE(Show_Active(Spin));

    QElapsedTimer Held;
    QTest::mousePress(Spin.Up_Button(), Qt::LeftButton);
    Held.start();
    QTest::qWait(300);
    EXPECT_EQ(Ups, 0) << "no repeat before 400 ms";
    ASSERT_TRUE(Wait_For([&] { return Ups >= 1; }));
    const qint64 First = Held.elapsed();
    EXPECT_GE(First, 370);
    ASSERT_TRUE(Wait_For([&] { return Ups >= 4; }));
    EXPECT_GE(Held.elapsed() - First, 270) << "three repeats take about 300 ms";
    const int Before_Release = Ups;
    QTest::mouseRelease(Spin.Up_Button(), Qt::LeftButton);
    QTest::qWait(250);
    EXPECT_EQ(Ups, Before_Release + 1) << "release clicks once more, then no repeats";
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
    QTest::keyClick(&Spin, Qt::Key_Space);   // clicks the focused half
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
    const struct { K Kind; const char* Caption; const char* Glyph; int Result; } Rows[] = {
        {K::bkOK, "OK", "BCOK", 1},          {K::bkCancel, "&Отмена", "BCCANCEL", 2},
        {K::bkHelp, "&Помощь", "BCHELP", 0}, {K::bkYes, "&Да", "BCYES", 6},
        {K::bkNo, "&Нет", "BCNO", 7},        {K::bkClose, "&Закрыть", "BCCLOSE", 0},
        {K::bkAbort, "&Прервать", "BCABORT", 3}, {K::bkRetry, "&Повтор", "BCRETRY", 4},
        {K::bkIgnore, "&Игнорировать", "BCIGNORE", 5}, {K::bkAll, "&Все", "BCALL", 8},
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

    QDialog Dialog;   // the result closes the dialog
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

namespace {
// A window with a number field and a second edit box to move the focus to.
class EditNum : public ::testing::Test {
protected:
    EditNum()
    {
        Host.resize(220, 80);
        Other->move(0, 40);
        Field->OnChange = [this](QObject*) {
            ++Changes;
            Reported = Field->Stored_Value();
        };
    }
    QLineEdit* Box() const { return Field->Inner_Edit(); }
    TSpin_Buttons* Spin() const { return Field->Spin_Buttons(); }
    void Limit(double Min, double Max) { Field->Set_MinValue(Min); Field->Set_MaxValue(Max); }
    // Shows the window and focuses the field with its text selected, as a
    // Tab into it does.
    void Enter()
    {
        if (!Host.isVisible()) {
            ASSERT_TRUE(Show_Active(Host));
        }
        Box()->setFocus(Qt::TabFocusReason);
        Box()->selectAll();
    }
    void Leave() { Other->setFocus(Qt::TabFocusReason); }

    TBeep_Counter Beeps;
    QWidget Host;
    TEdit_Num* Field = new TEdit_Num(&Host);
    QLineEdit* Other = new QLineEdit(&Host);
    int Changes = 0;
    double Reported = 0;
};
}  // namespace

TEST_F(EditNum, TypedNumberIsClampedAndReportedOnceWhenLeaving)
{
    Limit(0, 10);
    Enter();
    QTest::keyClicks(Box(), "25");
    EXPECT_EQ(Field->Stored_Value(), 25) << "no clamping while typing";
    EXPECT_EQ(Changes, 0) << "no report while typing";
    EXPECT_FALSE(Spin()->Enabled_Up());
    Leave();
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Reported, 10);
    EXPECT_EQ(Box()->text(), "10");
    EXPECT_EQ(Beeps.Count, 0) << "leaving clamps silently";

    // Reading the value while typing checks the typed number first, once.
    Enter();
    QTest::keyClicks(Box(), "25");
    EXPECT_EQ(Field->Value(), 10);
    EXPECT_EQ(Changes, 2) << "the typed value equal to the limit is still reported";
    EXPECT_TRUE(Field->Is_Typing()) << "the user goes on typing";
    Leave();
    EXPECT_EQ(Changes, 2) << "reported once only";
    EXPECT_EQ(Beeps.Count, 0);
}

TEST_F(EditNum, WithoutDirectEditEveryKeyIsClampedAndReportedAtOnce)
{
    Limit(0, 10);
    Field->Set_May_Direct_Edit(false);
    Enter();
    QTest::keyClicks(Box(), "2");
    EXPECT_EQ(Changes, 1);
    QTest::keyClicks(Box(), "5");
    EXPECT_EQ(Box()->text(), "10") << "clamped at once";
    EXPECT_EQ(Beeps.Count, 1);
    EXPECT_EQ(Changes, 2) << "the clamped value is reported too";
    EXPECT_EQ(Reported, 10);
    Leave();
    EXPECT_EQ(Changes, 2) << "nothing more on leaving";
}

TEST_F(EditNum, TypedTexts)
{
    const struct {
        bool Real, Grouped; const char* Keys; const char* Shown; double Value; const char* Left;
    } Cases[] = {
        {true, false, "1,5", "1.5", 1.5, "1.5"},          // comma becomes the separator
        {true, false, "1,5.25", "1.525", 1.525, "1.525"}, // a second separator is removed
        {false, false, "1.5", "1.5", 1, "1"},             // a whole field refuses a fraction
        {true, false, "-", "-", 0, "0.0"},                // a lone sign stays as typed
        {true, false, "-4x", nullptr, -4, "-4.0"},
        {true, false, "не определено", "не определено", No_Value, "не определено"},
        {false, true, "1234567", "1 234 567", 1234567, "1 234 567"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Keys);
        Field->Set_RealNumber(C.Real);
        Field->Set_SeparateThousands(C.Grouped);
        Enter();
        Type_Text(Box(), QString::fromUtf8(C.Keys));
        if (C.Shown) {
            EXPECT_EQ(Box()->text(), QString::fromUtf8(C.Shown));
        }
        EXPECT_EQ(Field->Stored_Value(), C.Value);
        Leave();
        EXPECT_EQ(Box()->text(), QString::fromUtf8(C.Left));
        EXPECT_EQ(Reported, C.Value);
    }
    // Grouping keeps the caret where the user types.
    Enter();
    QTest::keyClicks(Box(), "1234567");
    EXPECT_EQ(Box()->cursorPosition(), 9) << "right after the 7";
    Box()->setCursorPosition(3);   // "1 2|34 567"
    QTest::keyClicks(Box(), "9");
    EXPECT_EQ(Box()->text(), "12 934 567");
    EXPECT_EQ(Box()->text().left(Box()->cursorPosition()), "12 9");
}

TEST(EditNumText, TextsFormatsAndWholeValues)
{
    EXPECT_TRUE(Float_Format_Valid("%8.2e %%"));
    for (const char* Bad : {"", "%d", "%s", "%f %f", "%n", "%*f", "%Lf", "%9999f", "%"})
        EXPECT_FALSE(Float_Format_Valid(Bad)) << Bad;

    TEdit_Num Field;
    Field.Set_RealNumber(true);
    const struct { const char* Format; bool Signify; double Value; const char* Shown; } Cases[] = {
        {"", false, 3, "3.0"}, {"%.3f", false, 3, "3.000"},
        {"%s%s%s", false, 3, "3.0"},   // refused: the built-in notation
        {"%.2f", false, 0.0001, "0.00"}, {"%.2f", true, 0.0001, "0.0001"},
        {"", false, -1.705e308, "не определено"},
    };
    for (const auto& C : Cases) {
        Field.Set_Format(C.Format);
        Field.Set_ShowSignify(C.Signify);
        Field.Set_Value(C.Value);
        EXPECT_EQ(Field.Inner_Edit()->text(), QString::fromUtf8(C.Shown)) << C.Format << ' ' << C.Value;
    }
    Field.Set_Value(1e30);
    EXPECT_EQ(Field.Inner_Edit()->text().left(31), "1000000000000000019884624838656")
        << "a long number is shown whole, beyond MaxLength";

    // Whole values saturate.
    Field.Set_Value(3e9);
    EXPECT_EQ(Field.ValueInt(), 2147483647);
    Field.Set_Value(-3e9);
    EXPECT_EQ(Field.ValueInt(), -2147483647);
    EXPECT_EQ(Field.ValueHyp(), -3000000000LL);
    Field.Set_Value(std::nan(""));
    EXPECT_EQ(Field.ValueInt(), 0);
}

TEST_F(EditNum, StepsStopAtTheLimitsAndReadOnlyBeeps)
{
    Limit(0, 10);
    Field->Set_Value(9);
    Changes = 0;
    Enter();
    QTest::keyClick(Box(), Qt::Key_Up);
    EXPECT_EQ(Changes, 1) << "a step is reported at once";
    QTest::keyClick(Box(), Qt::Key_Up);   // the up arrow at the maximum
    EXPECT_EQ(Field->Stored_Value(), 10);
    EXPECT_EQ(Beeps.Count, 1);
    EXPECT_FALSE(Spin()->Enabled_Up());
    QTest::mouseClick(Spin()->Down_Button(), Qt::LeftButton);
    EXPECT_EQ(Field->Stored_Value(), 9);
    EXPECT_TRUE(Spin()->Enabled_Up());
    Leave();
    EXPECT_EQ(Changes, 2) << "no extra report for the steps on leaving";

    int Ups = 0;   // a handler replaces the step
    Field->OnClickUp = [&](QObject*) { ++Ups; };
    Field->Set_Increment(2.6);
    EXPECT_EQ(Field->Increment(), 3) << "whole field: rounded step";
    QTest::mouseClick(Spin()->Up_Button(), Qt::LeftButton);
    EXPECT_EQ(Ups, 1);
    QTest::mouseClick(Spin()->Down_Button(), Qt::LeftButton);
    EXPECT_EQ(Field->Stored_Value(), 6);

    Field->Set_ReadOnly(true);
    EXPECT_FALSE(Spin()->isEnabled());
    Enter();
    QTest::keyClick(Box(), Qt::Key_Down);
    EXPECT_EQ(Field->Stored_Value(), 6);
    EXPECT_EQ(Beeps.Count, 2);
}
