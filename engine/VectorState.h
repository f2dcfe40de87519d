#pragma once
// Code built for wider vectors than ours (libraries that choose their routines
// by the processor: painting, copying) may return with the upper halves of the
// vector registers still in use. Until they are cleared, every vector
// instruction of code built for the baseline instruction set, the engine's
// floating-point arithmetic among it, waits on them: a million steps ran 40 %
// slower after each progress point had let a window paint. Callers clear them
// when such code hands control back to long arithmetic of ours.

// Clears the upper halves where the processor has them; does nothing elsewhere.
void ClearUpperVectorState();
