#pragma once
// Constants and reference tables of the engine: liquids and pipe materials.

#include <string>

#include "text/NumberText.h"

// Marker of an absent value in the chart and the legend: the number a number
// field holds when it shows "no value". IsNoValue tests it against -1.705e308,
// not -1.7e308 as the number field does, so that a real -1.7e308 still counts
// as a value here; both thresholds catch the marker itself.
inline constexpr double NoValue = No_Value;
inline constexpr double Tolerance = 1e-6;  // driving-speed iteration tolerance
inline constexpr int ValueDigits = 3;      // significant digits of report and legend values

inline constexpr int LiquidCount = 12;    // indices 0..11
inline constexpr int MaterialCount = 11;  // indices 0..10

struct TLiquidRow {
    const char* Name;
    double Density;  // kg/m³
    double Viscous;  // Pa·s
    double Condens;  // 1/Pa
};
struct TMaterialRow {
    const char* Name;
    double Rough;  // m
    double Young;  // Pa
};
extern const TLiquidRow LiquidTable[LiquidCount];  // row 0 carries only its name
extern const TMaterialRow MaterialTable[MaterialCount];

std::string LiquidName(int Index);
std::string MaterialName(int Index);
bool IsNoValue(double X);
bool IsValue(double X);
bool NearlyEqual(double A, double B);
