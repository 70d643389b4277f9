#include <gtest/gtest.h>

#include <kel/controller/KelVisuController.h>
#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelMarshal.h>
#include <kel/primitives/Kel2DLineGP.h>
#include <kel/primitives/Kel2DMarkerGP.h>
#include <kel/primitives/Kel2DPolygonGP.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DFixedArrowGP.h>
#include <kel/primitives/Kel3DFixedPlanGP.h>
#include <kel/primitives/Kel3DLightSourceGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/primitives/KelBagGP.h>
#include <kel/reps/Kel2DArcCircleRep.h>
#include <kel/reps/Kel2DBagRep.h>
#include <kel/reps/Kel2DLineRep.h>
#include <kel/reps/Kel2DPointRep.h>
#include <kel/reps/Kel2DPolygonRep.h>
#include <kel/reps/Kel3DArcCircleRep.h>
#include <kel/reps/Kel3DAxisRep.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DCloudOfPointsRep.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/reps/Kel3DCurveRep.h>
#include <kel/reps/Kel3DCylinderRep.h>
#include <kel/reps/Kel3DLineRep.h>
#include <kel/reps/Kel3DPlanRep.h>
#include <kel/reps/Kel3DPointRep.h>
#include <kel/reps/Kel3DRectangleRep.h>
#include <kel/reps/Kel3DSimpleConeRep.h>
#include <kel/reps/Kel3DSimpleSphereRep.h>
#include <kel/reps/KelHashRepTable.h>
#include <kel/reps/KelLightSourceSet.h>
#include <kel/reps/KelLightSourceSetRep.h>
#include <kel/reps/KelSurfacicRep.h>

#include <typeinfo>

#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "KelTestEnv.h"
#include "KelTestScene.h"

namespace {

using Bytes = std::vector<unsigned char>;

KelModelIdentificator Id(std::intptr_t n) {
  return KelModelIdentificator(reinterpret_cast<void*>(n));
}

// CRC-32 (IEEE, reflected), bit by bit: an oracle independent of the library's.
std::uint32_t Crc32(const unsigned char* p, std::size_t n) {
  std::uint32_t crc = 0xffffffffu;
  for (std::size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

// A file around `payload` with a correct header (version as given); the
// checksum covers all but the magic and itself.
Bytes Wrap(const KelMarshal& payload, unsigned int version = 1) {
  KelMarshal file;
  file.WriteBytes("KELMARSH", 8);
  file.WriteUnsignedInt(version);
  file.WriteBytes("       ", 8);
  file.WriteUnsignedLong(payload.GetSize());
  Bytes covered(file.GetData() + 8, file.GetData() + file.GetSize());
  covered.insert(covered.end(), payload.GetData(), payload.GetData() + payload.GetSize());
  file.WriteUnsignedInt(Crc32(covered.data(), covered.size()));
  file.WriteBytes(payload.GetData(), payload.GetSize());
  return Bytes(file.GetData(), file.GetData() + file.GetSize());
}

void Name(KelMarshal& m, const char* name) {
  m.WriteUnsignedInt(static_cast<unsigned int>(std::strlen(name)));
  m.WriteBytes(name, std::strlen(name));
}

// An assembly of `bags` bags with matrices under a root, each holding `leaves`
// surfaces with a face and a level of detail; the first surface is shared
// by every bag. Identificators 1 (root), then one per Rep.
Kel3DBagRep* Assembly(int bags, int leaves, KelVisuController* c = nullptr) {
  std::intptr_t next = 1;
  KelModelIdentificator rootId = Id(next++);
  auto* root = new Kel3DBagRep(rootId, c);
  root->SetMatrix(Kel4x4Matrix(Kelvector3f(0.5f, 0.25f, 0.125f), Kelpoint3f(1, 2, 3)));
  KelSurfacicRep* shared = nullptr;
  for (int b = 0; b < bags; ++b) {
    KelModelIdentificator bagId = Id(next++);
    auto* bag = new Kel3DBagRep(bagId, c);
    bag->SetMatrix(Kel4x4Matrix(Kelvector3f(float(b), -1.5f, 0.0f)));
    bag->SetGraphicAttributeSet(keltest::Look(static_cast<unsigned char>(b % 250), 0x40));
    for (int l = 0; l < leaves; ++l) {
      if (l == 0 && shared) {
        bag->AddChild(*shared);
        continue;
      }
      KelModelIdentificator leafId = Id(next++);
      auto* s = new KelSurfacicRep(leafId, c);
      s->AddGeomFace(keltest::SquareFace(float(l), 0, 0, 0.5f),
                     new KelGraphicAttributeSet(keltest::Look(3)));
      s->AddLOD(keltest::SquareFace(float(l), 0, 0, 0.75f),
                new KelGraphicAttributeSet(keltest::Look(4)), 0.5f + float(l % 7));
      s->SetGeomSag(0.01f * float(l % 3));
      s->SetLODMode(l % 2);
      s->SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(float(l), 0, 0), 0.8f, 0.0f));
      KelGraphicAttributeSet look = keltest::Look(255, 0x08);
      look.rgba[0] = static_cast<unsigned char>(l);
      look.rgba[3] = 200;
      s->SetGraphicAttributeSet(look);
      bag->AddChild(*s);
      if (!shared) shared = s;
    }
    root->AddChild(*bag);
  }
  return root;
}

void SameFace(const Kel3DFaceGP* a, const Kel3DFaceGP* b) {
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  auto same = [](const auto* x, const auto* y, int n) {
    return n == 0 || std::memcmp(x, y, sizeof(*x) * static_cast<std::size_t>(n)) == 0;
  };
  ASSERT_EQ(a->GetNbVertexCoords(), b->GetNbVertexCoords());
  ASSERT_EQ(a->GetNbNormalCoords(), b->GetNbNormalCoords());
  ASSERT_EQ(a->GetNbTriangles(), b->GetNbTriangles());
  ASSERT_EQ(a->GetNbStrips(), b->GetNbStrips());
  ASSERT_EQ(a->GetNbFans(), b->GetNbFans());
  EXPECT_TRUE(same(a->GetVertexArray(), b->GetVertexArray(), a->GetNbVertexCoords()));
  EXPECT_TRUE(same(a->GetNormals(), b->GetNormals(), a->GetNbNormalCoords()));
  EXPECT_TRUE(same(a->GetTriangles(), b->GetTriangles(), 3 * a->GetNbTriangles()));
  EXPECT_TRUE(same(a->GetStrips(), b->GetStrips(), a->GetNbStripIndices()));
  EXPECT_TRUE(same(a->GetFans(), b->GetFans(), a->GetNbFanIndices()));
}

bool SameFloats(const float* a, const float* b, int n) {
  return std::memcmp(a, b, sizeof(float) * static_cast<std::size_t>(n)) == 0;
}

template <class P>
bool Same3(const P& p, const P& q) {
  return p[0] == q[0] && p[1] == q[1] && p[2] == q[2];
}

// A primitive of a plan or curve level: same class, same data.
void SamePrimitive(KelGraphicPrimitive* a, KelGraphicPrimitive* b) {
  ASSERT_EQ(a != nullptr, b != nullptr);
  if (!a) return;
  ASSERT_EQ(typeid(*a), typeid(*b));
  if (auto* x = dynamic_cast<Kel3DLineGP*>(a)) {  // and polylines
    auto* y = static_cast<Kel3DLineGP*>(b);
    ASSERT_EQ(x->GetNbPoints(), y->GetNbPoints());
    EXPECT_TRUE(SameFloats(x->GetPoints(), y->GetPoints(), 3 * x->GetNbPoints()));
  } else if (auto* x = dynamic_cast<Kel3DMarkerGP*>(a)) {
    auto* y = static_cast<Kel3DMarkerGP*>(b);
    EXPECT_EQ(x->GetSymbolType(), y->GetSymbolType());
    ASSERT_EQ(x->GetNbPoints(), y->GetNbPoints());
    EXPECT_TRUE(SameFloats(x->GetPoints(), y->GetPoints(), 3 * x->GetNbPoints()));
  } else if (auto* x = dynamic_cast<KelBagGP*>(a)) {
    auto* y = static_cast<KelBagGP*>(b);
    ASSERT_EQ(x->GetCount(), y->GetCount());
    for (int i = 0; i < x->GetCount(); ++i) SamePrimitive(x->Get_Son(i), y->Get_Son(i));
  } else {
    SameFace(dynamic_cast<Kel3DFaceGP*>(a), dynamic_cast<Kel3DFaceGP*>(b));
  }
}

void SameSphere(const Kel3DBoundingSphere& s, const Kel3DBoundingSphere& t) {
  EXPECT_EQ(s.GetState(), t.GetState());
  EXPECT_EQ(std::memcmp(s.GetCenter(), t.GetCenter(), 12), 0);
  EXPECT_EQ(s.GetRadius(), t.GetRadius());
}

// Field by field, down the whole graph.
void Same(KelRep& a, KelRep& b) {
  ASSERT_STREQ(a.IsA(), b.IsA());
  ASSERT_EQ(typeid(a), typeid(b));
  if (auto* x = dynamic_cast<Kel3DPointRep*>(&a)) {
    auto* y = static_cast<Kel3DPointRep*>(&b);
    EXPECT_EQ(x->GetMarker()->GetSymbolType(), y->GetMarker()->GetSymbolType());
    EXPECT_TRUE(SameFloats(x->GetMarker()->GetPoints(), y->GetMarker()->GetPoints(), 3));
  } else if (auto* x = dynamic_cast<Kel3DLineRep*>(&a)) {
    EXPECT_TRUE(SameFloats(x->GetLine()->GetPoints(),
                           static_cast<Kel3DLineRep&>(b).GetLine()->GetPoints(), 6));
  } else if (auto* x = dynamic_cast<Kel2DPointRep*>(&a)) {
    auto* y = static_cast<Kel2DPointRep*>(&b);
    EXPECT_EQ(x->GetMarker()->GetSymbolType(), y->GetMarker()->GetSymbolType());
    EXPECT_TRUE(SameFloats(x->GetMarker()->GetPoints(), y->GetMarker()->GetPoints(), 2));
  } else if (auto* x = dynamic_cast<Kel2DLineRep*>(&a)) {
    EXPECT_TRUE(SameFloats(x->GetLine()->GetPoints(),
                           static_cast<Kel2DLineRep&>(b).GetLine()->GetPoints(), 4));
  } else if (auto* x = dynamic_cast<Kel2DPolygonRep*>(&a)) {
    const Kel2DPolygonGP *p = x->GetPolygon(), *q = static_cast<Kel2DPolygonRep&>(b).GetPolygon();
    EXPECT_EQ(p->GetMode(), q->GetMode());
    ASSERT_EQ(p->GetNbPoints(), q->GetNbPoints());
    EXPECT_TRUE(SameFloats(p->GetPoints(), q->GetPoints(), 2 * p->GetNbPoints()));
  } else if (auto* x = dynamic_cast<Kel3DAxisRep*>(&a)) {
    auto* y = static_cast<Kel3DAxisRep*>(&b);
    EXPECT_TRUE(Same3(x->GetOrigin(), y->GetOrigin()));
    for (int k = 0; k < 3; ++k) {
      EXPECT_TRUE(Same3(x->GetFrameAxis(k), y->GetFrameAxis(k)));
      const Kel3DFixedArrowGP *p = x->GetArrow(k), *q = y->GetArrow(k);
      EXPECT_EQ(p->GetLength(), q->GetLength());
      EXPECT_STREQ(p->GetText(), q->GetText());
    }
  } else if (auto* x = dynamic_cast<Kel3DArcCircleRep*>(&a)) {
    auto* y = static_cast<Kel3DArcCircleRep*>(&b);
    EXPECT_TRUE(SameFloats(x->GetCenter(), y->GetCenter(), 3));
    EXPECT_TRUE(SameFloats(x->GetNormal(), y->GetNormal(), 3));
    EXPECT_TRUE(SameFloats(x->GetAxis(), y->GetAxis(), 3));
    EXPECT_EQ(x->GetRadius(), y->GetRadius());
    EXPECT_EQ(x->GetStart(), y->GetStart());
    EXPECT_EQ(x->GetEnd(), y->GetEnd());
  } else if (auto* x = dynamic_cast<Kel3DCloudOfPointsRep*>(&a)) {
    const Kel3DMarkerGP *p = x->GetMarker(),
                        *q = static_cast<Kel3DCloudOfPointsRep&>(b).GetMarker();
    ASSERT_EQ(p->GetNbPoints(), q->GetNbPoints());
    EXPECT_TRUE(SameFloats(p->GetPoints(), q->GetPoints(), 3 * p->GetNbPoints()));
  } else if (auto* x = dynamic_cast<Kel3DCuboidRep*>(&a)) {
    auto* y = static_cast<Kel3DCuboidRep*>(&b);
    EXPECT_TRUE(Same3(x->GetCorner(), y->GetCorner()));
    EXPECT_TRUE(Same3(x->GetU(), y->GetU()));
    EXPECT_TRUE(Same3(x->GetV(), y->GetV()));
    EXPECT_TRUE(Same3(x->GetW(), y->GetW()));
  } else if (auto* x = dynamic_cast<Kel3DRectangleRep*>(&a)) {
    auto* y = static_cast<Kel3DRectangleRep*>(&b);
    EXPECT_TRUE(Same3(x->GetCorner(), y->GetCorner()));
    EXPECT_TRUE(Same3(x->GetU(), y->GetU()));
    EXPECT_TRUE(Same3(x->GetV(), y->GetV()));
  } else if (auto* x = dynamic_cast<Kel3DSimpleSphereRep*>(&a)) {
    auto* y = static_cast<Kel3DSimpleSphereRep*>(&b);
    EXPECT_TRUE(Same3(x->GetCenter(), y->GetCenter()));
    EXPECT_EQ(x->GetRadius(), y->GetRadius());
    EXPECT_EQ(x->GetNbMeridians(), y->GetNbMeridians());
    SameFace(x->GetFace(), y->GetFace());
  } else if (auto* x = dynamic_cast<Kel3DSimpleConeRep*>(&a)) {
    auto* y = static_cast<Kel3DSimpleConeRep*>(&b);
    EXPECT_TRUE(Same3(x->GetBase(), y->GetBase()));
    EXPECT_TRUE(Same3(x->GetApex(), y->GetApex()));
    EXPECT_EQ(x->GetRadius(), y->GetRadius());
    EXPECT_EQ(x->GetNbFacets(), y->GetNbFacets());
    SameFace(x->GetFace(), y->GetFace());
  } else if (auto* x = dynamic_cast<Kel3DCylinderRep*>(&a)) {
    auto* y = static_cast<Kel3DCylinderRep*>(&b);
    EXPECT_TRUE(SameFloats(x->GetBase(), y->GetBase(), 3));
    EXPECT_TRUE(SameFloats(x->GetAxisVector(), y->GetAxisVector(), 3));
    EXPECT_TRUE(x->GetPlaneVector() == y->GetPlaneVector());
    EXPECT_EQ(x->GetRadius(), y->GetRadius());
    ASSERT_EQ(x->GetNbLevels(), y->GetNbLevels());
    EXPECT_TRUE(SameFloats(x->GetSags(), y->GetSags(), x->GetNbLevels()));
    for (int i = 0; i + 1 < x->GetNbLevels(); ++i) {
      const Kel3DCylinderGP *p = x->GetMesh(i), *q = y->GetMesh(i);
      ASSERT_EQ(p->GetNbPoints(), q->GetNbPoints());
      EXPECT_TRUE(SameFloats(p->GetPoints(), q->GetPoints(), 3 * p->GetNbPoints()));
    }
    EXPECT_TRUE(SameFloats(x->GetAxisLine()->GetPoints(), y->GetAxisLine()->GetPoints(), 6));
  } else if (auto* x = dynamic_cast<Kel3DPlanRep*>(&a)) {
    SameSphere(x->GetBoundingElement(), static_cast<Kel3DPlanRep&>(b).GetBoundingElement());
    SamePrimitive(x->GetPrimitive(), static_cast<Kel3DPlanRep&>(b).GetPrimitive());
  } else if (auto* x = dynamic_cast<Kel3DCurveRep*>(&a)) {
    auto* y = static_cast<Kel3DCurveRep*>(&b);
    SameSphere(x->GetBoundingElement(), y->GetBoundingElement());
    ASSERT_EQ(x->GetNbLevels(), y->GetNbLevels());
    EXPECT_TRUE(SameFloats(x->GetSags(), y->GetSags(), x->GetNbLevels()));
    for (int i = 0; i < x->GetNbLevels(); ++i) SamePrimitive(x->GetLOD(i), y->GetLOD(i));
  } else if (auto* x = dynamic_cast<Kel2DArcCircleRep*>(&a)) {
    auto* y = static_cast<Kel2DArcCircleRep*>(&b);
    EXPECT_TRUE(SameFloats(x->GetCenter(), y->GetCenter(), 2));
    EXPECT_EQ(x->GetRadius(), y->GetRadius());
    EXPECT_EQ(x->GetStart(), y->GetStart());
    EXPECT_EQ(x->GetEnd(), y->GetEnd());
  } else if (auto* x = dynamic_cast<KelLightSourceSetRep*>(&a)) {
    auto* y = static_cast<KelLightSourceSetRep*>(&b);
    ASSERT_EQ(x->GetLightSourceCount(), y->GetLightSourceCount());
    ASSERT_EQ(x->GetSecondLight() != nullptr, y->GetSecondLight() != nullptr);
    EXPECT_TRUE(
        SameFloats(x->GetFirstLight()->GetDirection(), y->GetFirstLight()->GetDirection(), 3));
    if (x->GetSecondLight()) {
      EXPECT_TRUE(
          SameFloats(x->GetSecondLight()->GetDirection(), y->GetSecondLight()->GetDirection(), 3));
    }
  }
  EXPECT_EQ(a.GetIdentificator().GetIntId(), b.GetIdentificator().GetIntId());
  EXPECT_EQ(a.GetGraphicAttributeSet(), b.GetGraphicAttributeSet());
  EXPECT_EQ(a.GetParents().Count(), b.GetParents().Count());
  if (a.IsAKindOf("Kel3DBagRep")) {
    auto& x = static_cast<Kel3DBagRep&>(a);
    auto& y = static_cast<Kel3DBagRep&>(b);
    ASSERT_EQ(x.GetMatrix() != nullptr, y.GetMatrix() != nullptr);
    if (x.GetMatrix()) {
      EXPECT_EQ(std::memcmp(x.GetMatrix()->GetMatrix(), y.GetMatrix()->GetMatrix(), 64), 0);
    }
    ASSERT_EQ(x.GetChildCount(), y.GetChildCount());
    for (int i = 0; i < x.GetChildCount(); ++i) Same(*x.GetChild(i), *y.GetChild(i));
  } else if (dynamic_cast<Kel2DBagRep*>(&a)) {  // 2D Reps have no meta object of their own
    auto& x = dynamic_cast<Kel2DBagRep&>(a);
    auto& y = dynamic_cast<Kel2DBagRep&>(b);
    ASSERT_EQ(x.GetMatrix() != nullptr, y.GetMatrix() != nullptr);
    if (x.GetMatrix()) {
      EXPECT_EQ(std::memcmp(x.GetMatrix()->GetMatrix(), y.GetMatrix()->GetMatrix(), 36), 0);
    }
    ASSERT_EQ(x.GetChildren()->Count(), y.GetChildren()->Count());
    for (int i = 0; i < x.GetChildren()->Count(); ++i)
      Same(*(*x.GetChildren())[i], *(*y.GetChildren())[i]);
  } else if (dynamic_cast<KelSurfacicRep*>(&a)) {
    auto& x = static_cast<KelSurfacicRep&>(a);
    auto& y = static_cast<KelSurfacicRep&>(b);
    EXPECT_EQ(x.GetGeomSag(), y.GetGeomSag());
    EXPECT_EQ(x.GetLODMode(), y.GetLODMode());
    const Kel3DBoundingSphere &s = x.GetBoundingElement(), &t = y.GetBoundingElement();
    EXPECT_EQ(s.GetState(), t.GetState());
    EXPECT_EQ(std::memcmp(s.GetCenter(), t.GetCenter(), 12), 0);
    EXPECT_EQ(s.GetRadius(), t.GetRadius());
    ASSERT_EQ(x.GetNbFaces(), y.GetNbFaces());
    for (int i = 0; i < x.GetNbFaces(); ++i) {
      EXPECT_EQ(*x.GetFaceAttributes(i), *y.GetFaceAttributes(i));
      SameFace(static_cast<Kel3DFaceGP*>(x.GetFace(i)), static_cast<Kel3DFaceGP*>(y.GetFace(i)));
    }
    ASSERT_EQ(x.GetNbLODs(), y.GetNbLODs());
    for (int k = 1; k <= x.GetNbLODs(); ++k) {
      EXPECT_EQ(x.GetLODSag(k), y.GetLODSag(k));
      EXPECT_EQ(*x.GetLODAttributes(k), *y.GetLODAttributes(k));
      SameFace(x.GetLODFace(k), y.GetLODFace(k));
    }
    ASSERT_EQ(x.GetNbEdges(), y.GetNbEdges());
    auto faceOf = [](KelSurfacicRep& s, const Kel3DBoundingGP* f) {
      for (int i = 0; i < s.GetNbFaces(); ++i)
        if (s.GetFace(i) == f) return i;
      return -1;
    };
    for (int j = 0; j < x.GetNbEdges(); ++j) {
      const Kel3DEdgeGP *e = x.GetEdge(j), *f = y.GetEdge(j);
      EXPECT_EQ(*x.GetEdgeAttributes(j), *y.GetEdgeAttributes(j));
      EXPECT_EQ(faceOf(x, e->GetFirstFace()), faceOf(y, f->GetFirstFace()));
      EXPECT_EQ(faceOf(x, e->GetSecondFace()), faceOf(y, f->GetSecondFace()));
      // The restored edge shares its own surface's vertices.
      EXPECT_EQ(f->GetVertices(), static_cast<Kel3DFaceGP*>(f->GetFirstFace())->GetVertexArray());
      ASSERT_EQ(e->GetNbIndices(), f->GetNbIndices());
      EXPECT_EQ(std::memcmp(e->GetIndices(), f->GetIndices(), 2u * e->GetNbIndices()), 0);
    }
  }
}

TEST(Marshalling, RepGraphsRoundTripFieldByFieldAndByteForByte) {
  KelVisuController saver;
  // About 10^4 Reps (the benchmark saves 10^6).
  Kel3DBagRep* original = Assembly(100, 100);
  const std::string first = keltest::OutputPath("assembly.kel");
  const std::string second = keltest::OutputPath("again.kel");
  saver.SaveRepToFile(first.c_str(), original);
  KelRep* restored = KelVisuController::RestoreRepFromFile(first.c_str());
  ASSERT_NE(restored, nullptr);
  Same(*original, *restored);
  // The shared surface is one Rep with a parent in every bag.
  auto* r = static_cast<Kel3DBagRep*>(restored);
  auto bagAt = [r](int i) { return static_cast<Kel3DBagRep*>(r->GetChild(i)); };
  EXPECT_EQ(bagAt(0)->GetChild(0), bagAt(99)->GetChild(0));
  EXPECT_EQ(bagAt(0)->GetChild(0)->GetParents().Count(), 100);
  saver.SaveRepToFile(second.c_str(), restored);
  EXPECT_EQ(keltest::ReadBytes(first), keltest::ReadBytes(second));
  original->Destroy();
  restored->Destroy();

  // 2D bags with their matrices.
  auto* flat = new Kel2DBagRep;
  auto* inner = new Kel2DBagRep;
  inner->SetMatrix(Kel3x3Matrix(Kelvector2f(0, 1), Kelvector2f(-1, 0), Kelpoint2f(5, 6)));
  flat->AddChild(*inner);
  saver.SaveRepToFile(first.c_str(), flat);
  KelRep* flatBack = KelVisuController::RestoreRepFromFile(first.c_str());
  ASSERT_NE(flatBack, nullptr);
  Same(*flat, *flatBack);
  flat->Destroy();
  flatBack->Destroy();
}

TEST(Marshalling, LeavesLightsAndEdgesRoundTrip) {
  KelVisuController saver;
  KelModelIdentificator i1 = Id(1), i2 = Id(2), i3 = Id(3);
  auto* root = new Kel3DBagRep(i1, nullptr);
  auto* point = new Kel3DPointRep(Kelpoint3f(1, -2, 3.5f), FILLED_DISC_SYMBOL, i2, nullptr);
  point->SetGraphicAttributeSet(keltest::Look(7, 0x10));
  root->AddChild(*point);
  root->AddChild(*new Kel3DLineRep(Kelpoint3f(0, 0, 0), Kelpoint3f(4, 5, -6), i3, nullptr));
  root->AddChild(*new KelLightSourceSetRep(
      KelLightSourceSet(Keldirection3f(0, 0, 1), Keldirection3f(1, 0, 0))));
  root->AddChild(*new KelLightSourceSetRep(KelLightSourceSet(Keldirection3f(0, 1, 0))));
  // Two faces, an edge along the first and one between both.
  auto* s = new KelSurfacicRep;
  s->AddGeomFace(keltest::SquareFace(0, 0, 0, 1), new KelGraphicAttributeSet(keltest::Look(3)));
  s->AddGeomFace(keltest::SquareFace(2, 0, 0, 1), new KelGraphicAttributeSet(keltest::Look(4)));
  const int along[] = {0, 3, 6}, between[] = {9, 0};
  s->AddGeomEdge(new Kel3DEdgeGP(s->GetFace(0), nullptr, along, 3),
                 new KelGraphicAttributeSet(keltest::Look(5)));
  s->AddGeomEdge(new Kel3DEdgeGP(s->GetFace(1), s->GetFace(0), between, 2),
                 new KelGraphicAttributeSet(keltest::Look(6, 0x01)));
  root->AddChild(*s);
  // Simple Reps, rebuilt from their parameters.
  KelModelIdentificator i4 = Id(4), i5 = Id(5), i6 = Id(6), i7 = Id(7), i8 = Id(8), i9 = Id(9),
                        i10 = Id(10);
  const float cloud[] = {0, 0, 0, 1, 2, 3, -4, 0.5f, 9};
  root->AddChild(*new Kel3DCloudOfPointsRep(cloud, 3, i8, nullptr));
  Kel4x4Matrix frame(Kelvector3f(0, 2, 0), Kelvector3f(-1, 0, 0), Kelvector3f(0, 0, 3),
                     Kelvector3f(5, 6, 7));
  root->AddChild(*new Kel3DAxisRep(frame, 12, "east", 8, nullptr, 20, "", i10, nullptr));
  const float centre[] = {1, 1, 0}, normal[] = {0, 0, 1}, axis[] = {1, 0, 0};
  root->AddChild(*new Kel3DArcCircleRep(centre, normal, axis, 2, 0.25f, 3, i9, nullptr));
  root->AddChild(*new Kel3DRectangleRep(Kelpoint3f(0, 1, 0), Kelvector3f(1, 1, 0),
                                        Kelvector3f(0, 0, -2), 12, i7, nullptr));
  root->AddChild(*new Kel3DCuboidRep(Kelpoint3f(1, 2, 3), Kelvector3f(2, 0, 0),
                                     Kelvector3f(0, 0, 1), Kelvector3f(0, 3, 0), 9, i4, nullptr));
  root->AddChild(*new Kel3DSimpleSphereRep(Kelpoint3f(-1, 0, 2), 2.5f, 7, i5, nullptr));
  root->AddChild(
      *new Kel3DSimpleConeRep(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 4, 0), 1.5f, 11, i6, nullptr));
  // A cylinder of levels made from a sag of its own, a plan and a curve
  // holding every primitive kind they save (a curve level may stay empty).
  KelModelIdentificator i11 = Id(11), i12 = Id(12), i13 = Id(13);
  const float base[] = {1, 2, 3}, top[] = {1, 2, 7}, plane[] = {2, 0, 0};
  root->AddChild(*new Kel3DCylinderRep(base, top, 2, plane, 0.001f, i11, nullptr));
  auto* plan = new Kel3DPlanRep(i12, nullptr);
  plan->SetPrimitive(keltest::SquareFace(0, 0, 1, 2));
  plan->SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0, 0, 1), 3, 0));
  root->AddChild(*plan);
  const float sags[] = {0, 0.5f, 2, 8};
  auto* curve = new Kel3DCurveRep(4, sags, i13, nullptr);
  const float pts[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 2};
  KelGraphicPrimitive* lines[] = {new Kel3DPolylineGP(pts, 4, 1), nullptr,
                                  new Kel3DPolylineGP(pts + 3, 2, 0)};
  curve->AddWireframeLOD(0, new KelBagGP(3, lines));
  curve->AddWireframeLOD(1, new Kel3DLineGP(pts, 4, 1));
  curve->AddWireframeLOD(3, new Kel3DMarkerGP(pts, 3, HOLLOW_SQUARE_SYMBOL, 1));
  curve->SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0.5f, 0.5f, 1), 1.5f, 0));
  root->AddChild(*curve);

  const std::string first = keltest::OutputPath("leaves.kel");
  const std::string second = keltest::OutputPath("leaves-again.kel");
  saver.SaveRepToFile(first.c_str(), root);
  KelRep* back = KelVisuController::RestoreRepFromFile(first.c_str());
  ASSERT_NE(back, nullptr);
  Same(*root, *back);
  saver.SaveRepToFile(second.c_str(), back);
  EXPECT_EQ(keltest::ReadBytes(first), keltest::ReadBytes(second));
  root->Destroy();
  back->Destroy();

  auto* flat = new Kel2DBagRep;
  const float p[] = {1.5f, -2}, q[] = {0, 1, 2, 3};
  flat->AddChild(*new Kel2DPointRep(p, CROSSED_DISC_SYMBOL));
  flat->AddChild(*new Kel2DLineRep(q));
  const float triangle[] = {0, 0, 4, 0, 2, 3};
  flat->AddChild(*new Kel2DPolygonRep(triangle, 3, 1));
  const float centre2[] = {3, -1};
  flat->AddChild(*new Kel2DArcCircleRep(centre2, 1.5f, 5, 1));
  saver.SaveRepToFile(first.c_str(), flat);
  KelRep* flatBack = KelVisuController::RestoreRepFromFile(first.c_str());
  ASSERT_NE(flatBack, nullptr);
  Same(*flat, *flatBack);
  flat->Destroy();
  flatBack->Destroy();
}

TEST(Marshalling, ControllerRestoresIntoTheUnmarshallingControllerAndCache) {
  KelVisuController saved;
  saved.SetAssociatedGraphicTable(new KelHashRepTable);
  saved.SetGraphicModel(Assembly(3, 4, &saved));
  saved.SetType(2);
  saved.SetLodModeOn();
  const std::string file = keltest::OutputPath("model");
  saved.SaveToFile(file.c_str(), 7);
  EXPECT_EQ(saved.GetSaveMode(), 7);

  auto* target = new KelVisuController;
  KelVisuController::SetUnmarshallingController(target);
  ASSERT_EQ(KelVisuController::RestoreFromFile(file.c_str()), target);
  EXPECT_EQ(target->GetType(), 2);
  EXPECT_TRUE(target->IsLodModeOn());
  ASSERT_NE(target->GetGraphicModel(), nullptr);
  Same(*saved.GetGraphicModel(), *target->GetGraphicModel());
  // Every restored Rep is in the target's table under its identificator.
  EXPECT_EQ(target->GetAssociatedGraphicTable()->GetSize(),
            saved.GetAssociatedGraphicTable()->GetSize());
  for (int i = 1; i <= 12; ++i) {
    KelRep* rep = target->GetRep(Id(i));
    ASSERT_NE(rep, nullptr) << i;
    EXPECT_EQ(rep->GetControllerId(), target);
  }

  // A cache beside the model file: written, then read back.
  keltest::WriteBytes(file, {1});
  saved.SaveIntoCach(file.c_str(), 1);
  ASSERT_EQ(KelVisuController::RestFromCach(file.c_str()), target);
  Same(*saved.GetGraphicModel(), *target->GetGraphicModel());

  // No cache: the unmarshalling controller is deleted.
  const std::string bare = keltest::OutputPath("bare");
  EXPECT_EQ(KelVisuController::RestFromCach(bare.c_str()), nullptr);
  EXPECT_EQ(KelVisuController::GetUnmarshallingController(), nullptr);

  // A read-only model file: a warning, and no cache written.
  keltest::WriteBytes(bare, {1});
  chmod(bare.c_str(), 0444);
  testing::internal::CaptureStdout();
  saved.SaveIntoCach(bare.c_str(), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "---WARNING : model file is Read Only --\n"
            "---          SaveToCach operation disabled --\n");
  struct stat s {};
  EXPECT_NE(stat((bare + ".cgr").c_str(), &s), 0);
}

TEST(Marshalling, UnsavableRepsAndWrongKindsOfFileAreReported) {
  KelVisuController c;
  keltest::GPLeaf leaf;
  const std::string file = keltest::OutputPath("leaf.kel");
  std::remove(file.c_str());  // left by an earlier run
  testing::internal::CaptureStdout();
  c.SaveRepToFile(file.c_str(), &leaf);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR : Bad Marshalling of :\n");
  EXPECT_TRUE(keltest::ReadBytes(file).empty());

  // A bag holding a Rep the registry does not know is not saved either.
  auto* bag = new Kel3DBagRep;
  keltest::GPLeaf child;
  bag->AddChild(child);
  c.SaveRepToFile(file.c_str(), bag);
  EXPECT_TRUE(keltest::ReadBytes(file).empty());
  bag->RemoveChild(child);
  bag->Destroy();

  // A controller file is not a Rep.
  const std::string controller = keltest::OutputPath("controller.kel");
  c.SaveToFile(controller.c_str(), 0);
  testing::internal::CaptureStdout();
  EXPECT_EQ(KelVisuController::RestoreRepFromFile(controller.c_str()), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "ERROR : Bad UnMarshalling of :" + controller + "\n");
  EXPECT_EQ(KelVisuController::RestoreRepFromFile(keltest::OutputPath("none").c_str()), nullptr);
}

TEST(Marshalling, DamagedFilesOfAnyLengthGiveNull) {
  KelVisuController c;
  Kel3DBagRep* small = Assembly(1, 1);
  const std::string good = keltest::OutputPath("good.kel");
  c.SaveRepToFile(good.c_str(), small);
  small->Destroy();
  const Bytes bytes = keltest::ReadBytes(good);
  ASSERT_GT(bytes.size(), 32u);
  const std::string bad = keltest::OutputPath("bad.kel");
  // Every truncation, and a change of any one byte.
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    keltest::WriteBytes(bad, Bytes(bytes.begin(), bytes.begin() + static_cast<long>(n)));
    EXPECT_EQ(KelVisuController::RestoreRepFromFile(bad.c_str()), nullptr) << n;
    Bytes flipped = bytes;
    flipped[n] ^= 0x5a;
    keltest::WriteBytes(bad, flipped);
    EXPECT_EQ(KelVisuController::RestoreRepFromFile(bad.c_str()), nullptr) << n;
  }
}

TEST(Marshalling, HostilePayloadsWithAGoodChecksumAreRefused) {
  // A valid 3D bag record with `children` as its child list.
  auto bag = [](KelMarshal& m, std::uint64_t id, std::vector<unsigned int> children) {
    m.WriteString("Kel3DBagRep");
    m.WriteUnsignedLong(id);
    m.WriteUnsignedInt(0);
    m.WriteUnsignedInt(0);
    m.WriteInt(0);
    m.WriteUnsignedInt(static_cast<unsigned int>(children.size()));
    for (unsigned int i : children) m.WriteUnsignedInt(i);
  };
  // A surface record whose one face holds `index`, with one level of detail
  // of `lodSag` when that is not zero, and an edge on face `edgeFace` when
  // that is not -1.
  auto surface = [](KelMarshal& m, int index, float sag = 0, float lodSag = 0, int edgeFace = -1) {
    auto face = [&](bool attributes = true) {
      if (attributes) {
        m.WriteUnsignedInt(0);
        m.WriteUnsignedInt(0);
      }
      m.WriteUnsignedInt(9);
      for (int i = 0; i < 9; ++i) m.WriteFloat(float(i));
      m.WriteUnsignedInt(0);
      m.WriteUnsignedInt(1);
      for (int i : {0, 3, index}) m.WriteInt(i);
      m.WriteUnsignedInt(0);
      m.WriteUnsignedInt(0);
    };
    m.WriteString("KelSurfacicRep");
    m.WriteUnsignedLong(0);
    m.WriteUnsignedInt(0);
    m.WriteUnsignedInt(0);
    m.WriteInt(1);
    for (int i = 0; i < 5; ++i) m.WriteFloat(1);
    m.WriteFloat(sag);
    m.WriteInt(1);
    m.WriteUnsignedInt(1);
    face();
    m.WriteUnsignedInt(lodSag != 0 ? 1 : 0);
    if (lodSag != 0) {
      // face() writes the level's attributes, then the sag goes between.
      m.WriteUnsignedInt(0);
      m.WriteUnsignedInt(0);
      m.WriteFloat(lodSag);
      face(false);
    }
    m.WriteUnsignedInt(edgeFace != -1 ? 1 : 0);
    if (edgeFace != -1) {
      m.WriteUnsignedInt(0);
      m.WriteUnsignedInt(0);
      m.WriteInt(edgeFace);
      m.WriteInt(-1);
      m.WriteUnsignedInt(2);
      m.WriteInt(0);
      m.WriteInt(3);
    }
  };
  // A light set record of `count` lights along `d`.
  auto lights = [](KelMarshal& m, int count, float d) {
    m.WriteString("KelLightSourceSetRep");
    m.WriteUnsignedLong(0);
    m.WriteUnsignedInt(0);
    m.WriteUnsignedInt(0);
    m.WriteInt(count);
    for (int i = 0; i < 6; ++i) m.WriteFloat(d);
  };
  // A sphere record of `radius` and `n` meridians.
  auto sphere = [](KelMarshal& m, float radius, int n) {
    m.WriteString("Kel3DSimpleSphereRep");
    m.WriteUnsignedLong(0);
    m.WriteUnsignedInt(0);
    m.WriteUnsignedInt(0);
    for (float x : {0.0f, 0.0f, 0.0f, radius}) m.WriteFloat(x);
    m.WriteInt(n);
  };
  // A file of one leaf record written by `leaf`, under a 3D bag.
  auto inBag = [&](std::function<void(KelMarshal&)> leaf) {
    return [&bag, leaf](KelMarshal& m) {
      Name(m, "Kel3DBagRep");
      m.WriteUnsignedInt(2);
      leaf(m);
      bag(m, 1, {0});
    };
  };
  const std::vector<std::pair<const char*, std::function<void(KelMarshal&)>>> cases = {
      {"empty name", [](KelMarshal& m) { m.WriteUnsignedInt(0); }},
      {"huge name", [](KelMarshal& m) { m.WriteUnsignedInt(0xffffffffu); }},
      {"unknown class", [](KelMarshal& m) { Name(m, "KelPathElementRep"); }},
      {"the base's name",
       [&](KelMarshal& m) {
         Name(m, "KelRep");
         m.WriteUnsignedInt(1);
         bag(m, 1, {});
       }},
      {"no records",
       [](KelMarshal& m) {
         Name(m, "Kel3DBagRep");
         m.WriteUnsignedInt(0);
       }},
      {"count beyond the file",
       [&](KelMarshal& m) {
         Name(m, "Kel3DBagRep");
         m.WriteUnsignedInt(0x10000000u);
         bag(m, 1, {});
       }},
      {"child read after its bag",
       [&](KelMarshal& m) {
         Name(m, "Kel3DBagRep");
         m.WriteUnsignedInt(2);
         bag(m, 1, {1});
         bag(m, 2, {});
       }},
      {"a bag its own child",
       [&](KelMarshal& m) {
         Name(m, "Kel3DBagRep");
         m.WriteUnsignedInt(1);
         bag(m, 1, {0});
       }},
      {"unreachable record",
       [&](KelMarshal& m) {
         Name(m, "Kel3DBagRep");
         m.WriteUnsignedInt(2);
         bag(m, 1, {});
         bag(m, 2, {});
       }},
      {"one identificator twice",
       [&](KelMarshal& m) {
         Name(m, "Kel3DBagRep");
         m.WriteUnsignedInt(2);
         bag(m, 5, {});
         bag(m, 5, {0});
       }},
      {"root of another class",
       [&](KelMarshal& m) {
         Name(m, "Kel2DBagRep");
         m.WriteUnsignedInt(1);
         bag(m, 1, {});
       }},
      {"index outside the face", inBag([&](KelMarshal& m) { surface(m, 9); })},
      {"a sag that is not a number", inBag([&](KelMarshal& m) { surface(m, 6, std::nanf("")); })},
      {"a level of detail whose sag is not a number",
       inBag([&](KelMarshal& m) { surface(m, 6, 0, std::nanf("")); })},
      {"an edge on a face the surface lacks",
       inBag([&](KelMarshal& m) { surface(m, 6, 0, 0, 1); })},
      {"three lights", inBag([&](KelMarshal& m) { lights(m, 3, 1); })},
      {"a light along no direction", inBag([&](KelMarshal& m) { lights(m, 1, std::nanf("")); })},
      {"a radius of 10^30", inBag([&](KelMarshal& m) { sphere(m, 1e30f, 8); })},
      {"a sphere of 2^31 - 1 meridians", inBag([&](KelMarshal& m) { sphere(m, 1, 0x7fffffff); })},
      // Each sphere is within bounds, four of them (4 x 1025^2 vertices) are not.
      {"meshes larger than a file may ask for",
       [&](KelMarshal& m) {
         Name(m, "Kel3DBagRep");
         m.WriteUnsignedInt(5);
         for (int i = 0; i < 4; ++i) sphere(m, 1, 1024);
         bag(m, 1, {0, 1, 2, 3});
       }},
      {"an arc ending 10^30 radians on",
       [&](KelMarshal& m) {
         Name(m, "Kel3DBagRep");
         m.WriteUnsignedInt(2);
         m.WriteString("Kel3DArcCircleRep");
         m.WriteUnsignedLong(0);
         m.WriteUnsignedInt(0);
         m.WriteUnsignedInt(0);
         for (float x : {0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0}) m.WriteFloat(x);
         m.WriteFloat(1e30f);
         bag(m, 1, {0});
       }},
      {"index not a vertex", inBag([&](KelMarshal& m) { surface(m, 4); })},
  };
  const std::string file = keltest::OutputPath("hostile.kel");
  for (const auto& c : cases) {
    KelMarshal payload;
    c.second(payload);
    keltest::WriteBytes(file, Wrap(payload));
    EXPECT_EQ(KelVisuController::RestoreRepFromFile(file.c_str()), nullptr) << c.first;
  }
  // The same records made sound restore; a newer version of them does not.
  KelMarshal fine;
  Name(fine, "Kel3DBagRep");
  fine.WriteUnsignedInt(3);
  surface(fine, 6, 0, 0, 0);
  lights(fine, 2, 1);
  bag(fine, 1, {0, 1});
  keltest::WriteBytes(file, Wrap(fine));
  KelRep* rep = KelVisuController::RestoreRepFromFile(file.c_str());
  ASSERT_NE(rep, nullptr);
  rep->Destroy();
  keltest::WriteBytes(file, Wrap(fine, 2));
  EXPECT_EQ(KelVisuController::RestoreRepFromFile(file.c_str()), nullptr);
}

// Records of the Reps rebuilt from what they were built from or hold:
// cylinders, plans and curves.
void LeafHead(KelMarshal& m, const char* kind) {
  m.WriteString(kind);
  m.WriteUnsignedLong(0);
  m.WriteUnsignedInt(0);
  m.WriteUnsignedInt(0);
}

void BagOf(KelMarshal& m, unsigned int n) {
  LeafHead(m, "Kel3DBagRep");
  m.WriteInt(0);
  m.WriteUnsignedInt(n);
  for (unsigned int i = 0; i < n; ++i) m.WriteUnsignedInt(i);
}

// A cylinder along z of `n` levels, each of `sag`.
void Cylinder(KelMarshal& m, float radius, float planeX, unsigned int n, float sag = 0.1f) {
  LeafHead(m, "Kel3DCylinderRep");
  for (float x : {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, radius, planeX, 0.0f, 0.0f}) m.WriteFloat(x);
  m.WriteUnsignedInt(n);
  for (unsigned int i = 0; i < n; ++i) m.WriteFloat(sag);
}

// A plan or curve: head and volume; the caller writes the rest.
void Held(KelMarshal& m, const char* kind, float radius = 1) {
  LeafHead(m, kind);
  m.WriteInt(1);
  for (float x : {0.0f, 0.0f, 0.0f, radius, 0.0f}) m.WriteFloat(x);
}

TEST(Marshalling, CylindersPlansAndCurvesRefuseWhatCannotBeRebuilt) {
  KelVisuController c;
  const std::string file = keltest::OutputPath("held.kel");
  // Saving refuses, naming the reason, and writes nothing.
  auto refused = [&](KelRep* rep, const char* why) {
    std::remove(file.c_str());
    testing::internal::CaptureStderr();
    c.SaveRepToFile(file.c_str(), rep);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(why), std::string::npos) << why;
    EXPECT_TRUE(keltest::ReadBytes(file).empty()) << why;
    rep->Destroy();
  };
  auto* plan = new Kel3DPlanRep;
  plan->SetPrimitive(new Kel3DFixedPlanGP(Kelpoint3f(0, 0, 0), Keldirection3f(1, 0, 0),
                                          Keldirection3f(0, 1, 0), 5));
  refused(plan, "a primitive of class Kel3DFixedPlanGP cannot be saved");
  const float sag = 0;
  auto* curve = new Kel3DCurveRep(1, &sag);
  KelGraphicPrimitive* inner[] = {new KelBagGP};
  curve->AddWireframeLOD(0, new KelBagGP(1, inner));
  refused(curve, "a primitive of class KelBagGP in a KelBagGP cannot be saved");
  refused(new Kel3DCylinderRep(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 1), 1e30f),
          "a Kel3DCylinderRep of a radius");

  // Payloads with a good checksum, one Rep under a bag (the volume-setting
  // owner of plans and curves is the file).
  auto one = [](std::function<void(KelMarshal&)> leaf) {
    return [leaf](KelMarshal& m) {
      Name(m, "Kel3DBagRep");
      m.WriteUnsignedInt(2);
      leaf(m);
      BagOf(m, 1);
    };
  };
  auto plan1 = [&](std::function<void(KelMarshal&)> gp) {
    return one([gp](KelMarshal& m) {
      Held(m, "Kel3DPlanRep");
      gp(m);
    });
  };
  auto curve1 = [&](float sag, unsigned int n) {
    return one([sag, n](KelMarshal& m) {
      Held(m, "Kel3DCurveRep");
      m.WriteUnsignedInt(n);
      for (unsigned int i = 0; i < n; ++i) m.WriteFloat(sag);
      for (unsigned int i = 0; i < n; ++i) m.WriteInt(0);
    });
  };
  // Tags: 0 none, 1 face, 2 line, 3 polyline, 4 marker, 5 bag.
  auto polyline = [](KelMarshal& m, unsigned int n, float x = 1) {
    m.WriteInt(3);
    m.WriteUnsignedInt(n);
    for (float v : {0.0f, 0.0f, 0.0f, x, 1.0f, 1.0f}) m.WriteFloat(v);
  };
  const std::vector<std::pair<const char*, std::function<void(KelMarshal&)>>> cases = {
      {"a cylinder radius of 10^30", one([](KelMarshal& m) { Cylinder(m, 1e30f, 1, 2); })},
      {"a plane vector of length 2", one([](KelMarshal& m) { Cylinder(m, 1, 2, 2); })},
      {"a cylinder of 17 levels", one([](KelMarshal& m) { Cylinder(m, 1, 1, 17); })},
      {"a cylinder sag at no number",
       one([](KelMarshal& m) { Cylinder(m, 1, 1, 2, std::nanf("")); })},
      // 15 meshes of 300 points: 9032 vertices a cylinder, 470 of them
      // beyond the 2^22 a file may make.
      {"cylinders beyond the vertex allowance",
       [](KelMarshal& m) {
         Name(m, "Kel3DBagRep");
         m.WriteUnsignedInt(471);
         for (int i = 0; i < 470; ++i) Cylinder(m, 1, 1, 16, 1e-6f);
         BagOf(m, 470);
       }},
      {"a curve sag below zero", curve1(-1, 1)},
      {"a curve without levels", curve1(0, 0)},
      {"a plan of a volume at no number", one([](KelMarshal& m) {
         Held(m, "Kel3DPlanRep", std::nanf(""));
         m.WriteInt(0);
       })},
      {"a primitive of unknown kind", plan1([](KelMarshal& m) { m.WriteInt(9); })},
      {"a bag inside a bag", plan1([](KelMarshal& m) {
         for (unsigned int v : {5u, 1u, 5u, 0u}) m.WriteUnsignedInt(v);
       })},
      {"a polyline of 2^30 points", plan1([&](KelMarshal& m) { polyline(m, 1u << 30); })},
      {"a polyline point at no number",
       plan1([&](KelMarshal& m) { polyline(m, 2, std::nanf("")); })},
  };
  for (const auto& k : cases) {
    KelMarshal payload;
    k.second(payload);
    keltest::WriteBytes(file, Wrap(payload));
    EXPECT_EQ(KelVisuController::RestoreRepFromFile(file.c_str()), nullptr) << k.first;
  }
  // The same records made sound restore.
  for (const auto& sound :
       {one([](KelMarshal& m) { Cylinder(m, 1, 1, 16, 1e-6f); }), plan1([&](KelMarshal& m) {
          m.WriteInt(5);
          m.WriteUnsignedInt(1);
          polyline(m, 2);
        }),
        curve1(0.5f, 2)}) {
    KelMarshal payload;
    sound(payload);
    keltest::WriteBytes(file, Wrap(payload));
    KelRep* rep = KelVisuController::RestoreRepFromFile(file.c_str());
    ASSERT_NE(rep, nullptr);
    rep->Destroy();
  }
}

}  // namespace
