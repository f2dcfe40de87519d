#pragma once
// The step records and the stage list of a finished calculation as CSV text:
// a header line, then one line per record or stage; numbers in the shortest
// text that reads back to the same double; lines end with LF. hyd-calc writes
// them as its --csv and --stages-csv outputs, the desktop program on request.

#include <string>

#include "results/Report.h"

class TCalc;

// Header "Time,Fill,Speed,Accel,Losses,Re"; the lines are made in blocks on
// two threads and handed to Sink in order.
void WriteRecordsCsv(const TCalc& Calc, const TTextSink& Sink);
// Header "StartTime,StartSpeed,RestSpeed,PumpPressure,Pumped,PipeSpeed,
// PumpTime,Pause".
void WriteStagesCsv(const TCalc& Calc, const TTextSink& Sink);

// The same as whole strings.
std::string RecordsCsv(const TCalc& Calc);
std::string StagesCsv(const TCalc& Calc);
