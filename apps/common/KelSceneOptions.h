// The options every application shares: the file to show and its limits, the
// up axis, the view and projection, the background, the picture's size and
// its anti-aliasing.
#pragma once

#include "KelAppCommandLine.h"
#include "KelMeshLimits.h"
#include "KelSceneFraming.h"

#include <string>

struct KelSceneOptions {
  // Largest picture side accepted; the image formats and the driver's buffers
  // stay within their limits below it.
  static constexpr int MAX_SIDE = 16384;
  static constexpr int MAX_SAMPLES = 16;

  int width = 800;
  int height = 600;
  // Direction the camera looks from, in degrees: azimuth about the up axis
  // from the front towards the right, elevation above the ground plane.
  double azimuth = 45.0;
  double elevation = 35.264389682754654;  // the isometric direction
  std::string view = "iso";
  bool parallel = false;
  unsigned char background[3] = {46, 52, 64};
  // KEL_UP_FROM_FILE: what the file's format says, z when it says nothing.
  KelUpAxis up = KEL_UP_FROM_FILE;
  // Samples per pixel; 1 draws without anti-aliasing.
  int samples = 4;
  KelMeshLimits limits;
  std::string input;  // empty: the built-in assembly

  // Adds -s, -v, -p, -b, -u, --samples, --max-triangles and --max-vertices.
  void AddTo(KelAppCommandLine& line);

  // Azimuth and elevation of a named view; false for an unknown name.
  static bool NamedView(const std::string& name, double& azimuth, double& elevation);
  // "WxH", sides 1 to MAX_SIDE.
  static bool ParseSize(const std::string& text, int& width, int& height);
  // "#rrggbb", "rrggbb" or "r,g,b" with 0-255 components.
  static bool ParseColour(const std::string& text, unsigned char rgb[3]);
  // "AZ,EL" in degrees, elevation from -90 to 90.
  static bool ParseAngles(const std::string& text, double& azimuth, double& elevation);
};
