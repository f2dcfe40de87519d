// The message dialog driven through its real widgets: keys, clicks and the
// title-bar close, the layout rules, the cascade and the language table.

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include "QtHelpers.h"
#include "WindowPlace.h"
#include "ZoDialog.h"

using namespace QtHelpers;

namespace {

// What a test saw of a dialog while it was open.
struct TSeen {
    QString Title, Text;
    QRect Frame;
    QSize Client;
    QStringList Captions;
    QList<bool> Glyph, Default;
    QRect Label;
};

TSeen Look_At(QWidget* W)
{
    TSeen S;
    auto* D = qobject_cast<TForm_Dialog*>(W);
    EXPECT_NE(D, nullptr);
    if (!D)
        return S;
    S.Title = D->windowTitle();
    S.Text = D->Label_Text->text();
    S.Frame = QRect(D->pos(), D->frameGeometry().size());
    S.Client = D->size();
    S.Label = D->Label_Text->geometry();
    for (int I = 1; I <= 4; ++I)
        if (auto* B = D->findChild<QPushButton*>(QStringLiteral("BitBtn_%1").arg(I))) {
            S.Captions << B->text();
            S.Glyph << !B->icon().isNull();
            S.Default << B->isDefault();
        }
    return S;
}

// Answers the next modal dialog with Key after looking at it.
void Answer_With_Key(Qt::Key Key, TSeen* Seen = nullptr)
{
    When_Modal([=](QWidget* W) {
        if (Seen)
            *Seen = Look_At(W);
        Press_Key(W, Key);
    });
}

void Answer_By_Close(TSeen* Seen = nullptr)
{
    When_Modal([=](QWidget* W) {
        if (Seen)
            *Seen = Look_At(W);
        W->close();
    });
}

void Answer_By_Click(const char* Button)
{
    When_Modal([=](QWidget* W) {
        QPushButton* B = Child<QPushButton>(W, Button);
        ASSERT_NE(B, nullptr) << Button;
        QTest::mouseClick(B, Qt::LeftButton);
    });
}

// A dialog run by hand so that the result of a plain message can be seen.
int Execute(int Flags, const QString& Text, const QString& B1, const QString& B2 = {})
{
    auto* D = new TForm_Dialog;
    D->setAttribute(Qt::WA_DeleteOnClose);
    return D->Dialog_Execute(Flags, Text, B1, B2);
}

int Dialogs_Alive()
{
    int N = 0;
    for (QWidget* W : QApplication::topLevelWidgets())
        if (qobject_cast<TForm_Dialog*>(W))
            ++N;
    return N;
}

}  // namespace

TEST(Dialog, ConfirmAnswersYesNoAndClose)
{
    TSeen Seen;
    Answer_With_Key(Qt::Key_Return, &Seen);
    EXPECT_EQ(Dialog_Confirm(QStringLiteral("Окончить работу с программой?")), 6);
    EXPECT_EQ(Seen.Title, QStringLiteral("Подтвердите"));
    EXPECT_EQ(Seen.Captions, (QStringList{QStringLiteral("&Да"), QStringLiteral("&Нет")}));
    EXPECT_EQ(Seen.Glyph, (QList<bool>{true, true}));
    EXPECT_EQ(Seen.Default, (QList<bool>{true, false}));

    Answer_With_Key(Qt::Key_Escape);
    EXPECT_EQ(Dialog_Confirm(QStringLiteral("?")), 7);
    Answer_By_Close();
    EXPECT_EQ(Dialog_Confirm(QStringLiteral("?")), 2);
    Answer_By_Click("BitBtn_2");
    EXPECT_EQ(Dialog_Ask(nullptr, ZoDialog::Kind_Warn, QStringLiteral("?")), 7);

    // Each dialog freed itself and left the cascade.
    EXPECT_EQ(Dialogs_Alive(), 0);
    EXPECT_EQ(ZoDialog::Open_Dialog_Count(), 0);
}

TEST(Dialog, MessageButtonsAnswerOneToEnterAndEsc)
{
    const QString No = QStringLiteral("2Нет");
    Answer_With_Key(Qt::Key_Escape);
    EXPECT_EQ(Execute(0, QStringLiteral("x"), QStringLiteral("1OK"), No), 1);
    Answer_With_Key(Qt::Key_Enter);
    EXPECT_EQ(Execute(0, QStringLiteral("x"), QStringLiteral("1OK"), No), 1);
    Answer_By_Click("BitBtn_2");
    EXPECT_EQ(Execute(0, QStringLiteral("x"), QStringLiteral("1OK"), No), 1);
    Answer_By_Close();
    EXPECT_EQ(Execute(0, QStringLiteral("x"), QStringLiteral("1OK")), 2);
    // A button without a role digit keeps its positional result.
    Answer_By_Click("BitBtn_2");
    EXPECT_EQ(Execute(0, QStringLiteral("x"), QStringLiteral("1OK"), QStringLiteral("Ещё")), 102);
}

TEST(Dialog, ErrorWarningAndShowCloseByEveryWay)
{
    TSeen Seen;
    Answer_With_Key(Qt::Key_Return, &Seen);
    Dialog_Error(QStringLiteral("Ошибка выполнения расчётов!"));
    EXPECT_EQ(Seen.Title, QStringLiteral("Проблема"));
    EXPECT_EQ(Seen.Text, QStringLiteral("Ошибка выполнения расчётов!!"));
    EXPECT_EQ(Seen.Captions, QStringList{QStringLiteral("OK")});

    Answer_With_Key(Qt::Key_Escape, &Seen);
    Dialog_Warning(QStringLiteral("Расчёт прерван"));
    EXPECT_EQ(Seen.Title, QStringLiteral("Внимание!"));
    EXPECT_EQ(Seen.Text, QStringLiteral("Расчёт прерван!"));

    Answer_By_Close(&Seen);
    Dialog_Show(nullptr, ZoDialog::Kind_Stop, QStringLiteral("Стоп"));
    EXPECT_EQ(Seen.Title, QStringLiteral("Проблема"));
    EXPECT_EQ(Seen.Text, QStringLiteral("Стоп"));
    EXPECT_EQ(Dialogs_Alive(), 0);
}

TEST(Dialog, ChooseGivesPositionsEnterEscAndClose)
{
    const QString Yes = QStringLiteral("1Да"), No = QStringLiteral("Нет"),
                  Cancel = QStringLiteral("2Отмена");
    TSeen Seen;
    Answer_With_Key(Qt::Key_Return, &Seen);
    EXPECT_EQ(Dialog_Choose3(QStringLiteral("Сохранить?"), Yes, No, Cancel), 101);
    EXPECT_EQ(Seen.Captions, (QStringList{QStringLiteral("Да"), QStringLiteral("Нет"),
                                          QStringLiteral("Отмена")}));
    // "Нет" without a digit has no glyph and is neither default nor cancel.
    EXPECT_EQ(Seen.Glyph, (QList<bool>{true, false, true}));
    EXPECT_EQ(Seen.Default, (QList<bool>{true, false, false}));

    Answer_With_Key(Qt::Key_Escape);
    EXPECT_EQ(Dialog_Choose3(QStringLiteral("?"), Yes, No, Cancel), 103);
    Answer_By_Click("BitBtn_2");
    EXPECT_EQ(Dialog_Choose3(QStringLiteral("?"), Yes, No, Cancel), 102);
    Answer_By_Close();
    EXPECT_EQ(Dialog_Choose3(QStringLiteral("?"), Yes, No, Cancel), 2);
    Answer_By_Click("BitBtn_4");
    EXPECT_EQ(Dialog_Choose(ZoDialog::Kind_Warn, QStringLiteral("?"), QStringLiteral("A"),
                            QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")),
              104);
    // Without a cancel button Esc does nothing; the title-bar button still closes.
    When_Modal([](QWidget* W) {
        Press_Key(W, Qt::Key_Escape);
        EXPECT_TRUE(W->isVisible());
        W->close();
    });
    EXPECT_EQ(Dialog_Choose(ZoDialog::Kind_Query, QStringLiteral("?"), QStringLiteral("1A"),
                            QStringLiteral("B")),
              2);
}

TEST(Dialog, TextIsPlainAndButtonsCarryAccelerators)
{
    const QString Text = QStringLiteral("A & B <b>bold</b> &&");
    TSeen Seen;
    When_Modal([&](QWidget* W) {
        Seen = Look_At(W);
        auto* D = qobject_cast<TForm_Dialog*>(W);
        EXPECT_EQ(D->Label_Text->textFormat(), Qt::PlainText);
        // The label is as wide as the literal text, tags and ampersands included.
        const QFontMetrics M(D->Label_Text->font());
        EXPECT_GE(Seen.Label.width(), M.horizontalAdvance(Text));
        // Alt+Н presses "&Нет".
        QTest::sendKeyEvent(QTest::Click, Key_Target(W), static_cast<Qt::Key>(QChar(u'Н').unicode()),
                            QStringLiteral("н"), Qt::AltModifier);
    });
    EXPECT_EQ(Dialog_Ask(nullptr, ZoDialog::Kind_Query, Text), 7);
    EXPECT_EQ(Seen.Text, Text);
}

TEST(Dialog, LongTextWrapsWithinTheScreen)
{
    const QRect Screen = Screen_Area_Of(nullptr);
    TSeen Short, Long, Word;
    Answer_With_Key(Qt::Key_Return, &Short);
    Dialog_Show(nullptr, ZoDialog::Kind_Warn, QStringLiteral("Коротко"));

    QString Text;
    for (int I = 0; I < 80; ++I)
        Text += QStringLiteral("слово%1 ").arg(I);
    Answer_With_Key(Qt::Key_Return, &Long);
    Dialog_Show(nullptr, ZoDialog::Kind_Warn, Text.trimmed());
    EXPECT_LE(Long.Label.width(), Screen.width() - 100);
    EXPECT_LE(Long.Frame.width(), Screen.width());
    EXPECT_GT(Long.Text.count(QLatin1Char('\n')), 1);
    EXPECT_GT(Long.Client.height(), Short.Client.height());
    EXPECT_EQ(QString(Long.Text).replace(QLatin1Char('\n'), QLatin1Char(' ')), Text.trimmed());

    // A single word wider than the screen is broken inside.
    Answer_With_Key(Qt::Key_Return, &Word);
    Dialog_Show(nullptr, ZoDialog::Kind_Warn, QString(400, QLatin1Char('W')));
    EXPECT_LE(Word.Label.width(), Screen.width() - 100);
    EXPECT_GT(Word.Text.count(QLatin1Char('\n')), 0);
}

TEST(Dialog, LayoutFollowsTheRules)
{
    TSeen S;
    Answer_With_Key(Qt::Key_Return, &S);
    Dialog_Choose(ZoDialog::Kind_Query, QStringLiteral("x"), QStringLiteral("1Первая кнопка"),
                  QStringLiteral("Вторая"), QStringLiteral("3Третья"));
    // A short text: the buttons decide the width, with 20 pixels at each side.
    // The picture column (8 + 40 + 20) stands left of the label.
    EXPECT_EQ(S.Label.left(), 68);
    EXPECT_GE(S.Client.height(), 27 + 40 + 12);
    EXPECT_EQ(S.Captions.size(), 3);
}

TEST(Dialog, StackedDialogsCascadeAndUnwind)
{
    TSeen First, Second, Third, Alone;
    When_Modal([&](QWidget* W) {
        First = Look_At(W);
        When_Modal(
            [&](QWidget* W2) {
                Second = Look_At(W2);
                When_Modal(
                    [&](QWidget* W3) {
                        Third = Look_At(W3);
                        Press_Key(W3, Qt::Key_Return);
                    },
                    W2);
                Dialog_Show(W2, ZoDialog::Kind_Plain, QStringLiteral("третий"));
                Press_Key(W2, Qt::Key_Return);
            },
            W);
        Dialog_Show(W, ZoDialog::Kind_Plain, QStringLiteral("второй"));
        // With the inner ones closed, the next one goes where the second was.
        When_Modal(
            [&](QWidget* W2) {
                Alone = Look_At(W2);
                Press_Key(W2, Qt::Key_Return);
            },
            W);
        Dialog_Show(W, ZoDialog::Kind_Plain, QStringLiteral("снова второй"));
        Press_Key(W, Qt::Key_Return);
    });
    Dialog_Show(nullptr, ZoDialog::Kind_Plain, QStringLiteral("первый"));
    EXPECT_EQ(Second.Frame.topLeft() - First.Frame.topLeft(), QPoint(24, 24));
    EXPECT_EQ(Third.Frame.topLeft() - Second.Frame.topLeft(), QPoint(24, 24));
    EXPECT_EQ(Alone.Frame.topLeft(), Second.Frame.topLeft());

    // All closed: the next dialog is centred again.
    EXPECT_EQ(ZoDialog::Open_Dialog_Count(), 0);
    TSeen Centred;
    Answer_With_Key(Qt::Key_Return, &Centred);
    Dialog_Show(nullptr, ZoDialog::Kind_Plain, QStringLiteral("первый"));
    const QRect Screen = Screen_Area_Of(nullptr);
    EXPECT_NEAR(Centred.Frame.center().x(), Screen.center().x(), 4);
    EXPECT_NEAR(Centred.Frame.center().y(), Screen.center().y(), 4);
    EXPECT_EQ(Centred.Frame.topLeft(), First.Frame.topLeft());
}

TEST(Dialog, LanguageTableSwitchesTitlesAndButtons)
{
    ZoDialog::Set_Language(2);
    TSeen Seen;
    Answer_With_Key(Qt::Key_Escape, &Seen);
    EXPECT_EQ(Dialog_Confirm(QStringLiteral("Quit?")), 7);
    ZoDialog::Set_Language(1);
    EXPECT_EQ(Seen.Title, QStringLiteral("Confirm"));
    EXPECT_EQ(Seen.Captions, (QStringList{QStringLiteral("&Yes"), QStringLiteral("&No")}));
    EXPECT_EQ(ZoDialog::Get_Text(ZoDialog::Text::Button_Yes), QStringLiteral("1&Да"));
}
