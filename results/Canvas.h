#pragma once
// The drawing surface of the chart: a small canvas interface that TCalc::DrawChart
// draws on, the chart's colours, and the polyline buffer that the raster and the
// SVG canvases share.

#include <cstddef>
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

inline constexpr TColor BackColor{255, 255, 255};  // chart and legend background
inline constexpr TColor TextColor{0, 0, 0};        // legend's time line, chart messages
inline constexpr TColor FillColor{0, 0, 255};      // series 1
inline constexpr TColor SpeedColor{255, 0, 0};     // series 2
inline constexpr TColor AccelColor{192, 192, 0};   // series 3
inline constexpr TColor LossColor{0, 128, 128};    // series 4
inline constexpr TColor ReColor{128, 128, 128};    // series 5

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
    // Lines through Points in turn: the same as LineTo for each of them, for
    // callers with many points at hand.
    virtual void LinesTo(const TPoint* Points, std::size_t Count)
    {
        for (std::size_t I = 0; I < Count; ++I)
            LineTo(Points[I].X, Points[I].Y);
    }
    // One line of Text in the canvas's font with its top left corner at (X, Y),
    // on the background colour, clipped to Clip.
    virtual void TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text) = 0;
    // Puts whatever is still buffered on the surface.
    virtual void Flush() {}
    // True when a polyline may come reduced per pixel column (ReduceColumn with
    // the rows Top ... Bottom as its band, see TPolylineBuffer) for the same
    // picture as with every point, because the canvas reduces its polylines so
    // itself; the chart then makes its series in one pass over the records.
    // By default false: every point reaches the canvas.
    virtual bool ReducesColumns(int32_t& Top, int32_t& Bottom) const
    {
        (void)Top;
        (void)Bottom;
        return false;
    }
};

// Collects a polyline given point by point, for surfaces that draw a whole
// polyline at once.
//
// With reduction, every run of consecutive points that share one x (one pixel
// column) is cut down to at most eight points (see ReduceColumn), so that a
// chart of a million records needs a few thousand segments per series instead
// of a million.
class TPolylineBuffer {
public:
    // Begins a new polyline at P; a polyline still open is dropped. Reduction
    // keeps columns whose inner points all lie in the rows Top ... Bottom.
    void Start(TPoint P, bool Reduce, int32_t Top = INT32_MIN, int32_t Bottom = INT32_MAX);
    // Adds a line to P; starts at the current position (with the last settings)
    // when no polyline is open.
    void Add(TPoint P)
    {
        if (IsOpen && Reduce && P.X == RunX) {  // the common case, kept inline
            CurrentPos = P;
            Run.push_back(P.Y);
        } else {
            AddPoint(P);
        }
    }
    // Adds lines to each of Points in turn.
    void Add(const TPoint* Points, std::size_t Count);
    // Adds lines to (X, Rows[0]), ..., (X, Rows[Count - 1]): the same as Add
    // of those points, for callers that have a column's rows at hand.
    void Add(int32_t X, const int32_t* Rows, std::size_t Count);
    bool Open() const { return IsOpen; }
    // The last point given (where a following line starts).
    TPoint Current() const { return CurrentPos; }
    // Closes the polyline and returns its points (one point: nothing to draw).
    // The result stays valid until the next Start or Add.
    const std::vector<TPoint>& Finish();

private:
    void AddPoint(TPoint P);
    void EmitRun();

    std::vector<TPoint> Points;  // the polyline so far (finished columns only when reducing)
    std::vector<int32_t> Run;    // rows of the open column
    TPoint CurrentPos;
    int32_t RunX = 0;
    int32_t Top = INT32_MIN;
    int32_t Bottom = INT32_MAX;
    bool IsOpen = false;
    bool Reduce = false;
};

// Appends to Out the points of a column at X whose rows, in drawing order, are
// Rows. When there are more than a few and the inner ones (all but the first
// and the last) lie in Top ... Bottom, the inner path is replaced by at most
// six rows that an aliased one-pixel line rasteriser draws as the same set of
// pixels, with the same state handed on to the next line:
// - the first and the last line of the column stay as they are, since caps,
//   duplicate-pixel rules and the joins to the neighbouring columns depend on
//   them;
// - the new inner path leaves its first point and reaches its last point in
//   the same vertical direction as the old one (with a one-row step where
//   needed), and visits the topmost and the bottommost inner row, in the order
//   that gives the shorter path;
// - it covers every row from the topmost inner row down to, but not always
//   including, the bottommost (a line drawn downwards leaves out its end
//   pixel); the bottommost row is covered exactly when the old path turned
//   there, or reached it by the one-pixel step that ends a turn just above it,
//   so the new path turns there exactly then.
// Rows outside Top ... Bottom are left alone because a rasteriser clips lines
// there, which changes the pixels it hands on at the turns.
void ReduceColumn(int32_t X, const std::vector<int32_t>& Rows, int32_t Top, int32_t Bottom,
                  std::vector<TPoint>& Out);
