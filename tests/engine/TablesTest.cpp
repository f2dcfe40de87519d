// Tables, constants and small helpers shared by the engine, and the engine
// object's creation and parameters.

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "engine/Calc.h"
#include "engine/RunGlobals.h"
#include "engine/Tables.h"

TEST(Tables, NamesOfListEntriesAndTheFreeEntryOutsideTheTable)
{
    constexpr int IntMin = std::numeric_limits<int>::min(),
                  IntMax = std::numeric_limits<int>::max();
    for (int Index = 1; Index < LiquidCount; ++Index) {
        EXPECT_EQ(LiquidName(Index), LiquidTable[Index].Name) << Index;
        EXPECT_NE(LiquidName(Index), "произвольная жидкость") << Index;
        // The degree sign is followed by a Latin capital C, not a Cyrillic one.
        EXPECT_EQ(LiquidName(Index).find("\xC2\xB0\xD0\xA1"), std::string::npos) << Index;
    }
    for (int Index : {0, -1, LiquidCount, IntMin, IntMax})
        EXPECT_EQ(LiquidName(Index), "произвольная жидкость") << Index;
    EXPECT_NE(LiquidName(2).find("\xC2\xB0"
                                 "C"),
              std::string::npos);
    for (int Index = 1; Index < MaterialCount; ++Index)
        EXPECT_EQ(MaterialName(Index), MaterialTable[Index].Name) << Index;
    for (int Index : {0, -5, MaterialCount, IntMax})
        EXPECT_EQ(MaterialName(Index), "произвольный материал") << Index;
}

TEST(Tables, NearlyEqualAndTheValueMarker)
{
    const struct {
        double A, B;
        bool Equal;
    } Cases[] = {
        {0, 0, true},
        {0.0, -0.0, true},
        {0, 1e-300, false},
        {1e-300, 0, false},
        {1, 1 + 1e-15, true},
        {1 + 1e-15, 1, true},
        {1, 1.0001, false},
        {1, -1, false},
        // The tolerance is relative to the smaller value's magnitude.
        {-1 - 1e-15, -1, true},
        {1e300, 1e300 * (1 + 5e-15), true},
        {1e300, 1e300 * (1 + 5e-14), false},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(NearlyEqual(C.A, C.B), C.Equal) << C.A << " " << C.B;
    for (double X : {NoValue, -std::numeric_limits<double>::infinity()})
        EXPECT_TRUE(IsNoValue(X) && !IsValue(X)) << X;
    for (double X : {-1.7e308, 0.0})
        EXPECT_TRUE(IsValue(X) && !IsNoValue(X)) << X;
}

TEST(Tables, NarrowingKindSource)
{
    EXPECT_EQ(NarrowingKind(), 0);
    int Choice = 1;
    SetNarrowingKindSource([&] { return Choice; });
    EXPECT_EQ(NarrowingKind(), 1);
    Choice = 0;
    EXPECT_EQ(NarrowingKind(), 0);
    SetNarrowingKindSource({});
    Choice = 1;
    EXPECT_EQ(NarrowingKind(), 0);
}

TEST(Calc, SetParamsStoresEachFieldByNameAndNothingElse)
{
    TCalc Calc;
    EXPECT_EQ(std::tie(Calc.Records, Calc.Stages, Calc.Count, Calc.StageCount),
              std::make_tuple(nullptr, nullptr, 0, 0));
    Calc.Count = 7;
    Calc.SetParams(5, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13);
    EXPECT_EQ(
        std::tie(Calc.Steps, Calc.Step, Calc.Pressure, Calc.InitialSpeed, Calc.InitialFill,
                 Calc.Slope, Calc.Density, Calc.Viscous, Calc.Condens, Calc.Diameter, Calc.Length,
                 Calc.Walls, Calc.Rough, Calc.Young),
        std::make_tuple(5, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 10.0, 11.0, 12.0, 13.0));
    EXPECT_EQ(Calc.Count, 7);
    EXPECT_EQ(Calc.ReMax, -1);
}

TEST(Calc, StageListAppendsAtTailAndClears)
{
    TCalc Calc;
    TCalcStage* First = Calc.AppendStage();
    TCalcStage* Second = Calc.AppendStage();
    EXPECT_EQ(Calc.StageCount, 2);
    EXPECT_EQ(Calc.Stages, First);
    EXPECT_EQ(First->Next, Second);
    EXPECT_EQ(Second->Next, nullptr);
    EXPECT_EQ(Second->PumpTime, 0);
    Calc.ClearStages();
    EXPECT_EQ(Calc.Stages, nullptr);
    EXPECT_EQ(Calc.StageCount, 0);
}
