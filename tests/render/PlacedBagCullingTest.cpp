// Random assemblies of bags placed by matrices, culled with the camera moved
// lazily and with the whole camera moved at every push: the same display
// lists, entry for entry, with the same matrices and the same cameras recorded
// for dynamic primitives.
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DLightSourceGP.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/primitives/KelDynamicGP.h>
#include <kel/render/KelCullingRender.h>
#include <kel/render/KelDisplayList.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>
#include <kel/viewpoints/Kel3DViewport.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

using Random = std::mt19937;

float Uniform(Random& r, float lo, float hi) {
  return std::uniform_real_distribution<float>(lo, hi)(r);
}

class TestSupport : public KelSupport {
 public:
  TestSupport() : KelSupport(300, 200) {}
  int MakeCurrent() override { return 1; }
  void ReadPixels() override {}
};

// Asks the camera for its scale on screen-sized spheres, so that the lazily
// moved camera has to catch up.
class Dynamic : public KelDynamicGP {
 public:
  void ImmediateDraw(KelRender&, const KelViewpoint*, const KelViewport*) override {}
};

class Leaf : public Kel3DRep {
 public:
  Leaf(Random& r) {
    SetBoundingElement(
        Kel3DBoundingSphere(Kelpoint3f(Uniform(r, -1, 1), Uniform(r, -1, 1), Uniform(r, -1, 1)),
                            Uniform(r, 0.05f, 1), r() % 4 == 0 ? Uniform(r, 0.5f, 3) : 0.0f));
    KelGraphicAttributeSet a;
    a.color = static_cast<unsigned char>(r() % 8);
    a.flags = static_cast<unsigned char>((r() % 4) << 4 | (r() % 6 == 0 ? 0x80 : 0) |
                                         (r() % 9 == 0 ? 2 : 0));
    SetGraphicAttributeSet(a);
    const float v[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    const float n[3] = {Uniform(r, -1, 1), Uniform(r, -1, 1), 1};
    const int t[3] = {0, 3, 6};
    _gps.emplace_back(
        new Kel3DFaceGP(v, 9, nullptr, 0, t, 1, nullptr, 0, nullptr, nullptr, 0, nullptr));
    _gps.emplace_back(
        new Kel3DPlanarFaceGP(v, 9, n, t, 1, nullptr, 0, nullptr, nullptr, 0, nullptr));
    if (r() % 3 == 0) _gps.emplace_back(new Dynamic);
    if (r() % 4 == 0) {
      const float base[3] = {0, 0, 0}, axis[3] = {0, 0, 1}, ring[9] = {1, 0, 0, 0, 1, 0, -1, 0, 0};
      _gps.emplace_back(new Kel3DCylinderGP(ring, 3, axis, 1.0f, base, 1.0f));
    }
    if (r() % 10 == 0) {
      const float p[4] = {0, 0, 1, 0}, d[3] = {0, 0, -1}, c[4] = {1, 1, 1, 1};
      _gps.emplace_back(new Kel3DLightSourceGP(p, d, c, c, DIRECTIONAL_SL));
    }
  }
  void DrawShading(KelRender& render, int inside) override {
    if (!OkToDraw(render, &inside)) return;
    for (auto& gp : _gps) gp->Draw(render);
  }

 private:
  std::vector<std::unique_ptr<KelGraphicPrimitive>> _gps;
};

Kel4x4Matrix RandomMatrix(Random& r) {
  const Kelvector3f t(Uniform(r, -3, 3), Uniform(r, -3, 3), Uniform(r, -3, 3));
  switch (r() % 4) {
    case 0:
      return Kel4x4Matrix(t);
    case 1: {
      Kel4x4Matrix turn;
      turn.SetRotation(Keldirection3f(Uniform(r, -1, 1), Uniform(r, -1, 1), 1), Kelpoint3f(0, 0, 0),
                       Uniform(r, -3, 3));
      return turn * Kel4x4Matrix(t);
    }
    case 2:  // uneven scaling
      return Kel4x4Matrix(Kelvector3f(Uniform(r, 0.3f, 2), 0, 0),
                          Kelvector3f(0, Uniform(r, 0.3f, 2), 0),
                          Kelvector3f(0, 0, Uniform(r, 0.3f, 2)), t);
    default:  // flat: no inverse
      return Kel4x4Matrix(Kelvector3f(1, 0, 0), Kelvector3f(0, 1, 0), Kelvector3f(0, 0, 0), t);
  }
}

Kel3DRep* Assembly(Random& r, int depth) {
  if (depth == 0 || r() % 5 == 0) return new Leaf(r);
  auto* bag = new Kel3DBagRep;
  if (r() % 6 != 0) bag->SetMatrix(RandomMatrix(r));
  KelGraphicAttributeSet a;
  a.flags = r() % 8 == 0 ? 2 : r() % 8 == 0 ? 4 : 0;  // highlighted, marked
  bag->SetGraphicAttributeSet(a);
  const int children = 1 + static_cast<int>(r() % 4);
  for (int i = 0; i < children; ++i) bag->AddChild(*Assembly(r, depth - 1));
  return bag;
}

void ExpectSameCamera(std::intptr_t a, std::intptr_t b, const char* where) {
  const auto* ca = reinterpret_cast<const Kel3DViewpoint*>(a);
  const auto* cb = reinterpret_cast<const Kel3DViewpoint*>(b);
  const Kelpoint3f oa = ca->GetOrigin(), ob = cb->GetOrigin();
  EXPECT_TRUE(oa.x == ob.x && oa.y == ob.y && oa.z == ob.z) << where;
  const Keldirection3f sa = ca->GetSightDirection(), sb = cb->GetSightDirection();
  EXPECT_TRUE(sa.x == sb.x && sa.y == sb.y && sa.z == sb.z) << where;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      EXPECT_EQ(ca->GetMatrix().GetCoefficient(i, j), cb->GetMatrix().GetCoefficient(i, j))
          << where;
}

TEST(PlacedBagCulling, LazyMovesRecordTheListsOfWholeMoves) {
  Random r(4242);
  TestSupport support;
  support.SetCullingPrecision(3);
  int entries = 0, pushes = 0, cameras = 0;
  for (int scene = 0; scene < 60; ++scene) {
    Kel3DRep* root = Assembly(r, 6);
    Kel3DViewpoint camera(Kelpoint3f(Uniform(r, -2, 2), Uniform(r, -2, 2), 12),
                          Keldirection3f(Uniform(r, -0.3f, 0.3f), Uniform(r, -0.3f, 0.3f), -1),
                          Keldirection3f(0, 1, 0), 1.0f, 100.0f,
                          scene % 3 ? CONIC_PROJECTION : PARALLEL_PROJECTION, 20.0f);
    camera.AddRep(root);
    Kel3DRep* furtive = Assembly(r, 2);
    camera.AddFurtiveRep(furtive);
    std::unique_ptr<KelDisplayList> lists[2];
    for (int lazy = 0; lazy < 2; ++lazy) {
      KelCullingRender render(support);
      render.SetDeferredMoves(lazy);
      render.BeginDraw(camera);
      render.Draw(camera);
      render.EndDraw(camera);
      lists[lazy] = std::make_unique<KelDisplayList>(*camera.GetDisplayList());
      camera.GetDisplayList()->Reset();
    }
    for (int list = 0; list < KelDisplayList::NB_LISTS; ++list) {
      const KelDisplayList &a = *lists[1], &b = *lists[0];
      ASSERT_EQ(a.GetCount(list), b.GetCount(list)) << "scene " << scene << " list " << list;
      for (int i = 0; i < a.GetCount(list); ++i) {
        const int op = a.GetOpcode(list, i);
        ASSERT_EQ(op, b.GetOpcode(list, i)) << "scene " << scene << " list " << list << " at " << i;
        const std::intptr_t va = a.GetValue(list, i), vb = b.GetValue(list, i);
        ++entries;
        if (op == KelDisplayList::OP_PUSH_MATRIX_4X4) {
          ++pushes;
          for (int k = 0; k < 16; ++k)
            EXPECT_EQ(reinterpret_cast<const Kel4x4Matrix*>(va)->GetCoefficient(k / 4, k % 4),
                      reinterpret_cast<const Kel4x4Matrix*>(vb)->GetCoefficient(k / 4, k % 4));
        } else if (op == KelDisplayList::OP_DYNAMIC_VIEWPOINT) {
          ++cameras;
          ExpectSameCamera(va, vb, "dynamic camera");
        } else if (op == KelDisplayList::OP_DYNAMIC_VIEWPORT) {
          // Every plane as the whole move gives it, to the bit.
          const auto* ra = reinterpret_cast<const Kel3DViewport*>(va);
          const auto* rb = reinterpret_cast<const Kel3DViewport*>(vb);
          const float *pa, *pb, *pc, *pd, *qa, *qb, *qc, *qd;
          ra->GetPlanes(&pa, &pb, &pc, &pd);
          rb->GetPlanes(&qa, &qb, &qc, &qd);
          ASSERT_EQ(ra->GetNbPlanes(), rb->GetNbPlanes());
          for (int p = 0; p < ra->GetNbPlanes(); ++p)
            EXPECT_TRUE(std::memcmp(pa + p, qa + p, 4) == 0 &&
                        std::memcmp(pb + p, qb + p, 4) == 0 &&
                        std::memcmp(pc + p, qc + p, 4) == 0 && std::memcmp(pd + p, qd + p, 4) == 0)
                << "scene " << scene << " plane " << p;
        } else {
          EXPECT_EQ(va, vb) << "scene " << scene << " list " << list << " at " << i;
        }
      }
    }
    camera.RemoveRep(root);
    camera.RemoveFurtiveRep(furtive);
    root->Destroy();
    furtive->Destroy();
    if (::testing::Test::HasFailure()) break;
  }
  // The scenes draw, place and ask for cameras.
  EXPECT_GT(entries, 5000);
  EXPECT_GT(pushes, 500);
  EXPECT_GT(cameras, 100);
}

}  // namespace
