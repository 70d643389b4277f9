// A 2D Rep that draws any primitives, each with its own attribute set: the
// i-th set goes with the i-th primitive and makes it the i-th sub-element
// (hiding the set hides that primitive only). Its box is infinite: it is
// never culled.
#pragma once

#include <kel/framework/list.h>
#include <kel/reps/Kel2DRep.h>

class Kel2DCustomRep : public Kel2DRep {
 public:
  // Takes the pairs of the two lists, up to the first null element of either
  // or the end of the shorter one, and owns them. A primitive given twice is
  // held once, with its first set; a set given to two primitives is copied
  // for the second. What lies beyond the shorter list is owned too, but has
  // no partner and draws nothing.
  Kel2DCustomRep(const list<KelGraphicPrimitive*>& primitives,
                 const list<KelGraphicAttributeSet*>& attributes);
  // Copies the set; a null gp gives a set without a primitive.
  Kel2DCustomRep(KelGraphicPrimitive* gp, KelGraphicAttributeSet attributes);
  ~Kel2DCustomRep() override;

  void DrawShading(KelRender& render, int inside) override;

  const list<KelGraphicPrimitive*>& GetPrimitives() const { return _primitives; }
  const list<KelGraphicAttributeSet*>& GetAttributeSets() const { return _attributeSets; }

 private:
  void SetInfiniteBox();

  list<KelGraphicPrimitive*> _primitives;
  list<KelGraphicAttributeSet*> _attributeSets;
};
