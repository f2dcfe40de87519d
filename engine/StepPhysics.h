#pragma once
// The physics of the filled pipe for one run: the values that stay fixed
// from step to step, and the update that turns the state at the start of a
// step into its record. Used by the run driver and the water-hammer drive.

#include <cmath>
#include <cstdint>

#include "engine/Calc.h"

// Darcy friction factor of a turbulent flow (Re >= 4000): the rough-wall
// formula when Rough > 0 and Re reaches 10 * Diameter / Rough, else the
// hydraulically smooth one.
double TurbulentFriction(double Re, double Diameter, double Rough);

// State carried from one step to the next.
struct TStepState {
    double V = 0;  // column speed at the start of the step, m/s
    double X = 0;  // front position at the start of the step, m
    double G = 0;  // loss gradient of V (valid when GradientKnown)
    bool GradientKnown = false;
};

// A step after its first parts: what the speed evaluation needs.
struct TStepStart {
    double Time;  // s, end of the step
    double V;     // speed at the start of the step
    double Lf0;   // column length for inertia, may be negative
    double G;     // loss gradient of V
};

// The flow law of a filled pipe: Reynolds number, friction factor and the
// friction loss per metre of column. The end points of the transitional
// range's straight line are computed once, the first time they are needed.
class TFlowLaw {
public:
    TFlowLaw(double Diameter, double Density, double Viscous, double Rough)
        : Density(Density), Diameter(Diameter), Viscous(Viscous), Rough(Rough),
          ReynoldsDefined(Diameter > 0 && Density > 0 && Viscous > 0)
    {}

    // -1 when diameter, density or viscosity is not above 0.
    double Reynolds(double Speed) const
    {
        if (!ReynoldsDefined)
            return -1;
        return std::abs(Speed * Diameter * Density / Viscous);
    }

    // Laminar up to Re 2300, turbulent from 4000, a straight line between the
    // laminar value at 2299 and the turbulent one at 4001 in between; 0 for
    // Re below 1e-6.
    double Friction(double Re) const
    {
        if (Re < 1e-6)
            return 0;
        if (Re <= 2300)
            return 64 / Re;
        if (Re < 4000) {
            if (!EndsKnown) {
                // The turbulent end goes through the library at run time
                // rather than being folded by the compiler to a value that
                // may differ in the last bit.
                const volatile double High = 4001;
                Friction2299 = 64 / 2299.0;
                FrictionSpan = TurbulentFriction(High, Diameter, Rough) - Friction2299;
                EndsKnown = true;
            }
            return Friction2299 + FrictionSpan * (Re - 2299) / 1702;
        }
        return TurbulentFriction(Re, Diameter, Rough);
    }

    // Friction loss per metre of column at Speed, in m/s² (0 without a diameter).
    double LossGradient(double Re, double Speed) const
    {
        if (Diameter <= 0)
            return 0;
        return Speed * Speed * Friction(Re) / (2 * Diameter);
    }

    double Density;   // ρ
    double Diameter;  // D
    double Viscous;
    double Rough;

private:
    bool ReynoldsDefined;
    mutable bool EndsKnown = false;
    mutable double Friction2299 = 0;
    mutable double FrictionSpan = 0;  // λ4001 − λ2299
};

class TStepPhysics : public TFlowLaw {
public:
    // Reads the pipe's fields and Gravity; computes g·sin(slope). Call it
    // where floating-point faults are watched.
    explicit TStepPhysics(const TCalc& Calc);

    // The speed at the end of the step for driving pressure P; Accel gets the
    // acceleration used for it.
    double NewSpeed(const TStepStart& S, double P, double& Accel) const
    {
        const double SignP = P < 0 ? -1.0 : 1.0;
        // What the pressure alone would give, plus what gravity has added
        // since the start of the run.
        const double VB = SignP * std::sqrt(2 * std::abs(P) / Density) + Gs * S.Time;
        const double G = S.G;
        double A;
        if (std::abs(S.Lf0) > 1e-6) {
            if (S.Lf0 > 0) {
                // A column in the pipe: the kinetic and friction terms follow
                // whether speed and pressure point the same way.
                if (Sign(S.V) * Sign(P) < 0)
                    A = (S.V * S.V / 2 + P / Density) / S.Lf0 + G + Gs;
                else
                    A = (P / Density - S.V * S.V / 2) / S.Lf0 - G + Gs;
            } else {
                // The front has been pushed out of the inlet.
                A = std::abs(S.Lf0) * (P / Density) / (Pi * (Diameter * Diameter));
            }
            Accel = A;
            return S.V + A * Step;
        }
        // Empty pipe: friction and gravity of this step cannot reverse the
        // inflow that the pressure sets up.
        A = Gs - G;
        double Speed = VB + A * Step;
        if ((VB >= 0 && Speed < 0) || (VB <= 0 && Speed > 0))
            Speed = 0;
        Accel = A;
        return Speed;
    }

    // One step I (from 1) of the run. Evaluate(Start, Accel) supplies the new
    // speed: one NewSpeed at constant pressure, the coupling iteration with
    // the driving pipe in water-hammer mode.
    template <class TEvaluate>
    void Advance(int64_t I, TStepState& State, TCalcStep& Rec, TEvaluate&& Evaluate) const
    {
        if (!State.GradientKnown) {
            State.G = LossGradient(Reynolds(State.V), State.V);
            State.GradientKnown = true;
        }
        TStepStart S;
        S.Time = static_cast<double>(I) * Step;
        S.V = State.V;
        S.Lf0 = (Length > 0 && State.X > Length) ? Length : State.X;
        S.G = State.G;

        double Accel = 0;
        const double Speed = Evaluate(S, Accel);

        // Semi-implicit: the position uses the speed just computed.
        const double Fill = State.X + Speed * Step;
        double Lf1 = Fill;
        if (Length > 0 && Lf1 > Length)
            Lf1 = Length;
        if (Lf1 < 0)
            Lf1 = 0;
        const double Re = Reynolds(Speed);
        const double G = LossGradient(Re, Speed);

        Rec.Time = S.Time;
        Rec.Fill = Fill;
        Rec.Speed = Speed;
        Rec.Accel = std::abs(Accel) < 1e-12 ? 0 : Accel;
        Rec.Losses = G * Lf1 * Density;
        Rec.Re = Re;

        // The loss gradient of the new speed is the next step's starting one.
        State.V = Speed;
        State.X = Fill;
        State.G = G;
    }

    // A step at the constant driving pressure P.
    void AdvanceAt(int64_t I, double P, TStepState& State, TCalcStep& Rec) const
    {
        Advance(I, State, Rec,
                [this, P](const TStepStart& S, double& Accel) { return NewSpeed(S, P, Accel); });
    }

    static constexpr double Pi = 3.14159265358979323846;

    double Step;    // s
    double Length;  // L, 0: endless
    double Gs;      // g·sin(slope)

private:
    static int Sign(double X) { return (X > 0) - (X < 0); }
};
