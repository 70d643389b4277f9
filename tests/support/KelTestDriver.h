// Loads the recording graphics driver in place of the real one: once it is
// loaded under the driver's file name, the library's own lookup finds it.
#pragma once

#include <string>
#include <vector>

namespace keltest {
// The driver's call log; null when the module cannot be loaded.
std::vector<std::string>* LoadTestDriver();
}  // namespace keltest
