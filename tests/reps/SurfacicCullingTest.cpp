#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/render/KelCullingRender.h>
#include <kel/render/KelDisplayList.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/KelSurfacicRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "KelTestScene.h"

namespace {

using keltest::Stream;

constexpr int kAttribute = KelDisplayList::OP_ATTRIBUTE;
constexpr int kFace = KelDisplayList::OP_3D_FACE;
constexpr int kEdge = KelDisplayList::OP_3D_EDGE;

KelGraphicAttributeSet* Attributes(unsigned char colour, unsigned char flags = 0) {
  auto* a = new KelGraphicAttributeSet;
  a->color = colour;
  a->flags = flags;
  return a;
}

std::intptr_t Word(unsigned char colour, unsigned char flags) {
  KelGraphicAttributeSet a;
  a.color = colour;
  a.flags = flags;
  return a.FirstWord();
}

Kel3DFaceGP* Square(float x, float y) {
  return keltest::SquareFace(x + 0.25f, y + 0.25f, 0, 0.25f);
}

template <class T>
std::intptr_t V(T* gp) {
  return reinterpret_cast<std::intptr_t>(gp);
}

// A surface of radius 1 around the origin seen by an eye on the z axis,
// looking down -z, with a half field angle of 45 degrees on a support 100
// pixels high: one pixel at depth d spans d / 50 model units. With a sag
// precision of 2 pixels the on-screen sag at depth d is 2 * d / 50 = 0.04 d
// (the radius term vanishes), and the culling size 2 * d / 50 as well.
class SurfacicCullingTest : public ::testing::Test {
 protected:
  SurfacicCullingTest() {
    support.SetSagPrecision(2.0f);
    rep = new KelSurfacicRep;
    rep->SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0, 0, 0), 1.0f, 0.0f));
  }
  ~SurfacicCullingTest() override { rep->Destroy(); }

  Stream Cull(float distance, int list) {
    Kel3DViewpoint viewpoint(Kelpoint3f(0, 0, distance), Keldirection3f(0, 0, -1),
                             Keldirection3f(0, 1, 0), 0.1f, 1000.0f, CONIC_PROJECTION, distance);
    viewpoint.SetAngle(45.0f);
    viewpoint.AddRep(rep);
    keltest::Cull(support, viewpoint);
    return keltest::StreamOf(*viewpoint.GetDisplayList(), list);
  }

  keltest::TestSupport support;
  KelSurfacicRep* rep;
};

TEST_F(SurfacicCullingTest, ChoosesTheLevelWhoseSagTheScreenCanShow) {
  // Faces of sag 0.01, levels of sag 0.1 and 0.5; every look is of colour 7.
  Kel3DFaceGP* f0 = Square(-0.5f, -0.5f);
  Kel3DFaceGP* f1 = Square(0.0f, 0.0f);
  Kel3DFaceGP* lod1 = Square(-0.5f, 0.0f);
  Kel3DFaceGP* lod2 = Square(0.0f, -0.5f);
  rep->AddGeomFace(f0, Attributes(7));
  rep->AddGeomFace(f1, Attributes(7));
  rep->SetGeomSag(0.01f);
  rep->AddLOD(lod1, Attributes(7), 0.1f);
  rep->AddLOD(lod2, Attributes(7), 0.5f);
  const std::intptr_t w = Word(7, 0);

  // Depth 2: sag 0.08, below 0.1: the faces, last first.
  EXPECT_EQ(Cull(2.0f, 5), (Stream{{kAttribute, w}, {kFace, V(f1)}, {kFace, V(f0)}}));
  // Depth 5: sag 0.2, between 0.1 and 0.5: the first level.
  EXPECT_EQ(Cull(5.0f, 5), (Stream{{kAttribute, w}, {kFace, V(lod1)}}));
  // Depth 20: sag 0.8, above 0.5: the second level (culling size 0.8, below the radius 1).
  EXPECT_EQ(Cull(20.0f, 5), (Stream{{kAttribute, w}, {kFace, V(lod2)}}));
  // Depth 30: culling size 1.2, the surface is too small (each list starts
  // with the default attribute, which the first look replaces).
  EXPECT_EQ(Cull(30.0f, 5), (Stream{{kAttribute, Word(253, 0)}}));

  // Levels switched off: the faces at any distance.
  rep->SetLODMode(0);
  EXPECT_EQ(Cull(20.0f, 5), (Stream{{kAttribute, w}, {kFace, V(f1)}, {kFace, V(f0)}}));
}

TEST_F(SurfacicCullingTest, TooManyLevelsFallBackToTheFaces) {
  Kel3DFaceGP* f0 = Square(-0.5f, -0.5f);
  rep->AddGeomFace(f0, Attributes(7));
  // 98 levels are chosen from; the 99th is one too many.
  for (int k = 1; k <= 98; ++k) rep->AddLOD(Square(0, 0), Attributes(7), 0.001f * k);
  EXPECT_EQ(Cull(20.0f, 5), (Stream{{kAttribute, Word(7, 0)}, {kFace, V(rep->GetLODFace(98))}}));
  rep->AddLOD(Square(0, 0), Attributes(7), 1.0f);
  testing::internal::CaptureStderr();
  const Stream s = Cull(20.0f, 5);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "KelSurfacicRep::DrawShading: Can't manage more than 100 LODs, sorry.\n");
  EXPECT_EQ(s, (Stream{{kAttribute, Word(7, 0)}, {kFace, V(f0)}}));
}

TEST_F(SurfacicCullingTest, FacesAndEdgesGoToTheListsOfTheirElementKinds) {
  Kel3DFaceGP* closed = Square(-0.5f, -0.5f);
  Kel3DFaceGP* glass = Square(0.0f, 0.0f);
  Kel3DFaceGP* plain = Square(-0.5f, 0.0f);
  rep->AddGeomFace(closed, Attributes(3, 0x30));
  rep->AddGeomFace(glass, Attributes(4, 0xB0));
  rep->AddGeomFace(plain, Attributes(5));
  Kel3DEdgeGP* wire = nullptr;
  {
    const int indices[2] = {0, 3};
    wire = new Kel3DEdgeGP(closed, nullptr, indices, 2);
  }
  rep->AddGeomEdge(wire, Attributes(6, 0x10));
  // A far level drawn as a closed volume.
  Kel3DFaceGP* far = Square(0, 0);
  rep->AddLOD(far, Attributes(8, 0x30), 0.1f);
  support.SetEdge(1);

  EXPECT_EQ(Cull(2.0f, 1), (Stream{{kAttribute, Word(3, 0x30)}, {kFace, V(closed)}}));
  EXPECT_EQ(Cull(2.0f, 3), (Stream{{kAttribute, Word(4, 0xB0)}, {kFace, V(glass)}}));
  EXPECT_EQ(Cull(2.0f, 4), (Stream{{kAttribute, Word(6, 0x10)}, {kEdge, V(wire)}}));
  EXPECT_EQ(Cull(2.0f, 5), (Stream{{kAttribute, Word(5, 0)}, {kFace, V(plain)}}));

  // From afar the level replaces the faces; the edges stay.
  EXPECT_EQ(Cull(5.0f, 1), (Stream{{kAttribute, Word(8, 0x30)}, {kFace, V(far)}}));
  EXPECT_EQ(Cull(5.0f, 3), (Stream{{kAttribute, Word(253, 0)}}));
  EXPECT_EQ(Cull(5.0f, 4), (Stream{{kAttribute, Word(6, 0x10)}, {kEdge, V(wire)}}));
}

}  // namespace
