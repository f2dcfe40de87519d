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
// between threads.

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
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
    enum class TLineKind { Other, Section, Value };
    enum class TEncoding { Utf8, Utf16LE, Utf16BE };
    struct TLine {
        std::string Text;      // UTF-8 (as read for a UTF-8 file), without its line end
        const char* End = "";  // "\n", "\r\n", "\r", or "" for a last line without one
        TLineKind Kind = TLineKind::Other;
        std::string Name;            // section or key name, trimmed
        std::size_t ValueStart = 0;  // for values: the index after the "="
        // A line of a UTF-16 file as loaded: its bytes without the line end,
        // written back as they were while no write changes the line.
        std::optional<std::string> Raw;
    };

    void Load();
    static TLine ParseLine(std::string Text, const char* End);
    // Index of the first section line named Section, or npos.
    std::size_t FindSection(const std::string& Section) const;
    // Index of the line of the first Key in the sections named Section, or npos.
    std::size_t FindValue(const std::string& Section, const std::string& Key) const;
    void InsertLine(std::size_t Index, std::string Text);

    std::string FFileName;
    bool FLoaded = false;
    bool FModified = false;
    bool FByteOrderMark = false;  // of a UTF-8 file; a UTF-16 file always has one
    TEncoding FEncoding = TEncoding::Utf8;
    const char* FNewLineEnd = "\n";
    std::vector<TLine> FLines;
};
