// An inner node of the 3D scene graph: groups 3D Reps under an optional
// matrix (children's space to the bag's space). Its sphere is the union of its
// visible children's spheres, kept up to date on every change and climbing to
// every root. Destroy() takes down the children left without a parent.
#pragma once

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/reps/Kel3DRep.h>

#include <memory>

class Kel3DBagRep : public Kel3DRep {
 public:
  Kel3DBagRep();
  Kel3DBagRep(KelModelIdentificator& id, KelVisuController* controller);
  ~Kel3DBagRep() override;

  KEL_DECLARE_META(Kel3DBagRep);

  void Destroy() override;
  list<KelRep*>* GetChildren() override;
  void SetColor(unsigned int c) override;
  using KelRep::SetColor;
  void DrawShading(KelRender& render, int inside) override;
  void DrawPath(KelRender& render, int inside, KelRepPath& path) override;
  void SortGraphicAttributeSet() override;
  void ComputeBoundingElement() override;
  int BuildHightlightLook(const KelPathElement& element, KelRepPath& path) override;
  // Refuses (with a message) a child that would close a cycle.
  virtual void AddChild(Kel3DRep& child);
  virtual void RemoveChild(Kel3DRep& child);

  Kel4x4Matrix* GetMatrix() const { return _matrix.get(); }
  void SetMatrix(const Kel4x4Matrix& m);
  void ResetMatrix();
  int GetChildCount() const { return _children.Count(); }
  Kel3DRep* GetChild(int i) const { return static_cast<Kel3DRep*>(_children[i]); }

  // The child's volume in the bag's space.
  Kel3DBoundingSphere ChildVolume(const Kel3DRep& child) const;

 protected:
  void ReleaseChild(KelRep& child) override;

 private:
  std::unique_ptr<Kel4x4Matrix> _matrix;
  list<KelRep*> _children;  // Kel3DRep only

  template <class Bag>
  friend struct KelBagOperations;
};
