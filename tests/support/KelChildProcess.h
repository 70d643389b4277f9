// Runs a program as a child process and collects what it says and what it
// cost, optionally under resource limits (to see how it fails when memory or
// disk space runs out).
#pragma once

#include <string>
#include <vector>

namespace keltest {

struct ChildLimits {
  long long addressSpace = 0;  // bytes; 0 leaves the limit alone
  long long fileSize = 0;      // bytes a file may grow to; writes past it fail with EFBIG
};

struct ChildOutcome {
  int status = -1;  // exit status, or -1 when the program did not exit
  int signal = 0;   // the signal that ended it
  std::string out;
  std::string err;
  double cpuSeconds = 0.0;  // user and system time
  long maxResidentKB = 0;
};

// argv[0] is the program's path. The standard streams go through files in the
// running test's output folder.
ChildOutcome RunChild(const std::vector<std::string>& argv, const ChildLimits& limits = {});

}  // namespace keltest
