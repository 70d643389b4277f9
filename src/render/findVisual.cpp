#include <kel/render/KelDriver.h>

#include "KelDriverEntryPoint.h"

XVisualInfo* findVisual(Display* display) {
  auto find = reinterpret_cast<KelFindDriverVisualFn>(KelDriverEntryPoint("findDriverVisual"));
  return find(display);
}
