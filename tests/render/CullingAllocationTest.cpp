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
#include "KelTestScene.h"

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

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
  keltest::TestSupport support;
  // Bags of two levels, each with a matrix: 20 outer bags of 10 inner bags of
  // one leaf, every leaf at the world origin.
  const std::unique_ptr<Kel3DViewpoint> camera = keltest::TopCamera();
  Kel3DViewpoint& viewpoint = *camera;
  for (int i = 0; i < 20; ++i) {
    auto* outer = new Kel3DBagRep;
    outer->SetMatrix(Kel4x4Matrix(Kelvector3f(float(i), 0, 0)));
    for (int j = 0; j < 10; ++j) {
      auto* inner = new Kel3DBagRep;
      inner->SetMatrix(Kel4x4Matrix(Kelvector3f(0, float(j), 0)));
      inner->AddChild(*new keltest::GPLeaf({new Kel3DFaceGP}, Kelpoint3f(-i, -j, 0), 0.5f));
      outer->AddChild(*inner);
    }
    viewpoint.AddRep(outer);
  }
  AllocationsOfOnePass(support, viewpoint);  // sizes the list and its matrix pool
  ASSERT_EQ(viewpoint.GetDisplayList()->GetCount(5), 1 + 20 * (1 + 10 * 4 + 2));
  EXPECT_EQ(viewpoint.GetDisplayList()->GetNbMatrices(), 220);
  viewpoint.GetDisplayList()->Reset();

  // 220 pushes in two depths: they move the planes and the eye point, not
  // the camera, which nothing here asks for.
  EXPECT_EQ(AllocationsOfOnePass(support, viewpoint), 0);
  EXPECT_EQ(viewpoint.GetDisplayList()->GetCount(5), 1 + 20 * (1 + 10 * 4 + 2));
  KelRep* outer = nullptr;
  for (viewpoint.GetRepList().InitIteration(); viewpoint.GetRepList().Next(outer);)
    outer->Destroy();
}

}  // namespace
