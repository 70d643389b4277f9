#include <kel/foundations/Kel4x4Matrix.h>

#include <cstdio>

int main() {
  Kel4x4Matrix m(Kelvector3f(1.0f, 2.0f, 3.0f));
  Kelpoint3f p = m * Kelpoint3f(1.0f, 1.0f, 1.0f);
  std::printf("%s %g %g %g\n", m.IsA(), p.x, p.y, p.z);
  return (p.x == 2.0f && p.y == 3.0f && p.z == 4.0f) ? 0 : 1;
}
