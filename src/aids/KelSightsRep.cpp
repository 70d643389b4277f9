#include <kel/aids/KelSightsRep.h>

#include <kel/primitives/Kel2DLineGP.h>
#include <kel/render/KelRender.h>

KEL_IMPLEMENT_META(KelSightsRep, Kel2DRep)

KelSightsRep::KelSightsRep(const Kelpoint2d& centre, const int halfSize, const int length)
    : _centre(centre), _halfSize(halfSize), _length(length) {
  _attributes.color = KelGraphicAttributeSet::HIGHLIGHT_COLOR;
  _attributes.flags |= KelGraphicAttributeSet::NOT_PICKABLE;
  const float cx = static_cast<float>(centre.x), cy = static_cast<float>(centre.y);
  const float s = static_cast<float>(halfSize);
  SetBoundingElement(Kel2DBoundingBox(cx - s, cx + s, cy - s, cy + s));
}

KelSightsRep::~KelSightsRep() = default;

void KelSightsRep::GetSegments(float* points) const {
  const double cx = _centre.x, cy = _centre.y, s = _halfSize, g = _length;
  // Horizontal arms first (bottom-left, top-left, bottom-right, top-right),
  // then the vertical ones (bottom-left, bottom-right, top-left, top-right).
  const double ends[16][2] = {
      {cx - s, cy - s}, {cx - s + g, cy - s}, {cx - s, cy + s}, {cx - s + g, cy + s},
      {cx + s, cy - s}, {cx + s - g, cy - s}, {cx + s, cy + s}, {cx + s - g, cy + s},
      {cx - s, cy - s}, {cx - s, cy - s + g}, {cx + s, cy - s}, {cx + s, cy - s + g},
      {cx - s, cy + s}, {cx - s, cy + s - g}, {cx + s, cy + s}, {cx + s, cy + s - g}};
  for (int i = 0; i < 16; ++i) {
    points[2 * i] = static_cast<float>(ends[i][0]);
    points[2 * i + 1] = static_cast<float>(ends[i][1]);
  }
}

void KelSightsRep::DrawShading(KelRender& render, int) {
  float points[32];
  GetSegments(points);
  auto* brackets = new Kel2DLineGP(points, 16, 1);
  if (render.IsDrawable(_attributes, static_cast<const KelRep&>(*this))) brackets->Draw(render);
  KelGraphicPrimitive::Destroy(brackets);
}
