// The water-hammer dialog: which controls are enabled, the material choice,
// the values it hands to a case and takes back, and how it closes.

#include "app/HammerDialog.h"
#include "case/CaseModel.h"
#include "controls/ColorButton.h"
#include "controls/NumberEdit.h"
#include "controls/ScalableEdit.h"
#include "engine/Tables.h"
#include "tests/QtHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <functional>
#include <initializer_list>

namespace {

// A case whose drive differs from the defaults everywhere.
TCase Drive()
{
    TCase Case;
    Case.BlowSpeed = 1.75;
    Case.BlowPipeKind = 0;
    Case.BlowDiameter = 0.205;
    Case.BlowLength = 37.5;
    Case.BlowSlope = -12.5;
    Case.BlowYoung = 5.5e10;
    Case.BlowWalls = 0.0035;
    Case.NarrowingKind = 1;
    Case.MayTrunc = true;
    return Case;
}

// The user picks the item Name from the list.
void Choose(QComboBox* List, const char* Name)
{
    const int Index = List->findText(QString::fromUtf8(Name));
    ASSERT_GE(Index, 0) << Name;
    List->setCurrentIndex(Index);
    emit List->activated(Index);
}

// The user types Text over the number in Editor's field and leaves it.
void Type_Into(TEdit_Scalable* Editor, const QString& Text, QWidget* Next)
{
    QLineEdit* Box = Editor->Number_Edit()->Inner_Edit();
    Box->setFocus(Qt::TabFocusReason);
    Box->selectAll();
    QTest::keyClicks(Box, Text);
    Next->setFocus(Qt::TabFocusReason);
}

QLineEdit* Field(TEdit_Scalable* Editor)
{
    return Editor->Number_Edit()->Inner_Edit();
}

using QtHelpers::Screenshot_Folder;

}  // namespace

TEST(HammerDialog, EnabledControlsFollowDiameterMaterialSpeedAndLength)
{
    TForm_Calc Dialog;
    EXPECT_EQ(Dialog.windowTitle(), "Параметры гидроудара");
    const struct {
        double Speed, Length, Diameter;
        int Material;
        bool List, Young, Trunc;
    } Rows[] = {
        // Speed Length Diam   Mat  List   Young  Trunc
        {1.0, 10.0, 0.1, 0, true, true, true},
        {0.0, 10.0, 0.1, 0, true, true, false},
        {1.0, 0.0, 0.1, 0, true, true, false},
        {0.0, 0.0, 0.1, 5, true, false, false},
        {1.0, 10.0, 0.1, 5, true, false, true},
        {1.0, 10.0, 0.0, 0, false, false, true},
        {1.0, 10.0, 0.0, 5, false, false, true},
        {1.0, 10.0, 1e-6, 0, true, true, true},  // 0.001 mm: still a pipe
    };
    for (const auto& Row : Rows) {
        SCOPED_TRACE(testing::Message() << Row.Speed << " m/s, " << Row.Length << " m, "
                                        << Row.Diameter << " m, material " << Row.Material);
        TCase Case = Drive();
        Case.BlowSpeed = Row.Speed;
        Case.BlowLength = Row.Length;
        Case.BlowDiameter = Row.Diameter;
        Case.BlowPipeKind = Row.Material;
        Dialog.Load_From(Case);
        EXPECT_EQ(Dialog.ComboBox_Mat->isEnabled(), Row.List);
        EXPECT_EQ(Dialog.Edit_Scalable_Young->isEnabled(), Row.Young);
        EXPECT_EQ(Dialog.CheckBox_Trunc->isEnabled(), Row.Trunc);
        for (QWidget* Always : std::initializer_list<QWidget*>{
                 Dialog.Edit_Scalable_Diam, Dialog.Edit_Scalable_Length, Dialog.Edit_Scalable_Slope,
                 Dialog.Edit_Scalable_Walls, Dialog.Edit_Scalable_Speed, Dialog.ComboBox_Narrow})
            EXPECT_TRUE(Always->isEnabled()) << Always->objectName().toStdString();
        // A disabled check box keeps its mark, and the case gets it.
        EXPECT_TRUE(Dialog.CheckBox_Trunc->isChecked());
        TCase Out;
        Dialog.Store_To(Out);
        EXPECT_TRUE(Out.MayTrunc);
    }
}

// The state follows the user's typing once a field is left: speed and length
// switch the check box, the diameter the material list and Young's modulus.
TEST(HammerDialog, TypedValuesUpdateTheStateWhenTheFieldIsLeft)
{
    TForm_Calc Dialog;
    Dialog.Load_From(Drive());
    Dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Dialog));
    QWidget* Elsewhere = Dialog.ComboBox_Narrow;
    const struct {
        TEdit_Scalable* Editor;
        QWidget* Follows;
    } Rows[] = {{Dialog.Edit_Scalable_Speed, Dialog.CheckBox_Trunc},
                {Dialog.Edit_Scalable_Length, Dialog.CheckBox_Trunc},
                {Dialog.Edit_Scalable_Diam, Dialog.ComboBox_Mat},
                {Dialog.Edit_Scalable_Diam, Dialog.Edit_Scalable_Young}};
    for (const auto& Row : Rows) {
        SCOPED_TRACE(Row.Follows->objectName().toStdString());
        Dialog.Load_From(Drive());
        ASSERT_TRUE(Row.Follows->isEnabled());
        Type_Into(Row.Editor, "0", Elsewhere);
        EXPECT_FALSE(Row.Follows->isEnabled());
        Type_Into(Row.Editor, "2", Elsewhere);
        EXPECT_TRUE(Row.Follows->isEnabled());
    }
    Dialog.hide();
}

TEST(HammerDialog, OnlyTheUsersMaterialChoiceFillsYoungsModulus)
{
    TForm_Calc Dialog;
    TCase Case = Drive();
    Dialog.Load_From(Case);
    ASSERT_TRUE(Dialog.Edit_Scalable_Young->isEnabled());

    Choose(Dialog.ComboBox_Mat, "сталь обычная");
    EXPECT_EQ(Dialog.Edit_Scalable_Young->Value(), 2e11);
    EXPECT_EQ(Field(Dialog.Edit_Scalable_Young)->text(), "200.000");
    EXPECT_EQ(Dialog.Edit_Scalable_Young->Units_List()->currentText(), "ГПа");
    EXPECT_FALSE(Dialog.Edit_Scalable_Young->isEnabled());
    TCase Out;
    Dialog.Store_To(Out);
    EXPECT_EQ(Out.BlowPipeKind, 5);
    EXPECT_EQ(Out.BlowYoung, 2e11);

    Choose(Dialog.ComboBox_Mat, "произвольный материал");
    EXPECT_TRUE(Dialog.Edit_Scalable_Young->isEnabled());
    EXPECT_EQ(Dialog.Edit_Scalable_Young->Value(), 2e11) << "the free material keeps the value";

    // A material selected by the program (a file, a restore) keeps the
    // modulus the case holds.
    Case.BlowPipeKind = 1;  // glass, 6e10 in the table
    Dialog.Load_From(Case);
    EXPECT_EQ(Dialog.ComboBox_Mat->currentIndex(), 1);
    EXPECT_EQ(Dialog.Edit_Scalable_Young->Value(), Case.BlowYoung);
    EXPECT_FALSE(Dialog.Edit_Scalable_Young->isEnabled());
    Dialog.ComboBox_Mat->setCurrentIndex(3);
    EXPECT_EQ(Dialog.Edit_Scalable_Young->Value(), Case.BlowYoung);
}

// What the main window keeps before the dialog opens and puts back after a
// cancel: every value and choice comes back, whatever the user chose since.
TEST(HammerDialog, StoreAndLoadRoundTrip)
{
    TForm_Calc Dialog;
    const TCase Kept = Drive();
    Dialog.Load_From(Kept);

    Choose(Dialog.ComboBox_Mat, "чугун");
    Dialog.Edit_Scalable_Speed->Set_Value(3);
    Dialog.Edit_Scalable_Walls->Set_Value(0.01);
    Dialog.ComboBox_Narrow->setCurrentIndex(0);
    Dialog.CheckBox_Trunc->setChecked(false);
    TCase Changed;
    Dialog.Store_To(Changed);
    EXPECT_EQ(Changed.BlowPipeKind, 6);
    EXPECT_EQ(Changed.BlowYoung, 1.9e11);
    EXPECT_EQ(Changed.BlowSpeed, 3.0);

    Dialog.Load_From(Kept);
    TCase Back;
    Back.MayBlow = true;  // not the dialog's: left alone
    Dialog.Store_To(Back);
    EXPECT_TRUE(Back.MayBlow);
    EXPECT_EQ(Back.BlowPipeKind, Kept.BlowPipeKind);
    EXPECT_EQ(Back.NarrowingKind, Kept.NarrowingKind);
    EXPECT_EQ(Back.MayTrunc, Kept.MayTrunc);
    const struct {
        double TCase::*Field;
        TEditorId Id;
    } Values[] = {
        {&TCase::BlowSpeed, TEditorId::BlowSpeed},   {&TCase::BlowDiameter, TEditorId::BlowDiam},
        {&TCase::BlowLength, TEditorId::BlowLength}, {&TCase::BlowSlope, TEditorId::BlowSlope},
        {&TCase::BlowYoung, TEditorId::BlowYoung},   {&TCase::BlowWalls, TEditorId::BlowWalls}};
    for (const auto& V : Values) {
        SCOPED_TRACE(EditorDef(V.Id).Name);
        EXPECT_EQ(Back.*V.Field, EditorValue(V.Id, Kept.*V.Field));
        EXPECT_DOUBLE_EQ(Back.*V.Field, Kept.*V.Field);
    }

    // Indices out of range (a hand-edited case) select the nearest item.
    TCase Odd = Kept;
    Odd.BlowPipeKind = 99;
    Odd.NarrowingKind = -3;
    Dialog.Load_From(Odd);
    Dialog.Store_To(Back);
    EXPECT_EQ(Back.BlowPipeKind, MaterialCount - 1);
    EXPECT_EQ(Back.NarrowingKind, 0);
}

// OK, and Enter in a field, close with result 1 and take the number being
// typed; cancel, Escape and the close box close with another result.
TEST(HammerDialog, HowItCloses)
{
    const struct {
        const char* Way;
        std::function<void(TForm_Calc&)> Close;
        bool Accepted;
    } Ways[] = {
        {"OK", [](TForm_Calc& D) { QTest::mouseClick(D.BitBtn_OK, Qt::LeftButton); }, true},
        {"Enter",
         [](TForm_Calc& D) { QTest::keyClick(Field(D.Edit_Scalable_Speed), Qt::Key_Return); },
         true},
        {"Cancel", [](TForm_Calc& D) { QTest::mouseClick(D.BitBtn_Cancel, Qt::LeftButton); },
         false},
        {"Escape",
         [](TForm_Calc& D) { QTest::keyClick(Field(D.Edit_Scalable_Speed), Qt::Key_Escape); },
         false},
        {"close box", [](TForm_Calc& D) { D.close(); }, false},
    };
    TForm_Calc Dialog;
    EXPECT_EQ(Dialog.BitBtn_Cancel->text(), "&Отмена");
    EXPECT_FALSE(Dialog.BitBtn_OK->toolTip().isEmpty());
    for (const auto& Way : Ways) {
        SCOPED_TRACE(Way.Way);
        Dialog.Load_From(Drive());
        QtHelpers::When_Modal([&](QWidget*) {
            QLineEdit* Box = Field(Dialog.Edit_Scalable_Speed);
            Box->setFocus(Qt::TabFocusReason);
            Box->selectAll();
            QTest::keyClicks(Box, "2.5");
            Way.Close(Dialog);
        });
        const int Result = Dialog.exec();
        EXPECT_EQ(Result == QDialog::Accepted, Way.Accepted) << Result;
        if (Way.Accepted) {
            TCase Out;
            Dialog.Store_To(Out);
            EXPECT_EQ(Out.BlowSpeed, 2.5);
        }
    }
}

// The picture, and what a person would notice in it: the six fields and unit
// lists in one column, and no text cut.
TEST(HammerDialog, LayoutKeepsColumnsAndTexts)
{
    TForm_Calc Dialog;
    TCase Case = Drive();
    Case.BlowPipeKind = 8;  // the longest material name
    Dialog.Load_From(Case);
    QImage Picture;
    QtHelpers::When_Modal([&](QWidget* W) {
        QCoreApplication::sendPostedEvents();
        Picture = QtHelpers::Grab(W);
        Dialog.BitBtn_Cancel->click();
    });
    Dialog.exec();
    EXPECT_TRUE(Picture.save(Screenshot_Folder() + "/hammer-dialog.png"));

    TEdit_Scalable* const Editors[] = {Dialog.Edit_Scalable_Speed,  Dialog.Edit_Scalable_Diam,
                                       Dialog.Edit_Scalable_Length, Dialog.Edit_Scalable_Slope,
                                       Dialog.Edit_Scalable_Young,  Dialog.Edit_Scalable_Walls};
    auto Global = [&](QWidget* W) { return QRect(W->mapTo(&Dialog, QPoint()), W->size()); };
    const QRect Field0 = Global(Dialog.Edit_Scalable_Speed->Number_Edit());
    const QRect Units0 = Global(Dialog.Edit_Scalable_Speed->Units_List());
    for (TEdit_Scalable* Editor : Editors) {
        SCOPED_TRACE(Editor->objectName().toStdString());
        const QRect Field = Global(Editor->Number_Edit());
        EXPECT_EQ(Field.left(), Field0.left());
        EXPECT_EQ(Field.right(), Field0.right());
        EXPECT_EQ(Global(Editor->Units_List()), Units0.translated(0, Field.y() - Field0.y()));
        QLabel* Caption = Editor->Caption_Label();
        EXPECT_LE(Global(Caption).right(), Field.left()) << "the caption stays left of the field";
        EXPECT_GE(Caption->width(), Caption->sizeHint().width());
        QComboBox* Units = Editor->Units_List();
        EXPECT_GE(Units->width(), Units->sizeHint().width()) << "every unit caption fits";
        EXPECT_FALSE(Editor->accessibleName().isEmpty());
    }
    const std::initializer_list<QWidget*> Others = {
        Dialog.Label_Mat,       Dialog.Label_Narrow, Dialog.CheckBox_Trunc, Dialog.ComboBox_Mat,
        Dialog.ComboBox_Narrow, Dialog.BitBtn_OK,    Dialog.BitBtn_Cancel};
    for (QWidget* W : Others) {
        SCOPED_TRACE(W->objectName().toStdString());
        EXPECT_GE(W->width(), W->sizeHint().width());
        EXPECT_GE(W->height(), W->sizeHint().height());
        EXPECT_TRUE(Dialog.rect().contains(Global(W)));
        EXPECT_FALSE(W->accessibleName().isEmpty() && !qobject_cast<QLabel*>(W));
    }
    EXPECT_EQ(Dialog.ComboBox_Mat->maxVisibleItems(), 20);
    EXPECT_EQ(Dialog.ComboBox_Mat->count(), MaterialCount);
    EXPECT_EQ(Dialog.ComboBox_Narrow->itemText(1), "резкое");
    EXPECT_EQ(Dialog.GroupBox_Mat->title(), "Разгонная труба");
}
