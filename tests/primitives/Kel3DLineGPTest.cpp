// Lines, polylines and markers: who owns the points.
#include <kel/framework/Kelpoint3f.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>

#include <gtest/gtest.h>

namespace {

TEST(Kel3DLineGP, SharedPointsAreTheCallersAndAllocatedOnesACopy) {
  float points[6] = {0, 0, 0, 1, 2, 3};
  {
    Kel3DLineGP shared(points, 2, 0);
    Kel3DPolylineGP copied(points, 2, 1);
    Kelpoint3f objects[2] = {{1, 2, 3}, {4, 5, 6}};
    Kel3DMarkerGP marker(objects, 2, CLOUD_POINT_SYMBOL, 1);
    points[4] = 7.0f;
    objects[1].z = 60.0f;
    EXPECT_EQ(shared.GetPoints()[4], 7.0f);
    EXPECT_EQ(copied.GetPoints()[4], 2.0f);
    EXPECT_EQ(marker.GetPoints()[5], 6.0f);
  }
  // The shared line left the caller's array alone (a free of it fails under ASan).
  EXPECT_EQ(points[4], 7.0f);

  // No points: nothing copied.
  for (int n : {0, -4}) {
    EXPECT_EQ(Kel3DLineGP(points, n, 1).GetPoints(), nullptr);
    EXPECT_EQ(Kel3DMarkerGP(points, n, CLOUD_POINT_SYMBOL, 0).GetPoints(), nullptr);
  }
  EXPECT_EQ(Kel3DLineGP(static_cast<const float*>(nullptr), 3, 1).GetNbPoints(), 0);
  EXPECT_EQ(
      Kel3DMarkerGP(static_cast<const Kelpoint3f*>(nullptr), 3, DEFAULT_SYMBOL, 1).GetNbPoints(),
      0);
}

}  // namespace
