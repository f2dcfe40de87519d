// The case model: reading and writing parameter files, the editor table,
// validation texts and the hand-over of a case to the engine.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iterator>
#include <set>
#include <tuple>

#include "case/CaseModel.h"
#include "engine/Calc.h"
#include "engine/RunGlobals.h"
#include "engine/Tables.h"
#include "tests/FakeLink.h"
#include "tests/TestFiles.h"
#include "text/Profile.h"

namespace {

TCase LoadText(const TTempDir& Dir, const std::string& Text, TCase Case = {})
{
    const std::string Name = Dir.File("case.Hyd");
    WriteText(Name, Text);
    TProfile Profile(Name);
    LoadCase(Profile, Case);
    return Case;
}

void SaveTo(const std::string& Name, const TCase& Case)
{
    TProfile Profile(Name);
    SaveCase(Profile, Case);
    Profile.Commit();
}

// A new case can be calculated with friction and wave speed; this one can
// also be driven by a hammer.
TCase DrivenCase()
{
    TCase C;
    C.BlowSpeed = 2;
    C.BlowDiameter = 0.3;
    C.BlowLength = 50;
    return C;
}

}  // namespace

// ---------------------------------------------------------------------------
// Editor table.

TEST(EditorTable, EveryStoredEditorHasItsOwnKeyAFieldAndAnInitialScale)
{
    std::set<std::pair<std::string, std::string>> Keys;
    for (const TEditorDef& D : EditorDefs()) {
        ASSERT_EQ(&EditorDef(D.Id), &D);
        ASSERT_FALSE(D.Scales.empty()) << D.Name;
        EXPECT_LT(D.MinValue, D.MaxValue) << D.Name;
        EXPECT_GE(D.Default, D.MinValue) << D.Name;
        EXPECT_LE(D.Default, D.MaxValue) << D.Name;
        if (D.Id == TEditorId::Gravity) {
            EXPECT_EQ(D.Field, nullptr);
            continue;
        }
        ASSERT_NE(D.Field, nullptr) << D.Name;
        EXPECT_TRUE(Keys.emplace(D.Section, D.Key).second) << D.Section << "/" << D.Key;
        EXPECT_EQ(TCase{}.*D.Field, D.Default) << D.Name;  // a new case holds the defaults
    }
    EXPECT_EQ(Keys.size(), 19u);
    // The initial scale is the one whose factor is nearest the default.
    const TEditorDef& Press = EditorDef(TEditorId::Press);
    EXPECT_STREQ(Press.Scales.at(static_cast<std::size_t>(InitialScaleIndex(Press))).Caption,
                 "атм");
    EXPECT_EQ(InitialScaleFactor(Press), 101325);
}

TEST(EditorValue, ConvertsThroughTheInitialScaleAndClamps)
{
    // 0.7 m goes through cm and keeps that rounding.
    EXPECT_EQ(EditorValue(TEditorId::Fill, 0.7), 0.7 / 0.01 * 0.01);
    EXPECT_NE(EditorValue(TEditorId::Fill, 0.7), 0.7);
    EXPECT_EQ(EditorValue(TEditorId::Press, INFINITY), 1e10 / 101325 * 101325);
    EXPECT_EQ(EditorValue(TEditorId::Rough, 2000), 1000);
    EXPECT_FALSE(std::signbit(EditorValue(TEditorId::Speed, -0.0)));  // -0 comes back as +0
}

// ---------------------------------------------------------------------------
// Reading and writing.

TEST(CaseFile, MissingFileGivesTheDefaultsAndANewFileHoldsEveryKeyInOrder)
{
    TTempDir Dir;
    TProfile Missing(Dir.File("missing.Hyd"));
    TCase Case;
    Case.Step = Case.Density = 7;
    Case.Steps = Case.LiquidKind = 3;
    Case.MayTrunc = true;
    LoadCase(Missing, Case);

    const std::string Name = Dir.File("new.Hyd");
    TProfile Profile(Name);
    SaveCase(Profile, Case, 120, 340);
    Profile.Commit();
    EXPECT_EQ(ReadText(Name), "[Data]\n"
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

    // Without a window position there are no Top and Left keys.
    TProfile Without(Dir.File("without.Hyd"));
    SaveCase(Without, Case);
    EXPECT_EQ(Without.Text().find("Top="), std::string::npos);

    // The drive state is the editor's, not the file's.
    Case.MayBlow = true;
    LoadCase(Missing, Case);
    EXPECT_TRUE(Case.MayBlow);

    // A file that cannot be read throws and leaves the case alone.
    TProfile Folder(Dir.Path.string());
    Case.Density = 123;
    EXPECT_THROW(LoadCase(Folder, Case), TProfileError);
    EXPECT_EQ(Case.Density, 123);
}

TEST(CaseFile, ValuesAreClampedAsTheEditorsDo)
{
    TTempDir Dir;
    const TCase C = LoadText(Dir, "[Data]\nSlope=120\nYoung=1e16\nLiquidKind=15\nPipeKind=-3\n"
                                  "Steps=2000000\nInitialFill=0.7\nPressure=-5\n"
                                  "[BlowData]\nSlope=-95\nPipeKind=99\nNarrowingKind=5\n"
                                  "MayBlow=7\nMayTrunc=1\n");
    EXPECT_EQ(std::tie(C.Slope, C.Young, C.InitialFill, C.Pressure, C.BlowSlope),
              std::make_tuple(90.0, 1e15, 0.7 / 0.01 * 0.01, 0.0, -90.0));
    EXPECT_EQ(std::tie(C.LiquidKind, C.PipeKind, C.Steps, C.BlowPipeKind, C.NarrowingKind),
              std::make_tuple(11, 0, 1000000, 10, 1));
    EXPECT_TRUE(C.MayBlow && C.MayTrunc);
}

TEST(CaseFile, NumberTextsFollowTheReadingRules)
{
    TTempDir Dir;
    const struct {
        const char* Key;
        const char* Text;
        double Value;
    } Cases[] = {
        // The reading of numbers is the profile's; no number gives the editor's default.
        {"Step", "abc", 0.001}, {"Step", "шаг 0.5 с", 0.5},
        {"Steps", "abc", 100},  {"Steps", "2e6", 100},  // not a whole number
        {"Steps", "-4", 0},     {"Steps", "500", 500},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(std::string(C.Key) + "=" + C.Text);
        const TCase Case = LoadText(Dir, std::string("[Data]\n") + C.Key + "=" + C.Text + "\n");
        EXPECT_EQ(std::string(C.Key) == "Step" ? Case.Step : Case.Steps, C.Value);
    }
}

TEST(CaseFile, ListIndicesNeverPullTableValues)
{
    TTempDir Dir;
    const TCase C = LoadText(Dir, "[Data]\nLiquidKind=2\nDensity=500\nPipeKind=5\nYoung=1e9\n"
                                  "[BlowData]\nPipeKind=5\nYoung=3e9\n");
    EXPECT_EQ(std::tie(C.Density, C.Viscous, C.Young, C.Rough, C.BlowYoung),
              std::make_tuple(500.0, 0.001, 1e9, 0.0001, 3e9));
    EXPECT_EQ(std::tie(C.LiquidKind, C.PipeKind), std::make_tuple(2, 5));
}

// Foreign lines and the file's line ends are the profile's, tested with it.
TEST(CaseFile, SavingTwiceIsStable)
{
    TTempDir Dir;
    const std::string Name = Dir.File("old.Hyd");
    WriteText(Name, "; my case\r\n[Data]\r\nStep=5\r\nNote=keep me\r\n");
    TCase Case;
    Case.Slope = -5;
    SaveTo(Name, Case);
    const std::string Once = ReadText(Name);
    EXPECT_NE(Once.find("Slope=-5.00000000000000E+0000\r\n"), std::string::npos);
    SaveTo(Name, Case);
    EXPECT_EQ(ReadText(Name), Once);
}

TEST(CaseFile, ReadsBackWhatItWrote)
{
    TTempDir Dir;
    const std::string Name = Dir.File("round.Hyd");
    TCase Case = DrivenCase();
    Case.Steps = 2500;
    Case.InitialSpeed = -0.5;
    Case.LiquidKind = 3;
    Case.MayBlow = true;
    Case.BlowPipeKind = 4;
    Case.NarrowingKind = 1;
    Case.MayTrunc = true;
    SaveTo(Name, Case);
    TCase Back;
    TProfile Profile(Name);
    LoadCase(Profile, Back);
    for (const TEditorDef& D : EditorDefs())
        if (D.Field) {
            EXPECT_DOUBLE_EQ(Back.*D.Field, Case.*D.Field) << D.Name;
        }
    EXPECT_EQ(std::tie(Back.Steps, Back.LiquidKind, Back.PipeKind, Back.BlowPipeKind,
                       Back.NarrowingKind, Back.MayBlow, Back.MayTrunc),
              std::tie(Case.Steps, Case.LiquidKind, Case.PipeKind, Case.BlowPipeKind,
                       Case.NarrowingKind, Case.MayBlow, Case.MayTrunc));
}

TEST(CaseFile, OnlyFilesWithACaseSectionOrNoTextAreParameterFiles)
{
    TTempDir Dir;
    const struct {
        std::string Bytes;
        bool Case;
    } Cases[] = {
        {"", true},
        {"\xEF\xBB\xBF \t\r\n\r", true},  // blanks: a new case, the defaults
        {"[data]\n", true},
        {"; mine\n[ BLOWDATA ]\nMayBlow=1", true},
        {std::string("\xFF\xFE[\0D\0a\0t\0a\0]\0", 14), true},  // UTF-16 with its mark
        {std::string("[\0D\0a\0t\0a\0]\0", 12), false},         // without it
        {std::string("\x7F\x01\0\0\n[Data]", 11), true},        // any bytes around a section line
        {std::string("\x7F\x01\0\0[Data]", 10), false},         // a section starts its line
        {"; comment only\n", false},
        {"Step=1\nSteps=10\n", false},  // keys without a section
        {"[Data\nStep=1\n", false},
        {"[Other]\nStep=1\n", false},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Bytes);
        WriteText(Dir.File("case.Hyd"), C.Bytes);
        TProfile Profile(Dir.File("case.Hyd"));
        EXPECT_EQ(IsParameterFile(Profile), C.Case);
    }
    TProfile Missing(Dir.File("missing.Hyd"));
    EXPECT_TRUE(IsParameterFile(Missing));
}

// ---------------------------------------------------------------------------
// Strict reading.

namespace {

std::vector<TCaseIssue> IssuesOf(const TTempDir& Dir, const std::string& Text)
{
    const std::string Name = Dir.File("strict.Hyd");
    WriteText(Name, Text);
    TProfile Plain(Name), Strict(Name);
    TCase Read, Checked;
    std::vector<TCaseIssue> Issues;
    LoadCase(Plain, Read);
    LoadCase(Strict, Checked, &Issues);
    // The check changes nothing in the case read.
    TProfile A(Dir.File("a.Hyd")), B(Dir.File("b.Hyd"));
    SaveCase(A, Read);
    SaveCase(B, Checked);
    EXPECT_EQ(A.Text(), B.Text());
    return Issues;
}

}  // namespace

TEST(CaseIssues, KeyTextsNotReadAsWritten)
{
    using K = TCaseIssue::TKind;
    const char* D = DataSection;
    const char* B = BlowSection;
    const double PressMax = EditorValue(TEditorId::Press, INFINITY);
    const struct {
        std::string Text;
        std::vector<TCaseIssue> Issues;
    } Cases[] = {
        // Read as written: the program's own texts, signs, the scale's rounding,
        // any integer for a flag, the dialog's position, other sections.
        {"K=1\n[Data]\nStep= 1.00000000000000E-0003 \nSteps=+50\nInitialFill=0.7\n"
         "Slope=-90\nLiquidKind=11\n[BlowData]\nMayBlow=2\nTop=-5\nLeft=x\n[Other]\nK=z\n",
         {}},
        // Numbers.
        {"[Data]\nStep=abc\nDensity=\nLength=INF\n",
         {{K::NotANumber, D, "Step", "abc", 0.001, 0.001},
          {K::NotANumber, D, "Density", "", 1000, 1000},
          {K::NotANumber, D, "Length", "INF", 0, 0}}},
        {"[Data]\nLength=5 м\nInitialSpeed=-.5\nDiameter=1 234\nWalls=5e\n",
         {{K::ExtraText, D, "InitialSpeed", "-.5", 0.5, 0.5},
          {K::ExtraText, D, "Diameter", "1 234", 1234, 1234},
          {K::ExtraText, D, "Length", "5 м", 5, 5},
          {K::ExtraText, D, "Walls", "5e", 5, 5}}},
        // Limits, also with text around the number.
        {"[Data]\nSlope=120\nPressure=1e999\nYoung=-1\n[BlowData]\nSlope=уклон -95\n",
         {{K::Clamped, D, "Slope", "120", 120, 90},
          {K::Clamped, D, "Pressure", "1e999", INFINITY, PressMax},
          {K::Clamped, D, "Young", "-1", -1, 0},
          {K::ExtraText, B, "Slope", "уклон -95", -95, -90},
          {K::Clamped, B, "Slope", "уклон -95", -95, -90}}},
        // Integers and flags.
        {"[Data]\nSteps=2e6\nLiquidKind=15\nPipeKind=-3\n[BlowData]\nPipeKind=99\n"
         "NarrowingKind=x\nMayTrunc=yes\nMayBlow=1.0\n",
         {{K::NotAnInteger, D, "Steps", "2e6", 100, 100},
          {K::Clamped, D, "LiquidKind", "15", 15, LiquidCount - 1},
          {K::Clamped, D, "PipeKind", "-3", -3, 0},
          {K::Clamped, B, "PipeKind", "99", 99, MaterialCount - 1},
          {K::NotAnInteger, B, "NarrowingKind", "x", 0, 0},
          {K::NotAnInteger, B, "MayTrunc", "yes", 0, 0},
          {K::NotAnInteger, B, "MayBlow", "1.0", 0, 0}}},
        {"[Data]\nSteps=2000000\n", {{K::Clamped, D, "Steps", "2000000", 2e6, 1e6}}},
        // Unknown and repeated keys, in file order; only the first is read.
        {"[Data]\nStep=1\nFoo=1\nstep=abc\n[Other]\nBar=1\n[DATA]\nSTEP=2\n"
         "[blowdata]\nTOP=1\nleft=2\nMayblow=0\nData=\n",
         {{K::UnknownKey, D, "Foo", "", 0, 0},
          {K::RepeatedKey, D, "step", "", 0, 0},
          {K::RepeatedKey, D, "STEP", "", 0, 0},
          {K::UnknownKey, B, "Data", "", 0, 0}}},
    };
    TTempDir Dir;
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Text);
        const std::vector<TCaseIssue> Issues = IssuesOf(Dir, C.Text);
        EXPECT_EQ(Issues.size(), C.Issues.size());
        for (std::size_t I = 0; I < std::min(Issues.size(), C.Issues.size()); ++I)
            EXPECT_EQ(Issues[I], C.Issues[I]) << IssueText(Issues[I]);
    }
}

TEST(CaseIssues, ASavedCaseHasNoneAndEachKindReadsAsOneLine)
{
    TTempDir Dir;
    TCase Case = DrivenCase();
    Case.MayBlow = Case.MayTrunc = true;
    const std::string Name = Dir.File("saved.Hyd");
    TProfile Saved(Name);
    SaveCase(Saved, Case, 120, 340);
    Saved.Commit();
    EXPECT_TRUE(IssuesOf(Dir, ReadText(Name)).empty());

    using K = TCaseIssue::TKind;
    const struct {
        TCaseIssue Issue;
        std::string Text;
    } Cases[] = {
        {{K::NotANumber, "Data", "Step", "abc", 0.001, 0.001},
         "[Data] Step=«abc»: не число, взято значение по умолчанию 0.001"},
        {{K::NotAnInteger, "Data", "Steps", "", 100, 100},
         "[Data] Steps=«»: не целое число, взято значение по умолчанию 100"},
        {{K::ExtraText, "Data", "Length", "5 м", 5, 5},
         "[Data] Length=«5 м»: число с посторонним текстом, прочитано 5"},
        {{K::Clamped, "BlowData", "Young", "1e16", 1e16, 1e15},
         "[BlowData] Young=«1e16»: значение 1e+16 вне пределов, взято 1e+15"},
        {{K::UnknownKey, "Data", "Ключ", "", 0, 0}, "[Data] «Ключ»: неизвестный ключ"},
        {{K::RepeatedKey, "Data", "step", "", 0, 0},
         "[Data] «step»: повторный ключ, не учитывается (учитывается первый)"},
        {{K::NotANumber, "Data", "Step", std::string(50, 'x') + "ё", 0.001, 0.001},
         "[Data] Step=«" + std::string(40, 'x') +
             "…»: не число, взято значение по умолчанию 0.001"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(IssueText(C.Issue), C.Text);
}

// ---------------------------------------------------------------------------
// Validation.

TEST(CaseStatus, TextsColoursAndWhetherItCanRun)
{
    using TColour = TStatus::TColour;
    const std::string Can = " Можно выполнить расчёт ускорения ";
    const std::string Full = Can + "с учётом трения и расчёт гидроудара при постоянном давлении.";
    const std::string Missing = " ——— Недостаточно данных для расчёта: ";
    const struct {
        std::function<void(TCase&)> Change;
        bool Drive;
        std::string Text;
        TColour Colour;
    } Cases[] = {
        {[](TCase&) {}, false, Full, TColour::Normal},
        {[](TCase& C) { C.Rough = 0; }, false,
         Can + "без учёта трения и расчёт гидроудара при постоянном давлении.", TColour::Normal},
        {[](TCase& C) { C.Rough = C.Walls = 0; }, false,
         Can + "без учёта трения при постоянном давлении.", TColour::Normal},
        {[](TCase& C) { C.Step = C.Density = 0; }, false,
         Missing + "шаг времени должен быть больше 0, плотность должна быть больше 0! ———",
         TColour::Missing},
        {[](TCase& C) { C.Steps = 0; }, false,
         Missing + "число шагов расчёта должно быть больше 0! ———", TColour::Missing},
        // Filling: a warning only beyond the length, and only with a length.
        {[](TCase& C) { C.Length = C.InitialFill = 10; }, false, Full, TColour::Normal},
        {[](TCase& C) { C.Length = 10, C.InitialFill = 10.00001; }, false,
         Can + "с учётом трения и расчёт гидроудара при постоянном давлении (заполнение "
               "превышает длину трубы и будет уменьшено).",
         TColour::Warning},
        {[](TCase& C) { C.InitialFill = 1e6; }, false, Full, TColour::Normal},
        // The drive counts only when it is on and complete.
        {[](TCase& C) { C = DrivenCase(); }, true,
         Can + "с учётом трения и расчёт гидроудара под действием гидроудара.", TColour::Normal},
        {[](TCase& C) { C = DrivenCase(); }, false, Full, TColour::Normal},
        {[](TCase& C) { C = DrivenCase(), C.BlowWalls = 0; }, true, Full, TColour::Normal},
    };
    for (std::size_t i = 0; i < std::size(Cases); ++i) {
        SCOPED_TRACE(i);
        TCase Case;
        Cases[i].Change(Case);
        const TStatus S = CaseStatus(Case, Cases[i].Drive);
        EXPECT_EQ(S.Text, Cases[i].Text);
        EXPECT_EQ(S.Colour, Cases[i].Colour);
        EXPECT_EQ(S.CanRun, Cases[i].Colour != TColour::Missing);
        EXPECT_EQ(CanCalculate(Case), S.CanRun);
    }
}

TEST(CasePeriod, RunDurationOrHammerDuration)
{
    TCase C = DrivenCase();
    EXPECT_EQ(CasePeriod(C, false).Text, "100 мс");
    EXPECT_TRUE(CasePeriod(C, false).StepsVisible);
    C.BlowYoung = 0;  // rigid wall: c = 1 / sqrt(1000 * 4.6e-10) ≈ 1474 m/s
    const TPeriod P = CasePeriod(C, true);
    EXPECT_FALSE(P.StepsVisible);
    EXPECT_EQ(P.Text, "Длительность гидроудара 67.8 мс");
}

// ---------------------------------------------------------------------------
// Hand-over to the engine.

TEST(PrepareRun, FillsBothPipesAndChoosesTheMode)
{
    TCase C = DrivenCase();
    C.InitialSpeed = 0.5;
    C.InitialFill = 2;
    C.Slope = 10;
    C.Length = 30;
    C.Pressure = 2e5;
    C.BlowSpeed = 3;
    C.BlowSlope = -4;
    C.BlowYoung = 1e11;
    C.BlowWalls = 0.01;
    TCalc Calc, Blow;
    EXPECT_EQ(PrepareRun(C, true, Calc, Blow), TRunKind::SingleHammer);
    EXPECT_EQ(std::tie(Calc.Steps, Calc.InitialSpeed, Calc.Slope, Calc.Length),
              std::make_tuple(100, 0.5, 10.0, 30.0));
    // The driving pipe takes the run, liquid, pressure, fill and roughness of
    // the case and its own speed, geometry and wall.
    EXPECT_EQ(
        std::tie(Blow.Steps, Blow.Step, Blow.Pressure, Blow.Density, Blow.InitialFill, Blow.Rough),
        std::make_tuple(100, 0.001, 2e5, 1000.0, 2.0, 0.0001));
    EXPECT_EQ(
        std::tie(Blow.InitialSpeed, Blow.Slope, Blow.Diameter, Blow.Length, Blow.Walls, Blow.Young),
        std::make_tuple(3.0, -4.0, 0.3, 50.0, 0.01, 1e11));

    C.MayTrunc = true;
    EXPECT_EQ(PrepareRun(C, true, Calc, Blow), TRunKind::RepeatedHammer);
    // Drive off: no driving speed, constant pressure even with complete data.
    EXPECT_EQ(PrepareRun(C, false, Calc, Blow), TRunKind::ConstantPressure);
    EXPECT_EQ(Blow.InitialSpeed, 0);
    C.BlowLength = 0;  // the hammer needs a finite driving pipe
    EXPECT_EQ(PrepareRun(C, true, Calc, Blow), TRunKind::ConstantPressure);
}

TEST(RunPrepared, CancelledConstantPressureRunWarns)
{
    TScopedFakeLink Link;
    Link.CancelAfterSets = 0;
    TCase C;
    C.Steps = 10;
    TCalc Calc, Blow;
    TCalc* SavedBlow = BlowCalc;
    BlowCalc = &Blow;
    RunPrepared(Calc, PrepareRun(C, false, Calc, Blow));
    BlowCalc = SavedBlow;
    EXPECT_EQ(Calc.Count, 10);
    EXPECT_TRUE(Link.Errors.empty());
    EXPECT_EQ(Link.Warnings, std::vector<std::string>{"Расчёт прерван"});
}
