#pragma once
// A canvas for tests: records every call, every point included.

#include <string>
#include <vector>

#include "results/Canvas.h"

class TRecordingCanvas : public TCanvas {
public:
    struct TText {
        TRect Clip;
        TPoint At;
        std::string Text;
    };
    // One polyline: a MoveTo and the LineTo calls after it, in one colour.
    struct TLine {
        TColor Color;
        std::vector<TPoint> Points;
    };

    std::vector<TLine> Lines;
    std::vector<TText> Texts;
    std::vector<std::string> Calls;  // "pen", "move", "line", "text", "flush" in order
    TColor Pen = TextColor;

    void SetPen(TColor Color) override
    {
        Pen = Color;
        Calls.push_back("pen");
    }
    void MoveTo(int32_t X, int32_t Y) override
    {
        Lines.push_back(TLine{Pen, {TPoint{X, Y}}});
        Calls.push_back("move");
    }
    void LineTo(int32_t X, int32_t Y) override
    {
        if (Lines.empty())  // a line without MoveTo starts at the origin
            Lines.push_back(TLine{Pen, {TPoint{}}});
        Lines.back().Points.push_back(TPoint{X, Y});
        Calls.push_back("line");
    }
    void TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text) override
    {
        Texts.push_back(TText{Clip, TPoint{X, Y}, Text});
        Calls.push_back("text");
    }
    void Flush() override { Calls.push_back("flush"); }

    // The colours of the polylines in drawing order.
    std::vector<TColor> Colors() const
    {
        std::vector<TColor> Result;
        for (const TLine& Line : Lines)
            Result.push_back(Line.Color);
        return Result;
    }
};
