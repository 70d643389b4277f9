#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DLightSourceGP.h>
#include <kel/render/KelCullingRender.h>
#include <kel/render/KelDisplayList.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/KelLightSourceSet.h>
#include <kel/reps/KelLightSourceSetRep.h>
#include <kel/reps/KelSurfacicRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "KelTestScene.h"

namespace {

std::vector<float> Floats(const float* f, int n) {
  return std::vector<float>(f, f + n);
}

const Keldirection3f kUp = Keldirection3f::Unchecked(0, 0, 1);
const Keldirection3f kSide = Keldirection3f::Unchecked(0, 1, 0);
const Keldirection3f kX = Keldirection3f::Unchecked(1, 0, 0);

TEST(LightSourceSetTest, NewLightsAreDirectionalWithTheLibraryColours) {
  KelLightSourceSet set(kUp);
  KelLightSourceSetRep* rep = set.BuildRep();
  ASSERT_NE(rep, nullptr);
  ASSERT_EQ(rep->GetLightSourceCount(), 1);
  const Kel3DLightSourceGP* light = rep->GetFirstLight();
  EXPECT_EQ(Floats(light->GetPosition(), 4), (std::vector<float>{0, 0, 1, 0}));
  EXPECT_EQ(Floats(light->GetDiffuse(), 4), (std::vector<float>{0.5f, 0.5f, 0.5f, 1.0f}));
  EXPECT_EQ(Floats(light->GetSpecular(), 4), (std::vector<float>{0.7f, 0.7f, 0.7f, 1.0f}));
  EXPECT_TRUE(rep->GetBoundingElement().IsEmpty());

  // Moving a light changes x, y, z of its position only.
  Kel3DLightSourceGP copy(*light);
  copy.ModifyDirection(kSide);
  EXPECT_EQ(Floats(copy.GetPosition(), 4), (std::vector<float>{0, 1, 0, 0}));
  EXPECT_EQ(Floats(copy.GetDirection(), 3), (std::vector<float>{0, 0, 1}));
}

TEST(LightSourceSetTest, BuildRepUpdatesTheSameRep) {
  KelLightSourceSet set(kUp, kSide);
  KelLightSourceSetRep* rep = set.BuildRep();
  Kel3DLightSourceGP* first = rep->GetFirstLight();
  Kel3DLightSourceGP* second = rep->GetSecondLight();
  ASSERT_NE(second, nullptr);

  // Down to one light (assignment keeps this set's Rep): the second light is
  // released, through the primitive lock like any primitive.
  set = KelLightSourceSet(kUp);
  EXPECT_EQ(set.GetRep(), rep);
  KelGraphicPrimitive::Lock();
  EXPECT_EQ(set.BuildRep(), rep);
  EXPECT_EQ(KelGraphicPrimitive::_listOfGraphicPrimitive.Find(second), 0);
  KelGraphicPrimitive::Unlock();
  EXPECT_EQ(rep->GetSecondLight(), nullptr);
  EXPECT_EQ(rep->GetFirstLight(), first);
  EXPECT_EQ(Floats(first->GetPosition(), 4), (std::vector<float>{0, 0, 1, 0}));

  // Back up to two, then none.
  set = KelLightSourceSet(kX, kSide);
  set.BuildRep();
  ASSERT_NE(rep->GetSecondLight(), nullptr);
  EXPECT_EQ(Floats(rep->GetSecondLight()->GetPosition(), 4), (std::vector<float>{0, 1, 0, 0}));
  set = KelLightSourceSet();
  set.BuildRep();
  EXPECT_EQ(rep->GetLightSourceCount(), 0);
  EXPECT_EQ(rep->GetFirstLight(), nullptr);
  EXPECT_EQ(KelLightSourceSet(set).GetRep(), nullptr) << "a copy has no Rep of its own";
}

TEST(LightSourceSetTest, LightsAreRecordedIntoTheirOwnElementList) {
  // A closed-volume surface drawn first leaves element list 1 current.
  KelSurfacicRep surface;
  auto* face = keltest::SquareFace(0.5f, 0.5f, 0, 0.5f);
  auto* closed = new KelGraphicAttributeSet;
  closed->flags = 0x30;
  surface.AddGeomFace(face, closed);
  surface.SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0.5f, 0.5f, 0), 1.0f, 0.0f));
  KelLightSourceSet set(kUp, kSide);
  KelLightSourceSetRep* lights = set.BuildRep();

  const std::unique_ptr<Kel3DViewpoint> viewpoint = keltest::TopCamera();
  viewpoint->AddRep(&surface);
  viewpoint->AddRep(lights);
  keltest::TestSupport support;
  keltest::Cull(support, *viewpoint);

  const KelDisplayList& dl = *viewpoint->GetDisplayList();
  ASSERT_EQ(dl.GetCount(0), 2);
  EXPECT_EQ(dl.GetOpcode(0, 0), KelDisplayList::OP_LIGHT_SOURCE);
  EXPECT_EQ(dl.GetValue(0, 0), reinterpret_cast<std::intptr_t>(lights->GetFirstLight()));
  EXPECT_EQ(dl.GetOpcode(0, 1), KelDisplayList::OP_LIGHT_SOURCE);
  EXPECT_EQ(dl.GetValue(0, 1), reinterpret_cast<std::intptr_t>(lights->GetSecondLight()));
  // The face went to list 1, and nothing of the lights did.
  ASSERT_EQ(dl.GetCount(1), 2);
  EXPECT_EQ(dl.GetOpcode(1, 1), KelDisplayList::OP_3D_FACE);
  EXPECT_EQ(dl.GetValue(1, 1), reinterpret_cast<std::intptr_t>(face));
}

}  // namespace
