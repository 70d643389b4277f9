// Marker and symbol types. The library carries the value unchanged; the driver
// draws the markers (docs/driver.md) and the 2D symbol primitives draw 11 to 22
// themselves. Any int value may be stored, hence the fixed underlying type.
#pragma once

enum SymbolType : int {
  DEFAULT_SYMBOL = 1,  // the marker of points
  // 2 to 9: further marker looks of the driver.
  CLOUD_POINT_SYMBOL = 10,  // one dot per point of a cloud
  OPEN_ARROW_SYMBOL = 11,
  TRIANGLE_ARROW_SYMBOL = 12,
  HOLLOW_TRIANGLE_ARROW_SYMBOL = 13,
  FILLED_TRIANGLE_ARROW_SYMBOL = 14,
  CIRCLE_SYMBOL = 15,
  HOLLOW_DISC_SYMBOL = 16,
  FILLED_DISC_SYMBOL = 17,
  CROSSED_DISC_SYMBOL = 18,
  HOLLOW_SQUARE_SYMBOL = 19,
  FILLED_SQUARE_SYMBOL = 20,
  HOLLOW_TRIANGLE_SYMBOL = 21,
  FILLED_TRIANGLE_SYMBOL = 22
};
