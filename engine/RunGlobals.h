#pragma once
// The run-wide state the engine reads while it calculates: gravity, the
// driving pipe and the narrowing choice of the water-hammer dialog. The
// programs set them up around a run (case/RunSetup.h). Each thread has its own
// (hyd-calc runs the variants of a sweep side by side); a thread starts with
// the defaults.

#include <functional>

class TCalc;

extern thread_local double Gravity;   // m/s², 9.81 at start
extern thread_local TCalc* BlowCalc;  // the driving pipe; nullptr when absent

// Choice "Сужение утечки" of the water-hammer dialog (0 "не учитывать",
// 1 "резкое"), read by the engine each time it is needed. The desktop program
// points it at its dialog; by default it answers 0.
int NarrowingKind();
// Installs Source (empty: back to 0) and returns the source it replaces.
std::function<int()> SetNarrowingKindSource(std::function<int()> Source);
