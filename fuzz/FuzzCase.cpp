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
#include <exception>
#include <fstream>
#include <memory>
#include <string>

#include "batch/BatchTool.h"
#include "case/CaseModel.h"
#include "case/RunSetup.h"
#include "engine/Calc.h"
#include "engine/Tables.h"
#include "engine/UserLink.h"
#include "fuzz/FuzzCommon.h"
#include "results/SvgCanvas.h"
#include "text/Profile.h"
#include "text/Utf8Text.h"

namespace {

using fuzz::ValidUtf8;

constexpr int32_t MaxSteps = 300;
constexpr long MaxProgress = 2000;

long ProgressSteps = 0;  // steps shown in this input so far
bool Limited = false;    // a run is under way: MaxProgress counts

struct TStepBudgetSpent {};

class TQuietProgress : public TProgress {
public:
    void Percent_Set(int Position, int Total) override
    {
        FUZZ_CHECK(Position >= 0 && Position <= Total, "progress %d of %d", Position, Total);
        if (Limited && ++ProgressSteps > MaxProgress)
            throw TStepBudgetSpent{};
    }
    bool Percent_Cancelled() override { return false; }
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
    const uint32_t Pick = Size ? Data[Size / 2] : 0;
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

        std::string Report;
        try {
            Calc.MakeReport(Report);
        } catch (const std::exception& E) {
            FUZZ_CHECK(false, "the report let an exception out: %s", E.what());
        }
        FUZZ_CHECK(ValidUtf8(Report), "the report is not UTF-8");

        CheckCsv("records", RecordsCsv(Calc), static_cast<std::size_t>(Calc.Count));
        CheckCsv("stages", StagesCsv(Calc), static_cast<std::size_t>(Calc.StageCount));
        const std::string Svg = ChartSvg(Calc, 160, 120);
        FUZZ_CHECK(ValidUtf8(Svg) && Svg.find("nan") == std::string::npos,
                   "the chart is not clean SVG");
    }
    return 0;
}
