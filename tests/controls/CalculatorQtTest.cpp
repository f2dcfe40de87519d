// The calculator window: keys, operations, errors, the tape and the accept
// mode from a number field.

#include "ControlsTestUtil.h"
#include "ZoCalculator.h"
#include "ZoNumberEdit.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <memory>

namespace {
// Types characters into the calculator as the keyboard does.
void Keys(TForm_Calculate& Form, const QString& Text)
{
    for (QChar C : Text)
        QTest::sendKeyEvent(QTest::Click, &Form, Qt::Key_unknown, QString(C), Qt::NoModifier);
}

QStringList Tape(const TForm_Calculate& Form)
{
    QStringList Lines;
    for (int i = 0; i < Form.ListBox_Check->count(); ++i)
        Lines << Form.ListBox_Check->item(i)->text();
    return Lines;
}

QColor Panel_Colour(const TForm_Calculate& Form) { return Form.Panel_Indicate->palette().color(QPalette::Window); }
}  // namespace

TEST(Calculator, TwoPlusThreeWithTheButtons)
{
    TForm_Calculate Form;
    EXPECT_EQ(Tape(Form), QStringList{"1.  Начало работы"});
    QTest::mouseClick(Form.BitBtn_Digit[2], Qt::LeftButton);
    QTest::mouseClick(Form.BitBtn_Add, Qt::LeftButton);
    EXPECT_EQ(Form.Label_Operation->text(), "+");
    QTest::mouseClick(Form.BitBtn_Digit[3], Qt::LeftButton);
    QTest::mouseClick(Form.BitBtn_Result, Qt::LeftButton);
    EXPECT_EQ(Form.Label_Indicate->text(), "5");
    EXPECT_EQ(Form.X(), 5);
    EXPECT_EQ(Tape(Form), (QStringList{"1.  Начало работы", "2.      2", "3.  +  3", "4.  =  5"}));
    EXPECT_EQ(Form.Label_Operation->text(), "");
    // Keys typed after button clicks are taken as well.
    QTest::mouseClick(Form.BitBtn_Digit[4], Qt::LeftButton);
    Keys(Form, "+1=");
    EXPECT_EQ(Form.X(), 5);
}

TEST(Calculator, PercentCases)
{
    struct TCase {
        const char* Keys;
        double Result;
    };
    const TCase Cases[] = {{"200+10%", 220}, {"200-10%", 180}, {"200*10%", 20}, {"200/10%", 2000}};
    for (const TCase& Case : Cases) {
        TForm_Calculate Form;
        Keys(Form, Case.Keys);
        EXPECT_EQ(Form.X(), Case.Result) << Case.Keys;
        EXPECT_EQ(Form.Pending_Operation(), "") << Case.Keys;
        EXPECT_EQ(Tape(Form).last().section("  ", 1), "%  " + Form.Display_Text()) << Case.Keys;
    }
    TForm_Calculate Minus;
    Keys(Minus, "200-10%");
    EXPECT_EQ(Tape(Minus)[2], "3.  \u2013  10") << "the minus sign on the tape is an en dash";
}

TEST(Calculator, DivisionByZeroShowsAnErrorAndTheNextNumberRecovers)
{
    TBeep_Counter Beeps;
    TForm_Calculate Form;
    Keys(Form, "1/0=");
    EXPECT_TRUE(Form.Error_Shown());
    EXPECT_EQ(Form.Label_Indicate->text(), " Ошибка операции! ");
    EXPECT_EQ(Panel_Colour(Form), QColor(255, 0, 0));
    EXPECT_EQ(Form.Label_Indicate->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    EXPECT_FALSE(Form.Label_Operation->isVisibleTo(&Form));
    EXPECT_EQ(Beeps.Count, 1);
    Keys(Form, "7");
    EXPECT_FALSE(Form.Error_Shown());
    EXPECT_EQ(Form.Label_Indicate->text(), "7");
    EXPECT_EQ(Panel_Colour(Form), QColor(0, 0, 0));
    EXPECT_EQ(Form.Label_Indicate->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    Keys(Form, "+1=");
    EXPECT_EQ(Form.X(), 8) << "the failed operation left nothing pending";
}

TEST(Calculator, FailingOperationsAreDetected)
{
    // Root of a negative number, percent of a division by 0, 1/0, rounding a
    // number beyond 64 bits, a product too large for the display.
    const char* Failing[] = {"4_s", "1/0%", "0\\", "99999999999999999999r", "1000000000000000*="};
    for (const char* Sequence : Failing) {
        TBeep_Counter Beeps;
        TForm_Calculate Form;
        Keys(Form, Sequence);
        EXPECT_TRUE(Form.Error_Shown()) << Sequence;
        EXPECT_EQ(Form.Label_Indicate->text(), " Ошибка операции! ") << Sequence;
        EXPECT_EQ(Form.X(), 0) << Sequence;
        EXPECT_EQ(Beeps.Count, 1) << Sequence;
    }
    TForm_Calculate Large;
    Keys(Large, "9999999999r");
    EXPECT_FALSE(Large.Error_Shown()) << "a number within 64 bits rounds";
    Large.Calculator_Set_Number(1e30);
    EXPECT_EQ(Large.Label_Indicate->text(), " Слишком длинное число! ");

    TForm_Calculate Round;
    Keys(Round, "2.5r");
    EXPECT_EQ(Round.X(), 2) << "ties to even";
    Keys(Round, "_");
    EXPECT_EQ(Round.X(), -2);
    EXPECT_EQ(Tape(Round).last(), QString::number(Round.Tape_Counter()) + ".  /\u2013/  -2");
    Keys(Round, "16s");
    EXPECT_EQ(Round.X(), 4);
    Keys(Round, "\\");
    EXPECT_EQ(Round.X(), 0.25);
}

TEST(Calculator, TooLongNumberIsRefused)
{
    TForm_Calculate Form;
    Keys(Form, QString(28, QChar('9')));
    EXPECT_FALSE(Form.Error_Shown());
    EXPECT_EQ(Form.Label_Indicate->text(), "9 999 999 999 999 999 999 999 999 999");
    EXPECT_LE(Form.Label_Indicate->fontMetrics().horizontalAdvance(Form.Label_Indicate->text()),
              Form.Label_Indicate->width())
        << "the whole number fits on the display";
    Keys(Form, "9");
    EXPECT_TRUE(Form.Error_Shown());
    EXPECT_EQ(Form.Label_Indicate->text(), " Слишком длинное число! ");
    Keys(Form, "3");
    EXPECT_EQ(Form.Label_Indicate->text(), "3");
}

TEST(Calculator, KeypadKeysAreHandledOnce)
{
    TForm_Calculate Form;
    QTest::keyClick(&Form, Qt::Key_2, Qt::KeypadModifier);
    QTest::keyClick(&Form, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClick(&Form, Qt::Key_3, Qt::KeypadModifier);
    QTest::keyClick(&Form, Qt::Key_Asterisk, Qt::KeypadModifier);
    EXPECT_EQ(Form.X(), 5);
    EXPECT_EQ(Form.Label_Indicate->text(), "5") << "not 23 nor 2+ +";
    EXPECT_EQ(Form.Tape_Counter(), 3) << "one line for each operand";
    QTest::keyClick(&Form, Qt::Key_Comma, Qt::KeypadModifier);
    QTest::keyClick(&Form, Qt::Key_5, Qt::KeypadModifier);
    QTest::keyClick(&Form, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(Form.X(), 2.5);
}

TEST(Calculator, EditingKeys)
{
    TBeep_Counter Beeps;
    TForm_Calculate Form;
    Keys(Form, "12.5.");
    EXPECT_EQ(Beeps.Count, 1) << "a second separator beeps";
    EXPECT_EQ(Form.Label_Indicate->text(), "12.5");
    QTest::keyClick(&Form, Qt::Key_Backspace);
    QTest::keyClick(&Form, Qt::Key_Backspace);
    EXPECT_EQ(Form.Label_Indicate->text(), "12");
    Keys(Form, "x");
    EXPECT_EQ(Beeps.Count, 2) << "an unknown character beeps";
    Keys(Form, "+");
    QTest::mouseClick(Form.BitBtn_Clr, Qt::LeftButton);
    EXPECT_EQ(Form.X(), 0);
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
    Form.resize(Form.size());
    ASSERT_TRUE(Show_Active(Form));
    Keys(Form, "1234567+3=");
    for (int i = 0; i < 40; ++i)
        Keys(Form, "+1=");
    EXPECT_EQ(Form.ListBox_Check->count(), 100);
    EXPECT_EQ(Form.Tape_Counter(), 124);
    EXPECT_TRUE(Tape(Form).first().startsWith("25.  "));
    EXPECT_TRUE(Tape(Form).last().startsWith("124.  =  1 234 610"));
    EXPECT_EQ(Form.ListBox_Check->selectedItems().size(), 0);

    // Double-click on a line takes its number to the display.
    QListWidgetItem* Item = Form.ListBox_Check->item(Form.ListBox_Check->count() - 2);   // "+  1"
    Form.ListBox_Check->scrollToItem(Item);
    const QPoint At = Form.ListBox_Check->visualItemRect(Item).center();
    QTest::mouseDClick(Form.ListBox_Check->viewport(), Qt::LeftButton, Qt::NoModifier, At);
    EXPECT_EQ(Form.Label_Indicate->text(), "1");
    Item = Form.ListBox_Check->item(Form.ListBox_Check->count() - 1);
    QTest::mouseDClick(Form.ListBox_Check->viewport(), Qt::LeftButton, Qt::NoModifier,
                       Form.ListBox_Check->visualItemRect(Item).center());
    EXPECT_EQ(Form.Label_Indicate->text(), "1 234 610");
    EXPECT_EQ(Form.X(), 1234610);
    const int Before = Beeps.Count;
    QTest::mouseDClick(Form.ListBox_Check->viewport(), Qt::LeftButton, Qt::NoModifier,
                       QPoint(5, Form.ListBox_Check->viewport()->height() + 50));
    EXPECT_EQ(Beeps.Count, Before + 1) << "no line there";
    Form.hide();
}

TEST(Calculator, TapeLineOfABlankOperandGivesOnlyItsNumber)
{
    TForm_Calculate Form;
    ASSERT_TRUE(Show_Active(Form));
    Keys(Form, "2+");
    QListWidgetItem* Item = Form.ListBox_Check->item(1);   // "2.      2"
    ASSERT_EQ(Item->text(), "2.      2");
    QTest::mouseDClick(Form.ListBox_Check->viewport(), Qt::LeftButton, Qt::NoModifier,
                       Form.ListBox_Check->visualItemRect(Item).center());
    EXPECT_EQ(Form.X(), 2) << "the line number is not part of the number";
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

    bool Seen_Accept_Button = false;
    double Shown = -1;
    QTimer::singleShot(0, [&] {
        TForm_Calculate* Form = Form_Calculate;
        ASSERT_NE(Form, nullptr);
        Seen_Accept_Button = Form->BitBtn_OK->isVisible();
        Shown = Form->X();
        Keys(*Form, "*21=");
        QTest::mouseClick(Form->BitBtn_OK, Qt::LeftButton);
    });
    QTest::mouseClick(Field->Calc_Button()->Button(), Qt::LeftButton);
    EXPECT_TRUE(Seen_Accept_Button);
    EXPECT_EQ(Shown, 2);
    EXPECT_EQ(Field->Stored_Value(), 42);
    EXPECT_EQ(Changes, 1);
    ASSERT_NE(Form_Calculate, nullptr);
    EXPECT_FALSE(Form_Calculate->Accept_Mode());
    EXPECT_FALSE(Form_Calculate->BitBtn_OK->isVisibleTo(Form_Calculate));

    // Closing without accepting, and accepting into a read-only field, change nothing.
    QTimer::singleShot(0, [&] {
        Keys(*Form_Calculate, "7");
        QTest::mouseClick(Form_Calculate->BitBtn_Cancel, Qt::LeftButton);
    });
    QTest::mouseClick(Field->Calc_Button()->Button(), Qt::LeftButton);
    EXPECT_EQ(Field->Stored_Value(), 42);
    Field->Set_ReadOnly(true);
    QTimer::singleShot(0, [&] {
        Keys(*Form_Calculate, "7");
        QTest::mouseClick(Form_Calculate->BitBtn_OK, Qt::LeftButton);
    });
    QTest::mouseClick(Field->Calc_Button()->Button(), Qt::LeftButton);
    EXPECT_EQ(Field->Stored_Value(), 42);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Calculator_Create(), Form_Calculate.data()) << "one window for the application";
}
