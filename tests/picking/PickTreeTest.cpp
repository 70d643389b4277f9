// Picks through the primitives' pick trees against the part-by-part test
// (SetPickTrees(0)) on random scenes: the same hits, in the same order, at the
// same points, for faces (with degenerate, sliver, duplicated and out-of-range
// triangles), lines, polylines, edges and markers.
#include <gtest/gtest.h>

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/picking/KelPickPath.h>
#include <kel/picking/KelPickPathList.h>
#include <kel/picking/KelPickTree.h>
#include <kel/picking/KelPickingRender.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/reps/Kel3DBagRep.h>

#include <cmath>
#include <random>
#include <vector>

#include "PickingTestScene.h"

namespace {

using Random = std::mt19937;

float Uniform(Random& r, float lo, float hi) {
  return std::uniform_real_distribution<float>(lo, hi)(r);
}

// The random mesh, shrunk to the size of the other parts, with degenerate,
// sliver, repeated and out-of-range triangles and a strip too short for a
// triangle; `offVertex` adds an index that does not start a vertex.
Kel3DFaceGP* RandomFace(Random& r, bool offVertex) {
  RandomMesh mesh(r);
  std::vector<float>& v = mesh.vertices;
  std::vector<int>& t = mesh.triangles;
  for (float& c : v) c *= 0.6f;
  auto add = [&](float x, float y, float z) {
    v.insert(v.end(), {x, y, z});
    return static_cast<int>(v.size()) - 3;
  };
  for (int k = 0; k < 60; k += 6) {
    const int a = t[3 * k], b = t[3 * k + 1];
    const int segment = add(2 * v[b] - v[a], 2 * v[b + 1] - v[a + 1], 2 * v[b + 2] - v[a + 2]);
    const int sliver = add(0.5f * (v[a] + v[b]) + 1e-5f, 0.5f * (v[a + 1] + v[b + 1]),
                           0.5f * (v[a + 2] + v[b + 2]) - 1e-5f);
    // The same triangle twice: equal depths, the later one wins.
    t.insert(t.end(),
             {a, a, a, a, b, segment, a, b, sliver, a, b, sliver, a, b, -3, a, b, 1 << 29});
  }
  if (offVertex) t.insert(t.end(), {t[0] + 1, t[1], t[2]});
  mesh.stripLengths.push_back(2);
  mesh.strips.insert(mesh.strips.end(), {0, 3});
  return mesh.Face();
}

std::vector<float> RandomPoints(Random& r, int n, float size) {
  std::vector<float> p;
  float x = 0, y = 0, z = 0;
  for (int i = 0; i < n; ++i) {
    // A random walk: neighbouring points are near each other, as in a curve.
    x = std::fmod(x + Uniform(r, -0.1f, 0.1f) * size, size);
    y = std::fmod(y + Uniform(r, -0.1f, 0.1f) * size, size);
    z = Uniform(r, -0.2f, 0.2f) * size;
    p.insert(p.end(), {x, y, z});
  }
  return p;
}

void ExpectSameHits(const KelPickPathList& fast, const KelPickPathList& full, int pick) {
  ASSERT_EQ(fast.GetPathCount(), full.GetPathCount()) << "pick " << pick;
  for (int i = 0; i < full.GetPathCount(); ++i) {
    const KelPickPath& a = *fast.GetPickPathList()[i];
    const KelPickPath& b = *full.GetPickPathList()[i];
    ASSERT_EQ(a.Size(), b.Size()) << "pick " << pick;
    EXPECT_EQ(a.GetRep(a.Size() - 1), b.GetRep(b.Size() - 1)) << "pick " << pick;
    EXPECT_EQ(Seen(a), Seen(b)) << "pick " << pick;
    EXPECT_EQ(a.GetNormal().x, b.GetNormal().x) << "pick " << pick;
  }
}

class PickTree : public PickScene<Kel3DViewpoint, Kel3DRep> {
 protected:
  PickTree() : PickScene(keltest::TopCamera()) {}
};

TEST_F(PickTree, PicksTheSameAsEveryPartOnRandomScenes) {
  Random r(20240917);
  auto* root = new Kel3DBagRep;
  std::vector<Kel3DFaceGP*> faces;
  for (int k = 0; k < 4; ++k) {
    auto* leaf = new GPLeaf({}, Kelpoint3f(0, 0, 0), 4.0f);
    Kel3DFaceGP* face = RandomFace(r, k == 3);
    faces.push_back(face);
    const std::vector<float> points = RandomPoints(r, 600, 4.0f);
    const std::vector<float> line = RandomPoints(r, 400, 4.0f);
    std::vector<int> path;
    for (int i = 0; i < 300; ++i) path.push_back(3 * ((i * 7 + k) % 900));
    leaf->gps = {face, new Kel3DMarkerGP(points.data(), 600, CLOUD_POINT_SYMBOL, 1),
                 new Kel3DLineGP(line.data(), 400, 1),
                 new Kel3DPolylineGP(line.data() + 600, 200, 1),
                 new Kel3DEdgeGP(face, nullptr, path.data(), int(path.size()))};
    auto* placed = new Kel3DBagRep;
    Kel4x4Matrix turn;
    turn.SetRotation(Keldirection3f(Uniform(r, -1, 1), Uniform(r, -1, 1), 1.0f),
                     Kelpoint3f(0, 0, 0), Uniform(r, 0.0f, 1.2f));
    placed->SetMatrix(turn * Kel4x4Matrix(Kelvector3f(k % 2 ? 2.0f : -2.0f, k / 2 ? 2.0f : -2.0f,
                                                      Uniform(r, -1, 1))));
    placed->AddChild(*leaf);
    root->AddChild(*placed);
  }
  camera->AddRep(root);

  int found = 0;
  for (int pick = 0; pick < 3000; ++pick) {
    const float x = Uniform(r, 0, 200), y = Uniform(r, 0, 200);
    const int size = 1 + pick % 6;
    KelPickPathList lists[2];
    for (int full = 0; full < 2; ++full) {
      KelPickingRender render(support, size, x, y, lists[full]);
      render.SetPickTrees(!full);
      render.BeginDraw(*camera);
      render.Draw(*camera);
      render.EndDraw(*camera);
    }
    ExpectSameHits(lists[0], lists[1], pick);
    found += lists[1].GetPathCount();
    for (KelPickPathList& list : lists) list.Reset();  // the lists own their paths
    if (::testing::Test::HasFailure()) break;
  }
  EXPECT_GT(found, 3000);
  // The trees were made, in at most 16 bytes a triangle.
  for (Kel3DFaceGP* face : faces) {
    auto* tree = static_cast<KelPickTree*>(face->FindCache(KelPickTree::Owner()));
    ASSERT_NE(tree, nullptr);
    EXPECT_LE(tree->GetBytes(), 16u * tree->GetPartCount());
  }
  camera->RemoveRep(root);
  root->Destroy();
}

TEST_F(PickTree, AFaceChangedAfterAPickIsPickedAtItsNewPlace) {
  // 200 triangles in the plane z = 0 around the centre ray; the pick at the
  // window's centre finds them at depth DepthAt(0), then at DepthAt(2) once
  // the vertices are lifted by 2 and the face told so.
  std::vector<float> v;
  std::vector<int> t;
  for (int i = 0; i <= 10; ++i)
    for (int j = 0; j <= 10; ++j) v.insert(v.end(), {0.2f * i - 1.0f, 0.2f * j - 1.0f, 0.0f});
  for (int i = 0; i < 10; ++i)
    for (int j = 0; j < 10; ++j) {
      const int a = 3 * (11 * i + j), b = a + 3, c = a + 33, d = c + 3;
      t.insert(t.end(), {a, b, d, a, d, c});
    }
  auto* face = new Kel3DFaceGP(v.data(), int(v.size()), nullptr, 0, t.data(), int(t.size() / 3),
                               nullptr, 0, nullptr, nullptr, 0, nullptr);
  Show(Own(new GPLeaf({face}, Kelpoint3f(0, 0, 1), 3.0f)));
  auto depth = [&] { return Pick(100.3f, 100.3f, 1) == 1 ? HitAt(0).GetDeep() : -1.0f; };
  EXPECT_NEAR(depth(), DepthAt(0.0f), 1e-6f);
  ASSERT_NE(face->FindCache(KelPickTree::Owner()), nullptr);
  int allocate;
  float *vertices, *normals;
  int nv, nn, nt, ns, nf;
  int *triangles, *strips, *stripLengths, *fans, *fanLengths;
  face->Get(&allocate, &vertices, &nv, &normals, &nn, &triangles, &nt, &strips, &ns, &stripLengths,
            &fans, &nf, &fanLengths);
  for (int i = 2; i < nv; i += 3) vertices[i] = 2.0f;
  face->ComputeBox();
  EXPECT_NEAR(depth(), DepthAt(2.0f), 1e-6f);
}

}  // namespace
