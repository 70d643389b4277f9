#include "KelRecordingRender.h"

#include <kel/images/KelPixelImage.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/KelDynamicGP.h>
#include <kel/reps/Kel3DRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

std::string KelRecordingRender::Joined() const {
  std::string s;
  for (const auto& line : *_log) {
    if (!s.empty()) s += ", ";
    s += line;
  }
  return s;
}

int KelRecordingRender::Volume(const KelGraphicAttributeSet& a) {
  Record("IsDrawable volume");
  return outside ? 0 : KelRender::IsDrawable(a);
}
int KelRecordingRender::Flags(const KelGraphicAttributeSet& a) {
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
void KelRecordingRender::Draw3DCylinder(Kel3DCylinderGP& gp, const int) {
  Record("Draw3DCylinder " + std::to_string(gp.GetNbPoints()));
}
void KelRecordingRender::Draw3DLine(Kel3DLineGP& gp) {
  Record("Draw3DLine " + std::to_string(gp.GetNbPoints()));
}
KelRender* KelRecordingRender::Push() {
  Record("PushMatrix");
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
  Record("ImmediateDraw2DImagePixel");
  shapes2D.push_back(
      {"image " + std::to_string(w) + "x" + std::to_string(h) + " " + std::to_string(mode),
       {position[0], position[1]}});
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

KelCameraRender::KelCameraRender(float mmRatio) {
  _scaleFactor = mmRatio;
}
KelCameraRender::~KelCameraRender() {
  if (_camera) EndDraw(*_camera);
}
void KelCameraRender::LookFrom(float distance) {
  if (_camera) EndDraw(*_camera);
  if (!_target) {
    _target = std::make_unique<Kel3DRep>();
    _target->SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0, 0, 0), 1.0f, 0.0f));
  }
  _width = _height = kSize;
  _mmInSupportUnit = kPixelsPerMM;
  _sagPrecision = 2.0f;
  _meshSeen = 1;
  _camera = std::make_unique<Kel3DViewpoint>(Kelpoint3f(0, 0, distance), Keldirection3f(0, 0, -1),
                                             Keldirection3f(0, 1, 0), 1.0f, 100000.0f,
                                             CONIC_PROJECTION, distance);
  _camera->AddRep(_target.get());
  _camera->CreateViewportFrom(kSize / 2, kSize / 2, kSize / 2, kSize / 2, kSize, kSize,
                              kPixelsPerMM, 1.0f);
  BeginDraw(*_camera);
}
Kelpoint2f KelCameraRender::Pixel(const float* model) const {
  Kelpoint2f out;
  _camera->ComputePixelFromModel(Kelpoint3f(model), out, kSize, kSize, kPixelsPerMM, 1.0f);
  return out;
}
void KelCameraRender::DrawDynamicGP(KelDynamicGP& gp) {
  Record("DrawDynamicGP");
  gp.ImmediateDraw(*this, GetViewpoint(), GetViewport());
}
void KelCameraRender::ImmediateDraw3DPolyline(const float* points, const int count) {
  polylines.emplace_back(points, points + 3 * count);
}
void KelCameraRender::ImmediateDraw3DAnnotationText(const float* position, const char* text,
                                                    AnchorPoint anchor) {
  texts.push_back({std::vector<float>(position, position + 3), text, anchor});
}
