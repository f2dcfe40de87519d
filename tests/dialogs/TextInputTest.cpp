// The text input window driven through its widgets: OK, Cancel and Esc, the
// drop-down history, the replace window's second box, the length limit, the
// remembered position, and a picture of the replace window.

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <gtest/gtest.h>

#include "controls/ColorButton.h"
#include "dialogs/TextInput.h"
#include "dialogs/WindowPlace.h"
#include "tests/QtHelpers.h"

using namespace QtHelpers;

namespace {

// Runs Form modally, Answer doing what the user does; the result of exec().
int Answer_Modal(TForm_ZoText& Form, std::function<void(TForm_ZoText*)> Answer)
{
    When_Modal([=](QWidget* W) {
        auto* F = qobject_cast<TForm_ZoText*>(W);
        ASSERT_NE(F, nullptr);
        Answer(F);
    });
    return Form.exec();
}

// Types Text, Cyrillic letters too, as key presses with their text.
void Type(TForm_ZoText* F, const QString& Text)
{
    for (const QChar C : Text)
        QTest::sendKeyEvent(QTest::Click, Key_Target(F), Qt::Key_unknown, QString(C),
                            Qt::NoModifier);
}

const QStringList History{QStringLiteral("мир"), QStringLiteral("abc"), QStringLiteral("Мир")};

}  // namespace

TEST(TextInput, CaptionsInBothLanguages)
{
    {
        TForm_ZoText Form;
        EXPECT_EQ(Form.windowTitle(), QStringLiteral("Ввод текста"));
        EXPECT_EQ(Form.BitBtn_Cancel->text(), QStringLiteral("&Отмена"));
        EXPECT_NE(Form.Edit, nullptr);
        EXPECT_EQ(Form.ComboBox, nullptr);
        EXPECT_EQ(Form.Input_Box(), Form.Edit);
    }
    ZoText::Set_Language(2);
    TForm_ZoText English;
    ZoText::Set_Language(1);
    EXPECT_EQ(English.windowTitle(), QStringLiteral("Text input"));
    EXPECT_EQ(English.BitBtn_Cancel->text(), QStringLiteral("&Cancel"));
}

TEST(TextInput, OkAcceptsCancelAndEscDoNot)
{
    struct TCase {
        const char* Name;
        bool With_History;
        std::function<void(TForm_ZoText*)> Finish;
        bool Accepted;
    };
    const std::vector<TCase> Cases = {
        {"Enter in the edit", false, [](TForm_ZoText* F) { Press_Key(F, Qt::Key_Return); }, true},
        {"Enter in the box", true, [](TForm_ZoText* F) { Press_Key(F, Qt::Key_Return); }, true},
        {"OK clicked", true,
         [](TForm_ZoText* F) { QTest::mouseClick(F->BitBtn_OK, Qt::LeftButton); }, true},
        {"Esc", true, [](TForm_ZoText* F) { Press_Key(F, Qt::Key_Escape); }, false},
        {"Cancel clicked", false,
         [](TForm_ZoText* F) { QTest::mouseClick(F->BitBtn_Cancel, Qt::LeftButton); }, false},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TForm_ZoText Form;
        if (C.With_History)
            Text_Set_History(&Form, History);
        Form.Set_Text(QStringLiteral("x"));
        QString Seen;
        const int Result = Answer_Modal(Form, [&](TForm_ZoText* F) {
            // The text the caller set, selected, so that typing replaces it.
            Seen = F->Text();
            Type(F, QStringLiteral("Жук b"));
            C.Finish(F);
        });
        EXPECT_EQ(Seen, QStringLiteral("x"));
        EXPECT_EQ(Result == 1, C.Accepted) << Result;
        if (C.Accepted) {
            EXPECT_EQ(Form.Text(), QStringLiteral("Жук b"));
        }
    }
}

TEST(TextInput, HistoryFillsADropDownBoxInPlaceOfTheEdit)
{
    TForm_ZoText Form;
    Form.Set_Text(QStringLiteral("начало"));
    Form.Edit->setFocus();
    Text_Set_History(&Form, History);
    ASSERT_NE(Form.ComboBox, nullptr);
    EXPECT_EQ(Form.Edit, nullptr);
    EXPECT_EQ(Form.Input_Box(), Form.ComboBox);
    EXPECT_TRUE(Form.ComboBox->isEditable());
    QStringList Items;
    for (int I = 0; I < Form.ComboBox->count(); ++I)
        Items << Form.ComboBox->itemText(I);
    EXPECT_EQ(Items, History);
    EXPECT_EQ(Form.Text(), QStringLiteral("начало"));  // the edit's text carried over

    // Again: the same box, the new list; no history keeps the items.
    QComboBox* Box = Form.ComboBox;
    Text_Set_History(&Form, QStringList{QStringLiteral("z")});
    EXPECT_EQ(Form.ComboBox, Box);
    EXPECT_EQ(Box->count(), 1);
    Text_Set_History(&Form, nullptr);
    EXPECT_EQ(Box->count(), 1);

    // Picking an entry of the list, then OK; the box adds nothing to it.
    const int Result = Answer_Modal(Form, [](TForm_ZoText* F) {
        F->ComboBox->setCurrentIndex(0);
        Press_Key(F, Qt::Key_Return);
    });
    EXPECT_EQ(Result, 1);
    EXPECT_EQ(Form.Text(), QStringLiteral("z"));
    EXPECT_EQ(Box->count(), 1);
}

TEST(TextInput, TypedTextIsTakenAsItStandsNotCompletedFromTheList)
{
    TForm_ZoText Form;
    Text_Set_History(&Form, QStringList{QStringLiteral("abcdef"), QStringLiteral("ABC")});
    Form.Set_Text({});
    Answer_Modal(Form, [](TForm_ZoText* F) {
        Type(F, QStringLiteral("ab"));
        Press_Key(F, Qt::Key_Return);
    });
    EXPECT_EQ(Form.Text(), QStringLiteral("ab"));
}

TEST(TextInput, ReplaceWindowHasTwoLabelledBoxesAndGrows)
{
    TForm_ZoText One;
    Text_Set_History(&One, History);
    One.layout()->activate();
    const int One_Height = One.sizeHint().height();

    TForm_ZoText Form;
    Form.setWindowTitle(QStringLiteral("Замена"));
    Text_Set_History(&Form, History);
    Form.Set_Text(QStringLiteral("мир"));
    Form.Add_Second_Box(QStringLiteral("Искать"), QStringLiteral("Заменить"),
                        {QStringLiteral("world"), QStringLiteral("Welt")}, QStringLiteral("world"));
    ASSERT_NE(Form.ComboBox_2, nullptr);
    EXPECT_EQ(Form.Label_1->text(), QStringLiteral("Искать"));
    EXPECT_EQ(Form.Label_2->text(), QStringLiteral("Заменить"));
    EXPECT_EQ(Form.ComboBox_2->count(), 2);
    EXPECT_EQ(Form.Second_Text(), QStringLiteral("world"));

    QRect Label_1, Box_1, Label_2, Box_2, OK;
    int Height = 0;
    const int Result = Answer_Modal(Form, [&](TForm_ZoText* F) {
        Label_1 = F->Label_1->geometry();
        Box_1 = F->ComboBox->geometry();
        Label_2 = F->Label_2->geometry();
        Box_2 = F->ComboBox_2->geometry();
        OK = F->BitBtn_OK->geometry();
        Height = F->height();
        // Tab leads from the first box to the second.
        Press_Key(F, Qt::Key_Tab);
        EXPECT_TRUE(F->focusWidget() == F->ComboBox_2 ||
                    F->focusWidget() == F->ComboBox_2->lineEdit());
        Type(F, QStringLiteral("мир!"));
        Press_Key(F, Qt::Key_Return);
    });
    EXPECT_EQ(Result, 1);
    EXPECT_EQ(Form.Text(), QStringLiteral("мир"));
    EXPECT_EQ(Form.Second_Text(), QStringLiteral("мир!"));
    // A label over each box, the buttons below both; the window grew by them.
    EXPECT_LE(Label_1.bottom(), Box_1.top());
    EXPECT_LE(Box_1.bottom(), Label_2.top());
    EXPECT_LE(Label_2.bottom(), Box_2.top());
    EXPECT_LT(Box_2.bottom(), OK.top());
    EXPECT_GE(Height, One_Height + Box_2.height() + 2 * Label_1.height());
}

TEST(TextInput, GreatestLengthLimitsBothBoxes)
{
    for (const int Limit : {0, 3}) {
        TForm_ZoText Form;
        Form.Set_Max_Length(Limit);
        Text_Set_History(&Form, History);
        Form.Set_Text({});
        Form.Add_Second_Box(QStringLiteral("Искать"), QStringLiteral("Заменить"), {}, {});
        Answer_Modal(Form, [](TForm_ZoText* F) {
            Type(F, QStringLiteral("abcdef"));
            Press_Key(F, Qt::Key_Tab);
            Type(F, QStringLiteral("абвгде"));
            Press_Key(F, Qt::Key_Return);
        });
        EXPECT_EQ(Form.Max_Length(), Limit);
        EXPECT_EQ(Form.Text(), Limit ? QStringLiteral("abc") : QStringLiteral("abcdef"));
        EXPECT_EQ(Form.Second_Text(), Limit ? QStringLiteral("абв") : QStringLiteral("абвгде"));
    }
}

TEST(TextInput, OpensWhereTheLastOneWasClosed)
{
    ZoText::Forget_Position();
    const QRect Screen = Screen_Area_Of(nullptr);
    QPoint First_Centre;
    {
        TForm_ZoText Form;
        Answer_Modal(Form, [&](TForm_ZoText* F) {
            First_Centre = F->frameGeometry().center();
            F->move(Screen.left() + 37, Screen.top() + 53);
            Press_Key(F, Qt::Key_Escape);  // closed by Esc: the place counts as well
        });
    }
    EXPECT_NEAR(First_Centre.x(), Screen.center().x(), 2);
    EXPECT_NEAR(First_Centre.y(), Screen.center().y(), 2);
    EXPECT_EQ(ZoText::Last_Left(), Screen.left() + 37);
    EXPECT_EQ(ZoText::Last_Top(), Screen.top() + 53);

    // The next one, even a larger replace window, stands there.
    TForm_ZoText Form;
    Form.Add_Second_Box(QStringLiteral("Искать"), QStringLiteral("Заменить"), {}, {});
    QPoint Seen;
    Answer_Modal(Form, [&](TForm_ZoText* F) {
        Seen = F->pos();
        Press_Key(F, Qt::Key_Return);
    });
    EXPECT_EQ(Seen, QPoint(Screen.left() + 37, Screen.top() + 53));
    ZoText::Forget_Position();
}

TEST(TextInput, PictureOfTheReplaceWindow)
{
    TForm_ZoText Form;
    Form.setWindowTitle(QStringLiteral("Замена"));
    Text_Set_History(&Form, History);
    Form.Set_Text(QStringLiteral("мир"));
    Form.Add_Second_Box(QStringLiteral("Искать"), QStringLiteral("Заменить"),
                        {QStringLiteral("world")}, QStringLiteral("world"));
    QImage Picture;
    Answer_Modal(Form, [&](TForm_ZoText* F) {
        Wait(50);
        Picture = Grab(F);
        Press_Key(F, Qt::Key_Escape);
    });
    ASSERT_FALSE(Picture.isNull());
    // Both buttons inside the window, nothing cut at the right or bottom.
    EXPECT_LE(Form.BitBtn_Cancel->geometry().right(), Picture.width() - 1);
    EXPECT_LE(Form.BitBtn_OK->geometry().bottom(), Picture.height() - 1);
    QDir().mkpath(QStringLiteral(HYD_SCREENSHOT_DIR));
    EXPECT_TRUE(Picture.save(QStringLiteral(HYD_SCREENSHOT_DIR "/text-input-replace.png")));
}
