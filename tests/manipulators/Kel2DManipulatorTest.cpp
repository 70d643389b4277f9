// 2D translators dragged through a viewer without a screen window, the events
// that start no drag (translators and the matrix indicator), and what a father asks 2D and 3D
// manipulators about the position they send.
#include <gtest/gtest.h>

#include <kel/controller/KelVueNotification.h>
#include <kel/manipulators/Kel2DAxisTranslator.h>
#include <kel/manipulators/Kel2DMatrixIndicator.h>
#include <kel/manipulators/Kel2DTranslator.h>
#include <kel/manipulators/Kel3DAxisTranslator.h>
#include <kel/reps/Kel2DRep.h>
#include <kel/reps/Kel3DPointRep.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewpoints/Kel2DViewpoint.h>

#include <memory>
#include <string>
#include <vector>

#include "KelTestEnv.h"
#include "KelViewerSession.h"

namespace {

using keltest::NotificationLog;
using Texts = std::vector<std::string>;

class Drag2D : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(drag.Ready()); }
  // Presses, then moves through `pixels`; answers the last handler's answer.
  int Drag(KelManipulator& m, std::vector<Kelpoint2f> pixels) {
    KelViewerEvent& press = drag.Mouse(pixels[0], &rep, Kelpoint3f(), 0, drag.viewpoint2D);
    m.Preactivate(&press, nullptr);
    m.Activate(&press, nullptr);
    int answer = m.BeginManipulate(&press, nullptr);
    for (std::size_t i = 1; i < pixels.size(); ++i)
      answer =
          m.Manipulate(&drag.Mouse(pixels[i], &rep, Kelpoint3f(), 0, drag.viewpoint2D), nullptr);
    return answer;
  }

  keltest::DragViewer drag;
  Kel2DRep rep;
  NotificationLog log;
};

TEST_F(Drag2D, AxisTranslatorAddsTheCursorsPixelsAlongItsDirection) {
  Keldirection2f along(1, 0);
  Kel2DAxisTranslator constrained(nullptr, &rep, along), free(nullptr, &rep);
  constrained.SetObjectPosition(Kel3x3Matrix(Kelvector2f(1, 2)));
  ASSERT_EQ(Drag(constrained, {{100, 100}, {104, 120}, {110, 140}}), 1);
  EXPECT_EQ(constrained.GetObjectPosition().GetTranslation(), Kelvector2f(11, 2));
  ASSERT_EQ(Drag(free, {{100, 100}, {110, 140}}), 1);
  EXPECT_EQ(free.GetObjectPosition().GetTranslation(), Kelvector2f(10, 40));
}

TEST_F(Drag2D, TranslatorFollowsTheModelPointUnderTheCursor) {
  Kel2DTranslator m(&log, KelString("t"), &rep);
  // One unit is half the window's height, 50 pixels: 25 right, 50 up.
  ASSERT_EQ(Drag(m, {{100, 50}, {125, 25}, {125, 0}}), 1);
  const Kelvector2f t = m.GetObjectPosition().GetTranslation();
  EXPECT_NEAR(t.x, 0.5, 1e-5);
  EXPECT_NEAR(t.y, 1.0, 1e-5);
  EXPECT_EQ(log.Last("t:KelManipulate")->cause, "Kel2DPositionEvent");
}

TEST_F(Drag2D, KeysNeitherStartNorMoveADrag) {
  Kel3DPointRep rep3D;
  Kel2DAxisTranslator axis(&log, KelString("a"), &rep);
  Kel2DTranslator free(&log, KelString("t"), &rep);
  Kel3DAxisTranslator slide(&log, KelString("s"), &rep3D, Keldirection3f(1, 0, 0));
  Kel2DMatrixIndicator indicator(&log, KelString("i"), *drag.viewpoint2D);
  for (auto [m, r] : {std::pair<KelManipulator*, KelRep*>{&axis, &rep},
                      {&free, &rep},
                      {&slide, &rep3D},
                      {&indicator, &rep}}) {
    KelViewerEvent& key = drag.Key(4, r);
    m->Preactivate(&key, nullptr);
    m->Activate(&key, nullptr);
    EXPECT_EQ(m->BeginManipulate(&key, nullptr), 1);
    EXPECT_EQ(m->Manipulate(&key, nullptr), 0);
    EXPECT_EQ(m->Manipulate(&drag.Mouse({150, 80}, r), nullptr), 0) << "no drag runs";
  }
  // A 3D drag needs a picked point: a press on nothing starts none either.
  EXPECT_EQ(slide.BeginManipulate(&drag.Mouse({150, 80}), nullptr), 0);
  EXPECT_EQ(slide.GetInteractiveState(), 2);
  EXPECT_EQ(axis.GetObjectPosition().GetTranslation(), Kelvector2f(0, 0));
  EXPECT_EQ(free.GetObjectPosition().GetTranslation(), Kelvector2f(0, 0));
  EXPECT_EQ(indicator.GetObjectPosition().GetTranslation(), Kelvector2f(0, 0));
  keltest::ExpectXYZ(slide.GetObjectPosition() * Kelpoint3f(0, 0, 0), 0, 0, 0);
  EXPECT_EQ(log.Texts(),
            (Texts{"a:KelPreactivate", "a:KelActivate", "t:KelPreactivate", "t:KelActivate",
                   "s:KelPreactivate", "s:KelActivate", "i:KelPreactivate", "i:KelActivate"}));
}

// Asks, on each KelManipulate, for the matrix and for the viewer.
struct Asker : KelCommand {
  Asker() : KelCommand(KelString("asker")) {
    AddAnalyseNotificationCB(nullptr, KelManipulator::GetKelManipulate(), &Asker::Ask, nullptr);
  }
  void Ask(KelCommand* sender, KelNotification* n, void*) {
    auto* m = static_cast<KelManipulator*>(sender);
    if (auto* p =
            static_cast<Kel3x3Matrix*>(m->SendCommandSpecificObject(Kel3x3Matrix::ClassName(), n)))
      matrix2D = p->GetTranslation();
    if (auto* p =
            static_cast<Kel4x4Matrix*>(m->SendCommandSpecificObject(Kel4x4Matrix::ClassName(), n)))
      p->GetTranslation(matrix3D);
    viewer = m->SendCommandSpecificObject(KelViewer::ClassName(), n);
    // The position event is put back after the question about its viewer event.
    cause = static_cast<KelVueNotification*>(n)->GetDataNotification()->IsA();
  }
  Kelvector2f matrix2D;
  Kelvector3f matrix3D;
  void* viewer = nullptr;
  std::string cause;
};

TEST_F(Drag2D, AFatherAsksForThePositionDuringTheDrag) {
  Asker asker;
  Kel2DAxisTranslator m2D(&asker, &rep);
  ASSERT_EQ(Drag(m2D, {{10, 10}, {13, 14}}), 1);
  EXPECT_EQ(asker.matrix2D, Kelvector2f(3, 4));
  EXPECT_EQ(asker.viewer, drag.viewer);
  EXPECT_EQ(asker.cause, "Kel2DPositionEvent");

  Kel3DPointRep rep3D;
  Kel3DAxisTranslator m3D(&asker, &rep3D, Keldirection3f(0, 1, 0));
  KelViewerEvent& press = drag.Mouse(drag.Pixel(0, 0), &rep3D);
  m3D.Preactivate(&press, nullptr);
  m3D.Activate(&press, nullptr);
  m3D.BeginManipulate(&press, nullptr);
  asker.viewer = nullptr;
  ASSERT_EQ(m3D.Manipulate(&drag.Mouse(drag.Pixel(0, 3), &rep3D), nullptr), 1);
  keltest::ExpectXYZ(asker.matrix3D, 0, 3, 0);
  EXPECT_EQ(asker.viewer, drag.viewer);
  EXPECT_EQ(asker.cause, "Kel3DPositionEvent");
}

}  // namespace
