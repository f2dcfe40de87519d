#pragma once
// The default beep, replaceable so that tests can count beeps.

#include <functional>

// The default beep of the platform, or the hook installed by Set_Beep_Hook.
void Default_Beep();
// Replaces the beep; an empty hook restores QApplication::beep. Returns the
// previous hook.
std::function<void()> Set_Beep_Hook(std::function<void()> Hook);
