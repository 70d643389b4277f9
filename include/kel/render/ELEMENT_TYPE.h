// Element lists of a display list, chosen from the element kind and the
// transparency bit of the current attribute set.
#pragma once

enum ELEMENT_TYPE {
  ELEMENT_LIGHT_SOURCES = 0,
  ELEMENT_CLOSED_VOLUMES = 1,
  ELEMENT_KIND_2 = 2,
  ELEMENT_TRANSPARENT = 3,
  ELEMENT_LINES = 4,
  ELEMENT_DEFAULT = 5,
  ELEMENT_OVERLAY_DEFAULT = 6,  // the default list of a type 1 display list
  ELEMENT_DEFAULT_LIST = 7      // "the default list" (5, or 6 in a type 1 display list)
};
