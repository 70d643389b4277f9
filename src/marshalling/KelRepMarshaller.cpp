// The "KelMarshallableCorba" interface of every class that may be saved and
// restored, and the registry of those classes: a file naming any other class
// is refused. Layout in docs/marshalling.md.
#include "KelRepMarshaller.h"

#include "KelRepRecords.h"

#include <kel/controller/KelVisuController.h>
#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelMarshallableCorba.h>
#include <kel/primitives/Kel2DLineGP.h>
#include <kel/primitives/Kel2DMarkerGP.h>
#include <kel/primitives/Kel2DPolygonGP.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DFixedArrowGP.h>
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

#include <iostream>

namespace kelmarsh {
namespace {

int Write3DBag(Writer& w, const KelRep& rep) {
  const auto& bag = static_cast<const Kel3DBagRep&>(rep);
  w.Common(bag);
  const Kel4x4Matrix* m = bag.GetMatrix();
  w.out.WriteInt(m ? 1 : 0);
  if (m)
    for (int i = 0; i < 16; ++i) w.out.WriteFloat(m->GetMatrix()[i]);
  w.Children(bag);
  return 0;
}

KelRep* Read3DBag(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  if (!r.Common(id, a)) return nullptr;
  int hasMatrix = 0;
  float m[16];
  r.in.ReadInt(hasMatrix);
  if (hasMatrix)
    for (float& x : m) r.in.ReadFloat(x);
  unsigned int n = 0;
  if (!r.Ok() || !r.Count(n, 4)) return nullptr;
  auto* bag = new Kel3DBagRep(id, r.controller);
  // Listed at once, so that a failure below takes it down with the rest.
  r.built.push_back(bag);
  bag->SetGraphicAttributeSet(a);
  if (hasMatrix) {
    Kel4x4Matrix matrix(Kelvector3f(m[0], m[1], m[2]), Kelvector3f(m[4], m[5], m[6]),
                        Kelvector3f(m[8], m[9], m[10]), Kelvector3f(m[12], m[13], m[14]));
    matrix.SetTranslation(Kelvector3f(m[12], m[13], m[14]), m[15]);
    bag->SetMatrix(matrix);
  }
  for (unsigned int i = 0; i < n; ++i) {
    KelRep* child = r.Child();
    if (!child) return nullptr;
    if (!child->IsAKindOf(Kel3DRep::ClassName())) return r.Fail("a 2D child in a 3D bag"), nullptr;
    bag->AddChild(static_cast<Kel3DRep&>(*child));
  }
  return bag;
}

int WriteSurfacic(Writer& w, const KelRep& rep) {
  const auto& s = static_cast<const KelSurfacicRep&>(rep);
  // An edge is saved with the positions of its faces among the surface's.
  auto faceIndex = [&s](const Kel3DBoundingGP* face) {
    for (int i = 0; i < s.GetNbFaces(); ++i)
      if (s.GetFace(i) == face) return i;
    return -1;
  };
  for (int j = 0; j < s.GetNbEdges(); ++j) {
    const Kel3DEdgeGP* e = s.GetEdge(j);
    if (!e || e->GetNbIndices() < 2 || faceIndex(e->GetFirstFace()) < 0 ||
        (e->GetSecondFace() && faceIndex(e->GetSecondFace()) < 0)) {
      std::cerr << "KelMarshalling: an edge on no face of its KelSurfacicRep cannot be saved."
                << std::endl;
      return 1;
    }
  }
  w.Common(s);
  w.Sphere(s.GetBoundingElement());
  w.out.WriteFloat(s.GetGeomSag());
  w.out.WriteInt(s.GetLODMode());
  w.out.WriteUnsignedInt(static_cast<unsigned int>(s.GetNbFaces()));
  for (int i = 0; i < s.GetNbFaces(); ++i) {
    w.Attributes(*s.GetFaceAttributes(i));
    if (w.Face(s.GetFace(i)) != 0) return 1;
  }
  w.out.WriteUnsignedInt(static_cast<unsigned int>(s.GetNbLODs()));
  for (int k = 1; k <= s.GetNbLODs(); ++k) {
    w.Attributes(*s.GetLODAttributes(k));
    w.out.WriteFloat(s.GetLODSag(k));
    if (w.Face(s.GetLODFace(k)) != 0) return 1;
  }
  w.out.WriteUnsignedInt(static_cast<unsigned int>(s.GetNbEdges()));
  for (int j = 0; j < s.GetNbEdges(); ++j) {
    const Kel3DEdgeGP* e = s.GetEdge(j);
    w.Attributes(*s.GetEdgeAttributes(j));
    w.out.WriteInt(faceIndex(e->GetFirstFace()));
    w.out.WriteInt(e->GetSecondFace() ? faceIndex(e->GetSecondFace()) : -1);
    w.out.WriteUnsignedInt(static_cast<unsigned int>(e->GetNbIndices()));
    for (int i = 0; i < e->GetNbIndices(); ++i) w.out.WriteInt(e->GetIndices()[i]);
  }
  return 0;
}

KelRep* ReadSurfacic(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  Kel3DBoundingSphere sphere;
  float sag = 0;
  int lodMode = 1;
  unsigned int nbFaces = 0, nbLods = 0;
  if (!r.Common(id, a) || !r.Sphere(sphere)) return nullptr;
  r.in.ReadFloat(sag);
  r.in.ReadInt(lodMode);
  // A face takes at least its attributes and five counts.
  if (!r.Ok() || !r.Count(nbFaces, 8 + 20)) return nullptr;
  auto* s = new KelSurfacicRep(id, r.controller);
  r.built.push_back(s);
  s->SetGraphicAttributeSet(a);
  // Written so that a sag that is not a number is refused too.
  if (!(sag >= 0)) return r.Fail("a negative sag"), nullptr;
  s->SetGeomSag(sag);
  s->SetLODMode(lodMode);
  for (unsigned int i = 0; i < nbFaces; ++i) {
    KelGraphicAttributeSet fa;
    if (!r.Attributes(fa)) return nullptr;
    Kel3DFaceGP* face = r.Face();
    if (!face) return nullptr;
    s->AddGeomFace(face, new KelGraphicAttributeSet(fa));
  }
  if (!r.Count(nbLods, 8 + 4 + 20)) return nullptr;
  if (nbLods > static_cast<unsigned int>(KelSurfacicRep::MAX_LODS))
    return r.Fail("more levels of detail than a surface keeps"), nullptr;
  for (unsigned int k = 0; k < nbLods; ++k) {
    KelGraphicAttributeSet la;
    float lodSag = 0;
    if (!r.Attributes(la)) return nullptr;
    r.in.ReadFloat(lodSag);
    Kel3DFaceGP* face = r.Face();
    if (!face) return nullptr;
    if (!(lodSag >= 0)) {
      KelGraphicPrimitive::Destroy(face);
      return r.Fail("a negative sag"), nullptr;
    }
    if (KelVisuController::GetLodRestoreMode())
      s->AddLOD(face, new KelGraphicAttributeSet(la), lodSag);
    else
      KelGraphicPrimitive::Destroy(face);
  }
  // An edge takes at least its attributes, two face positions and a count.
  unsigned int nbEdges = 0;
  if (!r.Count(nbEdges, 8 + 12)) return nullptr;
  for (unsigned int j = 0; j < nbEdges; ++j) {
    KelGraphicAttributeSet ea;
    int first = 0, second = 0;
    unsigned int n = 0;
    std::vector<int> indices;
    if (!r.Attributes(ea)) return nullptr;
    r.in.ReadInt(first);
    r.in.ReadInt(second);
    if (!r.Ok() || !r.Count(n, 4) || !r.Ints(indices, n)) return nullptr;
    const auto faces = static_cast<unsigned int>(s->GetNbFaces());
    if (first < 0 || static_cast<unsigned int>(first) >= faces || second < -1 ||
        (second >= 0 && static_cast<unsigned int>(second) >= faces))
      return r.Fail("an edge on no face of its surface"), nullptr;
    if (n < 2 || n >= static_cast<unsigned int>(Kel3DEdgeGP::MAX_POINTS))
      return r.Fail("an edge of too few or too many points"), nullptr;
    auto* face = static_cast<Kel3DFaceGP*>(s->GetFace(first));
    for (int x : indices)
      if (x > Kel3DEdgeGP::MAX_INDEX)
        return r.Fail("an index outside the face's vertices"), nullptr;
    if (!r.Indices(indices, static_cast<unsigned int>(face->GetNbVertexCoords()))) return nullptr;
    auto* edge = new Kel3DEdgeGP(face, second >= 0 ? s->GetFace(second) : nullptr, indices.data(),
                                 static_cast<int>(n));
    // The edge refuses what it cannot share (and is then empty).
    if (edge->GetNbIndices() != static_cast<int>(n)) {
      KelGraphicPrimitive::Destroy(edge);
      return r.Fail("an edge its face cannot carry"), nullptr;
    }
    s->AddGeomEdge(edge, new KelGraphicAttributeSet(ea));
  }
  s->SetBoundingElement(sphere);
  return s;
}

// ---- Leaves: the geometry they were built from; they make their volumes.

int Write3DPoint(Writer& w, const KelRep& rep) {
  const Kel3DMarkerGP* m = static_cast<const Kel3DPointRep&>(rep).GetMarker();
  if (!m || m->GetNbPoints() != 1) return Empty("Kel3DPointRep");
  w.Common(rep);
  w.out.WriteInt(m->GetSymbolType());
  w.Floats(m->GetPoints(), 3);
  return 0;
}

KelRep* Read3DPoint(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  int type = 0;
  float p[3];
  if (!r.Common(id, a)) return nullptr;
  r.in.ReadInt(type);
  if (!r.Floats(p, 3)) return nullptr;
  auto* rep = new Kel3DPointRep(p, static_cast<SymbolType>(type), id, r.controller);
  r.built.push_back(rep);
  rep->SetGraphicAttributeSet(a);
  return rep;
}

int Write3DLine(Writer& w, const KelRep& rep) {
  const Kel3DLineGP* l = static_cast<const Kel3DLineRep&>(rep).GetLine();
  if (!l || l->GetNbPoints() != 2) return Empty("Kel3DLineRep");
  w.Common(rep);
  w.Floats(l->GetPoints(), 6);
  return 0;
}

KelRep* Read3DLine(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  float p[6];
  if (!r.Common(id, a) || !r.Floats(p, 6)) return nullptr;
  auto* rep = new Kel3DLineRep(p, id, r.controller);
  r.built.push_back(rep);
  rep->SetGraphicAttributeSet(a);
  return rep;
}

// A light set: its count (0 to 2) and both directions.
int WriteLights(Writer& w, const KelRep& rep) {
  const auto& l = static_cast<const KelLightSourceSetRep&>(rep);
  w.Common(rep);
  w.out.WriteInt(l.GetLightSourceCount());
  const float x[3] = {1, 0, 0};
  for (const Kel3DLightSourceGP* gp : {l.GetFirstLight(), l.GetSecondLight()})
    w.Floats(gp ? gp->GetDirection() : x, 3);
  return 0;
}

KelRep* ReadLights(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  int count = 0;
  float d[6];
  if (!r.Common(id, a)) return nullptr;
  r.in.ReadInt(count);
  if (!r.Floats(d, 6)) return nullptr;
  if (count < 0 || count > 2) return r.Fail("a light set of more than two lights"), nullptr;
  const Keldirection3f d1(d[0], d[1], d[2]), d2(d[3], d[4], d[5]);
  const KelLightSourceSet set = count == 0   ? KelLightSourceSet()
                                : count == 1 ? KelLightSourceSet(d1)
                                             : KelLightSourceSet(d1, d2);
  auto* rep = new KelLightSourceSetRep(set);
  r.Adopt(rep, id, a);
  return rep;
}

// An axis system: its frame's origin and axes, then each arrow's size
// (screen millimetres) and text (present flag, then the string).
constexpr int kMaxAxisSize = 10000;

int WriteAxis(Writer& w, const KelRep& rep) {
  const auto& x = static_cast<const Kel3DAxisRep&>(rep);
  for (int k = 0; k < 3; ++k)
    if (!x.GetArrow(k)) return Empty("Kel3DAxisRep");
  for (int k = 0; k < 3; ++k)
    if (x.GetArrow(k)->GetLength() < 1 || x.GetArrow(k)->GetLength() > kMaxAxisSize) {
      std::cerr << "KelMarshalling: a Kel3DAxisRep of arrows outside 1 to " << kMaxAxisSize
                << " mm cannot be saved." << std::endl;
      return 1;
    }
  w.Common(rep);
  w.Corner(x.GetOrigin(), {&x.GetFrameAxis(0), &x.GetFrameAxis(1), &x.GetFrameAxis(2)});
  for (int k = 0; k < 3; ++k) {
    const Kel3DFixedArrowGP* arrow = x.GetArrow(k);
    w.out.WriteInt(arrow->GetLength());
    w.out.WriteInt(arrow->GetText() ? 1 : 0);
    if (arrow->GetText()) w.out.WriteString(arrow->GetText());
  }
  return 0;
}

KelRep* ReadAxis(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  float p[12];
  int sizes[3] = {0, 0, 0};
  std::string texts[3];
  bool hasText[3] = {false, false, false};
  if (!r.Common(id, a) || !r.Floats(p, 12)) return nullptr;
  for (int k = 0; k < 3; ++k) {
    int flag = 0;
    r.in.ReadInt(sizes[k]);
    r.in.ReadInt(flag);
    if (!r.Ok()) return nullptr;
    // The constructor would put every size back to its default.
    if (sizes[k] < 1 || sizes[k] > kMaxAxisSize)
      return r.Fail("an axis arrow of a size outside 1 to 10000"), nullptr;
    hasText[k] = flag != 0;
    if (hasText[k] && r.in.ReadString(texts[k]) != 0) return r.Fail("truncated"), nullptr;
  }
  Kel4x4Matrix frame(Kelvector3f(p[3], p[4], p[5]), Kelvector3f(p[6], p[7], p[8]),
                     Kelvector3f(p[9], p[10], p[11]), Kelvector3f(p[0], p[1], p[2]));
  auto text = [&](int k) { return hasText[k] ? texts[k].c_str() : nullptr; };
  auto* rep = new Kel3DAxisRep(frame, sizes[0], text(0), sizes[1], text(1), sizes[2], text(2), id,
                               r.controller);
  r.built.push_back(rep);
  rep->SetGraphicAttributeSet(a);
  return rep;
}

// An arc: centre, normal, axis, radius, start and end angles.
int WriteArc(Writer& w, const KelRep& rep) {
  const auto& c = static_cast<const Kel3DArcCircleRep&>(rep);
  if (!c.GetArc()) return Empty("Kel3DArcCircleRep");
  if (!SaneLength(c.GetRadius()) || !SaneAngles(c.GetStart(), c.GetEnd()))
    return Unsavable("Kel3DArcCircleRep");
  w.Common(rep);
  for (const float* v : {c.GetCenter(), c.GetNormal(), c.GetAxis()}) w.Floats(v, 3);
  for (float x : {c.GetRadius(), c.GetStart(), c.GetEnd()}) w.out.WriteFloat(x);
  return 0;
}

KelRep* ReadArc(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  float p[12];
  // Its drawing makes at most Kel3DArcCircleGP::MAX_POINTS points.
  if (!r.Common(id, a) || !r.Floats(p, 12) || !r.Length(p[9])) return nullptr;
  if (!SaneAngles(p[10], p[11])) return r.Fail("an angle beyond 10^6 radians"), nullptr;
  auto* rep = new Kel3DArcCircleRep(p, p + 3, p + 6, p[9], p[10], p[11], id, r.controller);
  r.built.push_back(rep);
  rep->SetGraphicAttributeSet(a);
  return rep;
}

int WriteCloud(Writer& w, const KelRep& rep) {
  const Kel3DMarkerGP* m = static_cast<const Kel3DCloudOfPointsRep&>(rep).GetMarker();
  if (!m || m->GetNbPoints() < 1) return Empty("Kel3DCloudOfPointsRep");
  w.Common(rep);
  w.out.WriteUnsignedInt(static_cast<unsigned int>(m->GetNbPoints()));
  w.Floats(m->GetPoints(), 3 * m->GetNbPoints());
  return 0;
}

KelRep* ReadCloud(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  unsigned int n = 0;
  if (!r.Common(id, a) || !r.Count(n, 12)) return nullptr;
  if (n == 0) return r.Fail("a cloud without points"), nullptr;
  std::vector<float> p(3 * std::size_t(n));
  if (!r.Floats(p.data(), static_cast<int>(p.size()))) return nullptr;
  auto* rep = new Kel3DCloudOfPointsRep(p.data(), static_cast<int>(n), id, r.controller);
  r.built.push_back(rep);
  rep->SetGraphicAttributeSet(a);
  return rep;
}

// ---- Simple 3D Reps: the parameters they were built from; restoring
// rebuilds them (their meshes are not saved).

int WriteCuboid(Writer& w, const KelRep& rep) {
  const auto& c = static_cast<const Kel3DCuboidRep&>(rep);
  if (!c.GetFace(0)) return Empty("Kel3DCuboidRep");
  w.Common(rep);
  w.Corner(c.GetCorner(), {&c.GetU(), &c.GetV(), &c.GetW()});
  return 0;
}

KelRep* ReadCuboid(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  float p[12];
  if (!r.Common(id, a) || !r.Floats(p, 12) || !r.Mesh(24)) return nullptr;
  auto* rep = new Kel3DCuboidRep(Kelpoint3f(p[0], p[1], p[2]), Kelvector3f(p[3], p[4], p[5]),
                                 Kelvector3f(p[6], p[7], p[8]), Kelvector3f(p[9], p[10], p[11]),
                                 a.color, id, r.controller);
  r.built.push_back(rep);
  rep->SetGraphicAttributeSet(a);
  return rep;
}

int WriteRectangle(Writer& w, const KelRep& rep) {
  const auto& c = static_cast<const Kel3DRectangleRep&>(rep);
  if (!c.GetFace()) return Empty("Kel3DRectangleRep");
  w.Common(rep);
  w.Corner(c.GetCorner(), {&c.GetU(), &c.GetV()});
  return 0;
}

KelRep* ReadRectangle(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  float p[9];
  if (!r.Common(id, a) || !r.Floats(p, 9) || !r.Mesh(4)) return nullptr;
  auto* rep = new Kel3DRectangleRep(Kelpoint3f(p[0], p[1], p[2]), Kelvector3f(p[3], p[4], p[5]),
                                    Kelvector3f(p[6], p[7], p[8]), a.color, id, r.controller);
  r.built.push_back(rep);
  rep->SetGraphicAttributeSet(a);
  return rep;
}

int WriteSphere(Writer& w, const KelRep& rep) {
  const auto& s = static_cast<const Kel3DSimpleSphereRep&>(rep);
  if (!s.GetFace()) return Empty("Kel3DSimpleSphereRep");
  if (!SaneLength(s.GetRadius())) return Unsavable("Kel3DSimpleSphereRep");
  w.Common(rep);
  for (int k = 0; k < 3; ++k) w.out.WriteFloat(s.GetCenter()[k]);
  w.out.WriteFloat(s.GetRadius());
  w.out.WriteInt(s.GetNbMeridians());
  return 0;
}

KelRep* ReadSphere(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  float p[4];
  int n = 0;
  if (!r.Common(id, a) || !r.Floats(p, 4)) return nullptr;
  r.in.ReadInt(n);
  if (!r.Ok() || !r.Length(p[3])) return nullptr;
  if (n < Kel3DSimpleSphereRep::MIN_MERIDIANS || n > Kel3DSimpleSphereRep::MAX_MERIDIANS)
    return r.Fail("a sphere of too few or too many meridians"), nullptr;
  if (!r.Mesh(std::uint64_t(n + 1) * std::uint64_t(n + 1))) return nullptr;
  auto* rep = new Kel3DSimpleSphereRep(Kelpoint3f(p[0], p[1], p[2]), p[3], n, id, r.controller);
  r.built.push_back(rep);
  rep->SetGraphicAttributeSet(a);
  return rep;
}

int WriteCone(Writer& w, const KelRep& rep) {
  const auto& c = static_cast<const Kel3DSimpleConeRep&>(rep);
  if (!c.GetFace()) return Empty("Kel3DSimpleConeRep");
  if (!SaneLength(c.GetRadius())) return Unsavable("Kel3DSimpleConeRep");
  w.Common(rep);
  for (int k = 0; k < 3; ++k) w.out.WriteFloat(c.GetBase()[k]);
  for (int k = 0; k < 3; ++k) w.out.WriteFloat(c.GetApex()[k]);
  w.out.WriteFloat(c.GetRadius());
  w.out.WriteInt(c.GetNbFacets());
  return 0;
}

KelRep* ReadCone(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  float p[7];
  int n = 0;
  if (!r.Common(id, a) || !r.Floats(p, 7)) return nullptr;
  r.in.ReadInt(n);
  if (!r.Ok() || !r.Length(p[6])) return nullptr;
  if (n < Kel3DSimpleConeRep::MIN_FACETS || n > Kel3DSimpleConeRep::MAX_FACETS)
    return r.Fail("a cone of too few or too many facets"), nullptr;
  if (!r.Mesh(2 * std::uint64_t(n) + 4)) return nullptr;
  auto* rep = new Kel3DSimpleConeRep(Kelpoint3f(p[0], p[1], p[2]), Kelpoint3f(p[3], p[4], p[5]),
                                     p[6], n, id, r.controller);
  r.built.push_back(rep);
  rep->SetGraphicAttributeSet(a);
  return rep;
}

bool Finite(const float* v, int n) {
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(v[i])) return false;
  return true;
}

// A plane vector read back must still be a direction (unit length).
bool UnitLength(const float* d) {
  const double n = double(d[0]) * d[0] + double(d[1]) * d[1] + double(d[2]) * d[2];
  return std::fabs(n - 1.0) <= 1e-4;
}

// A cylinder: base, axis vector, radius, plane vector, then its levels' sags
// (finest first, the last one its axis) so that it is rebuilt level for level.
int WriteCylinder(Writer& w, const KelRep& rep) {
  const auto& c = static_cast<const Kel3DCylinderRep&>(rep);
  const int n = c.GetNbLevels();
  if (n < 1 || !c.GetAxisLine()) return Empty("Kel3DCylinderRep");
  const float* plane = c.GetPlaneVector().GetCoord();
  if (!SaneLength(c.GetRadius()) || n > Kel3DCylinderRep::MAX_LEVELS || !Finite(c.GetBase(), 3) ||
      !Finite(c.GetAxisVector(), 3) || !Finite(plane, 3) || !UnitLength(plane) ||
      !Finite(c.GetSags(), n)) {
    std::cerr << "KelMarshalling: a Kel3DCylinderRep of a radius, vector or sag the restore"
              << " refuses cannot be saved." << std::endl;
    return 1;
  }
  w.Common(rep);
  w.Floats(c.GetBase(), 3);
  w.Floats(c.GetAxisVector(), 3);
  w.out.WriteFloat(c.GetRadius());
  w.Floats(plane, 3);
  w.out.WriteUnsignedInt(static_cast<unsigned int>(n));
  w.Floats(c.GetSags(), n);
  return 0;
}

KelRep* ReadCylinder(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  float p[10];
  unsigned int n = 0;
  if (!r.Common(id, a) || !r.Floats(p, 10) || !r.Length(p[6]) || !r.Count(n, 4)) return nullptr;
  if (!UnitLength(p + 7)) return r.Fail("a plane vector that is not of unit length"), nullptr;
  if (n < 1 || n > static_cast<unsigned int>(Kel3DCylinderRep::MAX_LEVELS))
    return r.Fail("a cylinder of no or too many levels"), nullptr;
  float sags[Kel3DCylinderRep::MAX_LEVELS];
  if (!r.Floats(sags, static_cast<int>(n))) return nullptr;
  // Each mesh: its circle twice and the caps' centres; the axis: two points.
  std::uint64_t vertices = 2;
  for (unsigned int i = 0; i + 1 < n; ++i)
    vertices += 2 * std::uint64_t(Kel3DCylinderRep::CirclePointCount(sags[i], p[6])) + 2;
  if (!r.Mesh(vertices)) return nullptr;
  auto* rep = new Kel3DCylinderRep(p, p + 3, p[6], Keldirection3f::Unchecked(p[7], p[8], p[9]),
                                   sags, static_cast<int>(n), id, r.controller);
  r.built.push_back(rep);
  rep->SetGraphicAttributeSet(a);
  return rep;
}

// ---- Plans and curves: primitives given by their owner, saved as they are
// when the library can make them again (faces and the 3D line primitives,
// and bags of those), with the volume their owner set.

enum PrimitiveTag : int { kNone, kFace, kLine, kPolyline, kMarker, kBag };

int WritePrimitive(Writer& w, const KelGraphicPrimitive* gp, bool inBag = false) {
  if (!gp) {
    w.out.WriteInt(kNone);
    return 0;
  }
  const std::type_info& t = typeid(*gp);
  if (t == typeid(Kel3DFaceGP)) {
    w.out.WriteInt(kFace);
    return w.Face(gp);
  }
  if (t == typeid(Kel3DLineGP) || t == typeid(Kel3DPolylineGP)) {
    const auto* l = static_cast<const Kel3DLineGP*>(gp);
    w.out.WriteInt(t == typeid(Kel3DLineGP) ? kLine : kPolyline);
    w.out.WriteUnsignedInt(static_cast<unsigned int>(l->GetNbPoints()));
    w.Floats(l->GetPoints(), 3 * l->GetNbPoints());
    return 0;
  }
  if (t == typeid(Kel3DMarkerGP)) {
    const auto* m = static_cast<const Kel3DMarkerGP*>(gp);
    w.out.WriteInt(kMarker);
    w.out.WriteInt(m->GetSymbolType());
    w.out.WriteUnsignedInt(static_cast<unsigned int>(m->GetNbPoints()));
    w.Floats(m->GetPoints(), 3 * m->GetNbPoints());
    return 0;
  }
  if (t == typeid(KelBagGP) && !inBag) {
    auto* bag = const_cast<KelBagGP*>(static_cast<const KelBagGP*>(gp));
    w.out.WriteInt(kBag);
    w.out.WriteUnsignedInt(static_cast<unsigned int>(bag->GetCount()));
    for (int i = 0; i < bag->GetCount(); ++i)
      if (WritePrimitive(w, bag->Get_Son(i), true) != 0) return 1;
    return 0;
  }
  std::cerr << "KelMarshalling: a primitive of class " << gp->IsA()
            << (inBag ? " in a KelBagGP" : "") << " cannot be saved." << std::endl;
  return 1;
}

struct DestroyGP {
  void operator()(KelGraphicPrimitive* gp) const { KelGraphicPrimitive::Destroy(gp); }
};
using GPHolder = std::unique_ptr<KelGraphicPrimitive, DestroyGP>;

// Points of a line or marker: a count the file holds, every coordinate finite.
bool Points(Reader& r, std::vector<float>& p) {
  unsigned int n = 0;
  if (!r.Count(n, 12)) return false;
  p.resize(3 * std::size_t(n));
  return r.Floats(p.data(), static_cast<int>(p.size()));
}

// Answers false on a failure; `gp` is then null. A bag holds no bag.
bool ReadPrimitive(Reader& r, GPHolder& gp, bool inBag = false) {
  int tag = kNone;
  if (r.in.ReadInt(tag) != 0) return r.Fail("truncated");
  std::vector<float> p;
  switch (tag) {
    case kNone:
      return true;
    case kFace:
      gp.reset(r.Face());
      return gp != nullptr;
    case kLine:
    case kPolyline:
      if (!Points(r, p)) return false;
      gp.reset(tag == kLine ? new Kel3DLineGP(p.data(), static_cast<int>(p.size() / 3), 1)
                            : new Kel3DPolylineGP(p.data(), static_cast<int>(p.size() / 3), 1));
      return true;
    case kMarker: {
      int type = 0;
      r.in.ReadInt(type);
      if (!r.Ok() || !Points(r, p)) return false;
      gp.reset(new Kel3DMarkerGP(p.data(), static_cast<int>(p.size() / 3),
                                 static_cast<SymbolType>(type), 1));
      return true;
    }
    case kBag: {
      if (inBag) return r.Fail("a primitive bag inside a bag");
      unsigned int n = 0;
      if (!r.Count(n, 4)) return false;
      std::vector<GPHolder> children(n);
      for (GPHolder& child : children)
        if (!ReadPrimitive(r, child, true)) return false;
      std::vector<KelGraphicPrimitive*> raw(n);
      for (unsigned int i = 0; i < n; ++i) raw[i] = children[i].get();
      gp.reset(new KelBagGP(static_cast<int>(n), raw.data()));
      // The bag owns them now (an empty one took none).
      if (n > 0)
        for (GPHolder& child : children) child.release();
      return true;
    }
    default:
      return r.Fail("a primitive of unknown kind");
  }
}

// The volume an owner set: finite, when it is a sphere (states 1 and 3).
bool FiniteVolume(const Kel3DBoundingSphere& s) {
  return (s.GetState() != 1 && s.GetState() != 3) ||
         (Finite(s.GetCenter(), 3) && std::isfinite(s.GetRadius()) &&
          std::isfinite(s.GetRadiusMM()));
}

int InfiniteVolume(const char* name) {
  std::cerr << "KelMarshalling: a " << name << " of a volume that is not finite cannot be saved."
            << std::endl;
  return 1;
}

bool ReadVolume(Reader& r, Kel3DBoundingSphere& s) {
  if (!r.Sphere(s)) return false;
  if (!FiniteVolume(s)) return r.Fail("a volume that is not finite");
  return true;
}

int WritePlan(Writer& w, const KelRep& rep) {
  const auto& plan = static_cast<const Kel3DPlanRep&>(rep);
  if (!FiniteVolume(plan.GetBoundingElement())) return InfiniteVolume("Kel3DPlanRep");
  w.Common(rep);
  w.Sphere(plan.GetBoundingElement());
  return WritePrimitive(w, plan.GetPrimitive());
}

KelRep* ReadPlan(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  Kel3DBoundingSphere sphere;
  GPHolder gp;
  if (!r.Common(id, a) || !ReadVolume(r, sphere) || !ReadPrimitive(r, gp)) return nullptr;
  auto* rep = new Kel3DPlanRep(id, r.controller);
  r.built.push_back(rep);
  rep->SetGraphicAttributeSet(a);
  rep->SetPrimitive(gp.release());
  rep->SetBoundingElement(sphere);
  return rep;
}

int WriteCurve(Writer& w, const KelRep& rep) {
  const auto& c = static_cast<const Kel3DCurveRep&>(rep);
  const int n = c.GetNbLevels();
  if (n < 1) return Empty("Kel3DCurveRep");
  if (!FiniteVolume(c.GetBoundingElement())) return InfiniteVolume("Kel3DCurveRep");
  for (int i = 0; i < n; ++i)
    if (!(c.GetSags()[i] >= 0) || !std::isfinite(c.GetSags()[i])) {
      std::cerr << "KelMarshalling: a Kel3DCurveRep of a negative or infinite sag cannot be saved."
                << std::endl;
      return 1;
    }
  w.Common(rep);
  w.Sphere(c.GetBoundingElement());
  w.out.WriteUnsignedInt(static_cast<unsigned int>(n));
  w.Floats(c.GetSags(), n);
  for (int i = 0; i < n; ++i)
    if (WritePrimitive(w, c.GetLOD(i)) != 0) return 1;
  return 0;
}

KelRep* ReadCurve(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  Kel3DBoundingSphere sphere;
  unsigned int n = 0;
  // A level takes at least its sag and its primitive's kind.
  if (!r.Common(id, a) || !ReadVolume(r, sphere) || !r.Count(n, 8)) return nullptr;
  if (n == 0) return r.Fail("a curve without levels"), nullptr;
  std::vector<float> sags(n);
  if (!r.Floats(sags.data(), static_cast<int>(n))) return nullptr;
  for (float s : sags)
    if (s < 0) return r.Fail("a negative sag"), nullptr;
  auto* rep = new Kel3DCurveRep(static_cast<int>(n), sags.data(), id, r.controller);
  r.built.push_back(rep);
  rep->SetGraphicAttributeSet(a);
  for (unsigned int i = 0; i < n; ++i) {
    GPHolder gp;
    if (!ReadPrimitive(r, gp)) return nullptr;
    rep->AddWireframeLOD(static_cast<int>(i), gp.release());
  }
  rep->SetBoundingElement(sphere);
  return rep;
}

const Kind kKinds[] = {
    {"Kel3DBagRep", typeid(Kel3DBagRep), Write3DBag, Read3DBag},
    {"KelSurfacicRep", typeid(KelSurfacicRep), WriteSurfacic, ReadSurfacic},
    {"Kel3DPointRep", typeid(Kel3DPointRep), Write3DPoint, Read3DPoint},
    {"Kel3DLineRep", typeid(Kel3DLineRep), Write3DLine, Read3DLine},
    {"KelLightSourceSetRep", typeid(KelLightSourceSetRep), WriteLights, ReadLights},
    {"Kel3DAxisRep", typeid(Kel3DAxisRep), WriteAxis, ReadAxis},
    {"Kel3DArcCircleRep", typeid(Kel3DArcCircleRep), WriteArc, ReadArc},
    {"Kel3DCloudOfPointsRep", typeid(Kel3DCloudOfPointsRep), WriteCloud, ReadCloud},
    {"Kel3DCuboidRep", typeid(Kel3DCuboidRep), WriteCuboid, ReadCuboid},
    {"Kel3DRectangleRep", typeid(Kel3DRectangleRep), WriteRectangle, ReadRectangle},
    {"Kel3DSimpleSphereRep", typeid(Kel3DSimpleSphereRep), WriteSphere, ReadSphere},
    {"Kel3DSimpleConeRep", typeid(Kel3DSimpleConeRep), WriteCone, ReadCone},
    {"Kel3DCylinderRep", typeid(Kel3DCylinderRep), WriteCylinder, ReadCylinder},
    {"Kel3DPlanRep", typeid(Kel3DPlanRep), WritePlan, ReadPlan},
    {"Kel3DCurveRep", typeid(Kel3DCurveRep), WriteCurve, ReadCurve},
};

template <class Visit>
void ForEachKind(Visit visit) {
  for (const Kind& k : kKinds) visit(k);
  for (std::size_t i = 0; i < k2DKindCount; ++i) visit(k2DKinds[i]);
}

// The first kind, 3D or 2D, that `match` accepts.
template <class Match>
const Kind* Search(Match match) {
  const Kind* found = nullptr;
  ForEachKind([&](const Kind& k) {
    if (!found && match(k)) found = &k;
  });
  return found;
}

const Kind* FindKind(const char* name) {
  return Search([name](const Kind& k) { return std::strcmp(k.name, name) == 0; });
}

const Kind* KindOf(const KelRep& rep) {
  return Search([&rep](const Kind& k) { return typeid(rep) == k.type; });
}

// The name a Rep is saved under (its class's, also for a 2D Rep).
const char* SavedName(const KelRep& rep) {
  const Kind* k = KindOf(rep);
  return k ? k->name : rep.IsA();
}

// ---- Graphs

void WriteName(KelMarshal& out, const char* name) {
  const auto n = static_cast<unsigned int>(std::strlen(name));
  out.WriteUnsignedInt(n);
  out.WriteBytes(name, n);
}

// Writes every Rep under `root` once, children before their bags.
int WriteGraph(KelMarshal& out, const KelRep& root) {
  Writer w{out, {}};
  std::vector<const KelRep*> order;
  struct Frame {
    const KelRep* rep;
    int next;
  };
  std::vector<Frame> stack{{&root, 0}};
  std::unordered_set<const KelRep*> entered{&root};
  while (!stack.empty()) {
    Frame& f = stack.back();
    list<KelRep*>* children = const_cast<KelRep*>(f.rep)->GetChildren();
    if (children && f.next < children->Count()) {
      const KelRep* child = (*children)[f.next++];
      if (entered.insert(child).second) stack.push_back({child, 0});
      continue;
    }
    order.push_back(f.rep);
    stack.pop_back();
  }
  for (const KelRep* rep : order)
    if (!KindOf(*rep)) {
      std::cerr << "KelMarshalling: a " << rep->IsA() << " cannot be saved." << std::endl;
      return 1;
    }
  out.WriteUnsignedInt(static_cast<unsigned int>(order.size()));
  for (std::size_t i = 0; i < order.size(); ++i) {
    const KelRep* rep = order[i];
    const Kind* kind = KindOf(*rep);
    out.WriteString(kind->name);
    if (kind->write(w, *rep) != 0) return 1;
    w.index.emplace(rep, static_cast<std::uint32_t>(i));
  }
  return out.GetError() ? 1 : 0;
}

// Takes apart and deletes what a failed read built.
void Discard(std::vector<KelRep*>& built) {
  for (KelRep* rep : built) {
    if (auto* bag = dynamic_cast<Kel3DBagRep*>(rep)) {
      while (bag->GetChildCount() > 0) bag->RemoveChild(*bag->GetChild(bag->GetChildCount() - 1));
    } else if (auto* flat = dynamic_cast<Kel2DBagRep*>(rep)) {
      list<KelRep*>* c = flat->GetChildren();
      while (c && c->Count() > 0) flat->RemoveChild(static_cast<Kel2DRep&>(*(*c)[c->Count() - 1]));
    }
  }
  for (KelRep* rep : built) delete rep;
  built.clear();
}

// Reads a graph written by WriteGraph whose root is of class `rootClass`;
// answers the root, or null with a message and nothing left behind.
KelRep* ReadGraph(KelMarshal& in, KelVisuController* controller, const char* rootClass) {
  Reader r{in, controller, {}, {}, {}, 0};
  unsigned int n = 0;
  if (r.Count(n, kMinRecord) && n == 0) r.Fail("no Rep");
  for (unsigned int i = 0; r.Ok() && i < n; ++i) {
    std::string name;
    if (in.ReadString(name) != 0) {
      r.Fail("truncated");
      break;
    }
    const Kind* kind = FindKind(name.c_str());
    if (!kind) {
      r.Fail("a " + name + " may not be restored");
      break;
    }
    const std::size_t before = r.built.size();
    r.current = i;
    KelRep* rep = kind->read(r);
    if (!rep || !r.Ok()) break;
    if (r.built.size() == before) r.built.push_back(rep);
  }
  if (r.Ok()) {
    KelRep* root = r.built.back();
    if (rootClass && std::strcmp(SavedName(*root), rootClass) != 0)
      r.Fail("the last Rep is not the saved one");
    for (std::size_t i = 0; r.error.empty() && i + 1 < r.built.size(); ++i)
      if (r.built[i]->GetParents().Count() == 0) r.Fail("a Rep outside the saved graph");
    if (r.Ok()) return root;
  }
  std::cerr << "KelMarshalling: cannot restore: " << r.error << "." << std::endl;
  Discard(r.built);
  return nullptr;
}

KelMarshal& PayloadOf(void* buffer) {
  return static_cast<KelMarshalBuffer*>(buffer)->payload;
}

// ---- Interfaces

class RepInterface : public KelMarshallableCorba {
 public:
  // `restores` is false for the interface found under KelRep's name: no file
  // is saved under that name.
  explicit RepInterface(const Kind& kind, bool restores = true)
      : _kind(kind), _restores(restores) {}
  int Marshal(const KelExtendable* object, void* handle, int) override {
    const auto* rep = dynamic_cast<const KelRep*>(object);
    const Kind* kind = rep ? KindOf(*rep) : nullptr;
    if (!handle || !kind) {
      std::cerr << "KelMarshalling: a " << (object ? object->IsA() : "(none)")
                << " cannot be saved." << std::endl;
      return 1;
    }
    KelMarshal& out = static_cast<KelMarshalling*>(handle)->payload;
    WriteName(out, kind->name);
    return WriteGraph(out, *rep);
  }
  KelExtendable* Unmarshal(void* buffer, KelExtendable*, int) override {
    if (!buffer || !_restores) return nullptr;
    return ReadGraph(PayloadOf(buffer), nullptr, _kind.name);
  }

 private:
  const Kind& _kind;
  bool _restores;
};

// A controller's graphics: its settings and its graphic model.
class ControllerInterface : public KelMarshallableCorba {
 public:
  int Marshal(const KelExtendable* object, void* handle, int) override {
    if (!object || !handle || !object->IsAKindOf(KelVisuController::ClassName())) return 1;
    const auto* c = static_cast<const KelVisuController*>(object);
    KelMarshal& out = static_cast<KelMarshalling*>(handle)->payload;
    WriteName(out, KelVisuController::ClassName());
    out.WriteInt(c->GetType());
    out.WriteInt(c->IsLodModeOn());
    out.WriteInt(c->GetPrimitiveEvaluationMode());
    KelRep* model = c->GetGraphicModel();
    out.WriteInt(model ? 1 : 0);
    if (!model) return out.GetError() ? 1 : 0;
    return WriteGraph(out, *model);
  }

  // Restores into `context` when it is a controller (its model is replaced),
  // else into a new controller.
  KelExtendable* Unmarshal(void* buffer, KelExtendable* context, int) override {
    if (!buffer) return nullptr;
    KelMarshal& in = PayloadOf(buffer);
    int type = 3, lod = 0, evaluation = 1, hasModel = 0;
    in.ReadInt(type);
    in.ReadInt(lod);
    in.ReadInt(evaluation);
    in.ReadInt(hasModel);
    if (in.GetError()) {
      std::cerr << "KelMarshalling: cannot restore: truncated." << std::endl;
      return nullptr;
    }
    KelVisuController* c = nullptr;
    std::unique_ptr<KelVisuController> made;
    if (context && context->IsAKindOf(KelVisuController::ClassName())) {
      c = static_cast<KelVisuController*>(context);
    } else {
      made.reset(new KelVisuController);
      c = made.get();
    }
    if (!c->GetAssociatedGraphicTable()) c->SetAssociatedGraphicTable(new KelHashRepTable);
    c->SetGraphicModel(nullptr);
    KelRep* model = nullptr;
    if (hasModel) {
      model = ReadGraph(in, c, nullptr);
      if (!model) return nullptr;
    }
    c->SetType(type);
    lod ? c->SetLodModeOn() : c->SetLodModeOff();
    c->SetPrimitiveEvaluationMode(evaluation);
    c->SetGraphicModel(model);
    made.release();
    return c;
  }
};

std::vector<std::unique_ptr<KelMarshallableCorba>>& Interfaces() {
  static std::vector<std::unique_ptr<KelMarshallableCorba>> interfaces;
  return interfaces;
}

}  // namespace

void RegisterClasses() {
  if (!Interfaces().empty()) return;
  ForEachKind([](const Kind& k) {
    Interfaces().emplace_back(new RepInterface(k));
    KelExtendable::RegisterInterface(k.name, KelMarshallableCorba::InterfaceName(),
                                     Interfaces().back().get());
  });
  // Classes that share KelRep's meta object (the 2D Reps) are found under its
  // name; the interface then tells them apart by their type.
  Interfaces().emplace_back(new RepInterface(kKinds[0], false));
  KelExtendable::RegisterInterface(KelRep::ClassName(), KelMarshallableCorba::InterfaceName(),
                                   Interfaces().back().get());
  Interfaces().emplace_back(new ControllerInterface);
  KelExtendable::RegisterInterface(KelVisuController::ClassName(),
                                   KelMarshallableCorba::InterfaceName(),
                                   Interfaces().back().get());
}

void UnregisterClasses() {
  ForEachKind([](const Kind& k) {
    KelExtendable::RegisterInterface(k.name, KelMarshallableCorba::InterfaceName(), nullptr);
  });
  KelExtendable::RegisterInterface(KelRep::ClassName(), KelMarshallableCorba::InterfaceName(),
                                   nullptr);
  KelExtendable::RegisterInterface(KelVisuController::ClassName(),
                                   KelMarshallableCorba::InterfaceName(), nullptr);
  Interfaces().clear();
}

}  // namespace kelmarsh
