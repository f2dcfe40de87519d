// The rules by which both a single run and a series of runs read their
// command line, with a small set of options of each kind.

#include "batch/CommandLine.h"

#include <gtest/gtest.h>

namespace {

// What a command line reads as: the case file ("" for none) and the options
// taken, "name=value" each; or the message of its usage error.
std::string Read(const std::vector<std::string>& Args)
{
    const auto KindOf = [](const std::string& Name) {
        if (Name == "--refused")
            throw TUsageError("refused here");
        if (Name == "--set")
            return TOptionKind::Repeated;
        if (Name == "--strict")
            return TOptionKind::Flag;
        if (Name == "--report" || Name == "--gravity")
            return TOptionKind::Value;
        return TOptionKind::Unknown;
    };
    std::string Taken;
    const auto Take = [&](const std::string& Name, const std::string& Value) {
        Taken += " " + Name + "=" + Value;
    };
    try {
        const std::optional<std::string> Case = ReadCommandLine(Args, KindOf, Take);
        return "case " + Case.value_or("") + ":" + Taken;
    } catch (const TUsageError& E) {
        return E.what();
    }
}

TEST(CommandLine, OptionsAndTheCaseFileReadByTheSameRules)
{
    const struct {
        std::vector<std::string> Args;
        std::string Read;
    } Table[] = {
        {{}, "case :"},
        {{"a.Hyd", "--report=r.txt", "--strict"}, "case a.Hyd: --report=r.txt --strict="},
        // A value is the next word unless that is an option; "-" is a value
        // (standard output) and, on its own, a case file.
        {{"--report", "-", "-"}, "case -: --report=-"},
        {{"--gravity", "-1", "a"}, "case a: --gravity=-1"},
        {{"--report", "--strict"}, "для параметра --report не указано значение"},
        {{"--report"}, "для параметра --report не указано значение"},
        {{"--report="}, "для параметра --report не указано значение"},
        {{"--report=a=b"}, "case : --report=a=b"},
        // "--" ends the options: what follows is the case file, dashes or not.
        {{"--strict", "--", "--report"}, "case --report: --strict="},
        {{"--", "a", "b"}, "лишний файл параметров «b» (файл уже указан: «a»)"},
        {{"a", "b"}, "лишний файл параметров «b» (файл уже указан: «a»)"},
        // Each option once, but the repeated ones, in order.
        {{"--set", "A.B=1", "--set=A.C=2", "x"}, "case x: --set=A.B=1 --set=A.C=2"},
        {{"--report=a", "--report", "b"}, "параметр --report указан дважды"},
        {{"--strict", "--strict"}, "параметр --strict указан дважды"},
        {{"--strict=yes"}, "параметр --strict не принимает значения"},
        {{"--frobnicate"}, "неизвестный параметр «--frobnicate»"},
        {{"-x"}, "неизвестный параметр «-x»"},
        {{"a", "--refused=1"}, "refused here"},
    };
    for (const auto& Row : Table)
        EXPECT_EQ(Read(Row.Args), Row.Read) << ::testing::PrintToString(Row.Args);
}

TEST(CommandLine, SharedValuesReadOrSayWhy)
{
    EXPECT_EQ(ReadGravity("9.81"), 9.81);
    EXPECT_EQ(ReadGravity("0"), 0.0);
    int Width = 0, Height = 0;
    ReadSvgSize("640x480", Width, Height);
    EXPECT_EQ(Width, 640);
    EXPECT_EQ(Height, 480);
    const auto Message = [](const std::function<void()>& Read) {
        try {
            Read();
        } catch (const TUsageError& E) {
            return std::string(E.what());
        }
        return std::string("no error");
    };
    for (const char* Bad : {"", "-1", "1e7", "9.81x", "nan"})
        EXPECT_EQ(Message([&] { ReadGravity(Bad); }),
                  "неверное ускорение «" + std::string(Bad) + "»: нужно число от 0 до 1e6");
    EXPECT_EQ(Message([&] { ReadSvgSize("640", Width, Height); }).rfind("неверный размер «640»", 0),
              0u);
    EXPECT_EQ(Message([] { ReadCaseOverride("no-equals-sign"); }).rfind("--set: ", 0), 0u);
}

}  // namespace
