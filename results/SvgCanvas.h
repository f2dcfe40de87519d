#pragma once
// A canvas that writes an SVG document, and the chart of a calculation as SVG.

#include <cstdint>
#include <string>

#include "results/Canvas.h"

class TCalc;

// Sizes of the SVG chart of the batch tool, in pixels.
inline constexpr int SvgDefaultWidth = 800;
inline constexpr int SvgDefaultHeight = 500;
inline constexpr int SvgMinSize = 16;
inline constexpr int SvgMaxSize = 10000;

// Reads a size "WxH" (for example "800x500"): two whole numbers from SvgMinSize
// to SvgMaxSize joined by 'x'. False for anything else.
bool ParseSvgSize(const std::string& Text, int& Width, int& Height);

// A canvas of Width x Height pixels whose drawing becomes an SVG document.
// Lines are one pixel wide and sit on the pixel grid like those of a raster
// canvas (pixel (x, y) is the square from (x, y) to (x + 1, y + 1)). Long
// polylines are reduced per pixel column like those of the raster canvas,
// which keeps the same set of covered points, and a point that repeats the
// one before it in a polyline is left out.
class TSvgCanvas final : public TCanvas {
public:
    TSvgCanvas(int32_t Width, int32_t Height);

    void SetPen(TColor Color) override;
    void MoveTo(int32_t X, int32_t Y) override;
    void LineTo(int32_t X, int32_t Y) override;
    void LinesTo(const TPoint* Points, std::size_t Count) override;
    void TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text) override;
    void Flush() override;
    bool ReducesColumns(int32_t& Top, int32_t& Bottom) const override;

    // Fills Rect (right and bottom exclusive) with Color.
    void FillRect(const TRect& Rect, TColor Color);
    // The whole document drawn so far.
    std::string Document();

private:
    int32_t Width;
    int32_t Height;
    TColor Pen = TextColor;
    TPolylineBuffer Polyline;
    std::string Body;
    int ClipCount = 0;
};

// Text as XML character data or attribute value: &, <, >, " and ' as entities;
// characters XML does not allow and bytes that are not UTF-8 become U+FFFD.
std::string XmlEscape(const std::string& Text);

// The chart of Calc as a whole SVG document of Width x Height pixels: the
// background, then TCalc::DrawChart into (0, 0, Width, Height). Throws
// std::invalid_argument for a size outside SvgMinSize ... SvgMaxSize.
std::string ChartSvg(const TCalc& Calc, int Width, int Height);
