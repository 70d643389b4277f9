#include <kel/foundations/Kel2DBoundingSphere.h>
#include <kel/primitives/Kel2DArcCircleGP.h>
#include <kel/reps/Kel2DArcCircleRep.h>

Kel2DArcCircleRep::Kel2DArcCircleRep(const float* center, const float radius, const float start,
                                     const float end)
    : _arc(new Kel2DArcCircleGP(center, radius, start, end, 0)),
      _center{center[0], center[1]},
      _radius(radius),
      _start(start),
      _end(end) {
  // A circle of no radius draws nothing: no box.
  if (radius > 0.0f)
    SetBoundingElement(Kel2DBoundingBox(Kel2DBoundingSphere(Kelpoint2f(center), radius, 0.0f)));
}

Kel2DArcCircleRep::~Kel2DArcCircleRep() {
  Release(_arc);
}

void Kel2DArcCircleRep::DrawShading(KelRender& render, int) {
  DrawInBox(render, _arc);
}
