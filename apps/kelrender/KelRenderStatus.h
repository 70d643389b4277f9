// Exit statuses of kelrender, one per kind of failure, so that scripts can
// tell a bad command line from a bad input file or a full disk.
#pragma once

enum KelRenderStatus : int {
  KELRENDER_OK = 0,
  KELRENDER_DRAW_FAILED = 1,      // no driver, or it could not draw
  KELRENDER_USAGE = 2,            // bad option, unknown image format
  KELRENDER_INPUT_MISSING = 3,    // the mesh file is missing or unreadable
  KELRENDER_INPUT_MALFORMED = 4,  // the mesh file cannot be understood
  KELRENDER_OUTPUT_FAILED = 5     // the image file cannot be written
};
