// The 2D Reps' records: bags with their matrices and the leaves, rebuilt from
// what they were made of. Layout in docs/marshalling.md.
#include "KelRepRecords.h"

#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/primitives/Kel2DLineGP.h>
#include <kel/primitives/Kel2DMarkerGP.h>
#include <kel/primitives/Kel2DPolygonGP.h>
#include <kel/reps/Kel2DArcCircleRep.h>
#include <kel/reps/Kel2DBagRep.h>
#include <kel/reps/Kel2DLineRep.h>
#include <kel/reps/Kel2DPointRep.h>
#include <kel/reps/Kel2DPolygonRep.h>

namespace kelmarsh {

namespace {

int Write2DBag(Writer& w, const KelRep& rep) {
  const auto& bag = static_cast<const Kel2DBagRep&>(rep);
  w.Common(bag);
  const Kel3x3Matrix* m = bag.GetMatrix();
  w.out.WriteInt(m ? 1 : 0);
  if (m) {
    Kelvector2f u, v;
    Kelpoint2f o;
    m->GetComponents(u, v, o);
    for (float x : {u.x, u.y, v.x, v.y, o.x, o.y}) w.out.WriteFloat(x);
  }
  w.Children(bag);
  return 0;
}

KelRep* Read2DBag(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  if (!r.Common(id, a)) return nullptr;
  int hasMatrix = 0;
  float m[6];
  r.in.ReadInt(hasMatrix);
  if (hasMatrix)
    for (float& x : m) r.in.ReadFloat(x);
  unsigned int n = 0;
  if (!r.Ok() || !r.Count(n, 4)) return nullptr;
  auto* bag = new Kel2DBagRep(id, r.controller);
  r.built.push_back(bag);
  bag->SetGraphicAttributeSet(a);
  if (hasMatrix)
    bag->SetMatrix(
        Kel3x3Matrix(Kelvector2f(m[0], m[1]), Kelvector2f(m[2], m[3]), Kelpoint2f(m[4], m[5])));
  for (unsigned int i = 0; i < n; ++i) {
    KelRep* child = r.Child();
    if (!child) return nullptr;
    auto* flat = dynamic_cast<Kel2DRep*>(child);
    if (!flat) return r.Fail("a 3D child in a 2D bag"), nullptr;
    bag->AddChild(*flat);
  }
  return bag;
}

// ---- Leaves

int Write2DPoint(Writer& w, const KelRep& rep) {
  const Kel2DMarkerGP* m = static_cast<const Kel2DPointRep&>(rep).GetMarker();
  if (!m || m->GetNbPoints() != 1) return Empty("Kel2DPointRep");
  w.Common(rep);
  w.out.WriteInt(m->GetSymbolType());
  w.Floats(m->GetPoints(), 2);
  return 0;
}

KelRep* Read2DPoint(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  int type = 0;
  float p[2];
  if (!r.Common(id, a)) return nullptr;
  r.in.ReadInt(type);
  if (!r.Floats(p, 2)) return nullptr;
  auto* rep = new Kel2DPointRep(p, static_cast<SymbolType>(type));
  r.Adopt(rep, id, a);
  return rep;
}

int Write2DLine(Writer& w, const KelRep& rep) {
  const Kel2DLineGP* l = static_cast<const Kel2DLineRep&>(rep).GetLine();
  if (!l || l->GetNbPoints() != 2) return Empty("Kel2DLineRep");
  w.Common(rep);
  w.Floats(l->GetPoints(), 4);
  return 0;
}

KelRep* Read2DLine(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  float p[4];
  if (!r.Common(id, a) || !r.Floats(p, 4)) return nullptr;
  auto* rep = new Kel2DLineRep(p);
  r.Adopt(rep, id, a);
  return rep;
}

int Write2DPolygon(Writer& w, const KelRep& rep) {
  const Kel2DPolygonGP* p = static_cast<const Kel2DPolygonRep&>(rep).GetPolygon();
  if (!p || p->GetNbPoints() < 1) return Empty("Kel2DPolygonRep");
  w.Common(rep);
  w.out.WriteInt(p->GetMode());
  w.out.WriteUnsignedInt(static_cast<unsigned int>(p->GetNbPoints()));
  w.Floats(p->GetPoints(), 2 * p->GetNbPoints());
  return 0;
}

KelRep* Read2DPolygon(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  int mode = 0;
  unsigned int n = 0;
  if (!r.Common(id, a)) return nullptr;
  r.in.ReadInt(mode);
  if (!r.Ok() || !r.Count(n, 8)) return nullptr;
  if (n == 0) return r.Fail("a polygon without points"), nullptr;
  std::vector<float> p(2 * std::size_t(n));
  if (!r.Floats(p.data(), static_cast<int>(p.size()))) return nullptr;
  auto* rep = new Kel2DPolygonRep(p.data(), static_cast<int>(n), mode);
  r.Adopt(rep, id, a);
  return rep;
}

// A 2D arc: centre, radius, start and end angles (any finite angles: the
// arc takes them modulo a turn).
int Write2DArc(Writer& w, const KelRep& rep) {
  const auto& c = static_cast<const Kel2DArcCircleRep&>(rep);
  if (!c.GetArc()) return Empty("Kel2DArcCircleRep");
  if (!SaneLength(c.GetRadius())) return Unsavable("Kel2DArcCircleRep");
  w.Common(rep);
  w.Floats(c.GetCenter(), 2);
  for (float x : {c.GetRadius(), c.GetStart(), c.GetEnd()}) w.out.WriteFloat(x);
  return 0;
}

KelRep* Read2DArc(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  float p[5];
  if (!r.Common(id, a) || !r.Floats(p, 5) || !r.Length(p[2])) return nullptr;
  auto* rep = new Kel2DArcCircleRep(p, p[2], p[3], p[4]);
  r.Adopt(rep, id, a);
  return rep;
}

}  // namespace

const Kind k2DKinds[] = {
    {"Kel2DBagRep", typeid(Kel2DBagRep), Write2DBag, Read2DBag},
    {"Kel2DPointRep", typeid(Kel2DPointRep), Write2DPoint, Read2DPoint},
    {"Kel2DLineRep", typeid(Kel2DLineRep), Write2DLine, Read2DLine},
    {"Kel2DPolygonRep", typeid(Kel2DPolygonRep), Write2DPolygon, Read2DPolygon},
    {"Kel2DArcCircleRep", typeid(Kel2DArcCircleRep), Write2DArc, Read2DArc},
};
const std::size_t k2DKindCount = sizeof k2DKinds / sizeof k2DKinds[0];

}  // namespace kelmarsh
