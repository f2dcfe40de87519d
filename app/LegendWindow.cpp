#include "app/LegendWindow.h"

#include "app/QtCanvas.h"
#include "results/Canvas.h"

#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {
// Room around and between the lines.
constexpr int Margin = 4;
constexpr int Spacing = 3;
}  // namespace

TForm_Legend::TForm_Legend(QWidget* Parent) : QWidget(Parent, Qt::Tool)
{
    setObjectName(QStringLiteral("Form_Legend"));
    setWindowTitle(QStringLiteral("Значения на графике"));
    // Closing the window only hides it; it never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(Margin, Margin, Margin, Margin);
    Layout->setSpacing(Spacing);
    const std::array<std::pair<QLabel**, const char*>, 6> Lines = {{
        {&Label_Time, "Label_Time"},
        {&Label_Fill, "Label_Fill"},
        {&Label_Speed, "Label_Speed"},
        {&Label_Accel, "Label_Accel"},
        {&Label_Loss, "Label_Loss"},
        {&Label_Re, "Label_Re"},
    }};
    for (const auto& [Field, Name] : Lines) {
        auto* Label = new QLabel(this);
        Label->setObjectName(QString::fromLatin1(Name));
        Label->setTextFormat(Qt::PlainText);
        // A long line never narrows the window's range: the window grows to
        // fit it (Show_Lines), and the user may make it narrower again.
        Label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        Layout->addWidget(Label);
        *Field = Label;
    }
    Layout->addStretch(1);
    resize(300, 146);
    ShowColorKey(false);
}

void TForm_Legend::ShowValues(const TLegendValues& Values)
{
    Show_Lines(LegendLines(Values));
}

void TForm_Legend::ShowColorKey(bool StageMode)
{
    Show_Lines(LegendKeyLines(StageMode));
}

// Runs on every mouse move over the chart: a line whose text stays the same
// is not touched, so that an unchanged legend costs no layout and no paint.
void TForm_Legend::Show_Lines(const TLegendLines& Lines)
{
    const std::array<QLabel*, 6> Labels = {Label_Time,  Label_Fill, Label_Speed,
                                           Label_Accel, Label_Loss, Label_Re};
    int Widest = 0;
    bool Changed = false;
    for (std::size_t i = 0; i < Labels.size(); ++i) {
        const QString Text = QString::fromStdString(Lines[i]);
        if (Labels[i]->text() != Text) {
            Labels[i]->setText(Text);
            Changed = true;
        }
        Widest = std::max(Widest, Labels[i]->sizeHint().width());
    }
    if (!Changed)
        return;
    const int Needed = Widest + 2 * Margin;
    if (Needed > width())
        resize(Needed, height());
}

void TForm_Legend::ApplyColours()
{
    QPalette Back = palette();
    Back.setColor(QPalette::Window, ToQColor(BackColor));
    setPalette(Back);
    setAutoFillBackground(true);
    const std::array<std::pair<QLabel*, TColor>, 6> Lines = {{
        {Label_Time, TextColor},
        {Label_Fill, FillColor},
        {Label_Speed, SpeedColor},
        {Label_Accel, AccelColor},
        {Label_Loss, LossColor},
        {Label_Re, ReColor},
    }};
    for (const auto& [Label, Color] : Lines) {
        QPalette P = Label->palette();
        P.setColor(QPalette::WindowText, ToQColor(Color));
        Label->setPalette(P);
    }
}
