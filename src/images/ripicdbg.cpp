#include "ripicdbg.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

int ripicdbg() {
  static const int on = [] {
    const char* home = std::getenv("HOME");
    if (!home) return 0;
    const std::string marker = std::string(home) + "/ripicdbg";
    return access(marker.c_str(), F_OK) == 0 ? 1 : 0;
  }();
  return on;
}
