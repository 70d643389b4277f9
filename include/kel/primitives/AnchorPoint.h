// Where a text's position lies on the text's box. The library stores and passes
// the value unchanged; the driver places the text (docs/driver.md).
#pragma once

enum AnchorPoint {
  BOTTOM_LEFT = 0,
  BOTTOM_CENTER,
  BOTTOM_RIGHT,
  MIDDLE_LEFT,
  MIDDLE_CENTER,
  MIDDLE_RIGHT,
  TOP_LEFT,
  TOP_CENTER,
  TOP_RIGHT
};
