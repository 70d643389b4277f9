#include <kel/reps/Kel3DBagRep.h>

#include <kel/controller/KelVisuController.h>
#include <kel/framework/KelPathElement.h>

#include "KelBagOperations.h"

using Ops = KelBagOperations<Kel3DBagRep>;

KEL_IMPLEMENT_META(Kel3DBagRep, Kel3DRep)

Kel3DBagRep::Kel3DBagRep() = default;
Kel3DBagRep::Kel3DBagRep(KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller) {}

Kel3DBagRep::~Kel3DBagRep() {
  Ops::Destruct(*this);
}

void Kel3DBagRep::Destroy() {
  Ops::Destroy<Kel3DRep>(*this);
}
list<KelRep*>* Kel3DBagRep::GetChildren() {
  return &_children;
}
void Kel3DBagRep::SetColor(unsigned int c) {
  Ops::SetColor(*this, c);
}
void Kel3DBagRep::DrawShading(KelRender& render, int inside) {
  Ops::DrawShading(*this, render, inside);
}
void Kel3DBagRep::DrawPath(KelRender& render, int inside, KelRepPath& path) {
  Ops::DrawPath(*this, render, inside, path);
}
void Kel3DBagRep::SortGraphicAttributeSet() {
  Ops::SortGraphicAttributeSet(*this);
}
void Kel3DBagRep::ComputeBoundingElement() {
  Ops::ComputeBoundingElement<Kel3DRep>(*this);
}
void Kel3DBagRep::AddChild(Kel3DRep& child) {
  Ops::AddChild(*this, child, "Kel3DBagRep::AddChild");
}
void Kel3DBagRep::RemoveChild(Kel3DRep& child) {
  Ops::RemoveChild(*this, child);
}
void Kel3DBagRep::ReleaseChild(KelRep& child) {
  if (auto* c = dynamic_cast<Kel3DRep*>(&child)) RemoveChild(*c);
}

void Kel3DBagRep::SetMatrix(const Kel4x4Matrix& m) {
  if (!_matrix) _matrix = std::make_unique<Kel4x4Matrix>();
  *_matrix = m;
  ComputeBoundingElement();
}

void Kel3DBagRep::ResetMatrix() {
  if (!_matrix) return;
  _matrix.reset();
  ComputeBoundingElement();
}

Kel3DBoundingSphere Kel3DBagRep::ChildVolume(const Kel3DRep& child) const {
  Kel3DBoundingSphere s = child.GetBoundingElement();
  if (_matrix) s *= *_matrix;
  return s;
}

int Kel3DBagRep::BuildHightlightLook(const KelPathElement& element, KelRepPath& path) {
  KelModelIdentificator id(element.GetNextChildObject());
  list<KelVisuController*> asked;
  for (int i = 0; i < _children.Count(); ++i) {
    KelVisuController* controller = _children[i]->GetControllerId();
    if (!controller || asked.Contains(controller)) continue;
    KelRep* found = controller->GetRep(id);
    if (!found) {
      asked.Append(controller);
      continue;
    }
    if (controller != _controller) {
      if (KelRep* model = controller->GetGraphicModel()) path.AddRep(*model);
    }
    path.AddRep(*found);
    return found->BuildHightlightLook(element, path);
  }
  return 1;
}
