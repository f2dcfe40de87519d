#include "text/Utf8Text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TEST(Utf8Text, CountsCharactersNotBytes)
{
    const struct {
        std::string S;
        std::size_t Length;
    } Cases[] = {
        {"", 0},
        {"abc", 3},
        {"Длина", 5},
        {"1.5 кПа", 7},
        {"«_»", 3},
        {"\xf0\x9f\x98\x80", 1},
        // Bytes that start no well-formed character count one each.
        {"\xff\xfe", 2},
        {"\xd0", 1},
        {"a\xd0", 2},
        {"\xd0"
         "a",
         2},
        {"\x80\x80", 2},
        {"\xc0\xaf", 2},          // overlong "/"
        {"\xed\xa0\x80", 3},      // surrogate
        {"\xf4\x90\x80\x80", 4},  // above U+10FFFF
        {"\xe2\x82", 2},
        {"\xe2\x82\xac", 1},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(Utf8Length(C.S), C.Length) << C.S;
}

TEST(Utf8Text, OffsetsOfCharacters)
{
    const std::string S = "аb\xffв";
    const std::size_t Offsets[] = {0, 2, 3, 4, S.size()};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Utf8Offset(S, i), Offsets[i]) << i;
    EXPECT_EQ(Utf8Offset(S, 99), S.size());
    EXPECT_EQ(Utf8Length(S, 2, 4), 2u);
    EXPECT_EQ(Utf8CharSize(S, S.size()), 0u);
}

TEST(Utf8Text, PadLeftCountsCharacters)
{
    const struct {
        std::string S;
        int Width;
        std::string Expected;
    } Cases[] = {
        {"Па", 5, "   Па"}, {"кПа", 3, "кПа"},       {"12.5", 6, "  12.5"},
        {"", 2, "  "},      {"abcdef", 3, "abcdef"}, {"x", 0, "x"},
        {"x", -5, "x"},     {"x", INT_MIN, "x"},     {"\xff", 3, "  \xff"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(Pad_Left(C.S, C.Width), C.Expected) << C.S;
    EXPECT_EQ(Pad_Left("x", INT_MAX).size(), static_cast<std::size_t>(Pad_Max_Width));
}

}  // namespace
