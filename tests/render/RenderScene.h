// Scenes rendered off-screen by the OpenGL driver, loaded by name like any
// driver, and compared with reference pictures in tests/data/render
// (keltest::ExpectMatchesReference).
#pragma once

#include <gtest/gtest.h>

#include <kel/framework/Kelpoint2f.h>
#include <kel/images/KelPixelImage.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/render/KelDriver.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/Kel2DBagRep.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/viewers/KelColorMap.h>
#include <kel/viewpoints/KelOverlayViewpoint.h>

#include <memory>
#include <string>
#include <vector>

#include "KelPngImage.h"
#include "KelTestEnv.h"
#include "KelTestScene.h"

namespace kelrender {

using keltest::GPLeaf;

// A flat square of side 2s around c facing -y, towards the cameras of these
// scenes.
inline Kel3DPlanarFaceGP* Quad(const Kelpoint3f& c, float s) {
  const float v[12] = {c.x - s, c.y, c.z - s, c.x + s, c.y, c.z - s,
                       c.x + s, c.y, c.z + s, c.x - s, c.y, c.z + s};
  const float n[3] = {0, -1, 0};
  const int t[6] = {0, 3, 6, 0, 6, 9};
  return new Kel3DPlanarFaceGP(v, 12, n, t, 2, nullptr, 0, nullptr, nullptr, 0, nullptr);
}

struct Rgb {
  int r, g, b;
  bool Dark() const { return r + g + b < 8; }
  bool White() const { return r > 200 && g > 200 && b > 200; }
};

class RenderScene : public testing::Test {
 protected:
  static constexpr int kWidth = 240;
  static constexpr int kHeight = 180;

  void SetUp() override {
    image = std::make_unique<KelPixelImage>(kWidth, kHeight, PixelImageRGB);
    support.reset(createSupport(nullptr, image.get()));
    KEL_REQUIRE(support != nullptr, "the OpenGL driver drawing off-screen");
    root = new Kel3DBagRep;
    // Looking at the origin from the front right, z up.
    viewpoint = new Kel3DViewpoint(Kelpoint3f(9, -12, 7.5f), Keldirection3f(-12, 16, -10),
                                   Keldirection3f(0, 0, 1), 1.0f, 100.0f, CONIC_PROJECTION, 0.0f);
    support->AddViewpoint(viewpoint, 1);
    viewpoint->AddRep(root);
  }
  void TearDown() override {
    if (viewpoint) viewpoint->RemoveRep(root);
    support.reset();
    if (root) root->Destroy();
  }

  // Adds a Rep to the scene.
  template <class R>
  R* Add(R* rep, int colour = -1) {
    if (colour >= 0) rep->SetColor(colour);
    root->AddChild(*rep);
    return rep;
  }
  void Draw() { support->Draw(); }

  // Where a model point lands, in pixels from the top left corner.
  void ToPixel(const Kelpoint3f& m, int& x, int& y) const {
    Kelpoint2f p;
    viewpoint->ComputePixelFromModel(m, p, float(kWidth), float(kHeight), 1.0f, 1.0f);
    x = int(p.x);
    y = int(p.y);
  }
  Rgb PixelAt(const Kelpoint3f& m) const {
    int x, y;
    ToPixel(m, x, y);
    return Pixel(x, y);
  }
  // Pixel (x, y) counted from the top left corner, as a person reads the picture.
  Rgb Pixel(int x, int y) const {
    const unsigned char* p = image->GetPixelsToRead() + 3 * ((kHeight - 1 - y) * kWidth + x);
    return {p[0], p[1], p[2]};
  }
  // Pixels of the picture that are not background.
  int CountDrawn() const {
    int n = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) n += !Pixel(x, y).Dark();
    return n;
  }

  void ExpectMatchesReference(const std::string& name) const {
    keltest::ExpectMatchesReference(*image, keltest::DataPath("render/" + name + ".png"), name);
  }

  std::unique_ptr<KelPixelImage> image;
  std::unique_ptr<KelSupport> support;
  Kel3DViewpoint* viewpoint = nullptr;  // the support's
  Kel3DBagRep* root = nullptr;
};

// The 2D half on the same support: a 2D camera at zoom 1 (one model unit a
// pixel, y up, the origin in the middle of the picture) showing `root2D`, and
// the overlay (pixels from the bottom left corner) showing `overlayRoot`,
// drawn over it.
class Render2DScene : public RenderScene {
 protected:
  void SetUp() override {
    RenderScene::SetUp();
    if (!support) return;
    camera2D = new Kel2DViewpoint(Kelpoint2f(0, 0), 1.0f);
    overlay = new KelOverlayViewpoint;
    support->AddViewpoint(camera2D, 1);
    support->AddViewpoint(overlay, 1);
    camera2D->AddRep(root2D);
    overlay->AddRep(overlayRoot);
  }
  void TearDown() override {
    if (camera2D) camera2D->RemoveRep(root2D);
    if (overlay) overlay->RemoveRep(overlayRoot);
    RenderScene::TearDown();
    root2D->Destroy();
    overlayRoot->Destroy();
  }
  // The pixel of a model point of the 2D camera, from the top left corner.
  Rgb PixelAt2D(float x, float y) const { return Pixel(kWidth / 2 + int(x), kHeight / 2 - int(y)); }
  // The entry of the support's colour map, in bytes.
  Rgb Entry(int i) const {
    int r = 0, g = 0, b = 0;
    support->GetColorMap()->GetColor(i, &r, &g, &b);
    return {r, g, b};
  }
  static bool Near(const Rgb& a, const Rgb& b) {
    return std::abs(a.r - b.r) < 8 && std::abs(a.g - b.g) < 8 && std::abs(a.b - b.b) < 8;
  }

  Kel2DViewpoint* camera2D = nullptr;  // the support's
  KelOverlayViewpoint* overlay = nullptr;
  Kel2DBagRep* root2D = new Kel2DBagRep;
  Kel2DBagRep* overlayRoot = new Kel2DBagRep;
};

}  // namespace kelrender
