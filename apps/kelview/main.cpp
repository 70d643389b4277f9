// kelview: shows the built-in assembly, or a mesh file, in a window to point
// at, select and turn. See --help.
#include "KelAppStatus.h"
#include "KelViewApp.h"
#include "KelViewOptions.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
  KelViewOptions options;
  std::string error;
  if (!options.Parse(argc, argv, error)) {
    std::cerr << "kelview: " << error << "\nTry 'kelview --help'.\n";
    return KELAPP_USAGE;
  }
  if (options.help || options.version) {
    std::cout << (options.help ? options.Usage() : std::string(KelViewOptions::Version()) + "\n");
    return KELAPP_OK;
  }
  KelViewApp app(options, std::cout, std::cerr);
  return app.Run();
}
