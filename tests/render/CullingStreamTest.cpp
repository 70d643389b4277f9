// The display-list stream a culling pass records, worked out entry by entry.
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/KelDynamicGP.h>
#include <kel/render/KelCullingRender.h>
#include <kel/render/KelDisplayList.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/viewpoints/Kel3DViewport.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

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
  struct Dynamic : KelDynamicGP {
    void ImmediateDraw(KelRender&, const KelViewpoint*, const KelViewport*) override {}
  } d1, d2, d3;
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
  EXPECT_EQ(camera->GetDisplayList()->GetNbCameraCopies(), 4);
  auto* camera1 = dynamic_cast<Kel3DViewpoint*>(reinterpret_cast<KelViewpoint*>(v1));
  auto* camera2 = dynamic_cast<Kel3DViewpoint*>(reinterpret_cast<KelViewpoint*>(v2));
  ASSERT_TRUE(camera1 && camera2);
  EXPECT_FLOAT_EQ(camera1->GetOrigin().y, -5.0f);
  EXPECT_EQ(dynamic_cast<Kel3DViewport*>(reinterpret_cast<KelViewport*>(p2))->GetNbPlanes(), 6);
  // The viewer moves on before drawing: the recorded camera stays.
  camera->SetOrigin(Kelpoint3f(0, 0, 50));
  EXPECT_FLOAT_EQ(camera2->GetOrigin().z, 10.0f);
  // A copy of the list owns copies of its own, which outlive the original's.
  KelDisplayList copy(*camera->GetDisplayList());
  const Stream c = keltest::StreamOf(copy, 5);
  EXPECT_NE(c[2].second, v1);
  EXPECT_EQ(c[5].second, c[2].second);
  camera->GetDisplayList()->Reset();
  EXPECT_FLOAT_EQ(reinterpret_cast<Kel3DViewpoint*>(c[2].second)->GetOrigin().y, -5.0f);
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
  EXPECT_EQ(render.GetCurrentElementList(), 5);
  render.InheritElementType(ELEMENT_TRANSPARENT, 1);
  render.SetCurrentAttribute(Look(253, 0x10));  // kind 1, but forced
  render.Draw3DFace(f1);
  render.SetPolygonOffsetOn();
  render.InheritElementType(ELEMENT_DEFAULT_LIST, 1);
  render.Draw3DFace(f2);
  render.InheritElementType(ELEMENT_LIGHT_SOURCES, 0);  // back to the attribute's list
  EXPECT_EQ(render.GetCurrentElementList(), 4);
  render.SetPolygonOffsetOff();
  render.EndDraw(*camera);
  EXPECT_EQ(List(3), Attr(Look(253, 0x10)) + S(Face(f1), Entry{DL::OP_POLYGON_OFFSET_ON, 0}));
  EXPECT_EQ(List(5), Attr() + S(Face(f2)));
  EXPECT_EQ(List(4), Attr() + S(Entry{DL::OP_POLYGON_OFFSET_OFF, 0}));
}

TEST_F(CullingStream, UnbalancedPopAndListsOutOfRangeAreRefused) {
  KelCullingRender render(support);
  render.BeginDraw(*camera);
  testing::internal::CaptureStderr();
  render.PopMatrix(&render);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "KelCullingRender::PopMatrix: no matrix to pop.\n");
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

}  // namespace
