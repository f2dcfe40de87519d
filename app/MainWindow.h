#pragma once
// TForm_Main: the program's main window. It owns the engine objects of the
// filled and the driving pipe, creates the water-hammer dialog and the legend
// window, reads and writes the parameter and the settings file, and carries
// the commands. Each part it shows lives in a file of its own: the input
// column (InputPanel), the chart area (ChartView), the status line
// (StatusLine), the legend (LegendWindow) and the dialogs.
//
// Where its members are defined:
//   app/MainWindow.cpp    creation, showing, closing, the chart and the readout
//   app/MainMenu.cpp      the menu and its actions
//   app/MainState.cpp     UpdateState
//   app/MainFiles.cpp     the parameter file and the settings file
//   app/MainCommands.cpp  the commands

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "case/CaseModel.h"
#include "case/Settings.h"

class QAction;
class QMenu;
class QScrollArea;
class TCalc;
class TChart_View;
class TForm_Calc;
class TForm_Legend;
class TInput_Panel;
class TStatus_Line;

// The status line's product text: " Hyd Flow v.1.2.2.1   ".
QString ProductText();

class TForm_Main : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm_Main(QWidget* Parent = nullptr);
    ~TForm_Main() override;

    // Parts of the window.
    TInput_Panel* Panel = nullptr;
    QWidget* ScrollBox = nullptr;
    TChart_View* PaintBox = nullptr;
    TStatus_Line* StatusBar = nullptr;
    QMenu* Menu_File = nullptr;
    QAction* Menu_File_Open = nullptr;
    QAction* Menu_File_Save = nullptr;
    QAction* Menu_File_Save_As = nullptr;
    QAction* Menu_File_Close = nullptr;
    QMenu* Menu_Work = nullptr;
    QAction* Menu_Work_Calc = nullptr;
    QAction* Menu_Work_Report = nullptr;
    // Exports of what the window shows (also the chart's context menu).
    QAction* Menu_Work_Save_Png = nullptr;
    QAction* Menu_Work_Save_Svg = nullptr;
    QAction* Menu_Work_Save_Steps = nullptr;
    QAction* Menu_Work_Save_Stages = nullptr;
    QAction* Menu_Work_Copy_Legend = nullptr;

    // Windows created with the main window and destroyed with it.
    TForm_Calc* Form_Calc = nullptr;
    TForm_Legend* Form_Legend = nullptr;

    // The engine objects of the filled pipe and of the driving pipe.
    TCalc& Calc() { return *FCalc; }
    TCalc& Blow() { return *FBlow; }

    // The drive is on (the check box is checked or grayed).
    bool DriveMode() const;
    // Every input as the window and the water-hammer dialog hold it now.
    TCase Current_Case() const;

    void UpdateState();
    void LoadSettings();
    void SaveSettings();
    void LoadParams();
    void SaveParams();
    void ShowFileTitle();
    void ApplyLegendColours();
    void RedrawChart();

    // Commands.
    void BitBtn_CalcClick();
    void BitBtn_ReportClick();
    void BitBtn_CancelClick();
    void Menu_File_OpenClick();
    void Menu_File_SaveClick();
    void Menu_File_Save_AsClick();
    void CheckBox_RamClick();
    void Btn_Clr_RamClick();
    void ComboBox_LiqChange(int Index);
    void ComboBox_MatChange(int Index);
    void StatusBarDblClick();
    void Menu_Work_Save_PngClick();
    void Menu_Work_Save_SvgClick();
    void Menu_Work_Save_StepsClick();
    void Menu_Work_Save_StagesClick();
    void Menu_Work_Copy_LegendClick();
    // The value readout at X pixels of the chart area.
    void PaintBoxMouseMove(int X);
    void PaintBoxClick();

    // A case to open, as the open command would, once the settings are read
    // at the first showing (a file named on the command line).
    void Open_At_Start(const std::string& Name) { FOpen_At_Start = Name; }

    // The smallest client size, as laid out at creation.
    QSize Minimum_Client_Size() const { return FMinimum_Client; }

protected:
    void showEvent(QShowEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;

private:
    void createUi();
    void createActions();
    void createMenus();
    void createStatusBar();
    void Wire_Inputs();
    void FormShow();
    void Place_At_Start();
    // Opens Name as the open command does, without its dialog.
    void Open_Params(const std::string& Name);
    // Whether a job runs (a run or a report): the window then takes no
    // command; the refusal beeps.
    bool Refuse_While_Busy();
    void Set_Busy(bool Busy);
    // The six command controls that a run or a report disables.
    void Disable_Work_Commands();
    // Runs a command and turns any failure it throws into a message.
    void Command(const std::function<void()>& Body);
    // Closes every editor window; false when one stays open (its user kept
    // a changed text).
    bool Close_Editors();
    // Whether the parameter file may be written at exit without asking.
    bool Exit_Save_Allowed();
    // Asks for a file name (Title, Filter, a default name in the parameter
    // file's folder) and writes it with Write; errors become messages.
    void Export(const QString& Title, const QString& Filter, const QString& Suffix,
                const std::function<void(const QString&)>& Write);
    // Writes the parameter file; At_Exit asks first before writing into a
    // file that does not look like a parameter file.
    void Save_Params(bool At_Exit);

    bool Updating = false;
    bool In_Update_State = false;
    bool Shown_Once = false;
    bool Closing_Done = false;
    // The parameter file named by DataFileName reported an error when it was
    // read: it is not overwritten at exit without asking.
    bool Params_Load_Failed = false;
    std::unique_ptr<TCalc> FCalc;
    std::unique_ptr<TCalc> FBlow;
    QSize FMinimum_Client;
    TSettings FSettings;
    std::string FOpen_At_Start;  // as last read or written: the defaults of the next write
};
