// Lines, polylines and markers: ownership of the points and dispatch.
#include <kel/framework/Kelpoint3f.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>

#include <gtest/gtest.h>

#include "KelRecordingRender.h"

namespace {

TEST(Kel3DLineGP, SharedPointsAreTheCallersAndAllocatedOnesACopy) {
  float points[6] = {0, 0, 0, 1, 2, 3};
  {
    Kel3DLineGP shared(points, 2, 0);
    Kel3DPolylineGP copied(points, 2, 1);
    ASSERT_NE(copied.GetPoints(), nullptr);
    EXPECT_NE(copied.GetPoints(), points);
    points[4] = 7.0f;
    EXPECT_EQ(shared.GetPoints()[4], 7.0f);
    EXPECT_EQ(copied.GetPoints()[4], 2.0f);
  }
  // The shared line left the caller's array alone (a free of it fails under ASan).
  EXPECT_EQ(points[4], 7.0f);
}

TEST(Kel3DLineGP, NoPointsCopiesNothing) {
  const float points[3] = {1, 2, 3};
  for (int n : {0, -4}) {
    Kel3DLineGP line(points, n, 1);
    EXPECT_EQ(line.GetPoints(), nullptr);
    Kel3DMarkerGP marker(points, n, CLOUD_POINT_SYMBOL, 0);
    EXPECT_EQ(marker.GetPoints(), nullptr);
  }
  EXPECT_EQ(Kel3DLineGP(static_cast<const float*>(nullptr), 3, 1).GetNbPoints(), 0);
  EXPECT_EQ(
      Kel3DMarkerGP(static_cast<const Kelpoint3f*>(nullptr), 3, DEFAULT_SYMBOL, 1).GetNbPoints(),
      0);
}

TEST(Kel3DMarkerGP, PointFormsCopyOrShare) {
  Kelpoint3f points[2] = {{1, 2, 3}, {4, 5, 6}};
  Kel3DMarkerGP copied(points, 2, CLOUD_POINT_SYMBOL, 1);
  Kel3DMarkerGP shared(points, 2, SymbolType(7), 0);
  points[1].z = 60.0f;
  ASSERT_EQ(copied.GetNbPoints(), 2);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(copied.GetPoints()[i], float(i + 1));
  EXPECT_EQ(shared.GetPoints()[5], 60.0f);
}

TEST(Kel3DLineGP, EachKindCallsItsRenderOperation) {
  const float points[6] = {0, 0, 0, 1, 1, 1};
  KelRecordingRender render;
  Kel3DLineGP(points, 2, 0).Draw(render);
  Kel3DPolylineGP(points, 2, 0).Draw(render);
  Kel3DMarkerGP(points, 2, DEFAULT_SYMBOL, 0).Draw(render);
  EXPECT_EQ(render.Joined(), "Draw3DLine 2, Draw3DPolyline, Draw3DMarker");
}

}  // namespace
