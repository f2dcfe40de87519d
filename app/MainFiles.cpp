// The main window's files: the parameter file (the case) and the settings
// file (the workplace). A bare name lives in the per-user configuration
// folder; a name with a folder is used as it stands.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QStandardPaths>

#include "app/HammerDialog.h"
#include "app/InputPanel.h"
#include "app/LegendWindow.h"
#include "app/MainWindow.h"
#include "case/Workplace.h"
#include "dialogs/MessageDialog.h"
#include "dialogs/QtUserLink.h"
#include "dialogs/TextEditor.h"
#include "dialogs/WindowPlace.h"
#include "text/Profile.h"

namespace {

std::string Path_Of(const std::string& Name)
{
    const QString Folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const std::string Path = WorkplaceFilePath(Name, Folder.toStdString());
    if (Path != Name)
        QDir().mkpath(Folder);  // so that the first save finds its folder
    return Path;
}

QString Guillemets(const std::string& Name)
{
    return QStringLiteral("«") + QString::fromStdString(Name) + QStringLiteral("»");
}

void Error_Open_Params()
{
    Dialog_Error(QStringLiteral("Ошибка открытия файла параметров ") + Guillemets(DataFileName));
}

TBounds Bounds_Of(const QWidget* W, TBounds Default)
{
    Get_Window_Bounds(W, Default.Left, Default.Top, Default.Width, Default.Height);
    return Default;
}

}  // namespace

void TForm_Main::LoadParams()
{
    std::unique_ptr<TProfile> Profile;
    try {
        Profile = std::make_unique<TProfile>(Path_Of(DataFileName));
    } catch (const std::exception&) {
        Error_Open_Params();
        return;
    }
    // What is not read keeps the value it had.
    TCase Case = Current_Case();
    bool Failed = false;
    try {
        LoadCase(*Profile, Case);
    } catch (const std::exception&) {
        Failed = true;
    }
    Params_Load_Failed = Failed;
    const bool Was_Updating = Updating;
    Updating = true;
    Panel->Load_From(Case);
    if (Form_Calc)
        Form_Calc->Load_From(Case);
    Updating = Was_Updating;
    if (Failed)
        Dialog_Error(QStringLiteral("Ошибка загрузки параметров"));
}

bool TForm_Main::Exit_Save_Allowed()
{
    // A file opened by mistake (another kind of file) or one that did not
    // read cleanly is not replaced by the case without asking.
    bool Is_Case = false;
    try {
        TProfile Profile(Path_Of(DataFileName));
        Is_Case = IsParameterFile(Profile);
    } catch (const std::exception&) {
        Is_Case = false;
    }
    if (Is_Case && !Params_Load_Failed)
        return true;
    const QString Name = Guillemets(DataFileName);
    const QString Question =
        Is_Case ? QStringLiteral("Файл параметров ") + Name +
                      QStringLiteral(" был прочитан с ошибкой. Записать в него текущие данные?")
                : QStringLiteral("Файл ") + Name +
                      QStringLiteral(" не похож на файл параметров расчёта. Записать в него "
                                     "текущие данные?");
    return Dialog_Confirm(Question) == 6;
}

void TForm_Main::SaveParams()
{
    Save_Params(false);
}

void TForm_Main::Save_Params(bool At_Exit)
{
    if (At_Exit && !Exit_Save_Allowed())
        return;
    std::unique_ptr<TProfile> Profile;
    try {
        Profile = std::make_unique<TProfile>(Path_Of(DataFileName));
    } catch (const std::exception&) {
        Error_Open_Params();
        return;
    }
    try {
        std::optional<int> Top, Left;
        if (Form_Calc) {
            Top = Form_Calc->pos().y();
            Left = Form_Calc->pos().x();
        }
        SaveCase(*Profile, Current_Case(), Top, Left);
        Profile->Commit();  // replaces the file whole, or leaves the old one
        Params_Load_Failed = false;
    } catch (const std::exception&) {
        Dialog_Error(QStringLiteral("Ошибка записи параметров"));
    }
}

void TForm_Main::LoadSettings()
{
    std::unique_ptr<TProfile> Profile;
    try {
        Profile = std::make_unique<TProfile>(Path_Of(IniFileName));
    } catch (const std::exception&) {
        Dialog_Error(QStringLiteral("Ошибка открытия файла настроек"));
    }
    if (Profile) {
        TSettings S;
        // Without a stored place the window is centred at its size now.
        S.Window = Bounds_Of(this, {});
        S.Window.Left = S.Window.Top = SettingNotSet;
        S.FileName = DataFileName;
        bool Failed = false;
        try {
            ::LoadSettings(*Profile, S);
            Editor_Settings_Load(*Profile);
        } catch (const std::exception&) {
            Failed = true;
        }
        // Whatever was read before a failure is applied. Every window,
        // the main one included, is kept reachable on the screen.
        Set_Window_Bounds(this, S.Window.Left, S.Window.Top, S.Window.Width, S.Window.Height);
        if (Form_Calc)
            Set_Window_Bounds(Form_Calc, S.WindowCalc.Left, S.WindowCalc.Top, S.WindowCalc.Width,
                              S.WindowCalc.Height);
        if (Form_Legend) {
            Set_Window_Bounds(Form_Legend, S.WindowLegend.Left, S.WindowLegend.Top,
                              S.WindowLegend.Width, S.WindowLegend.Height);
            Form_Legend->setVisible(S.LegendVisible);
        }
        PercentTop = S.PercentTop;
        PercentLeft = S.PercentLeft;
        // A position kept with the case data (a parameter file given as the
        // settings file) places the dialog after "WindowCalc" did.
        if (Form_Calc && (S.BlowLeft != SettingNotSet || S.BlowTop != SettingNotSet))
            Set_Window_Bounds(
                Form_Calc, S.BlowLeft != SettingNotSet ? S.BlowLeft : Form_Calc->pos().x(),
                S.BlowTop != SettingNotSet ? S.BlowTop : Form_Calc->pos().y(), NotSet, NotSet);
        DataFileName = S.FileName;
        FSettings = S;
        if (Failed)
            Dialog_Error(QStringLiteral("Ошибка загрузки настроек"));
    }
    ShowFileTitle();
    LoadParams();
}

void TForm_Main::SaveSettings()
{
    std::unique_ptr<TProfile> Profile;
    try {
        Profile = std::make_unique<TProfile>(Path_Of(IniFileName));
    } catch (const std::exception&) {
        Dialog_Error(QStringLiteral("Ошибка открытия файла настроек"));
        return;
    }
    TSettings S = FSettings;
    S.Window = Bounds_Of(this, S.Window);
    if (Form_Calc) {
        S.WindowCalc.Left = Form_Calc->pos().x();
        S.WindowCalc.Top = Form_Calc->pos().y();
    }
    if (Form_Legend) {
        S.WindowLegend = Bounds_Of(Form_Legend, S.WindowLegend);
        S.LegendVisible = Form_Legend->isVisible();
    }
    S.PercentTop = PercentTop;
    S.PercentLeft = PercentLeft;
    S.FileName = DataFileName;
    try {
        ::SaveSettings(*Profile, S, Form_Calc != nullptr, Form_Legend != nullptr);
        Editor_Settings_Save(*Profile);
        Profile->Commit();
        FSettings = S;
    } catch (const std::exception&) {
        Dialog_Error(QStringLiteral("Ошибка записи настроек"));
    }
}
