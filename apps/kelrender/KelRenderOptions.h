// The command line of kelrender.
#pragma once

#include <string>

class KelRenderOptions {
 public:
  // Largest image side accepted; the image formats and the driver's buffers
  // stay well inside their limits below it.
  static constexpr int MAX_SIDE = 16384;

  // Fills the options from argv (argv[0] is the program); false with a message
  // in `error` on a bad option. "--help" sets help and stops the parsing.
  bool Parse(int argc, const char* const* argv, std::string& error);
  static const char* Usage();

  int width = 800;
  int height = 600;
  // Direction the camera looks from, in degrees: azimuth about z from the front
  // (the -y side) towards the right (+x), elevation above the xy plane.
  double azimuth = 45.0;
  double elevation = 35.264389682754654;  // the isometric direction
  std::string view = "iso";
  bool parallel = false;
  unsigned char background[3] = {46, 52, 64};
  std::string output = "kelrender.png";
  std::string input;     // empty: the default scene
  bool sheet2D = false;  // --2d: the built-in 2D drawing sheet
  bool help = false;

  // Azimuth and elevation of a named view; false for an unknown name.
  static bool NamedView(const std::string& name, double& azimuth, double& elevation);
  // "WxH", sides 1 to MAX_SIDE.
  static bool ParseSize(const std::string& text, int& width, int& height);
  // "#rrggbb", "rrggbb" or "r,g,b" with 0-255 components.
  static bool ParseColour(const std::string& text, unsigned char rgb[3]);
  // "AZ,EL" in degrees, elevation from -90 to 90.
  static bool ParseAngles(const std::string& text, double& azimuth, double& elevation);
};
