// Tables, constants and small helpers shared by the engine, and the engine
// object's creation and parameters.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/Calc.h"
#include "engine/Tables.h"

TEST(Tables, LiquidNames)
{
    EXPECT_EQ(LiquidName(1), "вода +4°C");
    EXPECT_EQ(LiquidName(2), "вода +20°C");
    EXPECT_EQ(LiquidName(7), "вода +120°C (P>2 атм)");
    EXPECT_EQ(LiquidName(8), "вода +150°C (P>5 атм)");
    EXPECT_EQ(LiquidName(9), "океанская вода +20°C");
    EXPECT_EQ(LiquidName(10), "спирт этиловый +20°C");
    EXPECT_EQ(LiquidName(11), "масло +20°C (трансформаторное)");
    // Every other index is the free liquid.
    for (int Index : {0, -1, 12, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()})
        EXPECT_EQ(LiquidName(Index), "произвольная жидкость") << Index;
    // The degree sign is followed by a Latin capital C, not a Cyrillic one.
    EXPECT_NE(LiquidName(2).find("\xC2\xB0" "C"), std::string::npos);
    for (int Index = 1; Index < LiquidCount; ++Index)
        EXPECT_EQ(LiquidName(Index).find("\xC2\xB0\xD0\xA1"), std::string::npos) << Index;
}

TEST(Tables, MaterialNames)
{
    const char* const Expected[MaterialCount] = {
        "произвольный материал", "стекло", "тянутая медь", "сплавы алюминия",
        "сталь (без швов)", "сталь обычная", "чугун", "ПВХ твёрдый неармированный",
        "полипропилен твёрдый неармированный", "полиэтилен твёрдый неармированный",
        "резиновый шланг неармированный"};
    for (int Index = 0; Index < MaterialCount; ++Index)
        EXPECT_EQ(MaterialName(Index), Expected[Index]) << Index;
    EXPECT_EQ(MaterialName(11), "произвольный материал");
    EXPECT_EQ(MaterialName(-5), "произвольный материал");
}

TEST(Tables, NearlyEqual)
{
    EXPECT_TRUE(NearlyEqual(0, 0));
    EXPECT_TRUE(NearlyEqual(0.0, -0.0));
    EXPECT_FALSE(NearlyEqual(0, 1e-300));
    EXPECT_FALSE(NearlyEqual(1e-300, 0));
    EXPECT_TRUE(NearlyEqual(1, 1 + 1e-15));
    EXPECT_TRUE(NearlyEqual(1 + 1e-15, 1));
    EXPECT_FALSE(NearlyEqual(1, 1.0001));
    EXPECT_FALSE(NearlyEqual(1, -1));
    // The tolerance is relative to the smaller value's magnitude.
    EXPECT_TRUE(NearlyEqual(-1 - 1e-15, -1));
    EXPECT_TRUE(NearlyEqual(1e300, 1e300 * (1 + 5e-15)));
    EXPECT_FALSE(NearlyEqual(1e300, 1e300 * (1 + 5e-14)));
}

TEST(Tables, ValueMarker)
{
    EXPECT_FALSE(IsValue(NoValue));
    EXPECT_TRUE(IsNoValue(NoValue));
    EXPECT_TRUE(IsValue(-1.7e308));
    EXPECT_FALSE(IsNoValue(-1.7e308));
    EXPECT_TRUE(IsValue(0));
    EXPECT_TRUE(IsNoValue(-std::numeric_limits<double>::infinity()));
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

TEST(Calc, CreatedEmpty)
{
    TCalc Calc;
    EXPECT_EQ(Calc.Records, nullptr);
    EXPECT_EQ(Calc.Stages, nullptr);
    EXPECT_EQ(Calc.Capacity, 0);
    EXPECT_EQ(Calc.Count, 0);
    EXPECT_EQ(Calc.StageCount, 0);
    for (double Field : {Calc.Step, Calc.Pressure, Calc.Slope, Calc.InitialSpeed,
                         Calc.InitialFill, Calc.Diameter, Calc.Density, Calc.Viscous,
                         Calc.Condens, Calc.Length, Calc.Rough, Calc.Young, Calc.Walls})
        EXPECT_EQ(Field, 0);
    EXPECT_EQ(Calc.Steps, 0);
    for (auto [Max, Min] : {std::pair{Calc.ReMax, Calc.ReMin}, {Calc.FillMax, Calc.FillMin},
                            {Calc.LossesMax, Calc.LossesMin}, {Calc.SpeedMax, Calc.SpeedMin},
                            {Calc.AccelMax, Calc.AccelMin}}) {
        EXPECT_EQ(Max, -1);
        EXPECT_EQ(Min, 1);
    }
}

TEST(Calc, SetParamsStoresEachFieldByName)
{
    TCalc Calc;
    Calc.Count = 7;
    Calc.SetParams(5, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13);
    EXPECT_EQ(Calc.Steps, 5);
    EXPECT_EQ(Calc.Step, 1);
    EXPECT_EQ(Calc.Pressure, 2);
    EXPECT_EQ(Calc.InitialSpeed, 3);
    EXPECT_EQ(Calc.InitialFill, 4);
    EXPECT_EQ(Calc.Slope, 5);
    EXPECT_EQ(Calc.Density, 6);
    EXPECT_EQ(Calc.Viscous, 7);
    EXPECT_EQ(Calc.Condens, 8);
    EXPECT_EQ(Calc.Diameter, 9);
    EXPECT_EQ(Calc.Length, 10);
    EXPECT_EQ(Calc.Walls, 11);
    EXPECT_EQ(Calc.Rough, 12);
    EXPECT_EQ(Calc.Young, 13);
    EXPECT_EQ(Calc.Count, 7);  // nothing else changes
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
