// The value editors as the program sets them up: from the case model's table
// and from the material table.

#include "app/MaterialHelpers.h"
#include "case/CaseModel.h"
#include "controls/NumberEdit.h"
#include "controls/ScalableEdit.h"
#include "engine/Tables.h"

#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

// Every editor of the program, configured from the case model's table as the
// windows do, holds exactly the value the batch tool's case reader computes.
TEST(EditorSetup, EditorsConfiguredFromTheCaseModelAgreeWithTheCaseReader)
{
    const double Probes[] = {0.0,  1.0, -1.0,   0.001, 0.25, 4.6e-10, 1e-7, 3.3333333333,
                             95.0, 1e5, 2.5e11, 1e6,   -1e9, 1e12,    1e16, -2.0e-3};
    for (const TEditorDef& Def : EditorDefs()) {
        SCOPED_TRACE(Def.Name);
        TEdit_Scalable Editor;
        for (const TScaleDef& Scale : Def.Scales)
            Editor.AddScale(QString::fromUtf8(Scale.Caption), EditorScaleFormat, 1.0, Scale.Factor);
        Editor.UpdateUnits();
        Editor.SelectUnits(Def.InitialFactor);
        Editor.Set_MinValue(Def.MinValue);
        Editor.Set_MaxValue(Def.MaxValue);
        Editor.Set_MaxEditWidth(99);
        EXPECT_EQ(Editor.UnitsIndex(), InitialScaleIndex(Def));
        for (double V : Probes) {
            Editor.Set_Value(V);
            EXPECT_EQ(Editor.Value(), EditorValue(Def, V)) << V;
        }
        Editor.Set_Value(Def.Default);
        EXPECT_EQ(Editor.Value(), EditorValue(Def, Def.Default));
    }
}

TEST(MaterialHelpers, ListAndValuesComeFromTheMaterialTable)
{
    QComboBox List;
    List.addItem("старое");
    FillMaterialList(&List);
    EXPECT_EQ(List.count(), MaterialCount) << "the old items are gone";

    TEdit_Scalable Rough;
    TEdit_Scalable Young;
    Young.AddScale("ГПа", "%.3f", 1.0, 1e9);
    Young.UpdateUnits();
    Young.SelectUnits(1e9);
    Rough.Set_Value(0.5);
    Young.Set_Value(7.0);
    int Reports = 0;
    Young.OnChangeValue = [&](QObject*) { ++Reports; };
    for (int Unknown : {0, MaterialCount, -1})
        SetMaterialValues(Unknown, &Rough, &Young);
    EXPECT_EQ(Rough.Value(), 0.5);
    EXPECT_EQ(Young.Value(), 7.0);
    SetMaterialValues(4, nullptr, &Young);
    EXPECT_EQ(Young.Number_Edit()->Inner_Edit()->text(), "200.000");
    EXPECT_EQ(Reports, 0) << "the caller updates its window itself";
    SetMaterialValues(4, &Rough, nullptr);
    EXPECT_EQ(Rough.Value(), MaterialTable[4].Rough);
}
