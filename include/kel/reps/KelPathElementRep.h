// A Rep that draws a rep path, so that a path can stand in a viewpoint's Rep
// list like any Rep (highlighting of a selection). It refers to the path
// without owning it and keeps its own copy of the model path.
#pragma once

#include <kel/framework/KelPathElement.h>
#include <kel/reps/KelRep.h>

class KelPathElementRep : public KelRep {
 public:
  KelPathElementRep(const KelPathElement& element, KelRepPath& path);
  KelPathElementRep(const KelPathElementRep& other);
  ~KelPathElementRep() override;

  KelRepPath* GetRepPath() { return _path; }
  const KelPathElement& GetPathElement() const { return _pathElement; }

  void DrawShading(KelRender& render, int inside) override;

 private:
  KelRepPath* _path;
  KelPathElement _pathElement;
};
