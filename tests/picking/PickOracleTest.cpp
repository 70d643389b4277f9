// Random rays over a random mesh against a brute-force search by another method
// (plane crossing, then the side of each edge), in double precision, in world coordinates.
#include <gtest/gtest.h>

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/picking/KelPickPath.h>
#include <kel/picking/KelPickPathList.h>
#include <kel/picking/KelPickingRender.h>
#include <kel/reps/Kel3DBagRep.h>

#include <array>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "PickingTestScene.h"

namespace {

using V3 = std::array<double, 3>;

V3 Sub(const V3& a, const V3& b) {
  return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
double Dot(const V3& a, const V3& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
V3 Cross(const V3& a, const V3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

using Triangle = std::array<V3, 3>;

struct BruteHit {
  bool hit = false;
  double t = 2.0;
  V3 point{};
};

// The ray o + t d, 0 < t < 1; `grow` moves the edges outwards by that fraction of their length.
BruteHit Nearest(const std::vector<Triangle>& mesh, const V3& o, const V3& d, double grow) {
  BruteHit best;
  for (const Triangle& tr : mesh) {
    const V3 n = Cross(Sub(tr[1], tr[0]), Sub(tr[2], tr[0]));
    const double nn = std::sqrt(Dot(n, n));
    const double along = Dot(n, d);
    if (nn == 0.0 || std::fabs(along) < 1e-12 * nn) continue;
    const double t = Dot(n, Sub(tr[0], o)) / along;
    if (!(t > 0.0 && t < 1.0) || t >= best.t) continue;
    const V3 x = {o[0] + t * d[0], o[1] + t * d[1], o[2] + t * d[2]};
    bool inside = true;
    for (int k = 0; k < 3 && inside; ++k) {
      const V3 edge = Sub(tr[(k + 1) % 3], tr[k]);
      // Signed distance from the edge, positive inwards, against a share of its length.
      inside = Dot(Cross(edge, Sub(x, tr[k])), n) / nn >= -grow * Dot(edge, edge);
    }
    if (inside) best = {true, t, x};
  }
  return best;
}

// The mesh.triangles in world coordinates (row vectors: p' = p M).
std::vector<Triangle> World(const RandomMesh& mesh, const Kel4x4Matrix& m) {
  auto at = [&](int index) {
    const Kelpoint3f p(mesh.vertices.data() + index);
    V3 w;
    for (int j = 0; j < 3; ++j)
      w[j] = double(p.x) * m.GetCoefficient(0, j) + double(p.y) * m.GetCoefficient(1, j) +
             double(p.z) * m.GetCoefficient(2, j) + m.GetCoefficient(3, j);
    return w;
  };
  std::vector<Triangle> out;
  for (size_t i = 0; i < mesh.triangles.size(); i += 3)
    out.push_back({{at(mesh.triangles[i]), at(mesh.triangles[i + 1]), at(mesh.triangles[i + 2])}});
  size_t at0 = 0;
  for (int n : mesh.fanLengths) {
    for (int k = 2; k < n; ++k)
      out.push_back({{at(mesh.fans[at0]), at(mesh.fans[at0 + k - 1]), at(mesh.fans[at0 + k])}});
    at0 += n;
  }
  at0 = 0;
  for (int n : mesh.stripLengths) {
    for (int k = 2; k < n; ++k)
      out.push_back(
          {{at(mesh.strips[at0 + k - 2]), at(mesh.strips[at0 + k - 1]), at(mesh.strips[at0 + k])}});
    at0 += n;
  }
  return out;
}

TEST(PickOracle, NearestHitAndDepthAgreeWithBruteForce) {
  std::mt19937 random(20240611);
  const RandomMesh mesh(random);

  // In a bag turned, scaled and moved: the render works on a ray moved into the mesh's frame.
  Kel4x4Matrix turn;
  turn.SetRotation(Keldirection3f(1, 2, 3), Kelpoint3f(0.5f, 0, 0), 0.7f);
  const Kel4x4Matrix scale(Kelvector3f(1.25f, 0, 0), Kelvector3f(0, 1.25f, 0),
                           Kelvector3f(0, 0, 1.25f), Kelvector3f(0.2f, -0.1f, -1.0f));
  const Kel4x4Matrix placement = turn * scale;
  auto* leaf = new GPLeaf({mesh.Face()}, Kelpoint3f(0, 0, 0), 6.0f);
  auto* bag = new Kel3DBagRep;
  bag->SetMatrix(placement);
  bag->AddChild(*leaf);
  const std::vector<Triangle> world = World(mesh, placement);

  keltest::TestSupport support{200, 200};
  support.SetCullingPrecision(0);
  std::unique_ptr<Kel3DViewpoint> camera(keltest::TopCamera());
  camera->AddRep(bag);

  std::uniform_real_distribution<float> pixel(0.0f, 200.0f);
  int hits = 0, misses = 0, grazing = 0;
  for (int ray = 0; ray < 3000; ++ray) {
    const float x = pixel(random), y = pixel(random);
    KelPickPathList list;
    KelPickingRender render(support, 2, x, y, list);
    render.BeginDraw(*camera);
    const Kelpoint3f n = render.GetNearPoint(), f = render.GetFarPoint();
    render.Draw(*camera);
    render.EndDraw(*camera);

    const V3 o = {n.x, n.y, n.z};
    const V3 d = Sub(V3{f.x, f.y, f.z}, o);
    const BruteHit exact = Nearest(world, o, d, 0.0);
    ASSERT_LE(list.GetPathCount(), 1) << "ray " << ray;  // one face: one path
    const KelPickPath* path = list.GetPathCount() ? list.GetPickPathList()[0] : nullptr;
    const bool agree = exact.hit ? path && std::fabs(path->GetDeep() - exact.t) < 2e-5 : !path;
    if (!agree) {
      // Only a ray within a hair of an edge may disagree.
      EXPECT_NE(Nearest(world, o, d, 1e-4).t, Nearest(world, o, d, -1e-4).t)
          << "ray " << ray << " at " << x << ", " << y << ": depth "
          << (path ? path->GetDeep() : -1.0f) << ", expected " << (exact.hit ? exact.t : -1.0);
      ++grazing;
    } else if (!exact.hit) {
      ++misses;
    } else {
      ++hits;
      const Kelpoint3f p = path->GetGlobalIntersection();
      EXPECT_NEAR(p.x, exact.point[0], 2e-3) << "ray " << ray;
      EXPECT_NEAR(p.y, exact.point[1], 2e-3) << "ray " << ray;
      EXPECT_NEAR(p.z, exact.point[2], 2e-3) << "ray " << ray;
      EXPECT_EQ(path->GetDimension(), 2.0f);
      EXPECT_EQ(path->Size(), 2);
    }
    list.Reset();
  }
  EXPECT_GT(hits, 1000);
  EXPECT_GT(misses, 100);
  EXPECT_LT(grazing, 5);
  bag->Destroy();
}

}  // namespace
