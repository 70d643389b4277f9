// Kinds of light source. The library makes directional lights only; what the
// other values mean is the driver's business (docs/driver.md).
#pragma once

enum TypeOfSL : int {
  DIRECTIONAL_SL = 0  // position w = 0: a light from infinity along x, y, z
};
