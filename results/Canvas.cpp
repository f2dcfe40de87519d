#include "Canvas.h"

#include <algorithm>

std::string ColorToHex(TColor Color)
{
    static constexpr char Digits[] = "0123456789abcdef";
    std::string Text = "#";
    for (uint8_t Channel : {Color.R, Color.G, Color.B}) {
        Text += Digits[Channel >> 4];
        Text += Digits[Channel & 15];
    }
    return Text;
}

void TPolylineBuffer::Start(TPoint P, bool ReduceColumns, int32_t BandTop, int32_t BandBottom)
{
    Points.clear();
    Run.clear();
    Reduce = ReduceColumns;
    Top = BandTop;
    Bottom = BandBottom;
    IsOpen = true;
    CurrentPos = P;
    if (Reduce) {
        RunX = P.X;
        Run.push_back(P.Y);
    } else {
        Points.push_back(P);
    }
}

void TPolylineBuffer::AddPoint(TPoint P)
{
    if (!IsOpen)
        Start(CurrentPos, Reduce, Top, Bottom);
    CurrentPos = P;
    if (!Reduce) {
        Points.push_back(P);
        return;
    }
    if (P.X != RunX) {
        EmitRun();
        RunX = P.X;
    }
    Run.push_back(P.Y);
}

void TPolylineBuffer::Add(const TPoint* Given, std::size_t Count)
{
    if (Count == 0)
        return;
    if (!IsOpen)
        Start(CurrentPos, Reduce, Top, Bottom);
    if (!Reduce) {
        Points.insert(Points.end(), Given, Given + Count);
    } else {
        // Rows of the open column go straight into place; the vector grows by
        // the whole block at once and is cut back to what was used.
        std::size_t Used = Run.size();
        Run.resize(Used + Count);
        for (std::size_t I = 0; I < Count; ++I) {
            if (Given[I].X != RunX) {
                Run.resize(Used);
                EmitRun();
                RunX = Given[I].X;
                Used = 0;
                Run.resize(Count - I);
            }
            Run[Used++] = Given[I].Y;
        }
        Run.resize(Used);
    }
    CurrentPos = Given[Count - 1];
}

const std::vector<TPoint>& TPolylineBuffer::Finish()
{
    if (IsOpen && Reduce)
        EmitRun();
    IsOpen = false;
    return Points;
}

void TPolylineBuffer::EmitRun()
{
    ReduceColumn(RunX, Run, Top, Bottom, Points);
    Run.clear();
}

namespace {

// The inner path q1 ... qr of a column: its rows without repeats (a line of
// length 0 draws nothing), as far as the reduction needs them. Simple loops
// that the compiler can vectorise: columns of a long chart hold thousands of
// points.
struct TInnerPath {
    int32_t Min = 0;
    int32_t Max = 0;
    bool Single = true;      // r = 1: all rows equal
    bool Three = false;      // r = 3 (only set when q1 = qr = Max = q2 + 1)
    int32_t First = 0;       // q1
    int32_t Second = 0;      // q2
    int32_t BeforeLast = 0;  // q(r-1)
    int32_t Last = 0;        // qr
    bool TurnsAtMax = false; // the maximum row is some q(j) with 1 < j < r
};

TInnerPath InnerPath(const int32_t* Begin, const int32_t* End)
{
    TInnerPath Path;
    int32_t Min = *Begin;
    int32_t Max = *Begin;
    for (const int32_t* It = Begin; It != End; ++It) {
        Min = *It < Min ? *It : Min;
        Max = *It > Max ? *It : Max;
    }
    Path.Min = Min;
    Path.Max = Max;
    Path.First = *Begin;
    Path.Last = End[-1];
    // q2 starts after the first block of equal rows, q(r-1) ends before the last.
    const int32_t* SecondAt = std::find_if(Begin, End, [&](int32_t R) { return R != Path.First; });
    if (SecondAt == End)
        return Path;
    Path.Single = false;
    const int32_t* BeforeLastAt = End - 1;
    while (*BeforeLastAt == Path.Last)
        --BeforeLastAt;
    Path.Second = *SecondAt;
    Path.BeforeLast = *BeforeLastAt;
    if (BeforeLastAt < SecondAt) {   // r = 2: q2 is the last block
        Path.BeforeLast = Path.First;
        return Path;
    }
    // Rows SecondAt ... BeforeLastAt are the middle points q2 ... q(r-1).
    const int32_t* const MiddleEnd = BeforeLastAt + 1;
    Path.TurnsAtMax = std::find(SecondAt, MiddleEnd, Max) != MiddleEnd;
    // Only asked for in one case (see ReduceColumn).
    if (Path.First == Max && Path.Last == Max && int64_t{Path.Second} + 1 == Max)
        Path.Three = std::all_of(SecondAt, MiddleEnd, [&](int32_t R) { return R == Path.Second; });
    return Path;
}

}  // namespace

void ReduceColumn(int32_t X, const std::vector<int32_t>& Rows, int32_t Top, int32_t Bottom,
                  std::vector<TPoint>& Out)
{
    const auto Emit = [&](int32_t Y) { Out.push_back(TPoint{X, Y}); };
    const auto EmitAll = [&] {
        for (int32_t Y : Rows)
            Emit(Y);
    };
    // The reduced column has up to seven points.
    if (Rows.size() <= 7) {
        EmitAll();
        return;
    }
    const TInnerPath Q = InnerPath(Rows.data() + 1, Rows.data() + Rows.size() - 1);
    const int32_t Min = Q.Min;   // topmost inner row
    const int32_t Max = Q.Max;   // bottommost inner row
    if (Min < Top || Max > Bottom) {
        EmitAll();
        return;
    }

    // The new inner path after q1; directions are +1 downwards, -1 upwards.
    int32_t Path[4];
    int Size = 0;
    const auto Add = [&](int32_t Y) { Path[Size++] = Y; };
    if (!Q.Single) {
        const bool LeavesUp = Q.Second < Q.First;
        const bool ArrivesUp = Q.Last < Q.BeforeLast;
        // A line drawn upwards into a turn covers the turning row; one drawn
        // downwards leaves out its end row unless the line before it ended just
        // above that row, which happens after the turn q1 = Max -> Max - 1 -> Max.
        const bool CoversMax = Q.TurnsAtMax || (Q.Three && Q.First == Max &&
                                                int64_t{Q.Second} + 1 == Max && Q.Last == Max);
        if (CoversMax) {          // free to turn at Max
            if (LeavesUp) {
                Add(Min);
                Add(Max);
                if (ArrivesUp) {
                    Add(Q.Last);
                } else {
                    Add(Min);
                    Add(Q.Last);  // Max again, or a row above it
                }
            } else {
                Add(Max);
                Add(Min);
                if (!ArrivesUp) {
                    Add(Q.Last);
                } else if (Q.Last != Min) {
                    Add(Max);
                    Add(Q.Last);
                }
            }
        } else if (Q.First == Max && Q.Last == Max) {   // Max only at both ends
            Add(Min);
            Add(Max);
        } else if (Q.First == Max) {                    // Max only at the start
            Add(Min);
            if (!ArrivesUp) {
                Add(Q.Last);
            } else if (Q.Last != Min) {
                Add(Q.BeforeLast);   // between Q.Last and Max
                Add(Q.Last);
            }
        } else if (Q.Last == Max) {                     // Max only at the end
            if (LeavesUp) {
                Add(Min);
            } else if (Min < Q.First) {
                Add(Q.Second);       // between q1 and Max
                Add(Min);
            }
            Add(Max);
        } else {                  // cannot happen: Max lies somewhere on the path
            EmitAll();
            return;
        }
    }
    Emit(Rows.front());
    Emit(Rows[1]);
    for (int I = 0; I < Size; ++I)
        Emit(Path[I]);
    Emit(Rows.back());
}
