#pragma once
// The records that the chart benchmarks draw.

#include <algorithm>
#include <cmath>
#include <random>

#include "engine/Calc.h"

inline constexpr int ChartRecordCount = 1000000;

// A run of a million records that looks like a real one: a smoothly growing
// fill, a speed and a Reynolds number that wobble, noisy acceleration and
// losses. Made once, kept for the process.
inline const TCalc& MillionRecords()
{
    static const TCalc* const Calc = [] {
        auto* C = new TCalc;
        C->Records = new TCalcStep[ChartRecordCount];
        C->Capacity = C->Count = ChartRecordCount;
        C->InitialFill = 0;
        C->InitialSpeed = 0;
        std::mt19937 Random(1);
        std::normal_distribution<double> Noise(0, 1);
        for (int K = 0; K < ChartRecordCount; ++K) {
            const double T = K * 1e-4;
            TCalcStep& R = C->Records[K];
            R.Time = T;
            R.Fill = 0.5 * T + 0.1 * std::sin(T);
            R.Speed = 0.5 + 0.1 * std::sin(T) + 0.01 * Noise(Random);
            R.Accel = 0.1 * std::cos(T) + Noise(Random);
            R.Losses = 1000 * R.Speed * R.Speed + 10 * Noise(Random);
            R.Re = 50000 * R.Speed;
        }
        const auto Range = [&](double TCalcStep::*Field, double& Min, double& Max) {
            Min = Max = C->Records[0].*Field;
            for (int K = 1; K < ChartRecordCount; ++K) {
                Min = std::min(Min, C->Records[K].*Field);
                Max = std::max(Max, C->Records[K].*Field);
            }
        };
        Range(&TCalcStep::Fill, C->FillMin, C->FillMax);
        Range(&TCalcStep::Speed, C->SpeedMin, C->SpeedMax);
        Range(&TCalcStep::Accel, C->AccelMin, C->AccelMax);
        Range(&TCalcStep::Losses, C->LossesMin, C->LossesMax);
        Range(&TCalcStep::Re, C->ReMin, C->ReMax);
        C->FillMin = std::min(C->FillMin, 0.0);
        C->SpeedMin = std::min(C->SpeedMin, 0.0);
        return C;
    }();
    return *Calc;
}
