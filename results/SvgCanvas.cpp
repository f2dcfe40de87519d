#include "results/SvgCanvas.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <string_view>

#include "engine/Calc.h"
#include "text/Utf8Text.h"

namespace {

// Text of the chart messages: 12 px, baseline one ascent below the top.
constexpr int FontSize = 12;
constexpr int FontAscent = 11;

void AppendNumber(std::string& Out, int64_t Value)
{
    char Buffer[24];
    const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, Value);
    Out.append(Buffer, Result.ptr);
}

// Attribute text x="..." y="..." width="..." height="..." of a rectangle with
// exclusive right and bottom; an inverted rectangle is empty.
void AppendBox(std::string& Out, const TRect& Rect)
{
    const int64_t Width = std::max<int64_t>(0, int64_t{Rect.Right} - Rect.Left);
    const int64_t Height = std::max<int64_t>(0, int64_t{Rect.Bottom} - Rect.Top);
    Out += "x=\"";
    AppendNumber(Out, Rect.Left);
    Out += "\" y=\"";
    AppendNumber(Out, Rect.Top);
    Out += "\" width=\"";
    AppendNumber(Out, Width);
    Out += "\" height=\"";
    AppendNumber(Out, Height);
    Out += '"';
}

bool ParseDimension(const std::string& Text, int& Value)
{
    if (Text.empty() || Text.size() > 6)
        return false;
    int Result = 0;
    const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Result);
    if (Error != std::errc() || End != Text.data() + Text.size() || Result < SvgMinSize ||
        Result > SvgMaxSize)
        return false;
    Value = Result;
    return true;
}

}  // namespace

bool ParseSvgSize(const std::string& Text, int& Width, int& Height)
{
    const std::size_t Cross = Text.find('x');
    if (Cross == std::string::npos)
        return false;
    int W = 0;
    int H = 0;
    // from_chars takes no sign, blank or '+', so only digits pass.
    if (!ParseDimension(Text.substr(0, Cross), W) || !ParseDimension(Text.substr(Cross + 1), H))
        return false;
    Width = W;
    Height = H;
    return true;
}

std::string XmlEscape(const std::string& Text)
{
    static const std::string Replacement = "\xEF\xBF\xBD";  // U+FFFD
    std::string Out;
    Out.reserve(Text.size());
    std::size_t Offset = 0;
    while (Offset < Text.size()) {
        const std::size_t Size = Utf8CharSize(Text, Offset);
        const unsigned char Lead = static_cast<unsigned char>(Text[Offset]);
        if (Size == 1) {
            switch (Lead) {
            case '&': Out += "&amp;"; break;
            case '<': Out += "&lt;"; break;
            case '>': Out += "&gt;"; break;
            case '"': Out += "&quot;"; break;
            case '\'': Out += "&apos;"; break;
            case '\t':
            case '\n':
            case '\r': Out += static_cast<char>(Lead); break;
            default:
                // Control characters are not allowed in XML, stray bytes are not UTF-8.
                if (Lead < 0x20 || Lead >= 0x80)
                    Out += Replacement;
                else
                    Out += static_cast<char>(Lead);
            }
        } else {
            const std::string_view Char(Text.data() + Offset, Size);
            // U+FFFE and U+FFFF are not XML characters either.
            if (Char == "\xEF\xBF\xBE" || Char == "\xEF\xBF\xBF")
                Out += Replacement;
            else
                Out += Char;
        }
        Offset += Size;
    }
    return Out;
}

TSvgCanvas::TSvgCanvas(int32_t Width, int32_t Height)
    : Width(std::max(Width, 0)), Height(std::max(Height, 0))
{}

void TSvgCanvas::SetPen(TColor Color)
{
    Flush();
    Pen = Color;
}

void TSvgCanvas::MoveTo(int32_t X, int32_t Y)
{
    Flush();
    Polyline.Start(TPoint{X, Y}, true);
}

void TSvgCanvas::LineTo(int32_t X, int32_t Y)
{
    if (!Polyline.Open())
        Polyline.Start(Polyline.Current(), true);
    Polyline.Add(TPoint{X, Y});
}

void TSvgCanvas::LinesTo(const TPoint* Points, std::size_t Count)
{
    if (Count == 0)
        return;
    if (!Polyline.Open())
        Polyline.Start(Polyline.Current(), true);
    Polyline.Add(Points, Count);
}

bool TSvgCanvas::ReducesColumns(int32_t& Top, int32_t& Bottom) const
{
    // Every polyline is reduced, over all rows (MoveTo, LineTo).
    Top = INT32_MIN;
    Bottom = INT32_MAX;
    return true;
}

void TSvgCanvas::Flush()
{
    if (!Polyline.Open())
        return;
    const std::vector<TPoint>& Points = Polyline.Finish();
    if (Points.size() < 2)
        return;
    // The half-pixel shift puts a line through integer coordinates onto the
    // middle of its pixels.
    Body += "<polyline fill=\"none\" stroke=\"" + ColorToHex(Pen) +
            "\" stroke-width=\"1\" stroke-linecap=\"square\" shape-rendering=\"crispEdges\""
            " transform=\"translate(0.5 0.5)\" points=\"";
    // A point that repeats the one before it adds a line of length 0 inside
    // the polyline, which draws nothing: it is left out. A polyline of one
    // point repeated keeps two, the dot its square caps draw.
    const auto AppendPoint = [this](TPoint P) {
        AppendNumber(Body, P.X);
        Body += ',';
        AppendNumber(Body, P.Y);
    };
    AppendPoint(Points[0]);
    std::size_t Written = 1;
    for (std::size_t I = 1; I < Points.size(); ++I) {
        if (Points[I] == Points[I - 1])
            continue;
        Body += ' ';
        AppendPoint(Points[I]);
        ++Written;
    }
    if (Written == 1) {
        Body += ' ';
        AppendPoint(Points[0]);
    }
    Body += "\"/>\n";
}

void TSvgCanvas::TextRect(const TRect& Clip, int32_t X, int32_t Y, const std::string& Text)
{
    Flush();
    const std::string Id = "clip" + std::to_string(++ClipCount);
    Body += "<clipPath id=\"" + Id + "\"><rect ";
    AppendBox(Body, Clip);
    Body += "/></clipPath>\n";
    // A white halo behind the glyphs keeps the text readable over the lines.
    Body += "<text x=\"";
    AppendNumber(Body, X);
    Body += "\" y=\"";
    AppendNumber(Body, int64_t{Y} + FontAscent);
    Body += "\" font-family=\"sans-serif\" font-size=\"" + std::to_string(FontSize) + "\" fill=\"" +
            ColorToHex(TextColor) + "\" stroke=\"" + ColorToHex(BackColor) +
            "\" stroke-width=\"3\" paint-order=\"stroke\" xml:space=\"preserve\""
            " clip-path=\"url(#" +
            Id + ")\">" + XmlEscape(Text) + "</text>\n";
}

void TSvgCanvas::FillRect(const TRect& Rect, TColor Color)
{
    Flush();
    Body += "<rect ";
    AppendBox(Body, Rect);
    Body += " fill=\"" + ColorToHex(Color) + "\" shape-rendering=\"crispEdges\"/>\n";
}

std::string TSvgCanvas::Document()
{
    Flush();
    std::string Out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
    AppendNumber(Out, Width);
    Out += "\" height=\"";
    AppendNumber(Out, Height);
    Out += "\" viewBox=\"0 0 ";
    AppendNumber(Out, Width);
    Out += ' ';
    AppendNumber(Out, Height);
    Out += "\">\n";
    Out += Body;
    Out += "</svg>\n";
    return Out;
}

std::string ChartSvg(const TCalc& Calc, int Width, int Height)
{
    if (Width < SvgMinSize || Width > SvgMaxSize || Height < SvgMinSize || Height > SvgMaxSize)
        throw std::invalid_argument("chart size out of range");
    const TRect Rect{0, 0, Width, Height};
    TSvgCanvas Canvas(Width, Height);
    Canvas.FillRect(Rect, BackColor);
    Calc.DrawChart(Canvas, Rect);
    return Canvas.Document();
}
