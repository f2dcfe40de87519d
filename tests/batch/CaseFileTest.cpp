// hyd-calc and the case file: a file that is not a case is refused, text in
// UTF-16 or with CR line ends runs as its UTF-8 twin, an empty file is the
// default case, and --strict lists what the file does not say as the program
// reads it before anything runs. The reading rules themselves are tested with
// the profile and the case model.

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "batch/BatchTool.h"
#include "tests/TestFiles.h"

namespace {

struct TResult {
    int Status;
    std::string Out, Err;
    bool operator==(const TResult&) const = default;
};

void PrintTo(const TResult& R, std::ostream* Os)
{
    *Os << "status " << R.Status << ", out " << ::testing::PrintToString(R.Out.substr(0, 200))
        << ", err " << ::testing::PrintToString(R.Err);
}

// Runs hyd-calc on a file "case.Hyd" of Dir holding Bytes.
TResult RunCase(const TTempDir& Dir, const std::string& Bytes, std::vector<std::string> Args = {})
{
    WriteText(Dir.File("case.Hyd"), Bytes);
    Args.insert(Args.begin(), Dir.File("case.Hyd"));
    std::ostringstream Out, Err;
    const int Status = RunBatch(Args, Out, Err);
    return {Status, Out.str(), Err.str()};
}

// A short run at constant pressure, with the dialog's position the desktop
// program keeps in the file.
const std::string Twin = "; труба\r\n[Data]\r\nStep= 1.00000000000000E-0003\r\nSteps=40\r\n"
                         "Pressure= 2.00000000000000E+0004\r\nLength= 5.00000000000000E+0000\r\n"
                         "LiquidKind=2\r\n[BlowData]\r\nMayBlow=0\r\nTop=10\r\nLeft=20\r\n";

std::string WithEnds(std::string Text, const std::string& End)
{
    for (std::size_t At = Text.find("\r\n"); At != std::string::npos; At = Text.find("\r\n", At))
        Text.replace(At, 2, End), At += End.size();
    return Text;
}

// UTF-16 with its byte-order mark; "; труба" is the only text beyond ASCII.
std::string Utf16(const std::string& Text, bool BigEndian)
{
    std::string Bytes = BigEndian ? "\xFE\xFF" : "\xFF\xFE";
    const std::string Pipe = "труба";
    for (std::size_t I = 0; I < Text.size(); ++I) {
        char16_t Unit = static_cast<unsigned char>(Text[I]);
        if (Text.compare(I, Pipe.size(), Pipe) == 0) {
            for (char16_t C : u"труба")
                if (C) {
                    Bytes += BigEndian ? static_cast<char>(C >> 8) : static_cast<char>(C & 0xFF);
                    Bytes += BigEndian ? static_cast<char>(C & 0xFF) : static_cast<char>(C >> 8);
                }
            I += Pipe.size() - 1;
            continue;
        }
        Bytes += BigEndian ? '\0' : static_cast<char>(Unit);
        Bytes += BigEndian ? static_cast<char>(Unit) : '\0';
    }
    return Bytes;
}

std::string NotACase(const TTempDir& Dir)
{
    return "Файл «" + Dir.File("case.Hyd") + "» не является файлом параметров расчёта!\n";
}

}  // namespace

TEST(CaseFile, TextInAnyEncodingAndLineEndRunsAsItsUtf8Twin)
{
    TTempDir Dir;
    const TResult Expected = RunCase(Dir, Twin);
    ASSERT_EQ(Expected.Status, BatchOk) << Expected.Err;
    ASSERT_NE(Expected.Out.find("Плотность жидкости"), std::string::npos);
    const std::string Texts[] = {
        WithEnds(Twin, "\n"),
        WithEnds(Twin, "\r"),
        "\xEF\xBB\xBF" + Twin,
        Utf16(Twin, false),
        Utf16(Twin, true),
        Utf16(WithEnds(Twin, "\r"), true),
        Utf16(WithEnds(Twin, "\n"), false),
    };
    for (const std::string& Bytes : Texts) {
        SCOPED_TRACE(Bytes);
        EXPECT_EQ(RunCase(Dir, Bytes), Expected);
        EXPECT_EQ(RunCase(Dir, Bytes, {"--strict"}), Expected);
    }
}

TEST(CaseFile, WhatIsNotACaseIsRefusedAndAnEmptyFileIsTheDefaults)
{
    TTempDir Dir;
    std::mt19937 Random(7);
    std::string Binary(4096, '\0');
    for (char& C : Binary)
        C = static_cast<char>(Random());
    const TResult Defaults = RunCase(Dir, "[Data]\n");
    ASSERT_EQ(Defaults.Status, BatchOk);
    const TResult Refused = {BatchFailure, "", NotACase(Dir)};

    const struct {
        std::string Bytes;
        const TResult& Expected;
    } Cases[] = {
        {Binary, Refused},
        {"\x7F"
         "ELF\x02\x01\x01" +
             Binary,
         Refused},
        {Utf16(Twin, false).substr(2), Refused},  // UTF-16 without its byte-order mark
        {"; a comment only\n", Refused},
        {"Step=1\nSteps=10\n", Refused},  // keys without a section
        {"[Daten]\nStep=1\n", Refused},
        {"", Defaults},
        {"\xEF\xBB\xBF \t\r\n\n\r", Defaults},
        {"\xFF\xFE", Defaults},
        {"[dAtA]", Defaults},
        {"[BLOWDATA]\n", Defaults},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Bytes.substr(0, 40));
        EXPECT_EQ(RunCase(Dir, C.Bytes), C.Expected);
    }
    // A refused file writes nothing.
    const std::string Report = Dir.File("report.txt");
    EXPECT_EQ(RunCase(Dir, Binary, {"--report", Report}), Refused);
    EXPECT_FALSE(fs::exists(Report));
}

TEST(CaseFile, StrictListsEveryIssueAndRunsNothing)
{
    TTempDir Dir;
    // The examples read as written: --strict changes nothing.
    for (const auto& Entry : fs::directory_iterator(HYD_EXAMPLES_DIR)) {
        SCOPED_TRACE(Entry.path().string());
        const std::string Example = ReadText(Entry.path().string());
        const TResult Plain = RunCase(Dir, Example);
        EXPECT_EQ(Plain.Status, BatchOk);
        EXPECT_EQ(RunCase(Dir, Example, {"--strict"}), Plain);
    }

    const std::string Case = Dir.File("case.Hyd");
    const std::string Report = Dir.File("report.txt");
    const std::string Summary = "Файл параметров «" + Case + "» не прошёл строгую проверку";
    const struct {
        std::string Change;  // lines added to the end of "Data"
        std::string Err;
    } Cases[] = {
        {"Foo=1\r\n", "[Data] «Foo»: неизвестный ключ\n" + Summary + " (замечаний: 1)!\n"},
        {"Slope=120\r\n", "[Data] Slope=«120»: значение 120 вне пределов, взято 90\n" + Summary +
                              " (замечаний: 1)!\n"},
        {"Density=abc\r\n", "[Data] Density=«abc»: не число, взято значение по умолчанию 1000\n" +
                                Summary + " (замечаний: 1)!\n"},
        // Every issue, in reading order, then the keys in file order.
        {"Density=1e3 kg\r\nFoo=1\r\nSlope=120\r\nsteps=x\r\nPipeKind=x\r\nStep=2\r\n",
         "[Data] Slope=«120»: значение 120 вне пределов, взято 90\n"
         "[Data] Density=«1e3 kg»: число с посторонним текстом, прочитано 1000\n"
         "[Data] PipeKind=«x»: не целое число, взято значение по умолчанию 0\n"
         "[Data] «Foo»: неизвестный ключ\n"
         "[Data] «steps»: повторный ключ, не учитывается (учитывается первый)\n"
         "[Data] «Step»: повторный ключ, не учитывается (учитывается первый)\n" +
             Summary + " (замечаний: 6)!\n"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Change);
        std::string Bytes = Twin;
        Bytes.insert(Bytes.find("[BlowData]"), C.Change);
        EXPECT_EQ(RunCase(Dir, Bytes, {"--strict", "--report", Report}),
                  (TResult{BatchFailure, "", C.Err}));
        EXPECT_FALSE(fs::exists(Report));
        // Without --strict the same file runs.
        EXPECT_EQ(RunCase(Dir, Bytes).Status, BatchOk);
    }
    EXPECT_EQ(RunCase(Dir, Twin, {"--strict=1"}).Status, BatchFailure);
}
