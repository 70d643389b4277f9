#include <kel/reps/Kel2DRep.h>

Kel2DRep::Kel2DRep() = default;
Kel2DRep::Kel2DRep(KelModelIdentificator& id, KelVisuController* controller)
    : KelRep(id, controller) {}

Kel2DRep::~Kel2DRep() {
  DetachFromParents();
}

void Kel2DRep::AddBoundingElement(const Kel2DBoundingBox& box) {
  _boundingBox += box;
}

void Kel2DRep::SetBoundingElement(const Kel2DBoundingBox& box) {
  _boundingBox = box;
  ComputeParentsBoundingElement();
}
