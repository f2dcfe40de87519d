#pragma once
// What the legend window shows: the six lines in the series colours, either
// the colour key or the values under the mouse on the chart (the value
// readout). Computed here without a window, so that the desktop program only
// copies the texts into its labels.

#include <array>
#include <string>

class TCalc;

// The seven values a legend shows. Step mode: time, pipe length, fill, speed,
// acceleration, losses, Reynolds number. Stage mode: StartTime, pipe length,
// Pumped, PipeSpeed, StartSpeed, PumpTime, Pause of one stage. NoValue marks a
// value that is absent; its line shows the key text.
struct TLegendValues {
    bool StageMode = false;
    std::array<double, 7> V{};
};

// The six lines in the order of the legend's labels: time, fill, speed,
// acceleration, losses, Reynolds number (in stage mode the stage's lines in
// the same places).
using TLegendLines = std::array<std::string, 6>;

// The lines for Values (ShowValues).
TLegendLines LegendLines(const TLegendValues& Values);
// Every line its key text (ShowColorKey).
TLegendLines LegendKeyLines(bool StageMode);
// The flow regime of a Reynolds number: "ламинарный" up to and including 2300,
// "переходный" below 4000, "турбулентный" from 4000 on.
const char* FlowRegime(double Re);

// The values under the mouse at X of a chart area Width pixels wide: the stage
// under the mouse when Calc holds more than one stage (the stages spread
// evenly over the width, the nearest one, a tie to the even one, the last one
// beyond the right edge), else the step values at the cursor time
// Count * X / Width * RecordStep, interpolated linearly between the records
// at or before and after it when the records are sparser than pixels, else
// the nearest record after it. All values NoValue (the colour key) when Width
// is not above 0, there are no records (or no step they were made with) or
// the stage list is empty. Takes the same short time for any number of
// records: it runs on every mouse movement.
TLegendValues ReadoutAt(const TCalc& Calc, int X, int Width);
