#pragma once
// What the window shows, written out: the chart as a PNG or SVG picture at a
// given size, the step and stage tables as the CSV files hyd-calc writes, and
// the legend's lines as text. Files are replaced whole (a failed write leaves
// the old file); a failure throws std::exception with the reason.

#include <QSize>
#include <QString>

class TCalc;
class TForm_Legend;

// The chart drawn as the window draws it, one chart column a pixel.
void Save_Chart_Png(const TCalc& Calc, QSize Pixels, const QString& File);
void Save_Chart_Svg(const TCalc& Calc, QSize Pixels, const QString& File);
// The records and the stages, as `hyd-calc --csv` and `--stages-csv` write them.
void Save_Steps_Csv(const TCalc& Calc, const QString& File);
void Save_Stages_Csv(const TCalc& Calc, const QString& File);
// The legend's six lines, one a line.
QString Legend_Text(const TForm_Legend& Legend);
