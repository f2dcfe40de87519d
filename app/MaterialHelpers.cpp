#include "app/MaterialHelpers.h"

#include "controls/ScalableEdit.h"
#include "engine/Tables.h"

#include <QComboBox>

void FillMaterialList(QComboBox* ComboBox)
{
    if (!ComboBox)
        return;
    ComboBox->clear();
    for (int i = 0; i < MaterialCount; ++i)
        ComboBox->addItem(QString::fromStdString(MaterialName(i)));
}

void SetMaterialValues(int Index, TEdit_Scalable* Rough, TEdit_Scalable* Young)
{
    if (Index < 1 || Index >= MaterialCount)
        return;
    const TMaterialRow& Row = MaterialTable[Index];
    if (Rough)
        Rough->Set_Value(Row.Rough);
    if (Young)
        Young->Set_Value(Row.Young);
}
