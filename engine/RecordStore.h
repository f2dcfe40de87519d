#pragma once
// The memory of a run's step records.

#include <cstdint>

#include "engine/Calc.h"

// Frees the records of Calc and returns N records (N > 0) for its next run,
// zero-filled when asked, or nullptr when they cannot be had. The previous
// run's results are given up either way; when its block has exactly N
// records it is taken over instead of being returned to the system, so that
// repeated runs do not have a fresh block faulted in and cleared each time.
// A block larger than the machine's physical memory is refused. The records
// are freed with delete[] (FreeRecords).
TCalcStep* RecordsForRun(TCalc& Calc, int32_t N, bool Zeroed);
