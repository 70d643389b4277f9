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
using kelrender::Quad;
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

namespace {

bool IsOrange(const Rgb& c) {
  // Highlight colour (1, 0.46, 0), however lit.
  return c.r > 60 && c.b < 10 && std::abs(c.g * 100 / c.r - 46) <= 4;
}

TEST_F(Solids, EdgesAreDrawnWholeOverTheirFaces) {
  Kel3DPlanarFaceGP* face = Quad(Kelpoint3f(0, 0, 0), 3.0f);
  const int loop[5] = {0, 3, 6, 9, 0};
  auto* edges = new Kel3DEdgeGP(face, nullptr, loop, 5);
  auto* faceLeaf = new GPLeaf({face}, Kelpoint3f(0, 0, 0), 4.3f);
  auto* edgeLeaf = new GPLeaf({edges}, Kelpoint3f(0, 0, 0), 4.3f);
  faceLeaf->SetColor(64);
  edgeLeaf->SetColor(3);
  // The edges come first: depth alone would let the face cover them.
  root->AddChild(*edgeLeaf);
  root->AddChild(*faceLeaf);
  Draw();
  // Along each side, every sampled point of the edge is white (or its
  // neighbour is: the line may fall on either pixel).
  int white = 0, samples = 0;
  const Kelpoint3f corners[4] = {{-3, 0, -3}, {3, 0, -3}, {3, 0, 3}, {-3, 0, 3}};
  for (int side = 0; side < 4; ++side)
    for (int k = 1; k < 10; ++k) {
      const Kelpoint3f& a = corners[side];
      const Kelpoint3f& b = corners[(side + 1) % 4];
      const float t = k / 10.0f;
      int x, y;
      ToPixel(Kelpoint3f(a.x + t * (b.x - a.x), 0, a.z + t * (b.z - a.z)), x, y);
      bool found = false;
      for (int dy = -1; dy <= 1 && !found; ++dy)
        for (int dx = -1; dx <= 1 && !found; ++dx) {
          const Rgb c = Pixel(x + dx, y + dy);
          found = c.r > 240 && c.g > 240 && c.b > 240;
        }
      white += found;
      ++samples;
    }
  EXPECT_EQ(white, samples);
  const Rgb centre = PixelAt(Kelpoint3f(0, 0, 0));
  EXPECT_GT(centre.b, 100);
  EXPECT_LT(centre.r, 10);
  ExpectMatchesReference("edges_over_faces");
}

TEST_F(Solids, HighlightedBagDrawsItsChildrenInColour251) {
  auto* bag = new Kel3DBagRep;
  auto* red = new Kel3DCuboidRep(Kelpoint3f(-3, -1, -1), Kelvector3f(2, 0, 0), Kelvector3f(0, 2, 0),
                                 Kelvector3f(0, 0, 2), 4);
  auto* green = new Kel3DSimpleSphereRep(Kelpoint3f(2, 0, 0), 1.2f, 24);
  green->SetColor(5);
  auto* outside = new Kel3DSimpleSphereRep(Kelpoint3f(0, 0, 3), 0.8f, 24);
  outside->SetColor(6);
  bag->AddChild(*red);
  bag->AddChild(*green);
  root->AddChild(*bag);
  root->AddChild(*outside);
  bag->HighLightOn();
  Draw();
  EXPECT_TRUE(IsOrange(PixelAt(Kelpoint3f(-2, -1, 0))));
  EXPECT_TRUE(IsOrange(PixelAt(Kelpoint3f(2, 0, 0))));
  // The Rep beside the bag keeps its blue.
  const Rgb blue = PixelAt(Kelpoint3f(0, 0, 3));
  EXPECT_GT(blue.b, 100);
  EXPECT_LT(blue.r, 10);
  ExpectMatchesReference("highlighted_bag");
}

TEST_F(Solids, TransparentFacesAreBlendedOverOpaqueOnes) {
  // The transparent quad is in front and recorded first: it must still be
  // drawn after the red box, blended with it.
  auto* glass = new GPLeaf({Quad(Kelpoint3f(2, -2, 1.7f), 2.0f)}, Kelpoint3f(2, -2, 1.7f), 2.9f);
  glass->SetColor(64);
  glass->Flags(KelGraphicAttributeSet::TRANSPARENT | 0x20);
  auto* box = new Kel3DCuboidRep(Kelpoint3f(-1, 0, -1), Kelvector3f(2, 0, 0), Kelvector3f(0, 2, 0),
                                 Kelvector3f(0, 0, 2), 4);
  root->AddChild(*glass);
  root->AddChild(*box);
  Draw();
  // The glass lies between the eye and the box's centre.
  const Rgb mixed = PixelAt(Kelpoint3f(0, 1, 0));
  EXPECT_GT(mixed.r, 40);  // the box shows through
  EXPECT_GT(mixed.b, 40);  // tinted by the glass
  const Rgb glassOnly = PixelAt(Kelpoint3f(3.8f, -2, 3.5f));
  EXPECT_GT(glassOnly.b, 30);
  EXPECT_LT(glassOnly.r, 10);
  EXPECT_LT(glassOnly.b, 200);  // half covering the background
  ExpectMatchesReference("transparent_after_opaque");
}

TEST_F(Solids, ClippingPlaneKeepsTheSideItsNormalPointsTo) {
  auto* sphere = new Kel3DSimpleSphereRep(Kelpoint3f(0, 0, 0), 3.0f, 32);
  sphere->SetColor(5);
  root->AddChild(*sphere);
  Draw();
  const int whole = CountDrawn();
  // Cut at x = 0 keeping x < 0: the camera, on the +x side, looks into the
  // opened sphere.
  const float point[3] = {0, 0, 0}, normal[3] = {-1, 0, 0};
  support->AddClippingPlane(point, normal);
  Draw();
  const int cut = CountDrawn();
  EXPECT_LT(cut, whole * 9 / 10);
  EXPECT_GT(cut, whole / 4);
  // The inside shows where the front half of the sphere was.
  const Rgb inside = PixelAt(Kelpoint3f(0, 0, 0));
  EXPECT_GT(inside.g, 20);
  EXPECT_LT(inside.r + inside.b, 20);
  ExpectMatchesReference("clipping_plane");
}

TEST_F(Solids, RGBAColourIsDrawnAsGiven) {
  auto* quad = new GPLeaf({Quad(Kelpoint3f(0, 0, 0), 2.5f)}, Kelpoint3f(0, 0, 0), 3.6f);
  quad->RGBA(230, 120, 200, 255);
  root->AddChild(*quad);
  Draw();
  // Lit, but in the given hue: red above blue above green.
  const Rgb c = PixelAt(Kelpoint3f(0, 0, 0));
  EXPECT_GT(c.r, c.b);
  EXPECT_GT(c.b, c.g);
  EXPECT_NEAR(c.g * 230.0 / c.r, 120, 12);
  ExpectMatchesReference("rgba_colour");
}

}  // namespace
