// The chart of a finished calculation: one polyline per result series over the
// time steps of a run, or one per stage quantity over the stages of a repeated
// water hammer. Each series is scaled on its own between the bottom and the top
// row of the rectangle; there are no axes.

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <future>
#include <limits>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/Calc.h"
#include "engine/Tables.h"
#include "engine/VectorState.h"
#include "results/Canvas.h"

namespace {

const char* const NoRunText = "Расчёт не выполнялся.";
const char* const NoStagesText = "Нет ни данных ни по одному этапу длительного гидроудара.";
const char* const StepChartFailedText = "Ошибка расчёта параметров прорисовки.";
const char* const StageChartFailedText = "Ошибка прорисовки нагнетения гидроударом.";

// Base + V rounded to the nearest integer (ties to even) as a 32-bit coordinate;
// false when V is not finite or the result does not fit.
bool ToCoordinate(int32_t Base, double V, int32_t& Result)
{
    if (!(std::fabs(V) <= 4294967296.0))  // also rejects NaN and infinities
        return false;
    // Adding and taking away 1.5 * 2^52 rounds a double below 2^51 in magnitude to
    // an integer in the current rounding mode, which is to nearest, ties to even.
    // (std::nearbyint does the same, but as a library call per point; the build
    // keeps IEEE semantics, so the pair is not folded away.)
    constexpr double Shift = 6755399441055744.0;
    const int64_t Sum = int64_t{Base} + static_cast<int64_t>((V + Shift) - Shift);
    if (Sum < INT32_MIN || Sum > INT32_MAX)
        return false;
    Result = static_cast<int32_t>(Sum);
    return true;
}

// V rounded to the nearest integer (ties to even) as a 32-bit coordinate; the
// same as ToCoordinate(0, V, Y) with fewer steps, for the rows of every record.
bool ToRow(double V, int32_t& Y)
{
    // Exactly the doubles that round into the 32-bit range; NaN fails both tests.
    if (!(V >= -2147483648.5 && V < 2147483647.5))
        return false;
    constexpr double Shift = 6755399441055744.0;
    Y = static_cast<int32_t>((V + Shift) - Shift);
    return true;
}

// x = Left + round(K * Sx) for K = 1, 2, 3, ... in turn. With many records per
// pixel column most of them share an x; it is only rounded again once K * Sx
// reaches the half-way point where the rounding can change.
class THorizontal {
public:
    THorizontal(int32_t Left, double Sx) : Left(Left), Sx(Sx) {}
    bool At(int32_t K, int32_t& X)
    {
        const double V = K * Sx;
        if (V < Limit) {
            X = Current;
            return true;
        }
        if (!ToCoordinate(Left, V, Current))
            return false;
        // While V stays below n + 0.5 it still rounds to n: V only grows
        // (for Sx >= 0; otherwise every x is rounded on its own).
        Limit = Sx >= 0 ? static_cast<double>(int64_t{Current} - Left) + 0.5 : -Infinity;
        X = Current;
        return true;
    }

private:
    static constexpr double Infinity = std::numeric_limits<double>::infinity();
    int32_t Left;
    double Sx;
    double Limit = -Infinity;
    int32_t Current = 0;
};

// The vertical mapping of one series: Min on the row Bottom - 1, Max on the row Top.
class TVertical {
public:
    // False when the range or the scale is not finite.
    bool Init(const TRect& Rect, double Min, double Max)
    {
        const double Span = Max - Min;
        if (!std::isfinite(Min) || !std::isfinite(Max) || !std::isfinite(Span))
            return false;
        Low = Min;
        Bottom = static_cast<double>(Rect.Bottom);
        Scale = Min < Max ? (static_cast<double>(Rect.Bottom) - Rect.Top - 1) / Span : 0.0;
        return std::isfinite(Scale);
    }
    // The row of value V: round(Bottom - (V - Min) * sy - 1).
    bool Row(double V, int32_t& Y) const { return ToRow(Bottom - (V - Low) * Scale - 1, Y); }

    // round(Bottom - (V - Min) * sy - 1) as a 64-bit integer while it is
    // below 2^51 in magnitude, far outside the 32-bit range otherwise, also
    // for NaN and the infinities: V + 1.5 * 2^52 holds the rounded value in
    // the low bits of its mantissa (see ToRow), and the difference of bits
    // is taken modulo 2^64, where a negative sum lands far outside as well.
    // So Fits accepts exactly the V that Row accepts, and the row is the
    // same; without branches, the rows of many records are made at once.
    int64_t Rounded(double V) const
    {
        constexpr double Shift = 6755399441055744.0;
        constexpr uint64_t ShiftBits = std::bit_cast<uint64_t>(Shift);
        const double Y = Bottom - (V - Low) * Scale - 1;
        return static_cast<int64_t>(std::bit_cast<uint64_t>(Y + Shift) - ShiftBits);
    }
    static bool Fits(int64_t Y) { return (Y >= INT32_MIN) & (Y <= INT32_MAX); }

private:
    double Low = 0;
    double Scale = 0;
    double Bottom = 0;
};

// ----- Step chart -----

// The smaller and the larger of two values; NaN when either is NaN, so that a
// broken range fails instead of hiding behind the other value.
double MinOf(double A, double B)
{
    return std::isnan(A) || std::isnan(B) ? std::nan("") : std::min(A, B);
}
double MaxOf(double A, double B)
{
    return std::isnan(A) || std::isnan(B) ? std::nan("") : std::max(A, B);
}

struct TStepSeries {
    double TCalcStep::*Field;
    TColor Color;
    double Min;
    double Max;
    double Start;  // NoValue: the series starts at its first record
};

// Hands the canvas the lines of a series in blocks rather than one call per point.
class TLineBatch {
public:
    explicit TLineBatch(TCanvas& Canvas) : Canvas(Canvas) {}
    ~TLineBatch() { Send(); }
    void LineTo(int32_t X, int32_t Y)
    {
        if (Size == Capacity)
            Send();
        Points[Size++] = TPoint{X, Y};
    }

private:
    void Send()
    {
        Canvas.LinesTo(Points, Size);
        Size = 0;
    }

    static constexpr std::size_t Capacity = 1024;
    TCanvas& Canvas;
    TPoint Points[Capacity];
    std::size_t Size = 0;
};

bool DrawStepSeries(const TCalc& Calc, const TStepSeries& Series, TCanvas& Canvas,
                    const TRect& Rect)
{
    TVertical Vertical;
    if (!Vertical.Init(Rect, Series.Min, Series.Max))
        return false;
    Canvas.SetPen(Series.Color);

    const double Sx = (static_cast<double>(Rect.Right) - Rect.Left) / Calc.Count;
    const TCalcStep* const Records = Calc.Records;
    double TCalcStep::*const Field = Series.Field;
    int32_t X = Rect.Right;  // of the last record
    int32_t Y = 0;
    THorizontal Horizontal(Rect.Left, Sx);
    if (IsValue(Series.Start)) {
        if (!Vertical.Row(Series.Start, Y))
            return false;
        Canvas.MoveTo(Rect.Left, Y);
    } else {
        if ((Calc.Count > 1 && !Horizontal.At(1, X)) || !Vertical.Row(Records[0].*Field, Y))
            return false;
        Canvas.MoveTo(X, Y);
    }
    // Record k lies at x = L + round((k + 1) * sx), the last one on the right edge.
    // The lines drawn before a failure stay drawn.
    TLineBatch Lines(Canvas);
    const int32_t Last = Calc.Count - 1;
    for (int32_t K = IsValue(Series.Start) ? 0 : 1; K < Last; ++K) {
        // The records are far too many for the caches: ask for them in time.
        constexpr int32_t Ahead = 64;
        __builtin_prefetch(&Records[K < Last - Ahead ? K + Ahead : Last]);
        if (!Horizontal.At(K + 1, X) || !Vertical.Row(Records[K].*Field, Y))
            return false;
        Lines.LineTo(X, Y);
    }
    if (Last > 0 || IsValue(Series.Start)) {
        if (!Vertical.Row(Records[Last].*Field, Y))
            return false;
        Lines.LineTo(Rect.Right, Y);
    }
    return true;
}

// ----- Step chart in one pass -----
//
// A canvas that reduces its polylines per pixel column gets them reduced
// already: every series is made and reduced (TPolylineBuffer, with the
// canvas's band) in the same pass over the records, and the polylines go to
// the canvas afterwards in the order of the series, with the calls the
// series would have made, up to the same failure. The records are read once
// instead of once a series, in chunks that stay in the cache while each
// series takes its rows from them.

// One series during the pass.
struct TSeriesPass {
    enum class TState {
        Skipped,      // nothing recorded: not drawn
        RangeFailed,  // the chart fails before its pen is set
        StartFailed,  // the chart fails after its pen is set, before the first point
        Running,
        Failed,  // the chart fails after the points made
    };
    const TStepSeries* Series = nullptr;
    TVertical Vertical;
    TState State = TState::Skipped;
    bool FromStart = false;  // the polyline starts at the start value, not at record 0
    TPolylineBuffer Line;
};

// The pass over records Begin ... End - 1 for the series of Passes that run;
// record k lies at x = Left + round((k + 1) * Sx). A series stops running at
// the first record whose row cannot be had, and every running series stops
// at the first record whose column cannot be had.
void PassRecords(const TCalcStep* Records, TSeriesPass (&Passes)[5], int32_t Left, double Sx,
                 int32_t Begin, int32_t End)
{
    using TState = TSeriesPass::TState;
    THorizontal Horizontal(Left, Sx);
    constexpr int32_t Chunk = 512;
    int32_t Xs[Chunk];
    int32_t Ys[5][Chunk];
    int32_t ColumnStarts[Chunk + 1];  // where the chunk's columns begin
    bool Running = true;
    for (int32_t Base = Begin; Base < End && Running; Base += Chunk) {
        const int32_t ChunkEnd = std::min(Base + Chunk, End);
        // The columns of the chunk, up to the first that cannot be had.
        int32_t XEnd = Base;
        int Columns = 0;
        while (XEnd < ChunkEnd && Horizontal.At(XEnd + 1, Xs[XEnd - Base])) {
            if (XEnd == Base || Xs[XEnd - Base] != Xs[XEnd - Base - 1])
                ColumnStarts[Columns++] = XEnd;
            ++XEnd;
        }
        ColumnStarts[Columns] = XEnd;
        // The rows of every series, record by record: the records' five
        // values lie side by side. A series not running gets rows it drops.
        bool Fit[5] = {true, true, true, true, true};
        for (int32_t K = Base; K < XEnd; ++K) {
            const TCalcStep& R = Records[K];
            for (int I = 0; I < 5; ++I) {
                const int64_t Y = Passes[I].Vertical.Rounded(R.*Passes[I].Series->Field);
                Fit[I] &= TVertical::Fits(Y);
                Ys[I][K - Base] = static_cast<int32_t>(Y);
            }
        }
        for (int I = 0; I < 5; ++I) {
            TSeriesPass& P = Passes[I];
            if (P.State != TState::Running)
                continue;
            // Record 0 of a series without a start value is its first point.
            const int32_t From = Base == 0 && !P.FromStart ? 1 : Base;
            int32_t Stop = XEnd;
            if (!Fit[I]) {
                Stop = From;
                while (Stop < XEnd &&
                       TVertical::Fits(P.Vertical.Rounded(Records[Stop].*P.Series->Field)))
                    ++Stop;
            }
            for (int C = 0; C < Columns; ++C) {
                const int32_t First = std::max(ColumnStarts[C], From);
                const int32_t Next = std::min(ColumnStarts[C + 1], Stop);
                if (First < Next)
                    P.Line.Add(Xs[First - Base], Ys[I] + (First - Base),
                               static_cast<std::size_t>(Next - First));
            }
            if (Stop < ChunkEnd)
                P.State = TState::Failed;
        }
        Running = XEnd == ChunkEnd;
    }
}

// Records from which the pass is worth halving between two threads.
constexpr int32_t SplitRecords = 1 << 16;

// A record near the middle of 1 ... Last - 1 with which a new pixel column
// begins, so that the two halves reduce their columns exactly as one pass
// would; 0 when there is none, or when a second thread would not pay.
int32_t SplitRecord(int32_t Left, double Sx, int32_t Last)
{
    if (Last < SplitRecords || !(Sx > 0) || std::thread::hardware_concurrency() < 2)
        return 0;
    THorizontal Horizontal(Left, Sx);
    int32_t Before = 0;
    int32_t X = 0;
    int32_t K = Last / 2;
    if (!Horizontal.At(K, Before))
        return 0;
    for (; K < Last; ++K, Before = X) {
        // Record K lies at x(K + 1), record K - 1 at x(K).
        if (!Horizontal.At(K + 1, X))
            return 0;
        if (X != Before)
            return K;
    }
    return 0;
}

bool DrawStepChartReduced(const TCalc& Calc, const TStepSeries (&Series)[5], TCanvas& Canvas,
                          const TRect& Rect, int32_t Top, int32_t Bottom)
{
    using TState = TSeriesPass::TState;
    const TCalcStep* const Records = Calc.Records;
    const int32_t Last = Calc.Count - 1;
    const double Sx = (static_cast<double>(Rect.Right) - Rect.Left) / Calc.Count;
    THorizontal Horizontal(Rect.Left, Sx);
    // Record 0 of a series without a start value lies at x(1), or on the
    // right edge when it is the only one.
    int32_t FirstX = Rect.Right;
    const bool FirstXOk = Calc.Count <= 1 || Horizontal.At(1, FirstX);

    TSeriesPass Passes[5];
    for (int I = 0; I < 5; ++I) {
        TSeriesPass& P = Passes[I];
        P.Series = &Series[I];
        if (Series[I].Min > Series[I].Max)
            continue;
        if (!P.Vertical.Init(Rect, Series[I].Min, Series[I].Max)) {
            P.State = TState::RangeFailed;
            continue;
        }
        P.FromStart = IsValue(Series[I].Start);
        int32_t Y = 0;
        const bool Ok = P.FromStart ? P.Vertical.Row(Series[I].Start, Y)
                                    : FirstXOk && P.Vertical.Row(Records[0].*Series[I].Field, Y);
        if (!Ok) {
            P.State = TState::StartFailed;
            continue;
        }
        P.State = TState::Running;
        P.Line.Start(TPoint{P.FromStart ? Rect.Left : FirstX, Y}, true, Top, Bottom);
    }

    // With many records the second half goes to another thread. Its
    // polylines start at the last record of the first half and continue
    // those of the first half where they still run at its end.
    int32_t Split = SplitRecord(Rect.Left, Sx, Last);
    TSeriesPass Second[5];
    std::future<void> SecondPass;
    if (Split > 0) {
        int32_t SplitX = 0;
        Horizontal.At(Split, SplitX);  // record Split - 1's column, found by SplitRecord
        for (int I = 0; I < 5; ++I) {
            const TSeriesPass& P = Passes[I];
            TSeriesPass& Q = Second[I];
            Q.Series = P.Series;
            Q.Vertical = P.Vertical;
            Q.FromStart = P.FromStart;
            if (P.State != TState::Running)
                continue;
            // A row that cannot be had fails the first half at this record.
            const int64_t Y = P.Vertical.Rounded(Records[Split - 1].*P.Series->Field);
            if (!TVertical::Fits(Y))
                continue;
            Q.State = TState::Running;
            Q.Line.Start(TPoint{SplitX, static_cast<int32_t>(Y)}, true, Top, Bottom);
        }
        try {
            SecondPass = std::async(std::launch::async, [&] {
                PassRecords(Records, Second, Rect.Left, Sx, Split, Last);
            });
        } catch (const std::system_error&) {
            Split = 0;  // no thread to be had: one pass
        }
    }
    PassRecords(Records, Passes, Rect.Left, Sx, 0, Split > 0 ? Split : Last);
    if (SecondPass.valid())
        SecondPass.get();

    // The part of each series that ends it: the second half where the first
    // one ran to its end.
    bool Joined[5] = {};
    for (int I = 0; I < 5; ++I) {
        Joined[I] = Split > 0 && Passes[I].State == TState::Running;
        TSeriesPass& P = Joined[I] ? Second[I] : Passes[I];
        if (P.State != TState::Running || !(Last > 0 || P.FromStart))
            continue;
        int32_t Y = 0;
        if (P.Vertical.Row(Records[Last].*P.Series->Field, Y))
            P.Line.Add(TPoint{Rect.Right, Y});
        else
            P.State = TState::Failed;
    }

    // Series 5 first, so that the fill lies on top.
    for (int I = 4; I >= 0; --I) {
        TSeriesPass& P = Passes[I];
        if (P.State == TState::Skipped)
            continue;
        if (P.State == TState::RangeFailed)
            return false;
        Canvas.SetPen(P.Series->Color);
        if (P.State == TState::StartFailed)
            return false;
        const std::vector<TPoint>& Line = P.Line.Finish();
        Canvas.MoveTo(Line[0].X, Line[0].Y);
        if (Line.size() > 1)
            Canvas.LinesTo(Line.data() + 1, Line.size() - 1);
        if (Joined[I]) {
            // Its first point is the first half's last one.
            const std::vector<TPoint>& More = Second[I].Line.Finish();
            if (More.size() > 1)
                Canvas.LinesTo(More.data() + 1, More.size() - 1);
        }
        if ((Joined[I] ? Second[I] : P).State == TState::Failed)
            return false;
    }
    return true;
}

bool DrawStepChart(const TCalc& Calc, TCanvas& Canvas, const TRect& Rect)
{
    if (Calc.Records == nullptr || Calc.Count > Calc.Capacity)
        return false;
    const TStepSeries Series[] = {
        {&TCalcStep::Fill, FillColor, Calc.FillMin, Calc.FillMax, Calc.InitialFill},
        {&TCalcStep::Speed, SpeedColor, MinOf(Calc.SpeedMin, Calc.InitialSpeed),
         MaxOf(Calc.SpeedMax, Calc.InitialSpeed), Calc.InitialSpeed},
        {&TCalcStep::Accel, AccelColor, Calc.AccelMin, Calc.AccelMax, NoValue},
        {&TCalcStep::Losses, LossColor, Calc.LossesMin, Calc.LossesMax, NoValue},
        {&TCalcStep::Re, ReColor, Calc.ReMin, Calc.ReMax, NoValue},
    };
    int32_t Top = 0;
    int32_t Bottom = 0;
    if (Canvas.ReducesColumns(Top, Bottom))
        return DrawStepChartReduced(Calc, Series, Canvas, Rect, Top, Bottom);
    // Every point to the canvas, series by series; series 5 first, so that
    // the fill lies on top.
    for (int I = 4; I >= 0; --I) {
        if (Series[I].Min > Series[I].Max)  // nothing recorded
            continue;
        if (!DrawStepSeries(Calc, Series[I], Canvas, Rect))
            return false;
    }
    return true;
}

// ----- Stage chart -----

struct TStageSeries {
    double TCalcStage::*Field;
    TColor Color;
    bool Rising;  // drawn when first <= last (else when first >= last)
};

bool DrawStageSeries(const TCalc& Calc, const TStageSeries& Series, double Min, double Max,
                     TCanvas& Canvas, const TRect& Rect)
{
    TVertical Vertical;
    if (!Vertical.Init(Rect, Min, Max))
        return false;
    Canvas.SetPen(Series.Color);

    const double Width = static_cast<double>(Rect.Right) - Rect.Left;
    const double Sx = Calc.StageCount > 1 ? Width / (Calc.StageCount - 1) : Width;
    const TCalcStage* Stage = Calc.Stages;
    int32_t X = 0;
    int32_t Y = 0;
    if (!Vertical.Row(Stage->*Series.Field, Y))
        return false;
    Canvas.MoveTo(Rect.Left, Y);
    int32_t K = 1;
    for (Stage = Stage->Next; Stage != nullptr && K < Calc.StageCount; Stage = Stage->Next, ++K) {
        if (!ToCoordinate(Rect.Left, K * Sx, X) || !Vertical.Row(Stage->*Series.Field, Y))
            return false;
        Canvas.LineTo(X, Y);
    }
    return true;
}

bool DrawStageChart(const TCalc& Calc, TCanvas& Canvas, const TRect& Rect)
{
    const TCalcStage* First = Calc.Stages;
    const TCalcStage* Last = First;
    while (Last->Next != nullptr)
        Last = Last->Next;

    const TStageSeries Series[] = {
        {&TCalcStage::Pumped, FillColor, true},       {&TCalcStage::PipeSpeed, SpeedColor, false},
        {&TCalcStage::StartSpeed, AccelColor, false}, {&TCalcStage::PumpTime, LossColor, false},
        {&TCalcStage::Pause, ReColor, true},
    };
    for (int I = 4; I >= 0; --I) {
        const double A = First->*Series[I].Field;
        const double B = Last->*Series[I].Field;
        // The range comes from the first and the last stage only; stages in
        // between may lie outside it.
        if (Series[I].Rising ? !(A <= B) : !(A >= B))
            continue;
        const double Min = Series[I].Rising ? A : B;
        const double Max = Series[I].Rising ? B : A;
        if (!DrawStageSeries(Calc, Series[I], Min, Max, Canvas, Rect))
            return false;
    }
    return true;
}

void WriteMessage(TCanvas& Canvas, const TRect& Rect, const char* Text)
{
    const int32_t X = Rect.Left < INT32_MAX ? Rect.Left + 1 : Rect.Left;
    const int32_t Y = Rect.Top < INT32_MAX ? Rect.Top + 1 : Rect.Top;
    Canvas.TextRect(Rect, X, Y, Text);
}

}  // namespace

void TCalc::DrawChart(TCanvas& Canvas, const TRect& Rect) const
{
    // Called from painting code: the pass over the records runs at full speed.
    ClearUpperVectorState();
    if (Count <= 0) {
        WriteMessage(Canvas, Rect, NoRunText);
    } else if (StageCount < 2) {
        if (!DrawStepChart(*this, Canvas, Rect))
            WriteMessage(Canvas, Rect, StepChartFailedText);
    } else if (Stages == nullptr) {
        WriteMessage(Canvas, Rect, NoStagesText);
    } else if (!DrawStageChart(*this, Canvas, Rect)) {
        WriteMessage(Canvas, Rect, StageChartFailedText);
    }
    Canvas.Flush();
}
