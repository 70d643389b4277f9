#include "KelTestEnv.h"

namespace keltest {
// Anchors the support library; the helpers themselves are inline.
bool HasDisplay() { return std::getenv("DISPLAY") != nullptr; }
}  // namespace keltest
