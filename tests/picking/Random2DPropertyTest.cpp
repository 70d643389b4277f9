// Random 2D Reps under random 2D cameras, through the real culling and
// display-list replay: nothing drawn is ever a NaN, and every place something
// is drawn picks the Rep that drew it.
#include <gtest/gtest.h>

#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/images/KelPixelImage.h>
#include <kel/picking/KelPickPath.h>
#include <kel/picking/KelPickPathList.h>
#include <kel/primitives/Kel2DLineGP.h>
#include <kel/primitives/Kel2DMarkerGP.h>
#include <kel/primitives/Kel2DSimpleGeometricTextGP.h>
#include <kel/render/KelDisplayList.h>
#include <kel/render/KelDrawRender.h>
#include <kel/reps/Kel2DArcCircleRep.h>
#include <kel/reps/Kel2DArrowSymbolRep.h>
#include <kel/reps/Kel2DBagRep.h>
#include <kel/reps/Kel2DCadreRep.h>
#include <kel/reps/Kel2DCrossRep.h>
#include <kel/reps/Kel2DCurveRep.h>
#include <kel/reps/Kel2DImagePixelRep.h>
#include <kel/reps/Kel2DLineRep.h>
#include <kel/reps/Kel2DPointRep.h>
#include <kel/reps/Kel2DPolygonRep.h>
#include <kel/reps/Kel2DSimpleGeometricTextRep.h>
#include <kel/reps/Kel2DSymbolRep.h>
#include <kel/viewpoints/Kel2DViewpoint.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <typeinfo>
#include <vector>

#include "PickingTestScene.h"

namespace {

constexpr float kSize = 200.0f;  // the support's width and height in pixels
constexpr int kPick = 2;

// A driver render that draws nothing: it keeps the pixels where it is asked
// to draw (its camera is the pass's, moved into each Rep's frame), and counts
// coordinates that are not numbers.
class CaptureRender : public KelDrawRender {
 public:
  explicit CaptureRender(const KelSupport& support) : KelDrawRender(support) {}
  CaptureRender(const CaptureRender&) = default;

  KelRender* PushMatrix(Kel3x3Matrix& m) override {
    auto* child = new CaptureRender(*this);
    *child *= m;
    return child;
  }
  void Draw2DLine(Kel2DLineGP& gp) override { Points(gp.GetPoints(), gp.GetNbPoints()); }
  void Draw2DMarker(Kel2DMarkerGP& gp) override { Points(gp.GetPoints(), gp.GetNbPoints()); }
  void Draw2DSimpleGeometricText(Kel2DSimpleGeometricTextGP& gp) override {
    Points(gp.GetPosition(), 1);
  }
  void ImmediateDraw2DPolyline(const float* points, const int count) override {
    if (count >= 2) Points(points, count);
  }
  void ImmediateDraw2DPolygon(const float* points, const int count, const int filled) override {
    if (!filled) return Points(points, count);
    // A convex inside: its vertices' middle, when it spans a few pixels.
    float xmin = 1e30f, xmax = -1e30f, ymin = 1e30f, ymax = -1e30f, sx = 0, sy = 0;
    for (int i = 0; i < count; ++i) {
      const Kelpoint2f q = Pixel(points + 2 * i);
      xmin = std::min(xmin, q.x), xmax = std::max(xmax, q.x);
      ymin = std::min(ymin, q.y), ymax = std::max(ymax, q.y);
      sx += q.x, sy += q.y;
    }
    if (xmax - xmin > 8 && ymax - ymin > 8) probes.push_back({sx / count, sy / count});
  }
  void ImmediateDraw2DImagePixel(const float* position, const KelPixelImage* image,
                                 const int) override {
    int w = 0, h = 0;
    image->GetSize(w, h);
    const Kelpoint2f p = Pixel(position);
    if (w > 4 && h > 4) probes.push_back({p.x + 0.5f * w, p.y - 0.5f * h});
  }

  std::vector<Kelpoint2f> probes;
  int nan = 0;

 private:
  Kelpoint2f Pixel(const float* model) {
    float x = 0, y = 0;
    nan += !std::isfinite(model[0]) || !std::isfinite(model[1]);
    GetCurrent2DViewpoint()->ComputePixelFromModel(model[0], model[1], x, y, kSize, kSize, 1, 1);
    return {x, y};
  }
  void Points(const float* p, int n) {
    for (int i = 0; i < n; ++i) probes.push_back(Pixel(p + 2 * i));
  }
};

std::mt19937 rng(20240611);
float Uniform(float a, float b) {
  return std::uniform_real_distribution<float>(a, b)(rng);
}
int Int(int a, int b) {
  return std::uniform_int_distribution<int>(a, b)(rng);
}

Kel2DRep* RandomRep(const KelPixelImage& image) {
  const float x = Uniform(-60, 60), y = Uniform(-60, 60), r = Uniform(0.5f, 40);
  const float p[2] = {x, y}, q[4] = {x, y, Uniform(-200, 200), Uniform(-200, 200)};
  std::vector<float> v;
  switch (Int(0, 10)) {
    case 0:
      return new Kel2DLineRep(q);
    case 1:
      return new Kel2DPointRep(p, SymbolType(Int(1, 10)));
    case 2: {
      // Convex: points of a circle at increasing angles.
      std::vector<float> angles(size_t(Int(3, 7)));
      for (float& a : angles) a = Uniform(0, 6.28f);
      std::sort(angles.begin(), angles.end());
      for (float a : angles) v.insert(v.end(), {x + r * std::cos(a), y + r * std::sin(a)});
      return new Kel2DPolygonRep(v.data(), int(angles.size()), Int(0, 1));
    }
    case 3: {
      for (int i = 0; i < 31; ++i) v.insert(v.end(), {x + 3.0f * i, y + r * std::sin(0.3f * i)});
      const int counts[3] = {11, 11, 11};
      return new Kel2DCurveRep(Uniform(0.001f, 2.0f), 3, 31, counts, v.data());
    }
    case 4:
      return new Kel2DArcCircleRep(p, Uniform(1, 300), Uniform(-20, 20), Uniform(-20, 20));
    case 5:
      return new Kel2DArrowSymbolRep(p, q + 2, Uniform(2, 20), Uniform(0.1f, 1.2f),
                                     SymbolType(Int(11, 14)));
    case 6:
      return new Kel2DSymbolRep(p, Uniform(2, 20), SymbolType(Int(15, 22)));
    case 7:
      return new Kel2DSimpleGeometricTextRep(p, "Kelvis", AnchorPoint(Int(0, 8)), Uniform(1, 30));
    case 8:
      return new Kel2DImagePixelRep(p, &image, Int(0, 2));
    case 9:
      return new Kel2DCadreRep(Kelpoint2f(x, y), r, Uniform(1, 40), Uniform(1, 20),
                               CadreRepCorner(Int(0, 4)));
    default: {
      Kelpoint2f c(x, y);
      return new Kel2DCrossRep(c, Uniform(0, 30), Uniform(1, 30), Uniform(0, 10) * Int(0, 1));
    }
  }
}

// Any zoom type and anchor, about the Reps.
Kel2DViewpoint* RandomCamera() {
  auto* camera = new Kel2DViewpoint(Kelpoint2f(Uniform(-50, 50), Uniform(-50, 50)),
                                    std::pow(10.0f, Uniform(-0.7f, 1.0f)));
  camera->SetZoomType(ViewpointZoomType(Int(0, 2)));
  camera->SetAnchor(Kel2DViewpoint::Anchor(Int(0, 2) | (4 * Int(0, 2))));
  if (camera->GetZoomType() != ZOOM_MILLIMETER) camera->SetZoom(Uniform(0.005f, 0.05f));
  return camera;
}

TEST(Random2DProperty, WhatIsDrawnIsFiniteAndPicksItsRep) {
  keltest::TestSupport support{200, 200};
  KelPixelImage image(12, 9, PixelImageRGB);
  image.SetXPixelSize(2.0f);
  image.SetYPixelSize(2.0f);
  int probed = 0;
  for (int round = 0; round < 2000; ++round) {
    std::unique_ptr<Kel2DViewpoint> camera(RandomCamera());
    Kel2DRep* rep = RandomRep(image);
    Kel2DRep* top = rep;
    if (Int(0, 2) == 0) {
      // Inside a bag that moves and scales it.
      auto* bag = new Kel2DBagRep;
      const float s = Uniform(0.3f, 3.0f);
      bag->SetMatrix(Kel3x3Matrix(Kelvector2f(s, 0), Kelvector2f(0, s),
                                  Kelpoint2f(Uniform(-30, 30), Uniform(-30, 30))));
      bag->AddChild(*rep);
      top = bag;
    }
    camera->AddRep(top);

    KelGraphicPrimitive::Lock();
    keltest::Cull(support, *camera);
    CaptureRender draw(support);
    draw.BeginDraw(*camera);
    draw.Draw(*camera);
    draw.EndDraw(*camera);
    camera->GetDisplayList()->Reset();
    KelGraphicPrimitive::Unlock();
    EXPECT_EQ(draw.nan, 0) << "round " << round;

    for (const Kelpoint2f& p : draw.probes) {
      if (std::min(p.x, p.y) < kPick + 1 || std::max(p.x, p.y) > kSize - kPick - 1) continue;
      ++probed;
      KelPickPathList hits;
      keltest::Pick(support, *camera, hits, std::floor(p.x) + 0.5f, std::floor(p.y) + 0.5f, kPick);
      bool found = false;
      for (KelPickPath* path : hits.GetPickPathList())
        found = found || path->GetRep(path->Size() - 1) == rep;
      hits.Reset();
      ASSERT_TRUE(found) << "round " << round << ": " << typeid(*rep).name() << " at " << p.x
                         << ", " << p.y;
    }
    camera->RemoveRep(top);
    top->Destroy();
  }
  EXPECT_GT(probed, 1000) << "the rounds drew little in the window";
}

}  // namespace
