// Assemblies placed by matrices, lit solids, edges over faces,
// highlight, transparency, clipping and RGBA colours drawn off-screen by the
// OpenGL driver, and the geometry it keeps on the graphics card.
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/reps/Kel3DCylinderRep.h>
#include <kel/reps/Kel3DSimpleConeRep.h>
#include <kel/reps/Kel3DSimpleSphereRep.h>

#include <vector>

#include "RenderScene.h"

namespace {

using kelrender::GPLeaf;
using kelrender::Quad;
using kelrender::Rgb;

class Solids : public kelrender::RenderScene {};
using GpuBuffers = Solids;

Kel3DCuboidRep* Cube(const Kelpoint3f& corner, float side) {
  return new Kel3DCuboidRep(corner, Kelvector3f(side, 0, 0), Kelvector3f(0, side, 0),
                            Kelvector3f(0, 0, side), 4);
}
Kel3DBagRep* Placed(Kel3DRep* child, const Kelvector3f& at) {
  auto* bag = new Kel3DBagRep;
  bag->SetMatrix(Kel4x4Matrix(at));
  bag->AddChild(*child);
  return bag;
}

TEST_F(Solids, TwoLevelAssemblyIsDrawnThroughItsMatrices) {
  // A part (a red box with a green ball on it) placed twice in a sub-assembly,
  // and the sub-assembly placed twice in the root: four copies.
  auto* part = new Kel3DBagRep;
  part->AddChild(*Cube(Kelpoint3f(-0.5f, -0.5f, -0.5f), 1));
  part->AddChild(*new Kel3DSimpleSphereRep(Kelpoint3f(0, 0, 0.9f), 0.4f, 16));
  part->GetChild(1)->SetColor(5);
  auto* sub = new Kel3DBagRep;
  sub->AddChild(*Placed(part, Kelvector3f(-1.5f, 0, 0)));
  sub->AddChild(*Placed(part, Kelvector3f(1.5f, 0, 0)));
  Add(Placed(sub, Kelvector3f(0, 0, -2)));
  Add(Placed(sub, Kelvector3f(0, 0, 2)));
  Draw();
  ExpectMatchesReference("two_level_assembly");
}

TEST_F(Solids, ColourComesBackAfterAPlacedPart) {
  // A white bag places a green square; a white square follows. The bag's
  // white is set before its matrix is pushed and is the same as the
  // follower's, so nothing but the pop can bring the white back.
  auto square = [](float x, float z) {
    return new GPLeaf({Quad(Kelpoint3f(x, 0, z), 1.0f)}, Kelpoint3f(x, 0, z), 1.5f);
  };
  GPLeaf* green = square(-1.5f, -1);
  green->SetColor(5);
  Add(Placed(green, Kelvector3f(0, 0, 1)));
  Add(square(1.5f, 0));
  Draw();
  EXPECT_GT(PixelAt(Kelpoint3f(-1.5f, 0, 0)).g, 60);
  const Rgb white = PixelAt(Kelpoint3f(1.5f, 0, 0));
  EXPECT_TRUE(white.r > 60 && std::abs(white.r - white.g) < 20) << white.r << " " << white.g;
}

TEST_F(Solids, LitCuboidSphereConeAndCylinder) {
  Add(Cube(Kelpoint3f(-4, -1, -1), 2));
  Add(new Kel3DSimpleSphereRep(Kelpoint3f(-1, 2, 0), 1.2f, 24), 5);
  Add(new Kel3DSimpleConeRep(Kelpoint3f(1, -2, -1), Kelpoint3f(1, -2, 2), 1.0f, 24), 6);
  Add(new Kel3DCylinderRep(Kelpoint3f(3.5f, 1, -1), Kelpoint3f(3.5f, 1, 1.5f), 1.0f), 7);
  Draw();
  ExpectMatchesReference("lit_solids");
}

TEST_F(Solids, EdgesAreDrawnWholeOverTheirFaces) {
  Kel3DPlanarFaceGP* face = Quad(Kelpoint3f(0, 0, 0), 3.0f);
  const int loop[5] = {0, 3, 6, 9, 0};
  // The edges come first: depth alone would let the face cover them.
  Add(new GPLeaf({new Kel3DEdgeGP(face, nullptr, loop, 5)}, Kelpoint3f(0, 0, 0), 4.3f), 3);
  Add(new GPLeaf({face}, Kelpoint3f(0, 0, 0), 4.3f), 64);
  Draw();
  // Along each side, every sampled point of the edge is white (or its
  // neighbour is: the line may fall on either pixel). A one-pixel line is
  // too thin for the reference's tolerance to miss it.
  const Kelpoint3f corners[4] = {{-3, 0, -3}, {3, 0, -3}, {3, 0, 3}, {-3, 0, 3}};
  for (int side = 0; side < 4; ++side)
    for (int k = 1; k < 10; ++k) {
      const Kelpoint3f &a = corners[side], &b = corners[(side + 1) % 4];
      int x, y;
      ToPixel(Kelpoint3f(a.x + k * (b.x - a.x) / 10, 0, a.z + k * (b.z - a.z) / 10), x, y);
      bool found = false;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) found = found || Pixel(x + dx, y + dy).White();
      EXPECT_TRUE(found) << side << " " << k;
    }
  ExpectMatchesReference("edges_over_faces");
}

TEST_F(Solids, HighlightedBagDrawsItsChildrenInColour251) {
  auto* bag = Add(new Kel3DBagRep);
  bag->AddChild(*Cube(Kelpoint3f(-3, -1, -1), 2));
  bag->AddChild(*new Kel3DSimpleSphereRep(Kelpoint3f(2, 0, 0), 1.2f, 24));
  Add(new Kel3DSimpleSphereRep(Kelpoint3f(0, 0, 3), 0.8f, 24), 6);
  bag->HighLightOn();
  Draw();
  ExpectMatchesReference("highlighted_bag");
}

TEST_F(Solids, TransparentFacesAreBlendedOverOpaqueOnes) {
  // The transparent quad is in front and recorded first: it must still be
  // drawn after the red box, blended with it.
  Add(new GPLeaf({Quad(Kelpoint3f(2, -2, 1.7f), 2.0f)}, Kelpoint3f(2, -2, 1.7f), 2.9f), 64)
      ->Flags(KelGraphicAttributeSet::TRANSPARENT | 0x20);
  Add(Cube(Kelpoint3f(-1, 0, -1), 2));
  Draw();
  ExpectMatchesReference("transparent_after_opaque");
}

TEST_F(Solids, ClippingPlaneKeepsTheSideItsNormalPointsTo) {
  Add(new Kel3DSimpleSphereRep(Kelpoint3f(0, 0, 0), 3.0f, 32), 5);
  // Cut at x = 0 keeping x < 0: the camera, on the +x side, looks into the
  // opened sphere, whose inside shows where the front half was.
  const float point[3] = {0, 0, 0}, normal[3] = {-1, 0, 0};
  support->AddClippingPlane(point, normal);
  Draw();
  ExpectMatchesReference("clipping_plane");
}

TEST_F(Solids, RGBAColourIsDrawnAsGiven) {
  Add(new GPLeaf({Quad(Kelpoint3f(0, 0, 0), 2.5f)}, Kelpoint3f(0, 0, 0), 3.6f))
      ->RGBA(230, 120, 200, 255);
  Draw();
  ExpectMatchesReference("rgba_colour");
}

// Static geometry goes to the graphics card once: a second frame of the same
// scene sends nothing and draws the same picture; a face changed in place is
// sent again and drawn at its new place; the buffers of destroyed primitives
// are freed (and their memory, which the sanitizer build watches).
TEST_F(GpuBuffers, StaticGeometryIsSentOnceAndFreedWithItsPrimitive) {
  // A square of 4 x 4 quads in two strips, two triangles and a fan, with
  // normals; an edge around it; a line and a point cloud owning their points.
  std::vector<float> v, n;
  for (int j = 0; j <= 4; ++j)
    for (int i = 0; i <= 4; ++i) {
      v.insert(v.end(), {float(i) - 2, float(j) - 2, 0});
      n.insert(n.end(), {0, 0, 1});
    }
  std::vector<int> strips, lengths = {10, 10};
  for (int j = 0; j < 2; ++j)
    for (int i = 0; i <= 4; ++i)
      strips.insert(strips.end(), {3 * (5 * j + i), 3 * (5 * j + 5 + i)});
  const int triangles[6] = {30, 33, 45, 33, 48, 45};
  const int fan[5] = {54, 57, 72, 69, 51}, fanLength = 5;
  auto* face = new Kel3DFaceGP(v.data(), int(v.size()), n.data(), int(n.size()), triangles, 2,
                               strips.data(), 2, lengths.data(), fan, 1, &fanLength);
  const int around[5] = {0, 12, 72, 60, 0};
  auto* edge = new Kel3DEdgeGP(face, nullptr, around, 5);
  const float line[12] = {-3, -3, 1, 3, 3, 1, -3, 3, 1, 3, -3, 1};
  const float cloud[9] = {0, 0, 2, 1, 1, 2, -1, -1, 2};
  auto* leaf = new GPLeaf(
      {face, edge, new Kel3DLineGP(line, 4, 1), new Kel3DMarkerGP(cloud, 3, CLOUD_POINT_SYMBOL, 1)},
      Kelpoint3f(0, 0, 0), 5.0f);
  root->AddChild(*leaf);

  // Vertices and normals (25 x 12 bytes each), 20 + 6 + 5 int indices, 5
  // short edge indices, 4 + 3 points.
  const long bytes = 2 * 25 * 12 + 31 * 4 + 5 * 2 + 7 * 12;
  Draw();
  EXPECT_EQ(support->GetBytesSentToGPU(), bytes);
  EXPECT_EQ(support->GetBytesHeldOnGPU(), bytes);
  const KelPixelImage first(*image);

  Draw();
  EXPECT_EQ(support->GetBytesSentToGPU(), 0);
  EXPECT_EQ(support->GetBytesHeldOnGPU(), bytes);
  EXPECT_EQ(std::vector<unsigned char>(image->GetPixelsToRead(),
                                       image->GetPixelsToRead() + 3 * kWidth * kHeight),
            std::vector<unsigned char>(first.GetPixelsToRead(),
                                       first.GetPixelsToRead() + 3 * kWidth * kHeight));

  // The face moved 1.5 to the left through the arrays it hands out: sent again
  // (its edge's indices stay), and drawn there.
  int allocate, nv, nn, nt, ns, nf;
  float *vertices, *normals;
  int *t, *s, *sl, *f, *fl;
  face->Get(&allocate, &vertices, &nv, &normals, &nn, &t, &nt, &s, &ns, &sl, &f, &nf, &fl);
  for (int i = 0; i < nv; i += 3) vertices[i] -= 1.5f;
  face->ComputeBox();
  const Rgb before = PixelAt(Kelpoint3f(1.8f, -1.0f, 0));
  Draw();
  EXPECT_EQ(support->GetBytesSentToGPU(), 2 * 25 * 12 + 31 * 4);
  EXPECT_EQ(support->GetBytesHeldOnGPU(), bytes);
  EXPECT_TRUE(before.r + before.g + before.b > 8);
  const Rgb after = PixelAt(Kelpoint3f(1.8f, -1.0f, 0));
  EXPECT_LT(after.r + after.g + after.b, before.r + before.g + before.b);

  // Destroyed during a frame (parked until the lock goes), then freed by the
  // next frame.
  KelGraphicPrimitive::Lock();
  root->RemoveChild(*leaf);
  leaf->Destroy();
  KelGraphicPrimitive::Unlock();
  Draw();
  EXPECT_EQ(support->GetBytesHeldOnGPU(), 0);
  EXPECT_EQ(CountDrawn(), 0);
}

}  // namespace
