// Reference tables of liquids and pipe materials, and the value helpers.

#include "engine/Tables.h"

#include <algorithm>
#include <cmath>

// The degree sign in the names is followed by a Latin "C".
const TLiquidRow LiquidTable[LiquidCount] = {
    {"произвольная жидкость", 0, 0, 0},
    {"вода +4°C", 1000, 0.00153, 4.91e-10},
    {"вода +20°C", 999, 0.001004, 4.58e-10},
    {"вода +30°C", 996, 0.000803, 4.47e-10},
    {"вода +50°C", 989, 0.000551, 4.43e-10},
    {"вода +70°C", 979, 0.000407, 4.51e-10},
    {"вода +100°C", 958.38, 0.000284, 4.88e-10},
    {"вода +120°C (P>2 атм)", 940, 0.000232, 5.15e-10},
    {"вода +150°C (P>5 атм)", 917, 0.000184, 5.5e-10},
    {"океанская вода +20°C", 1029, 0.001052, 4.91e-10},
    {"спирт этиловый +20°C", 790, 0.00122, 1.12e-9},
    {"масло +20°C (трансформаторное)", 900, 0.0198, 5e-10},
};

const TMaterialRow MaterialTable[MaterialCount] = {
    {"произвольный материал", 0, 0},
    {"стекло", 2e-6, 6e10},
    {"тянутая медь", 1e-5, 1.1e11},
    {"сплавы алюминия", 6e-5, 7.1e10},
    {"сталь (без швов)", 1e-4, 2e11},
    {"сталь обычная", 3e-4, 2e11},
    {"чугун", 1e-3, 1.9e11},
    {"ПВХ твёрдый неармированный", 5e-6, 2.7e9},
    {"полипропилен твёрдый неармированный", 1e-5, 8e8},
    {"полиэтилен твёрдый неармированный", 5e-6, 1.2e8},
    {"резиновый шланг неармированный", 1e-5, 3e6},
};

std::string LiquidName(int Index)
{
    // Row 0 is the free liquid, and so is every index outside the table.
    if (Index < 1 || Index >= LiquidCount)
        Index = 0;
    return LiquidTable[Index].Name;
}

std::string MaterialName(int Index)
{
    if (Index < 1 || Index >= MaterialCount)
        Index = 0;
    return MaterialTable[Index].Name;
}

namespace {
constexpr double NoValueLimit = -1.705e308;
}

bool IsNoValue(double X)
{
    return X < NoValueLimit;
}

bool IsValue(double X)
{
    return !(X < NoValueLimit);
}

bool NearlyEqual(double A, double B)
{
    if (A == 0 && B == 0)
        return true;
    if (A == 0 || B == 0)
        return false;
    const double Larger = std::max(A, B);
    const double Smaller = std::min(A, B);
    return Larger - Smaller <= 1e-14 * std::abs(Smaller);
}
