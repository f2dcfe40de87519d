#include "results/Canvas.h"

#include <algorithm>
#include <cstdlib>

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
        // Column by column: the rows of each go into place at once.
        for (std::size_t I = 0; I < Count;) {
            if (Given[I].X != RunX) {
                EmitRun();
                RunX = Given[I].X;
            }
            std::size_t End = I + 1;
            while (End < Count && Given[End].X == RunX)
                ++End;
            const std::size_t Used = Run.size();
            Run.resize(Used + (End - I));
            for (std::size_t K = I; K < End; ++K)
                Run[Used + (K - I)] = Given[K].Y;
            I = End;
        }
    }
    CurrentPos = Given[Count - 1];
}

void TPolylineBuffer::Add(int32_t X, const int32_t* Rows, std::size_t Count)
{
    if (Count == 0)
        return;
    if (!IsOpen)
        Start(CurrentPos, Reduce, Top, Bottom);
    if (!Reduce) {
        for (std::size_t I = 0; I < Count; ++I)
            Points.push_back(TPoint{X, Rows[I]});
    } else {
        if (X != RunX) {
            EmitRun();
            RunX = X;
        }
        Run.insert(Run.end(), Rows, Rows + Count);
    }
    CurrentPos = TPoint{X, Rows[Count - 1]};
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
    bool Single = true;       // r = 1: all rows equal
    bool Three = false;       // r = 3 (only set when q1 = qr = Max = q2 + 1)
    int32_t First = 0;        // q1
    int32_t Second = 0;       // q2
    int32_t BeforeLast = 0;   // q(r-1)
    int32_t Last = 0;         // qr
    bool TurnsAtMax = false;  // the maximum row is some q(j) with 1 < j < r
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
    if (BeforeLastAt < SecondAt) {  // r = 2: q2 is the last block
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

// A new inner path: q1, then at most five more rows ending with qr.
struct TNewPath {
    int32_t Rows[6];
    int Size = 0;
    int64_t Length = 0;

    void Add(int32_t Row)
    {
        if (Size > 0 && Rows[Size - 1] == Row)
            return;
        if (Size > 0)
            Length += std::abs(int64_t{Row} - Rows[Size - 1]);
        Rows[Size++] = Row;
    }
};

int Direction(int64_t From, int64_t To)  // +1 downwards, -1 upwards
{
    return (To > From) - (To < From);
}

// The path q1 -> (first extreme) -> (other extreme) -> qr, with a one-row step
// where the direction away from q1 or into qr needs one; false when it does
// not keep the old path's directions and coverage of the bottom row.
bool BuildPath(const TInnerPath& Q, bool MinFirst, bool CoversMax, TNewPath& Path)
{
    const int Leave = Direction(Q.First, Q.Second);
    const int Arrive = Direction(Q.BeforeLast, Q.Last);
    const int32_t Near = MinFirst ? Q.Min : Q.Max;
    const int32_t Far = MinFirst ? Q.Max : Q.Min;
    Path.Add(Q.First);
    if (Near != Q.First && Direction(Q.First, Near) != Leave)
        Path.Add(Q.First + Leave);  // within Min ... Max: q2 lies that way
    Path.Add(Near);
    Path.Add(Far);
    const int32_t At = Path.Rows[Path.Size - 1];
    const int Came = Path.Size > 1 ? Direction(Path.Rows[Path.Size - 2], At) : 0;
    const bool TurnedAtMax =
        std::find(Path.Rows + 1, Path.Rows + Path.Size - 1, Q.Max) != Path.Rows + Path.Size - 1;
    if (At != Q.Last ? Direction(At, Q.Last) != Arrive
                     : Came != Arrive || (CoversMax && !TurnedAtMax)) {
        Path.Add(Q.Last - Arrive);  // the row just before qr, within Min ... Max
    }
    Path.Add(Q.Last);

    // Keep only a path with the old directions at both ends, and with a turn at
    // the bottom row exactly when the old one covered it.
    const int32_t* const Rows = Path.Rows;
    const int N = Path.Size;
    if (N < 2 || Direction(Rows[0], Rows[1]) != Leave ||
        Direction(Rows[N - 2], Rows[N - 1]) != Arrive)
        return false;
    const bool Inner = std::find(Rows + 1, Rows + N - 1, Q.Max) != Rows + N - 1;
    return Inner == CoversMax;
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
    // The reduced column has up to eight points.
    if (Rows.size() <= 8) {
        EmitAll();
        return;
    }
    const TInnerPath Q = InnerPath(Rows.data() + 1, Rows.data() + Rows.size() - 1);
    if (Q.Min < Top || Q.Max > Bottom) {
        EmitAll();
        return;
    }
    Emit(Rows.front());
    if (Q.Single) {  // equal inner rows: the column's first and last line
        Emit(Q.First);
    } else {
        // A line drawn upwards into a turn covers the turning row; one drawn
        // downwards leaves out its end row unless the line before it ended just
        // above that row, which happens after the turn q1 = Max -> Max - 1 -> Max.
        const bool CoversMax = Q.TurnsAtMax || (Q.Three && Q.First == Q.Max &&
                                                int64_t{Q.Second} + 1 == Q.Max && Q.Last == Q.Max);
        TNewPath ViaMin, ViaMax;
        const bool MinOk = BuildPath(Q, true, CoversMax, ViaMin);
        const bool MaxOk = BuildPath(Q, false, CoversMax, ViaMax);
        if (!MinOk && !MaxOk) {  // not expected; the old path is always right
            Out.pop_back();
            EmitAll();
            return;
        }
        const TNewPath& Best =
            MinOk && (!MaxOk || ViaMin.Length <= ViaMax.Length) ? ViaMin : ViaMax;
        for (int I = 0; I < Best.Size; ++I)
            Emit(Best.Rows[I]);
    }
    Emit(Rows.back());
}
