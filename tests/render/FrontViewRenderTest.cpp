// Markers, lines and polylines with their line attributes, annotation texts
// placed by their anchor, and the two eyes of a stereo frame, drawn off-screen
// by the OpenGL driver.
#include <kel/primitives/Kel3DAnnotationTextGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/render/KelGraphicRender.h>
#include <kel/viewers/KelCharacterFont.h>

#include "RenderScene.h"

namespace {

using kelrender::GPLeaf;

// Straight-on camera from 40 units away along +y, focused on the plane y = 0:
// model x to the right, z up, one model unit 10 pixels.
class LinesAndTexts : public kelrender::RenderScene {
 protected:
  void SetUp() override {
    RenderScene::SetUp();
    if (!support) return;
    viewpoint->Set(Kelpoint3f(0, -40, 0), Keldirection3f(0, 1, 0), Keldirection3f(0, 0, 1));
    viewpoint->SetProjectionType(PARALLEL_PROJECTION);
    viewpoint->SetFocus(40.0f);
  }
  // A horizontal line at height z with its line attributes.
  void Line(float z, unsigned char type, unsigned char width) {
    const float points[6] = {-9, 0, z, 9, 0, z};
    GPLeaf* leaf = Add(new GPLeaf({new Kel3DLineGP(points, 2, 1)}, Kelpoint3f(0, 0, z), 9.0f), 3);
    leaf->GetGraphicAttributeSet().lineAttribute1 = type;
    leaf->GetGraphicAttributeSet().lineAttribute2 = width;
  }
  // The white pixels of the columns 40 to 200 on `rows` rows from height z.
  std::vector<int> WhiteRows(float z, int rows) const {
    int x, y;
    ToPixel(Kelpoint3f(0, 0, z), x, y);
    std::vector<int> counts;
    for (int cx = 40; cx < 200; ++cx) {
      int n = 0;
      for (int dy = 0; dy < rows; ++dy) n += Pixel(cx, y - rows / 2 + dy).White();
      counts.push_back(n);
    }
    return counts;
  }
};

TEST_F(LinesAndTexts, MarkersLinesAndPolylinesWithLineAttributes) {
  // A row of the ten marker types, a solid polyline, a thick dashed line and a
  // dotted one.
  std::vector<KelGraphicPrimitive*> markers;
  for (int t = 1; t <= 10; ++t) {
    const float p[3] = {-9.0f + 2.0f * (t - 1), 0, 5};
    markers.push_back(new Kel3DMarkerGP(p, 1, SymbolType(t), 1));
  }
  Add(new GPLeaf(markers, Kelpoint3f(0, 0, 5), 10.0f), 7);
  const float zigzag[15] = {-9, 0, 2, -5, 0, 3, -1, 0, 1, 3, 0, 3, 8, 0, 1};
  Add(new GPLeaf({new Kel3DPolylineGP(zigzag, 5, 1)}, Kelpoint3f(0, 0, 2), 9.0f), 3);
  Line(-2, 2, 3);
  Line(-5, 3, 1);
  Draw();
  // The dashed line is 3 pixels thick and broken: some columns are empty.
  const std::vector<int> dashed = WhiteRows(-2, 7);
  EXPECT_GT(std::count(dashed.begin(), dashed.end(), 0), 40);
  EXPECT_EQ(*std::max_element(dashed.begin(), dashed.end()), 3);
  // The dotted line: about every other pair of pixels, one row.
  const std::vector<int> dotted = WhiteRows(-5, 2);
  const long lit = std::count_if(dotted.begin(), dotted.end(), [](int n) { return n > 0; });
  EXPECT_GT(lit, 50);
  EXPECT_LT(lit, 110);
  // Markers: a plus has its centre lit, the square (type 4) its border but not
  // its centre, the filled square (5) its centre.
  int x, y;
  const kelrender::Rgb plus = PixelAt(Kelpoint3f(-9, 0, 5));
  EXPECT_GT(plus.r + plus.g, 300);
  ToPixel(Kelpoint3f(-3, 0, 5), x, y);
  EXPECT_TRUE(Pixel(x, y).Dark());
  EXPECT_FALSE(Pixel(x + 3, y).Dark());
  EXPECT_FALSE(PixelAt(Kelpoint3f(-1, 0, 5)).Dark());
  ExpectMatchesReference("markers_and_lines");
}

TEST_F(LinesAndTexts, AnnotationTextsSitOnTheirAnchor) {
  const float middleLeft[3] = {-8, 0, 4}, topRight[3] = {8, 0, -2};
  Add(new GPLeaf({new Kel3DAnnotationTextGP(middleLeft, "Kelvis 3D", MIDDLE_LEFT),
                  new Kel3DAnnotationTextGP(topRight, "gyp", TOP_RIGHT)},
                 Kelpoint3f(0, 0, 0), 10.0f),
      3);
  const float cross[12] = {-9, 0, 4, -7, 0, 4, 7, 0, -2, 9, 0, -2};
  Add(new GPLeaf({new Kel3DLineGP(cross, 4, 1)}, Kelpoint3f(0, 0, 0), 10.0f), 4);
  Draw();
  KEL_REQUIRE(KelCharacterFont::GetSharedFont()->IsLoaded(0), "xfonts-base");
  int w = 0, h = 0, d = 0;
  KelCharacterFont::GetSharedFont()->GetCharacterSize(0, &w, &h, &d);
  // The box of the white ink around an anchor: left, right, top, bottom.
  auto ink = [&](const Kelpoint3f& anchor, int left, int right, int up, int down) {
    int ax, ay, box[4] = {1000, -1, 1000, -1};
    ToPixel(anchor, ax, ay);
    for (int y = ay - up; y < ay + down; ++y)
      for (int x = ax - left; x < ax + right; ++x)
        if (Pixel(x, y).White()) {
          box[0] = std::min(box[0], x - ax), box[1] = std::max(box[1], x - ax);
          box[2] = std::min(box[2], y - ay), box[3] = std::max(box[3], y - ay);
        }
    return std::vector<int>(box, box + 4);
  };
  // "Kelvis 3D" starts at the anchor and is centred on it vertically; "gyp"
  // ends at its anchor and hangs below it.
  const std::vector<int> kelvis = ink(Kelpoint3f(-8, 0, 4), 20, 120, 20, 20);
  EXPECT_TRUE(kelvis[0] >= 0 && kelvis[0] < 3) << kelvis[0];
  EXPECT_TRUE(kelvis[1] > 8 * w && kelvis[1] < 9 * w) << kelvis[1];
  EXPECT_TRUE(kelvis[2] >= -(h - h / 2) && kelvis[3] < h / 2 + 1);
  const std::vector<int> gyp = ink(Kelpoint3f(8, 0, -2), 60, 20, 20, 30);
  EXPECT_TRUE(gyp[1] <= 0 && gyp[0] >= -3 * w);
  EXPECT_TRUE(gyp[2] >= 0 && gyp[3] <= h);
  ExpectMatchesReference("annotation_texts");
}

// The same view in perspective.
class Stereo : public LinesAndTexts {
 protected:
  void SetUp() override {
    LinesAndTexts::SetUp();
    if (viewpoint) viewpoint->SetProjectionType(CONIC_PROJECTION);
  }
  // Mean column of the drawn pixels of row y.
  float MeanColumn(int y) const {
    float sum = 0;
    int n = 0;
    for (int x = 0; x < kWidth; ++x)
      if (!Pixel(x, y).Dark()) sum += float(x), ++n;
    return n ? sum / n : -1.0f;
  }
};

TEST_F(Stereo, EyesAgreeOnTheFocusPlaneAndSeeNearerThingsApart) {
  const Kelpoint3f onFocus(0, 0, 4), nearer(0, -20, -1);
  root->AddChild(*new GPLeaf({new Kel3DMarkerGP(&onFocus, 1, SymbolType(5), 1),
                              new Kel3DMarkerGP(&nearer, 1, SymbolType(5), 1)},
                             Kelpoint3f(0, -10, 0), 15.0f));
  int x, focusRow, nearRow;
  ToPixel(onFocus, x, focusRow);
  ToPixel(nearer, x, nearRow);
  KelGraphicPrimitive::Lock();
  list<KelViewpoint*> culled = support->Culling(support->GetListOfViewpoint());
  std::unique_ptr<KelRender> render(support->CreateDrawingRender());
  auto* graphic = dynamic_cast<KelGraphicRender*>(render.get());
  ASSERT_NE(graphic, nullptr);
  // Columns of both markers seen by the eye -1 (left), 0 (mono) or 1 (right).
  auto eye = [&](int which) {
    support->Clear();
    if (which < 0)
      graphic->BeginDrawLeft(*viewpoint, 0, 2.0f);
    else if (which > 0)
      graphic->BeginDrawRight(*viewpoint, 0, 2.0f);
    else
      graphic->BeginDraw(*viewpoint);
    graphic->Draw(*viewpoint);
    graphic->EndDraw(*viewpoint);
    support->ReadPixels();
    return std::make_pair(MeanColumn(focusRow), MeanColumn(nearRow));
  };
  const auto left = eye(-1), mono = eye(0), right = eye(1);
  support->ResetDL(culled);
  KelGraphicPrimitive::Unlock();
  ASSERT_GT(mono.first, 0.0f);
  ASSERT_GT(mono.second, 0.0f);
  // A pixel's rounding apart at most.
  EXPECT_NEAR(left.first, mono.first, 1.0f);
  EXPECT_NEAR(right.first, mono.first, 1.0f);
  // Nearer than the focus: the left eye sees it to the right, the right eye
  // to the left, by the same amount.
  EXPECT_GT(left.second - mono.second, 2.0f);
  EXPECT_NEAR(left.second - mono.second, mono.second - right.second, 1.0f);
}

}  // namespace
