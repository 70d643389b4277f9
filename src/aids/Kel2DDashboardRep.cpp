#include <kel/aids/Kel2DDashboardRep.h>

#include <kel/framework/Kelpoint2f.h>
#include <kel/primitives/Kel2DAnnotationTextGP.h>
#include <kel/primitives/Kel2DArcCircleGP.h>
#include <kel/primitives/Kel2DLineGP.h>
#include <kel/render/KelRender.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

KEL_IMPLEMENT_META(Kel2DDashboardRep, Kel2DRep)

namespace {

const double kPi = 3.14159265358979323846;
const float kRadius = 30.0f;  // of the compass, pixels
const float kMargin = 10.0f;
const float kLine = 14.0f;  // between text lines
const float kTextWidth = 130.0f;

double Dot(const double a[3], const double b[3]) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

}  // namespace

Kel2DDashboardRep::Kel2DDashboardRep()
    : _vertical(Keldirection3f::Unchecked(0.0f, 0.0f, 1.0f)),
      _north(Keldirection3f::Unchecked(0.0f, 1.0f, 0.0f)),
      _sight(Keldirection3f::Unchecked(0.0f, 1.0f, 0.0f)) {
  _attributes.flags |= KelGraphicAttributeSet::NOT_PICKABLE;
  Update();
}

void Kel2DDashboardRep::SetGraphicSize(float width, float height) {
  _width = std::isfinite(width) && width > 0.0f ? width : 0.0f;
  _height = std::isfinite(height) && height > 0.0f ? height : 0.0f;
  Update();
}

void Kel2DDashboardRep::SetSpeeds(float flySpeed, float translationSensitivity) {
  _flySpeed = flySpeed;
  _sensitivity = translationSensitivity;
  Update();
}

void Kel2DDashboardRep::SetBoundingSphere(const Kel3DBoundingSphere& sphere) {
  _sphere = sphere;
  Update();
}

void Kel2DDashboardRep::SetVertical(const Keldirection3f& vertical) {
  _vertical = vertical;
  Update();
}

void Kel2DDashboardRep::SetNorth(const Keldirection3f& north) {
  _north = north;
  Update();
}

void Kel2DDashboardRep::SetViewpoint(const Kel3DViewpoint& viewpoint) {
  _eye = viewpoint.GetOrigin();
  _sight = viewpoint.GetSightDirection();
  Update();
}

float Kel2DDashboardRep::GetDistance() const {
  const float* c = _sphere.GetCenter();
  const double d[3] = {double(c[0]) - _eye.x, double(c[1]) - _eye.y, double(c[2]) - _eye.z};
  return float(std::sqrt(Dot(d, d)));
}

void Kel2DDashboardRep::Update() {
  const double v[3] = {_vertical.x, _vertical.y, _vertical.z};
  const double s[3] = {_sight.x, _sight.y, _sight.z};
  // North and the sight in the horizontal plane; east = north x vertical.
  const double nv = _north.x * v[0] + _north.y * v[1] + _north.z * v[2];
  const double n[3] = {_north.x - nv * v[0], _north.y - nv * v[1], _north.z - nv * v[2]};
  const double e[3] = {n[1] * v[2] - n[2] * v[1], n[2] * v[0] - n[0] * v[2],
                       n[0] * v[1] - n[1] * v[0]};
  const double sv = Dot(s, v);
  const double h[3] = {s[0] - sv * v[0], s[1] - sv * v[1], s[2] - sv * v[2]};
  const double north = Dot(h, n), east = Dot(h, e);
  if (Dot(n, n) > 1e-12 && north * north + east * east > 1e-12) {
    double heading = std::atan2(east, north) * 180.0 / kPi;
    if (heading < 0.0) heading += 360.0;
    _heading = float(heading);
  }
  _pitch = float(std::asin(std::max(-1.0, std::min(1.0, sv))) * 180.0 / kPi);
  std::snprintf(_texts[0], sizeof _texts[0], "Heading %5.1f", double(_heading));
  std::snprintf(_texts[1], sizeof _texts[1], "Pitch %+5.1f", double(_pitch));
  std::snprintf(_texts[2], sizeof _texts[2], "Distance %.4g", double(GetDistance()));
  std::snprintf(_texts[3], sizeof _texts[3], "Speed %.4g/s", double(GetSpeed()));
  const float right = _width, top = _height;
  SetBoundingElement(Kel2DBoundingBox(right - 2.0f * kMargin - kTextWidth - 2.0f * kRadius, right,
                                      top - 2.0f * (kMargin + kRadius), top));
}

void Kel2DDashboardRep::GetNeedle(float centre[2], float tip[2]) const {
  centre[0] = _width - kMargin - kRadius;
  centre[1] = _height - kMargin - kRadius;
  // Looking at heading h, the north lies h degrees anticlockwise from up.
  const double a = (90.0 + double(_heading)) * kPi / 180.0;
  tip[0] = centre[0] + float(0.9 * kRadius * std::cos(a));
  tip[1] = centre[1] + float(0.9 * kRadius * std::sin(a));
}

void Kel2DDashboardRep::DrawShading(KelRender& render, int) {
  if (!render.IsDrawable(_attributes, *this)) return;
  float centre[2], tip[2];
  GetNeedle(centre, tip);
  auto* dial = new Kel2DArcCircleGP(centre, kRadius, 0.0f, float(2.0 * kPi), 0);
  const float needle[4] = {centre[0], centre[1], tip[0], tip[1]};
  auto* line = new Kel2DLineGP(needle, 2, 1);
  auto* mark = new Kel2DAnnotationTextGP(Kelpoint2f(tip[0], tip[1]), "N", AnchorPoint(3));
  dial->Draw(render);
  line->Draw(render);
  mark->Draw(render);
  KelGraphicPrimitive::Destroy(dial);
  KelGraphicPrimitive::Destroy(line);
  KelGraphicPrimitive::Destroy(mark);
  const float x = centre[0] - kRadius - kMargin - kTextWidth;
  for (int k = 0; k < 4; ++k) {
    auto* text = new Kel2DAnnotationTextGP(Kelpoint2f(x, _height - kMargin - kLine * (k + 1)),
                                           _texts[k], AnchorPoint(3));
    text->Draw(render);
    KelGraphicPrimitive::Destroy(text);
  }
}
