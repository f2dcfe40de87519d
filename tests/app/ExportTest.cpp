// The window's exports: the step and stage tables are the files hyd-calc
// writes for the same case, the chart pictures carry the series colours, and
// the legend's lines reach the clipboard.

#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QStandardPaths>
#include <sstream>

#include "../QtHelpers.h"
#include "../TestFiles.h"
#include "app/ChartView.h"
#include "app/LegendWindow.h"
#include "app/MainWindow.h"
#include "batch/BatchTool.h"
#include "case/Workplace.h"
#include "dialogs/FileChoice.h"
#include "dialogs/MessageDialog.h"
#include "dialogs/QtUserLink.h"
#include "dialogs/WindowPlace.h"
#include "engine/Calc.h"
#include "engine/RunGlobals.h"

namespace {

class ExportTest : public testing::Test {
protected:
    void SetUp() override
    {
        QStandardPaths::setTestModeEnabled(true);
        IniFileName = Dir.File("Hyd.ini");
        PercentLeft = PercentTop = NotSet;
        Gravity = 9.81;
    }
    // The window after a run of the example Name (a copy in the temporary folder).
    std::unique_ptr<TForm_Main> Run(const std::string& Name)
    {
        DataFileName = Dir.File(Name + ".Hyd");
        WriteText(DataFileName, ReadText(std::string(HYD_EXAMPLES_DIR) + "/" + Name + ".Hyd"));
        auto Form = std::make_unique<TForm_Main>();
        Form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        Form->resize(700, 560);
        Form->BitBtn_CalcClick();
        ZoDialog::Take_Answered();
        return Form;
    }
    void Close(TForm_Main& Form)
    {
        ZoDialog::Answer_Next(6);
        Form.close();
        ZoDialog::Take_Answered();
    }
    // What hyd-calc writes for the case with Option.
    std::string Batch(const std::string& Option)
    {
        const std::string Out = Dir.File("batch.out");
        std::ostringstream Std, Err;
        EXPECT_EQ(RunBatch({DataFileName, Option, Out}, Std, Err), 0) << Err.str();
        return ReadText(Out);
    }
    TTempDir Dir;
};

int Pixels_Of(const QImage& Image, QColor Colour)
{
    return QtHelpers::Count_Pixels(Image, Image.rect(), [&](QColor C) { return C == Colour; });
}

}  // namespace

TEST_F(ExportTest, TablesAreTheFilesOfTheBatchCalculator)
{
    for (const char* Name : {"constant-pressure", "repeated-hammer"}) {
        SCOPED_TRACE(Name);
        auto Form = Run(Name);
        ASSERT_GT(Form->Calc().Count, 0);
        const QString Steps = QString::fromStdString(Dir.File("steps.csv"));
        FileChoice::Answer_Next(Steps);
        Form->Menu_Work_Save_StepsClick();
        EXPECT_TRUE(ReadText(Steps.toStdString()) == Batch("--csv")) << "steps differ";
        if (Form->Menu_Work_Save_Stages->isEnabled()) {
            const QString Stages = QString::fromStdString(Dir.File("stages.csv"));
            FileChoice::Answer_Next(Stages);
            Form->Menu_Work_Save_StagesClick();
            EXPECT_EQ(ReadText(Stages.toStdString()), Batch("--stages-csv"));
        }
        EXPECT_EQ(ZoDialog::Take_Answered(), QStringList());
        Close(*Form);
    }
}

TEST_F(ExportTest, ChartPicturesCarryTheSeriesAtTheWindowsSize)
{
    auto Form = Run("constant-pressure");
    const QString Png = QString::fromStdString(Dir.File("chart.png"));
    FileChoice::Answer_Next(Png);
    Form->Menu_Work_Save_PngClick();
    const QImage Image(Png);
    ASSERT_FALSE(Image.isNull());
    EXPECT_EQ(Image.size(), Form->PaintBox->size() * Form->PaintBox->devicePixelRatioF());
    for (QColor C :
         {QColor(0, 0, 255), QColor(255, 0, 0), QColor(192, 192, 0), QColor(0, 128, 128)})
        EXPECT_GT(Pixels_Of(Image, C), 20) << C.name().toStdString();
    // The picture is the window's own chart.
    QImage Shown = Form->PaintBox->ChartBitmap().toImage().convertToFormat(QImage::Format_RGB32);
    Shown.setDevicePixelRatio(1);
    EXPECT_TRUE(Image.convertToFormat(QImage::Format_RGB32) == Shown);

    const QString Svg = QString::fromStdString(Dir.File("chart.svg"));
    FileChoice::Answer_Next(Svg);
    Form->Menu_Work_Save_SvgClick();
    const std::string Text = ReadText(Svg.toStdString());
    EXPECT_NE(Text.find("<svg"), std::string::npos);
    for (const char* Colour : {"#0000ff", "#ff0000", "#c0c000", "#008080"})
        EXPECT_NE(Text.find(Colour), std::string::npos) << Colour;
    const QSize Size = Form->PaintBox->size();
    EXPECT_NE(Text.find("width=\"" + std::to_string(Size.width()) + "\""), std::string::npos);

    // A file that cannot be written: the message names it, nothing else.
    const QString Bad = QString::fromStdString(Dir.File("no-such-folder/chart.png"));
    FileChoice::Answer_Next(Bad);
    ZoDialog::Answer_Next(1);
    Form->Menu_Work_Save_PngClick();
    const QStringList Said = ZoDialog::Take_Answered();
    ASSERT_EQ(Said.size(), 1);
    EXPECT_TRUE(Said[0].startsWith("Ошибка записи файла «" + Bad + "»")) << Said[0].toStdString();
    Close(*Form);
}

TEST_F(ExportTest, LegendLinesGoToTheClipboardAndNothingExportsWithoutResults)
{
    DataFileName = Dir.File("Data.Hyd");
    auto Form = std::make_unique<TForm_Main>();
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    EXPECT_FALSE(Form->Menu_Work_Save_Png->isEnabled()) << "no run yet";
    EXPECT_FALSE(Form->Menu_Work_Save_Steps->isEnabled());
    Form->Menu_Work_Copy_LegendClick();
    EXPECT_EQ(QApplication::clipboard()->text(),
              "Цвета линий:\nзаполнение\nскорость\nускорение\nпотери\nчисло Рейнольдса\n");
    Form->BitBtn_CalcClick();
    Form->PaintBoxMouseMove(10);
    Form->Menu_Work_Copy_LegendClick();
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith("Время: "));
    EXPECT_TRUE(Form->Menu_Work_Save_Png->isEnabled());
    EXPECT_TRUE(Form->PaintBox->actions().contains(Form->Menu_Work_Save_Svg)) << "context menu";
    Close(*Form);
}
