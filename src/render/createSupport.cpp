#include <kel/render/KelDriver.h>

#include "KelDriverEntryPoint.h"

KelSupport* createSupport(KelSupport* support, KelPixelImage* image) {
  auto create =
      reinterpret_cast<KelCreateDriverSupportFn>(KelDriverEntryPoint("createDriverSupport"));
  return create(support, image);
}
