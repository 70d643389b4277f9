#include <kel/framework/KelMath.h>
#include <kel/framework/Keldirection2f.h>
#include <kel/framework/Keldirection3f.h>

#include <atomic>
#include <cstdio>

namespace {
std::atomic<long> errorCount{0};
}

long KelMath::ErrorCount() { return errorCount.load(); }

void error(const char* message) {
  ++errorCount;
  std::fprintf(stderr, "%s\n", message ? message : "");
}

void Keldirection3f::Set(const Kelvector3f& v) {
  const float n = v.Norm();
  if (!(n > KelMath::ZERO_MACHINE)) {
    x = 1.0f;
    y = z = 0.0f;
    error("Direction3D : Vecteur nul");
    return;
  }
  x = v.x / n;
  y = v.y / n;
  z = v.z / n;
}

void Keldirection2f::Set(const Kelvector2f& v) {
  const float n = v.Norm();
  if (!(n > KelMath::ZERO_MACHINE)) {
    x = 1.0f;
    y = 0.0f;
    error("Direction2D : Vecteur nul");
    return;
  }
  x = v.x / n;
  y = v.y / n;
}
