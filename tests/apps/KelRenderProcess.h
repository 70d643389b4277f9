// Runs the kelrender program as a child process.
#pragma once

#include <string>
#include <vector>

#include "KelChildProcess.h"

namespace kelrendertest {

inline keltest::ChildOutcome RunKelrender(std::vector<std::string> args,
                                          const keltest::ChildLimits& limits = {}) {
  args.insert(args.begin(), KEL_KELRENDER_PATH);
  return keltest::RunChild(args, limits);
}

}  // namespace kelrendertest
