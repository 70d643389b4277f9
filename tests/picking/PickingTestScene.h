// The camera looks from (0, 0, 10) down -z in a 200 x 200 window, near 1, far 100,
// half angle 15 degrees: the centre ray runs from (0, 0, 9) to (0, 0, -90).
#pragma once

#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/render/KelRender.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/Kel3DRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <functional>
#include <utility>
#include <vector>

class PickingTestSupport : public KelSupport {
 public:
  PickingTestSupport() : KelSupport(200, 200) {}
  int MakeCurrent() override { return 1; }
  void ReadPixels() override {}
};

class GPLeaf : public Kel3DRep {
 public:
  GPLeaf(const Kelpoint3f& centre, float radius) {
    SetBoundingElement(Kel3DBoundingSphere(centre, radius, 0.0f));
  }
  GPLeaf() = default;  // empty volume
  ~GPLeaf() override {
    for (KelGraphicPrimitive* gp : gps) KelGraphicPrimitive::Destroy(gp);
  }
  void DrawShading(KelRender& render, int inside) override {
    if (!OkToDraw(render, &inside)) return;
    ++drawn;
    if (onDraw) onDraw(render);
    for (KelGraphicPrimitive* gp : gps) gp->Draw(render);
  }
  std::vector<KelGraphicPrimitive*> gps;
  std::function<void(KelRender&)> onDraw;
  int drawn = 0;
};

inline Kel3DViewpoint* MakeTopCamera() {
  auto* camera = new Kel3DViewpoint(Kelpoint3f(0, 0, 10), Keldirection3f(0, 0, -1),
                                    Keldirection3f(0, 1, 0), 1.0f, 100.0f, CONIC_PROJECTION, 10.0f);
  camera->SetFrontClipping(1, 1.0f);
  camera->SetBackClipping(1, 100.0f);
  return camera;
}

// Depth along the centre ray, and width of one pixel, at height z.
inline float DepthAt(float z) {
  return (9.0f - z) / 99.0f;
}
inline float PixelAt(float z) {
  return (10.0f - z) * 0.267949192f / 100.0f;
}
