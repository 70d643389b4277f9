// One run of kelrender: load or build the scene, frame it, draw it off-screen
// through the driver, write the picture, and report what took the time.
#pragma once

#include <iosfwd>

class KelRenderOptions;

class KelRenderJob {
 public:
  // Progress and timings go to `out` (to `err` when the picture itself goes to
  // the standard output), failures and warnings to `err`. Answers a
  // KelAppStatus.
  static int Run(const KelRenderOptions& options, std::ostream& out, std::ostream& err);
};
