// kelview's part dragger without a window: a drag moves the part in world
// coordinates whatever matrix the scene's root carries, and a cancel puts it
// back and ignores the rest of the drag.
#include <gtest/gtest.h>

#include <kel/manipulators/Kel3DManipulator.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DPointRep.h>

#include "KelPartDragger.h"
#include "KelTestEnv.h"
#include "KelViewerSession.h"

namespace {

TEST(PartDragger, DragsInWorldCoordinatesUnderATurnedRootAndCancelPutsThePartBack) {
  keltest::DragViewer drag;
  ASSERT_TRUE(drag.Ready());
  keltest::NotificationLog app;
  // A root turned a quarter about x (y up in the file, z up in the world) and
  // a part placed 1 along the root's x.
  auto* root = new Kel3DBagRep;
  root->SetMatrix(
      Kel4x4Matrix(Kelvector3f(0, 0, 0), Kelvector3f(-1.5707964f, 0, 0), Kelpoint3f(0, 0, 0)));
  auto* part = new Kel3DBagRep;
  part->SetMatrix(Kel4x4Matrix(Kelvector3f(1, 0, 0)));
  part->AddChild(*new Kel3DPointRep);
  root->AddChild(*part);
  auto* dragger = new KelPartDragger(&app, *drag.viewer, *root, nullptr);
  ASSERT_FALSE(dragger->Choose(KelPartDragger::Translate, root)) << "not a part";
  ASSERT_TRUE(dragger->Choose(KelPartDragger::Translate, part));
  KelManipulator& m = *dragger->GetManipulator();
  auto world = [&] { return *root->GetMatrix() * (*part->GetMatrix() * Kelpoint3f(0, 0, 0)); };
  keltest::ExpectXYZ(world(), 1, 0, 0);

  // The camera looks down -z: the part follows the cursor 2 right, 1 up.
  KelViewerEvent& press = drag.Mouse(drag.Pixel(1, 0), part, Kelpoint3f(1, 0, 0));
  m.Preactivate(&press, nullptr);
  m.Activate(&press, nullptr);
  ASSERT_EQ(m.BeginManipulate(&press, nullptr), 1);
  ASSERT_EQ(m.Manipulate(&drag.Mouse(drag.Pixel(3, 1), part), nullptr), 1);
  keltest::ExpectXYZ(world(), 3, 1, 0);
  EXPECT_TRUE(dragger->IsDragging());
  // The application hears the drag.
  EXPECT_EQ(app.Texts().back(), "partDragger:KelManipulate");

  ASSERT_TRUE(dragger->Cancel());
  keltest::ExpectXYZ(world(), 1, 0, 0);
  m.Manipulate(&drag.Mouse(drag.Pixel(5, 5), part), nullptr);
  keltest::ExpectXYZ(world(), 1, 0, 0);
  EXPECT_FALSE(dragger->Cancel()) << "once";
  m.EndManipulate(&press, nullptr);
  EXPECT_FALSE(dragger->IsDragging());

  // A new selection takes the manipulator away from the part.
  dragger->Follow(root);
  EXPECT_EQ(dragger->GetManipulator(), nullptr);
  EXPECT_EQ(part->GetManipulator(), nullptr);
  delete dragger;
  root->Destroy();
}

}  // namespace
