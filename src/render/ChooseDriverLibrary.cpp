#include <kel/render/KelDriver.h>

#include <cstdio>

// The only place that names the driver.
static const char kDriverName[] = "libGR7OGL.so";

char* ChooseDriverLibrary(char* buffer, std::size_t size) {
  if (!buffer || size < sizeof kDriverName) return nullptr;
  std::snprintf(buffer, size, "%s", kDriverName);
  return buffer;
}

char* ChooseDriverLibrary(char* buffer) {
  return ChooseDriverLibrary(buffer, KEL_DRIVER_NAME_SIZE);
}
