#include <kel/primitives/Kel2DLineGP.h>
#include <kel/reps/Kel2DLineRep.h>

Kel2DLineRep::Kel2DLineRep(const float* points) {
  Build(points);
}

Kel2DLineRep::Kel2DLineRep(const Kelpoint2f& a, const Kelpoint2f& b) {
  Modify(a, b);
}

Kel2DLineRep::~Kel2DLineRep() {
  Release(_line);
}

void Kel2DLineRep::Build(const float* points) {
  Replace(_line, new Kel2DLineGP(points, 2, 1));
  SetBoundingElement(Kel2DBoundingBox(points[0], points[2], points[1], points[3]));
}

void Kel2DLineRep::Modify(const Kelpoint2f& a, const Kelpoint2f& b) {
  const float points[4] = {a.x, a.y, b.x, b.y};
  Build(points);
}

void Kel2DLineRep::DrawShading(KelRender& render, int) {
  DrawInBox(render, _line);
}
