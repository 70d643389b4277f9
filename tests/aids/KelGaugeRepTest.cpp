// The performance gauges drawn through a recording render: bars one pixel a
// millisecond held at 200, labels, hidden gauges, and durations that are no
// numbers.
#include <gtest/gtest.h>

#include <kel/aids/KelGaugeRep.h>
#include <kel/primitives/Kel2DAnnotationTextGP.h>
#include <kel/primitives/Kel2DPolylineGP.h>
#include <kel/primitives/Kel2DRectangleGP.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "KelRecordingRender.h"

namespace {

class GaugeRender : public KelRecordingRender {
 public:
  void Draw2DRectangle(Kel2DRectangleGP& gp) override {
    Record("rectangle " + std::to_string(gp.GetMode()));
    boxes.push_back({gp.GetXMin(), gp.GetYMin(), gp.GetXMax(), gp.GetYMax()});
  }
  void Draw2DPolyline(Kel2DPolylineGP&) override { Record("scale"); }
  void Draw2DAnnotationText(Kel2DAnnotationTextGP& gp) override {
    Record(std::string("text ") + gp.GetText());
  }
  std::vector<std::vector<float>> boxes;
};

TEST(KelGaugeRep, BarsOnePixelAMillisecondHeldAt200) {
  KelGaugeRep* gauges = new KelGaugeRep;
  gauges->SetDuration(0.25f, 0.1f, 0.15f);  // the frame, then its two parts
  GaugeRender render;
  gauges->DrawShading(render, 0);
  // Per gauge: the filled bar, the outline in the Rep's colour, the scale and
  // the label.
  ASSERT_EQ(render.boxes.size(), 6u);
  EXPECT_EQ(render.boxes[0], (std::vector<float>{60, 10, 210, 25}));
  EXPECT_EQ(render.boxes[3], (std::vector<float>{60, 40, 160, 55}));
  EXPECT_EQ(render.boxes[4], (std::vector<float>{60, 70, 260, 85})) << "250 ms held at 200";
  // The label says what the bar holds back.
  EXPECT_NE(render.Joined().find("text Frame   250 ms"), std::string::npos);
  // The next frame without a new duration reads the limit.
  gauges->DrawShading(render, 0);
  EXPECT_STREQ(gauges->GetLabel(2), "Frame   200 ms");
  // A hidden gauge draws nothing of its own; the others draw on.
  gauges->GetGaugeAttributeSet(1).flags |= KelGraphicAttributeSet::TEMPORY_HIDDEN;
  GaugeRender hidden;
  gauges->DrawShading(hidden, 0);
  EXPECT_EQ(hidden.Joined().find("Cull"), std::string::npos) << hidden.Joined();
  EXPECT_EQ(hidden.boxes.size(), 4u);
  gauges->Destroy();
}

TEST(KelGaugeRep, DurationsThatAreNoNumbersOrHugeStayDefined) {
  KelGaugeRep* gauges = new KelGaugeRep;
  gauges->SetDuration(std::numeric_limits<float>::infinity(), std::nanf(""), -1.0f);
  EXPECT_EQ(gauges->GetDuration(2), 1000000);
  EXPECT_EQ(gauges->GetDuration(1), 0);
  EXPECT_EQ(gauges->GetDuration(0), 0);
  gauges->SetDuration(3.0e9f, 0.0f, 0.0f);
  EXPECT_EQ(gauges->GetDuration(2), 1000000);
  gauges->Destroy();
}

}  // namespace
