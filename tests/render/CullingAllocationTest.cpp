// The culling pass is a hot path: once the display list has reached its size,
// a frame allocates per matrix depth at most, never per Rep. Counted through
// the program's operator new (KelAllocationCounter), only while a test asks.
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/render/KelCullingRender.h>
#include <kel/render/KelDisplayList.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <gtest/gtest.h>

#include "KelAllocationCounter.h"

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

class TestSupport : public KelSupport {
 public:
  TestSupport() : KelSupport(200, 100) {}
  int MakeCurrent() override { return 1; }
  void ReadPixels() override {}
};

class FaceLeaf : public Kel3DRep {
 public:
  FaceLeaf(const Kelpoint3f& centre, Kel3DFaceGP& face) : _face(face) {
    SetBoundingElement(Kel3DBoundingSphere(centre, 0.5f, 0.0f));
  }
  void DrawShading(KelRender& render, int inside) override {
    int flag = inside;
    if (OkToDraw(render, &flag)) _face.Draw(render);
  }

 private:
  Kel3DFaceGP& _face;
};

long AllocationsOfOnePass(KelSupport& support, Kel3DViewpoint& viewpoint) {
  KelCullingRender render(support);
  render.BeginDraw(viewpoint);
  keltest::StartCountingAllocations();
  render.Draw(viewpoint);
  const long allocations = keltest::StopCountingAllocations();
  render.EndDraw(viewpoint);
  return allocations;
}

TEST(CullingAllocation, SteadyStateFrameAllocatesPerDepthNotPerRep) {
  TestSupport support;
  Kel3DFaceGP face;
  // Bags of two levels, each with a matrix: 20 outer bags of 10 inner bags of
  // one leaf, every leaf at the world origin.
  std::vector<std::unique_ptr<Kel3DRep>> reps;
  std::vector<Kel3DBagRep*> outers;
  for (int i = 0; i < 20; ++i) {
    auto outer = std::make_unique<Kel3DBagRep>();
    outer->SetMatrix(Kel4x4Matrix(Kelvector3f(float(i), 0, 0)));
    for (int j = 0; j < 10; ++j) {
      auto leaf = std::make_unique<FaceLeaf>(Kelpoint3f(float(-i), float(-j), 0), face);
      auto inner = std::make_unique<Kel3DBagRep>();
      inner->SetMatrix(Kel4x4Matrix(Kelvector3f(0, float(j), 0)));
      inner->AddChild(*leaf);
      outer->AddChild(*inner);
      reps.push_back(std::move(leaf));
      reps.push_back(std::move(inner));
    }
    outers.push_back(outer.get());
    reps.push_back(std::move(outer));
  }
  Kel3DViewpoint viewpoint(Kelpoint3f(0, 0, 10), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0),
                           1.0f, 100.0f, CONIC_PROJECTION, 10.0f);
  for (Kel3DBagRep* outer : outers) viewpoint.AddRep(outer);

  AllocationsOfOnePass(support, viewpoint);  // sizes the list and its matrix pool
  ASSERT_EQ(viewpoint.GetDisplayList()->GetCount(5), 1 + 20 * (1 + 10 * 4 + 2));
  EXPECT_EQ(viewpoint.GetDisplayList()->GetNbMatrices(), 220);
  viewpoint.GetDisplayList()->Reset();

  // 220 pushes in two depths: they move the planes and the eye point, not
  // the camera, which nothing here asks for.
  EXPECT_EQ(AllocationsOfOnePass(support, viewpoint), 0);
  EXPECT_EQ(viewpoint.GetDisplayList()->GetCount(5), 1 + 20 * (1 + 10 * 4 + 2));
}

}  // namespace
