// Lit solids, edges over faces, highlight, transparency, clipping and RGBA
// colours drawn off-screen by the OpenGL driver.
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/reps/Kel3DCylinderRep.h>
#include <kel/reps/Kel3DSimpleConeRep.h>
#include <kel/reps/Kel3DSimpleSphereRep.h>

#include "RenderScene.h"

namespace {

using kelrender::GPLeaf;
using kelrender::RenderScene;
using kelrender::Rgb;

class Solids : public RenderScene {};

TEST_F(Solids, ClearsToTheBackgroundColour) {
  Draw();
  EXPECT_EQ(CountDrawn(), 0);
}

TEST_F(Solids, LitCuboidSphereConeAndCylinder) {
  auto* cuboid = new Kel3DCuboidRep(Kelpoint3f(-4, -1, -1), Kelvector3f(2, 0, 0),
                                    Kelvector3f(0, 2, 0), Kelvector3f(0, 0, 2), 4);
  auto* sphere = new Kel3DSimpleSphereRep(Kelpoint3f(-1, 2, 0), 1.2f, 24);
  auto* cone = new Kel3DSimpleConeRep(Kelpoint3f(1, -2, -1), Kelpoint3f(1, -2, 2), 1.0f, 24);
  auto* cylinder = new Kel3DCylinderRep(Kelpoint3f(3.5f, 1, -1), Kelpoint3f(3.5f, 1, 1.5f), 1.0f);
  sphere->SetColor(5);
  cone->SetColor(6);
  cylinder->SetColor(7);
  root->AddChild(*cuboid);
  root->AddChild(*sphere);
  root->AddChild(*cone);
  root->AddChild(*cylinder);
  Draw();
  ExpectMatchesReference("lit_solids");
}

}  // namespace
