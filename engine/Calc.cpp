// The engine object: creation, parameters and the store of results.

#include "engine/Calc.h"

// Every field starts at 0 and every range pair empty (maximum -1, minimum 1):
// the member initialisers say so.
TCalc::TCalc() = default;

TCalc::~TCalc()
{
    ClearStages();
    FreeRecords();
}

void TCalc::SetParams(int32_t Steps, double Step, double Pressure, double InitialSpeed,
                      double InitialFill, double Slope, double Density, double Viscous,
                      double Condens, double Diameter, double Length, double Walls, double Rough,
                      double Young)
{
    this->Steps = Steps;
    this->Step = Step;
    this->Pressure = Pressure;
    this->InitialSpeed = InitialSpeed;
    this->InitialFill = InitialFill;
    this->Slope = Slope;
    this->Density = Density;
    this->Viscous = Viscous;
    this->Condens = Condens;
    this->Diameter = Diameter;
    this->Length = Length;
    this->Walls = Walls;
    this->Rough = Rough;
    this->Young = Young;
}

void TCalc::FreeRecords()
{
    delete[] Records;
    Records = nullptr;
    Capacity = 0;
    Count = 0;
    RecordStep = 0;
}

void TCalc::ClearStages()
{
    while (Stages) {
        TCalcStage* Next = Stages->Next;
        delete Stages;
        Stages = Next;
        --StageCount;
    }
    StageCount = 0;
    LastStage = nullptr;
}

TCalcStage* TCalc::AppendStage()
{
    auto* Node = new TCalcStage{};
    if (!Stages) {
        Stages = Node;
    } else {
        // The list is walked only where the known tail does not end it (not
        // known yet, or nodes linked on behind it).
        if (!LastStage)
            LastStage = Stages;
        while (LastStage->Next)
            LastStage = LastStage->Next;
        LastStage->Next = Node;
    }
    LastStage = Node;
    ++StageCount;
    return Node;
}
