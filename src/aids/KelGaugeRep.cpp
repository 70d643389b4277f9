#include <kel/aids/KelGaugeRep.h>

#include <kel/framework/Kelpoint2f.h>
#include <kel/primitives/Kel2DAnnotationTextGP.h>
#include <kel/primitives/Kel2DPolylineGP.h>
#include <kel/primitives/Kel2DRectangleGP.h>
#include <kel/render/KelRender.h>

#include <cstdio>

KEL_IMPLEMENT_META(KelGaugeRep, Kel2DRep)

namespace {

const char* const kNames[KelGaugeRep::GaugeCount] = {"Draw", "Cull", "Frame"};
const int kColors[KelGaugeRep::GaugeCount] = {248, 247, 251};

// Seconds to whole milliseconds, defined for every float.
int Milliseconds(float seconds) {
  const double ms = double(seconds) * 1000.0;
  if (!(ms > 0.0)) return 0;  // negative or NaN
  return ms < 1.0e6 ? int(ms) : 1000000;
}

}  // namespace

KelGaugeRep::KelGaugeRep() {
  _attributes.flags |= KelGraphicAttributeSet::NOT_PICKABLE;
  for (int i = 0; i < GaugeCount; ++i) {
    _gaugeAttributes[i].color = kColors[i];
    _gaugeAttributes[i].flags |= KelGraphicAttributeSet::NOT_PICKABLE;
    // A base line at y = 10 + 30i with a tick every 20 pixels.
    float points[64];
    const float base = 10.0f + 30.0f * i;
    points[0] = 60.0f;
    points[1] = 30.0f + 30.0f * i;
    points[2] = 60.0f;
    points[3] = base;
    for (int k = 0; k < 10; ++k) {
      const float x = 80.0f + 20.0f * k;
      float* p = points + 4 + 6 * k;
      p[0] = x, p[1] = base;
      p[2] = x, p[3] = base + _tickSpacing;
      p[4] = x, p[5] = base;
    }
    _scales[i] = new Kel2DPolylineGP(points, 32, 1);
  }
  SetBoundingElement(Kel2DBoundingBox(0.0f, 60.0f + _barLimit, 0.0f, 30.0f * GaugeCount));
}

KelGaugeRep::~KelGaugeRep() {
  for (Kel2DPolylineGP*& scale : _scales) {
    KelGraphicPrimitive::Destroy(scale);
    scale = nullptr;
  }
}

void KelGaugeRep::SetDuration(const float total, const float culling, const float draw) {
  _durations[0] = Milliseconds(draw);
  _durations[1] = Milliseconds(culling);
  _durations[2] = Milliseconds(total);
}

void KelGaugeRep::DrawShading(KelRender& render, int) {
  for (int i = 0; i < _nbGauges; ++i) {
    std::snprintf(_labels[i], sizeof _labels[i], "%-6s%5d ms", kNames[i], _durations[i]);
    if (_durations[i] > _barLimit) _durations[i] = _barLimit;
    if (!render.IsDrawable(_gaugeAttributes[i])) continue;
    const float y = 10.0f + 30.0f * i;
    const float from[2] = {60.0f, y}, to[2] = {60.0f + _durations[i], y + 15.0f};
    auto* bar = new Kel2DRectangleGP(from, to, 1);
    auto* outline = new Kel2DRectangleGP(from, to, 0);
    auto* label = new Kel2DAnnotationTextGP(Kelpoint2f(10.0f, y), _labels[i], AnchorPoint(3));
    bar->Draw(render);
    render.SetCurrentAttribute(_attributes);
    outline->Draw(render);
    _scales[i]->Draw(render);
    label->Draw(render);
    KelGraphicPrimitive::Destroy(bar);
    KelGraphicPrimitive::Destroy(outline);
    KelGraphicPrimitive::Destroy(label);
  }
}
