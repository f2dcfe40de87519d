// The scaled value editor, the material helpers and the screenshots of the
// value controls.

#include "CaseModel.h"
#include "ControlsTestUtil.h"
#include "HydComm.h"
#include "MaterialHelpers.h"
#include "NumberText.h"
#include "ZoCalculator.h"
#include "ZoNumberEdit.h"
#include "ZoScalab.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

namespace {
// An editor of lengths: "м", "см", "мм", no format.
void Add_Length_Scales(TEdit_Scalable& Editor, const QString& Format = QString())
{
    Editor.AddScale("м", Format, 1.0, 1.0);
    Editor.AddScale("см", Format, 1.0, 0.01);
    Editor.AddScale("мм", Format, 1.0, 0.001);
    Editor.UpdateUnits();
}

struct TEvents {
    int Values = 0;
    int Units = 0;
    void Watch(TEdit_Scalable& Editor)
    {
        Editor.OnChangeValue = [this](QObject*) { ++Values; };
        Editor.OnChangeUnits = [this](QObject*) { ++Units; };
    }
};
}  // namespace

TEST(Scalable, NewEditorHasAFieldAndNoUnits)
{
    TEdit_Scalable Editor;
    EXPECT_EQ(Editor.width(), 150);
    ASSERT_NE(Editor.Number_Edit(), nullptr);
    EXPECT_EQ(Editor.Units_List(), nullptr);
    EXPECT_EQ(Editor.UnitsIndex(), -1);
    EXPECT_TRUE(Editor.Number_Edit()->RealNumber());
    EXPECT_TRUE(Editor.Number_Edit()->Calculator());
    EXPECT_TRUE(Editor.Number_Edit()->ShowSignify());
    EXPECT_EQ(Editor.height(), Editor.Number_Edit()->height()) << "height fitted to the field";
}

TEST(Scalable, ChangingTheScaleKeepsTheValue)
{
    TEdit_Scalable Editor;
    Add_Length_Scales(Editor);
    Editor.SelectUnits(1.0);
    TEvents Events;
    Events.Watch(Editor);
    Editor.Set_Value(0.25);
    EXPECT_EQ(Events.Values, 0) << "a program's write is not reported";
    ASSERT_TRUE(Show_Active(Editor));
    Editor.Units_List()->setFocus();
    QTest::keyClick(Editor.Units_List(), Qt::Key_Down);   // the user picks "см"
    EXPECT_EQ(Editor.UnitsIndex(), 1);
    EXPECT_EQ(Editor.Number_Edit()->Inner_Edit()->text(), "25.0");
    EXPECT_NEAR(Editor.Value(), 0.25, 1e-15);
    EXPECT_EQ(Events.Units, 1);
    EXPECT_EQ(Events.Values, 0);
}

TEST(Scalable, TypingIsReportedInBaseUnits)
{
    QWidget Host;
    auto* Editor = new TEdit_Scalable(&Host);
    auto* Other = new QLineEdit(&Host);
    Other->move(0, 40);
    Add_Length_Scales(*Editor);
    Editor->SelectUnits(0.001);
    Editor->Set_MinValue(0);
    Editor->Set_MaxValue(2);
    TEvents Events;
    Events.Watch(*Editor);
    ASSERT_TRUE(Show_Active(Host));
    QLineEdit* Box = Editor->Number_Edit()->Inner_Edit();
    Box->setFocus(Qt::TabFocusReason);
    Box->selectAll();
    QTest::keyClicks(Box, "1500");
    EXPECT_EQ(Events.Values, 0);
    EXPECT_DOUBLE_EQ(Editor->Value(), 1.5) << "reading takes the typed number";
    EXPECT_EQ(Events.Values, 1);
    QTest::keyClicks(Box, "0");   // 15000 mm, above the limit of 2 m
    Other->setFocus();
    EXPECT_EQ(Events.Values, 2);
    EXPECT_DOUBLE_EQ(Editor->Value(), 2.0);
    EXPECT_EQ(Box->text(), "2000.0");
}

TEST(Scalable, SelectUnitsTakesTheNearestFactorAndTheFirstOfATie)
{
    TEdit_Scalable Editor;
    Add_Length_Scales(Editor);
    Editor.SelectUnits(0.01);
    EXPECT_EQ(Editor.UnitsIndex(), 1);
    Editor.SelectUnits(1.0);
    Editor.SelectUnits(0.02);
    EXPECT_EQ(Editor.UnitsIndex(), 1);
    EXPECT_EQ(Editor.Units_List()->currentText(), "см");

    TEdit_Scalable Tie;
    Tie.AddScale("a", "", 1.0, 1.0);
    Tie.AddScale("b", "", 1.0, 3.0);
    Tie.UpdateUnits();
    Tie.Set_UnitsIndex(1);
    Tie.SelectUnits(2.0);
    EXPECT_EQ(Tie.UnitsIndex(), 0) << "equally near: the earlier scale";
}

TEST(Scalable, UnitsIndexIsClampedAndMinusOneMeansNoScale)
{
    TEdit_Scalable Editor;
    Add_Length_Scales(Editor);
    TEvents Events;
    Events.Watch(Editor);
    Editor.Set_Value(3.0);
    Editor.Set_UnitsIndex(10);
    EXPECT_EQ(Editor.UnitsIndex(), 2);
    EXPECT_EQ(Editor.Number_Edit()->Stored_Value(), 3000.0);
    Editor.Set_UnitsIndex(-1);
    EXPECT_EQ(Editor.UnitsIndex(), -1);
    EXPECT_EQ(Editor.Units_List()->currentIndex(), -1);
    EXPECT_EQ(Editor.BaseToScale(5.0), 5.0);
    EXPECT_EQ(Editor.Number_Edit()->Stored_Value(), 3.0);
    EXPECT_DOUBLE_EQ(Editor.Value(), 3.0);
    EXPECT_EQ(Events.Units, 0) << "a program's choice is not reported";
    EXPECT_EQ(Events.Values, 0);
}

TEST(Scalable, LimitsReachTheFieldInTheCurrentScale)
{
    TEdit_Scalable Editor;
    Editor.AddScale("Па", "%.3f", 1.0, 1.0);
    Editor.AddScale("МПа", "%.3f", 1.0, 1e6);
    Editor.UpdateUnits();
    Editor.SelectUnits(1e6);
    EXPECT_LT(Editor.Number_Edit()->MaxValue(), Editor.Number_Edit()->MinValue())
        << "default limits: none in the field";
    Editor.Set_Value(-5e9);
    EXPECT_EQ(Editor.Value(), -5e9);
    Editor.Set_MinValue(0);
    Editor.Set_MaxValue(1e6);
    EXPECT_EQ(Editor.Number_Edit()->MinValue(), 0);
    EXPECT_EQ(Editor.Number_Edit()->MaxValue(), 1);
    Editor.Set_Value(5e6);
    EXPECT_EQ(Editor.Value(), 1e6) << "the clamped number is the value";
    EXPECT_EQ(Editor.Number_Edit()->Inner_Edit()->text(), "1.000");
    Editor.Set_UnitsIndex(0);
    EXPECT_EQ(Editor.Number_Edit()->MaxValue(), 1e6);
    EXPECT_EQ(Editor.Number_Edit()->Inner_Edit()->text(), "1000000.000");
}

TEST(Scalable, CaptionLayoutsAndHeightFitting)
{
    TEdit_Scalable Above;
    Add_Length_Scales(Above);
    Above.Set_CaptionLayout(1);
    Above.Set_Caption("Диаметр");
    Above.show();
    const int Label_H = Above.Caption_Label()->height();
    ASSERT_GT(Label_H, 0);
    EXPECT_EQ(Above.Number_Edit()->y(), Label_H + 4);
    EXPECT_EQ(Above.Units_List()->y(), Label_H + 4);
    const int Child_H = std::max(Above.Number_Edit()->height(), Above.Units_List()->height());
    EXPECT_EQ(Above.height(), Label_H + 4 + Child_H);
    EXPECT_EQ(Above.Caption_Label()->width(), Above.width());

    TEdit_Scalable Left;
    Add_Length_Scales(Left);
    Left.Set_Caption("Диаметр");
    Left.show();
    EXPECT_EQ(Left.Number_Edit()->y(), 0);
    EXPECT_EQ(Left.Number_Edit()->x(),
              Left.Caption_Label()->fontMetrics().horizontalAdvance("Диаметр "));
    EXPECT_EQ(Left.height(), std::max(Child_H, Left.Caption_Label()->height()));
    Left.Set_Caption("");
    EXPECT_EQ(Left.Caption_Label(), nullptr);
    EXPECT_EQ(Left.Number_Edit()->x(), 0);
}

TEST(Scalable, MaxEditWidthPutsTheFieldAgainstTheUnits)
{
    TEdit_Scalable Editor;
    Add_Length_Scales(Editor);
    Editor.Set_Caption("Длина");
    Editor.resize(217, Editor.height());
    Editor.show();
    Editor.Set_MaxEditWidth(99);
    EXPECT_EQ(Editor.Units_List()->x(), 167);
    EXPECT_EQ(Editor.Units_List()->width(), 50);
    EXPECT_EQ(Editor.Number_Edit()->x(), 68);
    EXPECT_EQ(Editor.Number_Edit()->x() + Editor.Number_Edit()->width(), 167);
    Editor.Set_Caption("Экв.");
    EXPECT_EQ(Editor.Number_Edit()->x(), 68) << "whatever the caption width below 68 pixels";
    Editor.Set_UnitsWidth(70);
    EXPECT_EQ(Editor.Number_Edit()->x(), 48);
}

TEST(Scalable, ListModeChoosesFromValues)
{
    TEdit_Scalable Editor;
    Editor.AddScale("м", "%.2f", 1.0, 1.0);
    Editor.AddScale("мм", "%.0f", 1.0, 0.001);
    Editor.UpdateUnits();
    Editor.SelectUnits(1.0);
    TEvents Events;
    Events.Watch(Editor);
    Editor.Set_Count(3);
    EXPECT_EQ(Editor.Number_Edit(), nullptr);
    ASSERT_NE(Editor.Value_List(), nullptr);
    Editor.Set_Values(0, 0.0001);
    Editor.Set_Values(1, 0.5);
    Editor.Set_Values(2, 1234.5);
    EXPECT_EQ(Editor.Value_List()->itemText(0), "0.0001") << "never a row of zeros";
    EXPECT_EQ(Editor.Value_List()->itemText(1), "0.50");

    Editor.Set_Value(0.6);
    EXPECT_EQ(Editor.Value_List()->currentIndex(), 1);
    EXPECT_EQ(Events.Values, 1) << "a write that moves the selection is reported";
    EXPECT_EQ(Editor.Value(), 0.5);
    Editor.Set_Value(0.45);
    EXPECT_EQ(Events.Values, 1) << "same entry: nothing";

    Editor.Set_SeparateThousands(true);
    Editor.Set_UnitsIndex(1);
    EXPECT_EQ(Editor.Value_List()->itemText(2), "1 234 500");
    Editor.Set_Value(1300);
    EXPECT_EQ(Editor.Value(), 1234.5) << "the value is the number as shown, read back";

    Editor.Set_Count(0);
    EXPECT_EQ(Editor.Value_List(), nullptr);
    ASSERT_NE(Editor.Number_Edit(), nullptr);
}

TEST(Scalable, ZeroFactorConvertsAsOne)
{
    TEdit_Scalable Editor;
    Editor.AddScale("?", "%.1f", 1.0, 0.0);
    Editor.UpdateUnits();
    Editor.Set_UnitsIndex(0);
    Editor.Set_Value(7.0);
    EXPECT_EQ(Editor.Number_Edit()->Stored_Value(), 7.0);
    EXPECT_EQ(Editor.FormatScaledValue(7.0), "???");
}

TEST(Scalable, AssignCopiesScalesLimitsUnitAndValue)
{
    TEdit_Scalable Source;
    Add_Length_Scales(Source, "%.3f");
    Source.SelectUnits(0.01);
    Source.Set_MinValue(0);
    Source.Set_MaxValue(1);
    Source.Set_Value(0.5);
    Source.Number_Edit()->Set_Increment(5);

    TEdit_Scalable Copy;
    Copy.Assign(&Source);
    Copy.Assign(nullptr);
    ASSERT_EQ(Copy.Scale_Count(), 3);
    EXPECT_EQ(Copy.Scale(2).Caption, "мм");
    EXPECT_EQ(Copy.UnitsIndex(), 1);
    EXPECT_EQ(Copy.Units_List()->currentText(), "см");
    EXPECT_EQ(Copy.Value(), 0.5);
    EXPECT_EQ(Copy.Number_Edit()->Inner_Edit()->text(), "50.000");
    EXPECT_EQ(Copy.Number_Edit()->MaxValue(), 100);
    EXPECT_EQ(Copy.Number_Edit()->Increment(), 5);
}

// Every editor of the program, configured from the case model's table as the
// windows do, holds exactly the value the batch tool's case reader computes.
TEST(Scalable, EditorsConfiguredFromTheCaseModelAgreeWithTheCaseReader)
{
    const double Probes[] = {0.0,  1.0,   -1.0,   0.001,  0.25,  4.6e-10, 1e-7, 3.3333333333,
                             95.0, 1e5,   2.5e11, 1e6,    -1e9,  1e12,    1e16, -2.0e-3};
    for (const TEditorDef& Def : EditorDefs()) {
        TEdit_Scalable Editor;
        for (const TScaleDef& Scale : Def.Scales)
            Editor.AddScale(QString::fromUtf8(Scale.Caption), EditorScaleFormat, 1.0, Scale.Factor);
        Editor.UpdateUnits();
        Editor.SelectUnits(Def.InitialFactor);
        Editor.Set_MinValue(Def.MinValue);
        Editor.Set_MaxValue(Def.MaxValue);
        Editor.Set_MaxEditWidth(99);
        EXPECT_EQ(Editor.UnitsIndex(), InitialScaleIndex(Def)) << Def.Name;
        for (double V : Probes) {
            Editor.Set_Value(V);
            EXPECT_EQ(Editor.Value(), EditorValue(Def, V)) << Def.Name << " " << V;
        }
        Editor.Set_Value(Def.Default);
        EXPECT_EQ(Editor.Value(), EditorValue(Def, Def.Default)) << Def.Name;
    }
}

TEST(MaterialHelpers, ListAndValuesComeFromTheMaterialTable)
{
    QComboBox List;
    List.addItem("старое");
    FillMaterialList(&List);
    ASSERT_EQ(List.count(), MaterialCount);
    for (int i = 0; i < MaterialCount; ++i)
        EXPECT_EQ(List.itemText(i), QString::fromStdString(MaterialName(i)));

    TEdit_Scalable Rough;
    TEdit_Scalable Young;
    Young.AddScale("МПа", "%.3f", 1.0, 1e6);
    Young.AddScale("ГПа", "%.3f", 1.0, 1e9);
    Young.UpdateUnits();
    Young.SelectUnits(1e9);
    Rough.Set_Value(0.5);
    Young.Set_Value(7.0);
    TEvents Events;
    Events.Watch(Young);
    SetMaterialValues(0, &Rough, &Young);
    SetMaterialValues(11, &Rough, &Young);
    SetMaterialValues(-1, &Rough, &Young);
    EXPECT_EQ(Rough.Value(), 0.5);
    EXPECT_EQ(Young.Value(), 7.0);
    SetMaterialValues(4, nullptr, &Young);
    EXPECT_EQ(Young.Value(), 2e11);
    EXPECT_EQ(Young.Number_Edit()->Inner_Edit()->text(), "200.000");
    EXPECT_EQ(Rough.Value(), 0.5);
    EXPECT_EQ(Events.Values, 0) << "the caller updates its window itself";
    SetMaterialValues(4, &Rough, nullptr);
    EXPECT_EQ(Rough.Value(), MaterialTable[4].Rough);
}

// Pictures of the controls for a person to look at.
TEST(Screenshots, ValueControls)
{
    const QString Folder = QStringLiteral(HYD_SCREENSHOT_DIR);
    ASSERT_TRUE(QDir().mkpath(Folder));

    QWidget Window;
    Window.setWindowTitle("Hyd controls");
    Window.resize(260, 150);
    auto* Diameter = new TEdit_Scalable(&Window);
    Diameter->setGeometry(8, 8, 217, 21);
    Add_Length_Scales(*Diameter, "%.3f");
    Diameter->SelectUnits(0.01);
    Diameter->Set_MinValue(0);
    Diameter->Set_MaxValue(1e6);
    Diameter->Set_MaxEditWidth(99);
    Diameter->Set_Caption("Диаметр");
    Diameter->Set_Value(0.1);
    auto* Pressure = new TEdit_Scalable(&Window);
    Pressure->setGeometry(8, 36, 217, 21);
    Pressure->AddScale("атм", "%.3f", 1.0, 101325);
    Pressure->AddScale("Па", "%.3f", 1.0, 1);
    Pressure->UpdateUnits();
    Pressure->SelectUnits(100000);
    Pressure->Set_MaxEditWidth(99);
    Pressure->Set_Caption("Давление");
    Pressure->Set_Value(250000);
    auto* Above = new TEdit_Scalable(&Window);
    Above->setGeometry(8, 64, 217, 21);
    Add_Length_Scales(*Above, "%.3f");
    Above->SelectUnits(0.001);
    Above->Set_CaptionLayout(1);
    Above->Set_Caption("Толщина стенок");
    Above->Set_Value(0.0025);
    auto* Steps = new TEdit_Num(&Window);
    Steps->setGeometry(8, Above->y() + Above->height() + 8, 153, 21);
    Steps->Set_Caption("Число шагов");
    Steps->Set_Calculator(true);
    Steps->Set_MinValue(0);
    Steps->Set_MaxValue(1e6);
    Steps->Set_Value(100);
    Window.resize(240, Steps->y() + Steps->height() + 8);
    ASSERT_TRUE(Show_Active(Window));
    QTest::qWait(20);
    const QString Controls = Folder + "/value-controls.png";
    const QPixmap Picture = Window.grab();
    EXPECT_TRUE(Picture.save(Controls)) << Controls.toStdString();
    EXPECT_TRUE(Picture.scaled(Picture.size() * 2).save(Folder + "/value-controls-x2.png"));

    TBtn_Clr Button;
    Button.resize(205, 25);
    Button.setText("Нагнетающий гидроудар");
    Button.Set_Color(QColor(255, 0, 0));
    EXPECT_TRUE(Button.grab().save(Folder + "/colour-button.png"));
    TBtn_Clr Cancel;
    Cancel.Set_Kind(TBtn_Clr::TBitBtnKind::bkCancel);
    Cancel.resize(Cancel.sizeHint());
    EXPECT_TRUE(Cancel.grab().save(Folder + "/cancel-button.png"));

    TForm_Calculate Calculator;
    Calculator.Calculator_Prepare();
    for (QChar C : QString("1234.5+6="))
        QTest::sendKeyEvent(QTest::Click, &Calculator, Qt::Key_unknown, QString(C), Qt::NoModifier);
    ASSERT_TRUE(Show_Active(Calculator));
    EXPECT_TRUE(Calculator.grab().save(Folder + "/calculator.png"));
    for (QChar C : QString("1/0="))
        QTest::sendKeyEvent(QTest::Click, &Calculator, Qt::Key_unknown, QString(C), Qt::NoModifier);
    EXPECT_TRUE(Calculator.grab().save(Folder + "/calculator-error.png"));
    for (QChar C : QString("1234567890123456789012345.67"))
        QTest::sendKeyEvent(QTest::Click, &Calculator, Qt::Key_unknown, QString(C), Qt::NoModifier);
    EXPECT_TRUE(Calculator.grab().save(Folder + "/calculator-long.png"));
    Calculator.hide();
}
