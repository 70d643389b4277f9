#include <gtest/gtest.h>

#include <kel/controller/KelVisuController.h>
#include <kel/reps/Kel2DBagRep.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/KelHashRepTable.h>
#include <kel/reps/KelPathElementRep.h>
#include <kel/reps/KelRepPath.h>

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

}  // namespace
