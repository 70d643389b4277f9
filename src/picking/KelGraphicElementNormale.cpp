#include <kel/picking/KelGraphicElementNormale.h>

#include <kel/framework/KelMath.h>
#include <kel/framework/Keldirection3f.h>

KelGraphicElementNormale::KelGraphicElementNormale(const KelMathVector& v) : KelMathVector(v) {
  Normalise();
}

KelGraphicElementNormale::KelGraphicElementNormale(const Keldirection3f& d)
    : KelMathVector(d.x, d.y, d.z) {
  Normalise();
}

const char* KelGraphicElementNormale::ClassName() {
  return "KelGraphicElementNormale";
}

void KelGraphicElementNormale::Normalise() {
  const double n = Norm();
  if (!(n > KelMath::ZERO_MACHINE)) {
    error("Direction3D : Vecteur nul");
    x = 1.0;
    y = 0.0;
    z = 0.0;
    return;
  }
  x /= n;
  y /= n;
  z /= n;
}
