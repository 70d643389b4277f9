// The scene graph: attributes, bags' bounds, destruction, cycles, drawing
// and sorting, path elements and the controller's table; the surfacic Rep.
#include <gtest/gtest.h>

#include <kel/controller/KelVisuController.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/render/KelDisplayList.h>
#include <kel/reps/Kel2DBagRep.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/KelHashRepTable.h>
#include <kel/reps/KelPathElementRep.h>
#include <kel/reps/KelRepPath.h>
#include <kel/reps/KelSurfacicRep.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "KelRecordingRender.h"
#include "KelTestScene.h"

namespace {

using keltest::GPLeaf;
using keltest::NamedGP;
using Log = std::vector<std::string>;

// A leaf writing "Draw <name>" when drawn; NamedGP::alive counts the live ones.
GPLeaf* Leaf(const char* name, const Kelpoint3f& centre = Kelpoint3f(0, 0, 0)) {
  return new GPLeaf({new NamedGP(name)}, centre, 1.0f);
}

// The lines of a log that start with `prefix`.
Log Only(const Log& log, const std::string& prefix) {
  Log out;
  for (const auto& l : log)
    if (l.rfind(prefix, 0) == 0) out.push_back(l);
  return out;
}

Kel4x4Matrix Scaling(float s) {
  return Kel4x4Matrix(Kelvector3f(s, 0, 0), Kelvector3f(0, s, 0), Kelvector3f(0, 0, s),
                      Kelvector3f(0, 0, 0));
}

KelRepPath PathOf(std::initializer_list<KelRep*> reps) {
  KelRepPath path(nullptr);
  for (KelRep* r : reps) path.AddRep(*r);
  path.InitToTopRep();
  return path;
}

// A bag holding leaf "a", drawn by a recording render.
struct OneLeaf {
  Kel3DBagRep* bag = new Kel3DBagRep;
  GPLeaf* leaf = Leaf("a");
  OneLeaf() { bag->AddChild(*leaf); }
  ~OneLeaf() { bag->Destroy(); }
  Log Draw(int inside = 0, int outside = 0) {
    KelRecordingRender render;
    render.outside = outside;
    bag->DrawShading(render, inside);
    return render.GetLog();
  }
};

TEST(RepAttributes, ColourClampAndFlagBits) {
  GPLeaf a, b;
  a.SetColor(300);
  EXPECT_EQ(a.GetGraphicAttributeSet().color, 253);
  a.TemporyNoshowOn();
  a.HighLightOn();
  a.HighLightOff();
  EXPECT_TRUE(a.IsTemporyHidden()) << "highlight must not touch the other flag bits";
  // The path forms act on the path's current Rep.
  KelRepPath path = PathOf({&a, &b});
  path.NextChildRep();
  path.NextChildRep();
  a.HighLightOn(path);
  EXPECT_FALSE(a.GetGraphicAttributeSet().flags & KelGraphicAttributeSet::HIGHLIGHTED);
  EXPECT_TRUE(b.GetGraphicAttributeSet().flags & KelGraphicAttributeSet::HIGHLIGHTED);
}

TEST(BagBounds, ClimbToEveryRootOnAddHideShowMatrixAndRemove) {
  auto* root = new Kel3DBagRep;
  auto* mid = new Kel3DBagRep;
  root->AddChild(*mid);
  GPLeaf* b = Leaf("b", Kelpoint3f(4, 0, 0));
  mid->AddChild(*Leaf("a"));
  mid->AddChild(*b);
  const auto& volume = root->GetBoundingElement();
  // Smallest sphere around both: centre (2, 0, 0), radius 3.
  EXPECT_NEAR(volume.GetCenter()[0], 2.0f, 1e-6);
  EXPECT_NEAR(volume.GetRadius(), 3.0f, 1e-6);
  b->TemporyNoshowOn();
  EXPECT_NEAR(volume.GetRadius(), 1.0f, 1e-6);
  b->TemporyNoshowOff();
  mid->SetMatrix(Scaling(2.0f));
  EXPECT_NEAR(volume.GetRadius(), 6.0f, 1e-5);
  EXPECT_NEAR(volume.GetCenter()[0], 4.0f, 1e-5);
  mid->ResetMatrix();
  mid->RemoveChild(*b);
  EXPECT_NEAR(volume.GetRadius(), 1.0f, 1e-6);
  delete b;

  // A hidden child of two bags leaves both bounds.
  auto* other = new Kel3DBagRep;
  GPLeaf* shared = Leaf("s", Kelpoint3f(10, 0, 0));
  mid->AddChild(*shared);
  other->AddChild(*shared);
  shared->TemporyNoshowOn();
  EXPECT_NEAR(volume.GetRadius(), 1.0f, 1e-6);
  EXPECT_TRUE(other->GetBoundingElement().IsEmpty());
  root->Destroy();
  other->Destroy();
  EXPECT_EQ(NamedGP::alive, 0);
}

TEST(BagDestruction, SharedChildSurvivesItsFirstBagAndUnsharedSubtreesGo) {
  auto* top = new Kel3DBagRep;
  auto* root = new Kel3DBagRep;
  auto* other = new Kel3DBagRep;
  top->AddChild(*root);
  GPLeaf* shared = Leaf("s");
  root->AddChild(*shared);
  root->AddChild(*shared);  // twice: one entry
  other->AddChild(*shared);
  EXPECT_EQ(root->GetChildCount(), 1);
  for (int i = 0; i < 3; ++i) {
    auto* inner = new Kel3DBagRep;
    root->AddChild(*inner);
    inner->AddChild(*Leaf("x", Kelpoint3f(float(i), 0, 0)));
    inner->AddChild(*Leaf("y"));
  }
  EXPECT_EQ(NamedGP::alive, 7);
  root->Destroy();
  EXPECT_EQ(NamedGP::alive, 1);
  EXPECT_EQ(shared->GetParents().Count(), 1);
  EXPECT_EQ(top->GetChildCount(), 0);
  EXPECT_TRUE(top->GetBoundingElement().IsEmpty());
  top->Destroy();
  other->Destroy();
  EXPECT_EQ(NamedGP::alive, 0);
}

TEST(BagDestruction, LeafDestroyedInsideABagLeavesNoDanglingChild) {
  auto* bag = new Kel3DBagRep;
  GPLeaf* gone = Leaf("gone", Kelpoint3f(5, 0, 0));
  GPLeaf* deleted = Leaf("deleted");
  bag->AddChild(*gone);
  bag->AddChild(*Leaf("kept"));
  bag->AddChild(*deleted);
  gone->Destroy();
  delete deleted;  // plain delete detaches too
  EXPECT_EQ(bag->GetChildCount(), 1);
  EXPECT_NEAR(bag->GetBoundingElement().GetRadius(), 1.0f, 1e-6);
  KelRecordingRender render;
  bag->DrawShading(render, 0);
  EXPECT_EQ(Only(render.GetLog(), "Draw"), Log{"Draw kept"});
  bag->Destroy();
}

TEST(BagGraph, CyclesAreRefused) {
  auto* root = new Kel3DBagRep;
  auto* mid = new Kel3DBagRep;
  root->AddChild(*mid);
  testing::internal::CaptureStderr();
  mid->AddChild(*root);
  root->AddChild(*root);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Kel3DBagRep::AddChild:"),
            std::string::npos);
  EXPECT_EQ(mid->GetChildCount(), 0);
  EXPECT_EQ(root->GetChildCount(), 1);
  EXPECT_EQ(root->GetParents().Count(), 0);
  root->Destroy();
}

TEST(BagDrawing, TooSmallBagIsNotWalkedEvenWhollyInsideTheView) {
  // The bag's sphere (radius 1) is under a culling size of 2: its children
  // are not walked, whether its parent was wholly inside the view or not.
  OneLeaf one;
  for (int inside : {0, 1}) {
    KelRecordingRender render;
    render.SetCullingSize(2.0f);
    one.bag->DrawShading(render, inside);
    EXPECT_EQ(render.GetLog(), Log{inside ? "IsDrawable flags" : "IsDrawable volume"}) << inside;
  }
}

TEST(BagDrawing, HighlightIsForcedOnTheSubtreeAndReleasedEvenWhenCulled) {
  OneLeaf one;
  one.bag->HighLightOn();
  const Log log = one.Draw();
  EXPECT_EQ(Only(log, "InheritForeground"), (Log{"InheritForeground 251", "InheritForeground 0"}));
  EXPECT_EQ(Only(log, "Draw"), Log{"Draw a"});
  // Culled: the forcing must still end, or it leaks onto the siblings.
  one.bag->HighLightOff();
  one.bag->GetGraphicAttributeSet().flags |= KelGraphicAttributeSet::SECOND_MARK;
  const Log culled = one.Draw(0, 1);
  EXPECT_EQ(culled, (Log{"InheritForeground 252", "SetForeground 252", "IsDrawable volume",
                         "InheritForeground 0", "SetForeground 253"}));
}

TEST(BagSorting, ChildrenAreOrderedByTheirAttributeBytesAndColouredByTheBag) {
  Kel3DBagRep bag;
  GPLeaf c[3];
  for (int i = 0; i < 3; ++i) {
    c[i].SetColor(i == 0 ? 5 : i == 1 ? 2 : 9);
    bag.AddChild(c[i]);
  }
  bag.SortGraphicAttributeSet();
  EXPECT_EQ((std::vector<Kel3DRep*>{bag.GetChild(0), bag.GetChild(1), bag.GetChild(2)}),
            (std::vector<Kel3DRep*>{&c[1], &c[0], &c[2]}));
  bag.SetColor(7);
  EXPECT_EQ(c[1].GetGraphicAttributeSet().color, 7);
  EXPECT_EQ(bag.GetGraphicAttributeSet().color, 253) << "the bag colours its children only";
}

TEST(Bag2D, SetBoundingElementReachesTheParentsAndRotationsAreKept) {
  struct Leaf2D : Kel2DRep {
  } leaf;
  Kel2DBagRep bag;
  bag.AddChild(leaf);
  leaf.SetBoundingElement(Kel2DBoundingBox(4, 6, -1, 1));
  // A quarter turn: the 2 x 2 box from (4, -1) becomes x in [-1, 1], y in [4, 6].
  bag.SetMatrix(Kel3x3Matrix(Kelvector2f(0, 1), Kelvector2f(-1, 0), Kelpoint2f(0, 0)));
  float e[4];
  bag.GetBoundingElement().GetParameter(&e[0], &e[1], &e[2], &e[3]);
  const float expected[4] = {-1, 1, 4, 6};
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(e[i], expected[i], 1e-5) << i;
  bag.RemoveChild(leaf);
}

TEST(PathElementRep, DrawsItsPathFurtivelyAndNothingWhenEmpty) {
  OneLeaf one;
  KelRepPath path = PathOf({one.bag, one.leaf});
  path.SetFurtive(1);
  KelPathElement element;
  KelPathElementRep rep(element, path);
  rep.HighLightOn();
  KelRecordingRender render;
  rep.DrawShading(render, 0);
  const Log& log = render.GetLog();
  EXPECT_EQ(Log(log.begin(), log.begin() + 4), (Log{"InheritElementType 7 1", "SetFurtiveOn",
                                                    "SetSensitivity 0", "InheritForeground 251"}));
  EXPECT_EQ(Only(log, "Draw"), Log{"Draw a"});
  EXPECT_EQ(log.back(), "InheritElementType 7 0");

  KelRepPath empty(nullptr);
  KelPathElementRep nothing(element, empty);
  KelRecordingRender none;
  nothing.DrawShading(none, 0);
  EXPECT_TRUE(Only(none.GetLog(), "Draw").empty());
}

TEST(GraphicTable, RepsEnterAndLeaveTheirControllersTableByFullWidthKey) {
  KelVisuController controller;
  auto* table = new KelHashRepTable;  // the controller's from now on
  controller.SetAssociatedGraphicTable(table);
  // Two ids equal in their lower 32 bits: one key each.
  KelModelIdentificator low(reinterpret_cast<void*>(0x1234));
  KelModelIdentificator high(reinterpret_cast<void*>((std::intptr_t(1) << 40) | 0x1234));
  KelModelIdentificator none;
  auto* a = new Kel3DBagRep(low, &controller);
  auto* b = new Kel3DBagRep(high, &controller);
  Kel3DBagRep unrecorded(none, &controller);
  EXPECT_EQ(table->GetSize(), 2);
  EXPECT_EQ(controller.GetRep(low), a);
  EXPECT_EQ(controller.GetRep(high), b);
  a->Destroy();  // leaves the table through its controller
  EXPECT_EQ(table->GetSize(), 1);
  EXPECT_EQ(controller.GetRep(high), b);
  b->Destroy();
  EXPECT_EQ(table->GetSize(), 0);
}

// ---- The surfacic Rep: its faces and edges drawn one by one, by path or by
// level of detail, and merged into one face.

using DL = KelDisplayList;
using keltest::Stream;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

KelGraphicAttributeSet* Attributes(unsigned char colour, unsigned char flags = 0) {
  return new KelGraphicAttributeSet(keltest::Look(colour, flags));
}
std::intptr_t Word(unsigned char colour, unsigned char flags = 0) {
  return keltest::Look(colour, flags).FirstWord();
}
// A unit square with its lower left corner at (x, y) in the plane z = 0.
Kel3DFaceGP* Square(float x, float y) {
  return keltest::SquareFace(x + 0.5f, y + 0.5f, 0, 0.5f);
}
Kel3DEdgeGP* EdgeOf(Kel3DFaceGP* face) {
  const int indices[2] = {0, 3};
  return new Kel3DEdgeGP(face, nullptr, indices, 2);
}

// Names the faces and edges it draws, logs the sub-element numbers asked
// about and the spheres of the per-face tests, and answers "outside" for
// chosen numbers.
class SurfaceRender : public KelRecordingRender {
 public:
  SurfaceRender() {
    SetMesh(1);
    SetEdge(1);
  }
  std::map<const void*, std::string> names;
  std::vector<int> outsideNumbers;

  int IsDrawable(const KelGraphicAttributeSet& a, const float* c, const float r,
                 const int n) override {
    char line[80];
    std::snprintf(line, sizeof line, "sphere %d %g %g %g", n, c[0], c[1], r);
    Record(line);
    if (std::count(outsideNumbers.begin(), outsideNumbers.end(), n)) return 0;
    return KelRender::IsDrawable(a);
  }
  int IsDrawable(const KelGraphicAttributeSet& a, const int n) override {
    Record("flags " + std::to_string(n));
    return KelRender::IsDrawable(a);
  }
  using KelRecordingRender::IsDrawable;
  void Draw3DFace(Kel3DFaceGP& gp) override { Record(names[&gp]); }
  void Draw3DEdge(Kel3DEdgeGP& gp) override { Record(names[&gp]); }
  // The log without the colour changes.
  std::string Drawn() const {
    std::string s;
    for (const std::string& line : GetLog())
      if (line.rfind("SetForeground", 0) != 0) s += (s.empty() ? "" : ", ") + line;
    return s;
  }
};

// Three squares side by side (faces 0 to 2, sub-elements 0 to 2) and an edge on
// each of the first two (sub-elements 3 and 4).
class SurfacicRepTest : public ::testing::Test {
 protected:
  SurfacicRepTest() {
    for (int i = 0; i < 3; ++i) {
      faces[i] = Square(2.0f * i, 0.0f);
      rep.AddGeomFace(faces[i], Attributes(static_cast<unsigned char>(10 + i)));
      render.names[faces[i]] = "face " + std::to_string(i);
    }
    for (int j = 0; j < 2; ++j) {
      Kel3DEdgeGP* edge = EdgeOf(faces[j]);
      rep.AddGeomEdge(edge, Attributes(static_cast<unsigned char>(20 + j)));
      render.names[edge] = "edge " + std::to_string(j);
    }
    rep.SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(2.5f, 0.5f, 0), 3.0f, 0.0f));
  }
  std::string Drawn(int inside) {
    render.ClearLog();
    rep.DrawShading(render, inside);
    return render.Drawn();
  }
  std::string DrawPath(const std::vector<int>& numbers, KelRep* after = nullptr) {
    KelRepPath path;
    path.AddRep(rep);
    if (after) path.AddRep(*after);
    list<int> subElements;
    for (int s : numbers) subElements.Append(s);
    path.SetSubElementList(subElements);
    path.InitToTopRep();
    path.NextChildRep();
    render.ClearLog();
    rep.DrawPath(render, 0, path);
    return render.Joined();
  }

  KelSurfacicRep rep;
  Kel3DFaceGP* faces[3];
  SurfaceRender render;
};

TEST_F(SurfacicRepTest, DrawsEdgesThenFacesLastFirstCullingFacesOneByOneUnlessInside) {
  // Face i is the square [2i, 2i + 1] x [0, 1]: sphere centre (2i + 0.5, 0.5), radius sqrt(0.5).
  render.outsideNumbers = {1};
  EXPECT_EQ(Drawn(0),
            "IsDrawable volume, flags 4, edge 1, flags 3, edge 0, "
            "sphere 2 4.5 0.5 0.707107, face 2, sphere 1 2.5 0.5 0.707107, "
            "sphere 0 0.5 0.5 0.707107, face 0");
  // An ancestor wholly inside the view: no volume test at all, faces by flags.
  EXPECT_EQ(Drawn(1),
            "IsDrawable flags, flags 4, edge 1, flags 3, edge 0, "
            "flags 2, face 2, flags 1, face 1, flags 0, face 0");
  // Hidden elements and switched-off kinds are not drawn.
  rep.GetFaceAttributes(0)->flags |= KelGraphicAttributeSet::TEMPORY_HIDDEN;
  rep.GetEdgeAttributes(1)->flags |= KelGraphicAttributeSet::TEMPORY_HIDDEN;
  render.SetEdge(0);
  EXPECT_EQ(Drawn(1), "IsDrawable flags, flags 2, face 2, flags 1, face 1, flags 0");
  render.SetEdge(1);
  render.SetMesh(0);
  EXPECT_EQ(Drawn(1), "IsDrawable flags, flags 4, flags 3, edge 0");
  render.outside = 1;
  EXPECT_EQ(Drawn(0), "IsDrawable volume");
}

TEST_F(SurfacicRepTest, PathNumbersFacesThenEdgesAndSkipsUnknownNumbers) {
  EXPECT_EQ(DrawPath({4}), "SetForeground 21, edge 1");
  // Last number first, no visibility test.
  EXPECT_EQ(DrawPath({0, 3}), "SetForeground 20, edge 0, SetForeground 10, face 0");
  // Numbers naming nothing (from an older pick, or set from outside) are skipped.
  EXPECT_EQ(DrawPath({-1, 5, 1, 1 << 30}), "SetForeground 11, face 1");
  // A whole-Rep path shows the drawable edges only.
  rep.GetEdgeAttributes(0)->flags |= KelGraphicAttributeSet::TEMPORY_HIDDEN;
  EXPECT_EQ(DrawPath({}), "SetForeground 21, edge 1");
  // Not the end of its path: nothing.
  Kel3DBagRep other;
  EXPECT_EQ(DrawPath({}, &other), "");
}

TEST_F(SurfacicRepTest, HighlightAndHideReachEveryAttributeSetAndShowingRestoresTheBounds) {
  rep.AddLOD(Square(0, 0), Attributes(30), 0.5f);
  rep.GetFaceAttributes(1)->flags |= KelGraphicAttributeSet::SECOND_MARK;
  // The surface spans x in [0, 5]; its sibling sits far along y.
  auto* sibling = new KelSurfacicRep;
  sibling->SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0, 100, 0), 1.0f, 0.0f));
  Kel3DBagRep bag;
  bag.AddChild(rep);
  bag.AddChild(*sibling);
  rep.HighLightOn();
  rep.TemporyNoshowOn();
  const KelGraphicAttributeSet* sets[] = {&rep.GetGraphicAttributeSet(), rep.GetFaceAttributes(0),
                                          rep.GetFaceAttributes(1),      rep.GetFaceAttributes(2),
                                          rep.GetEdgeAttributes(0),      rep.GetEdgeAttributes(1),
                                          rep.GetLODAttributes(1)};
  for (const KelGraphicAttributeSet* a : sets) EXPECT_EQ(a->flags & 0x0A, 0x0A);
  EXPECT_FLOAT_EQ(bag.GetBoundingElement().GetRadius(), 1.0f);
  // The sibling moves while the surface is hidden.
  sibling->SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0, 50, 0), 1.0f, 0.0f));
  bag.ComputeBoundingElement();
  rep.HighLightOff();
  rep.TemporyNoshowOff();
  for (const KelGraphicAttributeSet* a : sets) EXPECT_EQ(a->flags & 0x0A, 0);
  EXPECT_EQ(rep.GetFaceAttributes(1)->flags, KelGraphicAttributeSet::SECOND_MARK);
  EXPECT_TRUE(bag.GetBoundingElement().IsInside(
      Kel3DBoundingSphere(Kelpoint3f(2.5f, 0.5f, 0), 2.9f, 0.0f)));
  bag.RemoveChild(rep);
  bag.RemoveChild(*sibling);
  sibling->Destroy();
}

TEST_F(SurfacicRepTest, RefusesBadArgumentsAndKeepsPrimitivesThroughADrawingPass) {
  auto* face = Square(0, 0);
  auto* attributes = Attributes(1);
  CaptureStderr();
  rep.AddGeomFace(face, nullptr);
  rep.AddGeomFace(nullptr, attributes);
  rep.AddGeomEdge(nullptr, attributes);
  rep.AddLOD(face, attributes, -0.5f);
  rep.AddLOD(nullptr, attributes, 0.5f);
  rep.SetGeomSag(0.25f);
  rep.SetGeomSag(-1.0f);
  EXPECT_EQ(GetCapturedStderr(),
            "KelSurfacicRep::AddGeomFace: Invalid function parameters.\n"
            "KelSurfacicRep::AddGeomFace: Invalid function parameters.\n"
            "KelSurfacicRep::AddGeomEdge: Invalid function parameters.\n"
            "KelSurfacicRep::AddLOD: Invalid function parameters.\n"
            "KelSurfacicRep::AddLOD: Invalid function parameters.\n"
            "KelSurfacicRep::SetGeomSag: Element sag must be strictly positive.\n");
  EXPECT_EQ(rep.GetNbFaces() + rep.GetNbEdges() + rep.GetNbLODs(), 3 + 2 + 0);
  EXPECT_FLOAT_EQ(rep.GetGeomSag(), 0.25f);
  delete attributes;  // refused arguments stay the caller's

  auto* doomed = new KelSurfacicRep;
  doomed->AddGeomFace(face, Attributes(1));
  doomed->AddGeomEdge(EdgeOf(face), Attributes(1));
  doomed->AddLOD(Square(0, 0), Attributes(1), 1.0f);
  KelGraphicPrimitive::Lock();
  doomed->Destroy();
  EXPECT_EQ(KelGraphicPrimitive::_listOfGraphicPrimitive.Count(), 3);
  KelGraphicPrimitive::Unlock();
}

// A surface of radius 1 around the origin seen by an eye on the z axis,
// looking down -z, with a half field angle of 45 degrees on a support 100
// pixels high: one pixel at depth d spans d / 50 model units. With a sag
// precision of 2 pixels the on-screen sag at depth d is 2 * d / 50 = 0.04 d
// (the radius term vanishes), and the culling size 2 * d / 50 as well.
class SurfacicCullingTest : public ::testing::Test {
 protected:
  SurfacicCullingTest() {
    support.SetSagPrecision(2.0f);
    rep->SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0, 0, 0), 1.0f, 0.0f));
  }
  ~SurfacicCullingTest() override { rep->Destroy(); }
  Stream Cull(float distance, int list = 5) {
    Kel3DViewpoint viewpoint(Kelpoint3f(0, 0, distance), Keldirection3f(0, 0, -1),
                             Keldirection3f(0, 1, 0), 0.1f, 1000.0f, CONIC_PROJECTION, distance);
    viewpoint.SetAngle(45.0f);
    viewpoint.AddRep(rep);
    keltest::Cull(support, viewpoint);
    return keltest::StreamOf(*viewpoint.GetDisplayList(), list);
  }
  static Stream Drawn(std::intptr_t word, std::vector<KelGraphicPrimitive*> gps, int op = 0) {
    Stream s{{DL::OP_ATTRIBUTE, word}};
    for (KelGraphicPrimitive* gp : gps)
      s.emplace_back(op ? op : DL::OP_3D_FACE, keltest::Address(*gp));
    return s;
  }

  keltest::TestSupport support;
  KelSurfacicRep* rep = new KelSurfacicRep;
};

TEST_F(SurfacicCullingTest, ChoosesTheLevelWhoseSagTheScreenCanShow) {
  // Faces of sag 0.01, levels of sag 0.1 and 0.5; every look is of colour 7.
  Kel3DFaceGP *f0 = Square(-1, -1), *f1 = Square(0, 0), *lod1 = Square(-1, 0),
              *lod2 = Square(0, -1);
  rep->AddGeomFace(f0, Attributes(7));
  rep->AddGeomFace(f1, Attributes(7));
  rep->SetGeomSag(0.01f);
  rep->AddLOD(lod1, Attributes(7), 0.1f);
  rep->AddLOD(lod2, Attributes(7), 0.5f);
  // Depth 2: sag 0.08, below 0.1: the faces, last first. Depth 5: sag 0.2,
  // the first level. Depth 20: sag 0.8, above 0.5: the second level (culling
  // size 0.8, below the radius 1). Depth 30: culling size 1.2, too small: the
  // list keeps its default attribute only.
  EXPECT_EQ(Cull(2), Drawn(Word(7), {f1, f0}));
  EXPECT_EQ(Cull(5), Drawn(Word(7), {lod1}));
  EXPECT_EQ(Cull(20), Drawn(Word(7), {lod2}));
  EXPECT_EQ(Cull(30), Drawn(Word(253), {}));
  rep->SetLODMode(0);  // levels switched off: the faces at any distance
  EXPECT_EQ(Cull(20), Drawn(Word(7), {f1, f0}));
  rep->SetLODMode(1);
  // 98 levels are chosen from; the 99th is one too many.
  for (int k = 3; k <= 98; ++k) rep->AddLOD(Square(0, 0), Attributes(7), 0.001f * k);
  EXPECT_EQ(Cull(20), Drawn(Word(7), {rep->GetLODFace(98)}));
  rep->AddLOD(Square(0, 0), Attributes(7), 1.0f);
  CaptureStderr();
  EXPECT_EQ(Cull(20), Drawn(Word(7), {f1, f0}));
  EXPECT_EQ(GetCapturedStderr(),
            "KelSurfacicRep::DrawShading: Can't manage more than 100 LODs, sorry.\n");
}

TEST_F(SurfacicCullingTest, FacesAndEdgesGoToTheListsOfTheirElementKinds) {
  Kel3DFaceGP *closed = Square(-1, -1), *glass = Square(0, 0), *plain = Square(-1, 0),
              *far = Square(0, 0);
  rep->AddGeomFace(closed, Attributes(3, 0x30));
  rep->AddGeomFace(glass, Attributes(4, 0xB0));
  rep->AddGeomFace(plain, Attributes(5));
  Kel3DEdgeGP* wire = EdgeOf(closed);
  rep->AddGeomEdge(wire, Attributes(6, 0x10));
  rep->AddLOD(far, Attributes(8, 0x30), 0.1f);  // a far level drawn as a closed volume
  support.SetEdge(1);
  EXPECT_EQ(Cull(2, 1), Drawn(Word(3, 0x30), {closed}));
  EXPECT_EQ(Cull(2, 3), Drawn(Word(4, 0xB0), {glass}));
  EXPECT_EQ(Cull(2, 4), Drawn(Word(6, 0x10), {wire}, DL::OP_3D_EDGE));
  EXPECT_EQ(Cull(2, 5), Drawn(Word(5), {plain}));
  // From afar the level replaces the faces; the edges stay.
  EXPECT_EQ(Cull(5, 1), Drawn(Word(8, 0x30), {far}));
  EXPECT_EQ(Cull(5, 3), Drawn(Word(253), {}));
  EXPECT_EQ(Cull(5, 4), Drawn(Word(6, 0x10), {wire}, DL::OP_3D_EDGE));
}

// Hands out the arrays it is given, as a face whose data another face owns
// (no vertex count of its own), or as copies made for each call.
class HandOutFaceGP : public Kel3DBoundingGP {
 public:
  HandOutFaceGP(const float* v, int nv, std::vector<int> tri, bool made = false)
      : _v(v), _nv(nv), _tri(std::move(tri)), _made(made) {}
  void Get(int* allocate, float** v, int* nv, float** n, int* nn, int** tri, int* ntri, int** st,
           int* nst, int** stl, int** fa, int* nfa, int** fal) override {
    Kel3DBoundingGP::Get(allocate, v, nv, n, nn, tri, ntri, st, nst, stl, fa, nfa, fal);
    *allocate = _made;
    *nv = *nn = _nv;
    *ntri = 1;
    *v = _made ? std::copy(_v, _v + 9, new float[9]) - 9 : const_cast<float*>(_v);
    *n = _made ? std::copy(_v, _v + 9, new float[9]) - 9 : const_cast<float*>(_v);
    *tri = _made ? std::copy(_tri.begin(), _tri.end(), new int[3]) - 3 : _tri.data();
  }

 private:
  const float* _v;
  int _nv;
  std::vector<int> _tri;
  bool _made;
};

// The merged vertices, normals, triangles, strips and fans, or "empty".
std::string Merge(KelSurfacicRep& rep) {
  float *v = nullptr, *n = nullptr;
  int *tri = nullptr, *st = nullptr, *stl = nullptr, *fa = nullptr, *fal = nullptr;
  int nv = -1, nn = -1, ntri = -1, nst = -1, nfa = -1;
  rep.GroupFaces(&v, &nv, &n, &nn, &tri, &ntri, &st, &nst, &stl, &fa, &nfa, &fal);
  std::string s;
  auto put = [&s](const char* name, auto* p, int count) {
    s += name;
    for (int i = 0; i < count; ++i) s += " " + std::to_string(int(p[i] * 10));
    s += ";";
  };
  if (nv == 0 && !v && !n && !tri && !st && !fa && ntri + nst + nfa == 0)
    s = "empty";
  else {
    put("v", v, nv), put("n", n, nn), put("t", tri, 3 * ntri);
    put("s", st, nst ? stl[0] : 0), put("f", fa, nfa ? fal[0] : 0);
  }
  delete[] v, delete[] n, delete[] tri, delete[] st, delete[] stl, delete[] fa, delete[] fal;
  return s;
}

TEST(SurfacicRepGroup, LaysFacesOutInOrderWithShiftedIndicesOrRefusesThem) {
  // Face 0: a square, per-vertex normals, one strip; face 1: a planar triangle
  // (one normal for three vertices) as a triangle and a fan; face 2: no normal.
  KelSurfacicRep rep;
  const float v0[12] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}, n0[12] = {0, 0, 1, 0, 0, 1};
  const float v1[9] = {5, 0, 0, 6, 0, 0, 5, 1, 0}, n1[3] = {0, 1, 0}, v2[9] = {7, 0, 0};
  const int strip[4] = {0, 3, 6, 9}, four = 4, tri1[3] = {0, 3, 6}, fan[3] = {6, 0, 3}, three = 3,
            tri2[3] = {6, 3, 0};
  rep.AddGeomFace(new Kel3DFaceGP(v0, 12, n0, 12, nullptr, 0, strip, 1, &four, nullptr, 0, nullptr),
                  Attributes(1));
  rep.AddGeomFace(new Kel3DPlanarFaceGP(v1, 9, n1, tri1, 1, nullptr, 0, nullptr, fan, 1, &three),
                  Attributes(2));
  rep.AddGeomFace(
      new Kel3DFaceGP(v2, 9, nullptr, 0, tri2, 1, nullptr, 0, nullptr, nullptr, 0, nullptr),
      Attributes(3));
  // Face 1 starts at coordinate 12, face 2 at 21; values shown times ten.
  EXPECT_EQ(Merge(rep),
            "v 0 0 0 10 0 0 0 10 0 10 10 0 50 0 0 60 0 0 50 10 0 70 0 0 0 0 0 0 0 0;"
            "n 0 0 10 0 0 10 0 0 0 0 0 0 0 10 0 0 10 0 0 10 0 0 0 0 0 0 0 0 0 0;"
            "t 120 150 180 270 240 210;s 0 30 60 90;f 180 120 150;");

  // Faces sharing the data of another take its offset; data made for the
  // call is released (checked by the leak checker).
  const float v[18] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 9, 9, 9, 8, 8, 8, 7, 7, 7};
  KelSurfacicRep shared;
  shared.AddGeomFace(new HandOutFaceGP(v + 9, 9, {0, 3, 6}, true), Attributes(1));
  shared.AddGeomFace(new HandOutFaceGP(v, 9, {0, 3, 6}), Attributes(1));
  shared.AddGeomFace(new HandOutFaceGP(v, 0, {6, 3, 0}), Attributes(1));
  EXPECT_EQ(Merge(shared).rfind("v 90 90 90 80 80 80 70 70 70 0 0 0 10 0 0 10 10 0;", 0), 0u);
  EXPECT_NE(Merge(shared).find("t 0 30 60 90 120 150 150 120 90;"), std::string::npos);
  // Two sharers of different data, or data of no face of the Rep: refused.
  const std::pair<std::vector<const float*>, const char*> refused[] = {
      {{v, v + 9},
       "Only ONE vertex and ONE normal reference allowed for every faces in the Rep when sharing "
       "data"},
      {{v + 9},
       "Some faces are sharing data that do not belong to the SurfacicRep. This is not "
       "correct"}};
  for (const auto& [sharers, message] : refused) {
    KelSurfacicRep bad;
    bad.AddGeomFace(new HandOutFaceGP(v, 9, {0, 3, 6}), Attributes(1));
    for (const float* p : sharers)
      bad.AddGeomFace(new HandOutFaceGP(p, 0, {0, 3, 6}), Attributes(1));
    CaptureStderr();
    EXPECT_EQ(Merge(bad), "empty");
    EXPECT_EQ(GetCapturedStderr(), std::string("KelSurfacicRep::GroupFaces: ") + message +
                                       ". Exiting with an empty result.\n");
  }
  KelSurfacicRep empty;
  EXPECT_EQ(Merge(empty), "empty");
}

}  // namespace
