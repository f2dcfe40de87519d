#pragma once
// hyd-calc: runs one case file without windows, as the desktop program's run
// command would, and writes the report, the step records, the stage list and
// the chart to files.

#include <iosfwd>
#include <string>
#include <vector>

class TCalc;

// Exit statuses of the batch tool.
inline constexpr int BatchOk = 0;         // the calculation ran without an error message
inline constexpr int BatchCalcError = 1;  // an error message was shown
inline constexpr int BatchFailure = 2;    // usage, unreadable case, unwritable output

// Runs the tool with its arguments (without the program name). Help, version
// and the report without an output option go to Out; messages and the tool's
// own errors go to Err, one per line. Returns the exit status.
int RunBatch(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err);
