// Printed lines of a text and lines per page.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "text/PrintLayout.h"

namespace {

std::vector<std::u16string> Line_Texts(const std::u16string& Text)
{
    std::vector<std::u16string> Out;
    for (const TPrint_Line& L : Split_Print_Lines(Text))
        Out.push_back(Text.substr(L.Start, L.Length));
    return Out;
}

TEST(PrintLayout, LinesEndAtEveryLineEnd)
{
    using TLines = std::vector<std::u16string>;
    const std::vector<std::pair<std::u16string, TLines>> Cases = {
        {u"", {}},
        {u"a", {u"a"}},
        {u"a\n", {u"a"}},
        {u"\n", {u""}},
        {u"a\r\nb", {u"a", u"b"}},
        {u"a\nb\n", {u"a", u"b"}},
        {u"a\n\nb", {u"a", u"", u"b"}},  // an empty line stays a line
        {u"a\n\n\nb", {u"a", u"", u"", u"b"}},
        {u"a\r\n\r\nb\r\n", {u"a", u"", u"b"}},
        {u"a\r\rb", {u"a", u"", u"b"}},
        {u"a\n\rb", {u"a", u"", u"b"}},
        {u"a\rb", {u"a", u"b"}},
        {u"a\u2029\u2029b", {u"a", u"", u"b"}},
        {u"a\u2028b", {u"a", u"b"}},
        {u"Строка 1\r\nСтрока 2", {u"Строка 1", u"Строка 2"}},
    };
    for (const auto& [Text, Expected] : Cases)
        EXPECT_EQ(Line_Texts(Text), Expected);
}

TEST(PrintLayout, LineEndsArePartOfTheirLine)
{
    EXPECT_EQ(Split_Print_Lines(u"ab\r\ncd\ne"),
              (std::vector<TPrint_Line>{{0, 2, 4}, {4, 2, 7}, {7, 1, 8}}));
}

TEST(PrintLayout, LinesPerPage)
{
    const std::vector<std::tuple<int, int, int>> Cases = {
        // line height, page height, lines
        {10, 100, 10}, {10, 109, 10}, {10, 99, 9}, {10, 10, 1}, {10, 5, 1}, {57, 3000, 52},
    };
    for (const auto& [Line, Page, Expected] : Cases)
        EXPECT_EQ(Lines_Per_Page(Line, Page), Expected) << Line << " " << Page;
}

}  // namespace
