#include "KelDriverEntryPoint.h"

#include <kel/framework/KelGetEntryPoint.h>
#include <kel/render/KelDriver.h>

#include <cstdio>
#include <cstdlib>

void* KelDriverEntryPoint(const char* symbol) {
  char name[KEL_DRIVER_NAME_SIZE];
  ChooseDriverLibrary(name, sizeof name);
  void* entry = KelGetEntryPoint(name, symbol);
  if (!entry) {
    std::printf("Library %s not found\n", name);
    std::fflush(stdout);
    std::exit(1);
  }
  return entry;
}
