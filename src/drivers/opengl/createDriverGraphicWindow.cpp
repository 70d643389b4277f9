#include <kel/render/KelDriver.h>

#include "KelOglWindow.h"

extern "C" KelGraphicWindow* createDriverGraphicWindow(const int width, const int height) {
  return new KelOglWindow(width, height);
}
