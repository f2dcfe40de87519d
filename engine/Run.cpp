// The run driver: one time-stepped calculation of the filled pipe with its
// store of step records and value ranges.

#include <algorithm>
#include <cfenv>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "engine/Calc.h"
#include "engine/FloatFaults.h"
#include "engine/RecordStore.h"
#include "engine/RunGlobals.h"
#include "engine/StepPhysics.h"
#include "engine/Tables.h"
#include "engine/UserLink.h"
#include "engine/WaterHammer.h"

namespace {

const char* const RunFailedText = "Ошибка выполнения расчётов!";

// The positions at which the progress window's shown value (Position / Total
// in hundredths of a percent, rounded half to even) changes, so that the step
// loop compares one integer per step and calls the window only on a change.
class TProgressPacer {
public:
    explicit TProgressPacer(int64_t Total) : Total(Total) {}

    int64_t Next = 1;  // the next position to show

    // Position has just been shown: find the first one that shows differently.
    void Shown(int64_t Position)
    {
        const int64_t Value = ValueAt(Position);
        if (Position >= Total || Value >= 10000) {
            Next = std::numeric_limits<int64_t>::max();
            return;
        }
        // Value + 1 is reached near (Value + 1/2) / 10000 of the total.
        int64_t J = (2 * Value + 1) * Total / 20000;
        if (J <= Position)
            J = Position + 1;
        while (ValueAt(J) <= Value)
            ++J;
        Next = J;
    }

private:
    int64_t ValueAt(int64_t Position) const
    {
        const int64_t Scaled = Position * 10000;
        int64_t Q = Scaled / Total;
        const int64_t Rest = Scaled % Total;
        if (2 * Rest > Total || (2 * Rest == Total && Q % 2 != 0))
            ++Q;
        return Q;
    }

    int64_t Total;
};

// The value ranges of a run, kept apart from the TCalc while steps run so
// that they live in registers; stored into the TCalc before every call to the
// outside and at every exit.
struct TRanges {
    double ReMax = -1, ReMin = 1;
    double FillMax = -1, FillMin = 1;
    double LossesMax = -1, LossesMin = 1;
    double SpeedMax = -1, SpeedMin = 1;
    double AccelMax = -1, AccelMin = 1;

    static void Update(double X, double& Max, double& Min)
    {
        if (X < Min)
            Min = X;
        if (X > Max)
            Max = X;
    }

    void Add(const TCalcStep& Rec)
    {
        Update(Rec.Re, ReMax, ReMin);
        Update(Rec.Losses, LossesMax, LossesMin);
        if (AccelMax < AccelMin)
            AccelMax = AccelMin = Rec.Accel;
        else
            Update(Rec.Accel, AccelMax, AccelMin);
        Update(Rec.Fill, FillMax, FillMin);
        Update(Rec.Speed, SpeedMax, SpeedMin);
    }

    void StoreTo(TCalc& Calc) const
    {
        Calc.ReMax = ReMax;
        Calc.ReMin = ReMin;
        Calc.FillMax = FillMax;
        Calc.FillMin = FillMin;
        Calc.LossesMax = LossesMax;
        Calc.LossesMin = LossesMin;
        Calc.SpeedMax = SpeedMax;
        Calc.SpeedMin = SpeedMin;
        Calc.AccelMax = AccelMax;
        Calc.AccelMin = AccelMin;
    }
};

// Steps between two tests of the exception flags at constant pressure.
constexpr int64_t BlockSteps = 64;

// The exception flags that count are clear at the start of every step:
// cleared after each call to the outside, and tested clear after every step
// or block of steps (a raised one ends the run). The TCalc holds the count
// and ranges of the steps done whenever the outside is called.
//
// Each loop has its own step state, which no call can reach: it stays in
// registers.

// The steps of a run at constant pressure from Calc's start state. Blocks of
// steps have one test of the flags at their end and end before every
// progress point. The flags are sticky, so a fault anywhere in a block shows
// at its test; the block is then run again from its start, testing after
// every step, to find the faulting step. The arithmetic is the same, and so
// are the records it writes again.
bool ConstantPressureSteps(TCalc& Calc, TProgress& Window, const TStepPhysics& Physics,
                           TRanges Ranges)
{
    const int32_t N = Calc.Steps;
    const double Pressure = Calc.Pressure;
    TCalcStep* const Records = Calc.Records;
    TStepState State;
    State.V = Calc.InitialSpeed;
    State.X = Calc.InitialFill;
    TProgressPacer Pacer(N);
    int64_t I = 1;
    while (I <= N) {
        if (I == Pacer.Next) {
            Window.Percent_Set(static_cast<int>(I), N);
            Pacer.Shown(I);
            std::feclearexcept(FE_ALL_EXCEPT);
        }
        const int64_t End = std::min({static_cast<int64_t>(N), I + BlockSteps - 1, Pacer.Next - 1});
        const TStepState Start = State;
        const TRanges Before = Ranges;
        for (int64_t J = I; J <= End; ++J) {
            Physics.AdvanceAt(J, Pressure, State, Records[J - 1]);
            Ranges.Add(Records[J - 1]);
        }
        Calc.Count = static_cast<int32_t>(End);
        Ranges.StoreTo(Calc);
        if (Faulted()) {
            State = Start;
            Ranges = Before;
            std::feclearexcept(FE_ALL_EXCEPT);
            for (int64_t J = I; J <= End; ++J) {
                Physics.AdvanceAt(J, Pressure, State, Records[J - 1]);
                if (Faulted()) {
                    Calc.Count = static_cast<int32_t>(J - 1);
                    Ranges.StoreTo(Calc);
                    return false;
                }
                Ranges.Add(Records[J - 1]);
            }
            Ranges.StoreTo(Calc);
        }
        I = End + 1;
    }
    return true;
}

// The steps of a run with the hammer active, one at a time: the coupling
// iteration outweighs a test of the flags by far.
bool HammerSteps(TCalc& Calc, TCalc& Blow, TProgress& Window, const TStepPhysics& Physics,
                 THammer& Hammer, TRanges Ranges)
{
    const int32_t N = Calc.Steps;
    TCalcStep* const Records = Calc.Records;
    TCalcStep* const BlowRecords = Blow.Records;
    TStepState State;
    State.V = Calc.InitialSpeed;
    State.X = Calc.InitialFill;
    Hammer.Advanced = 0;
    TProgressPacer Pacer(N);
    for (int64_t I = 1; I <= N; ++I) {
        if (I == Pacer.Next) {
            Window.Percent_Set(static_cast<int>(I), N);
            Pacer.Shown(I);
            Hammer.Narrowing = NarrowingKind();
            std::feclearexcept(FE_ALL_EXCEPT);
        }
        TCalcStep& Rec = Records[I - 1];
        Hammer.Advance(Physics, I, State, Rec, BlowRecords[I - 1]);
        if (Faulted())
            return false;
        Calc.Count = Blow.Count = static_cast<int32_t>(I);
        Ranges.Add(Rec);
        Ranges.StoreTo(Calc);
    }
    return true;
}

// The guarded part of a run. False on a floating-point fault or when the
// records cannot be allocated; Count tells how many steps were completed.
bool RunSteps(TCalc& Calc, TProgress& Window)
{
    TRanges Ranges;
    Ranges.StoreTo(Calc);
    THammer Hammer;

    TCalc* Blow = BlowCalc != &Calc ? BlowCalc : nullptr;
    const int32_t N = Calc.Steps;
    Calc.Records = RecordsForRun(Calc, N, false);
    if (N <= 0 || !Calc.Records) {
        // The driving pipe's results of an earlier run are given up as well.
        if (Blow)
            Blow->FreeRecords();
        if (N > 0)
            return false;
    } else {
        Calc.Capacity = N;
        Calc.RecordStep = Calc.Step;
        if (Blow) {
            Blow->Steps = N;
            if (!Hammer.Prepare(Calc, *Blow)) {
                Blow->FreeRecords();
                return false;
            }
            // Only a run with the hammer active records the driving pipe.
            // Its records are zeroed: a step writes the pressure, speed and
            // advance of its record and leaves the rest at zero.
            if (!Hammer.Active()) {
                Blow->FreeRecords();
            } else {
                Blow->Records = RecordsForRun(*Blow, N, true);
                if (!Blow->Records)
                    return false;
                Blow->Capacity = N;
                Blow->RecordStep = Calc.Step;  // the driving pipe keeps pace with this one
            }
        }
    }
    const bool HammerOn = Blow && Hammer.Active();
    if (HammerOn)
        Hammer.Narrowing = NarrowingKind();

    std::feclearexcept(FE_ALL_EXCEPT);
    TStepPhysics Physics(Calc);
    if (Faulted())
        return false;
    Publish(Physics);
    Publish(Hammer);

    Ranges.FillMin = Ranges.FillMax = Calc.InitialFill;
    Ranges.SpeedMin = Ranges.SpeedMax = Calc.InitialSpeed;
    Ranges.StoreTo(Calc);
    if (HammerOn)
        return HammerSteps(Calc, *Blow, Window, Physics, Hammer, Ranges);
    return ConstantPressureSteps(Calc, Window, Physics, Ranges);
}

}  // namespace

bool TCalc::Run(int Stage)
{
    bool Result = true;
    std::string Caption = "Выполнение расчёта";
    if (Stage > 0)
        Caption += " (этап " + std::to_string(Stage) + ")";
    Caption += "...";

    std::unique_ptr<TProgress> Window = OpenProgress(Caption);

    bool Done = false;
    try {
        Done = RunSteps(*this, *Window);
    } catch (...) {
        Done = false;
    }
    if (!Done) {
        UserLink().Dialog_Error(RunFailedText);
        Result = false;
    }
    if (Window->Percent_Cancelled())
        Result = false;
    return Result;
}
