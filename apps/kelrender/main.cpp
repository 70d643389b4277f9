// kelrender: renders the built-in assembly, or a mesh file, off-screen into an
// image file. See --help.
#include "KelRenderJob.h"
#include "KelRenderOptions.h"
#include "KelRenderStatus.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
  KelRenderOptions options;
  std::string error;
  if (!options.Parse(argc, argv, error)) {
    std::cerr << "kelrender: " << error << "\nTry 'kelrender --help'.\n";
    return KELRENDER_USAGE;
  }
  if (options.help) {
    std::cout << KelRenderOptions::Usage();
    return KELRENDER_OK;
  }
  return KelRenderJob::Run(options, std::cout, std::cerr);
}
