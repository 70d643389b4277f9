// A 3D Rep: a Rep with the bounding sphere used to cull, pick and frame it.
#pragma once

#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/reps/KelRep.h>

class Kel3DRep : public KelRep {
 public:
  Kel3DRep();
  Kel3DRep(KelModelIdentificator& id, KelVisuController* controller);
  ~Kel3DRep() override;

  KEL_DECLARE_META(Kel3DRep);

  virtual void AddBoundingElement(const Kel3DBoundingSphere& s);

  const Kel3DBoundingSphere& GetBoundingElement() const { return _boundingSphere; }
  // Sets the volume; the parents are not told (callers do, or AddChild does).
  void SetBoundingElement(const Kel3DBoundingSphere& s) { _boundingSphere = s; }
  void ResetBoundingElement() { _boundingSphere = Kel3DBoundingSphere(); }

  // The visibility test of 3D leaves before they draw; may set *inside to 1.
  int OkToDraw(KelRender& render, int* inside);

 protected:
  Kel3DBoundingSphere _boundingSphere;
};
