#include "app/HammerDialog.h"

#include "app/EditorFit.h"
#include "app/EditorSetup.h"
#include "app/MaterialHelpers.h"
#include "case/CaseModel.h"
#include "controls/ColorButton.h"
#include "controls/ScalableEdit.h"
#include "dialogs/WindowPlace.h"
#include "engine/Tables.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int Gap = Placement_Gap;
constexpr int Drop_Down_Count = 20;
// Diameters up to this are no pipe: neither material nor modulus apply.
constexpr double No_Diameter = 1e-12;

QComboBox* New_List(QWidget* Parent, const char* Name, const char* Hint, QLabel* Label)
{
    auto* List = new QComboBox(Parent);
    List->setEditable(false);
    List->setMaxVisibleItems(Drop_Down_Count);
    NameControl(List, Name, QString::fromUtf8(Hint), Label->text());
    Label->setBuddy(List);
    return List;
}

// A caption and its list in one row, the list taking the rest of the width.
QHBoxLayout* Row_Of(QLabel* Label, QComboBox* List)
{
    auto* Row = new QHBoxLayout;
    Row->setContentsMargins(0, 0, 0, 0);
    Row->setSpacing(Gap);
    Row->addWidget(Label);
    Row->addWidget(List, 1);
    return Row;
}
}  // namespace

TForm_Calc::TForm_Calc(QWidget* Parent) : QDialog(Parent)
{
    setObjectName(QStringLiteral("Form_Calc"));
    setWindowTitle(QStringLiteral("Параметры гидроудара"));

    // Created top to bottom, so that Tab moves down the window.
    Edit_Scalable_Speed = New_Editor(this, TEditorId::BlowSpeed);

    GroupBox_Mat = new QGroupBox(QStringLiteral("Разгонная труба"), this);
    NameControl(GroupBox_Mat, "GroupBox_Mat", QString(), GroupBox_Mat->title());
    Edit_Scalable_Diam = New_Editor(GroupBox_Mat, TEditorId::BlowDiam);
    Edit_Scalable_Length = New_Editor(GroupBox_Mat, TEditorId::BlowLength);
    Edit_Scalable_Slope = New_Editor(GroupBox_Mat, TEditorId::BlowSlope);
    Label_Mat = new QLabel(QStringLiteral("Тип"), GroupBox_Mat);
    Label_Mat->setObjectName(QStringLiteral("Label_Mat"));
    ComboBox_Mat = New_List(GroupBox_Mat, "ComboBox_Mat",
                            "Можно выбрать предопределённые типы материала разгонной трубы, когда "
                            "все параметры устанавливаются автоматически.",
                            Label_Mat);
    FillMaterialList(ComboBox_Mat);
    Edit_Scalable_Young = New_Editor(GroupBox_Mat, TEditorId::BlowYoung);
    Edit_Scalable_Walls = New_Editor(GroupBox_Mat, TEditorId::BlowWalls);

    Label_Narrow = new QLabel(QStringLiteral("Сужение утечки"), this);
    Label_Narrow->setObjectName(QStringLiteral("Label_Narrow"));
    ComboBox_Narrow = New_List(this, "ComboBox_Narrow",
                               "Способ учёта потерь напора при прохождении отверстия утечки из-за "
                               "сужения канала потока.",
                               Label_Narrow);
    for (int i = 0; i < NarrowingCount; ++i)
        ComboBox_Narrow->addItem(QString::fromUtf8(NarrowingName(i)));

    CheckBox_Trunc = new QCheckBox(QStringLiteral("Для отсечённого объёма"), this);
    NameControl(CheckBox_Trunc, "CheckBox_Trunc",
                QStringLiteral("Выполнить полный расчёт для отсекаемой нагнетательной камеры (с "
                               "повторными гидроударами)."),
                CheckBox_Trunc->text());

    BitBtn_OK = new TBtn_Clr(this);
    BitBtn_OK->Set_Kind(TBtn_Clr::TBitBtnKind::bkOK);
    BitBtn_OK->Set_Default(true);
    NameControl(BitBtn_OK, "BitBtn_OK", QStringLiteral("Зафиксировать новые данные."),
                BitBtn_OK->text());
    BitBtn_Cancel = new TBtn_Clr(this);
    BitBtn_Cancel->Set_Kind(TBtn_Clr::TBitBtnKind::bkCancel);
    BitBtn_Cancel->setText(QStringLiteral("&Отмена"));
    BitBtn_Cancel->Set_Cancel(true);
    NameControl(BitBtn_Cancel, "BitBtn_Cancel",
                QStringLiteral("Закрыть окно и вернуть прежние значения (не сохранять изменённые "
                               "данные)."),
                QStringLiteral("Отмена"));

    Fit_Editors({Edit_Scalable_Speed, Edit_Scalable_Diam, Edit_Scalable_Length, Edit_Scalable_Slope,
                 Edit_Scalable_Young, Edit_Scalable_Walls});

    auto* Pipe = new QVBoxLayout(GroupBox_Mat);
    Pipe->setSpacing(Gap);
    Pipe->setContentsMargins(2 * Gap, Gap, 2 * Gap, 2 * Gap);
    Pipe->addWidget(Edit_Scalable_Diam);
    Pipe->addWidget(Edit_Scalable_Length);
    Pipe->addWidget(Edit_Scalable_Slope);
    Pipe->addLayout(Row_Of(Label_Mat, ComboBox_Mat));
    Pipe->addWidget(Edit_Scalable_Young);
    Pipe->addWidget(Edit_Scalable_Walls);

    // The speed editor stands as far in as the editors of the group box, so
    // that all fields and unit lists form one column.
    const QMargins Frame = GroupBox_Mat->contentsMargins() + Pipe->contentsMargins();
    auto* Speed = new QHBoxLayout;
    Speed->setContentsMargins(Frame.left(), 0, Frame.right(), 0);
    Speed->addWidget(Edit_Scalable_Speed);

    auto* Buttons = new QHBoxLayout;
    Buttons->setSpacing(2 * Gap);
    Buttons->addStretch(1);
    Buttons->addWidget(BitBtn_OK);
    Buttons->addWidget(BitBtn_Cancel);
    Buttons->addStretch(1);

    auto* Form = new QVBoxLayout(this);
    Form->setContentsMargins(Gap, Gap, Gap, Gap);
    Form->setSpacing(Gap);
    Form->addLayout(Speed);
    Form->addWidget(GroupBox_Mat);
    Form->addLayout(Row_Of(Label_Narrow, ComboBox_Narrow));
    Form->addWidget(CheckBox_Trunc);
    Form->addSpacing(Gap);
    Form->addLayout(Buttons);
    // A fixed dialog: as large as its contents need.
    Form->setSizeConstraint(QLayout::SetFixedSize);

    for (TEdit_Scalable* Editor : {Edit_Scalable_Diam, Edit_Scalable_Length, Edit_Scalable_Speed})
        Editor->OnChangeValue = [this](QObject*) { Update_State(); };
    // Only a choice of the user fills the material's values; selecting an
    // index from the program (Load_From) does not.
    connect(ComboBox_Mat, &QComboBox::activated, this, [this] { ComboBox_MatChange(); });
}

void TForm_Calc::Update_State()
{
    const bool Pipe = Edit_Scalable_Diam->Value() > No_Diameter;
    ComboBox_Mat->setEnabled(Pipe);
    Edit_Scalable_Young->setEnabled(Pipe && ComboBox_Mat->currentIndex() == 0);
    CheckBox_Trunc->setEnabled(Edit_Scalable_Speed->Value() > 0 &&
                               Edit_Scalable_Length->Value() > 0);
}

void TForm_Calc::ComboBox_MatChange()
{
    SetMaterialValues(ComboBox_Mat->currentIndex(), nullptr, Edit_Scalable_Young);
    Update_State();
}

void TForm_Calc::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    Update_State();
}

namespace {
// The editors and the case fields they stand for.
struct TEditorField {
    TEdit_Scalable* TForm_Calc::*Editor;
    TEditorId Id;
};
constexpr TEditorField Editor_Fields[] = {
    {&TForm_Calc::Edit_Scalable_Speed, TEditorId::BlowSpeed},
    {&TForm_Calc::Edit_Scalable_Diam, TEditorId::BlowDiam},
    {&TForm_Calc::Edit_Scalable_Length, TEditorId::BlowLength},
    {&TForm_Calc::Edit_Scalable_Slope, TEditorId::BlowSlope},
    {&TForm_Calc::Edit_Scalable_Young, TEditorId::BlowYoung},
    {&TForm_Calc::Edit_Scalable_Walls, TEditorId::BlowWalls},
};
}  // namespace

void TForm_Calc::Store_To(TCase& Case)
{
    for (const TEditorField& F : Editor_Fields)
        Case.*(EditorDef(F.Id).Field) = (this->*F.Editor)->Value();
    Case.BlowPipeKind = ClampIndex(ComboBox_Mat->currentIndex(), MaterialCount);
    Case.NarrowingKind = ClampIndex(ComboBox_Narrow->currentIndex(), NarrowingCount);
    Case.MayTrunc = CheckBox_Trunc->isChecked();
}

void TForm_Calc::Load_From(const TCase& Case)
{
    ComboBox_Mat->setCurrentIndex(ClampIndex(Case.BlowPipeKind, MaterialCount));
    // Speed, diameter, length, slope, Young's modulus, wall thickness.
    for (const TEditorField& F : Editor_Fields)
        (this->*F.Editor)->Set_Value(Case.*(EditorDef(F.Id).Field));
    ComboBox_Narrow->setCurrentIndex(ClampIndex(Case.NarrowingKind, NarrowingCount));
    CheckBox_Trunc->setChecked(Case.MayTrunc);
    Update_State();
}
