// The calculator window: keys, operations, errors, the tape and the accept
// mode from a number field.

#include "controls/Calculator.h"
#include "controls/NumberEdit.h"
#include "tests/controls/ControlsTestUtil.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace {
// Types characters into the calculator as the keyboard does.
void Keys(TForm_Calculate& Form, const QString& Text)
{
    Type_Text(&Form, Text);
}

QStringList Tape(const TForm_Calculate& Form)
{
    QStringList Lines;
    for (int i = 0; i < Form.ListBox_Check->count(); ++i)
        Lines << Form.ListBox_Check->item(i)->text();
    return Lines;
}

void Double_Click_Line(TForm_Calculate& Form, int Row)
{
    QListWidgetItem* Item = Form.ListBox_Check->item(Row);
    Form.ListBox_Check->scrollToItem(Item);
    QTest::mouseDClick(Form.ListBox_Check->viewport(), Qt::LeftButton, Qt::NoModifier,
                       Form.ListBox_Check->visualItemRect(Item).center());
}

QColor Colour(const QWidget* W, QPalette::ColorRole Role)
{
    return W->palette().color(Role);
}
}  // namespace

TEST(Calculator, TwoPlusThreeWithTheButtons)
{
    TForm_Calculate Form;
    QTest::mouseClick(Form.BitBtn_Digit[2], Qt::LeftButton);
    QTest::mouseClick(Form.BitBtn_Add, Qt::LeftButton);
    EXPECT_EQ(Form.Label_Operation->text(), "+");
    QTest::mouseClick(Form.BitBtn_Digit[3], Qt::LeftButton);
    QTest::mouseClick(Form.BitBtn_Result, Qt::LeftButton);
    EXPECT_EQ(Form.Label_Indicate->text(), "5");
    EXPECT_EQ(Tape(Form), (QStringList{"1.  Начало работы", "2.      2", "3.  +  3", "4.  =  5"}));
    EXPECT_EQ(Form.Label_Operation->text(), "");
}

TEST(Calculator, ErrorsShowAndTheNextNumberRecovers)
{
    TBeep_Counter Beeps;
    TForm_Calculate Form;
    Keys(Form, "1/0=");
    EXPECT_TRUE(Form.Error_Shown());
    EXPECT_EQ(Form.Label_Indicate->text(), " Ошибка операции! ");
    EXPECT_EQ(Colour(Form.Panel_Indicate, QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(Colour(Form.Label_Indicate, QPalette::WindowText), QColor(255, 255, 0));
    EXPECT_EQ(Beeps.Count, 1);
    Keys(Form, "7");
    EXPECT_FALSE(Form.Error_Shown());
    EXPECT_EQ(Form.Label_Indicate->text(), "7");
    EXPECT_EQ(Colour(Form.Panel_Indicate, QPalette::Window), QColor(0, 0, 0));
    EXPECT_EQ(Colour(Form.Label_Indicate, QPalette::WindowText), QColor(0, 255, 0));
    Keys(Form, "+1=");
    EXPECT_EQ(Form.X(), 8) << "the failed operation left nothing pending";

    // A 28-digit number fits the display whole; the 29th digit is refused.
    Keys(Form, QString(28, QChar('9')));
    EXPECT_EQ(Form.Label_Indicate->text(), "9 999 999 999 999 999 999 999 999 999");
    EXPECT_LE(Form.Label_Indicate->fontMetrics().horizontalAdvance(Form.Label_Indicate->text()),
              Form.Label_Indicate->width());
    Keys(Form, "9");
    EXPECT_EQ(Form.Label_Indicate->text(), " Слишком длинное число! ");
    Keys(Form, "3");
    EXPECT_EQ(Form.Label_Indicate->text(), "3");
}

TEST(Calculator, OperationsAndTheirFailures)
{
    // Root of a negative number, percent of a division by 0, inverse of 0,
    // rounding a number beyond 64 bits, a product too large for the display;
    // then the percent cases and other operations that succeed.
    for (const char* Sequence :
         {"4_s", "1/0%", "0\\", "99999999999999999999r", "1000000000000000*="}) {
        SCOPED_TRACE(Sequence);
        TBeep_Counter Beeps;
        TForm_Calculate Form;
        Keys(Form, Sequence);
        EXPECT_TRUE(Form.Error_Shown());
        EXPECT_EQ(Form.X(), 0);
        EXPECT_EQ(Beeps.Count, 1);
    }
    const struct {
        const char* Keys;
        double Result;
    } Cases[] = {
        {"200+10%", 220},
        {"200-10%", 180},
        {"200*10%", 20},
        {"200/10%", 2000},
        {"9999999999r", 9999999999},
        {"2.5r", 2},
        {"3.5r", 4},  // ties to even
        {"2_", -2},
        {"16s", 4},
        {"4\\", 0.25},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Keys);
        TForm_Calculate Form;
        Keys(Form, C.Keys);
        EXPECT_FALSE(Form.Error_Shown());
        EXPECT_EQ(Form.X(), C.Result);
        EXPECT_EQ(Form.Pending_Operation(), "");
        if (QString(C.Keys).endsWith('%')) {
            EXPECT_EQ(Tape(Form).last().section("  ", 1), "%  " + Form.Display_Text());
        }
    }
    TForm_Calculate Minus;
    Keys(Minus, "200-10%");
    EXPECT_EQ(Tape(Minus)[2], "3.  \u2013  10") << "the minus on the tape is an en dash";
    TForm_Calculate Large;
    Large.Calculator_Set_Number(1e30);
    EXPECT_EQ(Large.Label_Indicate->text(), " Слишком длинное число! ");
}

TEST(Calculator, KeypadKeysAreHandledOnce)
{
    TForm_Calculate Form;
    for (Qt::Key Key : {Qt::Key_2, Qt::Key_Plus, Qt::Key_3, Qt::Key_Asterisk})
        QTest::keyClick(&Form, Key, Qt::KeypadModifier);
    EXPECT_EQ(Form.Label_Indicate->text(), "5") << "not 23 nor 2+ +";
    EXPECT_EQ(Form.Tape_Counter(), 3) << "one line for each operand";
    for (Qt::Key Key : {Qt::Key_Comma, Qt::Key_5, Qt::Key_Enter})
        QTest::keyClick(&Form, Key, Qt::KeypadModifier);
    EXPECT_EQ(Form.X(), 2.5);
}

TEST(Calculator, EditingKeys)
{
    TBeep_Counter Beeps;
    TForm_Calculate Form;
    Keys(Form, "12.5.x");  // a second separator and an unknown character beep
    EXPECT_EQ(Beeps.Count, 2);
    QTest::keyClick(&Form, Qt::Key_Backspace);
    QTest::keyClick(&Form, Qt::Key_Backspace);
    EXPECT_EQ(Form.Label_Indicate->text(), "12");
    Keys(Form, "+");
    QTest::mouseClick(Form.BitBtn_Clr, Qt::LeftButton);
    EXPECT_EQ(Form.Pending_Operation(), "+") << "first clear: the number";
    QTest::mouseClick(Form.BitBtn_Clr, Qt::LeftButton);
    EXPECT_EQ(Form.Pending_Operation(), "") << "second clear: the operation";
    Keys(Form, "45");
    QTest::keyClick(&Form, Qt::Key_Delete);
    EXPECT_EQ(Form.Label_Indicate->text(), "0");
}

TEST(Calculator, TapeKeepsAHundredLinesAndGivesNumbersBack)
{
    TBeep_Counter Beeps;
    TForm_Calculate Form;
    ASSERT_TRUE(Show_Active(Form));
    Keys(Form, "1234567+3=");
    Double_Click_Line(Form, 1);  // "2.      1 234 567": the line number is not part of it
    EXPECT_EQ(Form.X(), 1234567);
    for (int i = 0; i < 40; ++i)
        Keys(Form, "+1=");
    EXPECT_EQ(Form.ListBox_Check->count(), 100);
    EXPECT_TRUE(Tape(Form).first().startsWith("25.  "));
    EXPECT_TRUE(Tape(Form).last().startsWith("124.  =  1 234 607"));

    Double_Click_Line(Form, 98);  // "+  1"
    EXPECT_EQ(Form.Label_Indicate->text(), "1");
    Double_Click_Line(Form, 99);
    EXPECT_EQ(Form.X(), 1234607);
    QTest::mouseDClick(Form.ListBox_Check->viewport(), Qt::LeftButton, Qt::NoModifier,
                       QPoint(5, Form.ListBox_Check->viewport()->height() + 50));
    EXPECT_EQ(Beeps.Count, 1) << "no line there";
    Form.hide();
}

TEST(Calculator, NumberFieldAcceptsTheResult)
{
    QWidget Host;
    auto* Field = new TEdit_Num(&Host);
    Field->Set_RealNumber(true);
    Field->Set_Value(2);
    int Changes = 0;
    Field->OnChange = [&](QObject*) { ++Changes; };
    ASSERT_TRUE(Show_Active(Host));
    // Opens the calculator from the field, types Text and presses Button.
    auto Run = [&](const char* Text, QPushButton* TForm_Calculate::*Button) {
        QTimer::singleShot(0, [&, Text, Button] {
            ASSERT_NE(Form_Calculate, nullptr);
            EXPECT_TRUE(Form_Calculate->BitBtn_OK->isVisible());
            Keys(*Form_Calculate, Text);
            QTest::mouseClick(Form_Calculate->*Button, Qt::LeftButton);
        });
        QTest::mouseClick(Field->Calc_Button()->Button(), Qt::LeftButton);
    };
    Run("*21=", &TForm_Calculate::BitBtn_OK);  // starts from the field's 2
    EXPECT_EQ(Field->Stored_Value(), 42);
    EXPECT_EQ(Changes, 1);
    EXPECT_FALSE(Form_Calculate->Accept_Mode());
    EXPECT_FALSE(Form_Calculate->BitBtn_OK->isVisibleTo(Form_Calculate));

    // Closing without accepting, and accepting into a read-only field, change nothing.
    Run("7", &TForm_Calculate::BitBtn_Cancel);
    Field->Set_ReadOnly(true);
    Run("7", &TForm_Calculate::BitBtn_OK);
    EXPECT_EQ(Field->Stored_Value(), 42);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Calculator_Create(), Form_Calculate.data()) << "one window for the application";
}
