// The water-hammer drive inside one run: the checks that decide whether it
// is active and the coupling of the driving pipe to the filled pipe in every
// step.

#include "engine/WaterHammer.h"

#include <cfenv>
#include <cmath>

#include "engine/FloatFaults.h"
#include "engine/Tables.h"
#include "engine/UserLink.h"
#include "engine/WaveSpeed.h"

const char* const MissingHammerText =
    "Не указаны все необходимые параметры для расчёта внешнего гидроудара";

namespace {

const char* const DiameterText =
    "Диаметр рассчитываемой трубы должен быть меньше диаметра разгонной (гидроударной) трубы,\n"
    "иначе расчёт будет выполнен для постоянного давления, равного противодавлению";

}  // namespace

bool THammer::Prepare(const TCalc& Calc, const TCalc& Blow)
{
    C = -1;
    if (Blow.Diameter <= 0 || Calc.Condens <= 0 || Calc.Diameter <= 0) {
        UserLink().Dialog_Warning(MissingHammerText);
        return true;
    }
    if (Blow.InitialSpeed <= 0)
        return true;
    if (!(Calc.Diameter < Blow.Diameter)) {
        UserLink().Dialog_Warning(DiameterText);
        return true;
    }
    V0 = Blow.InitialSpeed;
    Db = Blow.Diameter;
    D = Calc.Diameter;
    Density = Calc.Density;
    Pressure = Calc.Pressure;
    Step = Calc.Step;
    std::feclearexcept(FE_ALL_EXCEPT);
    const double Speed =
        WaveSpeed(Calc.Density, Calc.Condens, Blow.Diameter, Blow.Walls, Blow.Young);
    if (Faulted())
        return false;
    C = Speed;
    return true;
}

void THammer::Advance(const TStepPhysics& Physics, int64_t I, TStepState& State, TCalcStep& Rec,
                      TCalcStep& B)
{
    B.Speed = 0;
    B.Fill = 0;
    B.Losses = V0 * Density * C;
    double P = B.Losses - Pressure;
    double DV = V0;
    int Pass = 0;
    Physics.Advance(I, State, Rec, [&](const TStepStart& S, double& Accel) {
        for (;;) {
            const double U = Physics.NewSpeed(S, P, Accel);
            // The driving speed that continuity requires.
            const double Ratio = D / Db;
            const double W = Ratio * Ratio * U;
            const double R = W != 0 ? (W - B.Speed) / W : 0;
            if (std::abs(R) < Tolerance) {
                B.Speed = W;
                B.Fill = W * Step + Advanced;
                Advanced = B.Fill;
                return U;
            }
            // Halve the correction and move the trial driving speed towards W.
            DV = DV / 2;
            B.Speed = W > B.Speed ? B.Speed + std::abs(DV) : B.Speed - std::abs(DV);
            B.Losses = (V0 - B.Speed) * Density * C;
            P = B.Losses - Pressure;
            if (Narrowing == 1) {
                // Loss of the sudden contraction into the filled pipe.
                const double Ratio2 = Db / D;
                const double K = Ratio2 * Ratio2;
                P = P - Density * (B.Speed * B.Speed) * K * (K - 1) / 4;
            }
            if (++Pass > 100)
                return U;  // no convergence: the last evaluation stands
        }
    });
}
