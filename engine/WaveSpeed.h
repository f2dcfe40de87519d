#pragma once
// The speed of a pressure wave in a liquid filling a pipe.

// 1 / √(ρ·(β + D / (e·E))) for a liquid of density ρ (Density) and
// compressibility β (Condens) in a pipe of inner diameter D, wall thickness e
// (Walls) and Young's modulus E (Young). The walls count only when D, e and E
// are all above 0; otherwise the pipe is rigid and the result is the speed of
// sound in the liquid, 1 / √(ρ·β). Not checked: the result may be infinite or
// not a number (ρ·β of 0 or below), and computing it may raise a
// floating-point fault.
double WaveSpeed(double Density, double Condens, double Diameter = 0, double Walls = 0,
                 double Young = 0);
