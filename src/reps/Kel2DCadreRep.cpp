#include <kel/primitives/Kel2DPolylineGP.h>
#include <kel/render/KelRender.h>
#include <kel/reps/Kel2DCadreRep.h>

#include <cstdio>

Kel2DCadreRep::Kel2DCadreRep(Kelpoint2f center, float dx, float dy, float length,
                             CadreRepCorner corner)
    : _corner(corner) {
  if (corner < ALL_CADRE_CORNERS || corner > BOTTOM_RIGHT_CADRE_CORNER) {
    std::fprintf(stderr, "Kel2DCadreRep::Kel2DCadreRep: Invalid function parameters.\n");
    return;
  }
  Modify(center, dx, dy, length);
}

Kel2DCadreRep::~Kel2DCadreRep() {
  ReleaseCorners();
}

void Kel2DCadreRep::ReleaseCorners() {
  for (Kel2DPolylineGP*& c : _corners) Release(c);
  _count = 0;
}

void Kel2DCadreRep::Modify(Kelpoint2f center, float dx, float dy, float length) {
  ReleaseCorners();
  _center = center, _dx = dx, _dy = dy, _length = length;
  if (_corner < ALL_CADRE_CORNERS || _corner > BOTTOM_RIGHT_CADRE_CORNER) return;
  float all[24];
  for (int c = 1; c <= 4; ++c) {
    if (_corner != ALL_CADRE_CORNERS && _corner != c) continue;
    // The corner point, and which way its legs run along x and y.
    const bool left = c == 1 || c == 3, top = c <= 2;
    const float x = left ? center.x - dx : center.x + dx;
    const float y = top ? center.y + dy : center.y - dy;
    const float lx = left ? length : -length, ly = top ? -length : length;
    float* p = all + 6 * _count;
    p[0] = x + lx, p[1] = y, p[2] = x, p[3] = y, p[4] = x, p[5] = y + ly;
    _corners[_count++] = new Kel2DPolylineGP(p, 3, 1);
  }
  SetBoundingElement(BoxOfPoints(all, 3 * _count));
}

void Kel2DCadreRep::DrawShading(KelRender& render, int) {
  if (_count == 0 || !render.IsDrawable(_attributes, static_cast<const KelRep&>(*this))) return;
  for (int i = 0; i < _count; ++i) _corners[i]->Draw(render);
}
