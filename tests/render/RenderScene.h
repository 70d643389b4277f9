// Scenes rendered off-screen by the OpenGL driver, loaded by name like any
// driver, and compared with reference pictures in tests/data/render.
//
// KEL_UPDATE_REFERENCES=1 rewrites the references from what is drawn; look at
// every picture before committing it. A mismatch writes <name>.actual.png and
// <name>.diff.png (differing pixels in red over the faded reference) next to
// the test's output.
#pragma once

#include <gtest/gtest.h>

#include <kel/framework/Kelpoint2f.h>
#include <kel/images/KelPixelImage.h>
#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/render/KelDriver.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/Kel2DBagRep.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DRep.h>
#include <kel/viewers/KelColorMap.h>
#include <kel/viewpoints/Kel3DViewpoint.h>
#include <kel/viewpoints/KelOverlayViewpoint.h>

#include <algorithm>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "KelPngImage.h"
#include "KelTestEnv.h"

namespace kelrender {

// A leaf drawing the primitives it is given (and releases), inside its own
// sphere.
class GPLeaf : public Kel3DRep {
 public:
  GPLeaf(std::vector<KelGraphicPrimitive*> gps, const Kelpoint3f& centre, float radius)
      : _gps(std::move(gps)) {
    SetBoundingElement(Kel3DBoundingSphere(centre, radius, 0.0f));
  }
  ~GPLeaf() override {
    for (KelGraphicPrimitive* gp : _gps) KelGraphicPrimitive::Destroy(gp);
  }
  void DrawShading(KelRender& render, int inside) override {
    if (!OkToDraw(render, &inside)) return;
    for (KelGraphicPrimitive* gp : _gps) gp->Draw(render);
  }
  void SetFlags(unsigned char flags) { GetGraphicAttributeSet().flags = flags; }
  void SetLineAttributes(unsigned char type, unsigned char width) {
    GetGraphicAttributeSet().lineAttribute1 = type;
    GetGraphicAttributeSet().lineAttribute2 = width;
  }
  void SetRGBA(unsigned char r, unsigned char g, unsigned char b, unsigned char a) {
    KelGraphicAttributeSet& s = GetGraphicAttributeSet();
    s.color = KelGraphicAttributeSet::RGBA_COLOR;
    s.rgba[0] = r, s.rgba[1] = g, s.rgba[2] = b, s.rgba[3] = a;
  }

 private:
  std::vector<KelGraphicPrimitive*> _gps;
};

struct Rgb {
  int r, g, b;
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

  // Pixel (x, y) counted from the top left corner, as a person reads the
  // picture.
  Rgb Pixel(int x, int y) const {
    const unsigned char* p = image->GetPixelsToRead() + 3 * ((kHeight - 1 - y) * kWidth + x);
    return {p[0], p[1], p[2]};
  }
  bool IsBackground(int x, int y) const {
    const Rgb c = Pixel(x, y);
    return c.r + c.g + c.b < 8;
  }
  // Pixels of the picture that are not background.
  int CountDrawn() const {
    int n = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) n += !IsBackground(x, y);
    return n;
  }

  void ExpectMatchesReference(const std::string& name) const;

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
    root2D = new Kel2DBagRep;
    overlayRoot = new Kel2DBagRep;
    camera2D->AddRep(root2D);
    overlay->AddRep(overlayRoot);
  }
  void TearDown() override {
    if (camera2D) camera2D->RemoveRep(root2D);
    if (overlay) overlay->RemoveRep(overlayRoot);
    RenderScene::TearDown();
    if (root2D) root2D->Destroy();
    if (overlayRoot) overlayRoot->Destroy();
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
  Kel2DBagRep* root2D = nullptr;
  Kel2DBagRep* overlayRoot = nullptr;
};

inline void RenderScene::ExpectMatchesReference(const std::string& name) const {
  const std::string reference = keltest::DataPath("render/" + name + ".png");
  const char* update = std::getenv("KEL_UPDATE_REFERENCES");
  if (update && std::string(update) == "1") {
    ASSERT_TRUE(KelPngImage::Write(*image, reference)) << reference;
    return;
  }
  std::unique_ptr<KelPixelImage> expected(KelPngImage::Read(reference));
  ASSERT_NE(expected, nullptr) << "no reference " << reference
                               << " (KEL_UPDATE_REFERENCES=1 makes it)";
  int w = 0, h = 0;
  expected->GetSize(w, h);
  ASSERT_EQ(w, kWidth);
  ASSERT_EQ(h, kHeight);
  ASSERT_EQ(expected->GetFormat(), PixelImageRGB);
  // Renderers may place an edge pixel differently: a small channel tolerance
  // and a few stray pixels are allowed; a missing or misplaced object is not.
  constexpr int kTolerance = 24;
  const int allowed = kWidth * kHeight / 200;
  KelPixelImage diff(kWidth, kHeight, PixelImageRGB);
  unsigned char* d = diff.GetPixelsToModify();
  const unsigned char* a = image->GetPixelsToRead();
  const unsigned char* e = expected->GetPixelsToRead();
  int differing = 0;
  for (int i = 0; i < kWidth * kHeight; ++i) {
    int worst = 0;
    for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(a[3 * i + c] - e[3 * i + c]));
    const bool bad = worst > kTolerance;
    differing += bad;
    const unsigned char faded =
        static_cast<unsigned char>((e[3 * i] + e[3 * i + 1] + e[3 * i + 2]) / 9);
    d[3 * i] = bad ? 255 : faded;
    d[3 * i + 1] = bad ? 0 : faded;
    d[3 * i + 2] = bad ? 0 : faded;
  }
  if (differing > allowed) {
    KelPngImage::Write(*image, keltest::OutputPath(name + ".actual.png"));
    KelPngImage::Write(diff, keltest::OutputPath(name + ".diff.png"));
    ADD_FAILURE() << name << ": " << differing << " pixels differ from the reference (at most "
                  << allowed << " may); see " << keltest::OutputPath(name + ".diff.png");
  }
}

}  // namespace kelrender
