// What the middle-button drag of a KelBasic3DViewpointEditor does: one camera
// action alone (modes 0 to 4), all of them (5), or a navigation style
// (examine, walk, fly) with its shortcuts.
#pragma once

enum KelBasic3DViewpointEditorMode : int {
  ROTATE_MODE = 0,
  ZOOM_MODE = 1,
  LOOK_AT_MODE = 2,
  TRANSLATE_MODE = 3,
  TURN_HEAD_MODE = 4,
  ALL_ACTIONS_MODE = 5,
  ROLL_MODE = 6,
  EXAMINE_MODE = 7,
  WALK_MODE = 8,
  FLY_MODE = 9
};
