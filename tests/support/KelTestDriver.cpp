#include "KelTestDriver.h"

#include <dlfcn.h>

#include <cstdio>

namespace keltest {
std::vector<std::string>* LoadTestDriver() {
  void* handle = dlopen(KEL_TEST_DRIVER_PATH, RTLD_NOW | RTLD_GLOBAL);
  if (!handle) {
    std::fprintf(stderr, "%s\n", dlerror());
    return nullptr;
  }
  using LogFn = std::vector<std::string>* (*)();
  auto fn = reinterpret_cast<LogFn>(dlsym(handle, "kelTestDriverLog"));
  return fn ? fn() : nullptr;
}
}  // namespace keltest
