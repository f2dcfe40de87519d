#pragma once
// The run command shared by the desktop program and hyd-calc: the globals the
// engine reads while it calculates (gravity, the driving pipe, the narrowing
// choice and the user link) set up for one run of a case, and put back when
// the run is over, however it ends.

#include <functional>

#include "case/CaseModel.h"

class TCalc;
class TUserLink;

// The globals of one run, in force for the lifetime of the object: Gravity,
// BlowCalc pointing at Blow, the narrowing choice of Case and Link as the user
// link. The destructor puts back the gravity, the driving pipe, the narrowing
// choice and the user link in force before, also when an exception leaves the
// scope.
//
// Keep the object while the results are read as well: the report reads the
// driving pipe through BlowCalc, and its progress window and messages go to
// the user link. Case, Blow and Link must outlive the object.
class TRunSetup {
public:
    TRunSetup(const TCase& Case, TCalc& Blow, double Gravity, TUserLink& Link);
    ~TRunSetup();
    TRunSetup(const TRunSetup&) = delete;
    TRunSetup& operator=(const TRunSetup&) = delete;

    // The run command: hands the case to Calc and the driving pipe
    // (PrepareRun) and runs it (RunPrepared). Returns the kind of run made.
    TRunKind Run(bool DriveMode, TCalc& Calc);

private:
    const TCase& Case;
    TCalc& Blow;
    TUserLink* SavedLink;
    double SavedGravity;
    TCalc* SavedBlow;
    std::function<int()> SavedNarrowing;
};

// One run with its globals set up and put back at once, for callers that need
// nothing of them after the run.
TRunKind RunCase(const TCase& Case, bool DriveMode, TCalc& Calc, TCalc& Blow, double Gravity,
                 TUserLink& Link);
