// The number field, driven through real key presses, mouse clicks and focus
// changes: typing, limits, reports, steps and the texts it shows.

#include "controls/NumberEdit.h"
#include "tests/controls/ControlsTestUtil.h"
#include "text/NumberText.h"

#include <QLineEdit>

#include <cmath>

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
    void Limit(double Min, double Max)
    {
        Field->Set_MinValue(Min);
        Field->Set_MaxValue(Max);
    }
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
        bool Real, Grouped;
        const char* Keys;
        const char* Shown;
        double Value;
        const char* Left;
    } Cases[] = {
        {true, false, "1,5", "1.5", 1.5, "1.5"},           // comma becomes the separator
        {true, false, "1,5.25", "1.525", 1.525, "1.525"},  // a second separator is removed
        {false, false, "1.5", "1.5", 1, "1"},              // a whole field refuses a fraction
        {true, false, "-", "-", 0, "0.0"},                 // a lone sign stays as typed
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
    Box()->setCursorPosition(3);  // "1 2|34 567"
    QTest::keyClicks(Box(), "9");
    EXPECT_EQ(Box()->text(), "12 934 567");
    EXPECT_EQ(Box()->text().left(Box()->cursorPosition()), "12 9");
}

TEST(EditNumText, TextsFormatsAndWholeValues)
{
    TEdit_Num Field;
    Field.Set_RealNumber(true);
    const struct {
        const char* Format;
        bool Signify;
        double Value;
        const char* Shown;
    } Cases[] = {
        {"", false, 3, "3.0"},
        {"%.3f", false, 3, "3.000"},
        {"%s%s%s", false, 3, "3.0"},      // refused: the built-in notation
        {"%.1f м", false, 2.5, "2.5 м"},  // the text around the number kept as it is
        {"%.2f", false, 0.0001, "0.00"},
        {"%.2f", true, 0.0001, "0.0001"},
        {"", false, -1.705e308, "не определено"},
    };
    for (const auto& C : Cases) {
        Field.Set_Format(C.Format);
        Field.Set_ShowSignify(C.Signify);
        Field.Set_Value(C.Value);
        EXPECT_EQ(Field.Inner_Edit()->text(), QString::fromUtf8(C.Shown))
            << C.Format << ' ' << C.Value;
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
    QTest::keyClick(Box(), Qt::Key_Up);  // the up arrow at the maximum
    EXPECT_EQ(Field->Stored_Value(), 10);
    EXPECT_EQ(Beeps.Count, 1);
    EXPECT_FALSE(Spin()->Enabled_Up());
    QTest::mouseClick(Spin()->Down_Button(), Qt::LeftButton);
    EXPECT_EQ(Field->Stored_Value(), 9);
    EXPECT_TRUE(Spin()->Enabled_Up());
    Leave();
    EXPECT_EQ(Changes, 2) << "no extra report for the steps on leaving";

    int Ups = 0;  // a handler replaces the step
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
