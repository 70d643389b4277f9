// How a 3D camera is pulled upright by its gravity direction. Every value other
// than off and proportional works stepwise.
#pragma once

enum KelViewpointGravityMode : int {
  GRAVITY_OFF = 0,
  GRAVITY_PROPORTIONAL = 1,
  GRAVITY_STEPWISE = 2
};
