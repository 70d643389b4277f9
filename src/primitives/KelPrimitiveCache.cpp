#include <kel/primitives/KelPrimitiveCache.h>

KelPrimitiveCache::~KelPrimitiveCache() = default;

void KelPrimitiveCache::Release() {
  delete this;
}
