#include <kel/reps/Kel2DBagRep.h>

#include "KelBagOperations.h"

using Ops = KelBagOperations<Kel2DBagRep>;

Kel2DBagRep::Kel2DBagRep() = default;
Kel2DBagRep::Kel2DBagRep(KelModelIdentificator& id, KelVisuController* controller)
    : Kel2DRep(id, controller) {}

Kel2DBagRep::~Kel2DBagRep() {
  Ops::Destruct(*this);
}

void Kel2DBagRep::Destroy() {
  Ops::Destroy<Kel2DRep>(*this);
}
list<KelRep*>* Kel2DBagRep::GetChildren() {
  return &_children;
}
void Kel2DBagRep::SetColor(unsigned int c) {
  Ops::SetColor(*this, c);
}
void Kel2DBagRep::DrawShading(KelRender& render, int inside) {
  Ops::DrawShading(*this, render, inside);
}
void Kel2DBagRep::DrawPath(KelRender& render, int inside, KelRepPath& path) {
  Ops::DrawPath(*this, render, inside, path);
}
void Kel2DBagRep::SortGraphicAttributeSet() {
  Ops::SortGraphicAttributeSet(*this);
}
void Kel2DBagRep::ComputeBoundingElement() {
  Ops::ComputeBoundingElement<Kel2DRep>(*this);
}
void Kel2DBagRep::AddChild(Kel2DRep& child) {
  Ops::AddChild(*this, child, "Kel2DBagRep::AddChild");
}
void Kel2DBagRep::RemoveChild(Kel2DRep& child) {
  Ops::RemoveChild(*this, child);
}
void Kel2DBagRep::ReleaseChild(KelRep& child) {
  if (auto* c = dynamic_cast<Kel2DRep*>(&child)) RemoveChild(*c);
}

void Kel2DBagRep::SetMatrix(const Kel3x3Matrix& m) {
  if (!_matrix) _matrix = std::make_unique<Kel3x3Matrix>();
  *_matrix = m;
  ComputeBoundingElement();
}

void Kel2DBagRep::ResetMatrix() {
  if (!_matrix) return;
  _matrix.reset();
  ComputeBoundingElement();
}

Kel2DBoundingBox Kel2DBagRep::ChildVolume(const Kel2DRep& child) const {
  Kel2DBoundingBox box = child.GetBoundingElement();
  if (_matrix) box *= *_matrix;
  return box;
}
