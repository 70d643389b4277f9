#include "KelSceneFraming.h"

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/primitives/KelBagGP.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DCloudOfPointsRep.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/reps/Kel3DCurveRep.h>
#include <kel/reps/Kel3DCylinderRep.h>
#include <kel/reps/Kel3DSimpleConeRep.h>
#include <kel/reps/Kel3DSimpleSphereRep.h>
#include <kel/reps/KelSurfacicRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// Called with each point in the root's frame and the radius around it.
using PointVisitor = std::function<void(const Kelpoint3f&, float)>;

void VisitFlat(const float* xyz, int count, const Kel4x4Matrix* m, const PointVisitor& visit) {
  for (int i = 0; xyz && i < count; ++i) {
    const Kelpoint3f p(xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]);
    visit(m ? *m * p : p, 0.0f);
  }
}

void VisitFace(const Kel3DBoundingGP* gp, const Kel4x4Matrix* m, const PointVisitor& visit) {
  if (!gp) return;
  auto* face = const_cast<Kel3DBoundingGP*>(gp);
  int allocate = 0, n = 0;
  float* vertices = nullptr;
  face->GetVertices(&allocate, &vertices, &n);
  VisitFlat(vertices, n / 3, m, visit);
  face->ClearVertices(&allocate, &vertices, &n);
}

void VisitPrimitive(const KelGraphicPrimitive* gp, const Kel4x4Matrix* m,
                    const PointVisitor& visit) {
  if (auto* marker = dynamic_cast<const Kel3DMarkerGP*>(gp))
    VisitFlat(marker->GetPoints(), marker->GetNbPoints(), m, visit);
  else if (auto* line = dynamic_cast<const Kel3DLineGP*>(gp))
    VisitFlat(line->GetPoints(), line->GetNbPoints(), m, visit);
  else if (auto* face = dynamic_cast<const Kel3DBoundingGP*>(gp))
    VisitFace(face, m, visit);
  else if (auto* bag = dynamic_cast<const KelBagGP*>(gp))
    for (int i = 0; i < bag->GetCount(); ++i)
      VisitPrimitive(const_cast<KelBagGP*>(bag)->Get_Son(i), m, visit);
}

// `m` maps the Rep's frame to the root's; null for the identity.
void VisitRep(const Kel3DRep& rep, const Kel4x4Matrix* m, const PointVisitor& visit) {
  if (auto* bag = dynamic_cast<const Kel3DBagRep*>(&rep)) {
    Kel4x4Matrix inner;
    const Kel4x4Matrix* next = m;
    if (const Kel4x4Matrix* own = bag->GetMatrix()) {
      // Row vectors: the bag's own matrix applies first.
      inner = m ? *own * *m : *own;
      next = &inner;
    }
    for (int i = 0; i < bag->GetChildCount(); ++i)
      if (const Kel3DRep* child = bag->GetChild(i)) VisitRep(*child, next, visit);
  } else if (auto* surface = dynamic_cast<const KelSurfacicRep*>(&rep)) {
    for (int i = 0; i < surface->GetNbFaces(); ++i) VisitFace(surface->GetFace(i), m, visit);
  } else if (auto* curve = dynamic_cast<const Kel3DCurveRep*>(&rep)) {
    if (curve->GetNbLevels() > 0) VisitPrimitive(curve->GetLOD(0), m, visit);
  } else if (auto* cloud = dynamic_cast<const Kel3DCloudOfPointsRep*>(&rep)) {
    VisitPrimitive(cloud->GetMarker(), m, visit);
  } else if (auto* cuboid = dynamic_cast<const Kel3DCuboidRep*>(&rep)) {
    for (int k = 0; k < 6; ++k) VisitFace(cuboid->GetFace(k), m, visit);
  } else if (auto* cone = dynamic_cast<const Kel3DSimpleConeRep*>(&rep)) {
    VisitFace(cone->GetFace(), m, visit);
  } else if (auto* ball = dynamic_cast<const Kel3DSimpleSphereRep*>(&rep)) {
    VisitFace(ball->GetFace(), m, visit);
  } else if (auto* cylinder = dynamic_cast<const Kel3DCylinderRep*>(&rep)) {
    // Its two ends, each with the cylinder's radius around it.
    const Kelpoint3f base(cylinder->GetBase());
    const float radius = cylinder->GetRadius() * (m ? m->GetScaling() : 1.0f);
    for (const Kelpoint3f& p : {base, base + Kelvector3f(cylinder->GetAxisVector())})
      visit(m ? *m * p : p, radius);
  } else {
    // Other Reps by their spheres; parts of a fixed size on screen do not count.
    const Kel3DBoundingSphere& s = rep.GetBoundingElement();
    if (s.GetState() != 1) return;
    const Kelpoint3f c(s.GetCenter());
    visit(m ? *m * c : c, s.GetRadius() * (m ? m->GetScaling() : 1.0f));
  }
}

}  // namespace

void KelSceneFraming::ViewDirections(double azimuth, double elevation, KelUpAxis up,
                                     Keldirection3f& sight, Keldirection3f& upDirection) {
  constexpr double kDegree = 3.14159265358979323846 / 180.0;
  const double a = azimuth * kDegree, e = elevation * kDegree;
  // In a z-up frame: from the scene towards the eye, and up as its derivative
  // along the elevation, so that the poles need no special case.
  const double eye[3] = {std::cos(e) * std::sin(a), -std::cos(e) * std::cos(a), std::sin(e)};
  const double top[3] = {-std::sin(e) * std::sin(a), std::sin(e) * std::cos(a), std::cos(e)};
  // The z-up frame turned so that z lands on the chosen axis.
  auto turned = [up](const double v[3], double sign) {
    const float x = float(sign * v[0]), y = float(sign * v[1]), z = float(sign * v[2]);
    if (up == KEL_UP_Y) return Kelvector3f(x, z, -y);
    if (up == KEL_UP_X) return Kelvector3f(z, x, y);
    return Kelvector3f(x, y, z);
  };
  sight = Keldirection3f(turned(eye, -1.0));
  upDirection = Keldirection3f(turned(top, 1.0));
}

bool KelSceneFraming::Frame(Kel3DViewpoint& viewpoint, const Kel3DRep& root, float width,
                            float height, float pixelRatio) {
  const Kelvector3f right = viewpoint.GetRightDirection().AsVector();
  const Kelvector3f up = viewpoint.GetUpDirection().AsVector();
  const Kelvector3f sight = viewpoint.GetSightDirection().AsVector();
  // Coordinates in the camera's frame about a point of the scene, in double
  // precision so that models far from the origin keep their shape.
  const Kel3DBoundingSphere& sphere = root.GetBoundingElement();
  const Kelpoint3f anchor = (sphere.GetState() == 1 || sphere.GetState() == 3)
                                ? Kelpoint3f(sphere.GetCenter())
                                : Kelpoint3f();
  struct Local {
    double x, y, z, r;
  };
  auto local = [&](const Kelpoint3f& p, float r) {
    const Kelvector3f d = p - anchor;
    return Local{d * right, d * up, d * sight, r};
  };

  // Extents across and along the sight.
  double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
  VisitRep(root, nullptr, [&](const Kelpoint3f& p, float radius) {
    const Local q = local(p, radius);
    const double c[3] = {q.x, q.y, q.z};
    if (!std::isfinite(c[0] + c[1] + c[2] + q.r)) return;
    for (int i = 0; i < 3; ++i) {
      lo[i] = std::min(lo[i], c[i] - q.r);
      hi[i] = std::max(hi[i], c[i] + q.r);
    }
  });
  if (!(lo[0] <= hi[0])) return false;

  double cx = 0.5 * (lo[0] + hi[0]), cy = 0.5 * (lo[1] + hi[1]);
  const double cz = 0.5 * (lo[2] + hi[2]);
  const double aspect = double(width) / height * pixelRatio;
  const double t = std::tan(double(viewpoint.GetAngle()) * 3.14159265358979323846 / 180.0) * FILL;
  // A scene without extent (one point) is framed as if it were a unit across;
  // a flat one by its other extent.
  double span = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
  if (!(span > 0.0)) span = 1.0;
  const double minHalf = 0.5 * span * 1e-3;
  const double hx = std::max(0.5 * (hi[0] - lo[0]), minHalf);
  const double hy = std::max(0.5 * (hi[1] - lo[1]), minHalf);

  double distance;  // from the eye to the plane through the centre, along the sight
  if (viewpoint.GetProjectionType() == CONIC_PROJECTION) {
    // Each point needs the eye far enough for its offset to fit the window at
    // its own depth; and the nearest point keeps a margin in front of the eye.
    auto fitting = [&](double cx, double cy) {
      double d = (cz - lo[2]) * 1.05 + 1e-3 * span;
      VisitRep(root, nullptr, [&](const Kelpoint3f& p, float radius) {
        const Local q = local(p, radius);
        if (!std::isfinite(q.x + q.y + q.z + q.r)) return;
        const double need =
            std::max((std::fabs(q.x - cx) + q.r) / (t * aspect), (std::fabs(q.y - cy) + q.r) / t);
        d = std::max(d, need - (q.z - cz));
      });
      return d;
    };
    // Near parts look larger: centre what the eye sees, not the extents, by
    // moving the eye sideways a few times.
    for (int pass = 0; pass < 3; ++pass) {
      distance = fitting(cx, cy);
      double plo[2] = {HUGE_VAL, HUGE_VAL}, phi[2] = {-HUGE_VAL, -HUGE_VAL};
      VisitRep(root, nullptr, [&](const Kelpoint3f& p, float radius) {
        const Local q = local(p, radius);
        const double depth = distance + q.z - cz;
        if (!std::isfinite(q.x + q.y + q.z + q.r) || !(depth > 0.0)) return;
        const double c[2] = {(q.x - cx) / depth, (q.y - cy) / depth};
        for (int i = 0; i < 2; ++i) {
          plo[i] = std::min(plo[i], c[i] - q.r / depth);
          phi[i] = std::max(phi[i], c[i] + q.r / depth);
        }
      });
      if (!(plo[0] <= phi[0])) break;
      cx += 0.5 * (plo[0] + phi[0]) * distance;
      cy += 0.5 * (plo[1] + phi[1]) * distance;
    }
    distance = fitting(cx, cy);
  } else {
    distance = std::max(hx / (t * aspect), hy / t);
  }
  const Kelpoint3f target = anchor + right * float(cx) + up * float(cy) + sight * float(cz);
  viewpoint.Set(target - sight * float(distance), viewpoint.GetSightDirection(),
                viewpoint.GetUpDirection());
  viewpoint.SetFocus(float(distance));
  return true;
}
