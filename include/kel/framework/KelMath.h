// Constants and the error report of the mathematics service.
#pragma once

class KelMath {
 public:
  static constexpr double PI = 3.14159265358979323846;
  // Below this a length, angle or determinant counts as zero.
  static constexpr double ZERO_MACHINE = 1.0e-10;
  static constexpr double DEGRERADIANS = PI / 180.0;

  // Number of reports made through error(); tests read it.
  static long ErrorCount();
};

// Reports a mathematics error (a degenerate direction, ...): one line on the
// standard error stream. The computation goes on with a substitute value.
void error(const char* message);
