// Find and replace over plain text: ranges from the selection, no
// wrap-around, replace-all within a range, progress and cancel, the texts
// shown and the shared histories.

#include <cctype>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "text/TextSearch.h"

namespace {

struct TFind_Case {
    const char* Name;
    std::u16string Text;
    std::u16string What;
    std::size_t Sel_Start, Sel_Length;
    TFind_Status Status;
    std::size_t Position;  // when found
    bool In_Selection;
};

const TFind_Status Found = TFind_Status::Found, None = TFind_Status::Not_Found;

// Positions count UTF-16 code units from 0 (a Cyrillic letter is one).
const std::vector<TFind_Case> Find_Cases = {
    {"second of aab", u"aab", u"ab", 0, 0, Found, 1, false},
    {"from the caret on", u"abc abc", u"abc", 1, 0, Found, 4, false},
    {"caret past the last one", u"abc abc", u"abc", 5, 0, None, 0, false},
    {"selection is the hit: goes on after it", u"abc xx abc", u"abc", 0, 3, Found, 7, false},
    {"last hit selected: no wrap-around", u"abc xx abc", u"abc", 7, 3, None, 0, false},
    {"other selection limits the search", u"xabcx abc", u"abc", 0, 5, Found, 1, true},
    {"hit crossing the selection's end", u"xxabc abc", u"abc", 0, 4, None, 0, true},
    {"hit before the selection", u"abc xyz", u"abc", 4, 3, None, 0, true},
    {"letter case counts", u"ABC Abc abc", u"abc", 0, 0, Found, 8, false},
    {"Cyrillic positions", u"Привет, мир; мир", u"мир", 9, 0, Found, 13, false},
    {"Cyrillic case", u"МИР Мир мир", u"мир", 0, 0, Found, 8, false},
    {"pair outside the BMP is two units", u"😀a😀b", u"😀b", 0, 0, Found, 3, false},
    {"longer than the text", u"ab", u"abc", 0, 0, None, 0, false},
    {"caret past the end", u"abc", u"abc", 10, 0, None, 0, false},
    {"selection past the end", u"abc", u"abc", 1, 100, None, 0, true},
    {"empty search text", u"abc", u"", 0, 0, TFind_Status::Nothing_To_Find, 0, false},
};

class Find : public testing::TestWithParam<TFind_Case> {};

TEST_P(Find, FindsTheFirstOccurrenceInItsRange)
{
    const TFind_Case& C = GetParam();
    const TFind_Result R = Find_Next(C.Text, C.What, C.Sel_Start, C.Sel_Length);
    EXPECT_EQ(R.Status, C.Status);
    if (C.Status == Found) {
        EXPECT_EQ(R.Position, C.Position);
    }
    EXPECT_EQ(R.In_Selection, C.In_Selection);
}

INSTANTIATE_TEST_SUITE_P(TextSearch, Find, testing::ValuesIn(Find_Cases), [](const auto& Info) {
    std::string N;
    for (const char* P = Info.param.Name; *P; ++P)
        N += std::isalnum(static_cast<unsigned char>(*P)) ? *P : '_';
    return N;
});

TEST(TextSearch, FindRangeFollowsTheSelection)
{
    const std::u16string T = u"abc xx abc";
    EXPECT_EQ(Find_Range(T, u"abc", 4, 0), (TSearch_Range{4, 10}));  // caret: to the end
    EXPECT_EQ(Find_Range(T, u"abc", 4, 2), (TSearch_Range{4, 6}));   // the selection
    EXPECT_EQ(Find_Range(T, u"abc", 0, 3), (TSearch_Range{3, 10}));  // after the hit
    EXPECT_EQ(Find_Range(T, u"abc", 8, 99), (TSearch_Range{8, 10}));
    EXPECT_EQ(Find_Range(T, u"abc", 99, 0), (TSearch_Range{10, 10}));
}

TEST(TextSearch, FindRepeatedWalksThroughEveryOccurrenceAndStops)
{
    // F3 again and again, selecting each hit as the editor does.
    const std::u16string T = u"мир и мир, и ещё мир";
    std::vector<std::size_t> Hits;
    std::size_t Start = 0, Length = 0;
    for (int I = 0; I < 10; ++I) {
        const TFind_Result R = Find_Next(T, u"мир", Start, Length);
        if (R.Status != Found)
            break;
        Hits.push_back(R.Position);
        Start = R.Position;
        Length = 3;
    }
    EXPECT_EQ(Hits, (std::vector<std::size_t>{0, 6, 17}));
}

struct TReplace_Case {
    const char* Name;
    std::u16string Text, What, With;
    std::size_t Sel_Start, Sel_Length;
    std::u16string Expected;
    std::size_t Count;
    std::size_t Caret;
};

const std::vector<TReplace_Case> Replace_Cases = {
    {"a by aa: each once", u"aaa", u"a", u"aa", 0, 0, u"aaaaaa", 3, 0},
    {"only inside the selection", u"a a a a", u"a", u"b", 2, 3, u"a b b a", 2, 2},
    {"selection cutting an occurrence", u"abab", u"ab", u"X", 0, 3, u"Xab", 1, 0},
    {"by nothing", u"abcabc", u"abc", u"", 0, 0, u"", 2, 0},
    {"overlapping occurrences", u"aaaa", u"aa", u"b", 0, 0, u"bb", 2, 0},
    {"caret follows text before it", u"xx yy xx", u"xx", u"z", 6, 0, u"z yy z", 2, 5},
    {"caret inside an occurrence", u"abcd", u"bc", u"", 2, 0, u"ad", 1, 1},
    {"caret inside, longer replacement", u"abcd", u"bc", u"XYZ", 2, 0, u"aXYZd", 1, 2},
    {"Cyrillic", u"мир, мир", u"мир", u"world", 0, 0, u"world, world", 2, 0},
    {"into Cyrillic", u"ab ab", u"ab", u"жук", 3, 0, u"жук жук", 2, 4},
    {"letter case counts", u"Ab ab AB", u"ab", u"x", 0, 0, u"Ab x AB", 1, 0},
    {"none found", u"abc", u"x", u"y", 0, 0, u"abc", 0, 0},
    {"the same text", u"abab", u"ab", u"ab", 0, 0, u"abab", 2, 0},
    {"empty search text", u"abc", u"", u"y", 0, 0, u"abc", 0, 0},
    {"selection past the end", u"abab", u"ab", u"X", 2, 50, u"abX", 1, 2},
};

class Replace : public testing::TestWithParam<TReplace_Case> {};

TEST_P(Replace, ReplacesInItsRangeAndCounts)
{
    const TReplace_Case& C = GetParam();
    const TReplace_Result R = Replace_All(C.Text, C.What, C.With, C.Sel_Start, C.Sel_Length);
    EXPECT_EQ(R.Text, C.Expected);
    EXPECT_EQ(R.Count, C.Count);
    EXPECT_EQ(R.Caret, C.Caret);
    EXPECT_FALSE(R.Cancelled);
    // The changed part, put into the old text, gives the new one.
    EXPECT_EQ(R.Changed(), C.Expected != C.Text);
    std::u16string Edited = C.Text;
    Edited.replace(R.First, R.Old_End - R.First, R.Text.substr(R.First, R.New_End - R.First));
    EXPECT_EQ(Edited, C.Expected);
}

INSTANTIATE_TEST_SUITE_P(TextSearch, Replace, testing::ValuesIn(Replace_Cases),
                         [](const auto& Info) {
                             std::string N;
                             for (const char* P = Info.param.Name; *P; ++P)
                                 N += std::isalnum(static_cast<unsigned char>(*P)) ? *P : '_';
                             return N;
                         });

TEST(TextSearch, ChangedPartSpansFirstToLastReplacement)
{
    const TReplace_Result R = Replace_All(u"xxAyyAzz", u"A", u"BB", 0, 0);
    EXPECT_EQ(R.First, 2u);
    EXPECT_EQ(R.Old_End, 6u);
    EXPECT_EQ(R.New_End, 8u);
}

// A progress callback that records its calls and answers Continue_For calls
// with true, then false.
struct TProgress_Log {
    std::vector<std::size_t> Positions;
    std::vector<std::size_t> Totals;
    std::size_t Continue_For = SIZE_MAX;
    TSearch_Progress Callback()
    {
        return [this](std::size_t Position, std::size_t Total) {
            Positions.push_back(Position);
            Totals.push_back(Total);
            return Positions.size() <= Continue_For;
        };
    }
};

TEST(TextSearch, ProgressEvery4096PositionsOfTheScan)
{
    const std::u16string T(20000, u'a');
    {
        TProgress_Log Log;
        EXPECT_EQ(Find_Next(T, u"b", 0, 0, Log.Callback()).Status, None);
        EXPECT_EQ(Log.Positions, (std::vector<std::size_t>{4096, 8192, 12288, 16384}));
        EXPECT_EQ(Log.Totals, std::vector<std::size_t>(4, 20000));
    }
    {  // counted from where the scan begins, up to the end of the selection
        TProgress_Log Log;
        Find_Next(T, u"b", 100, 9000, Log.Callback());
        EXPECT_EQ(Log.Positions, (std::vector<std::size_t>{4196, 8292}));
        EXPECT_EQ(Log.Totals, std::vector<std::size_t>(2, 9100));
    }
    {  // a hit within the first 4096 positions needs none
        TProgress_Log Log;
        EXPECT_EQ(Find_Next(T + u"b", u"a", 0, 0, Log.Callback()).Position, 0u);
        EXPECT_TRUE(Log.Positions.empty());
    }
    {  // replacing a frequent string: still every 4096 positions, not every hit
        TProgress_Log Log;
        const TReplace_Result R = Replace_All(T, u"a", u"bb", 0, 0, Log.Callback());
        EXPECT_EQ(R.Count, 20000u);
        EXPECT_EQ(R.Text, std::u16string(40000, u'b'));
        EXPECT_EQ(Log.Positions, (std::vector<std::size_t>{4096, 8192, 12288, 16384}));
    }
}

TEST(TextSearch, CancelStopsTheScanAndLeavesTheTextAsItWas)
{
    const std::u16string T = std::u16string(10000, u'a') + u"b";
    TProgress_Log Find_Log;
    Find_Log.Continue_For = 1;
    const TFind_Result F = Find_Next(T, u"b", 0, 0, Find_Log.Callback());
    EXPECT_EQ(F.Status, TFind_Status::Cancelled);
    EXPECT_EQ(Find_Log.Positions.size(), 2u);  // stopped at the call that cancelled

    // Cancelled after thousands of replacements: none of them counts.
    TProgress_Log Replace_Log;
    Replace_Log.Continue_For = 1;
    const TReplace_Result R = Replace_All(T, u"a", u"xy", 0, 0, Replace_Log.Callback());
    EXPECT_TRUE(R.Cancelled);
    EXPECT_EQ(R.Count, 0u);
    EXPECT_EQ(R.Text, T);
    EXPECT_FALSE(R.Changed());
}

// The first start in [Start, End - L] by plain comparison, for checking.
std::size_t Naive_Find(const std::u16string& T, const std::u16string& W, std::size_t Start,
                       std::size_t End)
{
    for (std::size_t P = Start; P + W.size() <= End; ++P)
        if (T.compare(P, W.size(), W) == 0)
            return P;
    return std::u16string::npos;
}

TEST(TextSearch, AgreesWithPlainComparisonForEveryLengthAndRange)
{
    // Units that share their low byte ('a' U+0061, 'š' U+0161, 'b' U+0062,
    // 'Ѣ' U+0462), Cyrillic letters and a pair outside the BMP, so that the
    // skip table's collisions and every length of search string are met.
    const std::u16string Alphabet = u"aašbѢБб\U0001F600";
    std::mt19937 Random(12345);
    auto Pick = [&](std::size_t N) {
        return std::uniform_int_distribution<std::size_t>(0, N)(Random);
    };
    for (int Round = 0; Round < 3000; ++Round) {
        std::u16string T;
        const std::size_t N = Pick(300);
        for (std::size_t I = 0; I < N; ++I)
            T += Alphabet[Pick(Alphabet.size() - 1)];
        // Search strings mostly taken from the text, so that they occur.
        std::u16string W;
        const std::size_t L = 1 + Pick(11);
        if (T.size() > L && Pick(3) > 0) {
            W = T.substr(Pick(T.size() - L), L);
        } else {
            for (std::size_t I = 0; I < L; ++I)
                W += Alphabet[Pick(Alphabet.size() - 1)];
        }
        const std::size_t Start = Pick(T.size()), End = Start + Pick(T.size() - Start);
        SCOPED_TRACE(testing::Message() << "round " << Round);

        const TFind_Result F = Find_In(T, W, {Start, End});
        const std::size_t Expected = Naive_Find(T, W, Start, End);
        EXPECT_EQ(F.Status == TFind_Status::Found, Expected != std::u16string::npos);
        if (F.Status == TFind_Status::Found) {
            EXPECT_EQ(F.Position, Expected);
        }

        // Replace-all within [Start, End): left to right, never overlapping.
        std::u16string Replaced = T.substr(0, Start);
        std::size_t Count = 0, P = Start;
        for (std::size_t Hit = Naive_Find(T, W, P, End); Hit != std::u16string::npos;
             Hit = Naive_Find(T, W, P, End)) {
            Replaced += T.substr(P, Hit - P) + u"<>";
            P = Hit + W.size();
            ++Count;
        }
        Replaced += T.substr(P);
        const TReplace_Result R = Replace_All(T, W, u"<>", Start, End - Start);
        if (End > Start) {
            EXPECT_EQ(R.Text, Replaced);
            EXPECT_EQ(R.Count, Count);
        }
    }
}

TEST(TextSearch, FindsOccurrencesAcrossTheProgressSteps)
{
    // Occurrences that start before a multiple of 4096 and end after it.
    for (const std::size_t Length :
         {std::size_t{1}, std::size_t{3}, std::size_t{4}, std::size_t{9}}) {
        const std::u16string W(Length, u'ж');
        for (const std::size_t At : {std::size_t{4095}, 4096 - Length / 2, std::size_t{8191}}) {
            std::u16string T(10000, u'x');
            T.replace(At, Length, W);
            TProgress_Log Log;
            const TFind_Result R = Find_Next(T, W, 0, 0, Log.Callback());
            EXPECT_EQ(R.Status, Found);
            EXPECT_EQ(R.Position, At) << Length;
            EXPECT_EQ(Replace_All(T, W, u"", 0, 0).Count, 1u);
        }
    }
}

TEST(TextSearch, TextsShown)
{
    const std::vector<std::pair<std::u16string, std::u16string>> Cases = {
        {Nothing_To_Find_Text(), u"Поиск невозможен — неизвестно, что искать"},
        {Not_Found_Text(u"abc", false), u"Текст «abc» не найден"},
        {Not_Found_Text(u"мир", true), u"В выделенном блоке текст «мир» не найден"},
        {Find_Caption(u"мир"), u"Поиск «мир»"},
        {Replace_Caption(u"a", u"бб"), u"Замена «a» на «бб»"},
        {Replace_Status_Text(0), u"Замены не найдены. "},
        {Replace_Status_Text(3), u"Выполнено замен: 3. "},
        {Replace_Status_Text(1234567), u"Выполнено замен: 1 234 567. "},
    };
    for (const auto& [Got, Expected] : Cases)
        EXPECT_EQ(Got, Expected);
}

TEST(TextSearch, HistoriesKeepTheMostRecentFirstWithoutRepeats)
{
    using THistory = std::vector<std::u16string>;
    const std::vector<std::tuple<THistory, std::u16string, THistory>> Cases = {
        {{}, u"a", {u"a"}},
        {{u"a", u"b"}, u"c", {u"c", u"a", u"b"}},
        {{u"a", u"b", u"c"}, u"c", {u"c", u"a", u"b"}},
        {{u"a", u"b", u"c"}, u"a", {u"a", u"b", u"c"}},
        {{u"a", u"b", u"c"}, u"B", {u"B", u"a", u"b", u"c"}},  // letter case counts
    };
    for (auto [History, Text, Expected] : Cases) {
        Move_To_Top(History, Text);
        EXPECT_EQ(History, Expected);
    }

    TSearch_Memory M;
    M.Remember_Search(u"мир");
    M.Remember_Replace(u"ab", u"cd");
    M.Remember_Replace(u"мир", u"world");
    EXPECT_EQ(M.Last_Search, u"мир");
    EXPECT_EQ(M.Last_Replace, u"world");
    EXPECT_EQ(M.Search_History, (std::vector<std::u16string>{u"мир", u"ab"}));
    EXPECT_EQ(M.Replace_History, (std::vector<std::u16string>{u"world", u"cd"}));
    EXPECT_EQ(&Search_Memory(), &Search_Memory());
}

}  // namespace
