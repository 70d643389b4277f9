#include <gtest/gtest.h>

#include <kel/controller/KelVisuController.h>
#include <kel/reps/Kel2DBagRep.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/KelHashRepTable.h>
#include <kel/reps/KelPathElementRep.h>
#include <kel/reps/KelRepPath.h>

#include <algorithm>

#include "KelRecordingRender.h"
#include "KelTestScene.h"

namespace {

using keltest::GPLeaf;
using keltest::NamedGP;

// A leaf writing "Draw <name>" when drawn; NamedGP::alive counts the live ones.
std::vector<KelGraphicPrimitive*> Named(const char* name) {
  return {new NamedGP(name)};
}

bool Contains(const KelRecordingRender::Log& log, const std::string& line) {
  return std::find(log.begin(), log.end(), line) != log.end();
}

std::vector<std::string> Only(const KelRecordingRender::Log& log, const std::string& prefix) {
  std::vector<std::string> out;
  for (const auto& l : log)
    if (l.rfind(prefix, 0) == 0) out.push_back(l);
  return out;
}

// The Reps of a path from the top down, or from the leaf up.
std::vector<KelRep*> Walk(KelRepPath& path, bool fromTop) {
  std::vector<KelRep*> out;
  fromTop ? path.InitToTopRep() : path.InitToLeafRep();
  while (KelRep* r = fromTop ? path.NextChildRep() : path.NextFatherRep()) out.push_back(r);
  return out;
}

Kel4x4Matrix Scaling(float s) {
  return Kel4x4Matrix(Kelvector3f(s, 0, 0), Kelvector3f(0, s, 0), Kelvector3f(0, 0, s),
                      Kelvector3f(0, 0, 0));
}

// A bag holding one leaf; the leaf, destroyed first, detaches itself.
struct OneLeaf {
  Kel3DBagRep bag;
  GPLeaf leaf{Named("a")};
  OneLeaf() { bag.AddChild(leaf); }
  KelRecordingRender::Log Draw(int inside = 0, int outside = 0) {
    KelRecordingRender render;
    render.outside = outside;
    bag.DrawShading(render, inside);
    return render.GetLog();
  }
};

TEST(RepAttributes, ColourClampAndFlagBits) {
  GPLeaf r(Named("a"));
  EXPECT_EQ(r.GetGraphicAttributeSet().FirstWordBigEndian(), 0xFD010100u);
  r.SetColor(300);
  EXPECT_EQ(r.GetGraphicAttributeSet().color, 253);
  r.TemporyNoshowOn();
  r.HighLightOn();
  r.HighLightOff();
  EXPECT_TRUE(r.IsTemporyHidden()) << "highlight must not touch the other flag bits";

  // The path forms act on the path's current Rep.
  GPLeaf a(Named("a")), b(Named("b"));
  KelRepPath path(nullptr);
  path.AddRep(a);
  path.AddRep(b);
  path.InitToTopRep();
  path.NextChildRep();
  path.NextChildRep();
  a.HighLightOn(path);
  EXPECT_FALSE(a.GetGraphicAttributeSet().flags & KelGraphicAttributeSet::HIGHLIGHTED);
  EXPECT_TRUE(b.GetGraphicAttributeSet().flags & KelGraphicAttributeSet::HIGHLIGHTED);
}

TEST(BagBounds, ClimbToEveryRootOnAddHideShowAndMatrix) {
  auto* root = new Kel3DBagRep;
  auto* mid = new Kel3DBagRep;
  root->AddChild(*mid);
  auto* a = new GPLeaf(Named("a"), Kelpoint3f(0, 0, 0), 1.0f);
  auto* b = new GPLeaf(Named("b"), Kelpoint3f(4, 0, 0), 1.0f);
  mid->AddChild(*a);
  mid->AddChild(*b);
  // Smallest sphere around both: centre (2, 0, 0), radius 3.
  EXPECT_NEAR(root->GetBoundingElement().GetCenter()[0], 2.0f, 1e-6);
  EXPECT_NEAR(root->GetBoundingElement().GetRadius(), 3.0f, 1e-6);

  b->TemporyNoshowOn();
  EXPECT_NEAR(root->GetBoundingElement().GetRadius(), 1.0f, 1e-6);
  b->TemporyNoshowOff();
  EXPECT_NEAR(root->GetBoundingElement().GetRadius(), 3.0f, 1e-6);

  mid->SetMatrix(Scaling(2.0f));
  EXPECT_NEAR(root->GetBoundingElement().GetRadius(), 6.0f, 1e-5);
  EXPECT_NEAR(root->GetBoundingElement().GetCenter()[0], 4.0f, 1e-5);
  mid->ResetMatrix();
  EXPECT_NEAR(root->GetBoundingElement().GetRadius(), 3.0f, 1e-6);

  mid->RemoveChild(*b);
  EXPECT_NEAR(root->GetBoundingElement().GetRadius(), 1.0f, 1e-6);
  delete b;
  root->Destroy();
  EXPECT_EQ(NamedGP::alive, 0);
}

TEST(BagBounds, HiddenChildOfTwoBagsLeavesBothBounds) {
  auto* a = new Kel3DBagRep;
  auto* b = new Kel3DBagRep;
  auto* shared = new GPLeaf(Named("s"), Kelpoint3f(10, 0, 0), 1.0f);
  auto* own = new GPLeaf(Named("o"), Kelpoint3f(0, 0, 0), 1.0f);
  a->AddChild(*shared);
  a->AddChild(*own);
  b->AddChild(*shared);
  shared->TemporyNoshowOn();
  EXPECT_NEAR(a->GetBoundingElement().GetRadius(), 1.0f, 1e-6);
  EXPECT_TRUE(b->GetBoundingElement().IsEmpty());
  a->Destroy();
  b->Destroy();
  EXPECT_EQ(NamedGP::alive, 0);
}

TEST(BagDestruction, SharedChildSurvivesItsFirstBagAndUnsharedSubtreesGo) {
  auto* top = new Kel3DBagRep;
  auto* root = new Kel3DBagRep;
  auto* other = new Kel3DBagRep;
  top->AddChild(*root);
  auto* shared = new GPLeaf(Named("s"));
  root->AddChild(*shared);
  root->AddChild(*shared);  // twice: one entry
  other->AddChild(*shared);
  EXPECT_EQ(root->GetChildCount(), 1);
  for (int i = 0; i < 3; ++i) {
    auto* inner = new Kel3DBagRep;
    root->AddChild(*inner);
    inner->AddChild(*new GPLeaf(Named("x"), Kelpoint3f(float(i), 0, 0)));
    inner->AddChild(*new GPLeaf(Named("y")));
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
  auto* leaf = new GPLeaf(Named("gone"), Kelpoint3f(5, 0, 0));
  auto* kept = new GPLeaf(Named("kept"));
  bag->AddChild(*leaf);
  bag->AddChild(*kept);
  leaf->Destroy();
  ASSERT_EQ(bag->GetChildCount(), 1);
  EXPECT_EQ(bag->GetChild(0), kept);
  EXPECT_NEAR(bag->GetBoundingElement().GetRadius(), 1.0f, 1e-6);

  auto* deleted = new GPLeaf(Named("deleted"));
  bag->AddChild(*deleted);
  delete deleted;  // plain delete detaches too
  EXPECT_EQ(bag->GetChildCount(), 1);

  KelRecordingRender render;
  bag->DrawShading(render, 0);
  EXPECT_EQ(Only(render.GetLog(), "Draw"), std::vector<std::string>{"Draw kept"});
  bag->Destroy();
}

TEST(BagGraph, CyclesAreRefused) {
  auto* root = new Kel3DBagRep;
  auto* mid = new Kel3DBagRep;
  root->AddChild(*mid);
  testing::internal::CaptureStderr();
  mid->AddChild(*root);
  root->AddChild(*root);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Kel3DBagRep::AddChild:"), std::string::npos);
  EXPECT_EQ(mid->GetChildCount(), 0);
  EXPECT_EQ(root->GetChildCount(), 1);
  EXPECT_EQ(root->GetParents().Count(), 0);
  root->Destroy();
}

TEST(BagDrawing, HiddenBagDrawsNothingAndInsideReachesTheChildren) {
  OneLeaf one;
  const auto inside = one.Draw(1);
  EXPECT_TRUE(Contains(inside, "Draw a"));
  EXPECT_FALSE(Contains(inside, "IsDrawable volume")) << "inside: flags only";
  one.bag.TemporyNoshowOn();
  EXPECT_TRUE(one.Draw().empty());
}

TEST(BagDrawing, HighlightIsForcedOnTheSubtreeAndReleasedEvenWhenCulled) {
  OneLeaf one;
  one.bag.HighLightOn();
  const auto log = one.Draw();
  EXPECT_EQ(Only(log, "InheritForeground"),
            (std::vector<std::string>{"InheritForeground 251", "InheritForeground 0"}));
  EXPECT_TRUE(Contains(log, "Draw a"));

  // Culled: the forcing must still end, or it leaks onto the siblings.
  one.bag.HighLightOff();
  one.bag.GetGraphicAttributeSet().flags |= KelGraphicAttributeSet::SECOND_MARK;
  const auto culled = one.Draw(0, 1);
  EXPECT_EQ(Only(culled, "InheritForeground"),
            (std::vector<std::string>{"InheritForeground 252", "InheritForeground 0"}));
  EXPECT_FALSE(Contains(culled, "Draw a"));
}

TEST(BagDrawing, MatricesArePushedAroundTheChildrenAndPopped) {
  OneLeaf one;
  one.bag.SetMatrix(Scaling(3.0f));
  KelRecordingRender render;
  one.bag.DrawShading(render, 0);
  const auto& log = render.GetLog();
  auto at = [&](const std::string& s) {
    return std::find(log.begin(), log.end(), s) - log.begin();
  };
  EXPECT_LT(at("PushMatrix"), at("PushReference"));
  EXPECT_LT(at("PushReference"), at("Draw a"));
  EXPECT_LT(at("Draw a"), at("PopReference"));
  EXPECT_LT(at("PopReference"), at("PopMatrix"));
  ASSERT_EQ(render.pushedMatrices.size(), 1u);
  EXPECT_EQ(render.pushedMatrices[0][0], 3.0f);
}

TEST(BagDrawing, DrawPathDrawsOnlyAlongThePath) {
  Kel3DBagRep bag;
  GPLeaf a(Named("a")), b(Named("b"));
  bag.AddChild(a);
  bag.AddChild(b);
  bag.SetMatrix(Scaling(2.0f));

  KelRepPath path(nullptr);
  path.AddRep(bag);
  path.AddRep(b);
  KelRecordingRender render;
  path.InitToTopRep();
  path.NextChildRep()->DrawPath(render, 0, path);
  EXPECT_EQ(Only(render.GetLog(), "Draw"), std::vector<std::string>{"Draw b"});
  EXPECT_TRUE(Contains(render.GetLog(), "PushMatrix"));

  KelRepPath whole(nullptr);
  whole.AddRep(bag);
  KelRecordingRender all;
  whole.InitToTopRep();
  whole.NextChildRep()->DrawPath(all, 0, whole);
  EXPECT_EQ(Only(all.GetLog(), "Draw"), (std::vector<std::string>{"Draw a", "Draw b"}));
}

TEST(BagSorting, ChildrenAreOrderedByTheirAttributeBytes) {
  Kel3DBagRep bag;
  GPLeaf c5(Named("5")), c2(Named("2")), c9(Named("9"));
  for (GPLeaf* c : {&c5, &c2, &c9}) {
    c->SetColor(c == &c5 ? 5 : c == &c2 ? 2 : 9);
    bag.AddChild(*c);
  }
  bag.SortGraphicAttributeSet();
  EXPECT_EQ(bag.GetChild(0), &c2);
  EXPECT_EQ(bag.GetChild(1), &c5);
  EXPECT_EQ(bag.GetChild(2), &c9);
  bag.SetColor(7);
  EXPECT_EQ(c2.GetGraphicAttributeSet().color, 7);
  EXPECT_EQ(bag.GetGraphicAttributeSet().color, 253) << "the bag colours its children only";
}

class TestLeaf2DRep : public Kel2DRep {
 public:
  TestLeaf2DRep(float x1, float x2, float y1, float y2) {
    SetBoundingElement(Kel2DBoundingBox(x1, x2, y1, y2));
  }
};

TEST(Bag2D, SetBoundingElementReachesTheParentsAndRotationsAreKept) {
  Kel2DBagRep bag;
  TestLeaf2DRep leaf(0, 2, 0, 2);
  bag.AddChild(leaf);
  leaf.SetBoundingElement(Kel2DBoundingBox(4, 6, -1, 1));
  float xmin, xmax, ymin, ymax;
  bag.GetBoundingElement().GetParameter(&xmin, &xmax, &ymin, &ymax);
  EXPECT_FLOAT_EQ(xmin, 4.0f);
  EXPECT_FLOAT_EQ(ymax, 1.0f);

  // A quarter turn: the 2 x 2 box from (4, -1) becomes x in [-1, 1], y in [4, 6].
  bag.SetMatrix(Kel3x3Matrix(Kelvector2f(0, 1), Kelvector2f(-1, 0), Kelpoint2f(0, 0)));
  bag.GetBoundingElement().GetParameter(&xmin, &xmax, &ymin, &ymax);
  EXPECT_NEAR(xmin, -1.0f, 1e-5);
  EXPECT_NEAR(xmax, 1.0f, 1e-5);
  EXPECT_NEAR(ymin, 4.0f, 1e-5);
  EXPECT_NEAR(ymax, 6.0f, 1e-5);
  bag.RemoveChild(leaf);
}

TEST(RepPath, CursorWalksBothWaysAndCopiesKeepTheirSubElements) {
  GPLeaf a(Named("a")), b(Named("b")), c(Named("c"));
  KelRepPath path(nullptr);
  path.AddRep(a);
  path.AddRep(b);
  path.AddRep(c);
  path.AddRep(b);
  EXPECT_EQ(Walk(path, true), (std::vector<KelRep*>{&a, &b, &c}));
  EXPECT_EQ(Walk(path, false), (std::vector<KelRep*>{&c, &b, &a}));

  list<int> numbers;
  numbers.Append(4);
  numbers.Append(7);
  KelRepPath other(nullptr);
  other.SetSubElementList(numbers);
  other = path;
  EXPECT_EQ(other.Size(), 3) << "a Rep added twice is kept once";
  EXPECT_EQ(other.HasSubElement(), 2) << "assignment keeps the target's sub-elements";
  EXPECT_EQ(KelRepPath(other).GetSubElementList()[1], 7);

  path.RemoveRep(b);
  EXPECT_EQ(Walk(path, true), (std::vector<KelRep*>{&a, &c}));
}

TEST(PathElementRep, DrawsItsPathFurtivelyAndNothingWhenEmpty) {
  OneLeaf one;
  KelRepPath path(nullptr);
  path.AddRep(one.bag);
  path.AddRep(one.leaf);
  path.SetFurtive(1);
  KelPathElement element;
  KelPathElementRep rep(element, path);
  rep.HighLightOn();
  KelRecordingRender render;
  rep.DrawShading(render, 0);
  const auto& log = render.GetLog();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[0], "InheritElementType 7 1");
  EXPECT_EQ(log[1], "SetFurtiveOn");
  EXPECT_EQ(log[2], "SetSensitivity 0");
  EXPECT_EQ(log[3], "InheritForeground 251");
  EXPECT_TRUE(Contains(log, "Draw a"));
  EXPECT_EQ(log[log.size() - 1], "InheritElementType 7 0");

  KelRepPath empty(nullptr);
  KelPathElementRep nothing(element, empty);
  KelRecordingRender r2;
  nothing.DrawShading(r2, 0);
  EXPECT_FALSE(Contains(r2.GetLog(), "Draw a"));
}

TEST(GraphicTable, RepsEnterAndLeaveTheirControllersTableByFullWidthKey) {
  KelHashRepTable table;
  KelVisuController controller;
  controller.SetAssociatedGraphicTable(&table);

  // Two ids equal in their lower 32 bits: one key each.
  const std::intptr_t low = 0x1234;
  const std::intptr_t high = (std::intptr_t(1) << 40) | low;
  KelModelIdentificator idLow(reinterpret_cast<void*>(low));
  KelModelIdentificator idHigh(reinterpret_cast<void*>(high));
  auto* a = new Kel3DBagRep(idLow, &controller);
  auto* b = new Kel3DBagRep(idHigh, &controller);
  KelModelIdentificator none;
  Kel3DBagRep unrecorded(none, &controller);

  EXPECT_EQ(table.GetSize(), 2);
  EXPECT_EQ(controller.GetRep(idLow), a);
  EXPECT_EQ(controller.GetRep(idHigh), b);
  table.UnreferenceRep(KelModelIdentificator(99));
  EXPECT_EQ(table.GetSize(), 2);

  a->Destroy();  // leaves the table through its controller
  EXPECT_EQ(table.GetSize(), 1);
  EXPECT_EQ(controller.GetRep(idHigh), b);
  b->Destroy();
  EXPECT_EQ(table.GetSize(), 0);
}

}  // namespace
