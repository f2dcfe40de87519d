// UpdateState: everything the main window shows that follows from its input.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "app/ChartView.h"
#include "app/EditorSetup.h"
#include "app/InputPanel.h"
#include "app/MainWindow.h"
#include "app/StatusLine.h"
#include "controls/ColorButton.h"
#include "controls/NumberEdit.h"
#include "controls/ScalableEdit.h"
#include "engine/Calc.h"

#include <QAction>

void TForm_Main::UpdateState()
{
    // Reading an editor while the user types reports the typed value, which
    // calls here again: the outer call already does the work.
    if (In_Update_State)
        return;
    In_Update_State = true;
    const TCase Case = Current_Case();
    const bool Drive = DriveMode();
    TInput_Panel& P = *Panel;

    const TPeriod Period = CasePeriod(Case, Drive);
    P.Edit_Num_Steps->setVisible(Period.StepsVisible);
    P.Label_Period->setText(QString::fromStdString(Period.Text));

    const bool Own_Liquid = P.ComboBox_Liq->currentIndex() == 0;
    P.Edit_Scalable_Dens->setEnabled(Own_Liquid);
    P.Edit_Scalable_Visc->setEnabled(Own_Liquid);
    P.Edit_Scalable_Cond->setEnabled(Own_Liquid);

    const bool Has_Diameter = Case.Diameter > 1e-12;
    const bool Own_Material = P.ComboBox_Mat->currentIndex() == 0 && Has_Diameter;
    P.ComboBox_Mat->setEnabled(Has_Diameter);
    P.Edit_Scalable_Rough->setEnabled(Own_Material);
    P.Edit_Scalable_Young->setEnabled(Own_Material);

    P.BitBtn_Report->setEnabled(FCalc && FCalc->Count > 0);

    // The drive row. The check box's changes here are the program's own.
    const bool Was_Updating = Updating;
    Updating = true;
    const QString Pressure = QStringLiteral("Давление");
    if (P.CheckBox_Ram->checkState() == Qt::Unchecked) {
        P.Btn_Clr_Ram->Set_Color(QColor());
        P.Btn_Clr_Ram->setEnabled(false);
        P.Edit_Scalable_Press->Set_Caption(Pressure);
    } else if (CanDrive(Case)) {
        P.Btn_Clr_Ram->Set_Color(QColor());
        P.CheckBox_Ram->setCheckState(Qt::Checked);
        P.Edit_Scalable_Press->Set_Caption(QStringLiteral("Противодавл."));
        P.Btn_Clr_Ram->setEnabled(true);
    } else {
        P.Btn_Clr_Ram->Set_Color(QColor(Qt::red));
        P.CheckBox_Ram->setCheckState(Qt::PartiallyChecked);
        P.Edit_Scalable_Press->Set_Caption(Pressure);
        P.Btn_Clr_Ram->setEnabled(true);
    }
    if (P.Edit_Scalable_Press->accessibleName() != P.Edit_Scalable_Press->Caption())
        NameEditorParts(P.Edit_Scalable_Press, P.Edit_Scalable_Press->Caption());
    Updating = Was_Updating;

    const TStatus Status = CaseStatus(Case, Drive);
    StatusBar->Set_Status(QString::fromStdString(Status.Text), Status.Colour);
    P.BitBtn_Calc->setEnabled(Status.CanRun);

    Menu_Work_Calc->setEnabled(P.BitBtn_Calc->isEnabled());
    Menu_Work_Report->setEnabled(P.BitBtn_Report->isEnabled());
    Menu_File_Close->setEnabled(P.BitBtn_Cancel->isEnabled());
    const bool Has_Results = FCalc && FCalc->Records && FCalc->Count > 0;
    for (QAction* A : {Menu_Work_Save_Png, Menu_Work_Save_Svg, Menu_Work_Save_Steps})
        A->setEnabled(Has_Results);
    Menu_Work_Save_Stages->setEnabled(Has_Results && FCalc->StageCount > 0);
    In_Update_State = false;
}
