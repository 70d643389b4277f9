#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/render/KelRender.h>

#include <algorithm>

KEL_IMPLEMENT_META(Kel3DCylinderGP, Kel3DBoundingGP)

Kel3DCylinderGP::Kel3DCylinderGP(const float* points, const int n, const float* direction,
                                 const float height, const float* base, const float radius) {
  if (!points || n <= 0 || n > MAX_POINTS || !direction || !base) return;
  _points.reset(new float[3 * n]);
  std::copy(points, points + 3 * n, _points.get());
  _nbPoints = n;
  for (int k = 0; k < 3; ++k) {
    _direction[k] = direction[k];
    _axisVector[k] = direction[k] * height;
    _base[k] = base[k];
  }
  _inverseRadius = 1.0f / radius;
  ComputeBox();
}

Kel3DCylinderGP::~Kel3DCylinderGP() = default;

void Kel3DCylinderGP::Get(float** points, int* n, float** direction, float** axisVector,
                          float** base, float* inverseRadius) {
  *points = _points.get();
  *n = _nbPoints;
  *direction = _direction;
  *axisVector = _axisVector;
  *base = _base;
  *inverseRadius = _inverseRadius;
}

void Kel3DCylinderGP::ComputeBox() {
  if (_nbPoints <= 0) return;
  const float* p = _points.get();
  float min[3] = {p[0], p[1], p[2]};
  float max[3] = {p[0], p[1], p[2]};
  for (int i = 0; i < _nbPoints; ++i)
    for (int k = 0; k < 3; ++k) {
      const float bottom = p[3 * i + k];
      const float top = bottom + _axisVector[k];
      min[k] = std::min({min[k], bottom, top});
      max[k] = std::max({max[k], bottom, top});
    }
  SetBox(min, max);
}

void Kel3DCylinderGP::Draw(KelRender& render) {
  render.Draw3DCylinder(*this, 0);
}

void Kel3DCylinderGP::DrawWireframe(KelRender& render) {
  render.DrawWireframe3DCylinder(*this);
}
