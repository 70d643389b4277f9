// kelrender: renders the built-in assembly, or a mesh file, off-screen into a
// picture file. See --help.
#include "KelAppStatus.h"
#include "KelRenderJob.h"
#include "KelRenderOptions.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
  KelRenderOptions options;
  std::string error;
  if (!options.Parse(argc, argv, error)) {
    std::cerr << "kelrender: " << error << "\nTry 'kelrender --help'.\n";
    return KELAPP_USAGE;
  }
  if (options.help || options.version) {
    std::cout << (options.help ? options.Usage() : std::string(KelRenderOptions::Version()) + "\n");
    return KELAPP_OK;
  }
  return KelRenderJob::Run(options, std::cout, std::cerr);
}
