// The text report: exact layout of small reports written out by hand, the
// optional lines and columns, the pipe-filled line, cancellation and failure
// lines, and the progress window it drives.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Calc.h"
#include "FakeLink.h"
#include "HydComm.h"
#include "UserLink.h"
#include "Utf8Text.h"

namespace {

const std::string CRLF = "\r\n";

// Splits a report into its lines; every line must end in CR LF.
std::vector<std::string> SplitLines(const std::string& Text)
{
    std::vector<std::string> Lines;
    std::size_t Start = 0;
    while (Start < Text.size()) {
        const std::size_t End = Text.find(CRLF, Start);
        if (End == std::string::npos) {
            ADD_FAILURE() << "text does not end with CR LF";
            break;
        }
        std::string Line = Text.substr(Start, End - Start);
        EXPECT_EQ(Line.find_first_of("\r\n"), std::string::npos) << "bare CR or LF in: " << Line;
        Lines.push_back(std::move(Line));
        Start = End + 2;
    }
    return Lines;
}

std::string Joined(const std::vector<std::string>& Lines)
{
    std::string Text;
    for (const auto& Line : Lines)
        Text += Line + CRLF;
    return Text;
}

int CountOf(const std::vector<std::string>& Lines, const std::string& Line)
{
    int N = 0;
    for (const auto& L : Lines)
        N += L == Line;
    return N;
}

std::size_t IndexOf(const std::vector<std::string>& Lines, const std::string& Line)
{
    for (std::size_t i = 0; i < Lines.size(); ++i)
        if (Lines[i] == Line)
            return i;
    return Lines.size();
}

bool StartsWith(const std::string& Line, const std::string& Prefix)
{
    return Line.compare(0, Prefix.size(), Prefix) == 0;
}

bool Contains(const std::vector<std::string>& Lines, const std::string& Part)
{
    for (const auto& L : Lines)
        if (L.find(Part) != std::string::npos)
            return true;
    return false;
}

const std::string PipeFilled = "----- ТРУБА ЗАПОЛНЕНА ПОЛНОСТЬЮ! -----";
const std::string StageHeader =
    "   №№   Время Нач.скорость Ост.скорость Нап.скорость Нагнет.давл. Нагн.разность   "
    "Закачано Время нагнет.  Пауза";

// Every line from First on, apart from the pipe-filled line, is Width characters wide.
void ExpectWidths(const std::vector<std::string>& Lines, std::size_t First, std::size_t Width)
{
    for (std::size_t i = First; i < Lines.size(); ++i) {
        if (Lines[i] == PipeFilled)
            continue;
        EXPECT_EQ(Utf8Length(Lines[i]), Width) << "line " << i << ": " << Lines[i];
    }
}

class ReportTest : public ::testing::Test {
protected:
    TScopedFakeLink Link;
    TCalc Calc;
    std::unique_ptr<TCalc> Blow;
    std::vector<TCalcStep> Steps;
    std::vector<TCalcStep> BlowSteps;
    int SavedLeft = PercentLeft, SavedTop = PercentTop;

    ReportTest() { BlowCalc = nullptr; }
    ~ReportTest() override
    {
        // Records taken from the test's vectors are not the engine objects' to free.
        Detach(Calc, Steps);
        if (Blow)
            Detach(*Blow, BlowSteps);
        BlowCalc = nullptr;
        PercentLeft = SavedLeft;
        PercentTop = SavedTop;
    }

    static void Detach(TCalc& C, const std::vector<TCalcStep>& Records)
    {
        if (C.Records != Records.data())
            return;
        C.Records = nullptr;
        C.Capacity = 0;
        C.Count = 0;
    }
    static void Attach(TCalc& C, std::vector<TCalcStep>& Records)
    {
        C.Records = Records.empty() ? nullptr : Records.data();
        C.Capacity = C.Count = static_cast<int32_t>(Records.size());
    }

    // Water, a 50 mm steel pipe 2 m long, driven at 5 kPa.
    void ConstantPressureCase()
    {
        Calc.Pressure = 5000;
        Calc.Density = 1000;
        Calc.Viscous = 0.001;
        Calc.Condens = 5e-10;
        Calc.Rough = 0;
        Calc.Slope = 0;
        Calc.Diameter = 0.05;
        Calc.Walls = 0.005;
        Calc.Young = 2e11;
        Calc.Length = 2;
        Calc.InitialFill = 0.5;
        Calc.InitialSpeed = 1;
        Calc.ReMax = 5000;
        Steps = {{0.5, 1.0, 2, 2, 100, 1234.4},
                 {1.0, 2.5, 3, 2, 150, 2000.6},
                 {1.5, 4.0, 0, -6, 0, 0}};
        Attach(Calc, Steps);
    }

    TCalc& MakeBlow()
    {
        if (Blow)
            Detach(*Blow, BlowSteps);
        Blow = std::make_unique<TCalc>();
        BlowCalc = Blow.get();
        return *Blow;
    }

    // A 200 mm driving pipe 100 m long struck at 2 m/s, which recorded BlowRecords steps.
    void DrivingPipe(int BlowRecords)
    {
        TCalc& B = MakeBlow();
        B.InitialSpeed = 2;
        B.Diameter = 0.2;
        B.Walls = 0.01;
        B.Young = 2e11;
        B.Length = 100;
        B.InitialFill = 0;
        BlowSteps.assign(static_cast<std::size_t>(BlowRecords), {0, 0.03, 0.5, 0, 2.5e6, 0});
        Attach(B, BlowSteps);
    }

    TCalcStage& AddStage(double Pumped, double Pause)
    {
        TCalcStage& S = *Calc.AppendStage();
        S.StartTime = 0;
        S.StartSpeed = 2;
        S.RestSpeed = 0.5;
        S.PipeSpeed = 0;
        S.PumpPressure = 2.5e6;
        S.Pumped = Pumped;
        S.PumpTime = 0.1;
        S.Pause = Pause;
        return S;
    }

    std::string Report()
    {
        std::string Text = "text of an earlier report";
        Calc.MakeReport(Text);
        return Text;
    }
    std::vector<std::string> ReportLines() { return SplitLines(Report()); }
};

TEST_F(ReportTest, ConstantPressureReportIsExact)
{
    ConstantPressureCase();
    PercentLeft = 10;
    PercentTop = 20;
    Link.MovedLeft = 300;
    Link.MovedTop = 400;

    const std::vector<std::string> Expected = {
        "ИСХОДНЫЕ ДАННЫЕ:",
        "Постоянное внешнее разгоняющее давление 5 кПа.",
        "Плотность жидкости 1000 кг/куб.м.",
        "Динамическая вязкость жидкости 1 г/(м·с).",
        "Сжимаемость жидкости 500 п(Па-1).",
        "Труба считается гидравлически гладкой.",
        "Уклон трубы 0.0°.",
        "Диаметр трубы 50 мм.",
        "Толщина стенок трубы 5 мм.",
        "Модуль упругости материала трубы (модуль Юнга) 200 ГПа.",
        "",
        "РЕЗУЛЬТАТЫ:",
        "Скорость звука в жидкости 1.41 км/c.",
        "Скорость ударной волны 1.35 км/c.",
        "   №№   Время  Заполнение Продвижение    Скорость   Ускорение      Потери          Re"
        "  Сила удара",
        "    0   0.0 c      500 мм       0.0 м       1 м/с        -            -         50000"
        "    1.35 МПа",
        "    1  500 мс         1 м      500 мм       2 м/с      2 м/с2      100 Па        1234"
        "     2.7 МПа",
        PipeFilled,
        "    2     1 с         2 м         2 м       3 м/с      2 м/с2      150 Па        2001"
        "    4.05 МПа",
        "    3   1.5 с         2 м       3.5 м     0.0 м/с     -6 м/с2      0.0 Па           0"
        "      0.0 Па",
    };
    const std::string Text = Report();
    EXPECT_EQ(Text, Joined(Expected));
    const auto Lines = SplitLines(Text);
    ExpectWidths(Lines, 14, 97u);

    ASSERT_EQ(Link.Windows.size(), 1u);
    const auto& W = *Link.Windows[0];
    EXPECT_EQ(W.Caption, "Генерация отчёта...");
    EXPECT_EQ(W.Sets, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
    EXPECT_EQ(W.CancelledAsked, 3);
    EXPECT_EQ(W.Left, 10);   // opened where the last progress window was
    EXPECT_EQ(W.Top, 20);
    EXPECT_TRUE(W.Closed);
    EXPECT_EQ(PercentLeft, 300);   // and its position is kept for the next one
    EXPECT_EQ(PercentTop, 400);
}

TEST_F(ReportTest, SingleHammerReportIsExact)
{
    // No viscosity, no wall data and no length: the optional lines and
    // columns drop out; the driving pipe recorded only the first step.
    Calc.Pressure = 1e5;
    Calc.Density = 1000;
    Calc.Viscous = 0;
    Calc.Condens = 5e-10;
    Calc.Diameter = 0.05;
    Calc.Walls = 0;
    Calc.Young = 2e11;
    Calc.Length = 0;
    Calc.Slope = 1.5;
    Calc.ReMax = -1;
    Steps = {{0.1, 0.02, 0.4, 4, 0, -1}, {0.2, 0.05, 0.6, 2, 0, -1}};
    Attach(Calc, Steps);
    DrivingPipe(1);
    AddStage(1.5, 0);
    Calc.StageCount = 1;

    const std::vector<std::string> Expected = {
        "ИСХОДНЫЕ ДАННЫЕ:",
        "Разгон под действием внешнего гидроудара с параметрами:",
        "   cкорость потока во внешней трубе перед ударом 2 м/с,",
        "   диаметр внешней трубы 200 мм,",
        "   толщина стенки внешней трубы 10 мм,",
        "   модуль упругости внешней трубы 200 ГПа,",
        "   противодавление на выходе рассчитываемой трубы 100 кПа.",
        "Расчётная скорость ударной волны нагнетающего гидроудара 1.29 км/с.",
        "Расчётная длительность нагнетающего гидроудара 77.5 мс.",
        "Плотность жидкости 1000 кг/куб.м.",
        "Динамическая вязкость жидкости 0.0 г/(м·с).",
        "Расчёт потерь на трение не выполнялся (не указаны все необходимые данные).",
        "Уклон трубы 1.5°.",
        "Расчёт скорости ударной волны и силы гидроудара не выполнялся (не указаны все "
        "необходимые данные).",
        "",
        "РЕЗУЛЬТАТЫ (НАГНЕТЕНИЕ ОДИНОЧНЫМ ГИДРОУДАРОМ):",
        "Скорость звука в жидкости 1.41 км/c.",
        "Растянутый гидроудар (с большими утечками — без отбоя).",
        StageHeader,
        "    1   0.0 с        2 м/с     500 мм/с      0.0 м/с      2.5 МПа      2.4 МПа"
        "     47.12 л       100 мс   0.0 с",
        "",
        "ПОДРОБНЫЕ РЕЗУЛЬТАТЫ НАГНЕТЕНИЯ ОДИНОЧНЫМ ГИДРОУДАРОМ:",
        "   №№   Время Вх.давление Ост.скорость Продвижение Заполнение    Скорость   Ускорение",
        "    0   0.0 c      0.0 Па       2 м/с       0.0 м       0.0 м     0.0 м/с        -",
        "    1  100 мс     2.5 МПа    500 мм/с       30 мм       20 мм    400 мм/с      4 м/с2",
        "    2  200 мс        -           -           -          50 мм    600 мм/с      2 м/с2",
    };
    const std::string Text = Report();
    EXPECT_EQ(Text, Joined(Expected));
    const auto Lines = SplitLines(Text);
    EXPECT_EQ(Utf8Length(Lines[18]), 111u);
    EXPECT_EQ(Utf8Length(Lines[19]), 111u);
    EXPECT_EQ(Utf8Length(Lines[24]), Utf8Length(Lines[22]));
    EXPECT_EQ(Utf8Length(Lines[25]), Utf8Length(Lines[22]));

    ASSERT_EQ(Link.Windows.size(), 1u);
    EXPECT_EQ(Link.Windows[0]->Sets, (std::vector<std::pair<int, int>>{{1, 1}, {1, 2}, {2, 2}}));
}

TEST_F(ReportTest, RepeatedHammersGiveStageTableOnly)
{
    ConstantPressureCase();
    Calc.Pressure = 1e5;
    DrivingPipe(3);
    AddStage(1.0, 0.5);
    AddStage(2.5, 0.5);
    AddStage(4.0, 0.5);
    Calc.StageCount = 3;

    const auto Lines = ReportLines();
    EXPECT_EQ(Lines[IndexOf(Lines, "РЕЗУЛЬТАТЫ (НАГНЕТЕНИЕ ГИДРОУДАРОМ):") + 3],
              "Отсечённый гидроудар с повторами.");
    const std::size_t Header = IndexOf(Lines, StageHeader);
    ASSERT_LT(Header, Lines.size());
    // The filled length passes the pipe length in stage 2: the line comes once, before row 2.
    ASSERT_EQ(Lines.size(), Header + 5);
    EXPECT_TRUE(StartsWith(Lines[Header + 1], "    1")) << Lines[Header + 1];
    EXPECT_EQ(Lines[Header + 2], PipeFilled);
    EXPECT_TRUE(StartsWith(Lines[Header + 3], "    2")) << Lines[Header + 3];
    EXPECT_TRUE(StartsWith(Lines[Header + 4], "    3")) << Lines[Header + 4];
    for (std::size_t i : {Header + 1, Header + 3, Header + 4})
        EXPECT_EQ(Utf8Length(Lines[i]), 111u) << Lines[i];
    EXPECT_FALSE(Contains(Lines, "Заполнение"));   // no step table
    EXPECT_EQ(Link.Windows[0]->Sets, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
}

TEST_F(ReportTest, PipeFilledLineAtMostOncePerReport)
{
    ConstantPressureCase();   // the fill passes the length at step 2 as well
    Calc.Pressure = 1e5;
    DrivingPipe(3);
    AddStage(2.5, 0);
    Calc.StageCount = 1;

    const auto Lines = ReportLines();
    EXPECT_EQ(CountOf(Lines, PipeFilled), 1);
    EXPECT_TRUE(StartsWith(Lines[IndexOf(Lines, PipeFilled) + 1], "    1")) << Lines[IndexOf(Lines, PipeFilled) + 1];
    EXPECT_EQ(IndexOf(Lines, PipeFilled), IndexOf(Lines, StageHeader) + 1);
    // The step rows still show the fill clipped and the advance unclipped.
    EXPECT_TRUE(Contains(Lines, "         2 м       3.5 м     0.0 м/с"));
}

TEST_F(ReportTest, WaterHammerColumnsFollowTheDrivingRecords)
{
    ConstantPressureCase();
    TCalc& B = MakeBlow();   // present and set up, but it recorded nothing
    B.InitialSpeed = 2;
    B.Diameter = 0.2;
    auto Lines = ReportLines();
    EXPECT_EQ(Lines[1], "Постоянное внешнее разгоняющее давление 5 кПа.");
    EXPECT_FALSE(Contains(Lines, "Вх.давление"));
    std::size_t Header = IndexOf(Lines, "РЕЗУЛЬТАТЫ:") + 3;
    ExpectWidths(Lines, Header + 1, Utf8Length(Lines[Header]));

    // Records without a driving speed still make it a water-hammer report.
    B.InitialSpeed = 0;
    BlowSteps.assign(3, {0, 0.03, 0.5, 0, 2.5e6, 0});
    Attach(B, BlowSteps);
    Lines = ReportLines();
    EXPECT_EQ(Lines[1], "Разгон под действием внешнего гидроудара с параметрами:");
    Header = IndexOf(Lines, "РЕЗУЛЬТАТЫ:") + 3;
    EXPECT_TRUE(StartsWith(Lines[Header], "   №№   Время Вх.давление Ост.скорость Продвижение"))
        << Lines[Header];
    ExpectWidths(Lines, Header + 1, Utf8Length(Lines[Header]));
}

TEST_F(ReportTest, InelasticDrivingPipeIsSaidSo)
{
    ConstantPressureCase();
    DrivingPipe(3);
    Blow->Walls = 0;
    Blow->Length = 0;
    const auto Lines = ReportLines();
    // 1 / sqrt(1000 × 5e-10) = 1414 m/s; no length, no duration line.
    EXPECT_EQ(Lines[7], "Расчётная скорость ударной волны нагнетающего гидроудара (без учёта "
                        "упругости стенок трубы) 1.41 км/с.");
    EXPECT_EQ(Lines[8], "Плотность жидкости 1000 кг/куб.м.");
}

TEST_F(ReportTest, MissingDataDropLinesAndColumns)
{
    ConstantPressureCase();
    Calc.ReMax = -1;   // no viscosity: no friction losses were computed
    auto Lines = ReportLines();
    EXPECT_EQ(CountOf(Lines, "Расчёт потерь на трение не выполнялся (не указаны все необходимые "
                             "данные)."), 1);
    EXPECT_EQ(Lines[14], "   №№   Время  Заполнение Продвижение    Скорость   Ускорение  Сила удара");
    // Row 0 keeps the hammer force under its heading.
    EXPECT_EQ(Lines[15], "    0   0.0 c      500 мм       0.0 м       1 м/с        -       1.35 МПа");
    EXPECT_EQ(Lines[16], "    1  500 мс         1 м      500 мм       2 м/с      2 м/с2     2.7 МПа");

    Calc.ReMax = 5000;
    Calc.Walls = 0;    // no wall data: no shock-wave speed
    Lines = ReportLines();
    EXPECT_FALSE(Contains(Lines, "Сжимаемость"));
    EXPECT_FALSE(Contains(Lines, "Скорость ударной волны"));
    EXPECT_FALSE(Contains(Lines, "Толщина стенок"));
    EXPECT_FALSE(Contains(Lines, "Сила удара"));
    EXPECT_EQ(CountOf(Lines, "Диаметр трубы 50 мм."), 1);
    EXPECT_EQ(CountOf(Lines, "Расчёт скорости ударной волны и силы гидроудара не выполнялся (не "
                             "указаны все необходимые данные)."), 1);
    EXPECT_EQ(Lines.back(), "    3   1.5 с         2 м       3.5 м     0.0 м/с     -6 м/с2"
                            "      0.0 Па           0");

    Calc.ReMax = -1;   // neither: no diameter line either
    Calc.Young = 0;
    Calc.Walls = 0.005;
    Lines = ReportLines();
    EXPECT_FALSE(Contains(Lines, "Диаметр трубы"));
    EXPECT_TRUE(StartsWith(Lines[IndexOf(Lines, "РЕЗУЛЬТАТЫ:") + 3], "    0 ")) << Lines[IndexOf(Lines, "РЕЗУЛЬТАТЫ:") + 3];
    EXPECT_EQ(Lines[IndexOf(Lines, "РЕЗУЛЬТАТЫ:") + 3],
              "    0   0.0 c      500 мм       0.0 м       1 м/с        -");

    Calc.Condens = 0;  // no compressibility: no speed of sound either
    Lines = ReportLines();
    EXPECT_FALSE(Contains(Lines, "Скорость звука"));
    EXPECT_TRUE(StartsWith(Lines[IndexOf(Lines, "РЕЗУЛЬТАТЫ:") + 1], "   №№")) << Lines[IndexOf(Lines, "РЕЗУЛЬТАТЫ:") + 1];
}

TEST_F(ReportTest, NoLengthMeansNoAdvanceNoClippingNoPipeFilledLine)
{
    ConstantPressureCase();
    Calc.Length = 0;
    const auto Lines = ReportLines();
    EXPECT_EQ(CountOf(Lines, PipeFilled), 0);
    EXPECT_FALSE(Contains(Lines, "Продвижение"));
    EXPECT_EQ(Lines[15], "    0   0.0 c      500 мм       1 м/с        -            -         50000"
                         "    1.35 МПа");
    EXPECT_EQ(Lines[18], "    3   1.5 с         4 м     0.0 м/с     -6 м/с2      0.0 Па           0"
                         "      0.0 Па");
}

TEST_F(ReportTest, ValueTexts)
{
    ConstantPressureCase();
    Calc.Pressure = 0;
    Calc.Rough = 1e-4;
    Calc.Slope = -2.5;
    auto Lines = ReportLines();
    EXPECT_EQ(Lines[1], "Постоянное внешнее разгоняющее давление 0.0 Па.");
    EXPECT_EQ(Lines[5], "Эквивалентная шероховатость трубы 100 мкм.");
    EXPECT_EQ(Lines[6], "Уклон трубы -2.5°.");

    Calc.Density = 0.5;   // up to 1 kg/m³ the density is given in its own prefix
    Lines = ReportLines();
    EXPECT_EQ(Lines[2], "Плотность жидкости 500 г/куб.м.");
    Calc.Density = 1;
    Lines = ReportLines();
    EXPECT_EQ(Lines[2], "Плотность жидкости 1 кг/куб.м.");
    Calc.Density = 13600;
    Lines = ReportLines();
    EXPECT_EQ(Lines[2], "Плотность жидкости 13600 кг/куб.м.");

    Calc.Density = 1000;
    Steps[0].Re = -1;   // a Reynolds number that could not be computed
    Lines = ReportLines();
    EXPECT_EQ(Lines[IndexOf(Lines, "РЕЗУЛЬТАТЫ:") + 5],
              "    1  500 мс         1 м      500 мм       2 м/с      2 м/с2      100 Па  нет данных"
              "     2.7 МПа");
}

TEST_F(ReportTest, CancelEndsTheTableWithRowsDoneOfAll)
{
    ConstantPressureCase();
    Link.CancelAfterSets = 0;   // at once: row 0 only
    auto Lines = ReportLines();
    const std::size_t Header = IndexOf(Lines, "РЕЗУЛЬТАТЫ:") + 3;
    ASSERT_EQ(Lines.size(), Header + 3);
    EXPECT_TRUE(StartsWith(Lines[Header + 1], "    0")) << Lines[Header + 1];
    EXPECT_EQ(Lines[Header + 2], "ГЕНЕРАЦИЯ ОТЧЁТА БЫЛА ПРЕРВАНА ПОЛЬЗОВАТЕЛЕМ (0 из 3)!");
    EXPECT_TRUE(Link.Windows.back()->Sets.empty());
    EXPECT_TRUE(Link.Windows.back()->Closed);

    Link.CancelAfterSets = 2;   // part-way
    Lines = ReportLines();
    EXPECT_TRUE(StartsWith(Lines[Lines.size() - 2], "    2")) << Lines[Lines.size() - 2];
    EXPECT_EQ(Lines.back(), "ГЕНЕРАЦИЯ ОТЧЁТА БЫЛА ПРЕРВАНА ПОЛЬЗОВАТЕЛЕМ (2 из 3)!");
    EXPECT_EQ(Link.Windows.back()->CancelledAsked, 3);

    DrivingPipe(3);             // in the stage table of repeated hammers
    for (int i = 0; i < 3; ++i)
        AddStage(1.0, 0);
    Calc.StageCount = 3;
    Link.CancelAfterSets = 1;
    Lines = ReportLines();
    EXPECT_TRUE(StartsWith(Lines[Lines.size() - 2], "    1")) << Lines[Lines.size() - 2];
    EXPECT_EQ(Lines.back(), "ГЕНЕРАЦИЯ ОТЧЁТА БЫЛА ПРЕРВАНА ПОЛЬЗОВАТЕЛЕМ (1 из 3)!");
}

TEST_F(ReportTest, CancelInSingleHammerStageTableCancelsTheStepTableToo)
{
    ConstantPressureCase();
    DrivingPipe(3);
    AddStage(1.0, 0);
    Calc.StageCount = 1;
    Link.CancelAfterSets = 0;
    const auto Lines = ReportLines();
    const std::size_t Header = IndexOf(Lines, StageHeader);
    ASSERT_EQ(Lines.size(), Header + 7);
    EXPECT_EQ(Lines[Header + 1], "ГЕНЕРАЦИЯ ОТЧЁТА БЫЛА ПРЕРВАНА ПОЛЬЗОВАТЕЛЕМ (0 из 1)!");
    EXPECT_EQ(Lines[Header + 2], "");
    EXPECT_EQ(Lines[Header + 3], "ПОДРОБНЫЕ РЕЗУЛЬТАТЫ НАГНЕТЕНИЯ ОДИНОЧНЫМ ГИДРОУДАРОМ:");
    EXPECT_TRUE(StartsWith(Lines[Header + 4], "   №№   Время Вх.дав")) << Lines[Header + 4];
    EXPECT_TRUE(StartsWith(Lines[Header + 5], "    0   0.0 c")) << Lines[Header + 5];
    EXPECT_EQ(Lines[Header + 6], "ГЕНЕРАЦИЯ ОТЧЁТА БЫЛА ПРЕРВАНА ПОЛЬЗОВАТЕЛЕМ (0 из 3)!");
}

TEST_F(ReportTest, ShortStageListIsSaid)
{
    ConstantPressureCase();
    DrivingPipe(3);
    AddStage(1.0, 0);
    AddStage(1.0, 0);
    Calc.StageCount = 3;   // one stage more than the list holds
    const auto Lines = ReportLines();
    EXPECT_EQ(Lines.back(), " ОТЧЁТ СФОРМИРОВАН НЕ ПОЛНОСТЬЮ!");
    EXPECT_TRUE(StartsWith(Lines[Lines.size() - 2], "    2")) << Lines[Lines.size() - 2];
    EXPECT_EQ(Link.Windows[0]->Sets, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}}));
}

TEST_F(ReportTest, FailedStageRowKeepsItsPartAndGoesOn)
{
    // Without a driving pipe the pumped volume of a stage cannot be given.
    ConstantPressureCase();
    Calc.Pressure = 1e5;
    AddStage(1.0, 0);
    AddStage(1.0, 0);
    Calc.StageCount = 2;
    const auto Lines = ReportLines();
    const std::size_t Header = IndexOf(Lines, StageHeader);
    ASSERT_EQ(Lines.size(), Header + 3);
    const std::string Part =
        "    1   0.0 с        2 м/с     500 мм/с      0.0 м/с      2.5 МПа      2.4 МПа";
    EXPECT_EQ(Lines[Header + 1], Part + " ОШИБКА ФОРМИРОВАНИЯ ОТЧЁТА!");
    EXPECT_EQ(Lines[Header + 2], "    2" + Part.substr(5) + " ОШИБКА ФОРМИРОВАНИЯ ОТЧЁТА!");
}

TEST_F(ReportTest, MissingRecordsFailTheReportAndStillKeepTheWindowPosition)
{
    ConstantPressureCase();
    Calc.Capacity = 2;   // fewer records than the count claims
    Link.MovedLeft = 77;
    Link.MovedTop = 88;
    std::string Text;
    EXPECT_ANY_THROW(Calc.MakeReport(Text));
    EXPECT_TRUE(Link.Windows[0]->Closed);
    EXPECT_EQ(PercentLeft, 77);
    EXPECT_EQ(PercentTop, 88);
}

TEST_F(ReportTest, EndToEndAfterARun)
{
    Calc.SetParams(200, 0.01, 20000, 0, 0, 0, 998, 0.001, 4.6e-10, 0.05, 10, 0.004, 1e-5,
                   2e11);
    ASSERT_TRUE(Calc.Run(0));
    ASSERT_EQ(Calc.Count, 200);
    Link.Windows.clear();
    const auto Lines = ReportLines();
    const std::size_t Header = IndexOf(Lines, "РЕЗУЛЬТАТЫ:") + 3;
    ASSERT_LT(Header, Lines.size());
    EXPECT_EQ(Lines[Header], "   №№   Время  Заполнение Продвижение    Скорость   Ускорение"
                             "      Потери          Re  Сила удара");
    EXPECT_TRUE(StartsWith(Lines[Header + 1], "    0   0.0 c")) << Lines[Header + 1];
    EXPECT_TRUE(StartsWith(Lines.back(), "  200"));
    ExpectWidths(Lines, Header + 1, 97u);
    EXPECT_EQ(Link.Windows.size(), 1u);
    EXPECT_EQ(Link.Windows[0]->Sets.size(), 200u);
}

}  // namespace
