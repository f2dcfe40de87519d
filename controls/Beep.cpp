#include "controls/Beep.h"

#include <QApplication>

#include <utility>

namespace {
std::function<void()>& Beep_Hook()
{
    static std::function<void()> Hook;
    return Hook;
}
}  // namespace

void Default_Beep()
{
    if (Beep_Hook())
        Beep_Hook()();
    else
        QApplication::beep();
}

std::function<void()> Set_Beep_Hook(std::function<void()> Hook)
{
    return std::exchange(Beep_Hook(), std::move(Hook));
}
