#pragma once
// Profile (INI) files: "[Section]" lines open sections, "Key=Value" lines
// carry the values.
//
// Reading rules
// - Section and key names match without regard to ASCII letter case; blanks
//   and tabs around names and values are ignored. A value keeps everything
//   after the first "=" of its line.
// - A line ends at LF, at CR LF, or at a CR alone (old Macintosh files); the
//   three may be mixed.
// - A file is UTF-8 text (or any bytes, taken as they are), with or without a
//   UTF-8 byte-order mark, which is skipped. A file starting with a UTF-16
//   byte-order mark (FF FE little-endian, FE FF big-endian) is UTF-16 text: it
//   is decoded to UTF-8, and what is not UTF-16 (an unpaired surrogate, an odd
//   last byte) reads as U+FFFD. UTF-16 without a byte-order mark is not
//   recognised.
// - The first of two equal keys counts, also across two sections of the same
//   name (the first section is searched first).
// - Lines starting with ";" or "#" are comments. Comments, blank lines, lines
//   without "=", a "[" line without "]" and any other text are kept as they
//   are and otherwise ignored; keys before the first section belong to none.
// - A missing file reads as empty. A file that exists but cannot be read (a
//   folder, no permission, not a regular file, larger than 64 MiB) raises
//   TProfileError.
//
// Writing rules
// - A write changes the first matching key in place (the text up to and
//   including its "=" is kept), or adds "Key=Value" after the last key line of
//   the first matching section, or adds "[Section]" and the key at the end of
//   the file. Every other line keeps its bytes and its place.
// - CR and LF inside a written value are replaced by blanks, so a value always
//   stays on its own line. Names that would not read back as written (empty,
//   with a line break, "=" in a key, "]" in a section) raise TProfileError.
// - Line ends of new lines follow the file's first line end; a new file gets
//   LF. Every line written ends with a line end. The byte-order mark of the
//   file is kept; a new file gets none.
// - A file keeps its encoding: a UTF-16 file is written back in UTF-16 of its
//   byte order. Its lines that no write changed keep their bytes, also where
//   reading replaced something by U+FFFD; changed and new lines are encoded
//   from their UTF-8 text (a byte that is not UTF-8 becomes U+FFFD).
// - Writes only change the object. Commit() replaces the file once, through a
//   temporary file in the same folder that is flushed to the disk and renamed
//   over the old one (text/AtomicWrite.h): a failed commit leaves the old file
//   whole.
//
// The file is loaded on first access; reads after writes see the written
// values. One object is meant for one load or one save; it is not shared
// between threads. A loaded file takes its own size in memory and eight bytes
// for each section or key line (other lines cost nothing beyond their bytes);
// loading and each read take time in proportion to the file's size.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Section and key names match without regard to ASCII letter case: the key a
// name is matched by, and the match itself.
std::string ProfileNameKey(std::string Name);
bool SameProfileName(const std::string& A, const std::string& B);

class TProfileError : public std::runtime_error {
public:
    using runtime_error::runtime_error;
};

// The integer of a key's text as ReadInteger takes it: an optional sign and
// decimal digits within 32 bits, the whole text; nullopt for any other text
// (including an empty one).
std::optional<int> IntegerValue(std::string_view Text);

class TProfile {
public:
    explicit TProfile(std::string FileName);  // does not touch the disk

    const std::string& FileName() const { return FFileName; }

    std::string ReadString(const std::string& Section, const std::string& Key,
                           const std::string& Default);
    // An optional sign and decimal digits within 32 bits; any other text
    // (including an empty one) gives Default.
    int ReadInteger(const std::string& Section, const std::string& Key, int Default);
    // An integer, non-zero meaning true; any other text gives Default.
    bool ReadBool(const std::string& Section, const std::string& Key, bool Default);

    void WriteString(const std::string& Section, const std::string& Key, const std::string& Value);
    void WriteInteger(const std::string& Section, const std::string& Key, int Value);
    void WriteBool(const std::string& Section, const std::string& Key, bool Value);  // "1"/"0"

    bool SectionExists(const std::string& Section);
    bool ValueExists(const std::string& Section, const std::string& Key);
    // The key names of every section named Section, in file order, trimmed and
    // spelled as in the file; equal names are listed each time.
    std::vector<std::string> KeyNames(const std::string& Section);
    // True when the file holds no text: no bytes, or only blanks, tabs and line
    // ends after its byte-order mark (also a missing file).
    bool Blank();

    // True when there are writes that Commit() has not yet stored.
    bool Modified() const { return FModified; }
    // The file's content as Commit() would store it (in the file's encoding).
    std::string Text();
    // Stores the writes: replaces the file once, atomically. Does nothing when
    // there is nothing to store. Throws TProfileError (naming the file and the
    // reason) when the file cannot be replaced; the old file stays as it was.
    void Commit();

private:
    enum class TEncoding { Utf8, Utf16LE, Utf16BE };
    enum class TKind { Other, Section, Value };
    // What a line says, parsed from its text.
    struct TParsed {
        TKind Kind = TKind::Other;
        std::string Name;            // section or key name, trimmed
        std::size_t ValueStart = 0;  // for values: the index after the "="
    };
    // A section or key line; the other lines stay in the file's text only.
    struct TEntry {
        uint32_t Where;  // a line of the file: its first unit; a new line: its index in FWritten
        uint32_t Bits;   // what the line is, where its text lives, its name's hash (Profile.cpp)
    };
    // The text of a new line or of a line of the file that a write changed.
    struct TWritten {
        std::string Text;      // UTF-8, without its line end
        const char* End = "";  // a new line's end (a changed line keeps the file's)
    };

    void Load();
    static TParsed ParseLine(std::string_view Text);
    // Units: bytes of a UTF-8 file, code units of a UTF-16 file, after the mark.
    char32_t Unit(std::size_t I) const;
    std::size_t LineStop(std::size_t Start) const;  // the unit that ends the line, or FUnits
    std::size_t LineNext(std::size_t Stop) const;   // the first unit after the line end
    const char* EndAt(std::size_t Stop) const;      // "\n", "\r\n", "\r" or ""
    std::string UnitsText(std::size_t First, std::size_t Last) const;  // as UTF-8
    // The UTF-8 text of a line without its end, in Buffer when it is not at hand.
    std::string_view EntryText(const TEntry& Entry, std::string& Buffer) const;
    TParsed ParseEntry(const TEntry& Entry) const;
    bool EntryNamed(const TEntry& Entry, const std::string& Name, uint32_t Hash) const;
    // Index of the first section entry named Section, or npos.
    std::size_t FindSection(const std::string& Section) const;
    // Index of the entry of the first Key in the sections named Section, or npos.
    std::size_t FindValue(const std::string& Section, const std::string& Key) const;
    void ChangeText(std::size_t Index, std::string Text);
    // A new line before entry Index (FEntries.size(): after the last one), or
    // at the end of the file.
    void InsertLine(std::size_t Index, bool AtEnd, std::string Text);
    void AppendUnits(std::string& Out, std::size_t First, std::size_t Last) const;
    void AppendText(std::string& Out, std::string_view Text) const;

    std::string FFileName;
    bool FLoaded = false;
    bool FModified = false;
    bool FByteOrderMark = false;  // of a UTF-8 file; a UTF-16 file always has one
    TEncoding FEncoding = TEncoding::Utf8;
    const char* FNewLineEnd = "\n";
    std::string FContent;          // the file's bytes as read
    std::size_t FTextStart = 0;    // where the text starts, after the byte-order mark
    std::size_t FUnits = 0;        // units of text
    std::vector<TEntry> FEntries;  // the section and key lines, in file order
    std::vector<TWritten> FWritten;
    std::unordered_map<uint32_t, uint32_t> FChanged;  // changed line of the file -> FWritten
    // The file's last line had no line end and gets this one, because a new
    // line follows it; in a UTF-16 file with an odd last byte it is then
    // written from its text.
    const char* FLastEnd = "";
    bool FLastFromText = false;
};
