// The two eyes of a stereo frame, drawn off-screen by the OpenGL render.
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/render/KelGraphicRender.h>

#include "RenderScene.h"

namespace {

using kelrender::GPLeaf;
using kelrender::RenderScene;

// Looking along +y from 40 units away, focused on the plane y = 0.
class Stereo : public RenderScene {
 protected:
  void SetUp() override {
    RenderScene::SetUp();
    if (!support) return;
    viewpoint->Set(Kelpoint3f(0, -40, 0), Keldirection3f(0, 1, 0), Keldirection3f(0, 0, 1));
    viewpoint->SetFocus(40.0f);
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
