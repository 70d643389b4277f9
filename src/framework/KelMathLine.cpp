#include <kel/framework/KelMath.h>
#include <kel/framework/KelMathLine.h>

KelMathLine::KelMathLine(const KelMathPoint& origin, const KelMathVector& direction)
    : _origin(origin) {
  const double n = direction.Norm();
  if (!(n > KelMath::ZERO_MACHINE)) {
    error("Direction3D : Vecteur nul");
    return;
  }
  _direction = direction / n;
}
