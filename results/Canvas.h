#pragma once
// The drawing surface of the chart: a small canvas interface that TCalc::DrawChart
// draws on, the chart's colours, and the polyline buffer that the raster and the
// SVG canvases share.

#include <cstdint>
#include <string>
#include <vector>

// A rectangle in device pixels; Right and Bottom are exclusive.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    friend bool operator==(const TRect&, const TRect&) = default;
};

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// An opaque colour, 8 bits per channel.
struct TColor {
    uint8_t R = 0;
    uint8_t G = 0;
    uint8_t B = 0;
    friend bool operator==(const TColor&, const TColor&) = default;
};

inline constexpr TColor BackColor{255, 255, 255};   // chart and legend background
inline constexpr TColor TextColor{0, 0, 0};         // legend's time line, chart messages
inline constexpr TColor FillColor{0, 0, 255};       // series 1
inline constexpr TColor SpeedColor{255, 0, 0};      // series 2
inline constexpr TColor AccelColor{192, 192, 0};    // series 3
inline constexpr TColor LossColor{0, 128, 128};     // series 4
inline constexpr TColor ReColor{128, 128, 128};     // series 5

// "#rrggbb".
std::string ColorToHex(TColor Color);

class TCanvas {
public:
    virtual ~TCanvas() = default;
    // A solid pen of this colour; the pen width stays as the canvas has it.
    virtual void SetPen(TColor Color) = 0;
    // Sets the current position without drawing.
    virtual void MoveTo(int32_t X, int32_t Y) = 0;
    // A line from the current position to (X, Y), which becomes the current position.
    virtual void LineTo(int32_t X, int32_t Y) = 0;
    // One line of Text in the canvas's font with its top left corner at (X, Y),
    // on the background colour, clipped to Clip.
    virtual void TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text) = 0;
    // Puts whatever is still buffered on the surface.
    virtual void Flush() {}
};

// Collects a polyline given point by point, for surfaces that draw a whole
// polyline at once.
//
// With reduction, every run of consecutive points that share one x (one pixel
// column) is cut down to at most seven points: the first two, the extremes of the
// run's inner points and the last two. The inner points are replaced by a path
// that covers the same rows, leaves its first point and reaches its last point in
// the same vertical direction as the original path, so that an aliased one-pixel
// line rasteriser draws exactly the same pixels and carries the same state into
// the next column. A chart of a million records then needs a few thousand
// segments per series instead of a million.
class TPolylineBuffer {
public:
    // Begins a new polyline at P; a polyline still open is dropped.
    void Start(TPoint P, bool Reduce);
    // Adds a line to P; starts at the current position when no polyline is open.
    void Add(TPoint P);
    bool Open() const { return IsOpen; }
    // The last point given (where a following line starts).
    TPoint Current() const { return CurrentPos; }
    // Closes the polyline and returns its points (one point: nothing to draw).
    // The result stays valid until the next Start or Add.
    const std::vector<TPoint>& Finish();

private:
    void StartRun(TPoint P);
    void AddToRun(int32_t Y);
    void EmitRun();

    std::vector<TPoint> Points;   // the polyline so far (finished runs only when reducing)
    TPoint CurrentPos;
    bool IsOpen = false;
    bool Reduce = false;

    // The open run p0 ... pk of points with x = RunX.
    int32_t RunX = 0;
    int64_t RunSize = 0;     // k + 1
    int32_t RunFirst = 0;    // p0
    int32_t RunSecond = 0;   // p1
    int32_t RunLast = 0;     // pk
    // The inner points p1 ... p(k-1): extremes, the last one, and the signs of the
    // first and of the last non-zero step between them (0: none yet).
    int64_t InnerSize = 0;
    int32_t InnerMin = 0;
    int32_t InnerMax = 0;
    int32_t InnerLast = 0;
    int InnerFirstDir = 0;
    int InnerLastDir = 0;
};
