#pragma once
// Text laid out for printing, without a printer: where its lines are and how
// many fit on a page. Texts are UTF-16 and positions count UTF-16 code units,
// as in text/TextSearch.h.

#include <cstddef>
#include <string_view>
#include <vector>

// One line of a text: [Start, Start + Length) without its line end; End is
// the position after the line end (where the next line starts).
struct TPrint_Line {
    std::size_t Start = 0;
    std::size_t Length = 0;
    std::size_t End = 0;
    bool operator==(const TPrint_Line&) const = default;
};

// The lines of Text. A line ends at CR LF, or at a lone LF, CR, U+2028 (line
// separator) or U+2029 (paragraph separator); two line ends in a row make an
// empty line. After the last line end, what follows is one more line only
// when it is not empty, so "a\n" is one line and "" none.
std::vector<TPrint_Line> Split_Print_Lines(std::u16string_view Text);

// How many lines of Line_Height fit on a page of Page_Height, the first at the
// top: a line at y fits while y + Line_Height <= Page_Height. At least one, so
// that a line higher than the page still gets a page of its own.
int Lines_Per_Page(int Line_Height, int Page_Height);
