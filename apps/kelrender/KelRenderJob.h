// One run of kelrender: load or build the scene, draw it off-screen through
// the driver, write the image, and report what took the time.
#pragma once

#include <iosfwd>

class KelRenderOptions;
class Keldirection3f;

class KelRenderJob {
 public:
  // Progress and timings go to `out`, failures and warnings to `err`. Answers
  // a KelRenderStatus.
  static int Run(const KelRenderOptions& options, std::ostream& out, std::ostream& err);

  // Camera directions looking from azimuth and elevation (degrees): azimuth 0
  // looks from the front (-y) towards +y, 90 from the right (+x); elevation 90
  // looks down with +y up in the picture.
  static void ViewDirections(double azimuth, double elevation, Keldirection3f& sight,
                             Keldirection3f& up);
};
