#pragma once
// Profile (INI) files: "[Section]" lines open sections, "Key=Value" lines
// carry the values.
//
// Reading rules
// - Section and key names match without regard to ASCII letter case; blanks
//   and tabs around names and values are ignored. A value keeps everything
//   after the first "=" of its line.
// - LF and CR LF line ends are understood; a UTF-8 byte-order mark at the
//   start of the file is skipped.
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
// - Writes only change the object. Commit() replaces the file once, through a
//   temporary file in the same folder that is flushed to the disk and renamed
//   over the old one (text/AtomicWrite.h): a failed commit leaves the old file
//   whole.
//
// The file is loaded on first access; reads after writes see the written
// values. One object is meant for one load or one save; it is not shared
// between threads.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

class TProfileError : public std::runtime_error {
public:
    using runtime_error::runtime_error;
};

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

    // True when there are writes that Commit() has not yet stored.
    bool Modified() const { return FModified; }
    // The file's content as Commit() would store it.
    std::string Text();
    // Stores the writes: replaces the file once, atomically. Does nothing when
    // there is nothing to store. Throws TProfileError (naming the file and the
    // reason) when the file cannot be replaced; the old file stays as it was.
    void Commit();

private:
    enum class TLineKind { Other, Section, Value };
    struct TLine {
        std::string Text;      // without its line end
        const char* End = "";  // "\n", "\r\n", or "" for a last line without one
        TLineKind Kind = TLineKind::Other;
        std::string Name;            // section or key name, trimmed
        std::size_t ValueStart = 0;  // for values: the index after the "="
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
    bool FByteOrderMark = false;
    const char* FNewLineEnd = "\n";
    std::vector<TLine> FLines;
};
