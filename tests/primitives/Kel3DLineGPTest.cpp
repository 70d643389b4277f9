// Lines, polylines and markers: ownership of the points and dispatch.
#include <kel/framework/Kelpoint3f.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>

#include <gtest/gtest.h>

#include "KelRecordingRender.h"

namespace {

TEST(Kel3DLineGP, SharedPointsFollowTheCallersArray) {
  float points[6] = {0, 0, 0, 1, 2, 3};
  {
    Kel3DLineGP line(points, 2, 0);
    EXPECT_EQ(line.GetPoints(), points);
    EXPECT_EQ(line.GetNbPoints(), 2);
    EXPECT_EQ(line.GetAllocate(), 0);
    points[4] = 7.0f;
    EXPECT_EQ(line.GetPoints()[4], 7.0f);
  }
  // The destructor left the caller's array alone (a free of it fails under ASan).
  EXPECT_EQ(points[4], 7.0f);
}

TEST(Kel3DLineGP, AllocatedPointsAreAnOwnCopy) {
  float points[6] = {0, 0, 0, 1, 2, 3};
  Kel3DPolylineGP line(points, 2, 1);
  ASSERT_NE(line.GetPoints(), nullptr);
  EXPECT_NE(line.GetPoints(), points);
  points[5] = 9.0f;
  EXPECT_EQ(line.GetPoints()[3], 1.0f);
  EXPECT_EQ(line.GetPoints()[5], 3.0f);
  EXPECT_EQ(line.GetAllocate(), 1);
}

TEST(Kel3DLineGP, NoPointsCopiesNothing) {
  const float points[3] = {1, 2, 3};
  for (int n : {0, -4}) {
    Kel3DLineGP line(points, n, 1);
    EXPECT_EQ(line.GetNbPoints(), 0);
    EXPECT_EQ(line.GetPoints(), nullptr);
    Kel3DMarkerGP marker(points, n, CLOUD_POINT_SYMBOL, 0);
    EXPECT_EQ(marker.GetNbPoints(), 0);
    EXPECT_EQ(marker.GetPoints(), nullptr);
  }
  Kel3DLineGP nullPoints(static_cast<const float*>(nullptr), 3, 1);
  EXPECT_EQ(nullPoints.GetNbPoints(), 0);
  Kel3DMarkerGP nullMarker(static_cast<const Kelpoint3f*>(nullptr), 3, DEFAULT_SYMBOL, 1);
  EXPECT_EQ(nullMarker.GetNbPoints(), 0);
}

TEST(Kel3DMarkerGP, PointFormsAndSymbolType) {
  Kel3DMarkerGP empty;
  EXPECT_EQ(empty.GetSymbolType(), 1);
  EXPECT_EQ(empty.GetNbPoints(), 0);

  Kelpoint3f points[2] = {{1, 2, 3}, {4, 5, 6}};
  Kel3DMarkerGP copied(points, 2, CLOUD_POINT_SYMBOL, 1);
  EXPECT_EQ(copied.GetSymbolType(), 10);
  ASSERT_EQ(copied.GetNbPoints(), 2);
  EXPECT_NE(copied.GetPoints(), &points[0].x);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(copied.GetPoints()[i], float(i + 1));

  Kel3DMarkerGP shared(points, 2, SymbolType(7), 0);
  EXPECT_EQ(shared.GetPoints(), &points[0].x);
  points[1].z = 60.0f;
  EXPECT_EQ(shared.GetPoints()[5], 60.0f);
  EXPECT_EQ(shared.GetSymbolType(), 7);
}

TEST(Kel3DLineGP, EachKindCallsItsRenderOperation) {
  const float points[6] = {0, 0, 0, 1, 1, 1};
  Kel3DLineGP line(points, 2, 0);
  Kel3DPolylineGP polyline(points, 2, 0);
  Kel3DMarkerGP marker(points, 2, DEFAULT_SYMBOL, 0);
  KelRecordingRender render;
  line.Draw(render);
  polyline.Draw(render);
  marker.Draw(render);
  EXPECT_EQ(render.Joined(), "Draw3DLine, Draw3DPolyline, Draw3DMarker");
}

}  // namespace
