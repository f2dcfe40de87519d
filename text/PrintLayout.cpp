#include "text/PrintLayout.h"

#include <algorithm>

namespace {

bool Is_Line_End(char16_t C)
{
    return C == u'\n' || C == u'\r' || C == u'\u2028' || C == u'\u2029';
}

}  // namespace

std::vector<TPrint_Line> Split_Print_Lines(std::u16string_view Text)
{
    std::vector<TPrint_Line> Lines;
    const std::size_t N = Text.size();
    std::size_t Start = 0;
    for (std::size_t I = 0; I < N; ++I) {
        const char16_t C = Text[I];
        if (!Is_Line_End(C))
            continue;
        std::size_t End = I + 1;
        if (C == u'\r' && End < N && Text[End] == u'\n')
            ++End;
        Lines.push_back({Start, I - Start, End});
        Start = End;
        I = End - 1;
    }
    if (Start < N)
        Lines.push_back({Start, N - Start, N});
    return Lines;
}

int Lines_Per_Page(int Line_Height, int Page_Height)
{
    if (Line_Height <= 0)
        return std::max(Page_Height, 1);
    return std::max(Page_Height / Line_Height, 1);
}
