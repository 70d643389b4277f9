// A small program on the library: builds a transform, moves a bounding sphere
// with it and reports what the object model knows of the classes involved.
#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelMath.h>

#include <cstdio>

int main() {
  // A quarter turn about z through (1, 0, 0), then a uniform scaling by 2.
  Kel4x4Matrix turn(Kelvector3f(0.0f, 0.0f, static_cast<float>(KelMath::PI / 2)),
                    Kelpoint3f(1.0f, 0.0f, 0.0f));
  Kel4x4Matrix scale(Kelvector3f(2, 0, 0), Kelvector3f(0, 2, 0), Kelvector3f(0, 0, 2),
                     Kelvector3f(0, 0, 0));
  Kel4x4Matrix m = turn * scale;

  Kel3DBoundingSphere sphere(Kelpoint3f(2.0f, 0.0f, 0.0f), 1.0f, 0.0f);
  sphere *= m;
  const float* c = sphere.GetCenter();
  std::printf("Kelvis: a %s of determinant %g and scaling %g\n", m.IsA(), m.GetDeterminant(),
              m.GetScaling());
  std::printf("moves a %s to centre (%g, %g, %g), radius %g\n", sphere.IsA(), c[0], c[1], c[2],
              sphere.GetRadius());
  std::printf("%s is a kind of KelBoundingElement: %s\n", sphere.IsA(),
              sphere.IsAKindOf("KelBoundingElement") ? "yes" : "no");
  return 0;
}
