// Three horizontal bars in window pixels of the overlay (y upwards) with the
// durations of the last redraw, "Draw", "Cull" and "Frame" from the bottom,
// one pixel of bar per millisecond up to 200, each with a scale ticked every
// 20 pixels and a label giving the duration in milliseconds. The navigation
// viewers feed it from each "VIEWER_UPDATE". Never picked.
//
// A bar longer than its limit is drawn at the limit, and the stored duration
// becomes the limit, so the label of a later frame without a new
// SetDuration reads the limit too. Durations that are negative or not
// numbers count as 0; huge ones are held at a million milliseconds before
// they become integers.
#pragma once

#include <kel/reps/Kel2DRep.h>

class Kel2DPolylineGP;

class KelGaugeRep : public Kel2DRep {
 public:
  KelGaugeRep();
  ~KelGaugeRep() override;
  KelGaugeRep(const KelGaugeRep&) = delete;
  KelGaugeRep& operator=(const KelGaugeRep&) = delete;

  KEL_DECLARE_META(KelGaugeRep);

  static const int GaugeCount = 3;

  // In seconds, as the viewer reports them.
  void SetDuration(const float total, const float culling, const float draw);
  void DrawShading(KelRender& render, int inside) override;

  // Gauge 0 draw, 1 cull, 2 frame: milliseconds, attribute set, scale, and
  // the label made by the last draw.
  int GetDuration(int gauge) const { return _durations[gauge]; }
  KelGraphicAttributeSet& GetGaugeAttributeSet(int gauge) { return _gaugeAttributes[gauge]; }
  const Kel2DPolylineGP* GetScale(int gauge) const { return _scales[gauge]; }
  const char* GetLabel(int gauge) const { return _labels[gauge]; }

 private:
  int _nbGauges = GaugeCount;
  int _tickSpacing = 10;
  int _barLimit = 200;
  KelGraphicAttributeSet _gaugeAttributes[GaugeCount];
  Kel2DPolylineGP* _scales[GaugeCount] = {};
  int _durations[GaugeCount] = {0, 0, 0};
  char _labels[GaugeCount][50] = {};
};
