// The display-list stream a culling pass records, worked out entry by entry.
// The pass is a hot path: once the display list has reached its size, a frame
// allocates per matrix depth at most, never per Rep (counted through the
// program's operator new, only while a test asks).
// Random assemblies of bags placed by matrices, culled with the camera moved
// lazily and with the whole camera moved at every push, give the same display
// lists, entry for entry, with the same matrices and the same cameras
// recorded for dynamic primitives.
#include <gtest/gtest.h>

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DLightSourceGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/primitives/KelDynamicGP.h>
#include <kel/render/KelCullingRender.h>
#include <kel/render/KelDisplayList.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>
#include <kel/viewpoints/Kel3DViewport.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "KelAllocationCounter.h"
#include "KelTestEnv.h"
#include "KelTestScene.h"

namespace {

using DL = KelDisplayList;
using keltest::GPLeaf;
using keltest::Stream;
using Entry = Stream::value_type;
using A = KelGraphicAttributeSet;
using keltest::Look;

A Rgba(unsigned char r, unsigned char g, unsigned char b, unsigned char alpha) {
  A a;
  a.color = A::RGBA_COLOR;
  a.rgba[0] = r, a.rgba[1] = g, a.rgba[2] = b, a.rgba[3] = alpha;
  return a;
}
// Entries: an attribute (with the RGBA operand before it when it has one), a
// face, a push of a 4x4 matrix recorded at `value`, a pop, an operand.
Stream Attr(const A& a = A()) {
  if (a.color == A::RGBA_COLOR)
    return {{DL::OP_VALUE, a.SecondWord()}, {DL::OP_ATTRIBUTE, a.FirstWord()}};
  return {{DL::OP_ATTRIBUTE, a.FirstWord()}};
}
Entry Face(const Kel3DFaceGP& f) {
  return {DL::OP_3D_FACE, keltest::Address(f)};
}
Entry Push(std::intptr_t value) {
  return {DL::OP_PUSH_MATRIX_4X4, value};
}
const Entry kPop{DL::OP_POP_MATRIX, 0};
template <class... E>
Stream S(E... entries) {
  return Stream{entries...};
}
Stream operator+(Stream a, const Stream& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Asks for the camera of its place, which the lazily moved camera has to
// catch up with.
class Dynamic : public KelDynamicGP {
 public:
  void ImmediateDraw(KelRender&, const KelViewpoint*, const KelViewport*) override {}
};

Kelpoint3f EyeOf(KelRender& render) {
  return render.GetCurrent3DViewpoint()->GetOrigin();
}

class CullingStream : public ::testing::Test {
 protected:
  GPLeaf* Leaf(const A& a, std::vector<KelGraphicPrimitive*> gps,
               Kelpoint3f centre = Kelpoint3f(0, 0, 0), float radius = 1.0f) {
    auto* leaf = new GPLeaf(std::move(gps), centre, radius);
    leaf->SetGraphicAttributeSet(a);
    leaf->owned = false;
    reps.emplace_back(leaf);
    return leaf;
  }
  Kel3DBagRep* Bag(const Kelvector3f& translation, std::vector<Kel3DRep*> children) {
    auto* bag = new Kel3DBagRep;
    bag->SetMatrix(Kel4x4Matrix(translation));
    for (Kel3DRep* c : children) bag->AddChild(*c);
    reps.emplace_back(bag);
    return bag;
  }
  // Culls the viewpoint's Reps; answers list `l`.
  Stream Cull(int l = 5) {
    keltest::Cull(support, *camera);
    return List(l);
  }
  Stream List(int l) const { return keltest::StreamOf(*camera->GetDisplayList(), l); }

  keltest::TestSupport support;
  Kel3DFaceGP f1, f2, f3, f4;
  std::vector<std::unique_ptr<Kel3DRep>> reps;
  std::unique_ptr<Kel3DViewpoint> camera = keltest::TopCamera();
};

TEST_F(CullingStream, EachViewpointSetsItsColourAgain) {
  const A red = Rgba(200, 10, 20, 255);
  camera->AddRep(Leaf(red, {&f3}));
  // Each viewpoint's list opens with the default attribute, so the leaf must
  // set its colour again even though the render last saw the same one.
  Kel3DViewpoint second(*camera);
  second.AddRep(Leaf(red, {&f4}));
  KelCullingRender render(support);
  for (KelViewpoint* v :
       {static_cast<KelViewpoint*>(camera.get()), static_cast<KelViewpoint*>(&second)}) {
    render.BeginDraw(*v);
    render.Draw(*v);
    render.EndDraw(*v);
  }
  EXPECT_EQ(keltest::StreamOf(*second.GetDisplayList(), 5), Attr() + Attr(red) + S(Face(f4)));
}

TEST_F(CullingStream, DeepMatricesAreCopiedAndTheCameraComesBack) {
  // Sixty bags (deeper than the fifty a pass once held) each move their child
  // by +1 in x; the leaf sits at the world origin. A sibling after them is
  // seen only if the viewport came back too.
  constexpr int kDepth = 60;
  std::vector<Kelpoint3f> eyes;
  GPLeaf* leaf = Leaf(A(), {&f1}, Kelpoint3f(-kDepth, 0, 0));
  GPLeaf* after = Leaf(A(), {&f2});
  leaf->onDraw = after->onDraw = [&](KelRender& r) { eyes.push_back(EyeOf(r)); };
  Kel3DBagRep* innermost = Bag(Kelvector3f(1, 0, 0), {leaf});
  Kel3DRep* child = innermost;
  for (int i = 1; i < kDepth; ++i) child = Bag(Kelvector3f(1, 0, 0), {child});
  camera->AddRep(child);
  camera->AddRep(after);
  const Stream s = Cull();
  ASSERT_EQ(eyes.size(), 2u);
  keltest::ExpectXYZ(eyes[0], -kDepth, 0, 10);
  keltest::ExpectXYZ(eyes[1], 0, 0, 10);
  Stream expected = Attr();
  for (int i = 1; i <= kDepth; ++i) expected.push_back(Push(s.at(i).second));
  expected.push_back(Face(f1));
  for (int i = 0; i < kDepth; ++i) expected = expected + S(kPop) + Attr();
  EXPECT_EQ(s, expected + S(Face(f2)));
  EXPECT_EQ(camera->GetDisplayList()->GetNbMatrices(), kDepth);
  // Nothing drawn in lists 1 to 4: the pushes and pops vanished there.
  for (int l = 1; l <= 4; ++l) EXPECT_EQ(List(l), Attr()) << l;
  // The application drops a matrix before the frame is drawn: the copy stays.
  innermost->ResetMatrix();
  for (int i = 1; i <= kDepth; ++i)
    EXPECT_FLOAT_EQ(reinterpret_cast<const Kel4x4Matrix*>(s[i].second)->GetCoefficient(3, 0), 1);
}

TEST_F(CullingStream, DynamicPrimitivesKeepTheCameraOfTheirPlace) {
  Dynamic d1, d2, d3;
  camera->AddRep(Bag(Kelvector3f(0, 5, 0), {Leaf(A(), {&d1, &d2}, Kelpoint3f(0, -5, 0))}));
  camera->AddRep(Leaf(A(), {&d3}));
  const Stream s = Cull();
  ASSERT_EQ(s.size(), 13u);
  const std::intptr_t v1 = s[2].second, p1 = s[3].second, v2 = s[10].second, p2 = s[11].second;
  // One pair of copies until the next matrix.
  const auto dynamic = [](std::intptr_t v, std::intptr_t p, const KelDynamicGP& d) {
    return Stream{{DL::OP_DYNAMIC_VIEWPOINT, v},
                  {DL::OP_DYNAMIC_VIEWPORT, p},
                  {DL::OP_DYNAMIC_GP, keltest::Address(d)}};
  };
  EXPECT_EQ(s, Attr() + S(Push(s[1].second)) + dynamic(v1, p1, d1) + dynamic(v1, p1, d2) + S(kPop) +
                   Attr() + dynamic(v2, p2, d3));
  EXPECT_NE(v1, v2);
  auto* camera1 = dynamic_cast<Kel3DViewpoint*>(reinterpret_cast<KelViewpoint*>(v1));
  auto* camera2 = dynamic_cast<Kel3DViewpoint*>(reinterpret_cast<KelViewpoint*>(v2));
  ASSERT_TRUE(camera1 && camera2);
  EXPECT_FLOAT_EQ(camera1->GetOrigin().y, -5.0f);
  EXPECT_EQ(dynamic_cast<Kel3DViewport*>(reinterpret_cast<KelViewport*>(p2))->GetNbPlanes(), 6);
  // The viewer moves on before drawing: the recorded camera stays.
  camera->SetOrigin(Kelpoint3f(0, 0, 50));
  EXPECT_FLOAT_EQ(camera2->GetOrigin().z, 10.0f);
}

TEST_F(CullingStream, CylinderOperandTellsWhereTheEyeIs) {
  const float circle[] = {1, 0, 0, 0, 1, 0, -1, 0, 0, 0, -1, 0};
  const float up[] = {0, 0, 1}, down[] = {0, 0, -1}, base[] = {0, 0, 0}, high[] = {0, 0, 12};
  // (base - eye) . direction: -10, 10, 2.
  Kel3DCylinderGP c1(circle, 4, up, 1.0f, base, 1.0f), c2(circle, 4, down, 1.0f, base, 1.0f),
      c3(circle, 4, up, 1.0f, high, 1.0f);
  camera->AddRep(Leaf(A(), {&c1, &c2, &c3}));
  const auto cylinder = [](int operand, const Kel3DCylinderGP& c) {
    return Stream{{DL::OP_VALUE, operand}, {DL::OP_3D_CYLINDER, keltest::Address(c)}};
  };
  EXPECT_EQ(Cull(), Attr() + cylinder(2, c1) + cylinder(1, c2) + cylinder(1, c3));
}

TEST_F(CullingStream, HighlightFurtiveForcedListsAndPolygonOffset) {
  Kel3DLineGP line;
  Kel3DBagRep* bag = Bag(Kelvector3f(0, 0, 0), {Leaf(A(), {&f1})});
  bag->ResetMatrix();
  bag->HighLightOn();
  camera->AddRep(bag);
  camera->AddFurtiveRep(Leaf(A(), {&line}));
  // The bag's own attribute was replaced by the leaf's; the furtive bracket
  // vanished where nothing was drawn in it.
  const Stream forced{{DL::OP_INHERIT_FOREGROUND, 251}}, released{{DL::OP_INHERIT_FOREGROUND, 0}};
  EXPECT_EQ(Cull(),
            Attr() + forced + Attr() + S(Face(f1)) + released +
                S(Entry{DL::OP_FURTIVE_ON, 0}, Entry{DL::OP_3D_LINE, keltest::Address(line)},
                  Entry{DL::OP_FURTIVE_OFF, 0}));
  for (int l = 1; l <= 4; ++l) EXPECT_EQ(List(l), Attr() + forced + released) << l;

  camera->GetDisplayList()->Reset();
  KelCullingRender render(support);
  render.BeginDraw(*camera);
  render.InheritElementType(ELEMENT_TRANSPARENT, 1);
  render.SetCurrentAttribute(Look(253, 0x10));  // kind 1, but forced
  render.Draw3DFace(f1);
  render.SetPolygonOffsetOn();
  render.InheritElementType(ELEMENT_DEFAULT_LIST, 1);
  render.Draw3DFace(f2);
  render.InheritElementType(ELEMENT_LIGHT_SOURCES, 0);  // back to the attribute's list
  render.SetPolygonOffsetOff();
  render.EndDraw(*camera);
  EXPECT_EQ(List(3), Attr(Look(253, 0x10)) + S(Face(f1), Entry{DL::OP_POLYGON_OFFSET_ON, 0}));
  EXPECT_EQ(List(5), Attr() + S(Face(f2)));
  EXPECT_EQ(List(4), Attr() + S(Entry{DL::OP_POLYGON_OFFSET_OFF, 0}));
}

TEST_F(CullingStream, UnbalancedPopAndListsOutOfRangeAreRefused) {
  KelCullingRender render(support);
  render.BeginDraw(*camera);
  render.PopMatrix(&render);
  EXPECT_EQ(render.GetMatrixDepth(), 0);
  // A push left open at the end of a pass is released with the render.
  Kel4x4Matrix m(Kelvector3f(1, 2, 3));
  render.PushMatrix(m);
  render.EndDraw(*camera);
  for (int l = 1; l <= 5; ++l) EXPECT_EQ(List(l).size(), 2u) << l;
  // Lists a display list does not have, or past the range, take nothing.
  KelDisplayList dl3, dl2(DISPLAY_LIST_2D);
  dl2.AddElem(5, 7, DL::OP_3D_FACE);
  dl3.AddElem(6, 7, DL::OP_3D_FACE);
  dl3.AddElem(-1, 7, DL::OP_3D_FACE);
  dl3.AddElem(9, 7, DL::OP_3D_FACE);
  EXPECT_EQ(dl2.GetCount(5) + dl2.GetCount(6) + dl3.GetCount(6), 0);
  EXPECT_EQ(dl3.GetOpcodes(6), nullptr);
}

long AllocationsOfOnePass(KelSupport& support, Kel3DViewpoint& viewpoint) {
  KelCullingRender render(support);
  render.BeginDraw(viewpoint);
  keltest::StartCountingAllocations();
  render.Draw(viewpoint);
  const long allocations = keltest::StopCountingAllocations();
  render.EndDraw(viewpoint);
  return allocations;
}

TEST_F(CullingStream, SteadyStateFrameAllocatesPerDepthNotPerRep) {
  // 20 outer bags of 10 inner bags of one leaf, each bag with a matrix, every
  // leaf at the world origin.
  for (int i = 0; i < 20; ++i) {
    std::vector<Kel3DRep*> inner;
    for (int j = 0; j < 10; ++j)
      inner.push_back(
          Bag(Kelvector3f(0, float(j), 0), {Leaf(A(), {&f1}, Kelpoint3f(-i, -j, 0), 0.5f)}));
    camera->AddRep(Bag(Kelvector3f(float(i), 0, 0), inner));
  }
  const size_t entries = 1 + 20 * (1 + 10 * 4 + 2);
  AllocationsOfOnePass(support, *camera);  // sizes the list and its matrix pool
  camera->GetDisplayList()->Reset();
  // 220 pushes in two depths: they move the planes and the eye point, not
  // the camera, which nothing here asks for.
  EXPECT_EQ(AllocationsOfOnePass(support, *camera), 0);
  EXPECT_EQ(List(5).size(), entries);
}

// Placed bags, lazily and wholly moved.

using Random = std::mt19937;

float Uniform(Random& r, float lo, float hi) {
  return std::uniform_real_distribution<float>(lo, hi)(r);
}

// A leaf of random place, size, colour, kind and flags: two faces, and at
// times a dynamic primitive, a cylinder or a light.
Kel3DRep* RandomLeaf(Random& r) {
  auto* leaf = new GPLeaf;
  leaf->SetBoundingElement(
      Kel3DBoundingSphere(Kelpoint3f(Uniform(r, -1, 1), Uniform(r, -1, 1), Uniform(r, -1, 1)),
                          Uniform(r, 0.05f, 1), r() % 4 == 0 ? Uniform(r, 0.5f, 3) : 0.0f));
  KelGraphicAttributeSet a;
  a.color = static_cast<unsigned char>(r() % 8);
  a.flags = static_cast<unsigned char>((r() % 4) << 4 | (r() % 6 == 0 ? 0x80 : 0) |
                                       (r() % 9 == 0 ? 2 : 0));
  leaf->SetGraphicAttributeSet(a);
  const float v[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  const float n[3] = {Uniform(r, -1, 1), Uniform(r, -1, 1), 1};
  const int t[3] = {0, 3, 6};
  std::vector<KelGraphicPrimitive*>& gps = leaf->gps;
  gps.push_back(new Kel3DFaceGP(v, 9, nullptr, 0, t, 1, nullptr, 0, nullptr, nullptr, 0, nullptr));
  gps.push_back(new Kel3DPlanarFaceGP(v, 9, n, t, 1, nullptr, 0, nullptr, nullptr, 0, nullptr));
  if (r() % 3 == 0) gps.push_back(new Dynamic);
  if (r() % 4 == 0) {
    const float base[3] = {0, 0, 0}, axis[3] = {0, 0, 1}, ring[9] = {1, 0, 0, 0, 1, 0, -1, 0, 0};
    gps.push_back(new Kel3DCylinderGP(ring, 3, axis, 1.0f, base, 1.0f));
  }
  if (r() % 10 == 0) {
    const float p[4] = {0, 0, 1, 0}, d[3] = {0, 0, -1}, c[4] = {1, 1, 1, 1};
    gps.push_back(new Kel3DLightSourceGP(p, d, c, c, DIRECTIONAL_SL));
  }
  return leaf;
}

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
  if (depth == 0 || r() % 5 == 0) return RandomLeaf(r);
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
  keltest::TestSupport support(300, 200);
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
          const float *pa[4], *pb[4];
          ra->GetPlanes(&pa[0], &pa[1], &pa[2], &pa[3]);
          rb->GetPlanes(&pb[0], &pb[1], &pb[2], &pb[3]);
          ASSERT_EQ(ra->GetNbPlanes(), rb->GetNbPlanes());
          for (int k = 0; k < 4; ++k)
            EXPECT_EQ(std::memcmp(pa[k], pb[k], 4 * ra->GetNbPlanes()), 0) << "scene " << scene;
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
