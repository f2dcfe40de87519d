// Buttons of the number field and the number field itself, driven through
// real key presses, mouse clicks and focus changes.

#include "ControlsTestUtil.h"
#include "NumberText.h"
#include "ZoCmpCtrl.h"
#include "ZoNumberEdit.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <cmath>
#include <memory>

// ---------------------------------------------------------------------------
// Spin buttons

TEST(SpinButtons, HoldingRepeatsAfter400msThenEvery100msAndClicksOnRelease)
{
    TSpin_Buttons Spin;
    int Ups = 0;
    int Downs = 0;
    Spin.OnUpClick = [&](QObject*) { ++Ups; };
    Spin.OnDownClick = [&](QObject*) { ++Downs; };
    ASSERT_TRUE(Show_Active(Spin));
    EXPECT_EQ(Spin.Up_Button()->autoRepeatDelay(), 400);
    EXPECT_EQ(Spin.Up_Button()->autoRepeatInterval(), 100);

    QElapsedTimer Held;
    QTest::mousePress(Spin.Up_Button(), Qt::LeftButton);
    Held.start();
    QTest::qWait(300);
    EXPECT_EQ(Ups, 0) << "no repeat before 400 ms";
    ASSERT_TRUE(Wait_For([&] { return Ups >= 1; }));
    EXPECT_GE(Held.elapsed(), 370);
    const qint64 First = Held.elapsed();
    ASSERT_TRUE(Wait_For([&] { return Ups >= 4; }));
    EXPECT_GE(Held.elapsed() - First, 270) << "three repeats take about 300 ms";
    const int Before_Release = Ups;
    QTest::mouseRelease(Spin.Up_Button(), Qt::LeftButton);
    EXPECT_EQ(Ups, Before_Release + 1) << "release clicks once more";
    QTest::qWait(250);
    EXPECT_EQ(Ups, Before_Release + 1) << "released: no more repeats";
    EXPECT_EQ(Downs, 0);
}

TEST(SpinButtons, ArrowKeysClickTheirHalfAndMoveTheFocusRectangle)
{
    TSpin_Buttons Spin;
    int Ups = 0;
    int Downs = 0;
    Spin.OnUpClick = [&](QObject*) { ++Ups; };
    Spin.OnDownClick = [&](QObject*) { ++Downs; };
    ASSERT_TRUE(Show_Active(Spin));
    Spin.setFocus();
    QTest::keyClick(&Spin, Qt::Key_Down);
    EXPECT_EQ(Downs, 1);
    EXPECT_TRUE(Spin.Down_Button()->Focus_Shown());
    QTest::keyClick(&Spin, Qt::Key_Up);
    EXPECT_EQ(Ups, 1);
    EXPECT_TRUE(Spin.Up_Button()->Focus_Shown());
    EXPECT_FALSE(Spin.Down_Button()->Focus_Shown());
    QTest::keyClick(&Spin, Qt::Key_Space);
    EXPECT_EQ(Ups, 2) << "Space clicks the focused half";
    Spin.clearFocus();
    EXPECT_FALSE(Spin.Up_Button()->Focus_Shown());
}

TEST(SpinButtons, DisabledControlReportsBothHalvesDisabled)
{
    TSpin_Buttons Spin;
    Spin.Set_Enabled_Up(false);
    EXPECT_FALSE(Spin.Enabled_Up());
    EXPECT_TRUE(Spin.Enabled_Down());
    Spin.setEnabled(false);
    EXPECT_FALSE(Spin.Enabled_Up());
    EXPECT_FALSE(Spin.Enabled_Down());
    Spin.Set_Enabled_Down(true);
    EXPECT_FALSE(Spin.Enabled_Down()) << "no effect while disabled";
    Spin.setEnabled(true);
    EXPECT_TRUE(Spin.Enabled_Up()) << "enabling the control enables both halves";
    EXPECT_TRUE(Spin.Enabled_Down());
}

TEST(SpinButtons, PressingAHalfFocusesTheFocusControl)
{
    QWidget Host;
    auto* Edit = new QLineEdit(&Host);
    auto* Spin = new TSpin_Buttons(&Host);
    Spin->move(0, 30);
    Spin->Set_FocusControl(Edit);
    Spin->Set_TabStop(false);
    ASSERT_TRUE(Show_Active(Host));
    auto* Other = new QLineEdit(&Host);
    Other->move(0, 60);
    Other->show();
    Other->setFocus();
    QTest::mouseClick(Spin->Down_Button(), Qt::LeftButton);
    EXPECT_TRUE(Edit->hasFocus());
    EXPECT_EQ(Spin->Focused_Button(), Spin->Down_Button());
}

TEST(EditButton, ClickRaisesOnClickAndFocusesTheFocusControl)
{
    QWidget Host;
    auto* Edit = new QLineEdit(&Host);
    auto* Other = new QLineEdit(&Host);
    Other->move(0, 30);
    auto* Button = new TEdit_Button(&Host);
    Button->move(0, 60);
    Button->Set_FocusControl(Edit);
    Button->Set_NumGlyphs(2);
    Button->Set_Glyph(Zo_Glyph("CALCULATE"));
    int Clicks = 0;
    Button->OnClick = [&](QObject*) { ++Clicks; };
    ASSERT_TRUE(Show_Active(Host));
    Other->setFocus();
    QTest::mouseClick(Button->Button(), Qt::LeftButton);
    EXPECT_EQ(Clicks, 1);
    EXPECT_TRUE(Edit->hasFocus());
    EXPECT_EQ(Button->Button()->iconSize(), QSize(10, 12)) << "one frame of the two-frame strip";
}

// ---------------------------------------------------------------------------
// Colour button

TEST(BtnClr, KindsGiveCaptionGlyphAndResult)
{
    using K = TBtn_Clr::TBitBtnKind;
    struct TRow {
        K Kind;
        const char* Caption;
        const char* Glyph;
        int Result;
    };
    const TRow Rows[] = {
        {K::bkOK, "OK", "BCOK", 1},          {K::bkCancel, "&Отмена", "BCCANCEL", 2},
        {K::bkHelp, "&Помощь", "BCHELP", 0}, {K::bkYes, "&Да", "BCYES", 6},
        {K::bkNo, "&Нет", "BCNO", 7},        {K::bkClose, "&Закрыть", "BCCLOSE", 0},
        {K::bkAbort, "&Прервать", "BCABORT", 3}, {K::bkRetry, "&Повтор", "BCRETRY", 4},
        {K::bkIgnore, "&Игнорировать", "BCIGNORE", 5}, {K::bkAll, "&Все", "BCALL", 8},
    };
    for (const TRow& Row : Rows) {
        TBtn_Clr Button;
        Button.Set_Kind(Row.Kind);
        EXPECT_EQ(Button.text(), QString::fromUtf8(Row.Caption));
        EXPECT_EQ(Button.Glyph_Name(), QString(Row.Glyph));
        EXPECT_FALSE(Button.Glyph().isNull()) << Row.Glyph;
        EXPECT_EQ(Button.ModalResult(), Row.Result) << Row.Glyph;
    }
    TBtn_Clr Custom;
    Custom.setText("Своя");
    Custom.Set_Kind(K::bkCustom);
    EXPECT_EQ(Custom.text(), "Своя") << "custom keeps the caption as set";
    EXPECT_EQ(Custom.ModalResult(), 0);
    EXPECT_EQ(Custom.Margin(), -1);
    EXPECT_EQ(Custom.Spacing(), 4);
    EXPECT_EQ(Custom.NumGlyphs(), 1);
}

TEST(BtnClr, FaceIsPaintedWithColourAndColourDownWhilePressed)
{
    TBtn_Clr Button;
    Button.resize(120, 30);
    Button.setText("Нагнетающий");
    Button.Set_Color(QColor(255, 0, 0));
    Button.Set_Color_Down(QColor(0, 0, 255));
    const QPoint Face(6, 6);
    EXPECT_EQ(Button.grab().toImage().pixelColor(Face), QColor(255, 0, 0));
    Button.setDown(true);
    EXPECT_EQ(Button.grab().toImage().pixelColor(Face), QColor(0, 0, 255));
    Button.setDown(false);
    Button.Set_Color(QColor());
    EXPECT_EQ(Button.grab().toImage().pixelColor(Face), Button.palette().color(QPalette::Button))
        << "an invalid colour is the standard face";
}

TEST(BtnClr, ModalResultClosesItsDialog)
{
    QDialog Dialog;
    auto* Button = new TBtn_Clr(&Dialog);
    Button->Set_Kind(TBtn_Clr::TBitBtnKind::bkNo);
    QTimer::singleShot(0, Button, [Button] { QTest::mouseClick(Button, Qt::LeftButton); });
    EXPECT_EQ(Dialog.exec(), 7);
}

// ---------------------------------------------------------------------------
// Number field

namespace {
// A window with a number field and a second edit box to move the focus to.
struct TField_Window {
    QWidget Host;
    TEdit_Num* Field = new TEdit_Num(&Host);
    QLineEdit* Other = new QLineEdit(&Host);
    int Changes = 0;
    double Reported = 0;

    TField_Window()
    {
        Host.resize(220, 80);
        Other->move(0, 40);
        Field->OnChange = [this](QObject*) {
            ++Changes;
            Reported = Field->Stored_Value();
        };
    }
    QLineEdit* Box() const { return Field->Inner_Edit(); }
    // Focuses the field with its text selected, as a Tab into it does.
    void Enter()
    {
        Box()->setFocus(Qt::TabFocusReason);
        Box()->selectAll();
    }
    void Leave() { Other->setFocus(Qt::TabFocusReason); }
};
}  // namespace

TEST(EditNum, TypedNumberIsClampedAndReportedOnceWhenLeaving)
{
    TBeep_Counter Beeps;
    TField_Window W;
    W.Field->Set_MinValue(0);
    W.Field->Set_MaxValue(10);
    ASSERT_TRUE(Show_Active(W.Host));
    W.Enter();
    QTest::keyClicks(W.Box(), "25");
    EXPECT_EQ(W.Field->Stored_Value(), 25) << "no clamping while typing";
    EXPECT_EQ(W.Changes, 0) << "no report while typing";
    EXPECT_TRUE(W.Field->Spin_Buttons()->Enabled_Down());
    EXPECT_FALSE(W.Field->Spin_Buttons()->Enabled_Up());
    W.Leave();
    EXPECT_EQ(W.Changes, 1);
    EXPECT_EQ(W.Reported, 10);
    EXPECT_EQ(W.Box()->text(), "10");
    EXPECT_EQ(Beeps.Count, 0) << "leaving clamps silently";

    // The typed value equal to the limit is still reported once.
    W.Enter();
    QTest::keyClicks(W.Box(), "7");
    W.Leave();
    EXPECT_EQ(W.Changes, 2);
    EXPECT_EQ(W.Reported, 7);
}

TEST(EditNum, WithoutDirectEditEveryKeyIsClampedAndReportedAtOnce)
{
    TBeep_Counter Beeps;
    TField_Window W;
    W.Field->Set_MinValue(0);
    W.Field->Set_MaxValue(10);
    W.Field->Set_May_Direct_Edit(false);
    ASSERT_TRUE(Show_Active(W.Host));
    W.Enter();
    QTest::keyClicks(W.Box(), "2");
    EXPECT_EQ(W.Changes, 1);
    EXPECT_EQ(W.Reported, 2);
    QTest::keyClicks(W.Box(), "5");
    EXPECT_EQ(W.Field->Stored_Value(), 10) << "clamped at once";
    EXPECT_EQ(W.Box()->text(), "10");
    EXPECT_EQ(Beeps.Count, 1);
    EXPECT_EQ(W.Changes, 2) << "the clamped value is reported too";
    EXPECT_EQ(W.Reported, 10);
    W.Leave();
    EXPECT_EQ(W.Changes, 2) << "nothing more on leaving";
}

TEST(EditNum, ReadingValueWhileTypingChecksTheTypedNumberFirst)
{
    TBeep_Counter Beeps;
    TField_Window W;
    W.Field->Set_MinValue(0);
    W.Field->Set_MaxValue(10);
    ASSERT_TRUE(Show_Active(W.Host));
    W.Enter();
    QTest::keyClicks(W.Box(), "25");
    EXPECT_EQ(W.Field->Value(), 10);
    EXPECT_EQ(W.Changes, 1);
    EXPECT_EQ(Beeps.Count, 0) << "the limit itself is written";
    EXPECT_TRUE(W.Field->Is_Typing()) << "the user goes on typing";
    EXPECT_EQ(W.Field->Value(), 10);
    W.Leave();
    EXPECT_EQ(W.Changes, 1) << "reported once only";
}

TEST(EditNum, CommaBecomesTheSeparatorAndASecondSeparatorIsRemoved)
{
    TField_Window W;
    W.Field->Set_RealNumber(true);
    ASSERT_TRUE(Show_Active(W.Host));
    W.Enter();
    QTest::keyClicks(W.Box(), "1,5");
    EXPECT_EQ(W.Box()->text(), "1.5");
    EXPECT_EQ(W.Field->Stored_Value(), 1.5);
    QTest::keyClicks(W.Box(), ".");
    EXPECT_EQ(W.Box()->text(), "1.5");
    QTest::keyClicks(W.Box(), "25");
    EXPECT_EQ(W.Field->Stored_Value(), 1.525);
    W.Leave();
    EXPECT_EQ(W.Changes, 1);
    EXPECT_EQ(W.Reported, 1.525);
}

TEST(EditNum, WholeFieldRefusesAFraction)
{
    TField_Window W;
    ASSERT_TRUE(Show_Active(W.Host));
    W.Enter();
    QTest::keyClicks(W.Box(), "1.5");
    EXPECT_EQ(W.Field->Stored_Value(), 1);
    W.Leave();
    EXPECT_EQ(W.Box()->text(), "1") << "the field shows its value again when left";
    EXPECT_EQ(W.Reported, 1);
}

TEST(EditNum, LettersAndSignsLeaveTheValue)
{
    TField_Window W;
    W.Field->Set_RealNumber(true);
    ASSERT_TRUE(Show_Active(W.Host));
    W.Enter();
    QTest::keyClicks(W.Box(), "-");
    EXPECT_EQ(W.Box()->text(), "-") << "a lone sign stays as typed";
    EXPECT_EQ(W.Field->Stored_Value(), 0);
    QTest::keyClicks(W.Box(), "4x");
    EXPECT_EQ(W.Field->Stored_Value(), -4);
    W.Leave();
    EXPECT_EQ(W.Box()->text(), "-4.0");
}

TEST(EditNum, NoValueTextGivesNoValue)
{
    TField_Window W;
    W.Field->Set_RealNumber(true);
    ASSERT_TRUE(Show_Active(W.Host));
    W.Enter();
    Type_Text(W.Box(), "не определено");
    EXPECT_EQ(W.Field->Stored_Value(), No_Value);
    W.Leave();
    EXPECT_EQ(W.Box()->text(), "не определено");

    TEdit_Num Set;
    Set.Inner_Edit()->setText("не определено");
    EXPECT_EQ(Set.Stored_Value(), No_Value);
    Set.Set_Value(1.0);
    Set.Set_Value(-1.705e308);
    EXPECT_EQ(Set.Inner_Edit()->text(), "не определено");
}

TEST(EditNum, GroupingKeepsTheCaretWhereTheUserTypes)
{
    TField_Window W;
    W.Field->Set_SeparateThousands(true);
    ASSERT_TRUE(Show_Active(W.Host));
    W.Enter();
    QTest::keyClicks(W.Box(), "1234567");
    EXPECT_EQ(W.Box()->text(), "1 234 567");
    EXPECT_EQ(W.Box()->cursorPosition(), 9) << "right after the 7";
    EXPECT_EQ(W.Field->Stored_Value(), 1234567);
    // A digit typed in the middle stays left of the caret.
    W.Box()->setCursorPosition(3);   // "1 2|34 567"
    QTest::keyClicks(W.Box(), "9");
    EXPECT_EQ(W.Box()->text(), "12 934 567");
    EXPECT_EQ(W.Box()->text().left(W.Box()->cursorPosition()), "12 9");
}

TEST(EditNum, RealTextsAndSignificantDigits)
{
    TEdit_Num Field;
    Field.Set_RealNumber(true);
    Field.Set_Value(3);
    EXPECT_EQ(Field.Inner_Edit()->text(), "3.0");
    Field.Set_Value(2.5);
    EXPECT_EQ(Field.Inner_Edit()->text(), "2.5");
    Field.Set_Value(1e-12);
    EXPECT_EQ(Field.Inner_Edit()->text(), "0.0");
    Field.Set_ShowSignify(true);
    EXPECT_EQ(Field.Inner_Edit()->text(), "0.000000000001");
    Field.Set_Value(1e30);
    EXPECT_EQ(Field.Inner_Edit()->text().left(31), "1000000000000000019884624838656")
        << "a long number is shown whole, beyond MaxLength";
}

TEST(EditNum, FormatIsUsedOnlyWithOneFloatingPointConversion)
{
    EXPECT_TRUE(Float_Format_Valid("%.3f"));
    EXPECT_TRUE(Float_Format_Valid("%8.2e %%"));
    EXPECT_TRUE(Float_Format_Valid("%g"));
    EXPECT_FALSE(Float_Format_Valid(""));
    EXPECT_FALSE(Float_Format_Valid("%d"));
    EXPECT_FALSE(Float_Format_Valid("%s"));
    EXPECT_FALSE(Float_Format_Valid("%f %f"));
    EXPECT_FALSE(Float_Format_Valid("%n"));
    EXPECT_FALSE(Float_Format_Valid("%*f"));
    EXPECT_FALSE(Float_Format_Valid("%Lf"));
    EXPECT_FALSE(Float_Format_Valid("%9999f"));
    EXPECT_FALSE(Float_Format_Valid("%"));
    EXPECT_FALSE(Float_Format_Valid("abc"));

    TEdit_Num Field;
    Field.Set_RealNumber(true);
    Field.Set_Value(2.5);
    Field.Set_Format("%.3f");
    EXPECT_EQ(Field.Inner_Edit()->text(), "2.500");
    Field.Set_Format("%s%s%s");
    EXPECT_EQ(Field.Inner_Edit()->text(), "2.5") << "the built-in notation instead";
    Field.Set_Format("%.2f");
    Field.Set_Value(0.0001);
    EXPECT_EQ(Field.Inner_Edit()->text(), "0.00");
    Field.Set_ShowSignify(true);
    EXPECT_EQ(Field.Inner_Edit()->text(), "0.0001");
}

TEST(EditNum, WholeValuesSaturate)
{
    TEdit_Num Field;
    Field.Set_Value(3e9);
    EXPECT_EQ(Field.ValueInt(), 2147483647);
    Field.Set_Value(-3e9);
    EXPECT_EQ(Field.ValueInt(), -2147483647);
    EXPECT_EQ(Field.ValueHyp(), -3000000000LL);
    Field.Set_Value(-1e300);
    EXPECT_EQ(Field.ValueHyp(), -9223372036854775807LL);
    Field.Set_Value(1e300);
    EXPECT_EQ(Field.ValueHyp(), 9223372036854775807LL);
    Field.Set_Value(std::nan(""));
    EXPECT_EQ(Field.ValueInt(), 0);
    Field.Set_ValueInt(-7);
    EXPECT_EQ(Field.Stored_Value(), -7);
}

TEST(EditNum, UpArrowAtTheMaximumKeepsTheValueAndDisablesTheUpHalf)
{
    TBeep_Counter Beeps;
    TField_Window W;
    W.Field->Set_MinValue(0);
    W.Field->Set_MaxValue(10);
    W.Field->Set_Value(9);
    W.Changes = 0;
    ASSERT_TRUE(Show_Active(W.Host));
    W.Enter();
    QTest::keyClick(W.Box(), Qt::Key_Up);
    EXPECT_EQ(W.Field->Stored_Value(), 10);
    EXPECT_EQ(W.Changes, 1) << "a step is reported at once";
    EXPECT_FALSE(W.Field->Spin_Buttons()->Enabled_Up());
    QTest::keyClick(W.Box(), Qt::Key_Up);
    EXPECT_EQ(W.Field->Stored_Value(), 10);
    EXPECT_EQ(Beeps.Count, 1);
    EXPECT_FALSE(W.Field->Spin_Buttons()->Enabled_Up());
    EXPECT_TRUE(W.Field->Spin_Buttons()->Enabled_Down());
    QTest::mouseClick(W.Field->Spin_Buttons()->Down_Button(), Qt::LeftButton);
    EXPECT_EQ(W.Field->Stored_Value(), 9);
    EXPECT_TRUE(W.Field->Spin_Buttons()->Enabled_Up());
    W.Leave();
    EXPECT_EQ(W.Changes, 2) << "no extra report for the steps on leaving";
}

TEST(EditNum, ClickHandlersReplaceTheStepAndReadOnlyBeeps)
{
    TBeep_Counter Beeps;
    TField_Window W;
    int Ups = 0;
    W.Field->OnClickUp = [&](QObject*) { ++Ups; };
    W.Field->Set_Increment(2.6);
    EXPECT_EQ(W.Field->Increment(), 3) << "whole field: rounded step";
    ASSERT_TRUE(Show_Active(W.Host));
    QTest::mouseClick(W.Field->Spin_Buttons()->Up_Button(), Qt::LeftButton);
    EXPECT_EQ(Ups, 1);
    EXPECT_EQ(W.Field->Stored_Value(), 0);
    QTest::mouseClick(W.Field->Spin_Buttons()->Down_Button(), Qt::LeftButton);
    EXPECT_EQ(W.Field->Stored_Value(), -3);

    W.Field->Set_ReadOnly(true);
    EXPECT_FALSE(W.Field->Spin_Buttons()->isEnabled());
    W.Enter();
    QTest::keyClick(W.Box(), Qt::Key_Down);
    EXPECT_EQ(W.Field->Stored_Value(), -3);
    EXPECT_EQ(Beeps.Count, 1);
}

TEST(EditNum, LayoutPlacesCaptionBoxAndButtons)
{
    TEdit_Num Field;
    Field.resize(153, 21);
    Field.show();
    EXPECT_EQ(Field.size(), QSize(153, 21));
    EXPECT_EQ(Field.Calc_Button()->geometry(), QRect(153 - 16, 1, 15, 19));
    EXPECT_EQ(Field.Spin_Buttons()->geometry(), QRect(153 - 30, 1, 15, 19));
    EXPECT_EQ(Field.Inner_Edit()->geometry(), QRect(1, 1, 153 - 30, 19));

    Field.Set_Caption("Шаги");
    const int Label_W = Field.Caption_Label()->width();
    EXPECT_EQ(Field.Inner_Edit()->x(), Label_W + 3);
    Field.Set_MaxEditWidth(40);
    EXPECT_EQ(Field.Inner_Edit()->geometry(), QRect(153 - 30 - 40 + 1, 1, 40, 19));

    Field.Set_Calculator(false);
    Field.Set_SpinEnabled(false);
    Field.Set_MaxEditWidth(0);
    EXPECT_EQ(Field.Inner_Edit()->x() + Field.Inner_Edit()->width(), 152) << "one pixel of frame";
    Field.Set_Caption("");
    EXPECT_EQ(Field.Caption_Label(), nullptr);
    Field.resize(10, 1);
    EXPECT_GE(Field.width(), 40) << "never narrower than 40 pixels";
}
