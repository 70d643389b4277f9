// The command line of kelrender: the options every application shares, and
// where the picture goes.
#pragma once

#include "KelAppCommandLine.h"
#include "KelSceneOptions.h"

#include <string>

class KelRenderOptions {
 public:
  // Fills the options from argv (argv[0] is the program); false with a message
  // in `error` on a bad option. --help and --version stop the parsing.
  bool Parse(int argc, const char* const* argv, std::string& error);
  std::string Usage();
  static const char* Version();

  KelSceneOptions scene;
  std::string output = "kelrender.png";
  std::string format;    // empty: from the output's name
  bool sheet2D = false;  // --2d: the built-in 2D drawing sheet
  bool help = false;
  bool version = false;

 private:
  // The table of options, applying to this object.
  KelAppCommandLine CommandLine();
};
