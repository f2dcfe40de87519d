// The text editor's rules without a window: reading a file's bytes (UTF-8 or
// Windows-1251, a character cut by the size limit), writing the text back
// with its line ends, the status bar's texts, and the settings section.

#include "text/EditorText.h"

#include <gtest/gtest.h>

#include "tests/TestFiles.h"
#include "text/Cp1251.h"
#include "text/EditorSettings.h"
#include "text/Profile.h"
#include "text/Utf8Text.h"

namespace {

TEST(Cp1251, EveryByteIsOneCharacterOfTheCodePage)
{
    const struct {
        unsigned char Byte;
        char32_t Char;
    } Cases[] = {
        {0x41, U'A'},   {0x00, U'\0'},  {0x7F, 0x7F}, {0xC0, U'А'}, {0xDF, U'Я'}, {0xE0, U'а'},
        {0xFF, U'я'},   {0xA8, U'Ё'},   {0xB8, U'ё'}, {0xB9, U'№'}, {0x96, U'–'}, {0x97, U'—'},
        {0xAB, U'«'},   {0xBB, U'»'},   {0x88, U'€'}, {0xB2, U'І'}, {0xA5, U'Ґ'}, {0xB4, U'ґ'},
        {0xA0, 0x00A0}, {0x98, 0xFFFD}, {0x80, U'Ђ'}, {0x9F, U'џ'}, {0xBF, U'ї'}, {0xA1, U'Ў'},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(static_cast<std::uint32_t>(Cp1251Char(C.Byte)),
                  static_cast<std::uint32_t>(C.Char))
            << std::hex << int(C.Byte);
    EXPECT_EQ(Cp1251ToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0! \xB9 5"), "Привет, мир! № 5");
    // Every byte stays a character of its own, nothing is merged or lost.
    std::string All;
    for (int B = 0; B < 256; ++B)
        All += static_cast<char>(B);
    const std::string Text = Cp1251ToUtf8(All);
    EXPECT_EQ(Utf8Length(Text), 256u);
}

TEST(EditorFile, ReadsUtf8AsItIsAndAnythingElseAsWindows1251)
{
    const struct {
        const char* Name;
        std::string Bytes;
        bool Cut;
        std::string Text;
        bool Utf8;
    } Cases[] = {
        {"ASCII", "plain text\n", false, "plain text\n", true},
        {"UTF-8", "Отчёт: 5 м/с\r\n", false, "Отчёт: 5 м/с\r\n", true},
        {"byte-order mark dropped", "\xEF\xBB\xBFЁж", false, "Ёж", true},
        {"Windows-1251", "\xCE\xF2\xF7\xB8\xF2\r\n", false, "Отчёт\r\n", false},
        // One byte that is not UTF-8 makes the whole file Windows-1251.
        {"mixed", "Ёж \xC5", false, "РЃР¶ Е", false},
        // The limit cut a two-byte and a three-byte character: dropped.
        {"UTF-8 cut in a letter", "Ёж\xD0", true, "Ёж", true},
        {"UTF-8 cut in a sign", "a\xE2\x84", true, "a", true},
        // Not cut by the limit, the same bytes are a broken file.
        {"not cut", "Ёж\xD0", false, "РЃР¶Р", false},
        // A lone byte that could be a cut letter, in a Windows-1251 text.
        {"Windows-1251 ending in a lead byte", "\xEF\xF0\xE8\xE2\xE5\xF2 \xD0", true, "привет Р",
         false},
        {"empty", "", false, "", true},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        const TEditorFileText R = DecodeEditorFile(C.Bytes, C.Cut);
        EXPECT_EQ(R.Text, C.Text);
        EXPECT_EQ(R.Utf8, C.Utf8);
    }
}

TEST(EditorFile, LineEndsAreThoseOfTheFirstLineAndComeBackOnSave)
{
    const struct {
        std::string Bytes;
        TLineEnd End;
    } Cases[] = {
        {"a\r\nb\r\n", TLineEnd::CrLf}, {"a\nb\r\n", TLineEnd::Lf}, {"a\rb\n", TLineEnd::Cr},
        {"no line end", TLineEnd::Lf},  {"\r", TLineEnd::Cr},       {"x\r\n", TLineEnd::CrLf},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(DecodeEditorFile(C.Bytes, false).LineEnd, C.End) << C.Bytes;
    EXPECT_EQ(FirstLineEnd("", TLineEnd::CrLf), TLineEnd::CrLf);

    // The edit area gives its text out with "\n".
    EXPECT_EQ(EncodeEditorText("Строка 1\nСтрока 2\n\n", TLineEnd::CrLf),
              "Строка 1\r\nСтрока 2\r\n\r\n");
    EXPECT_EQ(EncodeEditorText("a\nb", TLineEnd::Cr), "a\rb");
    EXPECT_EQ(EncodeEditorText("a\nb\n", TLineEnd::Lf), "a\nb\n");
    EXPECT_EQ(EncodeEditorText("", TLineEnd::CrLf), "");
    EXPECT_EQ(EncodeEditorText("\n", TLineEnd::CrLf), "\r\n");
}

TEST(EditorStatus, LinesSizeAndTheModifiedMark)
{
    // Blocks of the edit area against lines: "" 1 empty block, "a" 1 block,
    // "a\n" 2 blocks (the last empty), "a\nb" 2 blocks, "\n" 2 empty blocks.
    const struct {
        std::int64_t Blocks;
        bool Last_Empty;
        std::int64_t Lines;
    } Line_Cases[] = {{1, true, 0}, {1, false, 1}, {2, true, 1}, {2, false, 2}, {0, true, 0}};
    for (const auto& C : Line_Cases)
        EXPECT_EQ(EditorLineCount(C.Blocks, C.Last_Empty), C.Lines) << C.Blocks << C.Last_Empty;

    EXPECT_EQ(EditorTextSize(10, 3, TLineEnd::CrLf), 13);
    EXPECT_EQ(EditorTextSize(10, 3, TLineEnd::Lf), 10);
    EXPECT_EQ(EditorTextSize(10, 3, TLineEnd::Cr), 10);

    EXPECT_EQ(EditorLinesText("Строк: ", 1000017), "Строк: 1 000 017");
    EXPECT_EQ(EditorLinesText("Rows: ", 0), "Rows: 0");
    EXPECT_EQ(EditorSizeText("Размер: ", 113604238, false), "Размер: 113 604 238");
    EXPECT_EQ(EditorSizeText("Размер: ", 999, true), "* Размер: 999");
}

TEST(EditorStatus, TheSizeQuestionWritesTheLimitInDigitGroups)
{
    EXPECT_EQ(EditorSizeQuestion("Размер файла «", "/tmp/big.txt",
                                 "» превышает максимальный объем редактируемого текста (",
                                 " байт)! Загрузить только начало файла?"),
              "Размер файла «/tmp/big.txt» превышает максимальный объем редактируемого текста "
              "(30 000 байт)! Загрузить только начало файла?");
}

TEST(EditorSettings, ReadWithTheHeldValuesAsDefaultsAndWrittenBack)
{
    TTempDir Dir;
    const std::string Ini = Dir.File("Hyd.ini");
    WriteText(Ini, "[Window]\nTop=5\n[ZoEditor]\nWindowLeft=120\nWindowWidth=abc\nFontName=  \n"
                   "FontSize=12\n");
    TEditorSettings S;
    S.WindowTop = 77;
    S.WindowWidth = 640;
    {
        TProfile Profile(Ini);
        LoadEditorSettings(Profile, S);
    }
    EXPECT_EQ(S.WindowLeft, 120);
    EXPECT_EQ(S.WindowTop, 77) << "missing: the value held";
    EXPECT_EQ(S.WindowWidth, 640) << "not a number: the value held";
    EXPECT_EQ(S.WindowHeight, EditorNotSet);
    EXPECT_EQ(S.FontName, "Courier New Cyr") << "blank: the value held";
    EXPECT_EQ(S.FontSize, 12);
    EXPECT_EQ(S.FontCharset, 204);

    S.FontName = "DejaVu Sans Mono";
    S.WindowHeight = -3;
    {
        TProfile Profile(Ini);
        SaveEditorSettings(Profile, S);
        Profile.Commit();
    }
    const std::string Text = ReadText(Ini);
    EXPECT_NE(Text.find("[Window]\nTop=5\n"), std::string::npos) << "other sections stay";
    TEditorSettings Back;
    TProfile Profile(Ini);
    LoadEditorSettings(Profile, Back);
    EXPECT_EQ(Back, S);
}

}  // namespace
