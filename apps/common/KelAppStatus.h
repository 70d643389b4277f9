// Exit statuses of the applications, one per kind of failure, so that scripts
// can tell a bad command line from a bad input file or a full disk.
#pragma once

enum KelAppStatus : int {
  KELAPP_OK = 0,
  KELAPP_DRAW_FAILED = 1,      // no driver, no memory for the picture, or it could not draw
  KELAPP_USAGE = 2,            // bad option, unknown image format
  KELAPP_INPUT_MISSING = 3,    // the mesh file is missing or unreadable
  KELAPP_INPUT_MALFORMED = 4,  // the mesh file cannot be understood, or is over the limits
  KELAPP_OUTPUT_FAILED = 5     // the image file cannot be written
};
