// A controller driving a real 3D viewer: redraw requests per change and per
// transaction, the selection's Rep in the viewer's lists, and a viewer that
// dies before the controller.
#include <gtest/gtest.h>

#include <kel/controller/KelVisuController.h>
#include <kel/framework/KelCso.h>
#include <kel/framework/KelModelNotification.h>
#include <kel/framework/KelVue.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/KelHashRepTable.h>
#include <kel/reps/KelPathElementRep.h>
#include <kel/viewers/Kel3DViewer.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <memory>

#include "KelTestEnv.h"
#include "KelViewerSession.h"

namespace {

class CountingViewer : public Kel3DViewer {
 public:
  using Kel3DViewer::Draw;
  using Kel3DViewer::Kel3DViewer;
  void Draw() override {
    ++draws;
    Kel3DViewer::Draw();
  }
  int draws = 0;
};

void* Obj(std::intptr_t n) {
  return reinterpret_cast<void*>(n);
}

class Parts : public KelVisuController {
 public:
  Parts() {
    SetAssociatedGraphicTable(new KelHashRepTable);
    KelModelIdentificator root(Obj(1));
    SetGraphicModel(new Kel3DBagRep(root, this));
    AttachToModelDispatcher(&dispatcher);
    AttachToCso(&cso);
  }
  KelRep* BuildRep(KelModelIdentificator& id) override { return new Kel3DBagRep(id, this); }
  void Send(KelNotification&& n) { dispatcher.Dispatch(&n); }
  KelModelNotificationDispatcher dispatcher;
  KelCso cso;
};

class ControllerX11 : public testing::Test {
 protected:
  void SetUp() override {
    KEL_REQUIRE(keltest::HasDisplay(), "an X display");
    session = std::make_unique<keltest::ViewerSession>(
        "controlled", 200, 150, true, [](KelDialog* father, const KelString& name, int w, int h) {
          return new CountingViewer(father, name, 0, w, h, 0);
        });
    ASSERT_TRUE(session->Ready());
    viewer = static_cast<CountingViewer*>(session->viewer);
  }
  std::unique_ptr<keltest::ViewerSession> session;
  CountingViewer* viewer = nullptr;
};

TEST_F(ControllerX11, ChangesRedrawAtOnceAndATransactionRedrawsOnceAtItsEnd) {
  Parts c;
  c.AddViewer(*viewer);
  c.AddViewer(*viewer);  // listed once
  viewer->AddRep(static_cast<Kel3DRep*>(c.GetGraphicModel()));
  viewer->draws = 0;
  for (int i = 2; i <= 4; ++i) c.Send(KelCreate(Obj(i), Obj(1)));
  EXPECT_EQ(viewer->draws, 3);

  viewer->draws = 0;
  c.Send(KelBeginTransaction());
  c.Send(KelModifyGeometry(Obj(2)));
  c.Send(KelModifyGeometry(Obj(3)));
  c.Send(KelModifyColor(Obj(4), 5));
  EXPECT_EQ(viewer->draws, 0);
  c.Send(KelEndTransaction());
  EXPECT_EQ(viewer->draws, 1);
  // A transaction that changed nothing draws nothing.
  c.Send(KelBeginTransaction());
  c.Send(KelEndTransaction());
  EXPECT_EQ(viewer->draws, 1);
  EXPECT_TRUE(session->WaitUpdates(1));
  viewer->RemoveRep(static_cast<Kel3DRep*>(c.GetGraphicModel()));
}

TEST_F(ControllerX11, SelectionShowsInTheViewerUntilRemoved) {
  Parts c;
  c.AddViewer(*viewer);
  c.Send(KelCreate(Obj(2), Obj(1)));
  Kel3DViewpoint* main = viewer->GetViewpoint();
  const int plain = main->GetRepList().Count();
  const int furtive = main->GetFurtiveRepList().Count();

  void* objects[] = {Obj(2)};
  KelPathElement element(objects, 1);
  c.cso.AddElement(element);
  EXPECT_EQ(main->GetRepList().Count(), plain + 1);
  EXPECT_EQ(main->GetFurtiveRepList().Count(), furtive);
  // While the user drags, selections are shown furtively.
  c.Send(KelInteractivityNotification(1));
  c.Send(KelCreate(Obj(3), Obj(1)));
  void* third[] = {Obj(3)};
  KelPathElement dragged(third, 1);
  c.cso.AddElement(dragged);
  EXPECT_EQ(main->GetFurtiveRepList().Count(), furtive + 1);
  EXPECT_TRUE(session->WaitUpdates(1));

  c.cso.RemoveElement(element);
  c.cso.RemoveElement(dragged);
  EXPECT_EQ(main->GetRepList().Count(), plain);
  EXPECT_EQ(main->GetFurtiveRepList().Count(), furtive);
  c.Send(KelInteractivityNotification(0));
}

TEST_F(ControllerX11, AViewerThatDiesIsForgotten) {
  Parts c;
  c.AddViewer(*viewer);
  session.reset();  // the viewer goes with its document
  c.InitViewerList();
  EXPECT_EQ(c.GetNextViewer(), nullptr);
  c.Send(KelCreate(Obj(2), Obj(1)));  // redraws no dead viewer
  EXPECT_NE(c.GetRep(KelModelIdentificator(Obj(2))), nullptr);
}

}  // namespace
