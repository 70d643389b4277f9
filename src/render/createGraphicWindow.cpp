#include <kel/render/KelDriver.h>

#include "KelDriverEntryPoint.h"

KelGraphicWindow* createGraphicWindow(const int a, const int b) {
  static KelCreateDriverGraphicWindowFn create = nullptr;
  if (!create)
    create = reinterpret_cast<KelCreateDriverGraphicWindowFn>(
        KelDriverEntryPoint("createDriverGraphicWindow"));
  return create(a, b);
}
