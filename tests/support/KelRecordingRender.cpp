#include "KelRecordingRender.h"

#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/images/KelPixelImage.h>
#include <kel/primitives/KelDynamicGP.h>
#include <kel/viewpoints/KelViewpoint.h>

std::string KelRecordingRender::Joined() const {
  std::string s;
  for (const auto& line : *_log) {
    if (!s.empty()) s += ", ";
    s += line;
  }
  return s;
}

int KelRecordingRender::IsDrawable(const KelGraphicAttributeSet& a, const Kel3DBoundingSphere&,
                                   const KelRep&) {
  Record("IsDrawable volume");
  if (outside) return 0;
  return KelRender::IsDrawable(a);
}
int KelRecordingRender::IsDrawable(const KelGraphicAttributeSet& a, const Kel2DBoundingBox&,
                                   const KelRep&) {
  Record("IsDrawable volume");
  if (outside) return 0;
  return KelRender::IsDrawable(a);
}
int KelRecordingRender::IsDrawable(const KelGraphicAttributeSet& a, const Kel3DBoundingSphere&,
                                   const int) {
  Record("IsDrawable volume");
  if (outside) return 0;
  return KelRender::IsDrawable(a);
}
int KelRecordingRender::IsDrawable(const KelGraphicAttributeSet& a, const KelRep&) {
  Record("IsDrawable flags");
  return KelRender::IsDrawable(a);
}
int KelRecordingRender::IsDrawable(const KelGraphicAttributeSet& a, const int) {
  Record("IsDrawable flags");
  return KelRender::IsDrawable(a);
}
int KelRecordingRender::IsSeen(const float*, const float*) {
  Record("IsSeen");
  return seen;
}
void KelRecordingRender::InheritForeground(int colour) {
  Record("InheritForeground " + std::to_string(colour));
  KelRender::InheritForeground(colour);
}
void KelRecordingRender::InheritElementType(ELEMENT_TYPE type, int force) {
  Record("InheritElementType " + std::to_string(int(type)) + " " + std::to_string(force));
}
void KelRecordingRender::SetSensitivity(int sensitivity) {
  Record("SetSensitivity " + std::to_string(sensitivity));
  KelRender::SetSensitivity(sensitivity);
}
void KelRecordingRender::SetCurrentAttribute(const KelGraphicAttributeSet& a) {
  KelRender::SetCurrentAttribute(a);
}
void KelRecordingRender::Draw3DCylinder(Kel3DCylinderGP&, const int cap) {
  Record("Draw3DCylinder " + std::to_string(cap));
}
KelRender* KelRecordingRender::PushMatrix(Kel4x4Matrix& m) {
  Record("PushMatrix");
  const float* c = m.GetMatrix();
  pushedMatrices.emplace_back(c, c + 16);
  return new KelRecordingRender(*this);
}
KelRender* KelRecordingRender::PushMatrix(Kel3x3Matrix& m) {
  Record("PushMatrix");
  const float* c = m.GetMatrix();
  pushedMatrices.emplace_back(c, c + 16);
  return new KelRecordingRender(*this);
}
void KelRecordingRender::PopMatrix(KelRender* child) {
  Record("PopMatrix");
  delete child;
}
void KelRecordingRender::SetForeground(const int& colourIndex) {
  Record("SetForeground " + std::to_string(colourIndex));
}
void KelRecordingRender::SetForegroundRGBA(const int rgba) {
  Record("SetForegroundRGBA " + std::to_string(rgba));
}
void KelRecordingRender::SetLineAttributes(const int& a2, const int& a1) {
  Record("SetLineAttributes " + std::to_string(a2) + " " + std::to_string(a1));
}
void KelRecordingRender::DrawDynamicGP(KelDynamicGP& gp) {
  Record("DrawDynamicGP");
  if (immediate) gp.ImmediateDraw(*this, GetViewpoint(), GetViewport());
}
void KelRecordingRender::ImmediateDraw2DPolyline(const float* points, const int count) {
  Record("ImmediateDraw2DPolyline " + std::to_string(count));
  shapes2D.push_back({"polyline", std::vector<float>(points, points + 2 * count)});
}
void KelRecordingRender::ImmediateDraw2DPolygon(const float* points, const int count,
                                                const int filled) {
  Record("ImmediateDraw2DPolygon " + std::to_string(count) + " " + std::to_string(filled));
  shapes2D.push_back(
      {"polygon " + std::to_string(filled), std::vector<float>(points, points + 2 * count)});
}
void KelRecordingRender::ImmediateDraw2DImagePixel(const float* position,
                                                   const KelPixelImage* image, const int mode) {
  int w = 0, h = 0;
  image->GetSize(w, h);
  const std::string kind =
      "image " + std::to_string(w) + "x" + std::to_string(h) + " " + std::to_string(mode);
  Record("ImmediateDraw2DImagePixel");
  shapes2D.push_back({kind, {position[0], position[1]}});
}
void KelRecordingRender::LookThrough(KelViewpoint& camera, float width, float height,
                                     float pixelsPerMM) {
  _width = width;
  _height = height;
  _mmInSupportUnit = pixelsPerMM;
  _sagPrecision = 0.5f;
  camera.CreateViewportFrom(0.5f * width, 0.5f * height, 0.5f * width, 0.5f * height, width, height,
                            pixelsPerMM, 1.0f);
  BeginDraw(camera);
}
