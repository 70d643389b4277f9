#include <kel/reps/KelRep.h>

#include <kel/controller/KelVisuController.h>
#include <kel/framework/KelPathElement.h>
#include <kel/manipulators/KelManipulator.h>
#include <kel/render/KelRender.h>
#include <kel/reps/KelRepPath.h>

#include <cstdio>

KEL_IMPLEMENT_META(KelRep, KelExtendable)

KelRep::KelRep() = default;

KelRep::KelRep(KelModelIdentificator& id, KelVisuController* controller)
    : _identificator(id), _controller(controller) {
  if (_identificator.GetIntId() != 0) _identificator.RecordRep(this);
}

KelRep::~KelRep() {
  if (_manipulator) _manipulator->DereferenceRep(this);
  if (_controller) _controller->UnreferenceRep(_identificator);
}

void KelRep::Destroy() {
  // A leaf deleted while a bag still lists it would leave the bag a dangling child.
  DetachFromParents();
  delete this;
}

void KelRep::DetachFromParents() {
  // The parents list shrinks while it is walked: take the last one each time.
  while (_parents.Count() > 0) {
    const int before = _parents.Count();
    KelRep* parent = _parents[before - 1];
    parent->ReleaseChild(*this);
    // A parent that is not a bag of our kind only forgets us.
    if (_parents.Count() == before) RemoveParent(*parent);
  }
}

void KelRep::ReleaseChild(KelRep&) {}

int KelRep::IsSelfOrAncestor(const KelRep& rep) const {
  if (&rep == this) return 1;
  for (int i = 0; i < _parents.Count(); ++i)
    if (_parents[i]->IsSelfOrAncestor(rep)) return 1;
  return 0;
}

list<KelRep*>* KelRep::GetChildren() {
  return nullptr;
}
KelGraphicAttributeSet& KelRep::GetGraphicAttributeSet() {
  return _attributes;
}
void KelRep::SetGraphicAttributeSet(const KelGraphicAttributeSet& a) {
  _attributes = a;
}

void KelRep::HighLightOn() {
  _attributes.flags |= KelGraphicAttributeSet::HIGHLIGHTED;
}
void KelRep::HighLightOff() {
  _attributes.flags &= static_cast<unsigned char>(~KelGraphicAttributeSet::HIGHLIGHTED);
}

void KelRep::ComputeParentsBoundingElement() {
  for (int i = 0; i < _parents.Count(); ++i) _parents[i]->ComputeBoundingElement();
}

void KelRep::TemporyNoshowOn() {
  _attributes.flags |= KelGraphicAttributeSet::TEMPORY_HIDDEN;
  ComputeParentsBoundingElement();
}
void KelRep::TemporyNoshowOff() {
  _attributes.flags &= static_cast<unsigned char>(~KelGraphicAttributeSet::TEMPORY_HIDDEN);
  ComputeParentsBoundingElement();
}
int KelRep::IsTemporyHidden() {
  return (_attributes.flags & KelGraphicAttributeSet::TEMPORY_HIDDEN) != 0;
}

void KelRep::SetColor(unsigned int c) {
  _attributes.color =
      static_cast<unsigned char>(c < 256 ? c : unsigned(KelGraphicAttributeSet::DEFAULT_COLOR));
}

// The path forms act on the path's current Rep, not on the Rep they are called on.
void KelRep::HighLightOn(KelRepPath& path) {
  if (KelRep* r = path.GetCurrentRep()) r->HighLightOn();
}
void KelRep::HighLightOff(KelRepPath& path) {
  if (KelRep* r = path.GetCurrentRep()) r->HighLightOff();
}
void KelRep::TemporyNoshowOn(KelRepPath& path) {
  if (KelRep* r = path.GetCurrentRep()) r->TemporyNoshowOn();
}
void KelRep::TemporyNoshowOff(KelRepPath& path) {
  if (KelRep* r = path.GetCurrentRep()) r->TemporyNoshowOff();
}
void KelRep::SetColor(unsigned int c, KelRepPath& path) {
  if (KelRep* r = path.GetCurrentRep()) r->SetColor(c);
}

int KelRep::BuildHightlightLook(const KelPathElement& element, KelRepPath&) {
  return element.GetNextChildObject() == nullptr ? 1 : 0;
}

void KelRep::AddParent(KelRep& p) {
  _parents.AppendUnique(&p);
}
void KelRep::RemoveParent(KelRep& p) {
  _parents.Remove(&p);
}
list<KelRep*>& KelRep::GetParents() {
  return _parents;
}

static void PrintDrawWireframeNotice() {
  std::fputs(" Le methode DrawWireframe des KelRep doit etre supprime\n", stdout);
  std::fputs(" elle doit etre remplacee par le methode DrawShading\n", stdout);
}

void KelRep::DrawShading(KelRender& render, int inside) {
  PrintDrawWireframeNotice();
  DrawWireframe(render, inside);
}

void KelRep::DrawWireframe(KelRender&, int) {
  PrintDrawWireframeNotice();
}

void KelRep::DrawPath(KelRender& render, int inside, KelRepPath& path) {
  KelRep* current = path.GetCurrentRep();
  if (!current) return;
  render.SetMesh(0);
  render.SetEdge(1);
  render.SetOutLine(0);
  current->DrawShading(render, inside);
}

void KelRep::ComputeMesh(int) {}
void KelRep::ComputeWireframe(int) {}
KelModelIdentificator& KelRep::GetIdentificator() {
  return _identificator;
}
void KelRep::SetNewId(KelModelIdentificator& id) {
  _identificator.SetModelId(id.GetVoidId());
}
void KelRep::SetPersistentId(KelModelIdentificator& id) {
  SetNewId(id);
}
void KelRep::SetUnPersistentId(KelModelIdentificator& id) {
  SetNewId(id);
}
void KelRep::SortGraphicAttributeSet() {}
void KelRep::ComputeBoundingElement() {}
