#include <kel/reps/KelPathElementRep.h>

#include <kel/render/KelRender.h>
#include <kel/reps/KelRepPath.h>

KelPathElementRep::KelPathElementRep(const KelPathElement& element, KelRepPath& path)
    : _path(&path), _pathElement(element) {}

KelPathElementRep::KelPathElementRep(const KelPathElementRep& other)
    : KelRep(), _path(other._path), _pathElement(other._pathElement) {
  _attributes = other._attributes;
  _identificator = other._identificator;
  _controller = other._controller;
  _manipulator = other._manipulator;
}

KelPathElementRep::~KelPathElementRep() = default;

void KelPathElementRep::DrawShading(KelRender& render, int) {
  const int furtive = _path->GetFurtive();
  if (furtive) {
    render.InheritElementType(ELEMENT_DEFAULT_LIST, 1);
    render.SetFurtiveOn();
  }
  render.SetSensitivity(0);
  const int forced = (_attributes.flags & KelGraphicAttributeSet::HIGHLIGHTED) != 0;
  if (forced) render.InheritForeground(KelGraphicAttributeSet::HIGHLIGHT_COLOR);
  _path->InitToTopRep();
  // An empty path has no root: nothing to draw.
  if (KelRep* root = _path->NextChildRep()) root->DrawPath(render, 0, *_path);
  if (forced) render.InheritForeground(0);
  render.SetSensitivity(1);
  if (furtive) {
    render.SetFurtiveOff();
    render.InheritElementType(ELEMENT_DEFAULT_LIST, 0);
  }
}
