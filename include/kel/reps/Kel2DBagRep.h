// An inner node of the 2D scene graph: groups 2D Reps under an optional 2D
// matrix. Its box is the union of its visible children's boxes.
#pragma once

#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/reps/Kel2DRep.h>

#include <memory>

class Kel2DBagRep : public Kel2DRep {
 public:
  Kel2DBagRep();
  Kel2DBagRep(KelModelIdentificator& id, KelVisuController* controller);
  ~Kel2DBagRep() override;

  void Destroy() override;
  list<KelRep*>* GetChildren() override;
  void SetColor(unsigned int c) override;
  using KelRep::SetColor;
  void DrawShading(KelRender& render, int inside) override;
  void DrawPath(KelRender& render, int inside, KelRepPath& path) override;
  void SortGraphicAttributeSet() override;
  void ComputeBoundingElement() override;
  virtual void AddChild(Kel2DRep& child);
  virtual void RemoveChild(Kel2DRep& child);

  Kel3x3Matrix* GetMatrix() const { return _matrix.get(); }
  void SetMatrix(const Kel3x3Matrix& m);
  void ResetMatrix();
  int GetChildCount() const { return _children.Count(); }
  Kel2DRep* GetChild(int i) const { return static_cast<Kel2DRep*>(_children[i]); }

  Kel2DBoundingBox ChildVolume(const Kel2DRep& child) const;

 protected:
  void ReleaseChild(KelRep& child) override;

 private:
  std::unique_ptr<Kel3x3Matrix> _matrix;
  list<KelRep*> _children;  // Kel2DRep only

  template <class Bag>
  friend struct KelBagOperations;
};
