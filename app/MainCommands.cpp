// The commands of the main window. Each ends with UpdateState. While a job
// (a run, a report) works, its progress window lets events through; every
// command then refuses to start, so that nothing the job uses can change.

#include <QCheckBox>
#include <QComboBox>

#include "app/ChartView.h"
#include "app/GravityDialog.h"
#include "app/HammerDialog.h"
#include "app/InputPanel.h"
#include "app/LegendWindow.h"
#include "app/MainWindow.h"
#include "app/MaterialHelpers.h"
#include "app/StatusLine.h"
#include "case/RunSetup.h"
#include "case/Workplace.h"
#include "controls/ColorButton.h"
#include "controls/NumberEdit.h"
#include "controls/ScalableEdit.h"
#include "dialogs/FileChoice.h"
#include "dialogs/MessageDialog.h"
#include "dialogs/QtUserLink.h"
#include "dialogs/TextEditor.h"
#include "engine/Calc.h"
#include "engine/RunGlobals.h"
#include "engine/Tables.h"
#include "results/Report.h"

#include <QAction>

void TForm_Main::Command(const std::function<void()>& Body)
{
    try {
        Body();
    } catch (const std::bad_alloc&) {
        Dialog_Error(QStringLiteral("Недостаточно памяти для выполнения команды"));
    } catch (const std::exception& E) {
        Dialog_Error(QStringLiteral("Ошибка выполнения команды: ") + QString::fromUtf8(E.what()));
    }
}

void TForm_Main::Disable_Work_Commands()
{
    for (QWidget* W :
         {static_cast<QWidget*>(Panel->BitBtn_Calc), static_cast<QWidget*>(Panel->BitBtn_Report),
          static_cast<QWidget*>(Panel->BitBtn_Cancel)})
        W->setEnabled(false);
    for (QAction* A : {Menu_Work_Calc, Menu_Work_Report, Menu_File_Close})
        A->setEnabled(false);
}

void TForm_Main::BitBtn_CalcClick()
{
    if (Refuse_While_Busy())
        return;
    Command([this] {
        TJobGuard Job;
        Disable_Work_Commands();
        const bool Drive = DriveMode();
        if (Form_Legend)
            Form_Legend->ShowColorKey(Drive);
        StatusBar->Set_Status(QStringLiteral("Выполнение расчёта по текущему набору данных..."));
        const TCase Case = Current_Case();
        TQtUserLink Link;
        {
            TRunSetup Setup(Case, *FBlow, Gravity, Link);
            const TRunKind Kind = PrepareRun(Case, Drive, *FCalc, *FBlow);
            if (Kind != TRunKind::ConstantPressure)
                StatusBar->Set_Status(QString::fromUtf8(RunStatusText(Kind)));
            RunPrepared(*FCalc, Kind);
        }
        PaintBox->Results_Changed();
        RedrawChart();
    });
    UpdateState();
    Panel->BitBtn_Cancel->setEnabled(true);
    Menu_File_Close->setEnabled(true);
}

void TForm_Main::BitBtn_ReportClick()
{
    if (Refuse_While_Busy())
        return;
    Command([this] {
        TJobGuard Job;
        Disable_Work_Commands();
        StatusBar->Set_Status(QStringLiteral("Формирование отчёта по результатам расчёта..."));
        // Every report opens a window of its own; earlier ones stay open.
        TForm_Editor* Editor = nullptr;
        try {
            Editor = new TForm_Editor(this);
        } catch (const std::exception&) {
            Dialog_Error(QStringLiteral("Ошибка создания окна редактора текста"));
            return;
        }
        try {
            const TCase Case = Current_Case();
            TQtUserLink Link;
            TRunSetup Setup(Case, *FBlow, Gravity, Link);
            // The report goes into the window as it is made, under the
            // report's own progress window.
            Editor->Editor_Set_Text_From(
                [this](const TForm_Editor::TText_Sink& Sink) { WriteReport(*FCalc, Sink); });
            Editor->show();
        } catch (const std::exception&) {
            delete Editor;
            Dialog_Error(QStringLiteral("Ошибка генерации отчёта"));
        }
    });
    UpdateState();
    Panel->BitBtn_Cancel->setEnabled(true);
    Menu_File_Close->setEnabled(true);
}

bool TForm_Main::Close_Editors()
{
    // Each asks about changes of its user; one kept open keeps the program.
    for (TForm_Editor* Editor : findChildren<TForm_Editor*>(Qt::FindDirectChildrenOnly)) {
        if (Editor->isVisible() && !Editor->close())
            return false;
    }
    return true;
}

void TForm_Main::BitBtn_CancelClick()
{
    if (Refuse_While_Busy())
        return;
    close();
}

void TForm_Main::Menu_File_OpenClick()
{
    if (Refuse_While_Busy())
        return;
    Command([this] {
        QString Name;
        try {
            Name = Choose_Open_File(this, QStringLiteral("Открыть файл с параметрами расчёта"),
                                    QString::fromStdString(ParamFileFilter),
                                    QString::fromStdString(DataFileName));
        } catch (const std::exception&) {
            Dialog_Error(QStringLiteral("Ошибка открытия файла параметров"));
            return;
        }
        if (!Name.isEmpty())
            Open_Params(Name.toStdString());
    });
    UpdateState();
}

void TForm_Main::Open_Params(const std::string& Name)
{
    DataFileName = Name;
    ShowFileTitle();
    // The results of the previous run are dropped.
    FCalc->ClearStages();
    FCalc->FreeRecords();
    PaintBox->Results_Changed();
    if (Form_Legend)
        Form_Legend->ShowColorKey(false);
    LoadParams();
}

void TForm_Main::Menu_File_SaveClick()
{
    if (Refuse_While_Busy())
        return;
    Command([this] { SaveParams(); });
    UpdateState();
}

void TForm_Main::Menu_File_Save_AsClick()
{
    if (Refuse_While_Busy())
        return;
    Command([this] {
        QString Name;
        try {
            Name = Choose_Save_File(this, QStringLiteral("Сохранить в файл с параметры расчёта"),
                                    QString::fromStdString(ParamFileFilter),
                                    QString::fromStdString(DataFileName));
        } catch (const std::exception&) {
            Dialog_Error(QStringLiteral("Ошибка открытия файла параметров"));
            return;
        }
        if (Name.isEmpty())
            return;
        DataFileName = Name.toStdString();
        ShowFileTitle();
        Params_Load_Failed = false;  // a file the user chose to write into
        SaveParams();
    });
    UpdateState();
}

void TForm_Main::CheckBox_RamClick()
{
    if (Updating)
        return;
    if (Refuse_While_Busy()) {
        // Put back what the click changed.
        Updating = true;
        Panel->CheckBox_Ram->setCheckState(!Panel->Btn_Clr_Ram->isEnabled()
                                               ? Qt::Unchecked
                                               : (Panel->Btn_Clr_Ram->Color() == QColor(Qt::red)
                                                      ? Qt::PartiallyChecked
                                                      : Qt::Checked));
        Updating = false;
        return;
    }
    Updating = true;
    const bool On = !Panel->Btn_Clr_Ram->isEnabled();
    Panel->Btn_Clr_Ram->setEnabled(On);
    Panel->CheckBox_Ram->setCheckState(On ? Qt::Checked : Qt::Unchecked);
    UpdateState();
    Updating = false;
}

void TForm_Main::Btn_Clr_RamClick()
{
    if (!Form_Calc || Refuse_While_Busy())
        return;
    Command([this] {
        TCase Kept;
        Form_Calc->Store_To(Kept);
        if (Form_Calc->exec() != QDialog::Accepted)
            Form_Calc->Load_From(Kept);
    });
    Updating = true;
    UpdateState();
    Updating = false;
}

void TForm_Main::ComboBox_LiqChange(int Index)
{
    if (Refuse_While_Busy())
        return;
    if (Index >= 1 && Index < LiquidCount) {
        const TLiquidRow& Row = LiquidTable[Index];
        Panel->Edit_Scalable_Dens->Set_Value(Row.Density);
        Panel->Edit_Scalable_Visc->Set_Value(Row.Viscous);
        Panel->Edit_Scalable_Cond->Set_Value(Row.Condens);
    }
    UpdateState();
}

void TForm_Main::ComboBox_MatChange(int Index)
{
    if (Refuse_While_Busy())
        return;
    SetMaterialValues(Index, Panel->Edit_Scalable_Rough, Panel->Edit_Scalable_Young);
    UpdateState();
}

void TForm_Main::StatusBarDblClick()
{
    if (Refuse_While_Busy())
        return;
    Command([this] { Edit_Gravity(this, Gravity); });
}

void TForm_Main::Wire_Inputs()
{
    TInput_Panel& P = *Panel;
    const auto Changed = [this](QObject*) {
        if (Job_Running() <= 0)
            UpdateState();
    };
    for (TEdit_Scalable* E :
         {P.Edit_Scalable_Time, P.Edit_Scalable_Fill, P.Edit_Scalable_Dens, P.Edit_Scalable_Visc,
          P.Edit_Scalable_Cond, P.Edit_Scalable_Diam, P.Edit_Scalable_Length, P.Edit_Scalable_Rough,
          P.Edit_Scalable_Young, P.Edit_Scalable_Walls})
        E->OnChangeValue = Changed;
    P.Edit_Num_Steps->OnChange = Changed;
    connect(P.ComboBox_Liq, &QComboBox::activated, this, [this](int I) { ComboBox_LiqChange(I); });
    connect(P.ComboBox_Mat, &QComboBox::activated, this, [this](int I) { ComboBox_MatChange(I); });
    connect(P.CheckBox_Ram, &QCheckBox::clicked, this, [this] { CheckBox_RamClick(); });
    connect(P.Btn_Clr_Ram, &QPushButton::clicked, this, [this] { Btn_Clr_RamClick(); });
    connect(P.BitBtn_Calc, &QPushButton::clicked, this, [this] { BitBtn_CalcClick(); });
    connect(P.BitBtn_Report, &QPushButton::clicked, this, [this] { BitBtn_ReportClick(); });
    connect(P.BitBtn_Cancel, &QPushButton::clicked, this, [this] { BitBtn_CancelClick(); });
}
