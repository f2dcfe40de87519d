#pragma once
// Constants, globals and reference tables shared by the whole program.

#include <functional>
#include <string>

class TCalc;

inline constexpr double NoValue = -1.71e308;   // marker of an absent value
inline constexpr double Tolerance = 1e-6;      // driving-speed iteration tolerance
inline constexpr int ValueDigits = 3;          // significant digits of report and legend values

extern double Gravity;                         // m/s², 9.81 at start
extern std::string IniFileName;                // "Hyd.ini"
extern std::string DataFileName;               // "Data.Hyd"
extern const std::string ParamFileFilter;
extern TCalc* BlowCalc;                        // the driving pipe; nullptr when absent

// Choice "Сужение утечки" of the water-hammer dialog (0 "не учитывать",
// 1 "резкое"), read by the engine each time it is needed. The desktop program
// points it at its dialog; by default it answers 0.
int NarrowingKind();
void SetNarrowingKindSource(std::function<int()> Source);  // empty: back to 0

inline constexpr int LiquidCount = 12;         // indices 0..11
inline constexpr int MaterialCount = 11;       // indices 0..10

struct TLiquidRow {
    const char* Name;
    double Density;   // kg/m³
    double Viscous;   // Pa·s
    double Condens;   // 1/Pa
};
struct TMaterialRow {
    const char* Name;
    double Rough;     // m
    double Young;     // Pa
};
extern const TLiquidRow LiquidTable[LiquidCount];      // row 0 carries only its name
extern const TMaterialRow MaterialTable[MaterialCount];

std::string LiquidName(int Index);
std::string MaterialName(int Index);
bool IsNoValue(double X);
bool IsValue(double X);
bool NearlyEqual(double A, double B);
