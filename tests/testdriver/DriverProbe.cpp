// Asks the library for a driver support; run where no driver can be found.
#include <kel/render/KelDriver.h>

#include <cstdio>

int main() {
  KelSupport* support = createSupport(nullptr, nullptr);
  std::printf("a driver answered: %p\n", static_cast<void*>(support));
  return 0;
}
