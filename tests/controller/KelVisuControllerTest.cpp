#include <gtest/gtest.h>

#include <kel/controller/KelVisuController.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelCso.h>
#include <kel/framework/KelModelNotification.h>
#include <kel/framework/KelVue.h>
#include <kel/manipulators/KelManipulator.h>
#include <kel/picking/KelPickPath.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/KelHashRepTable.h>
#include <kel/reps/KelPathElementRep.h>
#include <kel/reps/KelRepPath.h>
#include <kel/reps/KelSurfacicRep.h>

#include <cstdint>
#include <set>
#include <vector>

namespace {

void* Obj(std::intptr_t n) {
  return reinterpret_cast<void*>(n);
}
KelModelIdentificator Id(std::intptr_t n) {
  return KelModelIdentificator(Obj(n));
}

// Parts are bags; the model root is object 1.
class PartsController : public KelVisuController {
 public:
  PartsController() {
    SetAssociatedGraphicTable(new KelHashRepTable);
    KelModelIdentificator root = Id(1);
    SetGraphicModel(new Kel3DBagRep(root, this));
    AttachToModelDispatcher(&dispatcher);
    AttachToCso(&cso);
  }
  KelRep* BuildRep(KelModelIdentificator& id) override {
    ++built;
    return new Kel3DBagRep(id, this);
  }
  KelRep* GenerateLocalRep(const KelPathElement&) override {
    return generate ? new Kel3DBagRep : nullptr;
  }
  std::intptr_t ComputePersistentIntId(std::intptr_t id) override { return id + shift; }
  void* DecodeGraphic(const char*, KelPickPath*) override { return this; }

  void Send(KelNotification&& n) { dispatcher.Dispatch(&n); }
  Kel3DBagRep* Root() { return static_cast<Kel3DBagRep*>(GetGraphicModel()); }
  int Has(KelRep* child) { return Root()->GetChildren()->Contains(child); }

  KelModelNotificationDispatcher dispatcher;
  KelCso cso;
  int built = 0;
  bool generate = false;
  std::intptr_t shift = 0;
};

TEST(VisuController, NotificationsBuildUpdateAndRemoveRepsThroughTheTable) {
  PartsController c;
  c.Send(KelCreate(Obj(2), Obj(1)));
  c.Send(KelCreate(Obj(3), Obj(99)));  // unknown father: nothing built
  KelRep* part = c.GetRep(Id(2));
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(c.built, 1);
  EXPECT_TRUE(c.Has(part));

  KelModelIdentificator surfaceId = Id(5);
  auto* surface = new KelSurfacicRep(surfaceId, &c);
  c.Send(KelModifyColor(Obj(5), 7));
  EXPECT_EQ(surface->GetGraphicAttributeSet().color, 7);
  c.Send(KelModifyShowStatus(Obj(2), 0));
  EXPECT_TRUE(part->IsTemporyHidden());
  c.Send(KelModifyShowStatus(Obj(2), 1));
  EXPECT_FALSE(part->IsTemporyHidden());

  // A rebuild keeps the parents and tells the manipulator of its new Rep.
  auto* m = new KelManipulator(nullptr, nullptr);
  c.Send(KelAddManipulator(m, Obj(2)));
  ASSERT_EQ(part->GetManipulator(), m);
  c.Send(KelModifyGeometry(Obj(2)));
  KelRep* rebuilt = c.GetRep(Id(2));
  ASSERT_NE(rebuilt, nullptr);
  EXPECT_EQ(c.built, 2);
  EXPECT_TRUE(c.Has(rebuilt));
  EXPECT_EQ(c.Root()->GetChildCount(), 1);
  EXPECT_EQ(rebuilt->GetManipulator(), m);
  ASSERT_NE(m->GetRepsToManipulate(), nullptr);
  EXPECT_TRUE(m->GetRepsToManipulate()->Contains(rebuilt));

  // A matrix for a Rep that is not a 3D bag is refused, not cast blindly.
  c.ModifyMatrix(surfaceId, Kel4x4Matrix(Kelvector3f(1, 2, 3)));
  KelModelIdentificator partId = Id(2);
  c.ModifyMatrix(partId, Kel4x4Matrix(Kelvector3f(1, 2, 3)));
  ASSERT_NE(static_cast<Kel3DBagRep*>(rebuilt)->GetMatrix(), nullptr);
  EXPECT_EQ(static_cast<Kel3DBagRep*>(rebuilt)->GetMatrix()->GetCoefficient(3, 2), 3.0f);
  surface->Destroy();

  c.Send(KelDelete(Obj(2)));
  EXPECT_EQ(c.GetRep(Id(2)), nullptr);
  EXPECT_EQ(c.Root()->GetChildCount(), 0);
  m->Destroy();
}

TEST(VisuController, ManipulatorsFollowTheirObjectAcrossATransaction) {
  PartsController c;
  c.Send(KelCreate(Obj(2), Obj(1)));
  auto* m = new KelManipulator(nullptr, nullptr);
  c.Send(KelAddManipulator(m, Obj(2)));

  c.Send(KelBeginTransaction());
  c.Send(KelDelete(Obj(2)));
  EXPECT_EQ(c.GetPendingManipulators().Count(), 1);
  c.Send(KelCreate(Obj(2), Obj(1)));
  EXPECT_EQ(c.GetRep(Id(2))->GetManipulator(), m);
  c.Send(KelEndTransaction());
  EXPECT_EQ(c.GetPendingManipulators().Count(), 0);
  EXPECT_EQ(c.GetPendingIdentificators().Count(), 0);
  EXPECT_FALSE(c.IsDifferedDrawingMode());

  // Added for an object without a Rep then removed: nothing stays pending.
  c.Send(KelAddManipulator(m, Obj(8)));
  c.Send(KelRemoveManipulator(m, Obj(8)));
  EXPECT_EQ(c.GetPendingManipulators().Count(), 0);

  // A pending manipulator destroyed before the end is not used at the end.
  auto* gone = new KelManipulator(nullptr, nullptr);
  c.Send(KelBeginTransaction());
  c.Send(KelAddManipulator(gone, Obj(9)));
  c.Send(KelAddManipulator(m, Obj(9)));
  gone->Destroy();
  EXPECT_EQ(c.GetPendingManipulators().Count(), 1);
  c.Send(KelCreate(Obj(9), Obj(1)));
  c.Send(KelEndTransaction());
  EXPECT_EQ(c.GetRep(Id(9))->GetManipulator(), m);
  m->Destroy();
}

TEST(VisuController, RepPathsOfADoubleDiamondAreTheFourRoutesUp) {
  KelVisuController c;
  Kel3DBagRep *roots[4], *a = new Kel3DBagRep, *b = new Kel3DBagRep;
  auto* leaf = new Kel3DBagRep;
  for (auto*& r : roots) r = new Kel3DBagRep;
  roots[0]->AddChild(*a);
  roots[1]->AddChild(*a);
  roots[2]->AddChild(*b);
  roots[3]->AddChild(*b);
  a->AddChild(*leaf);
  b->AddChild(*leaf);

  auto* start = new KelRepPath(nullptr);
  start->AddRep(*leaf);
  c.BuildRepPaths(*leaf, *start);
  const list<KelRepPath*>& paths = c.GetRepPaths();
  ASSERT_EQ(paths.Count(), 4);
  std::set<std::vector<KelRep*>> routes;
  for (KelRepPath* p : paths) {
    ASSERT_EQ(p->Size(), 3);
    routes.insert({p->GetRep(0), p->GetRep(1), p->GetRep(2)});
  }
  const std::set<std::vector<KelRep*>> expected = {
      {leaf, a, roots[0]}, {leaf, a, roots[1]}, {leaf, b, roots[2]}, {leaf, b, roots[3]}};
  EXPECT_EQ(routes, expected);
  for (auto* r : roots) r->Destroy();
}

TEST(VisuController, ChangeAllIdMovesEveryRepEvenOntoAnotherOnesOldId) {
  PartsController c;
  for (int i = 2; i <= 6; ++i) c.Send(KelCreate(Obj(i), Obj(1)));
  std::vector<KelRep*> before;
  for (int i = 1; i <= 6; ++i) before.push_back(c.GetRep(Id(i)));
  c.shift = 1;  // 1 -> 2, 2 -> 3, ...: each new id is another Rep's old one
  c.ChangeAllId();
  EXPECT_EQ(c.GetAssociatedGraphicTable()->GetSize(), 6);
  for (int i = 1; i <= 6; ++i) {
    EXPECT_EQ(c.GetRep(Id(i + 1)), before[i - 1]) << i;
    EXPECT_EQ(before[i - 1]->GetIdentificator().GetIntId(), i + 1);
  }
  EXPECT_EQ(c.GetRep(Id(1)), nullptr);
}

TEST(VisuController, DyingControllerLeavesNothingPointingAtIt) {
  auto* c = new PartsController;
  KelVisuController::SetCurrentController(c);
  KelVisuController::SetUnmarshallingController(c);
  KelModelIdentificator looseId = Id(40);
  auto* loose = new Kel3DBagRep(looseId, c);  // outside the model
  c->Send(KelCreate(Obj(2), Obj(1)));
  delete c;
  EXPECT_EQ(KelVisuController::GetCurrentController(), nullptr);
  EXPECT_EQ(KelVisuController::GetUnmarshallingController(), nullptr);
  EXPECT_EQ(loose->GetControllerId(), nullptr);
  loose->Destroy();  // must not reach the dead controller's table

  // The global dispatcher no longer calls it.
  KelDelete n(Obj(2));
  KelVue::GetDispatcher()->Dispatch(&n);
}

TEST(VisuController, DecodingGoesToTheControllerOfTheNextRep) {
  PartsController c;
  c.Send(KelCreate(Obj(2), Obj(1)));
  KelPickPath path(static_cast<KelViewpoint*>(nullptr));
  path.AddRep(*c.GetRep(Id(2)));
  path.InitToTopRep();
  EXPECT_EQ(KelVisuController::DecodeNextGraphicElement("Part", &path), &c);
  EXPECT_EQ(KelVisuController::DecodeNextGraphicElement("Part", &path), nullptr);  // past the leaf

  Kel3DBagRep orphan;
  KelPickPath alone(static_cast<KelViewpoint*>(nullptr));
  alone.AddRep(orphan);
  alone.InitToTopRep();
  EXPECT_EQ(KelVisuController::DecodeNextGraphicElement("Part", &alone), nullptr);
}

TEST(VisuController, SelectionSetHighlightsEachElementOnce) {
  PartsController c;
  c.Send(KelCreate(Obj(2), Obj(1)));
  void* objects[] = {Obj(2)};
  KelPathElement element(objects, 1);
  c.cso.AddElement(element);
  c.CsoAddElement(element);  // already highlighted
  ASSERT_EQ(c.GetSelectionReps().Count(), 1);
  KelPathElementRep* shown = c.GetSelectionReps()[0];
  EXPECT_TRUE(shown->GetGraphicAttributeSet().flags & KelGraphicAttributeSet::HIGHLIGHTED);
  ASSERT_EQ(shown->GetRepPath()->Size(), 2);
  EXPECT_EQ(shown->GetRepPath()->GetRep(0), c.GetGraphicModel());
  EXPECT_EQ(shown->GetRepPath()->GetRep(1), c.GetRep(Id(2)));
  c.cso.RemoveElement(element);

  // An object without a Rep (the one above now taken down): shown only
  // through a generated Rep, furtively.
  void* unknown[] = {Obj(77)};
  KelPathElement other(unknown, 1);
  c.cso.AddElement(other);
  EXPECT_EQ(c.GetSelectionReps().Count(), 0);
  c.cso.RemoveElement(other);
  c.generate = true;
  c.cso.AddElement(other);
  ASSERT_EQ(c.GetSelectionReps().Count(), 1);
  EXPECT_TRUE(KelVisuController::IsLastSelectionRepGenerated());
  EXPECT_TRUE(c.GetSelectionReps()[0]->GetRepPath()->GetFurtive());
  // Left selected: the controller's end takes it down with its generated Rep.
}

}  // namespace
