// A 2D Rep: a Rep with the bounding box used to cull, pick and frame it.
#pragma once

#include <kel/foundations/Kel2DBoundingBox.h>
#include <kel/reps/KelRep.h>

class Kel2DRep : public KelRep {
 public:
  Kel2DRep();
  Kel2DRep(KelModelIdentificator& id, KelVisuController* controller);
  ~Kel2DRep() override;

  virtual void AddBoundingElement(const Kel2DBoundingBox& box);

  const Kel2DBoundingBox& GetBoundingElement() const { return _boundingBox; }
  // Sets the volume and makes every parent recompute its own.
  void SetBoundingElement(const Kel2DBoundingBox& box);
  void ResetBoundingElement() { _boundingBox = Kel2DBoundingBox(); }

 protected:
  Kel2DBoundingBox _boundingBox;
};
