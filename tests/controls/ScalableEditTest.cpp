// The scaled value editor and the screenshots of the value controls.

#include "controls/ScalableEdit.h"
#include "controls/Calculator.h"
#include "controls/ColorButton.h"
#include "controls/NumberEdit.h"
#include "tests/controls/ControlsTestUtil.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>

#include <initializer_list>

namespace {
// An editor of lengths: "м", "см", "мм".
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

QString Shown(TEdit_Scalable& Editor)
{
    return Editor.Number_Edit()->Inner_Edit()->text();
}
}  // namespace

TEST(Scalable, ScaleChangeKeepsTheValueAndTypingIsReportedInBaseUnits)
{
    QWidget Host;
    auto* Editor = new TEdit_Scalable(&Host);
    auto* Other = new QLineEdit(&Host);
    Other->move(0, 40);
    Add_Length_Scales(*Editor);
    Editor->SelectUnits(1.0);
    Editor->Set_MinValue(0);
    Editor->Set_MaxValue(2);
    TEvents Events;
    Events.Watch(*Editor);
    Editor->Set_Value(0.25);
    ASSERT_TRUE(Show_Active(Host));
    Editor->Units_List()->setFocus();
    QTest::keyClick(Editor->Units_List(), Qt::Key_Down);  // the user picks "см"
    EXPECT_EQ(Shown(*Editor), "25.0");
    EXPECT_NEAR(Editor->Value(), 0.25, 1e-15);
    EXPECT_EQ(Events.Units, 1);
    EXPECT_EQ(Events.Values, 0) << "neither the program's write nor the new scale";

    QLineEdit* Box = Editor->Number_Edit()->Inner_Edit();
    Box->setFocus(Qt::TabFocusReason);
    Box->selectAll();
    QTest::keyClicks(Box, "150");
    EXPECT_EQ(Events.Values, 0);
    EXPECT_DOUBLE_EQ(Editor->Value(), 1.5) << "reading takes the typed number";
    EXPECT_EQ(Events.Values, 1);
    QTest::keyClicks(Box, "0");  // 1500 cm, above the limit of 2 m
    Other->setFocus();
    EXPECT_EQ(Events.Values, 2);
    EXPECT_DOUBLE_EQ(Editor->Value(), 2.0);
    EXPECT_EQ(Box->text(), "200.0");
}

TEST(Scalable, SelectingUnits)
{
    TEdit_Scalable Editor;
    Add_Length_Scales(Editor);
    TEvents Events;
    Events.Watch(Editor);
    Editor.SelectUnits(0.02);
    EXPECT_EQ(Editor.Units_List()->currentText(), "см") << "the nearest factor";
    Editor.Set_Value(3.0);
    Editor.Set_UnitsIndex(10);
    EXPECT_EQ(Editor.UnitsIndex(), 2);
    EXPECT_EQ(Editor.Number_Edit()->Stored_Value(), 3000.0);
    Editor.Set_UnitsIndex(-1);  // no scale: the base value itself
    EXPECT_EQ(Editor.Units_List()->currentIndex(), -1);
    EXPECT_EQ(Editor.Number_Edit()->Stored_Value(), 3.0);
    EXPECT_DOUBLE_EQ(Editor.Value(), 3.0);
    EXPECT_EQ(Events.Units + Events.Values, 0) << "a program's choice is not reported";

    TEdit_Scalable Tie;
    Tie.AddScale("a", "", 1.0, 1.0);
    Tie.AddScale("b", "", 1.0, 3.0);
    Tie.UpdateUnits();
    Tie.Set_UnitsIndex(1);
    Tie.SelectUnits(2.0);
    EXPECT_EQ(Tie.UnitsIndex(), 0) << "equally near: the earlier scale";

    TEdit_Scalable Zero;  // a zero factor converts as one
    Zero.AddScale("?", "%.1f", 1.0, 0.0);
    Zero.UpdateUnits();
    Zero.Set_UnitsIndex(0);
    Zero.Set_Value(7.0);
    EXPECT_EQ(Zero.Number_Edit()->Stored_Value(), 7.0);
    EXPECT_EQ(Zero.FormatScaledValue(7.0), "???");
}

TEST(Scalable, LimitsReachTheFieldInTheCurrentScale)
{
    TEdit_Scalable Editor;
    Editor.AddScale("Па", "%.3f", 1.0, 1.0);
    Editor.AddScale("МПа", "%.3f", 1.0, 1e6);
    Editor.UpdateUnits();
    Editor.SelectUnits(1e6);
    Editor.Set_Value(-5e9);
    EXPECT_EQ(Editor.Value(), -5e9) << "default limits: none";
    Editor.Set_MinValue(0);
    Editor.Set_MaxValue(1e6);
    EXPECT_EQ(Editor.Number_Edit()->MaxValue(), 1);
    Editor.Set_Value(5e6);
    EXPECT_EQ(Editor.Value(), 1e6) << "the clamped number is the value";
    EXPECT_EQ(Shown(Editor), "1.000");
    Editor.Set_UnitsIndex(0);
    EXPECT_EQ(Editor.Number_Edit()->MaxValue(), 1e6);
    EXPECT_EQ(Shown(Editor), "1000000.000");
}

TEST(Scalable, MaxEditWidthPutsTheFieldAgainstTheUnits)
{
    TEdit_Scalable Editor;
    Add_Length_Scales(Editor);
    Editor.Set_Caption("Длина");
    Editor.resize(217, Editor.height());
    Editor.show();
    Editor.Set_MaxEditWidth(99);
    EXPECT_EQ(Editor.Units_List()->geometry().left(), 167);
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
    ASSERT_NE(Editor.Value_List(), nullptr);
    Editor.Set_Values(0, 0.0001);
    Editor.Set_Values(1, 0.5);
    Editor.Set_Values(2, 1234.5);
    EXPECT_EQ(Editor.Value_List()->itemText(0), "0.0001") << "never a row of zeros";

    Editor.Set_Value(0.6);   // a write that moves the selection is reported
    Editor.Set_Value(0.45);  // the same entry: nothing
    EXPECT_EQ(Editor.Value(), 0.5);
    EXPECT_EQ(Events.Values, 1);

    Editor.Set_SeparateThousands(true);
    Editor.Set_UnitsIndex(1);
    EXPECT_EQ(Editor.Value_List()->itemText(2), "1 234 500");
    Editor.Set_Value(1300);
    EXPECT_EQ(Editor.Value(), 1234.5) << "the value is the number as shown, read back";
}

// Pictures of the controls for a person to look at.
TEST(Screenshots, ValueControls)
{
    const QString Folder = QStringLiteral(HYD_SCREENSHOT_DIR);
    ASSERT_TRUE(QDir().mkpath(Folder));

    QWidget Window;
    Window.setWindowTitle("Hyd controls");
    struct TUnit {
        const char* Caption;
        double Factor;
    };
    auto Add = [&](int Y, const QString& Caption, std::initializer_list<TUnit> Units, double Factor,
                   double Value) {
        auto* Editor = new TEdit_Scalable(&Window);
        Editor->setGeometry(8, Y, 217, 21);
        for (const TUnit& U : Units)
            Editor->AddScale(U.Caption, "%.3f", 1.0, U.Factor);
        Editor->UpdateUnits();
        Editor->SelectUnits(Factor);
        Editor->Set_MaxEditWidth(99);
        Editor->Set_Caption(Caption);
        Editor->Set_Value(Value);
        return Editor;
    };
    const std::initializer_list<TUnit> Lengths = {{"м", 1.0}, {"см", 0.01}, {"мм", 0.001}};
    Add(8, "Диаметр", Lengths, 0.01, 0.1);
    Add(36, "Давление", {{"атм", 101325}, {"Па", 1}}, 100000, 250000);
    TEdit_Scalable* Above = Add(64, "", Lengths, 0.001, 0.0025);
    Above->Set_CaptionLayout(1);
    Above->Set_Caption("Толщина стенок");
    auto* Steps = new TEdit_Num(&Window);
    Steps->setGeometry(8, Above->y() + Above->height() + 8, 153, 21);
    Steps->Set_Caption("Число шагов");
    Steps->Set_Value(100);
    Window.resize(240, Steps->y() + Steps->height() + 8);
    ASSERT_TRUE(Show_Active(Window));
    // Whatever showing the window left pending (layouts, polish) is done
    // before the picture; grab() itself paints at once.
    QCoreApplication::sendPostedEvents();
    const QPixmap Picture = Window.grab();
    EXPECT_TRUE(Picture.save(Folder + "/value-controls.png"));
    EXPECT_TRUE(Picture.scaled(Picture.size() * 2).save(Folder + "/value-controls-x2.png"));

    TBtn_Clr Button;
    Button.resize(205, 25);
    Button.setText("Нагнетающий гидроудар");
    Button.Set_Color(QColor(255, 0, 0));
    EXPECT_TRUE(Button.grab().save(Folder + "/colour-button.png"));
    Button.Set_Kind(TBtn_Clr::TBitBtnKind::bkCancel);
    Button.Set_Color(QColor());
    Button.resize(Button.sizeHint());
    EXPECT_TRUE(Button.grab().save(Folder + "/cancel-button.png"));

    TForm_Calculate Calculator;
    Calculator.Calculator_Prepare();
    ASSERT_TRUE(Show_Active(Calculator));
    const struct {
        const char* Keys;
        const char* Name;
    } Shots[] = {{"1234.5+6=", "calculator"},
                 {"1/0=", "calculator-error"},
                 {"1234567890123456789012345.67", "calculator-long"}};
    for (const auto& Shot : Shots) {
        Type_Text(&Calculator, Shot.Keys);
        EXPECT_TRUE(Calculator.grab().save(Folder + "/" + Shot.Name + ".png"));
    }
    Calculator.hide();
}
