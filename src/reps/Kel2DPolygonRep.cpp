#include <kel/primitives/Kel2DPolygonGP.h>
#include <kel/reps/Kel2DPolygonRep.h>

Kel2DPolygonRep::Kel2DPolygonRep(const float* points, const int n, const int mode)
    : _polygon(new Kel2DPolygonGP(points, n, mode, 1)) {
  SetBoundingElement(BoxOfPoints(_polygon->GetPoints(), _polygon->GetNbPoints()));
}

Kel2DPolygonRep::~Kel2DPolygonRep() {
  Release(_polygon);
}

void Kel2DPolygonRep::DrawShading(KelRender& render, int) {
  DrawInBox(render, _polygon);
}
