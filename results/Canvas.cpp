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

void TPolylineBuffer::Start(TPoint P, bool ReduceColumns)
{
    Points.clear();
    Reduce = ReduceColumns;
    IsOpen = true;
    CurrentPos = P;
    if (Reduce)
        StartRun(P);
    else
        Points.push_back(P);
}

void TPolylineBuffer::Add(TPoint P)
{
    if (!IsOpen)
        Start(CurrentPos, Reduce);
    CurrentPos = P;
    if (!Reduce) {
        Points.push_back(P);
    } else if (P.X == RunX) {
        AddToRun(P.Y);
    } else {
        EmitRun();
        StartRun(P);
    }
}

const std::vector<TPoint>& TPolylineBuffer::Finish()
{
    if (IsOpen && Reduce)
        EmitRun();
    IsOpen = false;
    return Points;
}

void TPolylineBuffer::StartRun(TPoint P)
{
    RunX = P.X;
    RunSize = 1;
    RunFirst = P.Y;
    RunLast = P.Y;
    InnerSize = 0;
}

void TPolylineBuffer::AddToRun(int32_t Y)
{
    // The point that was last so far becomes an inner point (unless it is p0).
    if (RunSize == 1) {
        RunSecond = Y;
    } else if (InnerSize == 0) {
        InnerSize = 1;
        InnerMin = InnerMax = InnerLast = RunLast;
        InnerFirstDir = InnerLastDir = 0;
    } else {
        const int Dir = (RunLast > InnerLast) - (RunLast < InnerLast);
        if (Dir != 0) {
            if (InnerFirstDir == 0)
                InnerFirstDir = Dir;
            InnerLastDir = Dir;
        }
        InnerMin = std::min(InnerMin, RunLast);
        InnerMax = std::max(InnerMax, RunLast);
        InnerLast = RunLast;
        ++InnerSize;
    }
    RunLast = Y;
    ++RunSize;
}

void TPolylineBuffer::EmitRun()
{
    const auto Emit = [this](int32_t Y) { Points.push_back(TPoint{RunX, Y}); };

    Emit(RunFirst);
    if (RunSize == 1)
        return;
    if (InnerSize <= 1) {           // at most three points: nothing to gain
        if (InnerSize == 1)
            Emit(InnerLast);
        Emit(RunLast);
        return;
    }
    // p0 -> p1 and p(k-1) -> pk stay as they are: the rasteriser's start and end
    // caps, its duplicate-pixel rules and the state it hands to the next column
    // depend on them. Between p1 and p(k-1) the path is replaced by one that
    // leaves p1 in the same direction, visits both extremes and arrives at p(k-1)
    // in the same direction: vertical lines at one x that join end to end cover
    // every row between their extremes, whatever their order.
    Emit(RunSecond);
    if (InnerFirstDir == 0) {
        Emit(InnerLast);            // all inner points equal: one empty step
    } else {
        const int32_t Near = InnerFirstDir < 0 ? InnerMin : InnerMax;  // reached first
        const int32_t Far = InnerFirstDir < 0 ? InnerMax : InnerMin;
        Emit(Near);
        Emit(Far);
        // Near -> Far runs against the first direction; from Far the path goes on
        // along it. A path that must arrive against it turns once more at Near.
        if (InnerLastDir == InnerFirstDir) {
            Emit(InnerLast);
        } else if (InnerLast != Far) {
            Emit(Near);
            Emit(InnerLast);
        }
    }
    Emit(RunLast);
}
