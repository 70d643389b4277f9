#include <kel/foundations/Kel2DBoundingSphere.h>
#include <kel/render/KelRender.h>
#include <kel/reps/Kel2DCustomRep.h>

#include <vector>

namespace {

// The elements of a list up to its first null one.
template <class T>
int Taken(const list<T*>& l) {
  int n = 0;
  while (n < l.Count() && l[n]) ++n;
  return n;
}

}  // namespace

Kel2DCustomRep::Kel2DCustomRep(const list<KelGraphicPrimitive*>& primitives,
                               const list<KelGraphicAttributeSet*>& attributes) {
  const int np = Taken(primitives), na = Taken(attributes);
  const int pairs = np < na ? np : na;
  // Sets of pairs left out are ours to delete, unless another pair keeps them.
  std::vector<KelGraphicAttributeSet*> dropped;
  for (int i = 0; i < pairs; ++i) {
    KelGraphicAttributeSet* set = attributes[i];
    if (_primitives.Contains(primitives[i])) {
      dropped.push_back(set);
      continue;
    }
    if (_attributeSets.Contains(set)) set = new KelGraphicAttributeSet(*set);
    _primitives.Append(primitives[i]);
    _attributeSets.Append(set);
  }
  for (int i = pairs; i < np; ++i) _primitives.AppendUnique(primitives[i]);
  for (int i = pairs; i < na; ++i) {
    if (_attributeSets.Contains(attributes[i])) continue;
    // Each partnerless set comes after every pair.
    _attributeSets.Append(attributes[i]);
  }
  for (size_t i = 0; i < dropped.size(); ++i) {
    bool seen = _attributeSets.Contains(dropped[i]);
    for (size_t j = 0; j < i && !seen; ++j) seen = dropped[j] == dropped[i];
    if (!seen) delete dropped[i];
  }
  SetInfiniteBox();
}

Kel2DCustomRep::Kel2DCustomRep(KelGraphicPrimitive* gp, KelGraphicAttributeSet attributes) {
  _attributeSets.Append(new KelGraphicAttributeSet(attributes));
  if (gp) _primitives.Append(gp);
  SetInfiniteBox();
}

Kel2DCustomRep::~Kel2DCustomRep() {
  for (KelGraphicPrimitive* gp : _primitives) KelGraphicPrimitive::Destroy(gp);
  for (KelGraphicAttributeSet* set : _attributeSets) delete set;
}

void Kel2DCustomRep::SetInfiniteBox() {
  Kel2DBoundingSphere infinite;
  infinite.SetInfinite();
  SetBoundingElement(Kel2DBoundingBox(infinite));
}

void Kel2DCustomRep::DrawShading(KelRender& render, int) {
  if (!render.IsDrawable(_attributes, _boundingBox, static_cast<const KelRep&>(*this))) return;
  const int n =
      _attributeSets.Count() < _primitives.Count() ? _attributeSets.Count() : _primitives.Count();
  for (int i = 0; i < n; ++i)
    if (render.IsDrawable(*_attributeSets[i], i)) _primitives[i]->Draw(render);
}
