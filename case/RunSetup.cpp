#include "case/RunSetup.h"

#include <utility>

#include "engine/RunGlobals.h"
#include "engine/UserLink.h"

TRunSetup::TRunSetup(const TCase& Case, TCalc& Blow, double RunGravity, TUserLink& Link)
    : Case(Case), Blow(Blow), SavedLink(&UserLink()), SavedGravity(Gravity), SavedBlow(BlowCalc),
      SavedNarrowing(SetNarrowingKindSource([Kind = Case.NarrowingKind] { return Kind; }))
{
    BlowCalc = &Blow;
    Gravity = RunGravity;
    SetUserLink(&Link);
}

TRunSetup::~TRunSetup()
{
    SetNarrowingKindSource(std::move(SavedNarrowing));
    BlowCalc = SavedBlow;
    Gravity = SavedGravity;
    SetUserLink(SavedLink);
}

TRunKind TRunSetup::Run(bool DriveMode, TCalc& Calc)
{
    const TRunKind Kind = PrepareRun(Case, DriveMode, Calc, Blow);
    RunPrepared(Calc, Kind);
    return Kind;
}

TRunKind RunCase(const TCase& Case, bool DriveMode, TCalc& Calc, TCalc& Blow, double RunGravity,
                 TUserLink& Link)
{
    TRunSetup Setup(Case, Blow, RunGravity, Link);
    return Setup.Run(DriveMode, Calc);
}
