#pragma once
// Library code built for wider vectors than ours may return with the upper
// halves of the vector registers still in use; Qt's painting and event
// processing did. Until they are cleared, every vector instruction of code
// built for the baseline instruction set, the engine's floating-point
// arithmetic among it, waits on them: a million steps ran 40 % slower when
// each progress point had let a window paint. Callers clear them where such
// code hands control back to long arithmetic of ours.

// Clears the upper halves where the processor has them; does nothing elsewhere.
void ClearUpperVectorState();
