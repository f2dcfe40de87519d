// Golden cases of hyd-calc: every folder of tests/cases holds a case file and
// the whole output the real program gave for it; one test per folder runs the
// program again and compares every output byte for byte.
//
// A folder holds:
//   case.Hyd    the case file;
//   args        optional: further options, one a line ("--gravity 3.5");
//   report.txt, steps.csv, stages.csv, chart.svg
//               the files written by --report, --csv, --stages-csv and --svg;
//               a missing one must not be written;
//   stdout.txt, stderr.txt
//               the standard streams; a missing one must stay empty;
//   status      the exit status.
// The program runs in a temporary folder holding a copy of case.Hyd, with
// relative names only, so that messages naming files read the same anywhere.
//
// HYD_UPDATE_GOLDEN=1 in the environment rewrites the expected files of every
// case that runs instead of comparing them (tests/cases/README.md tells how to
// add a case).

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <sys/wait.h>

#include "tests/TestFiles.h"

namespace {

const fs::path CasesDir = HYD_CASES_DIR;

// The outputs the tool is asked for, by option and file name.
const std::pair<const char*, const char*> OutputFiles[] = {
    {"--report", "report.txt"},
    {"--csv", "steps.csv"},
    {"--stages-csv", "stages.csv"},
    {"--svg", "chart.svg"},
};
const char* const Streams[] = {"stdout.txt", "stderr.txt"};

// Every file a folder may expect besides the status.
std::vector<std::string> OutputNames()
{
    std::vector<std::string> Names(std::begin(Streams), std::end(Streams));
    for (const auto& [Option, Name] : OutputFiles)
        Names.push_back(Name);
    return Names;
}

bool Updating()
{
    const char* Value = std::getenv("HYD_UPDATE_GOLDEN");
    return Value && std::string(Value) == "1";
}

std::vector<std::string> CaseNames()
{
    std::vector<std::string> Names;
    std::error_code Ec;
    for (const auto& Entry : fs::directory_iterator(CasesDir, Ec))
        if (Entry.is_directory())
            Names.push_back(Entry.path().filename().string());
    std::sort(Names.begin(), Names.end());
    return Names;
}

// One word for the shell, in single quotes.
std::string ShellWord(const std::string& Text)
{
    std::string Word = "'";
    for (char C : Text) {
        if (C == '\'')
            Word += "'\\''";
        else
            Word += C;
    }
    return Word + "'";
}

// The words of the args file: options one a line, a value after a blank.
std::vector<std::string> ExtraArgs(const fs::path& File)
{
    std::vector<std::string> Args;
    std::istringstream In(ReadText(File.string()));
    for (std::string Word; In >> Word;)
        Args.push_back(Word);
    return Args;
}

struct TRun {
    int Status = -1;
    std::map<std::string, std::string> Outputs;  // by file name; only those present
};

// Runs hyd-calc on the case of Folder inside Dir and collects what it left
// there. Files other than the known outputs (say, a temporary file that was
// not cleaned up) are reported as failures.
TRun RunCase(const fs::path& Folder, const TTempDir& Dir)
{
    fs::copy_file(Folder / "case.Hyd", Dir.Path / "case.Hyd");
    std::vector<std::string> Args = {"case.Hyd"};
    for (const auto& [Option, Name] : OutputFiles)
        Args.insert(Args.end(), {Option, Name});
    if (fs::exists(Folder / "args"))
        for (const std::string& Arg : ExtraArgs(Folder / "args"))
            Args.push_back(Arg);
    std::ostringstream Command;
    Command << "cd " << ShellWord(Dir.Path.string()) << " && " << ShellWord(HYD_CALC_EXE);
    for (const std::string& Arg : Args)
        Command << ' ' << ShellWord(Arg);
    Command << " >stdout.txt 2>stderr.txt";

    TRun Run;
    const int Raw = std::system(Command.str().c_str());
    Run.Status = WIFEXITED(Raw) ? WEXITSTATUS(Raw) : -1;
    std::set<std::string> Known = {"case.Hyd"};
    for (const auto& [Option, Name] : OutputFiles) {
        Known.insert(Name);
        if (fs::exists(Dir.Path / Name))
            Run.Outputs[Name] = ReadText(Dir.File(Name));
    }
    for (const char* Name : Streams) {
        Known.insert(Name);
        std::string Text = ReadText(Dir.File(Name));
        if (!Text.empty())
            Run.Outputs[Name] = std::move(Text);
    }
    for (const auto& Entry : fs::directory_iterator(Dir.Path))
        EXPECT_TRUE(Known.count(Entry.path().filename().string()))
            << Folder.filename().string() << ": stray file " << Entry.path().filename();
    return Run;
}

// A piece of a line for a message: control characters escaped, at most about
// 120 bytes around Column, cut at UTF-8 character boundaries.
std::string Excerpt(const std::string& Line, std::size_t Column)
{
    auto Continuation = [&Line](std::size_t I) {
        return I < Line.size() && (static_cast<unsigned char>(Line[I]) & 0xC0) == 0x80;
    };
    std::size_t Begin = Column > 60 ? Column - 60 : 0;
    std::size_t End = std::min(Line.size(), Column + 60);
    while (Continuation(Begin))
        --Begin;
    while (Continuation(End))
        ++End;
    std::string Text = Begin > 0 ? "…" : "";
    for (std::size_t I = Begin; I < End; ++I) {
        const unsigned char C = static_cast<unsigned char>(Line[I]);
        if (C == '\r') {
            Text += "\\r";
        } else if (C < 0x20 || C == 0x7F) {
            const char* const Hex = "0123456789abcdef";
            Text += "\\x";
            Text += Hex[C >> 4];
            Text += Hex[C & 15];
        } else {
            Text += static_cast<char>(C);
        }
    }
    if (End < Line.size())
        Text += "…";
    return Text;
}

// Empty when the texts are equal; else where they first differ: the line
// (from 1), the byte in it, and both lines around that byte.
std::string FirstDifference(const std::string& Expected, const std::string& Actual)
{
    if (Expected == Actual)
        return "";
    const std::size_t At =
        std::mismatch(Expected.begin(), Expected.end(), Actual.begin(), Actual.end()).first -
        Expected.begin();
    const std::size_t LineStart = At == 0 ? 0 : Expected.rfind('\n', At - 1) + 1;
    const std::size_t LineNumber = std::count(Expected.begin(), Expected.begin() + At, '\n') + 1;
    const std::size_t Column = At - LineStart;
    auto LineOf = [LineStart, Column](const std::string& Text) {
        if (LineStart >= Text.size())
            return std::string("(end of file)");
        const std::size_t End = Text.find('\n', LineStart);
        return Excerpt(Text.substr(LineStart, End == std::string::npos ? End : End - LineStart),
                       Column);
    };
    std::ostringstream Message;
    Message << "first difference in line " << LineNumber << ", byte " << Column + 1 << " ("
            << Expected.size() << " bytes expected, " << Actual.size() << " written)\n"
            << "  expected: " << LineOf(Expected) << "\n"
            << "  actual:   " << LineOf(Actual);
    return Message.str();
}

void WriteExpected(const fs::path& Folder, const TRun& Run)
{
    WriteText((Folder / "status").string(), std::to_string(Run.Status) + "\n");
    for (const std::string& Name : OutputNames()) {
        const auto Found = Run.Outputs.find(Name);
        if (Found != Run.Outputs.end())
            WriteText((Folder / Name).string(), Found->second);
        else
            fs::remove(Folder / Name);
    }
}

class BatchGoldenCase : public testing::TestWithParam<std::string> {};

}  // namespace

TEST(BatchGolden, FolderHoldsCases)
{
    EXPECT_FALSE(CaseNames().empty()) << "no case folders in " << CasesDir;
}

TEST_P(BatchGoldenCase, OutputsMatchByteForByte)
{
    const fs::path Folder = CasesDir / GetParam();
    ASSERT_TRUE(fs::exists(Folder / "case.Hyd")) << Folder << " has no case.Hyd";
    TTempDir Dir;
    const TRun Run = RunCase(Folder, Dir);
    if (Updating()) {
        WriteExpected(Folder, Run);
        GTEST_SKIP() << "expected files of " << GetParam() << " rewritten";
    }

    ASSERT_TRUE(fs::exists(Folder / "status")) << Folder << " has no status file";
    EXPECT_EQ(std::to_string(Run.Status) + "\n", ReadText((Folder / "status").string()))
        << GetParam() << ": exit status";
    for (const std::string& Name : OutputNames()) {
        const bool Expected = fs::exists(Folder / Name);
        const auto Found = Run.Outputs.find(Name);
        const bool Written = Found != Run.Outputs.end();
        if (!Expected && !Written)
            continue;
        if (!Written) {
            ADD_FAILURE() << GetParam() << "/" << Name << ": expected, but not written (or empty)";
            continue;
        }
        if (!Expected) {
            ADD_FAILURE() << GetParam() << "/" << Name << ": written, but not expected; "
                          << FirstDifference("", Found->second);
            continue;
        }
        const std::string Difference =
            FirstDifference(ReadText((Folder / Name).string()), Found->second);
        EXPECT_TRUE(Difference.empty()) << GetParam() << "/" << Name << ": " << Difference;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BatchGoldenCase, testing::ValuesIn(CaseNames()),
                         [](const testing::TestParamInfo<std::string>& Info) {
                             std::string Name = Info.param;
                             for (char& C : Name)
                                 if (!std::isalnum(static_cast<unsigned char>(C)))
                                     C = '_';
                             return Name;
                         });
