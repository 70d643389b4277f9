// A 2D Rep: a Rep with the bounding box used to cull, pick and frame it.
#pragma once

#include <kel/foundations/Kel2DBoundingBox.h>
#include <kel/primitives/KelGraphicPrimitive.h>
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

  // The box around n (x, y) points; empty for none.
  static Kel2DBoundingBox BoxOfPoints(const float* points, const int n);

 protected:
  // The leaves' box test: gp is drawn when the Rep is shown and its box
  // meets the view.
  void DrawInBox(KelRender& render, KelGraphicPrimitive* gp);
  // The leaves' flag test, without culling.
  void DrawIfShown(KelRender& render, KelGraphicPrimitive* gp);
  // Puts gp in the slot; the primitive it held is released with
  // KelGraphicPrimitive::Destroy, as a drawing pass may still hold it.
  template <class GP>
  static void Replace(GP*& slot, GP* gp) {
    if (slot) KelGraphicPrimitive::Destroy(slot);
    slot = gp;
  }
  template <class GP>
  static void Release(GP*& slot) {
    Replace(slot, static_cast<GP*>(nullptr));
  }

  Kel2DBoundingBox _boundingBox;
};
