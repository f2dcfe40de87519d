#include "app/InputPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

#include "app/EditorFit.h"
#include "app/EditorSetup.h"
#include "app/MaterialHelpers.h"
#include "controls/ColorButton.h"
#include "controls/Glyphs.h"
#include "controls/NumberEdit.h"
#include "controls/ScalableEdit.h"
#include "engine/Tables.h"

namespace {

constexpr int Gap = 4;
constexpr int ComboDropDownCount = 20;

QComboBox* New_List(QWidget* Parent, const char* Name, const char* Hint, const QString& Caption)
{
    auto* List = new QComboBox(Parent);
    NameControl(List, Name, QString::fromUtf8(Hint), Caption);
    List->setMaxVisibleItems(ComboDropDownCount);
    // Wide enough for the longest name of the table.
    List->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    List->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return List;
}

QLabel* New_Label(QWidget* Parent, const char* Name, const QString& Text)
{
    auto* Label = new QLabel(Text, Parent);
    Label->setObjectName(QString::fromLatin1(Name));
    return Label;
}

// A label and its list in one row, the list taking the rest of the width.
QHBoxLayout* Label_Row(QLabel* Label, QComboBox* List)
{
    auto* Row = new QHBoxLayout;
    Row->setSpacing(Gap);
    Row->addWidget(Label);
    Row->addWidget(List, 1);
    Label->setBuddy(List);
    return Row;
}

QVBoxLayout* Group_Layout(QGroupBox* Group)
{
    auto* Layout = new QVBoxLayout(Group);
    Layout->setContentsMargins(Gap, Gap, Gap, Gap);
    Layout->setSpacing(3);
    return Layout;
}

// A sheet of paper with lines of text: the report button's glyph, normal and
// disabled.
QPixmap Report_Glyph()
{
    QPixmap Strip(32, 16);
    Strip.fill(Qt::transparent);
    QPainter P(&Strip);
    for (int Frame = 0; Frame < 2; ++Frame) {
        const int X = Frame * 16;
        const QColor Ink = Frame == 0 ? QColor(0, 0, 128) : QColor(128, 128, 128);
        P.setPen(Frame == 0 ? QColor(0, 0, 0) : QColor(128, 128, 128));
        P.setBrush(QColor(255, 255, 255));
        P.drawRect(X + 3, 1, 10, 13);
        P.setPen(Ink);
        for (int Y = 4; Y <= 12; Y += 2)
            P.drawLine(X + 5, Y, X + (Y == 12 ? 8 : 11), Y);
    }
    return Strip;
}

}  // namespace

TInput_Panel::TInput_Panel(QWidget* Parent) : QWidget(Parent)
{
    setObjectName(QStringLiteral("Input_Panel"));
    auto* Column = new QVBoxLayout(this);
    Column->setContentsMargins(0, 0, 0, 0);
    Column->setSpacing(3);
    Build_Common();
    Build_Liquid();
    Build_Pipe();
    Column->addWidget(GroupBox_Common);
    Column->addWidget(GroupBox_Liq);
    Column->addWidget(GroupBox_Mat);
    Build_Drive_Row();
    Build_Buttons();
    Align_Editors();
}

void TInput_Panel::Build_Common()
{
    GroupBox_Common = new QGroupBox(QStringLiteral("Общие параметры расчёта"), this);
    GroupBox_Common->setObjectName(QStringLiteral("GroupBox_Common"));
    auto* Layout = Group_Layout(GroupBox_Common);

    Edit_Scalable_Time = New_Editor(GroupBox_Common, TEditorId::Time);
    // The period text and the step count share one row: the text stands
    // right-aligned under the unit lists and takes the whole row while the
    // step count is hidden, so the row keeps its height either way.
    Label_Period = New_Label(GroupBox_Common, "Label_Period", QString());
    Label_Period->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label_Period->setAttribute(Qt::WA_TransparentForMouseEvents);
    Edit_Num_Steps = new TEdit_Num(GroupBox_Common);
    SetUpStepsEditor(Edit_Num_Steps);
    Edit_Scalable_Speed = New_Editor(GroupBox_Common, TEditorId::Speed);
    Edit_Scalable_Fill = New_Editor(GroupBox_Common, TEditorId::Fill);
    Edit_Scalable_Press = New_Editor(GroupBox_Common, TEditorId::Press);
    Edit_Scalable_Slope = New_Editor(GroupBox_Common, TEditorId::Slope);

    auto* Steps_Row = new QGridLayout;
    Steps_Row->setContentsMargins(0, 0, 0, 0);
    Steps_Row->addWidget(Label_Period, 0, 0);
    Steps_Row->addWidget(Edit_Num_Steps, 0, 0, Qt::AlignLeft | Qt::AlignVCenter);

    Layout->addWidget(Edit_Scalable_Time);
    Layout->addLayout(Steps_Row);
    Layout->addWidget(Edit_Scalable_Press);
    Layout->addWidget(Edit_Scalable_Fill);
    Layout->addWidget(Edit_Scalable_Speed);
    Layout->addWidget(Edit_Scalable_Slope);
}

void TInput_Panel::Build_Liquid()
{
    GroupBox_Liq = new QGroupBox(QStringLiteral("Жидкость"), this);
    GroupBox_Liq->setObjectName(QStringLiteral("GroupBox_Liq"));
    auto* Layout = Group_Layout(GroupBox_Liq);
    Label_Liq = New_Label(GroupBox_Liq, "Label_Liq", QStringLiteral("Тип"));
    ComboBox_Liq = New_List(GroupBox_Liq, "ComboBox_Liq",
                            "Можно выбрать предопределённые типы жидкости, когда все параметры "
                            "устанавливаются автоматически.",
                            QStringLiteral("Тип жидкости"));
    // Item index = liquid index.
    for (int I = 0; I < LiquidCount; ++I)
        ComboBox_Liq->addItem(QString::fromStdString(LiquidName(I)));
    ComboBox_Liq->setCurrentIndex(-1);
    Edit_Scalable_Dens = New_Editor(GroupBox_Liq, TEditorId::Dens);
    Edit_Scalable_Visc = New_Editor(GroupBox_Liq, TEditorId::Visc);
    Edit_Scalable_Cond = New_Editor(GroupBox_Liq, TEditorId::Cond);
    Layout->addLayout(Label_Row(Label_Liq, ComboBox_Liq));
    Layout->addWidget(Edit_Scalable_Dens);
    Layout->addWidget(Edit_Scalable_Visc);
    Layout->addWidget(Edit_Scalable_Cond);
}

void TInput_Panel::Build_Pipe()
{
    GroupBox_Mat = new QGroupBox(QStringLiteral("Труба"), this);
    GroupBox_Mat->setObjectName(QStringLiteral("GroupBox_Mat"));
    auto* Layout = Group_Layout(GroupBox_Mat);
    Label_Mat = New_Label(GroupBox_Mat, "Label_Mat", QStringLiteral("Тип"));
    ComboBox_Mat = New_List(GroupBox_Mat, "ComboBox_Mat",
                            "Можно выбрать предопределённые типы материала трубы, когда все "
                            "параметры устанавливаются автоматически.",
                            QStringLiteral("Материал трубы"));
    FillMaterialList(ComboBox_Mat);  // item index = material index
    ComboBox_Mat->setCurrentIndex(-1);
    Edit_Scalable_Diam = New_Editor(GroupBox_Mat, TEditorId::Diam);
    Edit_Scalable_Diam->Set_May_Direct_Edit(false);
    Edit_Scalable_Length = New_Editor(GroupBox_Mat, TEditorId::Length);
    Edit_Scalable_Rough = New_Editor(GroupBox_Mat, TEditorId::Rough);
    Edit_Scalable_Young = New_Editor(GroupBox_Mat, TEditorId::Young);
    Edit_Scalable_Walls = New_Editor(GroupBox_Mat, TEditorId::Walls);
    Layout->addWidget(Edit_Scalable_Diam);
    Layout->addWidget(Edit_Scalable_Length);
    Layout->addLayout(Label_Row(Label_Mat, ComboBox_Mat));
    Layout->addWidget(Edit_Scalable_Rough);
    Layout->addWidget(Edit_Scalable_Young);
    Layout->addWidget(Edit_Scalable_Walls);
}

void TInput_Panel::Build_Drive_Row()
{
    CheckBox_Ram = new QCheckBox(this);
    NameControl(CheckBox_Ram, "CheckBox_Ram",
                QStringLiteral("Расчёт для постоянного давления или при нагнетении гидроударом "
                               "(гидравлический таран)."),
                QStringLiteral("Нагнетающий гидроудар включён"));
    CheckBox_Ram->setTristate(true);
    Btn_Clr_Ram = new TBtn_Clr(this);
    NameControl(Btn_Clr_Ram, "Btn_Clr_Ram",
                QStringLiteral("Задание параметров потока в нагнетательной трубе, вызывающего "
                               "нагнетающий гидроудар."),
                QStringLiteral("Нагнетающий гидроудар"));
    Btn_Clr_Ram->setText(QStringLiteral("Нагнетающий гидроудар"));
    Btn_Clr_Ram->setEnabled(false);

    auto* Row = new QHBoxLayout;
    Row->setSpacing(Gap);
    Row->addWidget(CheckBox_Ram);
    Row->addWidget(Btn_Clr_Ram, 1);
    static_cast<QVBoxLayout*>(layout())->addLayout(Row);
}

void TInput_Panel::Build_Buttons()
{
    BitBtn_Calc = new TBtn_Clr(this);
    NameControl(BitBtn_Calc, "BitBtn_Calc", QStringLiteral("Начать расчёт для текущих данных."),
                QStringLiteral("Расчёт"));
    BitBtn_Calc->setText(QStringLiteral("&Расчёт"));
    BitBtn_Calc->Set_Glyph(Zo_Glyph(QStringLiteral("CALCULATE")));
    BitBtn_Calc->Set_NumGlyphs(Zo_Glyph_Count(QStringLiteral("CALCULATE")));

    BitBtn_Report = new TBtn_Clr(this);
    NameControl(BitBtn_Report, "BitBtn_Report",
                QStringLiteral("Создать отчёт по результатам последнего расчёта."),
                QStringLiteral("Отчёт"));
    BitBtn_Report->setText(QStringLiteral("&Отчёт"));
    BitBtn_Report->Set_Glyph(Report_Glyph());
    BitBtn_Report->Set_NumGlyphs(2);

    BitBtn_Cancel = new TBtn_Clr(this);
    BitBtn_Cancel->Set_Kind(TBtn_Clr::TBitBtnKind::bkCancel);
    BitBtn_Cancel->Set_ModalResult(0);  // a main window is no dialog
    NameControl(BitBtn_Cancel, "BitBtn_Cancel", QStringLiteral("Окончить работу с программой."),
                QStringLiteral("Закрыть"));
    BitBtn_Cancel->setText(QStringLiteral("&Закрыть"));

    auto* Row = new QHBoxLayout;
    Row->setSpacing(Gap);
    Row->addWidget(BitBtn_Calc);
    Row->addWidget(BitBtn_Report);
    Row->addWidget(BitBtn_Cancel);
    auto* Column = static_cast<QVBoxLayout*>(layout());
    Column->addLayout(Row);
    // Extra height goes below the buttons: they stay under the inputs.
    Column->addStretch(1);
}

void TInput_Panel::Align_Editors()
{
    Fit_Editors({Edit_Scalable_Time, Edit_Scalable_Press, Edit_Scalable_Fill, Edit_Scalable_Speed,
                 Edit_Scalable_Slope, Edit_Scalable_Dens, Edit_Scalable_Visc, Edit_Scalable_Cond,
                 Edit_Scalable_Diam, Edit_Scalable_Length, Edit_Scalable_Rough, Edit_Scalable_Young,
                 Edit_Scalable_Walls});
    // The step count's field stands under the other fields.
    const int Units = Edit_Scalable_Time->UnitsWidth();
    const int Caption = QFontMetrics(Edit_Num_Steps->font())
                            .horizontalAdvance(Edit_Num_Steps->Caption() + QLatin1Char(' '));
    const int Width = std::max(Edit_Scalable_Time->minimumWidth() - Units, Caption + 99);
    Edit_Num_Steps->setFixedSize(Width, Edit_Scalable_Time->minimumHeight());
    Label_Period->setMinimumHeight(Edit_Num_Steps->height());  // the row's height, steps hidden too
}

bool TInput_Panel::DriveMode() const
{
    return CheckBox_Ram->checkState() != Qt::Unchecked;
}

TEdit_Scalable* TInput_Panel::Editor(TEditorId Id) const
{
    switch (Id) {
    case TEditorId::Time: return Edit_Scalable_Time;
    case TEditorId::Speed: return Edit_Scalable_Speed;
    case TEditorId::Fill: return Edit_Scalable_Fill;
    case TEditorId::Press: return Edit_Scalable_Press;
    case TEditorId::Slope: return Edit_Scalable_Slope;
    case TEditorId::Dens: return Edit_Scalable_Dens;
    case TEditorId::Visc: return Edit_Scalable_Visc;
    case TEditorId::Cond: return Edit_Scalable_Cond;
    case TEditorId::Diam: return Edit_Scalable_Diam;
    case TEditorId::Length: return Edit_Scalable_Length;
    case TEditorId::Rough: return Edit_Scalable_Rough;
    case TEditorId::Young: return Edit_Scalable_Young;
    case TEditorId::Walls: return Edit_Scalable_Walls;
    default: return nullptr;
    }
}

void TInput_Panel::Store_To(TCase& Case) const
{
    for (const TEditorDef& Def : EditorDefs())
        if (TEdit_Scalable* E = Editor(Def.Id); E && Def.Field)
            Case.*Def.Field = E->Value();
    Case.Steps = Edit_Num_Steps->ValueInt();
    Case.LiquidKind = ComboBox_Liq->currentIndex();
    Case.PipeKind = ComboBox_Mat->currentIndex();
    Case.MayBlow = DriveMode();
}

void TInput_Panel::Load_From(const TCase& Case)
{
    for (const TEditorDef& Def : EditorDefs())
        if (TEdit_Scalable* E = Editor(Def.Id); E && Def.Field)
            E->Set_Value(Case.*Def.Field);
    Edit_Num_Steps->Set_Value(Case.Steps);
    ComboBox_Liq->setCurrentIndex(ClampIndex(Case.LiquidKind, ComboBox_Liq->count()));
    ComboBox_Mat->setCurrentIndex(ClampIndex(Case.PipeKind, ComboBox_Mat->count()));
    CheckBox_Ram->setCheckState(Case.MayBlow ? Qt::Checked : Qt::Unchecked);
}
