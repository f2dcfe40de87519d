#include "app/EditorSetup.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QString>

#include "controls/EditButton.h"
#include "controls/NumberEdit.h"
#include "controls/ScalableEdit.h"
#include "controls/SpinButtons.h"

void NameControl(QWidget* Control, const char* Name, const QString& Hint,
                 const QString& AccessibleName)
{
    Control->setObjectName(QString::fromLatin1(Name));
    if (!Hint.isEmpty())
        Control->setToolTip(Hint);
    Control->setAccessibleName(AccessibleName);
}

void NameEditorParts(QWidget* Editor, const QString& Caption)
{
    Editor->setAccessibleName(Caption);
    for (TEdit_Num* Field : Editor->findChildren<TEdit_Num*>())
        Field->setAccessibleName(Caption);
    for (QLineEdit* Field : Editor->findChildren<QLineEdit*>())
        Field->setAccessibleName(Caption);
    for (QComboBox* Units : Editor->findChildren<QComboBox*>())
        Units->setAccessibleName(Caption + QStringLiteral(": единицы"));
    for (TSpin_Buttons* Spin : Editor->findChildren<TSpin_Buttons*>())
        Spin->setAccessibleName(Caption + QStringLiteral(": больше или меньше"));
    for (TEdit_Button* Button : Editor->findChildren<TEdit_Button*>())
        Button->setAccessibleName(Caption + QStringLiteral(": калькулятор"));
}

void SetUpEditor(TEdit_Scalable* Editor, TEditorId Id)
{
    const TEditorDef& Def = EditorDef(Id);
    const QString Caption = QString::fromUtf8(Def.Caption);
    NameControl(Editor, Def.Name, QString::fromUtf8(Def.Hint), Caption);
    Editor->Set_Caption(Caption);
    for (const TScaleDef& Scale : Def.Scales)
        Editor->AddScale(QString::fromUtf8(Scale.Caption), QString::fromLatin1(EditorScaleFormat),
                         1.0, Scale.Factor);
    Editor->UpdateUnits();
    Editor->SelectUnits(Def.InitialFactor);
    Editor->Set_MinValue(Def.MinValue);
    Editor->Set_MaxValue(Def.MaxValue);
    Editor->Set_MaxEditWidth(99);
    NameEditorParts(Editor, Caption);
}

TEdit_Scalable* New_Editor(QWidget* Parent, TEditorId Id)
{
    auto* Editor = new TEdit_Scalable(Parent);
    SetUpEditor(Editor, Id);
    return Editor;
}

void SetUpStepsEditor(TEdit_Num* Editor)
{
    const QString Caption = QString::fromUtf8(StepsCaption);
    NameControl(Editor, "Edit_Num_Steps", QString::fromUtf8(StepsHint), Caption);
    Editor->Set_MaxLength(24);
    Editor->Set_Calculator(true);
    Editor->Set_RealNumber(false);
    Editor->Set_ShowSignify(false);
    Editor->Set_AutoSelect(true);
    Editor->Set_Caption(Caption);
    Editor->Set_MinValue(StepsMin);
    Editor->Set_MaxValue(StepsMax);
    NameEditorParts(Editor, Caption);
}
