// Static geometry goes to the graphics card once: a second frame of the same
// scene sends nothing and draws the same picture; a face changed in place is
// sent again and drawn at its new place; the buffers of destroyed primitives
// are freed (and their memory, which the sanitizer build watches).
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>

#include <vector>

#include "RenderScene.h"

namespace kelrender {
namespace {

class GpuBuffers : public RenderScene {};

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
  const int drawn = CountDrawn();
  EXPECT_GT(drawn, 1000);

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
}  // namespace kelrender
