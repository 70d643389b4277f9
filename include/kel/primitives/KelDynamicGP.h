// A primitive whose geometry depends on the camera at the moment of drawing
// (fixed-size arrows, symbols, screen circles): the render records it and calls
// ImmediateDraw with the current viewpoint and viewport when it displays it.
#pragma once

#include <kel/primitives/KelGraphicPrimitive.h>

class KelViewpoint;
class KelViewport;

class KelDynamicGP : public KelGraphicPrimitive {
 public:
  KEL_DECLARE_META(KelDynamicGP);

  void Draw(KelRender& render) override;
  virtual void ImmediateDraw(KelRender& render, const KelViewpoint* viewpoint,
                             const KelViewport* viewport) = 0;
};
