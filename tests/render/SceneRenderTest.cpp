// Whole scenes through culling and drawing: assemblies placed by matrices,
// and Reps that culling leaves out of the picture.
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/reps/Kel3DSimpleSphereRep.h>

#include "RenderScene.h"

namespace {

using kelrender::GPLeaf;
using kelrender::Quad;
using kelrender::RenderScene;
using kelrender::Rgb;

class Scene : public RenderScene {};

TEST_F(Scene, TwoLevelAssemblyIsDrawnThroughItsMatrices) {
  // A part (a red box with a green ball on it) placed twice in a sub-assembly,
  // and the sub-assembly placed twice in the root: four copies.
  auto* part = new Kel3DBagRep;
  auto* box = new Kel3DCuboidRep(Kelpoint3f(-0.5f, -0.5f, -0.5f), Kelvector3f(1, 0, 0),
                                 Kelvector3f(0, 1, 0), Kelvector3f(0, 0, 1), 4);
  auto* ball = new Kel3DSimpleSphereRep(Kelpoint3f(0, 0, 0.9f), 0.4f, 16);
  ball->SetColor(5);
  part->AddChild(*box);
  part->AddChild(*ball);
  auto* left = new Kel3DBagRep;
  auto* right = new Kel3DBagRep;
  left->SetMatrix(Kel4x4Matrix(Kelvector3f(-1.5f, 0, 0)));
  right->SetMatrix(Kel4x4Matrix(Kelvector3f(1.5f, 0, 0)));
  left->AddChild(*part);
  right->AddChild(*part);
  auto* sub = new Kel3DBagRep;
  sub->AddChild(*left);
  sub->AddChild(*right);
  auto* low = new Kel3DBagRep;
  auto* high = new Kel3DBagRep;
  low->SetMatrix(Kel4x4Matrix(Kelvector3f(0, 0, -2)));
  high->SetMatrix(Kel4x4Matrix(Kelvector3f(0, 0, 2)));
  low->AddChild(*sub);
  high->AddChild(*sub);
  root->AddChild(*low);
  root->AddChild(*high);
  Draw();
  for (float x : {-1.5f, 1.5f})
    for (float z : {-2.0f, 2.0f}) {
      const Rgb red = PixelAt(Kelpoint3f(x, -0.5f, z - 0.2f));
      EXPECT_GT(red.r, 60) << x << " " << z;
      EXPECT_LT(red.g + red.b, 20) << x << " " << z;
      const Rgb green = PixelAt(Kelpoint3f(x, 0, z + 0.9f));
      EXPECT_GT(green.g, 60) << x << " " << z;
    }
  // Nothing at the origin, where the unplaced part would be.
  EXPECT_TRUE(IsBackground(0, 0));
  const Rgb origin = PixelAt(Kelpoint3f(0, 0, 0));
  EXPECT_LT(origin.r + origin.g + origin.b, 8);
  ExpectMatchesReference("two_level_assembly");
}

TEST_F(Scene, RepsOutsideTheViewOrTooSmallAreLeftOut) {
  // Three leaves draw the same kind of square in view; culling judges them by
  // their spheres only.
  auto* shown = new GPLeaf({Quad(Kelpoint3f(-2.5f, 0, 0), 1.0f)}, Kelpoint3f(-2.5f, 0, 0), 1.5f);
  // Its sphere lies far to the side of the view.
  auto* outside = new GPLeaf({Quad(Kelpoint3f(0, 0, 0), 1.0f)}, Kelpoint3f(60, 0, 0), 1.5f);
  // Its sphere is far under the culling size (2 pixels).
  auto* tiny = new GPLeaf({Quad(Kelpoint3f(2.5f, 0, 0), 1.0f)}, Kelpoint3f(2.5f, 0, 0), 0.001f);
  shown->SetColor(6);
  outside->SetColor(4);
  tiny->SetColor(5);
  root->AddChild(*shown);
  root->AddChild(*outside);
  root->AddChild(*tiny);
  Draw();
  EXPECT_GT(PixelAt(Kelpoint3f(-2.5f, 0, 0)).b, 100);
  const Rgb middle = PixelAt(Kelpoint3f(0, 0, 0));
  const Rgb right = PixelAt(Kelpoint3f(2.5f, 0, 0));
  EXPECT_LT(middle.r + middle.g + middle.b, 8);
  EXPECT_LT(right.r + right.g + right.b, 8);
  ExpectMatchesReference("culled_reps_absent");
}

}  // namespace
