// The gravity dialog: what OK, cancel and the editor's limits do with the
// value, and how the dialog looks.

#include "app/GravityDialog.h"
#include "controls/ColorButton.h"
#include "controls/NumberEdit.h"
#include "controls/ScalableEdit.h"
#include "tests/QtHelpers.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>

#include <functional>

namespace {

TEdit_Scalable* Editor_Of(QWidget* Form)
{
    auto* Editor = QtHelpers::Child<TEdit_Scalable>(Form, "Edit_Scalable_Gravity");
    EXPECT_NE(Editor, nullptr);
    return Editor;
}

// The user picks the unit Steps places down the unit list, then types Text
// over the number.
void Enter(QWidget* Form, int Steps, const QString& Text)
{
    TEdit_Scalable* Editor = Editor_Of(Form);
    QComboBox* Units = Editor->Units_List();
    Units->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < Steps; ++i)
        QTest::keyClick(Units, Qt::Key_Down);
    QLineEdit* Box = Editor->Number_Edit()->Inner_Edit();
    Box->setFocus(Qt::TabFocusReason);
    Box->selectAll();
    QTest::keyClicks(Box, Text);
}

void Click(QWidget* Form, const char* Button)
{
    QTest::mouseClick(QtHelpers::Child<TBtn_Clr>(Form, Button), Qt::LeftButton);
}

using QtHelpers::Screenshot_Folder;

}  // namespace

TEST(GravityDialog, CentimetresConfirmedGiveMetres)
{
    QWidget Owner;
    double Gravity = 9.81;
    QString Shown;
    QStringList Units;
    QtHelpers::When_Modal([&](QWidget* Form) {
        EXPECT_EQ(Form->windowTitle(), "Дополнительные параметры");
        TEdit_Scalable* Editor = Editor_Of(Form);
        Shown = Editor->Number_Edit()->Inner_Edit()->text();
        for (int i = 0; i < Editor->Units_List()->count(); ++i)
            Units << Editor->Units_List()->itemText(i);
        Enter(Form, 1, "981");
        EXPECT_EQ(Editor->Units_List()->currentText(), "см/c2");
        Click(Form, "BitBtn_OK");
    });
    EXPECT_TRUE(Edit_Gravity(&Owner, Gravity));
    EXPECT_DOUBLE_EQ(Gravity, 9.81);
    EXPECT_EQ(Shown, "9.810");
    // The unit captions are written with a Latin "c".
    EXPECT_EQ(Units, QStringList({"м/c2", "см/c2", "мм/c2"}));
    EXPECT_TRUE(Owner.findChildren<QDialog*>().isEmpty()) << "the form is freed";
}

TEST(GravityDialog, OnlyOkChangesTheValue)
{
    const struct {
        const char* Way;
        std::function<void(QWidget*)> Close;
        bool Accepted;
        double Gravity;
    } Ways[] = {
        {"Cancel", [](QWidget* F) { Click(F, "BitBtn_Cancel"); }, false, 9.80665},
        {"Escape", [](QWidget* F) { QtHelpers::Press_Key(F, Qt::Key_Escape); }, false, 9.80665},
        {"close box", [](QWidget* F) { F->close(); }, false, 9.80665},
        {"Enter", [](QWidget* F) { QtHelpers::Press_Key(F, Qt::Key_Return); }, true, 0.012},
        {"OK", [](QWidget* F) { Click(F, "BitBtn_OK"); }, true, 0.012},
    };
    QWidget Owner;
    for (const auto& Way : Ways) {
        SCOPED_TRACE(Way.Way);
        double Gravity = 9.80665;
        QtHelpers::When_Modal([&](QWidget* Form) {
            Enter(Form, 2, "12");  // 12 mm/c2, still being typed
            Way.Close(Form);
        });
        EXPECT_EQ(Edit_Gravity(&Owner, Gravity), Way.Accepted);
        EXPECT_DOUBLE_EQ(Gravity, Way.Gravity);
    }
}

TEST(GravityDialog, NegativeEntriesStopAtZero)
{
    QWidget Owner;
    for (const char* Text : {"-5", "0"}) {
        SCOPED_TRACE(Text);
        double Gravity = 9.81;
        QtHelpers::When_Modal([&](QWidget* Form) {
            Enter(Form, 0, Text);
            Click(Form, "BitBtn_OK");
        });
        EXPECT_TRUE(Edit_Gravity(&Owner, Gravity));
        EXPECT_EQ(Gravity, 0.0);
    }
}

// The picture, and the button row: OK and cancel centred, 4 gaps apart.
TEST(GravityDialog, Layout)
{
    QWidget Owner;
    double Gravity = 9.81;
    QtHelpers::When_Modal([&](QWidget* Form) {
        QCoreApplication::sendPostedEvents();
        EXPECT_TRUE(QtHelpers::Grab(Form).save(Screenshot_Folder() + "/gravity-dialog.png"));
        auto* OK = QtHelpers::Child<TBtn_Clr>(Form, "BitBtn_OK");
        auto* Cancel = QtHelpers::Child<TBtn_Clr>(Form, "BitBtn_Cancel");
        EXPECT_EQ(Cancel->text(), "&Отмена");
        EXPECT_GE(OK->width(), 60);
        EXPECT_GE(Cancel->width(), 90);
        EXPECT_EQ(Cancel->x() - (OK->x() + OK->width()), 16);
        EXPECT_LE(std::abs(OK->x() - (Form->width() - Cancel->x() - Cancel->width())), 1);
        EXPECT_EQ(OK->y(), Cancel->y());
        TEdit_Scalable* Editor = Editor_Of(Form);
        EXPECT_EQ(Editor->x(), 4);
        EXPECT_EQ(Editor->width(), Form->width() - 8);
        EXPECT_LE(OK->y() + OK->height(), Form->height() - 4);
        EXPECT_GE(Form->width(), 300);
        QLabel* Caption = Editor->Caption_Label();
        EXPECT_LE(Caption->x() + Caption->width(), Editor->Number_Edit()->x())
            << "the caption stays left of the field";
        EXPECT_GE(Editor->Units_List()->width(), Editor->Units_List()->sizeHint().width());
        EXPECT_EQ(Editor->accessibleName(), "Гравитационное ускорение");
        Click(Form, "BitBtn_Cancel");
    });
    EXPECT_FALSE(Edit_Gravity(&Owner, Gravity));
}
