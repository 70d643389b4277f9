// A hit normal in double precision, kept at unit length: a zero vector reports
// "Direction3D : Vecteur nul" and becomes (1, 0, 0).
#pragma once

#include <kel/framework/KelMathVector.h>

class Keldirection3f;

class KelGraphicElementNormale : public KelMathVector {
 public:
  // (1, 0, 0).
  KelGraphicElementNormale() : KelMathVector(1.0, 0.0, 0.0) {}
  // Normalised.
  explicit KelGraphicElementNormale(const KelMathVector& v);
  // Widened, then normalised.
  explicit KelGraphicElementNormale(const Keldirection3f& d);
  KelGraphicElementNormale(const KelGraphicElementNormale& other) = default;
  KelGraphicElementNormale& operator=(const KelGraphicElementNormale& other) = default;

  static const char* ClassName();

 private:
  void Normalise();
};
