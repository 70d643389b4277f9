#include <gtest/gtest.h>

#include <kel/controller/KelVisuController.h>
#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelMarshal.h>
#include <kel/images/KelPixelImage.h>
#include <kel/primitives/Kel2DArrowSymbolGP.h>
#include <kel/primitives/Kel2DCurveGP.h>
#include <kel/primitives/Kel2DImagePixelGP.h>
#include <kel/primitives/Kel2DLineGP.h>
#include <kel/primitives/Kel2DMarkerGP.h>
#include <kel/primitives/Kel2DPolygonGP.h>
#include <kel/primitives/Kel2DPolylineGP.h>
#include <kel/primitives/Kel2DSimpleGeometricTextGP.h>
#include <kel/primitives/Kel2DSymbolGP.h>
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
#include <kel/reps/Kel2DArrowSymbolRep.h>
#include <kel/reps/Kel2DBagRep.h>
#include <kel/reps/Kel2DCadreRep.h>
#include <kel/reps/Kel2DCrossRep.h>
#include <kel/reps/Kel2DCurveRep.h>
#include <kel/reps/Kel2DImagePixelRep.h>
#include <kel/reps/Kel2DLineRep.h>
#include <kel/reps/Kel2DPointRep.h>
#include <kel/reps/Kel2DPolygonRep.h>
#include <kel/reps/Kel2DSimpleGeometricTextRep.h>
#include <kel/reps/Kel2DSymbolRep.h>
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
#include <initializer_list>
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

// As many points, with the same `dims` coordinates each.
template <class G>
void SamePoints(const G* p, const G* q, int dims) {
  ASSERT_EQ(p->GetNbPoints(), q->GetNbPoints());
  EXPECT_TRUE(SameFloats(p->GetPoints(), q->GetPoints(), dims * p->GetNbPoints()));
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
    SamePoints(x, static_cast<Kel3DLineGP*>(b), 3);
  } else if (auto* x = dynamic_cast<Kel3DMarkerGP*>(a)) {
    auto* y = static_cast<Kel3DMarkerGP*>(b);
    EXPECT_EQ(x->GetSymbolType(), y->GetSymbolType());
    SamePoints(x, y, 3);
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
    SamePoints(p, q, 2);
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
    SamePoints(x->GetMarker(), static_cast<Kel3DCloudOfPointsRep&>(b).GetMarker(), 3);
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
    // The solids rebuilt from their parameters: what they are made of. The
    // parameters themselves are checked by saving the restored graph again.
  } else if (auto* x = dynamic_cast<Kel3DSimpleSphereRep*>(&a)) {
    SameFace(x->GetFace(), static_cast<Kel3DSimpleSphereRep&>(b).GetFace());
  } else if (auto* x = dynamic_cast<Kel3DSimpleConeRep*>(&a)) {
    SameFace(x->GetFace(), static_cast<Kel3DSimpleConeRep&>(b).GetFace());
  } else if (auto* x = dynamic_cast<Kel3DCylinderRep*>(&a)) {
    auto* y = static_cast<Kel3DCylinderRep*>(&b);
    ASSERT_EQ(x->GetNbLevels(), y->GetNbLevels());
    EXPECT_TRUE(SameFloats(x->GetSags(), y->GetSags(), x->GetNbLevels()));
    for (int i = 0; i + 1 < x->GetNbLevels(); ++i) SamePoints(x->GetMesh(i), y->GetMesh(i), 3);
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
    // The 2D leaves rebuilt from their parameters: the primitives made of them
    // (the parameters are checked by saving the restored graph again).
  } else if (auto* x = dynamic_cast<Kel2DCrossRep*>(&a)) {
    auto* y = static_cast<Kel2DCrossRep*>(&b);
    ASSERT_EQ(x->GetNbSegments(), y->GetNbSegments());
    for (int i = 0; i < x->GetNbSegments(); ++i)
      EXPECT_TRUE(SameFloats(x->GetSegment(i)->GetPoints(), y->GetSegment(i)->GetPoints(), 4));
  } else if (auto* x = dynamic_cast<Kel2DCadreRep*>(&a)) {
    auto* y = static_cast<Kel2DCadreRep*>(&b);
    ASSERT_EQ(x->GetNbCorners(), y->GetNbCorners());
    for (int i = 0; i < x->GetNbCorners(); ++i)
      EXPECT_TRUE(SameFloats(x->GetCorner(i)->GetPoints(), y->GetCorner(i)->GetPoints(), 6));
  } else if (auto* x = dynamic_cast<Kel2DArrowSymbolRep*>(&a)) {
    const Kel2DArrowSymbolGP *p = x->GetArrow(),
                             *q = static_cast<Kel2DArrowSymbolRep&>(b).GetArrow();
    EXPECT_EQ(p->GetSymbolType(), q->GetSymbolType());
    EXPECT_TRUE(SameFloats(p->GetPosition(), q->GetPosition(), 2));
    EXPECT_TRUE(SameFloats(p->GetDirection(), q->GetDirection(), 2));
    EXPECT_EQ(p->GetSize(), q->GetSize());
    EXPECT_EQ(p->GetHalfAngle(), q->GetHalfAngle());
  } else if (auto* x = dynamic_cast<Kel2DSymbolRep*>(&a)) {
    const Kel2DSymbolGP *p = x->GetSymbol(), *q = static_cast<Kel2DSymbolRep&>(b).GetSymbol();
    EXPECT_EQ(p->GetSymbolType(), q->GetSymbolType());
    EXPECT_TRUE(SameFloats(p->GetPosition(), q->GetPosition(), 2));
    EXPECT_EQ(p->GetSize(), q->GetSize());
  } else if (auto* x = dynamic_cast<Kel2DCurveRep*>(&a)) {
    const Kel2DCurveGP *p = x->GetCurve(), *q = static_cast<Kel2DCurveRep&>(b).GetCurve();
    EXPECT_EQ(p->GetSag(), q->GetSag());
    ASSERT_EQ(p->GetNbSegments(), q->GetNbSegments());
    EXPECT_EQ(std::memcmp(p->GetPointsPerSegment(), q->GetPointsPerSegment(),
                          4u * unsigned(p->GetNbSegments())),
              0);
    SamePoints(p, q, 2);
  } else if (auto* x = dynamic_cast<Kel2DSimpleGeometricTextRep*>(&a)) {
    const Kel2DSimpleGeometricTextGP *p = x->GetText(),
                                     *q = static_cast<Kel2DSimpleGeometricTextRep&>(b).GetText();
    EXPECT_TRUE(SameFloats(p->GetPosition(), q->GetPosition(), 2));
    EXPECT_EQ(p->GetAnchor(), q->GetAnchor());
    EXPECT_EQ(p->GetHeight(), q->GetHeight());
    ASSERT_EQ(p->GetText() != nullptr, q->GetText() != nullptr);
    if (p->GetText()) {
      EXPECT_STREQ(p->GetText(), q->GetText());
    }
  } else if (auto* x = dynamic_cast<Kel2DImagePixelRep*>(&a)) {
    auto* y = static_cast<Kel2DImagePixelRep*>(&b);
    const Kel2DImagePixelGP *p = x->GetImagePixel(), *q = y->GetImagePixel();
    EXPECT_TRUE(SameFloats(p->GetPosition(), q->GetPosition(), 2));
    EXPECT_EQ(p->GetDisplayMode(), q->GetDisplayMode());
    EXPECT_EQ(p->GetAlphaMode(), q->GetAlphaMode());
    const KelPixelImage *i = x->GetPixelImage(), *j = y->GetPixelImage();
    ASSERT_EQ(i != nullptr, j != nullptr);
    if (i) {
      int w = 0, h = 0, w2 = 0, h2 = 0;
      i->GetSize(w, h);
      j->GetSize(w2, h2);
      ASSERT_EQ(w, w2);
      ASSERT_EQ(h, h2);
      ASSERT_EQ(i->GetFormat(), j->GetFormat());
      EXPECT_EQ(i->GetXPixelSize(), j->GetXPixelSize());
      EXPECT_EQ(i->GetYPixelSize(), j->GetYPixelSize());
      EXPECT_EQ(std::memcmp(i->GetPixelsToRead(), j->GetPixelsToRead(),
                            std::size_t(w * h * KelPixelImage::BytesPerPixel(i->GetFormat()))),
                0);
    }
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
    SameSphere(x.GetBoundingElement(), y.GetBoundingElement());
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

// Saves `original`, restores it and compares the two field by field; saved
// again, the restored graph gives the same bytes. `check` looks at the
// restored graph before both are destroyed.
void RoundTrip(KelRep* original, const std::function<void(KelRep&)>& check = nullptr) {
  KelVisuController saver;
  const std::string first = keltest::OutputPath("first.kel");
  const std::string second = keltest::OutputPath("second.kel");
  saver.SaveRepToFile(first.c_str(), original);
  KelRep* back = KelVisuController::RestoreRepFromFile(first.c_str());
  EXPECT_NE(back, nullptr);
  if (back) {
    Same(*original, *back);
    if (check) check(*back);
    saver.SaveRepToFile(second.c_str(), back);
    EXPECT_EQ(keltest::ReadBytes(first), keltest::ReadBytes(second));
    back->Destroy();
  }
  original->Destroy();
}

TEST(Marshalling, RepGraphsRoundTripFieldByFieldAndByteForByte) {
  // About 10^4 Reps (the benchmark saves 10^6).
  RoundTrip(Assembly(100, 100), [](KelRep& restored) {
    // The shared surface is one Rep with a parent in every bag.
    auto* last = static_cast<Kel3DBagRep*>(static_cast<Kel3DBagRep&>(restored).GetChild(99));
    EXPECT_EQ(last->GetChild(0)->GetParents().Count(), 100);
  });
}

TEST(Marshalling, LeavesLightsAndEdgesRoundTrip) {
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
  RoundTrip(root);
}

// The 2D leaves, some rebuilt from their parameters, under a 2D bag and a
// bag of its own with a matrix.
TEST(Marshalling, FlatLeavesOfParametersRoundTrip) {
  KelModelIdentificator i1 = Id(1), i2 = Id(2);
  auto* flat = new Kel2DBagRep(i1, nullptr);
  Kelpoint2f c(1, 2);
  flat->AddChild(*new Kel2DCrossRep(c, 4, 2, 1));
  flat->AddChild(*new Kel2DCrossRep(c, 3, 1, 0));
  flat->AddChild(*new Kel2DCadreRep(Kelpoint2f(0, 0), 5, 3, 1, ALL_CADRE_CORNERS));
  flat->AddChild(*new Kel2DCadreRep(Kelpoint2f(2, 1), 1, 1, 0.5f, BOTTOM_LEFT_CADRE_CORNER));
  const float at[] = {-1, 0.5f}, towards[] = {0, -2};
  flat->AddChild(*new Kel2DSymbolRep(at, 3, CROSSED_DISC_SYMBOL));
  flat->AddChild(*new Kel2DArrowSymbolRep(at, towards, 4, 0.3f, HOLLOW_TRIANGLE_ARROW_SYMBOL));
  const int perSegment[] = {3, 2};
  const float curve[] = {0, 0, 1, 1, 2, 0, 3, -1};
  flat->AddChild(*new Kel2DCurveRep(0.01f, 2, 4, perSegment, curve));
  auto* text = new Kel2DSimpleGeometricTextRep(at,
                                               "Pi\xc3\xa8"
                                               "ce 12",
                                               MIDDLE_CENTER, 2.5f);
  text->SetNewId(i2);
  flat->AddChild(*text);
  flat->AddChild(*new Kel2DSimpleGeometricTextRep(at, nullptr, TOP_RIGHT, 1));
  unsigned char rgba[3 * 2 * 4];
  for (unsigned i = 0; i < sizeof rgba; ++i) rgba[i] = static_cast<unsigned char>(37 * i);
  KelPixelImage picture(3, 2, PixelImageRGBA, rgba);
  picture.SetXPixelSize(0.5f);
  picture.SetYPixelSize(0.25f);
  auto* image = new Kel2DImagePixelRep(at, &picture, 2);
  image->AlphaModeOn();
  flat->AddChild(*image);
  flat->AddChild(*new Kel2DImagePixelRep(at, nullptr, 0));
  auto* inner = new Kel2DBagRep;
  inner->SetMatrix(Kel3x3Matrix(Kelvector2f(0, 1), Kelvector2f(-1, 0), Kelpoint2f(5, 6)));
  const float p[] = {1.5f, -2}, q[] = {0, 1, 2, 3};
  inner->AddChild(*new Kel2DPointRep(p, CROSSED_DISC_SYMBOL));
  inner->AddChild(*new Kel2DLineRep(q));
  const float triangle[] = {0, 0, 4, 0, 2, 3};
  inner->AddChild(*new Kel2DPolygonRep(triangle, 3, 1));
  const float centre2[] = {3, -1};
  inner->AddChild(*new Kel2DArcCircleRep(centre2, 1.5f, 5, 1));
  flat->AddChild(*inner);
  RoundTrip(flat, [](KelRep& back) {
    // By hand: the first arm of the cross stops at x = c.x - k, y = c.y - k b / a.
    auto* cross = static_cast<Kel2DCrossRep*>((*static_cast<Kel2DBagRep&>(back).GetChildren())[0]);
    const float arm[] = {-3, 0, 0, 1.5f};
    EXPECT_TRUE(SameFloats(cross->GetSegment(0)->GetPoints(), arm, 4));
  });

  // What the restore would refuse is not saved.
  KelVisuController saver;
  const std::string refused = keltest::OutputPath("flat-refused.kel");
  const std::string longText(5000, 'x');
  Kelpoint2f origin(0, 0);
  const float nowhere[] = {std::nanf(""), 0};
  for (Kel2DRep* rep : std::initializer_list<Kel2DRep*>{
           new Kel2DSimpleGeometricTextRep(at, longText.c_str(), BOTTOM_LEFT, 1),
           new Kel2DCrossRep(origin, 1e-30f, 1e15f, 1e15f), new Kel2DImagePixelRep(at, &picture, 3),
           new Kel2DSymbolRep(nowhere, 1, CIRCLE_SYMBOL)}) {
    std::remove(refused.c_str());
    saver.SaveRepToFile(refused.c_str(), rep);
    EXPECT_TRUE(keltest::ReadBytes(refused).empty());
    rep->Destroy();
  }
}

// Payloads written record by record, each wrapped in a file with a good
// checksum.
using Fill = std::function<void(KelMarshal&)>;

void Uints(KelMarshal& m, std::initializer_list<unsigned int> v) {
  for (unsigned int x : v) m.WriteUnsignedInt(x);
}
void Ints(KelMarshal& m, std::initializer_list<int> v) {
  for (int x : v) m.WriteInt(x);
}
void Floats(KelMarshal& m, std::initializer_list<float> v) {
  for (float x : v) m.WriteFloat(x);
}

// A record's class, identificator and attributes (none).
void Head(KelMarshal& m, const char* kind, unsigned long id = 0) {
  m.WriteString(kind);
  m.WriteUnsignedLong(id);
  Uints(m, {0, 0});
}

// A bag record without a matrix holding the records `children`.
void Bag(KelMarshal& m, const std::vector<unsigned int>& children, unsigned long id = 0,
         const char* kind = "Kel3DBagRep") {
  Head(m, kind, id);
  m.WriteInt(0);
  m.WriteUnsignedInt(static_cast<unsigned int>(children.size()));
  for (unsigned int i : children) m.WriteUnsignedInt(i);
}

// The root's class, the count of records, then the records.
Fill Records(unsigned int count, const Fill& records, const char* root = "Kel3DBagRep") {
  return [=](KelMarshal& m) {
    Name(m, root);
    m.WriteUnsignedInt(count);
    records(m);
  };
}

// One leaf record under a bag of the root's class.
Fill One(const Fill& leaf, const char* root = "Kel3DBagRep") {
  return Records(
      2,
      [=](KelMarshal& m) {
        leaf(m);
        Bag(m, {0}, 0, root);
      },
      root);
}

// Whether the payload restores from a file of the given version.
bool Restores(const Fill& fill, unsigned int version = 1) {
  KelMarshal payload;
  fill(payload);
  const std::string file = keltest::OutputPath("payload.kel");
  keltest::WriteBytes(file, Wrap(payload, version));
  KelRep* rep = KelVisuController::RestoreRepFromFile(file.c_str());
  if (rep) rep->Destroy();
  return rep != nullptr;
}

struct Hostile {
  const char* what;
  Fill fill;
};

// Each bound of the 2D leaves' records, one leaf under a 2D bag; the same
// leaf made sound restores.
TEST(Marshalling, HostileFlatLeavesAreRefused) {
  auto leaf = [](const char* kind, Fill fields) {
    return One(
        [=](KelMarshal& m) {
          Head(m, kind);
          fields(m);
        },
        "Kel2DBagRep");
  };
  auto cross = [&](float a, float b, float k) {
    return leaf("Kel2DCrossRep", [=](KelMarshal& m) { Floats(m, {0, 0, a, b, k}); });
  };
  auto cadre = [&](int corner, float length) {
    return leaf("Kel2DCadreRep", [=](KelMarshal& m) {
      m.WriteInt(corner);
      Floats(m, {0, 0, 1, 1, length});
    });
  };
  auto symbol = [&](int type, float size) {
    return leaf("Kel2DSymbolRep", [=](KelMarshal& m) {
      m.WriteInt(type);
      Floats(m, {0, 0, size});
    });
  };
  auto arrow = [&](int type, float halfAngle) {
    return leaf("Kel2DArrowSymbolRep", [=](KelMarshal& m) {
      m.WriteInt(type);
      Floats(m, {0, 0, 1, 0, 2, halfAngle});
    });
  };
  auto curve = [&](unsigned int points, std::vector<int> perSegment) {
    return leaf("Kel2DCurveRep", [=](KelMarshal& m) {
      m.WriteFloat(0.1f);
      Uints(m, {static_cast<unsigned int>(perSegment.size()), points});
      for (int n : perSegment) m.WriteInt(n);
      for (unsigned int i = 0; i < 2 * points && i < 64; ++i) m.WriteFloat(float(i));
    });
  };
  auto text = [&](int anchor, float height, std::string chars) {
    return leaf("Kel2DSimpleGeometricTextRep", [=](KelMarshal& m) {
      Floats(m, {0, 0});
      m.WriteInt(anchor);
      m.WriteFloat(height);
      m.WriteInt(1);
      m.WriteBlock(chars.data(), chars.size() + 1);
    });
  };
  auto image = [&](int mode, int alpha, int width, int height, int format) {
    return leaf("Kel2DImagePixelRep", [=](KelMarshal& m) {
      Floats(m, {0, 0});
      Ints(m, {mode, alpha, 1, width, height, format});
      Floats(m, {1, 1});
      const std::vector<unsigned char> pixels(std::size_t(width) * std::size_t(height) * 4);
      m.WriteBytes(pixels.data(), pixels.size());
    });
  };
  const std::vector<Hostile> cases = {
      {"a cross of a length of 10^30", cross(1e30f, 1, 1)},
      {"a cross of an infinite slope", cross(1e-30f, 1e15f, 1e15f)},
      {"frame corner 5", cadre(5, 1)},
      {"frame corner -1", cadre(-1, 1)},
      {"frame legs of 10^30", cadre(0, 1e30f)},
      {"symbol type 0", symbol(0, 1)},
      {"symbol type 23", symbol(23, 1)},
      {"a symbol of 10^30 mm", symbol(17, 1e30f)},
      {"arrow type 99", arrow(99, 0.3f)},
      {"an arrow half-angle of 10^30", arrow(11, 1e30f)},
      {"a curve without points", curve(0, {})},
      {"segments not adding up", curve(4, {2, 2})},
      {"a segment of no point", curve(3, {0, 4})},
      {"curve points beyond the file", curve(0x10000000u, {})},
      {"anchor 9", text(9, 1, "a")},
      {"anchor -1", text(-1, 1, "a")},
      {"a text height of 10^30", text(0, 1e30f, "a")},
      {"a text of 4096 characters", text(0, 1, std::string(4096, 'a'))},
      {"a zero inside a text", text(0, 1, std::string("a\0b", 3))},
      {"image mode 3", image(3, 0, 1, 1, 3)},
      {"alpha mode 2", image(0, 2, 1, 1, 3)},
      {"an image of no width", image(0, 0, 0, 1, 3)},
      {"an image 70000 wide", image(0, 0, 70000, 1, 0)},
      {"image format 4", image(0, 0, 1, 1, 4)},
  };
  for (const Hostile& c : cases) EXPECT_FALSE(Restores(c.fill)) << c.what;
  for (const Fill& fine :
       {cross(1, 1, 1), cadre(4, 1), symbol(22, 1), arrow(14, 0.3f), curve(4, {3, 2}),
        text(8, 1, std::string(4095, 'a')), image(2, 1, 2, 3, 3)})
    EXPECT_TRUE(Restores(fine));
}

TEST(Marshalling, ControllerRestoresIntoTheUnmarshallingControllerAndCache) {
  KelVisuController saved;
  saved.SetAssociatedGraphicTable(new KelHashRepTable);
  saved.SetGraphicModel(Assembly(3, 4, &saved));
  saved.SetType(2);
  saved.SetLodModeOn();
  const std::string file = keltest::OutputPath("model");
  saved.SaveToFile(file.c_str(), 7);

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
  // A surface record whose one face holds `index`, with one level of detail
  // of `lodSag` when that is not zero, and an edge on face `edgeFace` when
  // that is not -1.
  auto surface = [](KelMarshal& m, int index, float sag = 0, float lodSag = 0, int edgeFace = -1) {
    auto face = [&m, index] {
      m.WriteUnsignedInt(9);
      for (int i = 0; i < 9; ++i) m.WriteFloat(float(i));
      Uints(m, {0, 1});
      Ints(m, {0, 3, index});
      Uints(m, {0, 0});
    };
    Head(m, "KelSurfacicRep");
    m.WriteInt(1);
    Floats(m, {1, 1, 1, 1, 1, sag});
    m.WriteInt(1);
    Uints(m, {1, 0, 0});  // one face, its attributes
    face();
    m.WriteUnsignedInt(lodSag != 0 ? 1 : 0);
    if (lodSag != 0) {
      Uints(m, {0, 0});  // the level's attributes, then its sag
      m.WriteFloat(lodSag);
      face();
    }
    m.WriteUnsignedInt(edgeFace != -1 ? 1 : 0);
    if (edgeFace != -1) {
      Uints(m, {0, 0});
      Ints(m, {edgeFace, -1});
      m.WriteUnsignedInt(2);
      Ints(m, {0, 3});
    }
  };
  // A light set record of `count` lights along `d`.
  auto lights = [](KelMarshal& m, int count, float d) {
    Head(m, "KelLightSourceSetRep");
    m.WriteInt(count);
    for (int i = 0; i < 6; ++i) m.WriteFloat(d);
  };
  // A sphere record of `radius` and `n` meridians.
  auto sphere = [](KelMarshal& m, float radius, int n) {
    Head(m, "Kel3DSimpleSphereRep");
    Floats(m, {0, 0, 0, radius});
    m.WriteInt(n);
  };
  // `count` said, then bag records of (identificator, children).
  using Bags = std::vector<std::pair<unsigned long, std::vector<unsigned int>>>;
  auto bags = [](unsigned int count, Bags records, const char* root = "Kel3DBagRep") {
    return Records(
        count,
        [records](KelMarshal& m) {
          for (const auto& r : records) Bag(m, r.second, r.first);
        },
        root);
  };
  const std::vector<Hostile> cases = {
      {"empty name", [](KelMarshal& m) { m.WriteUnsignedInt(0); }},
      {"huge name", [](KelMarshal& m) { m.WriteUnsignedInt(0xffffffffu); }},
      {"unknown class", [](KelMarshal& m) { Name(m, "KelPathElementRep"); }},
      {"the base's name", bags(1, {{1, {}}}, "KelRep")},
      {"no records", bags(0, {})},
      {"count beyond the file", bags(0x10000000u, {{1, {}}})},
      {"child read after its bag", bags(2, {{1, {1}}, {2, {}}})},
      {"a bag its own child", bags(1, {{1, {0}}})},
      {"unreachable record", bags(2, {{1, {}}, {2, {}}})},
      {"one identificator twice", bags(2, {{5, {}}, {5, {0}}})},
      {"root of another class", bags(1, {{1, {}}}, "Kel2DBagRep")},
      {"index outside the face", One([&](KelMarshal& m) { surface(m, 9); })},
      {"index not a vertex", One([&](KelMarshal& m) { surface(m, 4); })},
      {"a sag that is not a number", One([&](KelMarshal& m) { surface(m, 6, std::nanf("")); })},
      {"a level of detail whose sag is not a number",
       One([&](KelMarshal& m) { surface(m, 6, 0, std::nanf("")); })},
      {"an edge on a face the surface lacks", One([&](KelMarshal& m) { surface(m, 6, 0, 0, 1); })},
      {"three lights", One([&](KelMarshal& m) { lights(m, 3, 1); })},
      {"a light along no direction", One([&](KelMarshal& m) { lights(m, 1, std::nanf("")); })},
      {"a radius of 10^30", One([&](KelMarshal& m) { sphere(m, 1e30f, 8); })},
      {"a sphere of 2^31 - 1 meridians", One([&](KelMarshal& m) { sphere(m, 1, 0x7fffffff); })},
      // Each sphere is within bounds, four of them (4 x 1025^2 vertices) are not.
      {"meshes larger than a file may ask for", Records(5,
                                                        [&](KelMarshal& m) {
                                                          for (int i = 0; i < 4; ++i)
                                                            sphere(m, 1, 1024);
                                                          Bag(m, {0, 1, 2, 3}, 1);
                                                        })},
      {"an arc ending 10^30 radians on", One([](KelMarshal& m) {
         Head(m, "Kel3DArcCircleRep");
         Floats(m, {0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0, 1e30f});
       })},
  };
  for (const Hostile& c : cases) EXPECT_FALSE(Restores(c.fill)) << c.what;
  // The same records made sound restore; a newer version of them does not.
  const Fill fine = Records(3, [&](KelMarshal& m) {
    surface(m, 6, 0, 0.5f, 0);
    lights(m, 2, 1);
    Bag(m, {0, 1}, 1);
  });
  EXPECT_TRUE(Restores(fine));
  EXPECT_TRUE(Restores(One([&](KelMarshal& m) { sphere(m, 1, 8); })));
  EXPECT_FALSE(Restores(fine, 2));
}

// A cylinder along z of `n` levels, each of `sag`.
void Cylinder(KelMarshal& m, float radius, float planeX, unsigned int n, float sag = 0.1f) {
  Head(m, "Kel3DCylinderRep");
  Floats(m, {0, 0, 0, 0, 0, 1, radius, planeX, 0, 0});
  m.WriteUnsignedInt(n);
  for (unsigned int i = 0; i < n; ++i) m.WriteFloat(sag);
}

// A plan or curve: head and volume; the caller writes the rest.
void Held(KelMarshal& m, const char* kind, float radius = 1) {
  Head(m, kind);
  m.WriteInt(1);
  Floats(m, {0, 0, 0, radius, 0});
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

  // Payloads of one Rep under a bag (the volume-setting owner of plans and
  // curves is the file).
  auto plan1 = [](Fill gp) {
    return One([gp](KelMarshal& m) {
      Held(m, "Kel3DPlanRep");
      gp(m);
    });
  };
  auto curve1 = [](float sag, unsigned int n) {
    return One([sag, n](KelMarshal& m) {
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
    Floats(m, {0, 0, 0, x, 1, 1});
  };
  std::vector<unsigned int> all(470);
  for (unsigned int i = 0; i < all.size(); ++i) all[i] = i;
  const std::vector<Hostile> cases = {
      {"a cylinder radius of 10^30", One([](KelMarshal& m) { Cylinder(m, 1e30f, 1, 2); })},
      {"a plane vector of length 2", One([](KelMarshal& m) { Cylinder(m, 1, 2, 2); })},
      {"a cylinder of 17 levels", One([](KelMarshal& m) { Cylinder(m, 1, 1, 17); })},
      {"a cylinder sag at no number",
       One([](KelMarshal& m) { Cylinder(m, 1, 1, 2, std::nanf("")); })},
      // 15 meshes of 300 points: 9032 vertices a cylinder, 470 of them
      // beyond the 2^22 a file may make.
      {"cylinders beyond the vertex allowance", Records(471,
                                                        [&all](KelMarshal& m) {
                                                          for (int i = 0; i < 470; ++i)
                                                            Cylinder(m, 1, 1, 16, 1e-6f);
                                                          Bag(m, all);
                                                        })},
      {"a curve sag below zero", curve1(-1, 1)},
      {"a curve without levels", curve1(0, 0)},
      {"a plan of a volume at no number", One([](KelMarshal& m) {
         Held(m, "Kel3DPlanRep", std::nanf(""));
         m.WriteInt(0);
       })},
      {"a primitive of unknown kind", plan1([](KelMarshal& m) { m.WriteInt(9); })},
      {"a bag inside a bag", plan1([](KelMarshal& m) {
         Uints(m, {5, 1, 5, 0});
       })},
      {"a polyline of 2^30 points", plan1([&](KelMarshal& m) { polyline(m, 1u << 30); })},
      {"a polyline point at no number",
       plan1([&](KelMarshal& m) { polyline(m, 2, std::nanf("")); })},
  };
  for (const Hostile& k : cases) EXPECT_FALSE(Restores(k.fill)) << k.what;
  // The same records made sound restore.
  for (const Fill& sound :
       {One([](KelMarshal& m) { Cylinder(m, 1, 1, 16, 1e-6f); }), plan1([&](KelMarshal& m) {
          Uints(m, {5, 1});
          polyline(m, 2);
        }),
        curve1(0.5f, 2)})
    EXPECT_TRUE(Restores(sound));
}

}  // namespace
