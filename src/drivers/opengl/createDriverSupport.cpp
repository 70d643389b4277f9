#include <kel/render/KelDriver.h>

#include "KelOglSupport.h"

extern "C" KelSupport* createDriverSupport(KelSupport* model, KelPixelImage* image) {
  return KelOglSupport::Create(model, image);
}
