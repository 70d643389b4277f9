// The notice that the path forms of Draw and Undraw of the 2D and 3D viewers
// print before doing what replaced them.
#pragma once

#include <cstdio>

// `operation` "Draw" or "Undraw"; the last line differs between the 2D
// viewer (`wide`) and the 3D one.
inline void KelPathNotice(const char* operation, const char* replacement, int wide) {
  std::printf(" ----------------------------------------------------\n");
  std::printf(" - the %s method on a path will change -\n", operation);
  std::printf(" - please replace it now with %s         -\n", replacement);
  std::printf(wide ? " - before 1 december 1996              -\n"
                   : " - before 1 december 1996         -\n");
  std::fflush(stdout);
}
