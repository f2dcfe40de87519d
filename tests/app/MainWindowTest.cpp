// The main window as a user meets it: start-up with and without files, the
// status line, the drive row, the dialogs, runs with the chart and the
// readout, the file commands, the closing question, and the refusal of every
// command while a run works. Modal message and file dialogs are answered
// through their "next answer" seams; the water-hammer and gravity dialogs
// through QtHelpers::When_Modal.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>

#include <sstream>

#include "../QtHelpers.h"
#include "../TestFiles.h"
#include "app/ChartView.h"
#include "app/HammerDialog.h"
#include "app/InputPanel.h"
#include "app/LegendWindow.h"
#include "app/MainWindow.h"
#include "app/StatusLine.h"
#include "batch/BatchTool.h"
#include "case/Workplace.h"
#include "controls/ColorButton.h"
#include "controls/NumberEdit.h"
#include "controls/ScalableEdit.h"
#include "dialogs/FileChoice.h"
#include "dialogs/MessageDialog.h"
#include "dialogs/QtUserLink.h"
#include "dialogs/WindowPlace.h"
#include "engine/Calc.h"
#include "engine/RunGlobals.h"
#include "text/Profile.h"

namespace {

const std::string Examples = HYD_EXAMPLES_DIR;

QString Screenshot(const char* Name)
{
    return QtHelpers::Screenshot_Folder() + QLatin1Char('/') + QLatin1String(Name);
}

// A fresh workplace for each test: the settings and parameter files live in
// a temporary folder, and no message or file dialog is left waiting.
class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName(QStringLiteral("Hyd"));
        IniFileName = Dir.File("Hyd.ini");
        DataFileName = Dir.File("Data.Hyd");
        PercentLeft = PercentTop = NotSet;
        Gravity = 9.81;
        ZoDialog::Take_Answered();
    }
    void TearDown() override
    {
        EXPECT_EQ(ZoDialog::Pending_Answers(), 0) << "a message expected by the test never came";
        EXPECT_EQ(FileChoice::Pending_Answers(), 0);
        // Answers left over would answer the next test's dialogs: use them up.
        while (ZoDialog::Pending_Answers() > 0)
            Dialog_Error(QStringLiteral("unused answer"));
        ZoDialog::Take_Answered();
        while (FileChoice::Pending_Answers() > 0)
            (void)Choose_Open_File(nullptr, {}, {}, {});
    }

    // A shown main window (start-up reads the files).
    std::unique_ptr<TForm_Main> Start()
    {
        auto Form = std::make_unique<TForm_Main>();
        Form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        return Form;
    }

    // A copy of an example case in the temporary folder (the window writes
    // its case back at exit).
    std::string Example(const std::string& Name)
    {
        const std::string Copy = Dir.File(Name + ".Hyd");
        WriteText(Copy, ReadText(Examples + "/" + Name + ".Hyd"));
        return Copy;
    }

    // Closes the window answering the question with yes.
    void Close(TForm_Main& Form)
    {
        ZoDialog::Answer_Next(6);
        Form.close();
        ZoDialog::Take_Answered();
    }

    TTempDir Dir;
};

QString Status_Text(TForm_Main& Form)
{
    return Form.StatusBar->text();
}

void Set(TEdit_Scalable* E, double V)
{
    E->Set_Value(V);
}

}  // namespace

// -- Start-up ---------------------------------------------------------------

TEST_F(MainWindowTest, StartsWithoutFilesWithDefaultsCentredAndTheProductText)
{
    auto Form = Start();
    TInput_Panel& P = *Form->Panel;
    EXPECT_EQ(Form->windowTitle().toStdString(), "Расчёт [" + DataFileName + "]");
    EXPECT_DOUBLE_EQ(P.Edit_Scalable_Time->Value(), 0.001);
    EXPECT_EQ(P.Edit_Num_Steps->ValueInt(), 100);
    EXPECT_DOUBLE_EQ(P.Edit_Scalable_Press->Value(), 100000);
    EXPECT_DOUBLE_EQ(P.Edit_Scalable_Dens->Value(), 1000);
    EXPECT_DOUBLE_EQ(P.Edit_Scalable_Diam->Value(), 0.1);
    EXPECT_EQ(P.ComboBox_Liq->currentIndex(), 0);
    EXPECT_EQ(P.ComboBox_Mat->currentIndex(), 0);
    EXPECT_EQ(P.CheckBox_Ram->checkState(), Qt::Unchecked);
    EXPECT_FALSE(P.Btn_Clr_Ram->isEnabled());
    EXPECT_FALSE(P.BitBtn_Report->isEnabled()) << "no run yet";
    EXPECT_EQ(Status_Text(*Form), " Hyd Flow v.1.2.2.1   ");
    EXPECT_FALSE(Form->Form_Legend->isVisible());
    EXPECT_EQ(Form->Form_Legend->Label_Time->text(), "Цвета линий:");

    // Centred on the screen, the dialog too.
    const QRect Screen = Screen_Area_Of(Form.get());
    const QPoint Centre = Form->frameGeometry().center();
    EXPECT_LE(std::abs(Centre.x() - Screen.center().x()), 2);
    EXPECT_LE(std::abs(Centre.y() - Screen.center().y()), 2 + Form->frameGeometry().height() / 2);
    EXPECT_TRUE(Screen.contains(Form->Form_Calc->frameGeometry().center()));
    ASSERT_EQ(ZoDialog::Take_Answered(), QStringList()) << "no message at a first start";
    Close(*Form);
}

TEST_F(MainWindowTest, StartsFromSettingsThatNameAnExampleCase)
{
    const std::string Case = Example("single-hammer");
    WriteText(IniFileName, "[WindowLegend]\nLeft=40\nTop=50\nWidth=320\nHeight=160\nVisible=1\n"
                           "[Data]\nFileName=" +
                               Case + "\n[ZoEditor]\nFontName=Mono\n");
    auto Form = Start();
    TInput_Panel& P = *Form->Panel;
    EXPECT_EQ(DataFileName, Case);
    EXPECT_EQ(Form->windowTitle().toStdString(), "Расчёт [" + Case + "]");
    EXPECT_DOUBLE_EQ(P.Edit_Scalable_Press->Value(), 6e5);
    EXPECT_DOUBLE_EQ(P.Edit_Scalable_Length->Value(), 30);
    EXPECT_EQ(P.ComboBox_Liq->currentIndex(), 2);
    EXPECT_EQ(P.ComboBox_Mat->currentIndex(), 4);
    EXPECT_EQ(P.CheckBox_Ram->checkState(), Qt::Checked);
    EXPECT_TRUE(P.Btn_Clr_Ram->isEnabled());
    EXPECT_FALSE(P.Edit_Num_Steps->isVisible()) << "the hammer's duration replaces the step count";
    EXPECT_TRUE(P.Label_Period->text().startsWith("Длительность гидроудара "));
    EXPECT_EQ(P.Edit_Scalable_Press->Caption(), "Противодавл.");
    EXPECT_DOUBLE_EQ(Form->Form_Calc->Edit_Scalable_Length->Value(), 50);
    EXPECT_EQ(Form->Form_Calc->ComboBox_Narrow->currentIndex(), 1);
    EXPECT_TRUE(Form->Form_Legend->isVisible());
    EXPECT_EQ(Form->Form_Legend->pos(), QPoint(40, 50));
    EXPECT_EQ(Form->Form_Legend->size(),
              QSize(320, 160).expandedTo(Form->Form_Legend->minimumSize()));

    Close(*Form);
    TProfile Settings(IniFileName);
    EXPECT_EQ(Settings.ReadString("ZoEditor", "FontName", ""), "Mono") << "left as it was";
    EXPECT_EQ(Settings.ReadString("WindowLegend", "Visible", ""), "1");
    EXPECT_EQ(Settings.ReadString("Data", "FileName", ""), Case);
}

TEST_F(MainWindowTest, ACaseNamedAtStartIsOpenedAfterTheSettings)
{
    const std::string Named = Example("constant-pressure");
    const std::string Opened = Example("repeated-hammer");
    WriteText(IniFileName, "[Data]\nFileName=" + Named + "\n");
    auto Form = std::make_unique<TForm_Main>();
    Form->Open_At_Start(Opened);
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    EXPECT_EQ(DataFileName, Opened);
    EXPECT_EQ(Form->windowTitle().toStdString(), "Расчёт [" + Opened + "]");
    EXPECT_TRUE(Form->Form_Calc->CheckBox_Trunc->isChecked()) << "the opened case's values";
    Close(*Form);
    TProfile Settings(IniFileName);
    EXPECT_EQ(Settings.ReadString("Data", "FileName", ""), Opened) << "remembered for next time";
}

TEST_F(MainWindowTest, TheWindowKeepsItsLaidOutSizeAsTheSmallest)
{
    auto Form = Start();
    const QSize Min = Form->minimumSize();
    EXPECT_EQ(Min, Form->Minimum_Client_Size());
    Form->resize(10, 10);
    QtHelpers::Wait(20);
    EXPECT_GE(Form->width(), Min.width());
    EXPECT_GE(Form->height(), Min.height());
    // At the smallest size every caption is whole and the buttons stand
    // under the inputs; growing the window widens only the chart.
    TInput_Panel& P = *Form->Panel;
    for (TEdit_Scalable* E : P.findChildren<TEdit_Scalable*>())
        EXPECT_GE(E->width(), E->minimumWidth()) << E->objectName().toStdString();
    const int Panel_Width = P.width();
    const int Chart_Width = Form->PaintBox->width();
    const QPoint Calc_Pos = P.BitBtn_Calc->mapTo(Form.get(), QPoint());
    Form->resize(Form->width() + 200, Form->height() + 100);
    QtHelpers::Wait(20);
    EXPECT_EQ(P.width(), Panel_Width);
    EXPECT_EQ(Form->PaintBox->width(), Chart_Width + 200);
    EXPECT_EQ(P.BitBtn_Calc->mapTo(Form.get(), QPoint()), Calc_Pos);

    // The longest status text wraps at the smallest width instead of being cut.
    Form->resize(Min);
    P.Edit_Scalable_Time->Set_Value(0);
    P.Edit_Num_Steps->Set_Value(0);
    P.Edit_Scalable_Dens->Set_Value(0);
    Form->UpdateState();
    QtHelpers::Wait(20);
    TStatus_Line& Line = *Form->StatusBar;
    EXPECT_GE(Line.height(), Line.heightForWidth(Line.width()));
    EXPECT_GT(Line.height(), Line.fontMetrics().height() + 4) << "two lines";
    EXPECT_LT(Line.height(), 4 * Line.fontMetrics().height()) << "no more than it needs";
    EXPECT_LE(Form->height(), Min.height() + 3 * Line.fontMetrics().height());
    EXPECT_TRUE(QtHelpers::Grab(Form.get()).save(Screenshot("main-missing-data.png")));
    Close(*Form);
}

TEST_F(MainWindowTest, AStoredPlaceOffEveryScreenIsPulledBack)
{
    WriteText(IniFileName, "[Window]\nLeft=-30000\nTop=40000\nWidth=700\nHeight=560\n");
    auto Form = Start();
    const QRect Screen = Screen_Area_Of(Form.get());
    EXPECT_TRUE(Screen.contains(Form->frameGeometry().topLeft()));
    EXPECT_EQ(Form->size(), QSize(700, 560).expandedTo(Form->minimumSize()));
    Close(*Form);
}

TEST_F(MainWindowTest, EveryControlCarriesAnAccessibleName)
{
    auto Form = Start();
    for (QWidget* W : Form->findChildren<QWidget*>()) {
        if (W->focusPolicy() == Qt::NoFocus || !W->isVisibleTo(Form.get()) || W->inherits("QMenu"))
            continue;
        EXPECT_FALSE(W->accessibleName().isEmpty())
            << W->metaObject()->className() << " " << W->objectName().toStdString() << " in "
            << (W->parentWidget() ? W->parentWidget()->objectName().toStdString() : "");
    }
    EXPECT_EQ(Form->StatusBar->accessibleDescription(), " Hyd Flow v.1.2.2.1   ");
    Close(*Form);
}

// -- Status line and drive row ----------------------------------------------

TEST_F(MainWindowTest, StatusLineTellsWhatCanBeCalculated)
{
    auto Form = Start();
    TInput_Panel& P = *Form->Panel;
    const QColor Window = QApplication::palette(Form->StatusBar).color(QPalette::Window);
    struct TRow {
        const char* Name;
        std::function<void()> Change;
        const char* Text;
        QColor Colour;
        bool Can_Run;
    };
    const std::vector<TRow> Rows = {
        {"defaults", [] {},
         " Можно выполнить расчёт ускорения с учётом трения и расчёт гидроудара при постоянном "
         "давлении.",
         Window, true},
        {"no roughness", [&] { Set(P.Edit_Scalable_Rough, 0); },
         " Можно выполнить расчёт ускорения без учёта трения и расчёт гидроудара при постоянном "
         "давлении.",
         Window, true},
        {"no walls", [&] { Set(P.Edit_Scalable_Walls, 0); },
         " Можно выполнить расчёт ускорения с учётом трения при постоянном давлении.", Window,
         true},
        {"fill at the length",
         [&] { Set(P.Edit_Scalable_Length, 10), Set(P.Edit_Scalable_Fill, 10); },
         " Можно выполнить расчёт ускорения с учётом трения и расчёт гидроудара при постоянном "
         "давлении.",
         Window, true},
        {"fill beyond the length",
         [&] { Set(P.Edit_Scalable_Length, 10), Set(P.Edit_Scalable_Fill, 10.00001); },
         " Можно выполнить расчёт ускорения с учётом трения и расчёт гидроудара при постоянном "
         "давлении (заполнение превышает длину трубы и будет уменьшено).",
         QColor(Qt::yellow), true},
        {"no step and density", [&] { Set(P.Edit_Scalable_Time, 0), Set(P.Edit_Scalable_Dens, 0); },
         " ——— Недостаточно данных для расчёта: шаг времени должен быть больше 0, плотность "
         "должна быть больше 0! ———",
         QColor(Qt::red), false},
    };
    for (const TRow& Row : Rows) {
        SCOPED_TRACE(Row.Name);
        TCase Defaults;
        Form->Panel->Load_From(Defaults);
        Row.Change();
        Form->UpdateState();
        EXPECT_EQ(Status_Text(*Form).toStdString(), Row.Text);
        EXPECT_EQ(Form->StatusBar->Background(), Row.Colour);
        EXPECT_EQ(QtHelpers::Grab(Form->StatusBar).pixelColor(2, 2), Row.Colour);
        EXPECT_EQ(P.BitBtn_Calc->isEnabled(), Row.Can_Run);
        EXPECT_EQ(Form->Menu_Work_Calc->isEnabled(), Row.Can_Run);
    }
    Form->Panel->Load_From(TCase());
    Form->UpdateState();
    EXPECT_EQ(P.Label_Period->text(), "100 мс");

    // A menu hint does not replace the status line.
    const QString Before = Status_Text(*Form);
    Form->statusBar()->showMessage("hint");
    EXPECT_TRUE(Form->StatusBar->isVisible());
    EXPECT_EQ(Status_Text(*Form), Before);
    Close(*Form);
}

TEST_F(MainWindowTest, DriveSwitchGraysWhileTheDriveIsIncomplete)
{
    auto Form = Start();
    TInput_Panel& P = *Form->Panel;
    TForm_Calc& Dialog = *Form->Form_Calc;
    Dialog.Edit_Scalable_Speed->Set_Value(2);
    Dialog.Edit_Scalable_Length->Set_Value(50);
    Dialog.Edit_Scalable_Walls->Set_Value(0);  // incomplete

    P.CheckBox_Ram->click();
    EXPECT_EQ(P.CheckBox_Ram->checkState(), Qt::PartiallyChecked);
    EXPECT_TRUE(P.Btn_Clr_Ram->isEnabled());
    EXPECT_EQ(P.Btn_Clr_Ram->Color(), QColor(Qt::red));
    EXPECT_EQ(P.Edit_Scalable_Press->Caption(), "Давление");
    EXPECT_TRUE(Status_Text(*Form).endsWith(" при постоянном давлении."));
    EXPECT_FALSE(P.Edit_Num_Steps->isVisible()) << "speed, length and diameter are there";

    P.CheckBox_Ram->click();  // a click on the grayed box switches the drive off
    EXPECT_EQ(P.CheckBox_Ram->checkState(), Qt::Unchecked);
    EXPECT_FALSE(P.Btn_Clr_Ram->isEnabled());
    EXPECT_TRUE(P.Edit_Num_Steps->isVisible());

    Dialog.Edit_Scalable_Walls->Set_Value(0.004);
    P.CheckBox_Ram->click();
    EXPECT_EQ(P.CheckBox_Ram->checkState(), Qt::Checked);
    EXPECT_FALSE(P.Btn_Clr_Ram->Color().isValid()) << "the button's own face";
    EXPECT_EQ(P.Edit_Scalable_Press->Caption(), "Противодавл.");
    EXPECT_TRUE(Status_Text(*Form).endsWith(" под действием гидроудара."));
    Close(*Form);
}

TEST_F(MainWindowTest, HammerDialogCancelPutsEveryValueBack)
{
    auto Form = Start();
    TInput_Panel& P = *Form->Panel;
    P.CheckBox_Ram->click();
    TForm_Calc& Dialog = *Form->Form_Calc;
    TCase Before;
    Dialog.Store_To(Before);
    QtHelpers::When_Modal([&](QWidget*) {
        Dialog.ComboBox_Mat->setCurrentIndex(4);
        emit Dialog.ComboBox_Mat->activated(4);
        Dialog.Edit_Scalable_Speed->Set_Value(7);
        Dialog.ComboBox_Narrow->setCurrentIndex(1);
        Dialog.CheckBox_Trunc->setChecked(true);
        Dialog.BitBtn_Cancel->click();
    });
    Form->Btn_Clr_RamClick();
    TCase After;
    Dialog.Store_To(After);
    EXPECT_EQ(After, Before);

    QtHelpers::When_Modal([&](QWidget*) {
        Dialog.Edit_Scalable_Speed->Set_Value(3);
        Dialog.BitBtn_OK->click();
    });
    Form->Btn_Clr_RamClick();
    EXPECT_DOUBLE_EQ(Dialog.Edit_Scalable_Speed->Value(), 3);
    Close(*Form);
}

TEST_F(MainWindowTest, DoubleClickOnTheStatusLineEditsGravity)
{
    auto Form = Start();
    QtHelpers::When_Modal([](QWidget* W) {
        auto* E = W->findChild<TEdit_Scalable*>("Edit_Scalable_Gravity");
        ASSERT_NE(E, nullptr);
        E->Set_Value(1.62);
        static_cast<QDialog*>(W)->accept();
    });
    QTest::mouseDClick(Form->StatusBar, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(Gravity, 1.62);
    Close(*Form);
}

// -- Runs, chart and readout --------------------------------------------------

namespace {

// Pixels of each series colour in the chart area.
std::map<std::string, int> Series_Pixels(TForm_Main& Form)
{
    const QImage Image = QtHelpers::Grab(Form.PaintBox);
    std::map<std::string, int> N;
    const std::pair<const char*, QColor> Colours[] = {{"fill", QColor(0, 0, 255)},
                                                      {"speed", QColor(255, 0, 0)},
                                                      {"accel", QColor(192, 192, 0)},
                                                      {"losses", QColor(0, 128, 128)},
                                                      {"Re", QColor(128, 128, 128)}};
    for (const auto& [Name, Colour] : Colours)
        N[Name] =
            QtHelpers::Count_Pixels(Image, Image.rect(), [&](QColor C) { return C == Colour; });
    return N;
}

}  // namespace

TEST_F(MainWindowTest, ConstantPressureRunDrawsTheSeriesAndReadsValuesUnderTheMouse)
{
    DataFileName = Example("constant-pressure");
    auto Form = Start();
    Form->resize(900, 600);
    Form->BitBtn_CalcClick();
    ASSERT_EQ(ZoDialog::Take_Answered(), QStringList());
    TCalc& Calc = Form->Calc();
    ASSERT_GT(Calc.Count, 1);
    EXPECT_TRUE(Form->Panel->BitBtn_Report->isEnabled());
    EXPECT_TRUE(Form->Menu_Work_Report->isEnabled());
    EXPECT_TRUE(Form->Panel->BitBtn_Cancel->isEnabled());
    // The Reynolds number lies under the others (it is drawn first).
    for (const auto& [Name, N] : Series_Pixels(*Form)) {
        if (Name != "Re") {
            EXPECT_GT(N, 20) << Name;
        }
    }
    // A repaint copies the kept image; a new size draws anew.
    const int Drawn = Form->PaintBox->Draw_Count();
    Form->PaintBox->repaint();
    Form->repaint();
    EXPECT_EQ(Form->PaintBox->Draw_Count(), Drawn);
    Form->resize(Form->width() + 10, Form->height());
    QtHelpers::Wait(10);
    Form->PaintBox->repaint();
    EXPECT_EQ(Form->PaintBox->Draw_Count(), Drawn + 1);

    // Clicking the chart shows the legend; at the left edge it reads the
    // first record at time 0.
    QTest::mouseClick(Form->PaintBox, Qt::LeftButton);
    ASSERT_TRUE(Form->Form_Legend->isVisible());
    Form->PaintBoxMouseMove(0);
    EXPECT_EQ(Form->Form_Legend->Label_Time->text(), "Время: 0.0 с.");
    EXPECT_TRUE(Form->Form_Legend->Label_Speed->text().startsWith("Скорость: "));
    // Between two records the readout interpolates: a pixel whose time lies
    // between records differs from both neighbours' texts unless equal.
    const int W = Form->PaintBox->width();
    Form->PaintBoxMouseMove(W / 2);
    EXPECT_TRUE(Form->Form_Legend->Label_Re->text().startsWith("Re = "));
    EXPECT_TRUE(Form->Form_Legend->Label_Re->text().endsWith(" режим)."));
    QtHelpers::Wait(20);  // pending layouts settle, as they do before a person sees them
    EXPECT_TRUE(QtHelpers::Grab(Form.get()).save(Screenshot("main-constant-pressure.png")));
    EXPECT_TRUE(QtHelpers::Grab(Form->Form_Legend).save(Screenshot("legend-readout.png")));
    Close(*Form);
}

TEST_F(MainWindowTest, RepeatedHammerRunReadsStages)
{
    DataFileName = Example("repeated-hammer");
    auto Form = Start();
    Form->resize(900, 600);
    Form->BitBtn_CalcClick();
    ZoDialog::Take_Answered();
    TCalc& Calc = Form->Calc();
    ASSERT_GT(Calc.StageCount, 1);
    Form->PaintBoxClick();
    Form->PaintBoxMouseMove(0);
    EXPECT_EQ(Form->Form_Legend->Label_Time->text(), "Начало этапа: 0.0 с.");
    EXPECT_TRUE(Form->Form_Legend->Label_Accel->text().startsWith("Начальная скорость удара: "));
    Form->PaintBoxMouseMove(Form->PaintBox->width() * 10);  // beyond the last stage
    EXPECT_TRUE(Form->Form_Legend->Label_Time->text().startsWith("Начало этапа: "));
    EXPECT_NE(Form->Form_Legend->Label_Time->text(), "Начало этапа: 0.0 с.");
    for (const auto& [Name, N] : Series_Pixels(*Form)) {
        if (Name != "Re") {
            EXPECT_GT(N, 0) << Name;
        }
    }
    QtHelpers::Wait(20);
    EXPECT_TRUE(QtHelpers::Grab(Form.get()).save(Screenshot("main-repeated-hammer.png")));
    Close(*Form);
}

TEST_F(MainWindowTest, SingleHammerReadoutStaysWithinTheRecords)
{
    DataFileName = Example("single-hammer");
    auto Form = Start();
    Form->BitBtn_CalcClick();
    ZoDialog::Take_Answered();
    TCalc& Calc = Form->Calc();
    ASSERT_GT(Calc.Count, 1);
    ASSERT_LE(Calc.StageCount, 1);
    Form->PaintBoxMouseMove(Form->PaintBox->width() - 1);
    const QString Speed = Form->Form_Legend->Label_Speed->text();
    EXPECT_TRUE(Speed.startsWith("Скорость: ")) << Speed.toStdString();
    EXPECT_FALSE(Speed.contains('-')) << "the column never ran backwards: " << Speed.toStdString();
    Close(*Form);
}

// -- Files ---------------------------------------------------------------------

TEST_F(MainWindowTest, OpenDropsTheResultsAndLoadsTheCase)
{
    auto Form = Start();
    Form->BitBtn_CalcClick();
    ASSERT_GT(Form->Calc().Count, 0);
    const std::string Case = Example("repeated-hammer");
    FileChoice::Answer_Next(QString::fromStdString(Case));
    Form->Menu_File_OpenClick();
    EXPECT_EQ(DataFileName, Case);
    EXPECT_EQ(Form->Calc().Count, 0);
    EXPECT_EQ(Form->Calc().StageCount, 0);
    EXPECT_FALSE(Form->Panel->BitBtn_Report->isEnabled());
    EXPECT_EQ(Form->Panel->CheckBox_Ram->checkState(), Qt::Checked);
    EXPECT_TRUE(Form->Form_Calc->CheckBox_Trunc->isChecked());
    const QImage Chart = QtHelpers::Grab(Form->PaintBox);
    EXPECT_EQ(Series_Pixels(*Form)["fill"], 0) << "the empty chart";
    (void)Chart;

    FileChoice::Answer_Next(QString());  // cancelled: nothing changes
    Form->Menu_File_OpenClick();
    EXPECT_EQ(DataFileName, Case);
    Close(*Form);
}

TEST_F(MainWindowTest, CloseAnsweredNoWritesNothingAndYesWritesBothFiles)
{
    auto Form = Start();
    ZoDialog::Answer_Next(7);
    Form->close();
    EXPECT_EQ(ZoDialog::Take_Answered(), QStringList{"Окончить работу с программой?"});
    EXPECT_TRUE(Form->isVisible());
    EXPECT_FALSE(fs::exists(IniFileName));
    EXPECT_FALSE(fs::exists(DataFileName));

    Form->Panel->Edit_Scalable_Slope->Set_Value(-5);
    Form->Panel->ComboBox_Liq->setCurrentIndex(3);
    const TCase Shown = Form->Current_Case();
    Close(*Form);
    EXPECT_FALSE(Form->isVisible());
    TProfile Params(DataFileName);
    TCase Read;
    LoadCase(Params, Read);
    EXPECT_EQ(Read, Shown);
    EXPECT_EQ(Params.ReadString("Data", "Slope", ""), "-5.00000000000000E+0000");
    TProfile Settings(IniFileName);
    EXPECT_EQ(Settings.ReadString("Data", "FileName", ""), DataFileName);
    EXPECT_NE(Settings.ReadString("Window", "Width", ""), "");
}

TEST_F(MainWindowTest, ExitSaveAsksBeforeWritingIntoAFileThatIsNoCase)
{
    const std::string Notes = Dir.File("notes.txt");
    WriteText(Notes, "Мои заметки о трубе\n");
    WriteText(IniFileName, "[Data]\nFileName=" + Notes + "\n");
    auto Form = Start();
    ZoDialog::Answer_Next(6);  // close: yes
    ZoDialog::Answer_Next(7);  // write into the notes: no
    Form->close();
    const QStringList Asked = ZoDialog::Take_Answered();
    ASSERT_EQ(Asked.size(), 2);
    EXPECT_TRUE(Asked[1].contains("не похож на файл параметров")) << Asked[1].toStdString();
    EXPECT_EQ(ReadText(Notes), "Мои заметки о трубе\n");
    EXPECT_TRUE(fs::exists(IniFileName)) << "the settings are written all the same";
}

TEST_F(MainWindowTest, WrittenCasesGiveTheSameReportAsTheExamples)
{
    for (const char* Name : {"constant-pressure", "single-hammer", "repeated-hammer"}) {
        SCOPED_TRACE(Name);
        const std::string Original = Examples + "/" + Name + ".Hyd";
        fs::remove(IniFileName);  // it would name the last file
        DataFileName = Example(Name);
        auto Form = Start();
        DataFileName = Dir.File(std::string(Name) + ".Hyd");
        Form->SaveParams();
        const std::string Written = DataFileName;
        DataFileName = Dir.File("Data.Hyd");
        Close(*Form);

        const auto Report = [&](const std::string& Case, const std::string& Out) {
            std::ostringstream Std, Err;
            EXPECT_EQ(RunBatch({Case, "--report", Out}, Std, Err), 0) << Err.str();
            return ReadText(Out);
        };
        const std::string A = Report(Original, Dir.File("a.txt"));
        const std::string B = Report(Written, Dir.File("b.txt"));
        EXPECT_FALSE(A.empty());
        EXPECT_TRUE(A == B) << "the reports differ; see " << Dir.File("a.txt");
        if (A != B) {
            WriteText(std::string(HYD_SCREENSHOT_DIR) + "/" + Name + "-example.txt", A);
            WriteText(std::string(HYD_SCREENSHOT_DIR) + "/" + Name + "-written.txt", B);
            WriteText(std::string(HYD_SCREENSHOT_DIR) + "/" + Name + "-written.Hyd",
                      ReadText(Written));
        }
    }
}

// -- Busy --------------------------------------------------------------------

TEST_F(MainWindowTest, EveryCommandIsRefusedWhileARunWorks)
{
    auto Form = Start();
    TInput_Panel& P = *Form->Panel;
    P.Edit_Num_Steps->Set_Value(1000000);
    P.Edit_Scalable_Time->Set_Value(1e-5);
    Form->UpdateState();
    const TCase Before = Form->Current_Case();
    const std::string File_Before = DataFileName;

    bool Tried = false;
    auto Connection = QObject::connect(
        &TJob_State::Instance(), &TJob_State::Running_Changed, Form.get(), [&](bool Running) {
            if (!Running || Tried)
                return;
            QTimer::singleShot(0, Form.get(), [&] {
                Tried = true;
                EXPECT_GT(Job_Running(), 0) << "the attempt came after the run";
                FileChoice::Answer_Next(QString::fromStdString(Examples + "/single-hammer.Hyd"));
                Form->Menu_File_OpenClick();
                Form->Menu_File_SaveClick();
                Form->Menu_File_Save_AsClick();
                Form->BitBtn_CalcClick();
                Form->BitBtn_ReportClick();
                Form->CheckBox_RamClick();
                Form->Btn_Clr_RamClick();
                Form->ComboBox_LiqChange(3);
                Form->ComboBox_MatChange(4);
                Form->StatusBarDblClick();
                Form->BitBtn_CancelClick();
                Form->close();
                EXPECT_TRUE(Form->isVisible());
                // A click of the user does not reach the window: the chart
                // clicked would show the legend.
                EXPECT_FALSE(Form->Form_Legend->isVisible());
                QTest::mouseClick(
                    Form->windowHandle(), Qt::LeftButton, {},
                    Form->PaintBox->mapTo(Form.get(), Form->PaintBox->rect().center()));
                EXPECT_FALSE(Form->Form_Legend->isVisible());
                // The answer was not taken: take it back.
                EXPECT_EQ(FileChoice::Pending_Answers(), 1);
                (void)Choose_Open_File(nullptr, {}, {}, {});
            });
        });
    Form->BitBtn_CalcClick();
    QObject::disconnect(Connection);
    EXPECT_TRUE(Tried) << "the run gave no chance to try";
    EXPECT_EQ(ZoDialog::Take_Answered(), QStringList());
    EXPECT_EQ(Form->Current_Case(), Before);
    EXPECT_EQ(DataFileName, File_Before);
    EXPECT_FALSE(fs::exists(DataFileName)) << "nothing saved";
    EXPECT_EQ(Form->Calc().Count, 1000000);
    EXPECT_TRUE(P.BitBtn_Calc->isEnabled());
    Close(*Form);
}
