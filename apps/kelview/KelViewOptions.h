// The command line of kelview: the options every application shares, and the
// session's recording, replay and picture.
#pragma once

#include "KelAppCommandLine.h"
#include "KelSceneOptions.h"

#include <string>

class KelViewOptions {
 public:
  // Fills the options from argv (argv[0] is the program); false with a message
  // in `error` on a bad option or a contradiction. --help and --version stop
  // the parsing.
  bool Parse(int argc, const char* const* argv, std::string& error);
  std::string Usage();
  static const char* Version();

  KelSceneOptions scene;
  std::string record;      // session recording to write
  std::string replay;      // session recording to replay
  std::string screenshot;  // picture of the window to write, then exit
  bool verbose = false;
  bool help = false;
  bool version = false;

 private:
  KelAppCommandLine CommandLine();
};
