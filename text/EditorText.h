#pragma once
// What the text editor reads, writes and shows that needs no window: how the
// bytes of a file become its text (UTF-8 when they are UTF-8, Windows-1251
// otherwise), how a text goes back into a file with its line ends, and the
// texts of the status bar.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The most bytes of a file the editor loads; a longer file is loaded only in
// part, after the user agreed.
inline constexpr std::size_t EditorFileLimit = 30000;

// Line ends of a text: the editor writes a text back with the kind it had.
enum class TLineEnd { Lf, CrLf, Cr };

// The kind of the first line end in Text; Default when Text has none.
TLineEnd FirstLineEnd(std::string_view Text, TLineEnd Default);
// "\n", "\r\n" or "\r".
std::string_view LineEndText(TLineEnd LineEnd);

struct TEditorFileText {
    std::string Text;  // UTF-8, line ends as they were in the file
    bool Utf8 = true;  // the bytes were read as UTF-8, not as Windows-1251
    TLineEnd LineEnd = TLineEnd::Lf;
};

// The text of a file's bytes. Bytes that are well-formed UTF-8 (after an
// optional byte-order mark, which is dropped) are UTF-8; any other bytes are
// Windows-1251. Cut says that Bytes are only the beginning of the file: a
// UTF-8 character cut in two at their end is then dropped instead of making
// the whole text Windows-1251. LineEnd is that of the first line end (LF
// when there is none).
TEditorFileText DecodeEditorFile(std::string_view Bytes, bool Cut);

// A UTF-8 text whose lines end in "\n" (as the edit area gives it out),
// written with LineEnd instead.
std::string EncodeEditorText(std::string_view Text, TLineEnd LineEnd);

// The number of lines of a text that the edit area holds in Blocks
// paragraphs, the last of them empty or not: a line end at the very end of
// the text opens no line of its own, and an empty text has no line.
std::int64_t EditorLineCount(std::int64_t Blocks, bool LastBlockEmpty);

// The size of a text of Length characters (each line end counted once) with
// LineEnds line ends, as it is saved with LineEnd: CR LF counts two.
std::int64_t EditorTextSize(std::int64_t Length, std::int64_t LineEnds, TLineEnd LineEnd);

// The status bar's panels: Word followed by the number with digit groups
// ("Строк: 1 234"); the size panel starts with "* " while the text has
// changes that are not saved.
std::string EditorLinesText(std::string_view Word, std::int64_t Lines);
std::string EditorSizeText(std::string_view Word, std::int64_t Size, bool Modified);

// The question before a file longer than the limit is loaded in part:
// First + Name + Middle + the limit with digit groups ("30 000") + Last.
std::string EditorSizeQuestion(std::string_view First, std::string_view Name,
                               std::string_view Middle, std::string_view Last);
