// The run-wide state of the engine.

#include "engine/RunGlobals.h"

#include <utility>

thread_local double Gravity = 9.81;
thread_local TCalc* BlowCalc = nullptr;

namespace {

std::function<int()>& NarrowingKindSource()
{
    thread_local std::function<int()> Source;
    return Source;
}

}  // namespace

int NarrowingKind()
{
    const auto& Source = NarrowingKindSource();
    return Source ? Source() : 0;
}

std::function<int()> SetNarrowingKindSource(std::function<int()> Source)
{
    return std::exchange(NarrowingKindSource(), std::move(Source));
}
