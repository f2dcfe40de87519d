// The main window's exports: the chart as a picture, the step and stage tables
// as CSV files, the legend's lines to the clipboard.

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>

#include "app/ChartExport.h"
#include "app/ChartView.h"
#include "app/LegendWindow.h"
#include "app/MainWindow.h"
#include "case/Workplace.h"
#include "dialogs/FileChoice.h"
#include "dialogs/MessageDialog.h"
#include "engine/Calc.h"

void TForm_Main::Export(const QString& Title, const QString& Filter, const QString& Suffix,
                        const std::function<void(const QString&)>& Write)
{
    if (Refuse_While_Busy())
        return;
    if (!FCalc->Records || FCalc->Count <= 0)
        return;
    const QFileInfo Case(QString::fromStdString(DataFileName));
    const QString Initial = Case.dir().filePath(Case.completeBaseName() + Suffix);
    const QString Name = Choose_Save_File(this, Title, Filter, Initial);
    if (Name.isEmpty())
        return;
    try {
        Write(Name);
    } catch (const std::exception& E) {
        Dialog_Error(QStringLiteral("Ошибка записи файла «") + Name + QStringLiteral("»: ") +
                     QString::fromUtf8(E.what()));
    }
}

namespace {

// The chart area's size in device pixels: the picture the window shows.
QSize Chart_Pixels(const TChart_View& View)
{
    return (QSizeF(View.size()) * View.devicePixelRatioF()).toSize();
}

}  // namespace

void TForm_Main::Menu_Work_Save_PngClick()
{
    Export(QStringLiteral("Сохранить график в файл PNG"),
           QStringLiteral("*.png — изображения PNG|*.png|*.* — все файлы|*.*"),
           QStringLiteral(".png"),
           [this](const QString& Name) { Save_Chart_Png(*FCalc, Chart_Pixels(*PaintBox), Name); });
}

void TForm_Main::Menu_Work_Save_SvgClick()
{
    Export(QStringLiteral("Сохранить график в файл SVG"),
           QStringLiteral("*.svg — изображения SVG|*.svg|*.* — все файлы|*.*"),
           QStringLiteral(".svg"),
           [this](const QString& Name) { Save_Chart_Svg(*FCalc, Chart_Pixels(*PaintBox), Name); });
}

void TForm_Main::Menu_Work_Save_StepsClick()
{
    Export(QStringLiteral("Сохранить шаги расчёта в файл CSV"),
           QStringLiteral("*.csv — таблицы CSV|*.csv|*.* — все файлы|*.*"),
           QStringLiteral("-steps.csv"),
           [this](const QString& Name) { Save_Steps_Csv(*FCalc, Name); });
}

void TForm_Main::Menu_Work_Save_StagesClick()
{
    Export(QStringLiteral("Сохранить этапы гидроудара в файл CSV"),
           QStringLiteral("*.csv — таблицы CSV|*.csv|*.* — все файлы|*.*"),
           QStringLiteral("-stages.csv"),
           [this](const QString& Name) { Save_Stages_Csv(*FCalc, Name); });
}

void TForm_Main::Menu_Work_Copy_LegendClick()
{
    if (Refuse_While_Busy() || !Form_Legend)
        return;
    QApplication::clipboard()->setText(Legend_Text(*Form_Legend));
}
