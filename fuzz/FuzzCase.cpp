// The whole case path: arbitrary bytes as a case file, read into a case,
// validated, run as the run command does (water-hammer stages included),
// then the report, the CSV tables and the chart.
//
// Each input must end in a result, a message or a clean refusal:
// - a file the profile reader refuses, or a case the validation does not
//   let run, is a refusal;
// - the engine reports its faults through the user link (counted here,
//   nothing printed) and never lets an exception out;
// - the records a run counts are whole numbers (faults stop a run before the
//   faulty step is counted), the ranges cover them, the stage list is as
//   long as its count;
// - the report is valid UTF-8, the CSV tables have one line per record or
//   stage and only finite numbers;
// - the report agrees with the CSV tables: the stage and step tables are there
//   when the stage count asks for them, with one row per stage or record (up
//   to the row at which the report's window, cancelled in one input in four,
//   says so; the cancelled line then names the rows written and the total),
//   each cell showing its CSV number (or the driving pipe's record) to the
//   report's digits, the pipe-filled line once, right before the first row
//   beyond the pipe's end;
// - a run cut short shows an error message, and a constant-pressure run shows
//   one exactly when it has fewer records than steps; the report shows none;
// - a saved case reads back as the same case.
//
// Runs are kept short: the step count of a case is cut to MaxSteps, and a
// water-hammer run (whose stages choose their own step counts) is stopped
// after MaxProgress steps in one input by an exception from the progress
// window, which the run driver must take as a failed run.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <memory>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

#include "batch/BatchTool.h"
#include "case/CaseModel.h"
#include "case/RunSetup.h"
#include "engine/Calc.h"
#include "engine/Tables.h"
#include "engine/UserLink.h"
#include "engine/WaveSpeed.h"
#include "fuzz/FuzzCommon.h"
#include "results/Csv.h"
#include "results/SvgCanvas.h"
#include "text/Profile.h"
#include "text/Utf8Text.h"

namespace {

using fuzz::ValidUtf8;

constexpr int32_t MaxSteps = 300;
constexpr long MaxProgress = 2000;

long ProgressSteps = 0;  // steps shown in this input so far
bool Limited = false;    // a run is under way: MaxProgress counts
bool BudgetSpent = false;
bool Reporting = false;  // the report is being made
int CancelAt = 0;        // the report's window is cancelled at this question (0: never)
int Asked = 0;           // questions of the report's window so far

struct TStepBudgetSpent {};

class TQuietProgress : public TProgress {
public:
    void Percent_Set(int Position, int Total) override
    {
        FUZZ_CHECK(Position >= 0 && Position <= Total, "progress %d of %d", Position, Total);
        if (Limited && ++ProgressSteps > MaxProgress) {
            BudgetSpent = true;
            throw TStepBudgetSpent{};
        }
    }
    bool Percent_Cancelled() override
    {
        if (!Reporting)
            return false;
        return CancelAt > 0 && ++Asked >= CancelAt;
    }
};

class TCountingLink : public TUserLink {
public:
    std::unique_ptr<TProgress> Percent_Open(const std::string&) override
    {
        return std::make_unique<TQuietProgress>();
    }
    void Dialog_Error(const std::string& Text) override { Check(Text), ++Errors; }
    void Dialog_Warning(const std::string& Text) override { Check(Text), ++Warnings; }
    int Errors = 0;
    int Warnings = 0;

private:
    static void Check(const std::string& Text)
    {
        FUZZ_CHECK(!Text.empty() && Utf8Length(Text) * 4 >= Text.size() &&
                       Text.find('\0') == std::string::npos,
                   "message %s", fuzz::Show(Text).c_str());
    }
};

std::size_t Lines(const std::string& S)
{
    return static_cast<std::size_t>(std::count(S.begin(), S.end(), '\n'));
}

void CheckCsv(const char* What, const std::string& Csv, std::size_t Rows)
{
    FUZZ_CHECK(Lines(Csv) == Rows + 1, "%s: %zu lines for %zu rows", What, Lines(Csv), Rows);
    FUZZ_CHECK(Csv.find("nan") == std::string::npos && Csv.find("inf") == std::string::npos,
               "%s holds a number that is not finite", What);
}

bool Close(double A, double B)
{
    if (A == B)
        return true;
    return std::fabs(A - B) <= 1e-12 * std::max(std::fabs(A), std::fabs(B));
}

void CheckSameCase(const TCase& A, const TCase& B)
{
    const double TCase::*Reals[] = {
        &TCase::Step,      &TCase::InitialFill, &TCase::InitialSpeed, &TCase::Slope,
        &TCase::Pressure,  &TCase::Density,     &TCase::Viscous,      &TCase::Condens,
        &TCase::Diameter,  &TCase::Length,      &TCase::Rough,        &TCase::Young,
        &TCase::Walls,     &TCase::BlowSpeed,   &TCase::BlowDiameter, &TCase::BlowLength,
        &TCase::BlowSlope, &TCase::BlowYoung,   &TCase::BlowWalls};
    for (std::size_t I = 0; I < sizeof Reals / sizeof Reals[0]; ++I)
        FUZZ_CHECK(Close(A.*Reals[I], B.*Reals[I]),
                   "saved value %zu reads back as %.17g, not %.17g", I, B.*Reals[I], A.*Reals[I]);
    FUZZ_CHECK(A.Steps == B.Steps && A.LiquidKind == B.LiquidKind && A.PipeKind == B.PipeKind &&
                   A.MayBlow == B.MayBlow && A.BlowPipeKind == B.BlowPipeKind &&
                   A.NarrowingKind == B.NarrowingKind && A.MayTrunc == B.MayTrunc,
               "saved integers read back differently");
}

void CheckResults(const TCalc& Calc)
{
    FUZZ_CHECK(Calc.Count >= 0 && Calc.Count <= Calc.Capacity && (Calc.Count == 0 || Calc.Records),
               "Count %d of %d records", Calc.Count, Calc.Capacity);
    for (int32_t I = 0; I < Calc.Count; ++I) {
        const TCalcStep& R = Calc.Records[I];
        const double Fields[] = {R.Time, R.Fill, R.Speed, R.Accel, R.Losses, R.Re};
        for (double X : Fields)
            FUZZ_CHECK(std::isfinite(X), "record %d of %d holds %g", I, Calc.Count, X);
        FUZZ_CHECK(R.Re >= Calc.ReMin && R.Re <= Calc.ReMax && R.Fill >= Calc.FillMin &&
                       R.Fill <= Calc.FillMax && R.Speed >= Calc.SpeedMin &&
                       R.Speed <= Calc.SpeedMax && R.Accel >= Calc.AccelMin &&
                       R.Accel <= Calc.AccelMax && R.Losses >= Calc.LossesMin &&
                       R.Losses <= Calc.LossesMax,
                   "record %d lies outside the ranges", I);
    }
    int32_t Nodes = 0;
    for (const TCalcStage* S = Calc.Stages; S && Nodes <= Calc.StageCount; S = S->Next)
        ++Nodes;
    FUZZ_CHECK(Nodes == Calc.StageCount, "%d stages listed, StageCount %d", Nodes, Calc.StageCount);
}

// ---------------------------------------------------------------------------
// The report against the CSV tables: every row of the stage and step tables
// is read back cell by cell (number, blank, decimal prefix and unit) and
// compared with the CSV's numbers within the digits the report shows.

// The numbers of each line of a CSV text after its header.
std::vector<std::vector<double>> CsvRows(const std::string& Csv, std::size_t Columns)
{
    std::vector<std::vector<double>> Rows;
    std::size_t Start = Csv.find('\n');
    while (Start != std::string::npos && Start + 1 < Csv.size()) {
        const std::size_t End = Csv.find('\n', Start + 1);
        const std::string Line = Csv.substr(Start + 1, End - Start - 1);
        std::vector<double> Row;
        const char* P = Line.c_str();
        for (;;) {
            char* After = nullptr;
            Row.push_back(std::strtod(P, &After));
            FUZZ_CHECK(After != P, "CSV line %s", fuzz::Show(Line).c_str());
            if (*After != ',')
                break;
            P = After + 1;
        }
        FUZZ_CHECK(Row.size() == Columns, "CSV line %s: %zu numbers", fuzz::Show(Line).c_str(),
                   Row.size());
        Rows.push_back(Row);
        Start = End;
    }
    return Rows;
}

struct TPrefix {
    std::string_view Text;
    double Scale;
};
// Longer prefixes first: "мк" before "м".
constexpr TPrefix Prefixes[] = {{"мк", 1e-6}, {"ф", 1e-15}, {"п", 1e-12}, {"н", 1e-9},
                                {"м", 1e-3},  {"к", 1e3},   {"М", 1e6},   {"Г", 1e9},
                                {"Т", 1e12},  {"П", 1e15},  {"Э", 1e18},  {"", 1}};

// One table row, read cell by cell; every reader skips the blanks before its cell.
class TRowReader {
public:
    explicit TRowReader(std::string_view Row) : Row(Row) {}

    bool Integer(long long& N)
    {
        Blanks();
        const std::size_t Start = Pos;
        N = 0;
        while (Pos < Row.size() && Row[Pos] >= '0' && Row[Pos] <= '9' && Pos - Start < 18)
            N = N * 10 + (Row[Pos++] - '0');
        return Pos > Start;
    }
    // "number prefix+Unit": Number is the number as written, Scale the prefix's.
    bool Value(std::string_view Unit, double& Number, double& Scale)
    {
        if (!ReadNumber(Number) || Pos >= Row.size() || Row[Pos] != ' ')
            return false;
        ++Pos;
        for (const TPrefix& P : Prefixes) {
            const std::size_t Length = P.Text.size() + Unit.size();
            if (Row.compare(Pos, P.Text.size(), P.Text) != 0 ||
                Row.compare(Pos + P.Text.size(), Unit.size(), Unit) != 0)
                continue;
            // The cell ends there: a blank, the next cell's number or the row's end.
            const std::size_t Next = Pos + Length;
            if (Next < Row.size() &&
                std::string_view(" 0123456789-NI").find(Row[Next]) == std::string_view::npos)
                continue;
            Pos = Next;
            Scale = P.Scale;
            return true;
        }
        return false;
    }
    bool Dash()
    {
        Blanks();
        if (Pos < Row.size() && Row[Pos] == '-' && (Pos + 1 == Row.size() || Row[Pos + 1] == ' ')) {
            ++Pos;
            return true;
        }
        return false;
    }
    bool Word(std::string_view W)
    {
        Blanks();
        if (Row.compare(Pos, W.size(), W) != 0)
            return false;
        Pos += W.size();
        return true;
    }
    bool ReadNumber(double& X)
    {
        Blanks();
        for (std::string_view Word : {"-INF", "INF", "NAN"})
            if (Row.compare(Pos, Word.size(), Word) == 0) {
                Pos += Word.size();
                X = Word == "NAN" ? std::nan("") : Word[0] == '-' ? -HUGE_VAL : HUGE_VAL;
                return true;
            }
        // A sign only first or after the exponent letter: a cell too wide for
        // its column follows the one before without a blank.
        const std::size_t Start = Pos;
        while (Pos < Row.size() &&
               (std::string_view(".0123456789e").find(Row[Pos]) != std::string_view::npos ||
                ((Row[Pos] == '-' || Row[Pos] == '+') && (Pos == Start || Row[Pos - 1] == 'e'))))
            ++Pos;
        const std::string Text(Row.substr(Start, Pos - Start));
        char* End = nullptr;
        X = std::strtod(Text.c_str(), &End);
        return !Text.empty() && End == Text.c_str() + Text.size();
    }
    // The run of digits here (after blanks), and the rest of the row.
    std::string Digits()
    {
        Blanks();
        const std::size_t Start = Pos;
        while (Pos < Row.size() && Row[Pos] >= '0' && Row[Pos] <= '9')
            ++Pos;
        return std::string(Row.substr(Start, Pos - Start));
    }
    std::string Rest() const { return std::string(Row.substr(Pos)); }
    bool AtEnd()
    {
        Blanks();
        return Pos == Row.size();
    }

private:
    void Blanks()
    {
        while (Pos < Row.size() && Row[Pos] == ' ')
            ++Pos;
    }
    std::string_view Row;
    std::size_t Pos = 0;
};

// Number (as shown with prefix Scale) is Want to Digits significant digits.
bool Shows(double Number, double Scale, double Want, int Digits)
{
    if (!std::isfinite(Want))
        return Number == Want && Scale == 1;
    const double X = Want / Scale;
    const double Half = 0.5 * std::pow(10.0, 1 - Digits);
    return std::fabs(Number - X) <= Half * std::fabs(X) * (1 + 1e-9) + 1e-300;
}

struct TTableCheck {
    std::string_view Row;
    int Line;
    void Fail(const char* What) const
    {
        FUZZ_CHECK(false, "report line %d, %s: %s", Line, What,
                   fuzz::Show(std::string(Row)).c_str());
    }
};

void Cell(TRowReader& R, const TTableCheck& C, std::string_view Unit, double Want, int Digits,
          const char* What)
{
    double Number = 0, Scale = 1;
    if (!R.Value(Unit, Number, Scale))
        C.Fail(What);
    if (!Shows(Number, Scale, Want, Digits)) {
        std::fprintf(stderr, "%s: %.17g (scale %g) shown for %.17g\n", What, Number, Scale, Want);
        C.Fail(What);
    }
}

// The whole Reynolds number Re and the rest of the row (the hammer force when
// HasForce). A number of more than 12 digits runs into a force cell that
// fills its column: every split of the digits is tried.
void ReynoldsAndRest(TRowReader& R, const TTableCheck& C, double Re, bool HasForce, double Force)
{
    const std::string Digits = R.Digits();
    const std::string Rest = R.Rest();
    for (std::size_t K = Digits.size(); K >= 1; --K) {
        if (std::fabs(std::strtod(Digits.substr(0, K).c_str(), nullptr) - Re) > 0.5 + Re * 1e-15)
            continue;
        const std::string Tail = Digits.substr(K) + Rest;
        TRowReader T(Tail);
        double Number = 0, Scale = 1;
        if (HasForce && !(T.Value("Па", Number, Scale) && Shows(Number, Scale, Force, ValueDigits)))
            continue;
        if (T.AtEnd())
            return;
    }
    C.Fail(HasForce ? "Reynolds number and hammer force" : "Reynolds number");
}

// The report's lines (each ends with CR LF).
std::vector<std::string_view> ReportLines(const std::string& Report)
{
    std::vector<std::string_view> Lines;
    const std::string_view Text(Report);
    FUZZ_CHECK(Text.size() >= 2 && Text.substr(Text.size() - 2) == "\r\n",
               "the report does not end with CR LF");
    for (std::size_t Start = 0; Start < Text.size();) {
        const std::size_t End = Text.find("\r\n", Start);
        Lines.push_back(Text.substr(Start, End - Start));
        Start = End + 2;
    }
    return Lines;
}

constexpr std::string_view PipeFilled = "----- ТРУБА ЗАПОЛНЕНА ПОЛНОСТЬЮ! -----";
constexpr std::string_view CancelledWords = "ГЕНЕРАЦИЯ ОТЧЁТА БЫЛА ПРЕРВАНА ПОЛЬЗОВАТЕЛЕМ (";

// How a table ends: rows written, and the cancelled line's numbers.
struct TTableEnd {
    long long Rows = 0;
    bool Cancelled = false;
    long long Done = 0, Total = 0;
};

// Reads the rows after Lines[At] (the header) with ReadRow, the pipe-filled
// line among them, and the cancelled line after them.
template <typename TReadRow>
TTableEnd ReadTable(const std::vector<std::string_view>& Lines, std::size_t& At, bool& PipeSeen,
                    TReadRow ReadRow)
{
    TTableEnd End;
    for (++At; At < Lines.size(); ++At) {
        const std::string_view L = Lines[At];
        if (L == PipeFilled) {
            FUZZ_CHECK(!PipeSeen, "a second pipe-filled line at report line %zu", At + 1);
            PipeSeen = true;
            FUZZ_CHECK(At + 1 < Lines.size() && ReadRow(Lines[At + 1], At + 1, End.Rows + 1, true),
                       "the pipe-filled line at report line %zu is not before the first row "
                       "beyond the pipe's end",
                       At + 1);
            continue;
        }
        if (L.substr(0, CancelledWords.size()) == CancelledWords) {
            TRowReader R(L.substr(CancelledWords.size()));
            FUZZ_CHECK(R.Integer(End.Done) && R.Word("из") && R.Integer(End.Total) &&
                           R.Word(")!") && R.AtEnd(),
                       "report line %zu: %s", At + 1, fuzz::Show(std::string(L)).c_str());
            End.Cancelled = true;
            ++At;
            break;
        }
        // A row starts with its number (a time cell that fills its column
        // follows it without a blank).
        if (!TRowReader(L).Word(std::to_string(End.Rows + 1)))
            break;
        ReadRow(L, At, ++End.Rows, false);
    }
    return End;
}

std::size_t FindLine(const std::vector<std::string_view>& Lines, std::string_view Start,
                     std::string_view Also)
{
    for (std::size_t I = 0; I < Lines.size(); ++I)
        if (Lines[I].substr(0, Start.size()) == Start &&
            Lines[I].find(Also) != std::string_view::npos)
            return I;
    return Lines.size();
}

void CheckReport(const std::string& Report, const TCalc& Calc, const TCalc& Blow,
                 const std::vector<std::vector<double>>& Steps,
                 const std::vector<std::vector<double>>& Stages)
{
    const std::vector<std::string_view> Lines = ReportLines(Report);
    FUZZ_CHECK(Lines[0] == "ИСХОДНЫЕ ДАННЫЕ:", "the report starts with %s",
               fuzz::Show(std::string(Lines[0])).c_str());
    FUZZ_CHECK(Steps.size() == static_cast<std::size_t>(Calc.Count) &&
                   Stages.size() == static_cast<std::size_t>(Calc.StageCount),
               "%zu step and %zu stage lines in the CSV", Steps.size(), Stages.size());

    const bool HasLength = Calc.Length > 0;
    const bool HasLosses = Calc.ReMax >= 0;
    const bool HammerMode = Blow.Count > 0;
    double Shock = -1;
    if (Calc.Density > 0 && Calc.Condens > 0 && Calc.Diameter > 0 && Calc.Walls > 0 &&
        Calc.Young > 0) {
        const double C =
            WaveSpeed(Calc.Density, Calc.Condens, Calc.Diameter, Calc.Walls, Calc.Young);
        Shock = std::isfinite(C) && C > 0 ? C : -1;
    }
    // Where the report's window says "cancelled": rows of the stage table
    // first, then of the step table.
    const long long StageRows = Calc.StageCount;
    const long long StepRows = Calc.StageCount < 2 ? Calc.Count : 0;
    const long long CancelRow = CancelAt > 0 ? CancelAt : StageRows + StepRows + 1;

    bool PipeSeen = false;
    bool Beyond = false;  // a row written so far lies beyond the pipe's end
    const double Radius = Blow.Diameter / 2;

    std::size_t At = FindLine(Lines, "   №№   Время Нач.скорость", "Пауза");
    FUZZ_CHECK((At < Lines.size()) == (Calc.StageCount > 0), "stage table %s for %d stages",
               At < Lines.size() ? "written" : "missing", Calc.StageCount);
    if (At < Lines.size()) {
        const TTableEnd End = ReadTable(
            Lines, At, PipeSeen,
            [&](std::string_view L, std::size_t Line, long long N, bool Probe) {
                FUZZ_CHECK(N <= static_cast<long long>(Stages.size()), "stage row %lld of %zu", N,
                           Stages.size());
                const std::vector<double>& S = Stages[static_cast<std::size_t>(N - 1)];
                const bool Past = HasLength && S[4] > Calc.Length;
                if (Probe)
                    return Past && !Beyond;
                FUZZ_CHECK(!Past || Beyond || PipeSeen, "no pipe-filled line before stage %lld", N);
                Beyond = Beyond || Past;
                const TTableCheck C{L, static_cast<int>(Line + 1)};
                TRowReader R(L);
                R.Word(std::to_string(N));
                Cell(R, C, "с", S[0], ValueDigits, "start time");
                Cell(R, C, "м/с", S[1], ValueDigits, "start speed");
                Cell(R, C, "м/с", S[2], ValueDigits, "rest speed");
                Cell(R, C, "м/с", S[5], ValueDigits, "pipe speed");
                Cell(R, C, "Па", S[3], ValueDigits, "pump pressure");
                Cell(R, C, "Па", S[3] - Calc.Pressure, ValueDigits, "pressure difference");
                Cell(R, C, "л", std::numbers::pi * Radius * Radius * S[4] * 1000, ValueDigits + 1,
                     "pumped volume");
                Cell(R, C, "с", S[6], ValueDigits, "pump time");
                Cell(R, C, "с", S[7], ValueDigits, "pause");
                if (!R.AtEnd())
                    C.Fail("more cells");
                return true;
            });
        const long long Want = std::min(StageRows, CancelRow - 1);
        FUZZ_CHECK(End.Rows == Want, "%lld of %lld stage rows written, %lld wanted; then %s",
                   End.Rows, StageRows, Want,
                   At < Lines.size() ? fuzz::Show(std::string(Lines[At])).c_str() : "the end");
        FUZZ_CHECK(End.Cancelled == (CancelRow <= StageRows) &&
                       (!End.Cancelled || (End.Done == Want && End.Total == StageRows)),
                   "stage table: cancelled %d (%lld of %lld), at row %lld", End.Cancelled, End.Done,
                   End.Total, CancelRow);
    }

    At = FindLine(Lines, "   №№   Время ", "Заполнение");
    FUZZ_CHECK((At < Lines.size()) == (Calc.StageCount < 2), "step table %s for %d stages",
               At < Lines.size() ? "written" : "missing", Calc.StageCount);
    if (At < Lines.size()) {
        const std::string_view Header = Lines[At];
        auto Has = [&Header](std::string_view Word) {
            return Header.find(Word) != std::string_view::npos;
        };
        FUZZ_CHECK(Has("Вх.давление") == HammerMode && Has("Потери") == HasLosses &&
                       Has("Сила удара") == (Shock >= 0),
                   "step table header %s", fuzz::Show(std::string(Header)).c_str());
        ++At;
        FUZZ_CHECK(At < Lines.size() && Lines[At].substr(0, 13) == "    0   0.0 c",
                   "no row 0 after the step table header");
        const TTableEnd End = ReadTable(
            Lines, At, PipeSeen,
            [&](std::string_view L, std::size_t Line, long long N, bool Probe) {
                FUZZ_CHECK(N <= static_cast<long long>(Steps.size()), "step row %lld of %zu", N,
                           Steps.size());
                const std::vector<double>& S = Steps[static_cast<std::size_t>(N - 1)];
                const bool Past = HasLength && S[1] > Calc.Length;
                if (Probe)
                    return Past && !Beyond;
                FUZZ_CHECK(!Past || Beyond || PipeSeen, "no pipe-filled line before step %lld", N);
                Beyond = Beyond || Past;
                const TTableCheck C{L, static_cast<int>(Line + 1)};
                TRowReader R(L);
                R.Word(std::to_string(N));
                Cell(R, C, "с", S[0], ValueDigits, "time");
                if (HammerMode && Blow.Count >= N) {
                    const TCalcStep& B = Blow.Records[N - 1];
                    Cell(R, C, "Па", B.Losses, ValueDigits, "inlet pressure");
                    Cell(R, C, "м/с", B.Speed, ValueDigits, "driving speed");
                    Cell(R, C, "м", B.Fill, ValueDigits + 1, "driving advance");
                } else if (HammerMode && !(R.Dash() && R.Dash() && R.Dash())) {
                    C.Fail("driving-pipe dashes");
                }
                if (HasLength) {
                    Cell(R, C, "м", std::min(S[1], Calc.Length), ValueDigits + 1, "fill");
                    Cell(R, C, "м", S[1] - Calc.InitialFill, ValueDigits + 1, "advance");
                } else {
                    Cell(R, C, "м", S[1], ValueDigits + 1, "fill");
                }
                Cell(R, C, "м/с", S[2], ValueDigits, "speed");
                Cell(R, C, "м/с2", S[3], ValueDigits, "acceleration");
                const double Force = S[2] * Calc.Density * Shock;
                if (HasLosses) {
                    Cell(R, C, "Па", S[4], ValueDigits, "losses");
                    if (S[5] >= 0) {
                        ReynoldsAndRest(R, C, S[5], Shock >= 0, Force);
                        return true;
                    }
                    if (!R.Word("нет данных"))
                        C.Fail("Reynolds number");
                }
                if (Shock >= 0)
                    Cell(R, C, "Па", Force, ValueDigits, "hammer force");
                if (!R.AtEnd())
                    C.Fail("more cells");
                return true;
            });
        const long long Want =
            CancelRow <= StageRows ? 0 : std::min(StepRows, CancelRow - StageRows - 1);
        const bool Cancelled = CancelRow <= StageRows + StepRows;
        FUZZ_CHECK(End.Rows == Want, "%lld of %lld step rows written, %lld wanted; then %s",
                   End.Rows, StepRows, Want,
                   At < Lines.size() ? fuzz::Show(std::string(Lines[At])).c_str() : "the end");
        FUZZ_CHECK(End.Cancelled == Cancelled &&
                       (!End.Cancelled || (End.Done == Want && End.Total == StepRows)),
                   "step table: cancelled %d (%lld of %lld), at row %lld", End.Cancelled, End.Done,
                   End.Total, CancelRow);
    }
    FUZZ_CHECK(PipeSeen == Beyond, "pipe-filled line %s",
               PipeSeen ? "without a row beyond" : "missing");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size)
{
    const std::string Input(reinterpret_cast<const char*>(Data), Size);
    const std::string FileName = fuzz::ScratchDir() + "/case.Hyd";
    {
        std::ofstream Out(FileName, std::ios::binary | std::ios::trunc);
        Out.write(Input.data(), static_cast<std::streamsize>(Input.size()));
        FUZZ_CHECK(Out.good(), "cannot write %s", FileName.c_str());
    }

    TCase Case;
    try {
        TProfile Profile(FileName);
        LoadCase(Profile, Case);
    } catch (const TProfileError&) {
        return 0;  // refused: the file cannot be read
    }

    // A saved case reads back as the same case.
    {
        TProfile Saved(fuzz::ScratchDir() + "/saved.Hyd");
        SaveCase(Saved, Case, 10, 20);
        const std::string Text = Saved.Text();
        FUZZ_CHECK(ValidUtf8(Text), "the saved case is not UTF-8");
        TCase Again;
        Again.MayBlow = !Case.MayBlow;  // "MayBlow" is in the file: the default must not count
        LoadCase(Saved, Again);
        CheckSameCase(Case, Again);
    }

    Case.Steps = std::min(Case.Steps, MaxSteps);
    const bool DriveMode = Case.MayBlow;
    const TStatus Status = CaseStatus(Case, DriveMode);
    FUZZ_CHECK(ValidUtf8(Status.Text), "status %s", fuzz::Show(Status.Text).c_str());
    const TPeriod Period = CasePeriod(Case, DriveMode);
    FUZZ_CHECK(ValidUtf8(Period.Text), "period %s", fuzz::Show(Period.Text).c_str());
    if (!Status.CanRun)
        return 0;  // refused: the run command is disabled

    TCountingLink Link;
    ProgressSteps = 0;
    BudgetSpent = false;
    const uint32_t Pick = Size ? Data[Size / 2] : 0;
    // One input in four cancels the report at one of its first rows.
    const uint32_t CancelPick = Size ? Data[Size / 3] : 0;
    CancelAt = CancelPick >= 192 ? static_cast<int>(CancelPick - 191) : 0;
    Asked = 0;
    const double RunGravity = Pick % 16 == 0 ? 0.0 : Pick % 16 == 1 ? 1e6 : 9.81;

    {
        TCalc Calc;
        TCalc Blow;
        TRunSetup Setup(Case, Blow, RunGravity, Link);
        Limited = true;
        try {
            Setup.Run(DriveMode, Calc);
        } catch (const std::exception& E) {
            FUZZ_CHECK(false, "the run let an exception out: %s", E.what());
        } catch (const TStepBudgetSpent&) {
            FUZZ_CHECK(false, "the run let the progress window's exception out");
        }
        Limited = false;
        CheckResults(Calc);
        // A run cut short is a failed run, and the user is told.
        FUZZ_CHECK(!BudgetSpent || Link.Errors > 0, "a run stopped by its window showed no error");
        if (!DriveMode)
            FUZZ_CHECK((Calc.Count < Case.Steps) == (Link.Errors > 0),
                       "%d of %d steps with %d error messages", Calc.Count, Case.Steps,
                       Link.Errors);

        std::string Report;
        const int ErrorsBefore = Link.Errors;
        Reporting = true;
        try {
            Calc.MakeReport(Report);
        } catch (const std::exception& E) {
            FUZZ_CHECK(false, "the report let an exception out: %s", E.what());
        }
        Reporting = false;
        FUZZ_CHECK(ValidUtf8(Report), "the report is not UTF-8");
        FUZZ_CHECK(Link.Errors == ErrorsBefore, "the report showed an error message");

        const std::string Records = RecordsCsv(Calc), Stages = StagesCsv(Calc);
        CheckCsv("records", Records, static_cast<std::size_t>(Calc.Count));
        CheckCsv("stages", Stages, static_cast<std::size_t>(Calc.StageCount));
        CheckReport(Report, Calc, Blow, CsvRows(Records, 6), CsvRows(Stages, 8));
        const std::string Svg = ChartSvg(Calc, 160, 120);
        FUZZ_CHECK(ValidUtf8(Svg) && Svg.find("nan") == std::string::npos,
                   "the chart is not clean SVG");
    }
    return 0;
}
