#pragma once
// The water-hammer drive inside one run of the filled pipe: the checks that
// decide whether it is active, and the coupling of the driving flow to the
// filled pipe in every step.

#include <cstdint>

#include "engine/Calc.h"
#include "engine/StepPhysics.h"

// The warning when the driving pipe lacks what a hammer needs.
extern const char* const MissingHammerText;

class THammer {
public:
    // The checks of the driving pipe Blow against the filled pipe Calc, with
    // their warnings, and the wave speed when the hammer is active. Returns
    // false when computing the wave speed raised a floating-point fault.
    bool Prepare(const TCalc& Calc, const TCalc& Blow);

    bool Active() const { return C >= 0; }

    // Step I (from 1) with the hammer: sets up the driving pipe's record B
    // and runs the coupling iteration around the speed evaluation.
    void Advance(const TStepPhysics& Physics, int64_t I, TStepState& State, TCalcStep& Rec,
                 TCalcStep& B);

    double C = -1;        // wave speed, m/s; -1: no hammer
    int Narrowing = 0;    // NarrowingKind in force
    double Advanced = 0;  // driving-pipe advance summed over the run, m

private:
    double V0 = 0;  // driving speed when the hammer starts
    double Db = 0;  // driving pipe's diameter
    double D = 0;   // filled pipe's diameter
    double Density = 0;
    double Pressure = 0;  // back pressure
    double Step = 0;
};
