// The navigation aids' geometry, drawn through a recording render.
#include <gtest/gtest.h>

#include <kel/aids/Kel2DDashboardRep.h>
#include <kel/aids/Kel3DViewpointRep.h>
#include <kel/aids/KelFocusPointRep.h>
#include <kel/aids/KelSightsRep.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cmath>
#include <vector>

#include "KelRecordingRender.h"
#include "KelTestEnv.h"

namespace {

constexpr float kW = 200.0f, kH = 100.0f, kMM = 4.0f;

// Keeps the points of the last 3D line drawn.
class LineRender : public KelRecordingRender {
 public:
  void Draw3DLine(Kel3DLineGP& gp) override {
    KelRecordingRender::Draw3DLine(gp);
    points.assign(gp.GetPoints(), gp.GetPoints() + 3 * gp.GetNbPoints());
  }
  std::vector<float> points;
};

Kelpoint2f Pixel(const Kel3DViewpoint& v, const float* p) {
  Kelpoint2f pixel;
  v.ComputePixelFromModel(Kelpoint3f(p), pixel, kW, kH, kMM, 1.0f);
  return pixel;
}

TEST(KelSightsRep, FourBracketsAroundTheCentre) {
  KelSightsRep sights(Kelpoint2d(100, 100), 10, 6);
  float p[32];
  sights.GetSegments(p);
  EXPECT_THAT(std::vector<float>(p, p + 4), keltest::Near({90, 90, 96, 90}));
  EXPECT_THAT(std::vector<float>(p + 12, p + 16), keltest::Near({110, 110, 104, 110}));
  EXPECT_THAT(std::vector<float>(p + 16, p + 20), keltest::Near({90, 90, 90, 96}));
  EXPECT_THAT(std::vector<float>(p + 28, p + 32), keltest::Near({110, 110, 110, 104}));
}

TEST(KelFocusPointRep, MarksTheTargetAtItsSizeOnTheScreenWhateverTheDistance) {
  for (float focus : {5.0f, 50.0f}) {
    Kel3DViewpoint eye(Kelpoint3f(0, 0, 0), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0), 1.0f,
                       100.0f, CONIC_PROJECTION, focus);
    KelFocusPointRep mark(eye, nullptr, 50.0f);
    LineRender render;
    render.LookThrough(eye, kW, kH, kMM);
    mark.DrawShading(render, 0);
    render.EndDraw(eye);
    ASSERT_EQ(render.points.size(), 36u);
    // The first arm: 50 pixels across, centred on the window.
    const Kelpoint2f a = Pixel(eye, &render.points[0]), b = Pixel(eye, &render.points[3]);
    EXPECT_NEAR(std::fabs(b.x - a.x), 50.0, 0.1) << focus;
    EXPECT_NEAR(0.5 * (a.x + b.x), kW / 2, 0.1);
    EXPECT_NEAR(a.y, kH / 2, 0.1);
  }
}

TEST(Kel3DViewpointRep, ItsRectangleIsTheFrameOfTheViewItPictures) {
  Kel3DViewpoint camera(Kelpoint3f(1, 2, 3), Keldirection3f(1, -1, 0.5f), Keldirection3f(0, 0, 1),
                        1.0f, 100.0f, CONIC_PROJECTION, 12.0f);
  Kel3DViewpointRep picture(camera, nullptr);
  float p[3 * 2 * Kel3DViewpointRep::SegmentCount];
  picture.BuildSegments(kW / kH, p);
  // The first four segments run from the eye to the corners.
  const float corners[4][2] = {{0, kH}, {kW, kH}, {kW, 0}, {0, 0}};
  for (int i = 0; i < 4; ++i) {
    keltest::ExpectXYZ(Kelpoint3f(p + 6 * i), 1, 2, 3);
    const Kelpoint2f c = Pixel(camera, p + 6 * i + 3);
    EXPECT_NEAR(c.x, corners[i][0], 0.05) << i;
    EXPECT_NEAR(c.y, corners[i][1], 0.05) << i;
  }
  // Its sphere holds the eye and the corners.
  const Kel3DBoundingSphere& s = picture.GetBoundingElement();
  const Kelpoint3f centre(s.GetCenter());
  for (int i = 0; i < 2 * Kel3DViewpointRep::SegmentCount; ++i)
    EXPECT_LE(centre.DistanceTo(Kelpoint3f(p + 3 * i)), s.GetRadius() * 1.0001f);
}

// The dashboard's reading of the camera, worked out by hand with z up and
// the north along y, in a 300 x 200 window (compass centre 40 pixels in
// from the top right corner, needle 27 pixels long).
TEST(Kel2DDashboardRep, HeadingPitchNeedleDistanceAndSpeed) {
  Kel2DDashboardRep board;
  board.SetGraphicSize(300, 200);
  board.SetBoundingSphere(Kel3DBoundingSphere(Kelpoint3f(0, 0, 0), 5, 0));
  board.SetSpeeds(2.0f, 1.5f);
  Kel3DViewpoint v;
  float centre[2], tip[2];
  // Level, looking east from 3-4-5 away: the north is on the left.
  v.Set(Kelpoint3f(-3, 0, 4), Keldirection3f(1, 0, 0), Keldirection3f(0, 0, 1));
  board.SetViewpoint(v);
  EXPECT_NEAR(board.GetHeading(), 90.0f, 1e-4f);
  EXPECT_NEAR(board.GetPitch(), 0.0f, 1e-4f);
  EXPECT_NEAR(board.GetDistance(), 5.0f, 1e-5f);
  board.GetNeedle(centre, tip);
  EXPECT_THAT(std::vector<float>({centre[0], centre[1], tip[0], tip[1]}),
              keltest::Near({260, 160, 233, 160}, 1e-3f));
  EXPECT_STREQ(board.GetText(3), "Speed 3/s");
  // (A heading of 315 below the horizon, its needle and texts: kelview's aids
  // reference picture.) Straight down there is no heading: the last one stays.
  v.Set(Kelpoint3f(0, 0, 0), Keldirection3f(0, 0, -1), Keldirection3f(0, 1, 0));
  board.SetViewpoint(v);
  EXPECT_NEAR(board.GetHeading(), 90.0f, 1e-3f);
  EXPECT_NEAR(board.GetPitch(), -90.0f, 1e-3f);
}

}  // namespace
