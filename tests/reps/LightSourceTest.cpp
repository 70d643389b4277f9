#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DLightSourceGP.h>
#include <kel/render/KelDisplayList.h>
#include <kel/reps/KelLightSourceSet.h>
#include <kel/reps/KelLightSourceSetRep.h>
#include <kel/reps/KelSurfacicRep.h>

#include <gtest/gtest.h>

#include <vector>

#include "KelTestScene.h"

namespace {

using V = std::vector<float>;
const Keldirection3f kUp(0, 0, 1), kSide(0, 1, 0), kX(1, 0, 0);

V Position(const Kel3DLightSourceGP* light) {
  return V(light->GetPosition(), light->GetPosition() + 4);
}

TEST(LightSourceSet, BuildRepUpdatesTheSameRepWithDirectionalLights) {
  KelLightSourceSet set(kUp, kSide);
  KelLightSourceSetRep* rep = set.BuildRep();
  Kel3DLightSourceGP* first = rep->GetFirstLight();
  Kel3DLightSourceGP* second = rep->GetSecondLight();
  EXPECT_EQ(Position(first), (V{0, 0, 1, 0})) << "w = 0: a light at infinity";
  EXPECT_TRUE(rep->GetBoundingElement().IsEmpty());
  // Moving a light changes x, y, z of its position only.
  Kel3DLightSourceGP light(*first);
  light.ModifyDirection(kX);
  EXPECT_EQ(Position(&light), (V{1, 0, 0, 0}));

  // Down to one light (assignment keeps this set's Rep): the second light is
  // released, through the primitive lock like any primitive.
  set = KelLightSourceSet(kUp);
  KelGraphicPrimitive::Lock();
  EXPECT_EQ(set.BuildRep(), rep);
  EXPECT_EQ(KelGraphicPrimitive::_listOfGraphicPrimitive.Find(second), 0);
  KelGraphicPrimitive::Unlock();
  EXPECT_EQ(rep->GetSecondLight(), nullptr);
  EXPECT_EQ(rep->GetFirstLight(), first);
  // Back up to two, then none.
  set = KelLightSourceSet(kX, kSide);
  set.BuildRep();
  ASSERT_NE(rep->GetSecondLight(), nullptr);
  EXPECT_EQ(Position(rep->GetSecondLight()), (V{0, 1, 0, 0}));
  set = KelLightSourceSet();
  set.BuildRep();
  EXPECT_EQ(rep->GetLightSourceCount(), 0);
}

TEST(LightSourceSet, LightsAreRecordedIntoTheirOwnElementList) {
  // A closed-volume surface drawn first leaves element list 1 current.
  KelSurfacicRep surface;
  auto* face = keltest::SquareFace(0.5f, 0.5f, 0, 0.5f);
  auto* closed = new KelGraphicAttributeSet;
  closed->flags = 0x30;
  surface.AddGeomFace(face, closed);
  surface.SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0.5f, 0.5f, 0), 1.0f, 0.0f));
  KelLightSourceSet set(kUp, kSide);
  KelLightSourceSetRep* lights = set.BuildRep();
  const auto viewpoint = keltest::TopCamera();
  viewpoint->AddRep(&surface);
  viewpoint->AddRep(lights);
  keltest::TestSupport support;
  keltest::Cull(support, *viewpoint);

  using DL = KelDisplayList;
  const DL& dl = *viewpoint->GetDisplayList();
  EXPECT_EQ(keltest::StreamOf(dl, 0),
            (keltest::Stream{{DL::OP_LIGHT_SOURCE, keltest::Address(*lights->GetFirstLight())},
                             {DL::OP_LIGHT_SOURCE, keltest::Address(*lights->GetSecondLight())}}));
  // The face went to list 1, and nothing of the lights did.
  EXPECT_EQ(keltest::StreamOf(dl, 1), (keltest::Stream{{DL::OP_ATTRIBUTE, closed->FirstWord()},
                                                       {DL::OP_3D_FACE, keltest::Address(*face)}}));
}

}  // namespace
