#pragma once
// The application object of the Qt benchmarks, made by the first benchmark
// that needs it (offscreen unless a platform is chosen). It is never
// destroyed: destroyed by a static destructor, after the toolkit's own
// globals are gone, it would crash the program at exit.

#include <QApplication>

inline void Ensure_Qt()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int Argc = 1;
    static char Name[] = "bench_qt";
    static char* Argv[] = {Name, nullptr};
    new QApplication(Argc, Argv);
}
