#pragma once
// Find and replace over plain text, without a window: the rules of the text
// editor's Find, Find next (F3) and Replace, the texts they show, and the
// search and replacement strings remembered for the program's run.
//
// Texts are UTF-16 (std::u16string), as the edit area holds them, and every
// position and length counts UTF-16 code units from 0: the positions of the
// edit area's cursor (QTextCursor::position, QString indexes). A Latin or
// Cyrillic letter is one unit; a character outside the Basic Multilingual
// Plane (an emoji) is two, in the edit area as here, so a well-formed search
// string never matches inside such a pair.
//
// Comparison is exact: letter case counts and nothing is normalised.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// A scan tells its progress every this many positions.
inline constexpr std::size_t Search_Progress_Step = 4096;

// Told the position reached and the end of the scanned range every
// Search_Progress_Step positions; returns false to cancel the scan.
using TSearch_Progress = std::function<bool(std::size_t Position, std::size_t Total)>;

// Positions [Start, End) of a text.
struct TSearch_Range {
    std::size_t Start = 0;
    std::size_t End = 0;
    bool operator==(const TSearch_Range&) const = default;
};

// The range Find next searches, from the selection [Sel_Start, Sel_Start +
// Sel_Length) (length 0: the caret at Sel_Start): without a selection, from
// the caret to the end of the text; with one, the selection itself, except
// when the selected text is What: then from the end of the selection to the
// end of the text (the search goes on after the previous hit). Never past the
// end of Text.
TSearch_Range Find_Range(std::u16string_view Text, std::u16string_view What, std::size_t Sel_Start,
                         std::size_t Sel_Length);

enum class TFind_Status {
    Found,
    Not_Found,
    Cancelled,
    Nothing_To_Find  // What is empty
};

struct TFind_Result {
    TFind_Status Status = TFind_Status::Not_Found;
    std::size_t Position = 0;  // where the occurrence starts, when found
    // The search was limited to a selection (that is not What itself): the
    // warning then names the selected block.
    bool In_Selection = false;
};

// The first occurrence of What that starts at or after Range.Start and ends at
// or before Range.End. No wrap-around.
TFind_Result Find_In(std::u16string_view Text, std::u16string_view What, TSearch_Range Range,
                     const TSearch_Progress& Progress = {});

// Find next as the editor runs it: Find_Range from the selection, then Find_In.
TFind_Result Find_Next(std::u16string_view Text, std::u16string_view What, std::size_t Sel_Start,
                       std::size_t Sel_Length, const TSearch_Progress& Progress = {});

struct TReplace_Result {
    // The text after the replacements: a new string; the text given is never
    // changed. Equal to it when cancelled or when nothing was replaced.
    std::u16string Text;
    std::size_t Count = 0;  // replacements made (0 when cancelled)
    bool Cancelled = false;
    // Where the caret goes: the selection start, moved along with the text
    // replaced in front of it.
    std::size_t Caret = 0;
    // The part that differs, for putting it back as one edit: [First,
    // Old_End) of the old text became [First, New_End) of Text. All three
    // are 0 when nothing changed.
    std::size_t First = 0;
    std::size_t Old_End = 0;
    std::size_t New_End = 0;
    bool Changed() const { return New_End != First || Old_End != First; }
};

// Replaces every occurrence of What by With in the selection [Sel_Start,
// Sel_Start + Sel_Length), or in the whole text when Sel_Length is 0. The
// scan goes left to right and continues after each inserted With (a
// replacement is never searched again), so replacing "a" by "aa" in "aaa"
// gives "aaaaaa" and 3. Text outside the range stays as it was. Cancel
// (Progress returning false) gives Cancelled, Count 0 and the text unchanged.
// Nothing_To_Find (What empty) is the caller's check: an empty What replaces
// nothing.
TReplace_Result Replace_All(std::u16string_view Text, std::u16string_view What,
                            std::u16string_view With, std::size_t Sel_Start, std::size_t Sel_Length,
                            const TSearch_Progress& Progress = {});

// The texts the editor shows. The warnings come without the "!" that
// Dialog_Warning adds.
std::u16string Nothing_To_Find_Text();  // "Поиск невозможен — неизвестно, что искать"
// "Текст «What» не найден", or "В выделенном блоке текст «What» не найден".
std::u16string Not_Found_Text(std::u16string_view What, bool In_Selection);
std::u16string Find_Caption(std::u16string_view What);  // "Поиск «What»"
// "Замена «What» на «With»"
std::u16string Replace_Caption(std::u16string_view What, std::u16string_view With);
// What the first status panel shows in front of its line count after a
// replace: "Выполнено замен: 1 234. ", or "Замены не найдены. " for 0.
std::u16string Replace_Status_Text(std::size_t Count);

// The search and replacement strings of the program's run, shared by every
// editor window and by Find and Replace (one search history).
struct TSearch_Memory {
    std::u16string Last_Search;
    std::u16string Last_Replace;
    std::vector<std::u16string> Search_History;   // most recent first
    std::vector<std::u16string> Replace_History;  // most recent first

    // Last_Search := What, moved to the top of the search history (or put
    // there when new).
    void Remember_Search(const std::u16string& What);
    // Remember_Search(What), and the same for With and the replacements.
    void Remember_Replace(const std::u16string& What, const std::u16string& With);
};

// The program's one memory.
TSearch_Memory& Search_Memory();

// Moves Text to the front of History, or inserts it there when it is new.
void Move_To_Top(std::vector<std::u16string>& History, const std::u16string& Text);
