// The settings file: its keys and their order, what is never written, what
// stays untouched, and where the desktop program puts its files.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "case/CaseModel.h"
#include "case/Settings.h"
#include "case/Workplace.h"
#include "tests/TestFiles.h"
#include "text/Profile.h"

namespace {

// Settings with every field set and no two values alike.
TSettings Filled()
{
    TSettings S;
    S.Window = {10, 20, 800, 600};
    S.WindowCalc = {30, 40, 300, 200};
    S.WindowLegend = {50, 60, 310, 150};
    S.LegendVisible = true;
    S.PercentTop = 70;
    S.PercentLeft = -80;
    S.BlowTop = 90;
    S.BlowLeft = 100;
    S.FileName = "/home/u/Расчёты/Труба 1.Hyd";
    return S;
}

void Save(const std::string& Name, const TSettings& S, bool HasCalc = true, bool HasLegend = true)
{
    TProfile Profile(Name);
    SaveSettings(Profile, S, HasCalc, HasLegend);
    Profile.Commit();
}

TSettings Load(const std::string& Name, TSettings S = {})
{
    TProfile Profile(Name);
    LoadSettings(Profile, S);
    return S;
}

}  // namespace

TEST(Settings, MissingFileKeepsTheCallersDefaults)
{
    TTempDir Dir;
    const TSettings Defaults = Filled();
    EXPECT_EQ(Load(Dir.File("Hyd.ini"), Defaults), Defaults);
    EXPECT_FALSE(fs::exists(Dir.File("Hyd.ini")));
    EXPECT_EQ(Load(Dir.File("Hyd.ini")), TSettings{});
}

TEST(Settings, NewFileHoldsTheKeysInTheProgramsOrder)
{
    TTempDir Dir;
    const std::string Name = Dir.File("Hyd.ini");
    Save(Name, Filled());
    EXPECT_EQ(ReadText(Name), "[Window]\n"
                              "Top=20\n"
                              "Left=10\n"
                              "Width=800\n"
                              "Height=600\n"
                              "[WindowCalc]\n"
                              "Top=40\n"
                              "Left=30\n"
                              "[WindowLegend]\n"
                              "Top=60\n"
                              "Left=50\n"
                              "Width=310\n"
                              "Height=150\n"
                              "Visible=1\n"
                              "[WindowPercent]\n"
                              "Top=70\n"
                              "Left=-80\n"
                              "[Data]\n"
                              "FileName=/home/u/Расчёты/Труба 1.Hyd\n");

    // Read back, all but what is never written: the dialog's size and its
    // "BlowData" position keep the defaults.
    TSettings Expected = Filled();
    Expected.WindowCalc.Width = Expected.WindowCalc.Height = SettingNotSet;
    Expected.BlowTop = Expected.BlowLeft = SettingNotSet;
    EXPECT_EQ(Load(Name), Expected);

    // A hidden legend is written as "0" and read as hidden.
    TSettings Hidden = Filled();
    Hidden.LegendVisible = false;
    Save(Name, Hidden);
    EXPECT_NE(ReadText(Name).find("Visible=0\n"), std::string::npos);
    EXPECT_FALSE(Load(Name, Filled()).LegendVisible);
}

TEST(Settings, WritingKeepsEverythingElseOfTheFile)
{
    TTempDir Dir;
    const std::string Name = Dir.File("Hyd.ini");
    const std::string Editor = "[ZoEditor]\r\n"
                               "FontName=DejaVu Sans Mono\r\n"
                               "FontSize=10\r\n"
                               "; the editor's own comment\r\n";
    const std::string Other = "[Мой раздел]\r\n"
                              "Ключ=значение\r\n";
    WriteText(Name, "[WindowCalc]\r\n"
                    "Width=333\r\n"
                    "Height=222\r\n"
                    "Top=1\r\n" +
                        Editor + Other +
                        "[BlowData]\r\n"
                        "Top=5\r\n"
                        "Left=6\r\n");
    Save(Name, Filled());
    const std::string Text = ReadText(Name);
    EXPECT_EQ(Text, "[WindowCalc]\r\n"
                    "Width=333\r\n"
                    "Height=222\r\n"
                    "Top=40\r\n"
                    "Left=30\r\n" +
                        Editor + Other +
                        "[BlowData]\r\n"
                        "Top=5\r\n"
                        "Left=6\r\n"
                        "[Window]\r\n"
                        "Top=20\r\n"
                        "Left=10\r\n"
                        "Width=800\r\n"
                        "Height=600\r\n"
                        "[WindowLegend]\r\n"
                        "Top=60\r\n"
                        "Left=50\r\n"
                        "Width=310\r\n"
                        "Height=150\r\n"
                        "Visible=1\r\n"
                        "[WindowPercent]\r\n"
                        "Top=70\r\n"
                        "Left=-80\r\n"
                        "[Data]\r\n"
                        "FileName=/home/u/Расчёты/Труба 1.Hyd\r\n");

    // A stored dialog size is read (and would size the dialog).
    const TSettings Read = Load(Name);
    EXPECT_EQ(Read.WindowCalc, (TBounds{30, 40, 333, 222}));
    EXPECT_EQ(Read.BlowTop, 5);
    EXPECT_EQ(Read.BlowLeft, 6);
}

TEST(Settings, WindowsThatDoNotExistAreNotWritten)
{
    TTempDir Dir;
    const std::string Name = Dir.File("Hyd.ini");
    const std::string Before = "[WindowCalc]\nTop=1\nLeft=2\n[WindowLegend]\nVisible=1\n";
    WriteText(Name, Before);
    Save(Name, Filled(), false, false);
    const std::string Text = ReadText(Name);
    EXPECT_EQ(Text.substr(0, Before.size()), Before);
    EXPECT_EQ(Text.find("Top=40"), std::string::npos);
    EXPECT_EQ(Text.find("Top=60"), std::string::npos);
    EXPECT_NE(Text.find("[WindowPercent]\nTop=70\nLeft=-80\n"), std::string::npos);
}

TEST(Settings, ParameterFileAsSettingsPlacesTheDialog)
{
    // Started with a parameter file as the settings file: only the dialog's
    // position of "BlowData" and nothing of the case is taken.
    TTempDir Dir;
    const std::string Name = Dir.File("case.Hyd");
    {
        TProfile Profile(Name);
        SaveCase(Profile, TCase{}, 123, -45);
        Profile.Commit();
    }
    TSettings Expected = Filled();
    Expected.BlowTop = 123;
    Expected.BlowLeft = -45;
    EXPECT_EQ(Load(Name, Filled()), Expected);
}

TEST(Settings, KeyTextsThatAreNotValues)
{
    TTempDir Dir;
    const std::string Name = Dir.File("Hyd.ini");
    WriteText(Name, "[Window]\nTop=abc\nLeft= 7 \nWidth=\nHeight=99999999999\n"
                    "[WindowLegend]\nVisible=yes\n"
                    "[Data]\nFileName=  \n");
    TSettings Expected = Filled();
    Expected.Window.Left = 7;
    // A blank file name names no file: the current one stays.
    EXPECT_EQ(Load(Name, Filled()), Expected);
}

TEST(Settings, UnreadableFileThrows)
{
    TTempDir Dir;
    TSettings S = Filled();
    TProfile Profile(Dir.Path.string());  // a folder
    EXPECT_THROW(LoadSettings(Profile, S), TProfileError);
    EXPECT_EQ(S, Filled());
}

TEST(Workplace, FileNames)
{
    const struct {
        const char* Name;
        const char* ConfigDir;
        const char* Path;
    } Cases[] = {
        {"Hyd.ini", "/home/u/.config/Hyd", "/home/u/.config/Hyd/Hyd.ini"},
        {"Hyd.ini", "/home/u/.config/Hyd/", "/home/u/.config/Hyd/Hyd.ini"},
        {"Data.Hyd", "/home/u/.config/Hyd", "/home/u/.config/Hyd/Data.Hyd"},
        {"./Hyd.ini", "/cfg", "./Hyd.ini"},
        {"sub/Hyd.ini", "/cfg", "sub/Hyd.ini"},
        {"/tmp/a b/Hyd.ini", "/cfg", "/tmp/a b/Hyd.ini"},
        {"Hyd.ini", "", "Hyd.ini"},
        {"", "/cfg", ""},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.Name << " in " << C.ConfigDir);
        EXPECT_EQ(WorkplaceFilePath(C.Name, C.ConfigDir), C.Path);
    }

    const fs::path Cwd = fs::current_path();
    const struct {
        const char* Name;
        std::string Path;
    } Given[] = {
        {"Hyd.ini", (Cwd / "Hyd.ini").string()},
        {"./sub/../my.ini", (Cwd / "my.ini").string()},
        {"/etc/../tmp/./x.ini", "/tmp/x.ini"},
        {"", ""},
    };
    for (const auto& C : Given) {
        SCOPED_TRACE(C.Name);
        EXPECT_EQ(CommandLineFilePath(C.Name), C.Path);
    }
}
