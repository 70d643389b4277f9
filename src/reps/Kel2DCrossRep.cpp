#include <kel/primitives/Kel2DLineGP.h>
#include <kel/render/KelRender.h>
#include <kel/reps/Kel2DCrossRep.h>

#include <algorithm>

Kel2DCrossRep::Kel2DCrossRep(Kelpoint2f& c, float a, float b, float k) {
  Modify(c, a, b, k);
}

Kel2DCrossRep::~Kel2DCrossRep() {
  ReleaseSegments();
}

void Kel2DCrossRep::ReleaseSegments() {
  for (Kel2DLineGP*& s : _segments) Release(s);
  _count = 0;
}

void Kel2DCrossRep::Modify(Kelpoint2f& c, float a, float b, float k) {
  ReleaseSegments();
  _center = c, _a = a, _b = b, _k = k;
  float p[16];
  if (k == 0.0f || a == 0.0f) {
    const float diagonals[8] = {c.x - a, c.y - b, c.x + a, c.y + b,
                                c.x - a, c.y + b, c.x + a, c.y - b};
    std::copy(diagonals, diagonals + 8, p);
    _count = 2;
  } else {
    const float t = k * b / a;
    const float arms[16] = {c.x - a, c.y - b, c.x - k, c.y - t, c.x - a, c.y + b, c.x - k, c.y + t,
                            c.x + a, c.y + b, c.x + k, c.y + t, c.x + a, c.y - b, c.x + k, c.y - t};
    std::copy(arms, arms + 16, p);
    _count = 4;
  }
  for (int i = 0; i < _count; ++i) _segments[i] = new Kel2DLineGP(p + 4 * i, 2, 1);
  SetBoundingElement(BoxOfPoints(p, 2 * _count));
}

void Kel2DCrossRep::DrawShading(KelRender& render, int) {
  if (!render.IsDrawable(_attributes, static_cast<const KelRep&>(*this))) return;
  for (int i = 0; i < _count; ++i) _segments[i]->Draw(render);
}
