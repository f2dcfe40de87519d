// The stage driver of the water-hammer mode: one run per pumping stage, each
// stage recorded in the stage list, the driving pipe's state carried from
// stage to stage.

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>

#include "engine/Calc.h"
#include "engine/FloatFaults.h"
#include "engine/RunGlobals.h"
#include "engine/Tables.h"
#include "engine/UserLink.h"
#include "engine/WaterHammer.h"
#include "engine/WaveSpeed.h"
#include "text/NumberText.h"

namespace {

const char* const CancelledText = "Расчёт прерван";
const char* const StageFailedText = "Ошибка обработки результатов этапа!";

constexpr int32_t MaxStages = 1000;

// X rounded to the nearest integer (halves to even) when that is a number of
// steps a run can take; otherwise -1.
int32_t StepCount(double X)
{
    if (!std::isfinite(X))
        return -1;
    const int64_t N = RoundToInt64(X);
    if (N < 0 || N > std::numeric_limits<int32_t>::max())
        return -1;
    return static_cast<int32_t>(N);
}

// Brings Step to a value for which one wave passage Lb / c takes between 100
// and 10000 steps. False when no usable step results (Step 0, negative, not
// finite, or running out of range).
bool AdaptStep(double Lb, double C, double& Step)
{
    // Each loop moves Step by a decade; a double spans fewer than 700 of them.
    constexpr int MaxDecades = 1000;
    int Moves = 0;
    while (Lb / C < Step * 100) {
        Step = Step / 10;
        if (++Moves > MaxDecades)
            return false;
    }
    while (Lb / C > Step * 10000) {
        Step = Step * 10;
        if (++Moves > 2 * MaxDecades)
            return false;
    }
    return std::isnormal(Step) && Step > 0;
}

// The working values RunStages changes, put back when it ends however it ends.
class TSavedInputs {
public:
    TSavedInputs(TCalc& Calc, TCalc& Blow)
        : Calc(Calc), Blow(Blow), V0(Blow.InitialSpeed), Lb(Blow.Length),
          InitialSpeed(Calc.InitialSpeed), InitialFill(Calc.InitialFill), Step(Calc.Step),
          Steps(Calc.Steps)
    {}
    ~TSavedInputs()
    {
        RestoreStart();
        RestoreTiming();
    }
    TSavedInputs(const TSavedInputs&) = delete;
    TSavedInputs& operator=(const TSavedInputs&) = delete;

    void RestoreStart()
    {
        Blow.InitialSpeed = V0;
        Blow.Length = Lb;
        Calc.InitialSpeed = InitialSpeed;
        Calc.InitialFill = InitialFill;
    }
    void RestoreTiming()
    {
        Calc.Step = Step;
        Calc.Steps = Steps;
    }

    TCalc& Calc;
    TCalc& Blow;
    const double V0, Lb, InitialSpeed, InitialFill, Step;
    const int32_t Steps;
};

}  // namespace

double TCalc::WaveSpeed() const
{
    if (!BlowCalc)
        return ::WaveSpeed(Density, Condens);
    return ::WaveSpeed(Density, Condens, BlowCalc->Diameter, BlowCalc->Walls, BlowCalc->Young);
}

namespace {

// What one stage adds to the stage list and to the working values. Computed
// apart from them so that a stage that fails leaves everything as it was.
struct TStageOutcome {
    TCalcStage Node;
    double Pumped;        // S after the stage
    double Time;          // T after the stage and its pause
    double V0;            // driving speed of the next stage
    double Lb;            // driving length of the next stage
    double InitialSpeed;  // filled pipe's start of the next stage
    double InitialFill;
    bool More;
};

TStageOutcome EvaluateStage(const TCalc& Calc, const TCalc& Blow, bool MayTrunc, double Lb0,
                            double T, double S)
{
    const TCalcStep& R = Calc.Records[Calc.Count - 1];
    const TCalcStep& Bn = Blow.Records[Calc.Steps - 1];
    TStageOutcome O{};
    O.More = true;
    O.V0 = Blow.InitialSpeed;
    O.Lb = Blow.Length;

    O.Node.StartSpeed = O.V0;
    O.Node.RestSpeed = Bn.Speed;
    O.Node.StartTime = T;
    O.Node.PumpPressure = Blow.Records[0].Losses;
    O.Pumped = S + Bn.Fill;
    O.Node.Pumped = O.Pumped;
    O.Node.PipeSpeed = Calc.InitialSpeed;
    if (MayTrunc)
        O.Lb = O.Lb - Bn.Fill;

    O.Node.PumpTime = R.Time;
    O.Time = T + R.Time;
    O.Node.Pause = 0;

    O.InitialSpeed = R.Speed;
    O.InitialFill = R.Fill;
    if (Calc.Length > 0 && O.InitialFill > Calc.Length)
        O.InitialFill = Calc.Length;

    // The wave comes back reflected.
    O.V0 = 2 * O.Node.RestSpeed - O.V0;
    if (O.V0 >= 0) {
        // The driving flow still moves towards the valve: a fresh portion.
        O.InitialFill = 0;
        O.InitialSpeed = 0;
        if (MayTrunc)
            O.Lb = Lb0 - O.Pumped;
    } else if (!MayTrunc) {
        O.More = false;
    } else {
        // A cut-off chamber: struck again with the same speed after a pause,
        // while the filled pipe's column keeps its fill and waits.
        O.V0 = -O.V0;
        O.Lb = Lb0 - O.Pumped;
        O.Node.Pause = 2 * O.Pumped / O.V0;
        O.InitialSpeed = 0;
    }
    O.Time = O.Time + O.Node.Pause;
    if (NearlyEqual(O.Node.StartSpeed, O.Node.RestSpeed))
        O.More = false;  // the blow no longer changes the flow
    return O;
}

// Records the stage that Calc's last run computed. False when that failed.
bool RecordStage(TCalc& Calc, TCalc& Blow, bool MayTrunc, double Lb0, double& T, double& S,
                 bool& More)
{
    std::feclearexcept(FE_ALL_EXCEPT);
    const TStageOutcome O = EvaluateStage(Calc, Blow, MayTrunc, Lb0, T, S);
    if (Faulted())
        return false;
    TCalcStage* Node = nullptr;
    try {
        Node = Calc.AppendStage();
    } catch (const std::bad_alloc&) {
        return false;
    }
    *Node = O.Node;  // the tail: Next stays nullptr
    S = O.Pumped;
    T = O.Time;
    Blow.InitialSpeed = O.V0;
    Blow.Length = O.Lb;
    Calc.InitialSpeed = O.InitialSpeed;
    Calc.InitialFill = O.InitialFill;
    More = O.More;
    return true;
}

}  // namespace

void TCalc::RunStages(bool MayTrunc)
{
    ClearStages();
    TCalc* Blow = BlowCalc != this ? BlowCalc : nullptr;
    if (!Blow) {
        // Without a driving pipe there is no hammer: say so and compute at
        // the back pressure, as a run with missing hammer data does.
        UserLink().Dialog_Warning(MissingHammerText);
        Run(0);
        return;
    }

    TSavedInputs Saved(*this, *Blow);
    const double C = WaveSpeed();
    const bool WaveUsable = std::isfinite(C) && C > 0;
    int Stage = 0;
    double T = 0;
    double S = 0;
    bool Ok = true;
    bool More = true;
    double RecordedStep = Step;  // the step of the last stage recorded
    while (Ok && More && StageCount < MaxStages) {
        // A stage needs a driving length left, a wave speed, and a step that
        // fits the wave passage.
        // Step changes only when the whole adaptation succeeds, so that the
        // final re-run below uses the last step that worked.
        const double Lb = Blow->Length;
        double Adapted = Step;
        if (!(Lb > 0) || !WaveUsable || !AdaptStep(Lb, C, Adapted))
            break;
        const int32_t N = StepCount(2 * Lb / (C * Adapted));
        if (N < 0)
            break;
        Step = Adapted;
        Steps = N < 1 ? 1 : N;

        ++Stage;
        Ok = Run(Stage);
        if (Steps > Count) {
            Ok = false;  // the run has reported its fault already
        } else if (!Ok) {
            UserLink().Dialog_Warning(CancelledText);
        } else if (!Blow->Records || Blow->Count < Steps || Blow->Records[0].Losses <= Pressure) {
            // No hammer worked in this run, or the blow does not beat the
            // back pressure.
            More = false;
        } else if (!RecordStage(*this, *Blow, MayTrunc, Saved.Lb, T, S, More)) {
            UserLink().Dialog_Error(StageFailedText);
            More = false;
        } else {
            RecordedStep = Step;
        }
    }

    Saved.RestoreStart();
    if (StageCount == 1) {
        // Show the single blow from the start state in the step records,
        // with the step that blow was computed with (a later stage that
        // recorded nothing may have adapted it to a shorter driving pipe).
        Step = RecordedStep;
        Steps = static_cast<int32_t>(std::clamp<int64_t>(
            RoundToInt64(2 * Blow->Length / (C * Step)), std::numeric_limits<int32_t>::min(),
            std::numeric_limits<int32_t>::max()));
        Run(0);
    }
    Saved.RestoreTiming();
}
