#include <kel/primitives/Kel2DCurveGP.h>
#include <kel/reps/Kel2DCurveRep.h>

Kel2DCurveRep::Kel2DCurveRep(const float sag, const int nbSegments, const int nbPoints,
                             const int* pointsPerSegment, const float* points)
    : _curve(new Kel2DCurveGP(sag, nbSegments, nbPoints, pointsPerSegment, points)) {
  SetBoundingElement(BoxOfPoints(_curve->GetPoints(), _curve->GetNbPoints()));
}

Kel2DCurveRep::~Kel2DCurveRep() {
  Release(_curve);
}

void Kel2DCurveRep::DrawShading(KelRender& render, int) {
  DrawInBox(render, _curve);
}
