// The legend's texts and the value readout under the mouse.

#include "results/Legend.h"

#include <cmath>
#include <cstdint>
#include <iterator>
#include <utility>

#include "engine/Calc.h"
#include "engine/Tables.h"
#include "text/NumberText.h"

namespace {

const std::string Blank = " ";

std::string V(double X)
{
    return FormatWithPrefix(ValueDigits, Blank, X, 0);
}
std::string V4(double X)
{
    return FormatWithPrefix(ValueDigits + 1, Blank, X, 0);
}

// The fill part of the fill line: a fill beyond a pipe of finite length
// reads as the length and how far the column would have advanced.
std::string FillText(double Length, double Fill)
{
    if (Length > 0 && Length < Fill)
        return V(Length) + "м, продвижение " + V(Fill);
    return V(Fill);
}

// Index of the values in TLegendValues::V.
enum : std::size_t { TimeAt, LengthAt, FillAt, SpeedAt, AccelAt, LossAt, ReAt };

struct TLineTexts {
    const char* Key;
    const char* Label;
    const char* Unit;
};

// Each line's key text, and the label and unit around its value. The value
// of the time line has one digit more; the fill line, the Reynolds number of
// the step mode and the pipe speed of the stage mode have their own rules.
constexpr TLineTexts StepKeys[] = {
    {"Цвета линий:", "Время: ", "с."},  {"заполнение", "Заполнение: ", "м."},
    {"скорость", "Скорость: ", "м/с."}, {"ускорение", "Ускорение: ", "м/с2."},
    {"потери", "Потери: ", "Па."},      {"число Рейнольдса", "Re = ", ""},
};
constexpr TLineTexts StageKeys[] = {
    {"Цвета линий:", "Начало этапа: ", "с."},
    {"заполнение закачки", "Заполнение: ", "м."},
    {"начальная скорость закачки", "Начальная скорость закачки: ", "м/с"},
    {"начальная скорость удара", "Начальная скорость удара: ", "м/с."},
    {"длительность нагнетения", "Длительность закачки: ", "с."},
    {"длительность паузы", "Длительность паузы: ", "с."},
};

TLegendValues KeyValues(bool StageMode)
{
    TLegendValues Values;
    Values.StageMode = StageMode;
    Values.V.fill(NoValue);
    return Values;
}

}  // namespace

const char* FlowRegime(double Re)
{
    if (Re <= 2300)
        return "ламинарный";
    if (Re < 4000)
        return "переходный";
    return "турбулентный";
}

TLegendLines LegendLines(const TLegendValues& Values)
{
    const auto& Keys = Values.StageMode ? StageKeys : StepKeys;
    const auto& X = Values.V;
    TLegendLines Lines;
    // The value each line shows; the pipe length only qualifies the fill.
    constexpr std::size_t ValueOf[] = {TimeAt, FillAt, SpeedAt, AccelAt, LossAt, ReAt};
    for (std::size_t I = 0; I < Lines.size(); ++I) {
        const double Value = X[ValueOf[I]];
        if (!IsValue(Value)) {
            Lines[I] = Keys[I].Key;
            continue;
        }
        std::string Text = Keys[I].Label;
        if (I == 0)
            Text += V4(Value);
        else if (I == 1)
            Text += FillText(X[LengthAt], Value);
        else if (I == 5 && !Values.StageMode)
            Text += FloatToFixed(0, Value) + " (" + FlowRegime(Value) + " режим).";
        else
            Text += V(Value);
        Text += Keys[I].Unit;
        if (I == 2 && Values.StageMode) {
            // A later portion that starts at rest does not catch up with the
            // column pumped before it.
            if (Value == 0 && X[TimeAt] > 0)
                Text += " (не догонит раннюю порцию)";
            Text += ".";
        }
        Lines[I] = std::move(Text);
    }
    return Lines;
}

TLegendLines LegendKeyLines(bool StageMode)
{
    return LegendLines(KeyValues(StageMode));
}

TLegendValues ReadoutAt(const TCalc& Calc, int X, int Width)
{
    if (Width <= 0)
        return KeyValues(false);

    if (Calc.StageCount > 1) {
        // The stage nearest to the mouse, the stages spread evenly over the
        // width; a tie goes to the even one. Computed as one division of
        // exact products so that the middle between two stages is a tie.
        int64_t I = RoundToInt64(static_cast<double>(X) * (Calc.StageCount - 1) / Width);
        const TCalcStage* Node = Calc.Stages;
        while (Node && Node->Next && I > 0) {
            Node = Node->Next;
            --I;
        }
        if (!Node)
            return KeyValues(true);
        TLegendValues Values;
        Values.StageMode = true;
        Values.V = {Node->StartTime,  Calc.Length,    Node->Pumped, Node->PipeSpeed,
                    Node->StartSpeed, Node->PumpTime, Node->Pause};
        return Values;
    }

    const int32_t N = Calc.Count;
    const double Step = Calc.RecordStep;
    // Records without a usable step cannot be placed in time.
    if (N <= 0 || !Calc.Records || N > Calc.Capacity || !(Step > 0) || !std::isfinite(Step))
        return KeyValues(false);

    // The time under the mouse, and the record nearest to it; a mouse left of
    // the chart (while a button holds it) reads at record 0.
    const double T = static_cast<double>(N) * X / Width * Step;
    int64_t K = RoundToInt64(T / Step);
    if (K >= N)
        K = N - 1;
    if (K < 0)
        K = 0;
    // Record K ends step K + 1, so it lies after T but for the last one. When
    // the records are sparser than pixels, T is read between the record at or
    // before it (E) and the next one (L). Rounding T / Step up may have passed
    // over one record: the pair is then one further back, and never two
    // records after T, whose line would run beyond both values. Before the
    // first record there is none at or before T: the first one's values.
    // Records denser than pixels show record K itself.
    const TCalcStep* const Records = Calc.Records;
    const TCalcStep* E = &Records[K];
    const TCalcStep* L = nullptr;
    if (E->Time > T) {
        if (K > 0 && N < Width) {
            int64_t J = K - 1;
            if (J > 0 && Records[J].Time > T)
                --J;
            E = &Records[J];
            if (E->Time <= T)
                L = &Records[J + 1];
        }
    } else if (E->Time <= T && K < N - 1) {
        L = &Records[K + 1];
    }

    TLegendValues Values;
    Values.StageMode = false;
    Values.V[TimeAt] = T;
    Values.V[LengthAt] = Calc.Length;
    constexpr double TCalcStep::*Fields[] = {&TCalcStep::Fill, &TCalcStep::Speed, &TCalcStep::Accel,
                                             &TCalcStep::Losses, &TCalcStep::Re};
    for (std::size_t I = 0; I < std::size(Fields); ++I) {
        const double TCalcStep::*Field = Fields[I];
        Values.V[FillAt + I] =
            L ? E->*Field * (L->Time - T) / Step + L->*Field * (T - E->Time) / Step : E->*Field;
    }
    return Values;
}
