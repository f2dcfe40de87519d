// The case model: reading and writing parameter files, the editor table,
// validation texts and the hand-over of a case to the engine.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "Calc.h"
#include "CaseModel.h"
#include "FakeLink.h"
#include "HydComm.h"
#include "Profile.h"

namespace fs = std::filesystem;

namespace {

class TTempDir {
public:
    TTempDir()
    {
        std::random_device Seed;
        Path = fs::temp_directory_path() / ("hyd-case-test-" + std::to_string(Seed()));
        fs::create_directories(Path);
    }
    ~TTempDir()
    {
        std::error_code Ec;
        fs::remove_all(Path, Ec);
    }
    std::string File(const std::string& Name) const { return (Path / Name).string(); }
    fs::path Path;
};

void WriteText(const std::string& Name, const std::string& Text)
{
    std::ofstream(Name, std::ios::binary) << Text;
}

std::string ReadText(const std::string& Name)
{
    std::ifstream In(Name, std::ios::binary);
    std::ostringstream S;
    S << In.rdbuf();
    return S.str();
}

TCase LoadText(const TTempDir& Dir, const std::string& Text, TCase Case = {})
{
    const std::string Name = Dir.File("case.Hyd");
    WriteText(Name, Text);
    TProfile Profile(Name);
    LoadCase(Profile, Case);
    return Case;
}

// A case that can be calculated with friction and wave speed, drive off.
TCase CompleteCase()
{
    TCase C;
    C.Step = 0.001;
    C.Steps = 100;
    C.Density = 1000;
    C.Viscous = 0.001;
    C.Diameter = 0.1;
    C.Rough = 0.0001;
    C.Condens = 4.6e-10;
    C.Young = 2e11;
    C.Walls = 0.001;
    return C;
}

}  // namespace

// ---------------------------------------------------------------------------
// Editor table.

TEST(EditorTable, InitialScalesFollowTheNearestFactor)
{
    auto Initial = [](TEditorId Id) {
        const TEditorDef& D = EditorDef(Id);
        return std::string(D.Scales.at(static_cast<std::size_t>(InitialScaleIndex(D))).Caption);
    };
    EXPECT_EQ(Initial(TEditorId::Time), "мс");
    EXPECT_EQ(Initial(TEditorId::Fill), "см");
    EXPECT_EQ(Initial(TEditorId::Press), "атм");  // nearest to 100000
    EXPECT_EQ(Initial(TEditorId::Visc), "г/м·с");
    EXPECT_EQ(Initial(TEditorId::Cond), "1/TПа");
    EXPECT_EQ(Initial(TEditorId::Length), "м");
    EXPECT_EQ(Initial(TEditorId::Rough), "мкм");
    EXPECT_EQ(Initial(TEditorId::Young), "ГПа");
    EXPECT_EQ(Initial(TEditorId::Walls), "мм");
    EXPECT_EQ(Initial(TEditorId::BlowDiam), "см");
    EXPECT_EQ(Initial(TEditorId::Gravity), "м/c2");
    EXPECT_EQ(InitialScaleFactor(EditorDef(TEditorId::Press)), 101325);
}

TEST(EditorTable, EveryStoredEditorHasItsOwnKeyAndAField)
{
    std::set<std::pair<std::string, std::string>> Keys;
    for (const TEditorDef& D : EditorDefs()) {
        ASSERT_EQ(&EditorDef(D.Id), &D);
        ASSERT_FALSE(D.Scales.empty()) << D.Name;
        EXPECT_LT(D.MinValue, D.MaxValue) << D.Name;
        EXPECT_GE(D.Default, D.MinValue) << D.Name;
        EXPECT_LE(D.Default, D.MaxValue) << D.Name;
        if (D.Id == TEditorId::Gravity) {
            EXPECT_EQ(D.Section, nullptr);
            EXPECT_EQ(D.Field, nullptr);
            continue;
        }
        ASSERT_NE(D.Field, nullptr) << D.Name;
        EXPECT_TRUE(Keys.emplace(D.Section, D.Key).second) << D.Section << "/" << D.Key;
        // A new case holds the reading defaults.
        EXPECT_EQ(TCase{}.*D.Field, D.Default) << D.Name;
    }
    EXPECT_EQ(Keys.size(), 19u);
}

TEST(EditorValue, ConvertsThroughTheInitialScaleAndClampsThere)
{
    EXPECT_EQ(EditorValue(TEditorId::Slope, 120), 90);
    EXPECT_EQ(EditorValue(TEditorId::Slope, -1000), -90);
    EXPECT_EQ(EditorValue(TEditorId::Young, 1e16), 1e15);
    EXPECT_EQ(EditorValue(TEditorId::Dens, -5), 0);
    EXPECT_EQ(EditorValue(TEditorId::Rough, 2000), 1000);
    EXPECT_EQ(EditorValue(TEditorId::Press, INFINITY), 1e10 / 101325 * 101325);
    // The round trip through the scale keeps its rounding: 0.7 m shown in cm.
    EXPECT_EQ(EditorValue(TEditorId::Fill, 0.7), 0.7 / 0.01 * 0.01);
    EXPECT_NE(EditorValue(TEditorId::Fill, 0.7), 0.7);
    // A negative zero comes back as +0, as offset + factor * s does.
    EXPECT_FALSE(std::signbit(EditorValue(TEditorId::Speed, -0.0)));
}

TEST(EditorValue, WholeNumbersAndIndicesAreClamped)
{
    EXPECT_EQ(StepsValue(-5), 0);
    EXPECT_EQ(StepsValue(2000000), 1000000);
    EXPECT_EQ(StepsValue(123), 123);
    EXPECT_EQ(ClampIndex(15, LiquidCount), 11);
    EXPECT_EQ(ClampIndex(-3, MaterialCount), 0);
    EXPECT_EQ(ClampIndex(7, NarrowingCount), 1);
    EXPECT_STREQ(NarrowingName(1), "резкое");
    EXPECT_EQ(NarrowingName(2), nullptr);
}

// ---------------------------------------------------------------------------
// Reading.

TEST(LoadCase, MissingFileGivesEveryDefaultAndKeepsTheDriveState)
{
    TTempDir Dir;
    TProfile Profile(Dir.File("missing.Hyd"));
    TCase Case;
    Case.Step = 7;
    Case.LiquidKind = 4;
    Case.MayBlow = true;
    LoadCase(Profile, Case);
    EXPECT_EQ(Case.Step, 0.001);
    EXPECT_EQ(Case.Steps, 100);
    EXPECT_EQ(Case.Pressure, 100000);
    EXPECT_EQ(Case.Density, 1000);
    EXPECT_EQ(Case.Diameter, 0.1);
    EXPECT_EQ(Case.Viscous, 0.001);
    EXPECT_EQ(Case.Condens, 4.6e-10);
    EXPECT_EQ(Case.Rough, 0.0001);
    EXPECT_EQ(Case.Young, 2e11);
    EXPECT_EQ(Case.Walls, 0.001);
    EXPECT_EQ(Case.LiquidKind, 0);
    EXPECT_EQ(Case.BlowDiameter, 0.1);
    EXPECT_FALSE(Case.MayTrunc);
    EXPECT_TRUE(Case.MayBlow);  // the state before reading

    Case.MayBlow = false;
    LoadCase(Profile, Case);
    EXPECT_FALSE(Case.MayBlow);
}

TEST(LoadCase, ValuesAreClampedAsTheEditorsDo)
{
    TTempDir Dir;
    const TCase C = LoadText(Dir,
                             "[Data]\n"
                             "Slope=120\n"
                             "Young=1e16\n"
                             "LiquidKind=15\n"
                             "PipeKind=-3\n"
                             "Steps=2000000\n"
                             "InitialFill=0.7\n"
                             "Pressure=-5\n"
                             "[BlowData]\n"
                             "Slope=-95\n"
                             "PipeKind=99\n"
                             "NarrowingKind=5\n"
                             "MayBlow=7\n"
                             "MayTrunc=1\n");
    EXPECT_EQ(C.Slope, 90);
    EXPECT_EQ(C.Young, 1e15);
    EXPECT_EQ(C.LiquidKind, 11);
    EXPECT_EQ(C.PipeKind, 0);
    EXPECT_EQ(C.Steps, 1000000);
    EXPECT_EQ(C.InitialFill, 0.7 / 0.01 * 0.01);
    EXPECT_EQ(C.Pressure, 0);
    EXPECT_EQ(C.BlowSlope, -90);
    EXPECT_EQ(C.BlowPipeKind, 10);
    EXPECT_EQ(C.NarrowingKind, 1);
    EXPECT_TRUE(C.MayBlow);
    EXPECT_TRUE(C.MayTrunc);
}

TEST(LoadCase, NumberTextsFollowTheReadingRules)
{
    TTempDir Dir;
    auto Step = [&](const std::string& Text) {
        return LoadText(Dir, "[Data]\nStep=" + Text + "\n").Step;
    };
    EXPECT_EQ(Step("2.5e-3"), 0.0025);
    EXPECT_EQ(Step("1,5"), 1);          // read up to the comma
    EXPECT_EQ(Step(""), 0.001);
    EXPECT_EQ(Step("abc"), 0.001);
    EXPECT_EQ(Step(" 1.00000000000000E-0002"), 0.01);
    EXPECT_EQ(Step("шаг 0.5 с"), 0.5);
    auto Steps = [&](const std::string& Text) {
        return LoadText(Dir, "[Data]\nSteps=" + Text + "\n").Steps;
    };
    EXPECT_EQ(Steps("abc"), 100);
    EXPECT_EQ(Steps("2e6"), 100);       // not a whole number
    EXPECT_EQ(Steps("-4"), 0);
    EXPECT_EQ(Steps("500"), 500);
}

TEST(LoadCase, ListIndicesNeverPullTableValues)
{
    TTempDir Dir;
    const TCase C = LoadText(Dir,
                             "[Data]\nLiquidKind=2\nDensity=500\nPipeKind=5\nYoung=1e9\n"
                             "[BlowData]\nPipeKind=5\nYoung=3e9\n");
    EXPECT_EQ(C.LiquidKind, 2);
    EXPECT_EQ(C.Density, 500);
    EXPECT_EQ(C.Viscous, 0.001);
    EXPECT_EQ(C.PipeKind, 5);
    EXPECT_EQ(C.Young, 1e9);
    EXPECT_EQ(C.Rough, 0.0001);
    EXPECT_EQ(C.BlowYoung, 3e9);
}

TEST(LoadCase, UnreadableFileThrowsAndKeepsTheCase)
{
    TTempDir Dir;
    TProfile Profile(Dir.Path.string());   // a folder
    TCase Case;
    Case.Density = 123;
    EXPECT_THROW(LoadCase(Profile, Case), TProfileError);
    EXPECT_EQ(Case.Density, 123);
}

// ---------------------------------------------------------------------------
// Writing.

TEST(SaveCase, NewFileHoldsEveryKeyInOrder)
{
    TTempDir Dir;
    const std::string Name = Dir.File("new.Hyd");
    TCase Defaults;
    {
        TProfile Missing(Dir.File("missing.Hyd"));
        LoadCase(Missing, Defaults);
    }
    TProfile Profile(Name);
    SaveCase(Profile, Defaults, 120, 340);
    Profile.Commit();
    EXPECT_EQ(ReadText(Name),
              "[Data]\n"
              "Step= 1.00000000000000E-0003\n"
              "Steps=100\n"
              "InitialFill= 0.00000000000000E+0000\n"
              "InitialSpeed= 0.00000000000000E+0000\n"
              "Slope= 0.00000000000000E+0000\n"
              "Pressure= 1.00000000000000E+0005\n"
              "Density= 1.00000000000000E+0003\n"
              "Viscous= 1.00000000000000E-0003\n"
              "Condens= 4.60000000000000E-0010\n"
              "Diameter= 1.00000000000000E-0001\n"
              "Length= 0.00000000000000E+0000\n"
              "Rough= 1.00000000000000E-0004\n"
              "Young= 2.00000000000000E+0011\n"
              "Walls= 1.00000000000000E-0003\n"
              "LiquidKind=0\n"
              "PipeKind=0\n"
              "[BlowData]\n"
              "MayBlow=0\n"
              "Speed= 0.00000000000000E+0000\n"
              "PipeKind=0\n"
              "Diameter= 1.00000000000000E-0001\n"
              "Length= 0.00000000000000E+0000\n"
              "Slope= 0.00000000000000E+0000\n"
              "Young= 2.00000000000000E+0011\n"
              "Walls= 1.00000000000000E-0003\n"
              "NarrowingKind=0\n"
              "MayTrunc=0\n"
              "Top=120\n"
              "Left=340\n");

    TProfile Without(Dir.File("without.Hyd"));
    SaveCase(Without, Defaults);
    EXPECT_EQ(Without.Text().find("Top="), std::string::npos);
    EXPECT_EQ(Without.Text().find("Left="), std::string::npos);
}

TEST(SaveCase, ExistingFileKeepsForeignLinesAndSavingTwiceIsStable)
{
    TTempDir Dir;
    const std::string Name = Dir.File("old.Hyd");
    WriteText(Name, "; my case\r\n[Data]\r\nStep=5\r\nNote=keep me\r\n[Other]\r\nX=1\r\n");
    TCase Case = CompleteCase();
    Case.Slope = -5;
    {
        TProfile Profile(Name);
        SaveCase(Profile, Case);
        Profile.Commit();
    }
    const std::string Once = ReadText(Name);
    EXPECT_NE(Once.find("; my case\r\n"), std::string::npos);
    EXPECT_NE(Once.find("Note=keep me\r\n"), std::string::npos);
    EXPECT_NE(Once.find("[Other]\r\nX=1\r\n"), std::string::npos);
    EXPECT_NE(Once.find("Slope=-5.00000000000000E+0000\r\n"), std::string::npos);
    {
        TProfile Profile(Name);
        SaveCase(Profile, Case);
        Profile.Commit();
    }
    EXPECT_EQ(ReadText(Name), Once);
}

TEST(SaveCase, ReadsBackWhatItWrote)
{
    TTempDir Dir;
    const std::string Name = Dir.File("round.Hyd");
    TCase Case = CompleteCase();
    Case.Steps = 2500;
    Case.InitialFill = 1.25;
    Case.InitialSpeed = -0.5;
    Case.Slope = 12.5;
    Case.Pressure = 250000;
    Case.LiquidKind = 3;
    Case.PipeKind = 6;
    Case.MayBlow = true;
    Case.BlowSpeed = 2;
    Case.BlowPipeKind = 4;
    Case.BlowDiameter = 0.3;
    Case.BlowLength = 40;
    Case.BlowSlope = -3;
    Case.BlowYoung = 1.9e11;
    Case.BlowWalls = 0.005;
    Case.NarrowingKind = 1;
    Case.MayTrunc = true;
    {
        TProfile Profile(Name);
        SaveCase(Profile, Case);
        Profile.Commit();
    }
    TProfile Profile(Name);
    TCase Back;
    LoadCase(Profile, Back);
    for (const TEditorDef& D : EditorDefs())
        if (D.Field) {
            EXPECT_DOUBLE_EQ(Back.*D.Field, Case.*D.Field) << D.Name;
        }
    EXPECT_EQ(Back.Steps, 2500);
    EXPECT_EQ(Back.LiquidKind, 3);
    EXPECT_EQ(Back.PipeKind, 6);
    EXPECT_EQ(Back.BlowPipeKind, 4);
    EXPECT_EQ(Back.NarrowingKind, 1);
    EXPECT_TRUE(Back.MayBlow);
    EXPECT_TRUE(Back.MayTrunc);
}

// ---------------------------------------------------------------------------
// Validation.

TEST(CaseStatus, CompleteCaseNamesTheKindOfCalculation)
{
    TCase C = CompleteCase();
    TStatus S = CaseStatus(C, false);
    EXPECT_EQ(S.Text, " Можно выполнить расчёт ускорения с учётом трения и расчёт гидроудара"
                      " при постоянном давлении.");
    EXPECT_EQ(S.Colour, TStatus::TColour::Normal);
    EXPECT_TRUE(S.CanRun);

    C.Rough = 0;
    EXPECT_EQ(CaseStatus(C, false).Text,
              " Можно выполнить расчёт ускорения без учёта трения и расчёт гидроудара"
              " при постоянном давлении.");
    C.Walls = 0;
    EXPECT_EQ(CaseStatus(C, false).Text,
              " Можно выполнить расчёт ускорения без учёта трения при постоянном давлении.");
}

TEST(CaseStatus, MissingDataAreListed)
{
    TCase C = CompleteCase();
    C.Step = 0;
    C.Density = 0;
    TStatus S = CaseStatus(C, false);
    EXPECT_EQ(S.Text, " ——— Недостаточно данных для расчёта: шаг времени должен быть больше 0, "
                      "плотность должна быть больше 0! ———");
    EXPECT_EQ(S.Colour, TStatus::TColour::Missing);
    EXPECT_FALSE(S.CanRun);
    EXPECT_FALSE(CanCalculate(C));

    C = CompleteCase();
    C.Steps = 0;
    EXPECT_EQ(CaseStatus(C, false).Text,
              " ——— Недостаточно данных для расчёта: число шагов расчёта должно быть больше 0!"
              " ———");
}

TEST(CaseStatus, FillBeyondTheLengthWarns)
{
    TCase C = CompleteCase();
    C.Length = 10;
    C.InitialFill = 10;
    EXPECT_EQ(CaseStatus(C, false).Colour, TStatus::TColour::Normal);
    C.InitialFill = 10.00001;
    const TStatus S = CaseStatus(C, false);
    EXPECT_EQ(S.Colour, TStatus::TColour::Warning);
    EXPECT_TRUE(S.CanRun);
    EXPECT_NE(S.Text.find(" при постоянном давлении (заполнение превышает длину трубы и будет "
                          "уменьшено)."),
              std::string::npos);
    C.Length = 0;
    C.InitialFill = 1e6;
    EXPECT_EQ(CaseStatus(C, false).Colour, TStatus::TColour::Normal);
}

TEST(CaseStatus, DriveCountsOnlyWhenOnAndComplete)
{
    TCase C = CompleteCase();
    C.BlowSpeed = 2;
    C.BlowDiameter = 0.3;
    C.BlowLength = 50;
    EXPECT_TRUE(CanDrive(C));
    EXPECT_NE(CaseStatus(C, true).Text.find(" под действием гидроудара."), std::string::npos);
    EXPECT_NE(CaseStatus(C, false).Text.find(" при постоянном давлении."), std::string::npos);
    C.BlowWalls = 0;
    EXPECT_FALSE(CanDrive(C));
    EXPECT_NE(CaseStatus(C, true).Text.find(" при постоянном давлении."), std::string::npos);
}

TEST(CasePeriod, RunDurationOrHammerDuration)
{
    TCase C = CompleteCase();
    TPeriod P = CasePeriod(C, false);
    EXPECT_TRUE(P.StepsVisible);
    EXPECT_EQ(P.Text, "100 мс");

    C.BlowSpeed = 2;
    C.BlowDiameter = 0.3;
    C.BlowLength = 50;
    C.BlowYoung = 0;   // rigid wall: c = 1 / sqrt(1000 * 4.6e-10) ≈ 1474 m/s
    P = CasePeriod(C, true);
    EXPECT_FALSE(P.StepsVisible);
    EXPECT_EQ(P.Text, "Длительность гидроудара 67.8 мс");
    EXPECT_TRUE(CasePeriod(C, false).StepsVisible);
}

// ---------------------------------------------------------------------------
// Hand-over to the engine.

TEST(PrepareRun, FillsBothPipesAndChoosesTheMode)
{
    TCase C = CompleteCase();
    C.InitialSpeed = 0.5;
    C.InitialFill = 2;
    C.Slope = 10;
    C.Length = 30;
    C.Pressure = 2e5;
    C.BlowSpeed = 3;
    C.BlowDiameter = 0.3;
    C.BlowLength = 50;
    C.BlowSlope = -4;
    C.BlowYoung = 1e11;
    C.BlowWalls = 0.01;
    TCalc Calc, Blow;
    EXPECT_EQ(PrepareRun(C, true, Calc, Blow), TRunKind::SingleHammer);
    EXPECT_EQ(Calc.Steps, 100);
    EXPECT_EQ(Calc.InitialSpeed, 0.5);
    EXPECT_EQ(Calc.Slope, 10);
    EXPECT_EQ(Calc.Diameter, 0.1);
    EXPECT_EQ(Calc.Length, 30);
    EXPECT_EQ(Calc.Young, 2e11);
    EXPECT_EQ(Blow.Steps, 100);
    EXPECT_EQ(Blow.Step, 0.001);
    EXPECT_EQ(Blow.Pressure, 2e5);
    EXPECT_EQ(Blow.InitialSpeed, 3);
    EXPECT_EQ(Blow.InitialFill, 2);
    EXPECT_EQ(Blow.Slope, -4);
    EXPECT_EQ(Blow.Density, 1000);
    EXPECT_EQ(Blow.Diameter, 0.3);
    EXPECT_EQ(Blow.Length, 50);
    EXPECT_EQ(Blow.Walls, 0.01);
    EXPECT_EQ(Blow.Rough, 0.0001);
    EXPECT_EQ(Blow.Young, 1e11);

    C.MayTrunc = true;
    EXPECT_EQ(PrepareRun(C, true, Calc, Blow), TRunKind::RepeatedHammer);
    // Drive off: no driving speed, constant pressure even with complete data.
    EXPECT_EQ(PrepareRun(C, false, Calc, Blow), TRunKind::ConstantPressure);
    EXPECT_EQ(Blow.InitialSpeed, 0);
    // The hammer needs a finite driving pipe.
    C.BlowLength = 0;
    EXPECT_EQ(PrepareRun(C, true, Calc, Blow), TRunKind::ConstantPressure);
}

TEST(RunPrepared, CancelledConstantPressureRunWarns)
{
    TScopedFakeLink Link;
    Link.CancelAfterSets = 0;
    TCase C = CompleteCase();
    C.Steps = 10;
    TCalc Calc, Blow;
    TCalc* SavedBlow = BlowCalc;
    BlowCalc = &Blow;
    RunPrepared(Calc, PrepareRun(C, false, Calc, Blow));
    BlowCalc = SavedBlow;
    EXPECT_EQ(Calc.Count, 10);
    EXPECT_TRUE(Link.Errors.empty());
    ASSERT_EQ(Link.Warnings.size(), 1u);
    EXPECT_EQ(Link.Warnings[0], "Расчёт прерван");
}
