// The message dialog driven through its real widgets: keys, clicks and the
// title-bar close for every kind, plain text and wrapping, the cascade and the
// language table.

#include <QLabel>
#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>

#include "dialogs/MessageDialog.h"
#include "dialogs/WindowPlace.h"
#include "tests/QtHelpers.h"

using namespace QtHelpers;

namespace {

// What a test saw of a dialog while it was open.
struct TSeen {
    QString Title, Text;
    QRect Frame, Label;
    QSize Client;
    QStringList Captions;
    QList<QPushButton*> Buttons;  // valid only while the dialog is open
};

TSeen Look_At(QWidget* W)
{
    auto* D = qobject_cast<TForm_Dialog*>(W);
    EXPECT_NE(D, nullptr);
    if (!D)
        return {};
    TSeen S{D->windowTitle(),
            D->Label_Text->text(),
            QRect(D->pos(), D->frameGeometry().size()),
            D->Label_Text->geometry(),
            D->size(),
            {},
            {}};
    for (const char* Name : {"BitBtn_1", "BitBtn_2", "BitBtn_3", "BitBtn_4"})
        if (auto* B = Child<QPushButton>(D, Name))
            S.Captions << B->text(), S.Buttons << B;
    return S;
}

using TAnswer = std::function<void(QWidget*)>;

// Answers the next modal dialog with Answer after looking at it.
void Answer(const TAnswer& Answer, TSeen* Seen = nullptr)
{
    When_Modal([=](QWidget* W) {
        if (Seen)
            *Seen = Look_At(W);
        Answer(W);
    });
}

const TAnswer Enter = [](QWidget* W) { Press_Key(W, Qt::Key_Return); };
const TAnswer Esc = [](QWidget* W) { Press_Key(W, Qt::Key_Escape); };
const TAnswer Close = [](QWidget* W) { W->close(); };
TAnswer Click(const char* Button)
{
    return [=](QWidget* W) {
        QPushButton* B = Child<QPushButton>(W, Button);
        ASSERT_NE(B, nullptr) << Button;
        QTest::mouseClick(B, Qt::LeftButton);
    };
}

// A dialog run by hand so that the result of a plain message can be seen.
int Execute(const QString& B1, const QString& B2 = {})
{
    auto* D = new TForm_Dialog;
    D->setAttribute(Qt::WA_DeleteOnClose);
    return D->Dialog_Execute(0, QStringLiteral("x"), B1, B2);
}

}  // namespace

TEST(Dialog, EveryKindAnswersEnterEscCloseAndClicks)
{
    const QString Q = QStringLiteral("?");
    struct TKind {
        const char* Name;
        QString Title;                   // empty: not checked
        std::function<int()> Run;        // 0 for the kinds without a result
        int Enter, Esc, Close, Click_2;  // -1: not tried
    };
    const TKind Kinds[] = {
        {"confirm", QStringLiteral("Подтвердите"), [&] { return Dialog_Confirm(Q); }, 6, 7, 2, 7},
        {"ask", {}, [&] { return Dialog_Ask(nullptr, ZoDialog::Kind_Warn, Q); }, 6, 7, 2, 7},
        {"message",
         {},
         [] { return Execute(QStringLiteral("1OK"), QStringLiteral("2Нет")); },
         1,
         1,
         2,
         1},
        // A button without a role digit keeps its positional result.
        {"message+",
         {},
         [] { return Execute(QStringLiteral("1OK"), QStringLiteral("Ещё")); },
         1,
         1,
         2,
         102},
        {"error", QStringLiteral("Проблема"), [&] { return Dialog_Error(Q), 0; }, 0, 0, 0, -1},
        {"warning", QStringLiteral("Внимание!"), [&] { return Dialog_Warning(Q), 0; }, 0, 0, 0, -1},
        {"show", QStringLiteral("Проблема"),
         [&] { return Dialog_Show(nullptr, ZoDialog::Kind_Stop, Q), 0; }, 0, 0, 0, -1},
        {"choose3",
         {},
         [&] {
             return Dialog_Choose3(Q, QStringLiteral("1Да"), QStringLiteral("Нет"),
                                   QStringLiteral("2Отмена"));
         },
         101,
         103,
         2,
         102},
    };
    for (const TKind& K : Kinds) {
        const std::pair<TAnswer, int> Answers[] = {
            {Enter, K.Enter}, {Esc, K.Esc}, {Close, K.Close}, {Click("BitBtn_2"), K.Click_2}};
        for (int I = 0; I < 4; ++I) {
            if (Answers[I].second < 0)
                continue;
            SCOPED_TRACE(testing::Message() << K.Name << ", answer " << I);
            TSeen Seen;
            Answer(Answers[I].first, &Seen);
            EXPECT_EQ(K.Run(), Answers[I].second);
            if (!K.Title.isEmpty()) {
                EXPECT_EQ(Seen.Title, K.Title);
            }
        }
    }
    // Each dialog freed itself and left the cascade.
    for (QWidget* W : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TForm_Dialog*>(W), nullptr);
    EXPECT_EQ(ZoDialog::Open_Dialog_Count(), 0);
}

TEST(Dialog, ChooseButtonsFollowTheirRoleDigits)
{
    // A caption without a digit has no glyph and is neither default nor cancel.
    QStringList Glyph, Default;
    When_Modal([&](QWidget* W) {
        for (QPushButton* B : Look_At(W).Buttons)
            Glyph << (B->icon().isNull() ? "-" : "g"), Default << (B->isDefault() ? "d" : "-");
        Click("BitBtn_4")(W);
    });
    EXPECT_EQ(Dialog_Choose(ZoDialog::Kind_Warn, QStringLiteral("?"), QStringLiteral("1Да"),
                            QStringLiteral("Нет"), QStringLiteral("2Отмена"), QStringLiteral("D")),
              104);
    EXPECT_EQ(Glyph.join(QString()), QStringLiteral("g-g-"));
    EXPECT_EQ(Default.join(QString()), QStringLiteral("d---"));

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
        EXPECT_GE(Seen.Label.width(), QFontMetrics(D->Label_Text->font()).horizontalAdvance(Text));
        // Alt+Н presses "&Нет".
        QTest::sendKeyEvent(QTest::Click, Key_Target(W),
                            static_cast<Qt::Key>(QChar(u'Н').unicode()), QStringLiteral("н"),
                            Qt::AltModifier);
    });
    EXPECT_EQ(Dialog_Ask(nullptr, ZoDialog::Kind_Query, Text), 7);
    EXPECT_EQ(Seen.Text, Text);
    EXPECT_EQ(Seen.Captions, (QStringList{QStringLiteral("&Да"), QStringLiteral("&Нет")}));
}

TEST(Dialog, LongTextWrapsWithinTheScreen)
{
    const int Screen_Width = Screen_Area_Of(nullptr).width();
    TSeen Long, Word;
    QString Text;
    for (int I = 0; I < 80; ++I)
        Text += QStringLiteral(" слово%1").arg(I);
    Text = Text.trimmed();
    Answer(Enter, &Long);
    Dialog_Show(nullptr, ZoDialog::Kind_Warn, Text);
    EXPECT_LE(Long.Frame.width(), Screen_Width);
    EXPECT_GT(Long.Text.count(QLatin1Char('\n')), 1);
    EXPECT_GE(Long.Label.height(), 3 * QFontMetrics(QApplication::font()).height());
    EXPECT_EQ(QString(Long.Text).replace(QLatin1Char('\n'), QLatin1Char(' ')), Text);

    // A single word wider than the screen is broken inside.
    Answer(Enter, &Word);
    Dialog_Show(nullptr, ZoDialog::Kind_Warn, QString(400, QLatin1Char('W')));
    EXPECT_LE(Word.Frame.width(), Screen_Width);
    EXPECT_GT(Word.Text.count(QLatin1Char('\n')), 0);
}

TEST(Dialog, StackedDialogsCascadeAndUnwind)
{
    const auto Show = [](QWidget* Owner, const char* Text) {
        Dialog_Show(Owner, ZoDialog::Kind_Plain, QString::fromUtf8(Text));
    };
    TSeen First, Second, Third, Alone;
    When_Modal([&](QWidget* W) {
        First = Look_At(W);
        When_Modal(
            [&](QWidget* W2) {
                Second = Look_At(W2);
                When_Modal([&](QWidget* W3) { Third = Look_At(W3), Enter(W3); }, W2);
                Show(W2, "третий");
                Enter(W2);
            },
            W);
        Show(W, "второй");
        // With the inner ones closed, the next one goes where the second was.
        When_Modal([&](QWidget* W2) { Alone = Look_At(W2), Enter(W2); }, W);
        Show(W, "снова второй");
        Enter(W);
    });
    Show(nullptr, "первый");
    EXPECT_EQ(Second.Frame.topLeft() - First.Frame.topLeft(), QPoint(24, 24));
    EXPECT_EQ(Third.Frame.topLeft() - Second.Frame.topLeft(), QPoint(24, 24));
    EXPECT_EQ(Alone.Frame.topLeft(), Second.Frame.topLeft());

    // All closed: the next dialog is centred again.
    EXPECT_EQ(ZoDialog::Open_Dialog_Count(), 0);
    TSeen Centred;
    Answer(Enter, &Centred);
    Show(nullptr, "первый");
    const QRect Screen = Screen_Area_Of(nullptr);
    EXPECT_NEAR(Centred.Frame.center().x(), Screen.center().x(), 4);
    EXPECT_NEAR(Centred.Frame.center().y(), Screen.center().y(), 4);
    EXPECT_EQ(Centred.Frame.topLeft(), First.Frame.topLeft());
}

TEST(Dialog, LanguageTableSwitchesTitlesAndButtons)
{
    ZoDialog::Set_Language(2);
    TSeen Seen;
    Answer(Esc, &Seen);
    EXPECT_EQ(Dialog_Confirm(QStringLiteral("Quit?")), 7);
    ZoDialog::Set_Language(1);
    EXPECT_EQ(Seen.Title, QStringLiteral("Confirm"));
    EXPECT_EQ(Seen.Captions, (QStringList{QStringLiteral("&Yes"), QStringLiteral("&No")}));
    EXPECT_EQ(ZoDialog::Get_Text(ZoDialog::Text::Button_Yes), QStringLiteral("1&Да"));
}
