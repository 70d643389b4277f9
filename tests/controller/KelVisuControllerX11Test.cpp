// A controller driving a real 3D viewer: redraw requests per change and for
// an empty transaction, the selection's Rep in the viewer's lists, a viewer that dies
// before the controller, and a selector decoding what a real click picked.
#include <gtest/gtest.h>

#include <kel/controller/KelVisuController.h>
#include <kel/framework/KelCso.h>
#include <kel/framework/KelModelNotification.h>
#include <kel/manipulators/KelSelector.h>
#include <kel/picking/KelPickPath.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/reps/KelHashRepTable.h>
#include <kel/viewers/Kel3DViewer.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <memory>

#include "KelTestEnv.h"
#include "KelViewerSession.h"
#include "KelXInput.h"
#include "KelXSession.h"

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

class ControllerX11 : public keltest::ViewerX11Test {
 protected:
  void SetUp() override {
    if (!Open("controlled", 200, 150, keltest::MakeViewer<CountingViewer>)) return;
    viewer = static_cast<CountingViewer*>(session->viewer);
  }
  CountingViewer* viewer = nullptr;
};

// (A transaction that changes parts redraws once at its end: the
// kelcontroller example counts it.)
TEST_F(ControllerX11, ChangesRedrawAtOnceAndATransactionOfNoChangeNotAtAll) {
  Parts c;
  c.AddViewer(*viewer);
  c.AddViewer(*viewer);  // listed once
  viewer->AddRep(static_cast<Kel3DRep*>(c.GetGraphicModel()));
  viewer->draws = 0;
  for (int i = 2; i <= 4; ++i) c.Send(KelCreate(Obj(i), Obj(1)));
  EXPECT_EQ(viewer->draws, 3);
  c.Send(KelBeginTransaction());
  c.Send(KelEndTransaction());
  EXPECT_EQ(viewer->draws, 3);
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

// An application's controller: each part is a bag holding a cube of side 2
// round its origin; a "Part" is decoded from the assembly's bag downwards.
class Assembly : public Parts {
 public:
  KelRep* BuildRep(KelModelIdentificator& id) override {
    auto* bag = new Kel3DBagRep(id, this);
    bag->AddChild(*new Kel3DCuboidRep(Kelpoint3f(-1, -1, -1), Kelvector3f(2, 0, 0),
                                      Kelvector3f(0, 2, 0), Kelvector3f(0, 0, 2), 4));
    return bag;
  }
  void* DecodeGraphic(const char* className, KelPickPath* path) override {
    KelRep* rep = path->GetCurrentRep();
    if (std::string(className) != "Part" || !rep) return nullptr;
    void* object = rep->GetIdentificator().GetVoidId();
    return object == Obj(1) ? DecodeNextGraphicElement(className, path) : object;
  }
};

// On activation the command asks for the part under the cursor, then tells
// the viewer whether it suits (both, to see each cursor).
struct SelectCommand : KelCommand {
  SelectCommand() : KelCommand(KelString("select")) {
    AddAnalyseNotificationCB(nullptr, KelManipulator::GetKelActivate(), &SelectCommand::Activated,
                             nullptr);
  }
  void Activated(KelCommand* sender, KelNotification* n, void*) {
    auto* selector = static_cast<KelSelector*>(sender);
    part = selector->SendCommandSpecificObject("Part", n);
    auto* viewer =
        static_cast<KelViewer*>(selector->SendCommandSpecificObject(KelViewer::ClassName(), n));
    selector->SendCommandSpecificObject(KelRefuseDecode, n);
    refused = viewer->GetCursorType();
    selector->SendCommandSpecificObject(KelAcceptDecode, n);
    accepted = viewer->GetCursorType();
    ++activations;
  }
  void* part = nullptr;
  int refused = 0, accepted = 0, activations = 0;
};

TEST_F(ControllerX11, ASelectorDecodesTheClickedPartThroughItsController) {
  Assembly c;
  c.AddViewer(*viewer);
  Kel3DViewpoint* v = viewer->GetMain3DViewpoint();
  v->AddRep(static_cast<Kel3DRep*>(c.GetGraphicModel()));
  c.Send(KelCreate(Obj(2), Obj(1)));
  SelectCommand command;
  KelSelector selector(&command, KelString("part"), c.GetRep(KelModelIdentificator(Obj(2))));
  viewer->Reframe();
  ASSERT_TRUE(session->WaitUpdates(1));

  // The cube fills the middle of the framed window; a corner shows nothing.
  const auto click = [&](int x, int y) {
    keltest::PointerTo(session->Area(), x, y);
    keltest::PressButton(1);
    keltest::ReleaseButton(1);
    keltest::Settle();
  };
  click(5, 5);
  EXPECT_EQ(command.activations, 0);
  click(100, 75);
  ASSERT_EQ(command.activations, 1);
  EXPECT_EQ(command.part, Obj(2));
  EXPECT_EQ(command.refused, 2);
  EXPECT_EQ(command.accepted, 1);
  // A query without an interaction behind it decodes nothing.
  EXPECT_EQ(selector.SendCommandSpecificObject("Part", nullptr), nullptr);
  keltest::PointerTo(session->Area(), 5, 5);
  keltest::Settle();
  v->RemoveRep(static_cast<Kel3DRep*>(c.GetGraphicModel()));
}

}  // namespace
