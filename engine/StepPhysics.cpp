// Flow physics of the filled pipe: Reynolds number, friction factor and the
// friction loss per metre of column.

#include "engine/StepPhysics.h"

#include <cmath>

#include "engine/Tables.h"

double TurbulentFriction(double Re, double Diameter, double Rough)
{
    if (Rough > 0 && Re >= 10 * Diameter / Rough)
        return 0.11 * std::pow(Rough / Diameter + 68 / Re, 0.25);
    return 1.01 / std::pow(std::log10(Re), 2.5);
}

double TCalc::Reynolds(double Speed) const
{
    if (Diameter <= 0 || Density <= 0 || Viscous <= 0)
        return -1;
    return std::abs(Speed * Diameter * Density / Viscous);
}

double TCalc::Friction(double Re) const
{
    if (Re < 1e-6)
        return 0;
    if (Re <= 2300)
        return 64 / Re;
    if (Re < 4000) {
        // The end points go through the library at run time, as in a run,
        // rather than being folded by the compiler to a value that may
        // differ in the last bit.
        const volatile double Low = 2299, High = 4001;
        const double F2299 = Friction(Low);
        const double F4001 = Friction(High);
        return F2299 + (F4001 - F2299) * (Re - 2299) / 1702;
    }
    return TurbulentFriction(Re, Diameter, Rough);
}

double TCalc::LossGradient(double Re, double Speed) const
{
    if (Diameter <= 0)
        return 0;
    return Speed * Speed * Friction(Re) / (2 * Diameter);
}

TStepPhysics::TStepPhysics(const TCalc& Calc)
    : Step(Calc.Step),
      Density(Calc.Density),
      Diameter(Calc.Diameter),
      Viscous(Calc.Viscous),
      Length(Calc.Length),
      Rough(Calc.Rough),
      ReynoldsDefined(Calc.Diameter > 0 && Calc.Density > 0 && Calc.Viscous > 0)
{
    // Gravity is read once per run; the angle is converted with π in the
    // widest precision at hand.
    constexpr long double PiL = 3.141592653589793238462643383279502884L;
    Gs = static_cast<double>(static_cast<long double>(Gravity) *
                             std::sin(static_cast<long double>(Calc.Slope) * PiL / 180));
}
