#pragma once
// The engine object: one pipe with its liquid, its numerical settings and,
// after a run, its results.
//
// Where its members are defined:
//   engine/Calc.cpp         creation, SetParams, the result store (FreeRecords,
//                           ClearStages, AppendStage)
//   engine/StepPhysics.cpp  Reynolds, Friction, LossGradient (the flow law of a run)
//   engine/Run.cpp          Run, the time-stepped run with its value ranges
//   engine/Stages.cpp       RunStages, the water-hammer mode stage by stage, and WaveSpeed
//   results/Report.cpp      MakeReport
//   results/Chart.cpp       DrawChart

#include <cstdint>
#include <string>

class TCanvas;  // drawing surface of the chart (results/Canvas.h)
struct TRect;

// One record per time step.
struct TCalcStep {
    double Time;    // s
    double Fill;    // m
    double Speed;   // m/s
    double Accel;   // m/s²
    double Losses;  // Pa
    double Re;      // dimensionless
};

// One pumping stage of a water-hammer run; a node of a singly linked list.
struct TCalcStage {
    TCalcStage* Next = nullptr;
    double StartTime = 0;     // s
    double StartSpeed = 0;    // m/s, driving speed at the stage start
    double RestSpeed = 0;     // m/s, driving speed at the stage end
    double PumpPressure = 0;  // Pa, hammer pressure in the stage's first step
    double Pumped = 0;        // m, driving-pipe advance of this and all earlier stages
    double PipeSpeed = 0;     // m/s, filled pipe's column speed at the stage start
    double PumpTime = 0;      // s, duration of the stage
    double Pause = 0;         // s, pause after the stage
};

class TCalc {
public:
    TCalc();
    virtual ~TCalc();
    TCalc(const TCalc&) = delete;
    TCalc& operator=(const TCalc&) = delete;

    // Result store.
    TCalcStep* Records = nullptr;  // Capacity records; 0..Count-1 valid
    int32_t Capacity = 0;
    int32_t Count = 0;
    TCalcStage* Stages = nullptr;  // first stage, owned
    int32_t StageCount = 0;
    // The time step the records were made with. Step is the user's step; a
    // water-hammer run adapts the step to the driving pipe and puts Step back
    // afterwards, so the records' times follow this one. 0 without records.
    double RecordStep = 0;

    // Input fields, SI base units (Slope in degrees).
    double Step = 0;
    int32_t Steps = 0;
    double Pressure = 0;
    double Slope = 0;
    double InitialSpeed = 0;
    double InitialFill = 0;
    double Diameter = 0;
    double Density = 0;
    double Viscous = 0;
    double Condens = 0;
    double Length = 0;
    double Rough = 0;
    double Young = 0;
    double Walls = 0;

    // Value ranges of the last run; Max < Min means "no value".
    double ReMax = -1, ReMin = 1;
    double FillMax = -1, FillMin = 1;
    double LossesMax = -1, LossesMin = 1;
    double SpeedMax = -1, SpeedMin = 1;
    double AccelMax = -1, AccelMin = 1;

    void SetParams(int32_t Steps, double Step, double Pressure, double InitialSpeed,
                   double InitialFill, double Slope, double Density, double Viscous, double Condens,
                   double Diameter, double Length, double Walls, double Rough, double Young);

    // Physics of the filled pipe.
    double Reynolds(double Speed) const;
    double Friction(double Re) const;
    double LossGradient(double Re, double Speed) const;

    // Results store. The stage list changes only through ClearStages and
    // AppendStage.
    void FreeRecords();
    void ClearStages();
    // Appends a zeroed node at the tail and returns it, in constant time.
    TCalcStage* AppendStage();

    // One time-stepped run; Stage > 0 names a stage of a water-hammer run.
    bool Run(int Stage);
    // Water-hammer mode, stage by stage.
    void RunStages(bool MayTrunc);
    // Shock-wave speed of the driving pipe (BlowCalc) for this liquid.
    double WaveSpeed() const;

    // Presentation of the results.
    void MakeReport(std::string& Text) const;
    void DrawChart(TCanvas& Canvas, const TRect& Rect) const;

private:
    TCalcStage* LastStage = nullptr;  // the tail of Stages, nullptr when not known
};
