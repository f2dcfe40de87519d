// Flow physics of the filled pipe: Reynolds number, friction factor and the
// friction loss per metre of column.

#include "engine/StepPhysics.h"

#include <cmath>

#include "engine/RunGlobals.h"

double TurbulentFriction(double Re, double Diameter, double Rough)
{
    if (Rough > 0 && Re >= 10 * Diameter / Rough)
        return 0.11 * std::pow(Rough / Diameter + 68 / Re, 0.25);
    return 1.01 / std::pow(std::log10(Re), 2.5);
}

// The engine object's flow law is that of a run.
double TCalc::Reynolds(double Speed) const
{
    return TFlowLaw(Diameter, Density, Viscous, Rough).Reynolds(Speed);
}

double TCalc::Friction(double Re) const
{
    return TFlowLaw(Diameter, Density, Viscous, Rough).Friction(Re);
}

double TCalc::LossGradient(double Re, double Speed) const
{
    return TFlowLaw(Diameter, Density, Viscous, Rough).LossGradient(Re, Speed);
}

TStepPhysics::TStepPhysics(const TCalc& Calc)
    : TFlowLaw(Calc.Diameter, Calc.Density, Calc.Viscous, Calc.Rough), Step(Calc.Step),
      Length(Calc.Length)
{
    // Gravity is read once per run; the angle is converted with π in the
    // widest precision at hand.
    constexpr long double PiL = 3.141592653589793238462643383279502884L;
    Gs = static_cast<double>(static_cast<long double>(Gravity) *
                             std::sin(static_cast<long double>(Calc.Slope) * PiL / 180));
}
