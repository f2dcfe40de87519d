#include "engine/WaveSpeed.h"

#include <cmath>

double WaveSpeed(double Density, double Condens, double Diameter, double Walls, double Young)
{
    double K = Condens;
    if (Diameter > 0 && Walls > 0 && Young > 0)
        K = Condens + Diameter / (Walls * Young);
    return 1 / std::sqrt(Density * K);
}
