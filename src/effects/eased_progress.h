// The eased progress of the glides and key-frame players: how far along its way a movement
// stands at the plain progress t (0 to 1).
#pragma once

// Power p > 0 starts slowly (t^p), p < 0 ends slowly (1 - (1 - t)^-p), p = 0 runs straight.
double EaseProgress(double t, double power);
