#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/KelDynamicGP.h>
#include <kel/render/KelCullingRender.h>
#include <kel/render/KelDisplayList.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DRep.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>
#include <kel/viewpoints/Kel3DViewport.h>

#include <gtest/gtest.h>

#include "KelTestScene.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

using DL = KelDisplayList;
using keltest::GPLeaf;
using keltest::Stream;
using keltest::StreamOf;
using Entry = Stream::value_type;
const auto V = [](const auto& object) { return keltest::Address(object); };

KelGraphicAttributeSet Attribute(unsigned char colour, unsigned char flags) {
  KelGraphicAttributeSet a;
  a.color = colour;
  a.flags = flags;
  return a;
}

KelGraphicAttributeSet Rgba(unsigned char r, unsigned char g, unsigned char b,
                            unsigned char alpha) {
  KelGraphicAttributeSet a;
  a.color = KelGraphicAttributeSet::RGBA_COLOR;
  a.rgba[0] = r;
  a.rgba[1] = g;
  a.rgba[2] = b;
  a.rgba[3] = alpha;
  return a;
}

std::intptr_t Word(const KelGraphicAttributeSet& a) {
  return a.FirstWord();
}
const std::intptr_t kDefault = Word(KelGraphicAttributeSet());

class TestDynamicGP : public KelDynamicGP {
 public:
  void ImmediateDraw(KelRender&, const KelViewpoint*, const KelViewport*) override {}
};

Kelpoint3f EyeOf(KelRender& render) {
  return render.GetCurrent3DViewpoint()->GetOrigin();
}

class CullingStreamTest : public ::testing::Test {
 protected:
  GPLeaf& Leaf(const KelGraphicAttributeSet& a, std::vector<KelGraphicPrimitive*> gps,
               Kelpoint3f centre = Kelpoint3f(0, 0, 0), float radius = 1.0f) {
    auto leaf = std::make_unique<GPLeaf>(std::move(gps), centre, radius);
    leaf->SetGraphicAttributeSet(a);
    leaf->owned = false;
    GPLeaf& ref = *leaf;
    reps.push_back(std::move(leaf));
    return ref;
  }
  Kel3DBagRep& Bag(const Kelvector3f& translation, std::vector<Kel3DRep*> children,
                   const KelGraphicAttributeSet& a = KelGraphicAttributeSet()) {
    auto bag = std::make_unique<Kel3DBagRep>();
    bag->SetGraphicAttributeSet(a);
    bag->SetMatrix(Kel4x4Matrix(translation));
    for (Kel3DRep* c : children) bag->AddChild(*c);
    Kel3DBagRep& ref = *bag;
    reps.push_back(std::move(bag));
    return ref;
  }
  void Cull(KelViewpoint& v) { keltest::Cull(support, v); }
  const KelDisplayList& List() const { return *viewpoint.GetDisplayList(); }

  keltest::TestSupport support;
  Kel3DFaceGP f1, f2, f3, f4, f5, f6, f7, f8;
  Kel3DLineGP line;
  std::vector<std::unique_ptr<Kel3DRep>> reps;
  std::unique_ptr<Kel3DViewpoint> camera = keltest::TopCamera();
  Kel3DViewpoint& viewpoint = *camera;
};

TEST_F(CullingStreamTest, RoutesByElementKindAndTransparency) {
  viewpoint.AddRep(&Leaf(Attribute(253, 0x30), {&f1}));  // closed volume
  viewpoint.AddRep(&Leaf(Attribute(253, 0xB0), {&f2}));  // closed volume, transparent
  viewpoint.AddRep(&Leaf(Attribute(253, 0x20), {&f3}));  // kind 2
  viewpoint.AddRep(&Leaf(Attribute(253, 0xA0), {&f4}));  // kind 2, transparent
  viewpoint.AddRep(&Leaf(Attribute(253, 0x10), {&f5}));  // kind 1
  viewpoint.AddRep(&Leaf(Attribute(253, 0x90), {&f6}));  // kind 1, transparent
  viewpoint.AddRep(&Leaf(Attribute(253, 0x80), {&f7}));  // kind 0, transparent
  viewpoint.AddRep(&Leaf(Attribute(9, 0x00), {&f8}));
  Cull(viewpoint);

  ASSERT_NE(viewpoint.GetDisplayList(), nullptr);
  EXPECT_EQ(List().GetType(), DISPLAY_LIST_3D);
  // Each list began with the default attribute, which the first change replaced.
  EXPECT_EQ(StreamOf(List(), 0), Stream{});
  EXPECT_EQ(StreamOf(List(), 1),
            (Stream{{DL::OP_ATTRIBUTE, Word(Attribute(253, 0x30))}, {DL::OP_3D_FACE, V(f1)}}));
  EXPECT_EQ(StreamOf(List(), 2),
            (Stream{{DL::OP_ATTRIBUTE, Word(Attribute(253, 0x20))}, {DL::OP_3D_FACE, V(f3)}}));
  EXPECT_EQ(StreamOf(List(), 3), (Stream{{DL::OP_ATTRIBUTE, Word(Attribute(253, 0xB0))},
                                         {DL::OP_3D_FACE, V(f2)},
                                         {DL::OP_ATTRIBUTE, Word(Attribute(253, 0xA0))},
                                         {DL::OP_3D_FACE, V(f4)}}));
  EXPECT_EQ(StreamOf(List(), 4), (Stream{{DL::OP_ATTRIBUTE, Word(Attribute(253, 0x10))},
                                         {DL::OP_3D_FACE, V(f5)},
                                         {DL::OP_ATTRIBUTE, Word(Attribute(253, 0x90))},
                                         {DL::OP_3D_FACE, V(f6)}}));
  EXPECT_EQ(StreamOf(List(), 5), (Stream{{DL::OP_ATTRIBUTE, Word(Attribute(253, 0x80))},
                                         {DL::OP_3D_FACE, V(f7)},
                                         {DL::OP_ATTRIBUTE, Word(Attribute(9, 0x00))},
                                         {DL::OP_3D_FACE, V(f8)}}));

  // The next frame starts again from the default attribute in lists 1 to 5.
  viewpoint.GetDisplayList()->Reset();
  viewpoint.GetRepList().Free();
  Cull(viewpoint);
  EXPECT_EQ(StreamOf(List(), 0), Stream{});
  for (int l = 1; l <= 5; ++l)
    EXPECT_EQ(StreamOf(List(), l), (Stream{{DL::OP_ATTRIBUTE, kDefault}})) << l;
}

TEST_F(CullingStreamTest, AttributeChangesCollapseAndRgbaCarriesItsOperand) {
  const KelGraphicAttributeSet red = Rgba(200, 10, 20, 255);
  viewpoint.AddRep(&Leaf(Attribute(5, 0), {&f1}));
  viewpoint.AddRep(&Leaf(Attribute(5, 0), {&f2}));  // same: nothing recorded
  viewpoint.AddRep(&Leaf(red, {&f3}));
  viewpoint.AddRep(&Leaf(red, {&f4}));
  viewpoint.AddRep(&Leaf(Attribute(5, 0), {&f5}));
  viewpoint.AddRep(&Leaf(Attribute(7, 0), {}));  // nothing drawn with it
  viewpoint.AddRep(&Leaf(Attribute(8, 0), {&f6}));
  Cull(viewpoint);

  EXPECT_EQ(StreamOf(List(), 5), (Stream{{DL::OP_ATTRIBUTE, Word(Attribute(5, 0))},
                                         {DL::OP_3D_FACE, V(f1)},
                                         {DL::OP_3D_FACE, V(f2)},
                                         {DL::OP_VALUE, red.SecondWord()},
                                         {DL::OP_ATTRIBUTE, Word(red)},
                                         {DL::OP_3D_FACE, V(f3)},
                                         {DL::OP_3D_FACE, V(f4)},
                                         {DL::OP_ATTRIBUTE, Word(Attribute(5, 0))},
                                         {DL::OP_3D_FACE, V(f5)},
                                         {DL::OP_ATTRIBUTE, Word(Attribute(8, 0))},
                                         {DL::OP_3D_FACE, V(f6)}}));
}

TEST_F(CullingStreamTest, MatricesAreCopiedAndTheCameraComesBack) {
  // The bag moves its leaf by +1000 in x; the leaf sits at the world origin.
  std::vector<Kelpoint3f> eyes;
  GPLeaf& inner = Leaf(KelGraphicAttributeSet(), {&f1}, Kelpoint3f(-1000, 0, 0));
  inner.onDraw = [&](KelRender& r) { eyes.push_back(EyeOf(r)); };
  Kel3DBagRep& bag = Bag(Kelvector3f(1000, 0, 0), {&inner});
  // A sibling after the bag is seen only if the viewport came back too.
  GPLeaf& after = Leaf(KelGraphicAttributeSet(), {&f2});
  after.onDraw = [&](KelRender& r) { eyes.push_back(EyeOf(r)); };
  viewpoint.AddRep(&bag);
  viewpoint.AddRep(&after);
  Cull(viewpoint);

  ASSERT_EQ(eyes.size(), 2u);
  EXPECT_FLOAT_EQ(eyes[0].x, -1000.0f);
  EXPECT_FLOAT_EQ(eyes[0].z, 10.0f);
  EXPECT_FLOAT_EQ(eyes[1].x, 0.0f);
  EXPECT_FLOAT_EQ(eyes[1].z, 10.0f);

  const Stream s = StreamOf(List(), 5);
  ASSERT_EQ(s.size(), 6u);
  const std::intptr_t matrix = s[1].second;
  EXPECT_EQ(s, (Stream{{DL::OP_ATTRIBUTE, kDefault},
                       {DL::OP_PUSH_MATRIX_4X4, matrix},
                       {DL::OP_3D_FACE, V(f1)},
                       {DL::OP_POP_MATRIX, 0},
                       {DL::OP_ATTRIBUTE, kDefault},
                       {DL::OP_3D_FACE, V(f2)}}));
  EXPECT_NE(matrix, V(*bag.GetMatrix()));
  // Nothing drawn in lists 1 to 4: the push and pop vanished there.
  for (int l = 1; l <= 4; ++l)
    EXPECT_EQ(StreamOf(List(), l), (Stream{{DL::OP_ATTRIBUTE, kDefault}})) << l;

  // The application drops the matrix before the frame is drawn.
  bag.ResetMatrix();
  const auto* copy = reinterpret_cast<const Kel4x4Matrix*>(matrix);
  EXPECT_FLOAT_EQ(copy->GetCoefficient(3, 0), 1000.0f);
  EXPECT_FLOAT_EQ(copy->GetCoefficient(0, 0), 1.0f);
}

TEST_F(CullingStreamTest, PopGivesBackAnRgbaAttributeWithItsOperand) {
  const KelGraphicAttributeSet blue = Rgba(0, 0, 255, 128);
  GPLeaf& inner = Leaf(blue, {&f1});
  viewpoint.AddRep(&Bag(Kelvector3f(0, 0, 0), {&inner}));
  Cull(viewpoint);

  const Stream s = StreamOf(List(), 5);
  ASSERT_EQ(s.size(), 8u);
  EXPECT_EQ(s, (Stream{{DL::OP_ATTRIBUTE, kDefault},
                       {DL::OP_PUSH_MATRIX_4X4, s[1].second},
                       {DL::OP_VALUE, blue.SecondWord()},
                       {DL::OP_ATTRIBUTE, Word(blue)},
                       {DL::OP_3D_FACE, V(f1)},
                       {DL::OP_POP_MATRIX, 0},
                       {DL::OP_VALUE, blue.SecondWord()},
                       {DL::OP_ATTRIBUTE, Word(blue)}}));
}

TEST_F(CullingStreamTest, NestingDeeperThanFiftyMatrices) {
  constexpr int kDepth = 60;
  std::vector<Kelpoint3f> eyes;
  GPLeaf& leaf = Leaf(KelGraphicAttributeSet(), {&f1}, Kelpoint3f(-kDepth, 0, 0));
  leaf.onDraw = [&](KelRender& r) { eyes.push_back(EyeOf(r)); };
  Kel3DRep* child = &leaf;
  for (int i = 0; i < kDepth; ++i) child = &Bag(Kelvector3f(1, 0, 0), {child});
  viewpoint.AddRep(child);
  GPLeaf& after = Leaf(KelGraphicAttributeSet(), {&f2});
  after.onDraw = [&](KelRender& r) { eyes.push_back(EyeOf(r)); };
  viewpoint.AddRep(&after);
  Cull(viewpoint);

  ASSERT_EQ(eyes.size(), 2u);
  EXPECT_FLOAT_EQ(eyes[0].x, -60.0f);
  EXPECT_FLOAT_EQ(eyes[1].x, 0.0f);

  const Stream s = StreamOf(List(), 5);
  ASSERT_EQ(s.size(), 1u + kDepth + 1u + 2u * kDepth + 1u);
  EXPECT_EQ(s[0], (Entry{DL::OP_ATTRIBUTE, kDefault}));
  for (int i = 1; i <= kDepth; ++i) {
    ASSERT_EQ(s[i].first, DL::OP_PUSH_MATRIX_4X4) << i;
    EXPECT_FLOAT_EQ(reinterpret_cast<const Kel4x4Matrix*>(s[i].second)->GetCoefficient(3, 0), 1.0f);
  }
  EXPECT_EQ(s[kDepth + 1], (Entry{DL::OP_3D_FACE, V(f1)}));
  for (int i = 0; i < kDepth; ++i) {
    EXPECT_EQ(s[kDepth + 2 + 2 * i], (Entry{DL::OP_POP_MATRIX, 0})) << i;
    EXPECT_EQ(s[kDepth + 3 + 2 * i], (Entry{DL::OP_ATTRIBUTE, kDefault})) << i;
  }
  EXPECT_EQ(s.back(), (Entry{DL::OP_3D_FACE, V(f2)}));
  for (int l = 1; l <= 4; ++l)
    EXPECT_EQ(StreamOf(List(), l), (Stream{{DL::OP_ATTRIBUTE, kDefault}})) << l;
  EXPECT_EQ(List().GetNbMatrices(), kDepth);
}

TEST_F(CullingStreamTest, DynamicPrimitivesKeepTheCameraOfTheirPlace) {
  TestDynamicGP d1, d2, d3;
  GPLeaf& inner = Leaf(KelGraphicAttributeSet(), {&d1, &d2}, Kelpoint3f(0, -5, 0));
  viewpoint.AddRep(&Bag(Kelvector3f(0, 5, 0), {&inner}));
  viewpoint.AddRep(&Leaf(KelGraphicAttributeSet(), {&d3}));
  Cull(viewpoint);

  const Stream s = StreamOf(List(), 5);
  ASSERT_EQ(s.size(), 13u);
  const std::intptr_t v1 = s[2].second, p1 = s[3].second, v2 = s[10].second, p2 = s[11].second;
  // One pair of copies until the next matrix.
  EXPECT_EQ(s, (Stream{{DL::OP_ATTRIBUTE, kDefault},
                       {DL::OP_PUSH_MATRIX_4X4, s[1].second},
                       {DL::OP_DYNAMIC_VIEWPOINT, v1},
                       {DL::OP_DYNAMIC_VIEWPORT, p1},
                       {DL::OP_DYNAMIC_GP, V(d1)},
                       {DL::OP_DYNAMIC_VIEWPOINT, v1},
                       {DL::OP_DYNAMIC_VIEWPORT, p1},
                       {DL::OP_DYNAMIC_GP, V(d2)},
                       {DL::OP_POP_MATRIX, 0},
                       {DL::OP_ATTRIBUTE, kDefault},
                       {DL::OP_DYNAMIC_VIEWPOINT, v2},
                       {DL::OP_DYNAMIC_VIEWPORT, p2},
                       {DL::OP_DYNAMIC_GP, V(d3)}}));
  EXPECT_NE(v1, v2);
  EXPECT_NE(p1, p2);
  EXPECT_EQ(List().GetNbCameraCopies(), 4);

  auto* camera1 = dynamic_cast<Kel3DViewpoint*>(reinterpret_cast<KelViewpoint*>(v1));
  auto* camera2 = dynamic_cast<Kel3DViewpoint*>(reinterpret_cast<KelViewpoint*>(v2));
  ASSERT_NE(camera1, nullptr);
  ASSERT_NE(camera2, nullptr);
  EXPECT_FLOAT_EQ(camera1->GetOrigin().y, -5.0f);
  EXPECT_FLOAT_EQ(camera2->GetOrigin().y, 0.0f);
  auto* viewport2 = dynamic_cast<Kel3DViewport*>(reinterpret_cast<KelViewport*>(p2));
  ASSERT_NE(viewport2, nullptr);
  EXPECT_EQ(viewport2->GetNbPlanes(), 6);

  // The viewer moves on before drawing: the recorded camera stays.
  viewpoint.SetOrigin(Kelpoint3f(0, 0, 50));
  EXPECT_FLOAT_EQ(camera2->GetOrigin().z, 10.0f);

  // A copy of the list owns copies of its own.
  KelDisplayList copy(List());
  const Stream c = StreamOf(copy, 5);
  ASSERT_EQ(c.size(), s.size());
  EXPECT_NE(c[2].second, v1);
  EXPECT_EQ(c[5].second, c[2].second);
  EXPECT_NE(c[11].second, p2);
  EXPECT_EQ(c[12].second, V(d3));
  auto* copied = dynamic_cast<Kel3DViewpoint*>(reinterpret_cast<KelViewpoint*>(c[2].second));
  ASSERT_NE(copied, nullptr);
  EXPECT_FLOAT_EQ(copied->GetOrigin().y, -5.0f);

  viewpoint.GetDisplayList()->Reset();
  EXPECT_EQ(List().GetNbCameraCopies(), 0);
  EXPECT_FLOAT_EQ(copied->GetOrigin().y, -5.0f);
}

TEST_F(CullingStreamTest, CylinderOperandTellsWhereTheEyeIs) {
  const float circle[] = {1, 0, 0, 0, 1, 0, -1, 0, 0, 0, -1, 0};
  const float up[] = {0, 0, 1}, down[] = {0, 0, -1};
  const float base[] = {0, 0, 0}, high[] = {0, 0, 12};
  // (base - eye) . direction: -10, 10, 2.
  Kel3DCylinderGP c1(circle, 4, up, 1.0f, base, 1.0f);
  Kel3DCylinderGP c2(circle, 4, down, 1.0f, base, 1.0f);
  Kel3DCylinderGP c3(circle, 4, up, 1.0f, high, 1.0f);
  viewpoint.AddRep(&Leaf(KelGraphicAttributeSet(), {&c1, &c2, &c3}));
  Cull(viewpoint);
  EXPECT_EQ(StreamOf(List(), 5), (Stream{{DL::OP_ATTRIBUTE, kDefault},
                                         {DL::OP_VALUE, 2},
                                         {DL::OP_3D_CYLINDER, V(c1)},
                                         {DL::OP_VALUE, 1},
                                         {DL::OP_3D_CYLINDER, V(c2)},
                                         {DL::OP_VALUE, 1},
                                         {DL::OP_3D_CYLINDER, V(c3)}}));
}

TEST_F(CullingStreamTest, HighlightAndFurtiveBrackets) {
  const KelGraphicAttributeSet highlighted = Attribute(253, KelGraphicAttributeSet::HIGHLIGHTED);
  GPLeaf& inner = Leaf(KelGraphicAttributeSet(), {&f1});
  auto bag = std::make_unique<Kel3DBagRep>();
  bag->SetGraphicAttributeSet(highlighted);
  bag->AddChild(inner);
  viewpoint.AddRep(bag.get());
  reps.push_back(std::move(bag));
  viewpoint.AddFurtiveRep(&Leaf(KelGraphicAttributeSet(), {&line}));
  Cull(viewpoint);

  EXPECT_EQ(StreamOf(List(), 5), (Stream{{DL::OP_ATTRIBUTE, kDefault},
                                         {DL::OP_INHERIT_FOREGROUND, 251},
                                         {DL::OP_ATTRIBUTE, kDefault},
                                         {DL::OP_3D_FACE, V(f1)},
                                         {DL::OP_INHERIT_FOREGROUND, 0},
                                         {DL::OP_FURTIVE_ON, 0},
                                         {DL::OP_3D_LINE, V(line)},
                                         {DL::OP_FURTIVE_OFF, 0}}));
  // The bag's own attribute was replaced by the leaf's; the furtive bracket
  // vanished where nothing was drawn in it.
  for (int l = 1; l <= 4; ++l)
    EXPECT_EQ(StreamOf(List(), l), (Stream{{DL::OP_ATTRIBUTE, kDefault},
                                           {DL::OP_INHERIT_FOREGROUND, 251},
                                           {DL::OP_INHERIT_FOREGROUND, 0}}))
        << l;
}

TEST_F(CullingStreamTest, ForcedElementListAndPolygonOffset) {
  KelCullingRender render(support);
  render.BeginDraw(viewpoint);
  EXPECT_EQ(render.GetCurrentElementList(), 5);
  render.InheritElementType(ELEMENT_TRANSPARENT, 1);
  render.SetCurrentAttribute(Attribute(253, 0x10));  // kind 1, but forced
  render.Draw3DFace(f1);
  render.SetPolygonOffsetOn();
  render.InheritElementType(ELEMENT_DEFAULT_LIST, 1);
  render.Draw3DFace(f2);
  render.InheritElementType(ELEMENT_LIGHT_SOURCES, 0);  // back to the attribute's list
  EXPECT_EQ(render.GetCurrentElementList(), 4);
  render.SetPolygonOffsetOff();
  render.EndDraw(viewpoint);

  EXPECT_EQ(StreamOf(List(), 3), (Stream{{DL::OP_ATTRIBUTE, Word(Attribute(253, 0x10))},
                                         {DL::OP_3D_FACE, V(f1)},
                                         {DL::OP_POLYGON_OFFSET_ON, 0}}));
  EXPECT_EQ(StreamOf(List(), 5), (Stream{{DL::OP_ATTRIBUTE, kDefault}, {DL::OP_3D_FACE, V(f2)}}));
  EXPECT_EQ(StreamOf(List(), 4),
            (Stream{{DL::OP_ATTRIBUTE, kDefault}, {DL::OP_POLYGON_OFFSET_OFF, 0}}));
}

TEST_F(CullingStreamTest, EachViewpointStartsFromTheDefaultAttribute) {
  const KelGraphicAttributeSet red = Rgba(255, 0, 0, 255);
  Kel3DViewpoint second(viewpoint);
  viewpoint.AddRep(&Leaf(red, {&f1}));
  second.AddRep(&Leaf(red, {&f2}));

  KelCullingRender render(support);
  for (KelViewpoint* v :
       {static_cast<KelViewpoint*>(&viewpoint), static_cast<KelViewpoint*>(&second)}) {
    render.BeginDraw(*v);
    render.Draw(*v);
    render.EndDraw(*v);
  }
  // The second list opens with the default attribute, so the leaf must set
  // its colour again even though the render last saw the same one.
  EXPECT_EQ(StreamOf(*second.GetDisplayList(), 5), (Stream{{DL::OP_ATTRIBUTE, kDefault},
                                                           {DL::OP_VALUE, red.SecondWord()},
                                                           {DL::OP_ATTRIBUTE, Word(red)},
                                                           {DL::OP_3D_FACE, V(f2)}}));
}

TEST_F(CullingStreamTest, TwoDimensionalListsTakeEverythingInListSix) {
  Kel2DViewpoint flat;
  GPLeaf& leaf = Leaf(Attribute(253, 0x30), {&f1}, Kelpoint3f(0, 0, 0), 1000.0f);
  flat.GetRepList().Append(&leaf);

  KelCullingRender render(support);
  render.BeginDraw(flat);
  ASSERT_NE(flat.GetDisplayList(), nullptr);
  EXPECT_EQ(flat.GetDisplayList()->GetType(), DISPLAY_LIST_2D);
  EXPECT_EQ(render.GetCurrentElementList(), 6);
  render.Draw(flat);
  render.InheritElementType(ELEMENT_CLOSED_VOLUMES, 1);
  Kel3x3Matrix m(Kelvector2f(3, 4));
  KelRender* local = render.PushMatrix(m);
  EXPECT_EQ(local, &render);
  local->Draw3DFace(f2);
  render.PopMatrix(local);
  render.EndDraw(flat);

  const Stream s = StreamOf(*flat.GetDisplayList(), 6);
  ASSERT_EQ(s.size(), 6u);
  EXPECT_EQ(s, (Stream{{DL::OP_ATTRIBUTE, Word(Attribute(253, 0x30))},
                       {DL::OP_3D_FACE, V(f1)},
                       {DL::OP_PUSH_MATRIX_3X3, s[2].second},
                       {DL::OP_3D_FACE, V(f2)},
                       {DL::OP_POP_MATRIX, 0},
                       {DL::OP_ATTRIBUTE, Word(Attribute(253, 0x30))}}));
  const auto* copy = reinterpret_cast<const Kel3x3Matrix*>(s[2].second);
  EXPECT_NE(copy, &m);
  EXPECT_FLOAT_EQ(copy->GetTranslation().y, 4.0f);
}

TEST_F(CullingStreamTest, UnbalancedPopIsRefused) {
  KelCullingRender render(support);
  render.BeginDraw(viewpoint);
  testing::internal::CaptureStderr();
  render.PopMatrix(&render);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "KelCullingRender::PopMatrix: no matrix to pop.\n");
  EXPECT_EQ(render.GetMatrixDepth(), 0);
  // A push left open at the end of a pass is released with the render.
  Kel4x4Matrix m(Kelvector3f(1, 2, 3));
  render.PushMatrix(m);
  EXPECT_EQ(render.GetMatrixDepth(), 1);
  render.EndDraw(viewpoint);
  for (int l = 1; l <= 5; ++l) EXPECT_EQ(StreamOf(List(), l).size(), 2u) << l;
}

}  // namespace
