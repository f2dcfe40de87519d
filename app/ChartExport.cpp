#include "app/ChartExport.h"

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <stdexcept>

#include "app/LegendWindow.h"
#include "app/QtCanvas.h"
#include "engine/Calc.h"
#include "results/Canvas.h"
#include "results/Csv.h"
#include "results/SvgCanvas.h"
#include "text/AtomicWrite.h"

namespace {

void Write(const QString& File, std::string_view Content)
{
    WriteFileAtomically(File.toStdString(), Content);
}

}  // namespace

void Save_Chart_Png(const TCalc& Calc, QSize Pixels, const QString& File)
{
    QImage Image(Pixels.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    if (Image.isNull())
        throw std::runtime_error("недостаточно памяти для изображения");
    Image.fill(ToQColor(BackColor));
    {
        QPainter Painter(&Image);
        TQtCanvas Canvas(Painter);
        Calc.DrawChart(Canvas, TRect{0, 0, Image.width(), Image.height()});
    }
    QByteArray Png;
    QBuffer Buffer(&Png);
    Buffer.open(QIODevice::WriteOnly);
    if (!Image.save(&Buffer, "PNG"))
        throw std::runtime_error("изображение не записывается в формате PNG");
    Write(File, std::string_view(Png.constData(), static_cast<std::size_t>(Png.size())));
}

void Save_Chart_Svg(const TCalc& Calc, QSize Pixels, const QString& File)
{
    const QSize Size =
        Pixels.expandedTo(QSize(SvgMinSize, SvgMinSize)).boundedTo(QSize(SvgMaxSize, SvgMaxSize));
    Write(File, ChartSvg(Calc, Size.width(), Size.height()));
}

void Save_Steps_Csv(const TCalc& Calc, const QString& File)
{
    Write(File, RecordsCsv(Calc));
}

void Save_Stages_Csv(const TCalc& Calc, const QString& File)
{
    Write(File, StagesCsv(Calc));
}

QString Legend_Text(const TForm_Legend& Legend)
{
    QString Text;
    for (const QLabel* Line : {Legend.Label_Time, Legend.Label_Fill, Legend.Label_Speed,
                               Legend.Label_Accel, Legend.Label_Loss, Legend.Label_Re})
        Text += Line->text() + QLatin1Char('\n');
    return Text;
}
