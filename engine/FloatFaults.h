#pragma once
// Floating-point faults count as failures: the engine clears the exception
// flags right before the arithmetic it guards and tests these three right
// after it.

#include <cfenv>

inline constexpr int FaultFlags = FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID;

// True when a fault flag has been raised since the flags were last cleared.
inline bool Faulted()
{
    return std::fetestexcept(FaultFlags) != 0;
}

// Makes Object reachable from outside the calling function, so that the
// compiler must assume any call into the floating-point environment may read
// or change it. Arithmetic on its values then stays between the calls that
// clear and test the exception flags instead of being hoisted out of a loop.
template <class T> void Publish(T& Object)
{
    asm volatile("" : : "r"(&Object) : "memory");
}
