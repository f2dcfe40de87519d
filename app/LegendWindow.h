#pragma once
// TForm_Legend: the small tool window beside the main window. Its six lines,
// each in the colour of a chart series, tell which colour stands for which
// quantity, or, while the mouse moves over the chart, show the values under
// the mouse. The texts come from results/Legend.h.

#include "results/Legend.h"

#include <QWidget>

class QLabel;

class TForm_Legend : public QWidget {
    Q_OBJECT
public:
    explicit TForm_Legend(QWidget* Parent = nullptr);

    // The lines for Values: a value that is absent shows its key text.
    void ShowValues(const TLegendValues& Values);
    // Every line its key text.
    void ShowColorKey(bool StageMode);
    // The chart's colours: the background and one colour per line.
    void ApplyColours();

    // The lines, top to bottom.
    QLabel* Label_Time = nullptr;
    QLabel* Label_Fill = nullptr;
    QLabel* Label_Speed = nullptr;
    QLabel* Label_Accel = nullptr;
    QLabel* Label_Loss = nullptr;
    QLabel* Label_Re = nullptr;

private:
    void Show_Lines(const TLegendLines& Lines);
};
