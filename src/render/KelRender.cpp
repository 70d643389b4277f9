#include <kel/render/KelRender.h>

#include <kel/foundations/Kel2DBoundingBox.h>
#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel2DPolygonGP.h>
#include <kel/primitives/Kel2DPolylineGP.h>
#include <kel/primitives/Kel3DAnnotationTextGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/primitives/KelDynamicGP.h>
#include <kel/render/KelSupport.h>
#include <kel/viewers/KelCharacterFont.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel2DViewport.h>
#include <kel/viewpoints/Kel3DViewpoint.h>
#include <kel/viewpoints/Kel3DViewport.h>

#include <algorithm>
#include <cmath>
#include <typeinfo>

// A render without a camera (a recording render, a query before BeginDraw)
// answers "visible, facing, one model unit per pixel".

KelRender::KelRender() = default;

KelRender::~KelRender() {
  ReleaseCamera();
}

void KelRender::BeginDraw(KelViewpoint& viewpoint) {
  BeginCamera(viewpoint);
}
void KelRender::Draw(KelViewpoint&) {}
void KelRender::EndDraw(KelViewpoint&) {
  ReleaseCamera();
}

void KelRender::InheritForeground(int colour) {
  // Forced colours nest (a highlighted bag inside a marked one): ending the
  // inner one gives the outer one back.
  if (colour != 0) {
    if (_forcedDepth < kForcedStackSize) _forcedColors[_forcedDepth] = colour;
    ++_forcedDepth;
    _inheritedForeground = 0;
    SetForeground(colour);
    _inheritedForeground = 1;
    return;
  }
  if (_forcedDepth > 0) --_forcedDepth;
  _inheritedForeground = _forcedDepth > 0 ? 1 : 0;
  RestoreForeground();
}

void KelRender::RestoreForeground() {
  const int forcing = _inheritedForeground;
  _inheritedForeground = 0;
  if (_forcedDepth > 0)
    SetForeground(_forcedColors[std::min(_forcedDepth, kForcedStackSize) - 1]);
  else if (_currentAttribute.color == KelGraphicAttributeSet::RGBA_COLOR)
    SetForegroundRGBA(_currentAttribute.SecondWord());
  else
    SetForeground(int(_currentAttribute.color));
  _inheritedForeground = forcing;
}

void KelRender::InheritElementType(ELEMENT_TYPE, int) {}
void KelRender::SetSensitivity(int sensitivity) {
  _sensitivity = sensitivity;
}

inline int KelRender::AcceptIfShown(const KelGraphicAttributeSet& a, const int outsideView) {
  if (outsideView || (a.flags & KelGraphicAttributeSet::TEMPORY_HIDDEN)) return 0;
  SetCurrentAttribute(a);
  return 1;
}

int KelRender::IsDrawable(const KelGraphicAttributeSet& a, const Kel2DBoundingBox& box,
                          const KelRep&) {
  return AcceptIfShown(a, IsOutsideView(box));
}
int KelRender::IsDrawable(const KelGraphicAttributeSet& a, const Kel2DBoundingBox& box, const int) {
  return AcceptIfShown(a, IsOutsideView(box));
}
int KelRender::IsDrawable(const KelGraphicAttributeSet& a, const Kel3DBoundingSphere& s,
                          const int) {
  return AcceptIfShown(a, IsOutsideView(s));
}
int KelRender::IsDrawable(const KelGraphicAttributeSet& a, const float*, const float, const int) {
  return IsDrawable(a);
}
int KelRender::IsDrawable(const KelGraphicAttributeSet& a, const Kel3DBoundingSphere& s,
                          const KelRep&) {
  return AcceptIfShown(a, IsOutsideView(s));
}
int KelRender::IsDrawable(const KelGraphicAttributeSet& a, const int) {
  return IsDrawable(a);
}
int KelRender::IsDrawable(const KelGraphicAttributeSet& a, const KelRep&) {
  return IsDrawable(a);
}
int KelRender::IsDrawable(const KelGraphicAttributeSet& a) {
  return AcceptIfShown(a, 0);
}

int KelRender::IsSeen(const float* point, const float* normal) {
  constexpr unsigned char closedVolume = 0x30;
  if ((_currentAttribute.flags & closedVolume) != closedVolume || _clipped) return 1;
  return IsFacing(point, normal);
}

void KelRender::SetCurrentAttribute(const KelGraphicAttributeSet& a) {
  if (a == _currentAttribute) return;
  if (a.lineAttribute1 != _currentAttribute.lineAttribute1 ||
      a.lineAttribute2 != _currentAttribute.lineAttribute2) {
    const int second = a.lineAttribute2, first = a.lineAttribute1;
    SetLineAttributes(second, first);
  }
  // While a bag forces its colour on its subtree the attribute is stored but
  // its colour is not sent: InheritForeground(0) sends it when the forcing ends.
  const bool send = !_inheritedForeground;
  if (a.flags & (KelGraphicAttributeSet::HIGHLIGHTED | KelGraphicAttributeSet::SECOND_MARK)) {
    const int c = (a.flags & KelGraphicAttributeSet::HIGHLIGHTED)
                      ? KelGraphicAttributeSet::HIGHLIGHT_COLOR
                      : KelGraphicAttributeSet::SECOND_MARK_COLOR;
    if (send) SetForeground(c);
    _currentAttribute = a;
    _currentAttribute.color = static_cast<unsigned char>(c);
    return;
  }
  if (a.color == KelGraphicAttributeSet::RGBA_COLOR) {
    if (send && !(_currentAttribute.color == KelGraphicAttributeSet::RGBA_COLOR &&
                  _currentAttribute.SecondWord() == a.SecondWord()))
      SetForegroundRGBA(a.SecondWord());
    _currentAttribute = a;
    return;
  }
  if (send && a.color != _currentAttribute.color) {
    const int c = a.color;
    SetForeground(c);
  }
  _currentAttribute = a;
}

void KelRender::SetCurrentAttribute(const int firstWord, const int secondWord) {
  SetCurrentAttribute(KelGraphicAttributeSet(firstWord, secondWord));
}

void KelRender::SetAmbientDiffusElementColor(const int) {}
void KelRender::Draw2DMarker(Kel2DMarkerGP&) {}
void KelRender::Draw2DRectangle(Kel2DRectangleGP&) {}
void KelRender::Draw2DLine(Kel2DLineGP&) {}
void KelRender::Draw2DAnnotationText(Kel2DAnnotationTextGP&) {}
void KelRender::Draw2DSimpleGeometricText(Kel2DSimpleGeometricTextGP&) {}
void KelRender::Draw3DMarker(Kel3DMarkerGP&) {}
void KelRender::Draw3DLine(Kel3DLineGP&) {}
void KelRender::Draw3DPolyline(Kel3DPolylineGP& gp) {
  ImmediateDraw3DPolyline(gp.GetPoints(), gp.GetNbPoints());
}
void KelRender::Draw3DAnnotationText(Kel3DAnnotationTextGP& gp) {
  ImmediateDraw3DAnnotationText(gp.GetPosition(), gp.GetText(), gp.GetAnchor());
}
void KelRender::Draw2DPolyline(Kel2DPolylineGP& gp) {
  ImmediateDraw2DPolyline(gp.GetPoints(), gp.GetNbPoints());
}
void KelRender::Draw2DPolygon(Kel2DPolygonGP& gp) {
  ImmediateDraw2DPolygon(gp.GetPoints(), gp.GetNbPoints(), gp.GetMode());
}
void KelRender::Draw3DEdge(Kel3DEdgeGP&) {}
void KelRender::DrawLightSource(Kel3DLightSourceGP&) {}
void KelRender::Draw3DFace(Kel3DFaceGP&) {}
void KelRender::Draw3DPlanarFace(Kel3DPlanarFaceGP&) {}
void KelRender::Draw3DCylinder(Kel3DCylinderGP&, const int) {}
void KelRender::DrawWireframe3DCylinder(Kel3DCylinderGP&) {}
void KelRender::DrawDynamicGP(KelDynamicGP&) {}
void KelRender::ImmediateDraw3DPolyline(const float*, const int) {}
void KelRender::ImmediateDraw3DAnnotationText(const float*, const char*, AnchorPoint) {}
void KelRender::ImmediateDraw2DImagePixel(const float*, const KelPixelImage*, const int) {}
void KelRender::ImmediateDraw2DPolyline(const float*, const int) {}
void KelRender::ImmediateDraw2DPolygon(const float*, const int, const int) {}
void KelRender::PushReference() {}
void KelRender::PopReference() {}
void KelRender::SetForeground(const int&) {}
void KelRender::SetForegroundRGBA(const int) {}
void KelRender::SetLineAttributes(const int&, const int&) {}
void KelRender::SetPolygonOffsetOn() {}
void KelRender::SetPolygonOffsetOff() {}
void KelRender::SetFurtiveOn() {}
void KelRender::SetFurtiveOff() {}
int KelRender::IsMeshSeen() const {
  return _meshSeen;
}
int KelRender::IsOutLineSeen() const {
  return _outLineSeen;
}
int KelRender::IsEdgeSeen() const {
  return _edgeSeen;
}

void KelRender::PopMatrix(KelRender* child) {
  delete child;
}

float KelRender::Get2DModelCulling() const {
  return _modelCullingSize;
}
float KelRender::Get2DModelSag() const {
  return _modelSag;
}

int KelRender::Get3DLODNumber(const Kel3DBoundingSphere& s, const int count,
                              const float* thresholds) const {
  const float sag = Get3DModelSag(s);
  for (int i = 1; i < count; ++i)
    if (sag < thresholds[i]) return i - 1;
  return count - 1;
}

int KelRender::IsToSmall(const Kel3DBoundingSphere& s) const {
  if (s.IsEmpty()) return 1;
  // A volume with an infinite part (state 2 or 3) is never too small.
  if (s.GetState() >= 2) return 0;
  float r = s.GetRadius();
  if (s.GetRadiusMM() != 0.0f) r += s.GetRadiusMM() * GetMMFromModelRatio(s.GetCenter());
  if (r == 0.0f) return 0;
  // No culling size: nothing of positive size is below it, whatever the depth.
  if (r > 0.0f && _modelCullingSize == 0.0f) return 0;
  return r < Get3DModelCulling(s) ? 1 : 0;
}

int KelRender::IsToSmall(const Kel2DBoundingBox& box) const {
  if (box.IsEmpty()) return 1;
  if (box.GetState() >= 2) return 0;
  float xmin, xmax, ymin, ymax;
  box.GetParameter(&xmin, &xmax, &ymin, &ymax);
  // The parts of constant screen size grow the box on every side.
  const float s =
      std::max(xmax - xmin, ymax - ymin) + 2.0f * box.GetSizeMM() * GetMMFromModelRatio();
  // A point, as a sphere of radius 0, is never too small.
  if (s == 0.0f) return 0;
  return s < Get2DModelCulling() ? 1 : 0;
}

int KelRender::GetGeometricFontNumber(const float height) const {
  const float modelPerPixel = GetPixelFromModelRatio();
  if (!_characterFont || !(modelPerPixel > 0.0f) || !(height > 0.0f)) return 0;
  // Past any font's size the largest fits.
  const float pixels = std::min(height / modelPerPixel, 1.0e6f);
  return _characterFont->GetFontNumber(static_cast<int>(std::lround(pixels)));
}

void KelRender::GetWidthAndHeight(float& width, float& height) const {
  width = _width;
  height = _height;
}
float KelRender::GetPixelRatioWH() const {
  return _pixelRatio;
}
float KelRender::GetMMInSupportUnit() const {
  return _mmInSupportUnit;
}
float KelRender::GetMMFromModelRatio() const {
  return GetPixelFromModelRatio() * _mmInSupportUnit;
}
float KelRender::GetMMFromModelRatio(const float* point) const {
  return GetPixelFromModelRatio(point) * _mmInSupportUnit;
}
float KelRender::GetPixelFromModelRatio() const {
  return _scaleFactor;
}

void KelRender::SetMesh(int on) {
  _meshSeen = on;
}
void KelRender::SetOutLine(int on) {
  _outLineSeen = on;
}
void KelRender::SetEdge(int on) {
  _edgeSeen = on;
}
int KelRender::IsDrawingLeft() const {
  return _drawingLeft;
}

// ---- camera-dependent parts

KelRender::KelRender(const KelSupport& support) {
  _colorMap = support.GetColorMap();
  _characterFont = support.GetCharacterFont();
  _cullingPrecision = static_cast<float>(support.GetCullingPrecision());
  _sagPrecision = support.GetSagPrecision();
  _pixelRatio = support.GetRatioWH();
  _mmInSupportUnit = support.GetMMInSupportUnit();
  _meshSeen = support.IsMeshSeen();
  _outLineSeen = support.IsOutLineSeen();
  _edgeSeen = support.IsEdgeSeen();
  support.GetWidthAndHeight(_width, _height);
  float* point = nullptr;
  float* normal = nullptr;
  _clipped = support.IsClipped(&point, &normal);
  _clippingPoint = point;
  _clippingNormal = normal;
}

KelRender::KelRender(const KelRender& o) : KelRenderPassState(o) {
  CloneCamera(o);
}

void KelRender::AssignFrom(const KelRender& o) {
  if (this == &o) return;
  o.Camera3D();
  KelRenderPassState::operator=(o);
  // A 3D camera and its viewport copy by assignment; anything else is cloned.
  const bool same3D = _current3DViewpoint && o._current3DViewpoint && _current3DViewport &&
                      o._current3DViewport &&
                      typeid(*_viewpointCopy) == typeid(*o._viewpointCopy) &&
                      typeid(*_viewportCopy) == typeid(*o._viewportCopy);
  if (same3D) {
    *_current3DViewpoint = *o._current3DViewpoint;
    *_current3DViewport = *o._current3DViewport;
    return;
  }
  ReleaseCamera();
  CloneCamera(o);
}

void KelRender::CloneCamera(const KelRender& o) {
  o.Camera3D();
  if (o._viewpointCopy)
    SetCameraCopies(o._viewpointCopy->Clone(),
                    o._viewportCopy ? o._viewportCopy->Clone() : nullptr);
}

void KelRender::SetCameraCopies(KelViewpoint* viewpoint, KelViewport* viewport) {
  _viewpointCopy = viewpoint;
  _current2DViewpoint = dynamic_cast<Kel2DViewpoint*>(viewpoint);
  _current3DViewpoint = dynamic_cast<Kel3DViewpoint*>(viewpoint);
  _viewportCopy = viewport;
  _current2DViewport = dynamic_cast<Kel2DViewport*>(viewport);
  _current3DViewport = dynamic_cast<Kel3DViewport*>(viewport);
}

void KelRender::BeginCamera(KelViewpoint& viewpoint) {
  _scaleFactor = viewpoint.GetScaleFactor(_width, _height, _mmInSupportUnit, _pixelRatio);
  _modelCullingSize = _cullingPrecision * _scaleFactor;
  _modelSag = _sagPrecision * _scaleFactor;
  ReleaseCamera();
  KelViewport* viewport = viewpoint.GetViewport();
  SetCameraCopies(viewpoint.Clone(), viewport ? viewport->Clone() : nullptr);
  if (_clipped && _current3DViewport && viewpoint.IsAKindOf(Kel3DViewpoint::ClassName())) {
    // Material on the side the support's normal points to stays visible.
    const Kelpoint3f point(_clippingPoint);
    const Kelvector3f n(_clippingNormal);
    const Keldirection3f normal(-n);
    *_current3DViewport += Kel3DViewport(1, &point, &normal);
  }
}

void KelRender::SettleCamera() const {
  _cameraBehind = 0;
}

Kelpoint3f KelRender::Eye3D() const {
  return _cameraBehind ? _eye : _current3DViewpoint->GetOrigin();
}

void KelRender::ReleaseCamera() {
  _cameraBehind = 0;
  delete _viewpointCopy;
  delete _viewportCopy;
  SetCameraCopies(nullptr, nullptr);
}

int KelRender::IsOutsideView(const Kel3DBoundingSphere& s) const {
  if (!_current3DViewport) return 0;
  const float m = s.GetRadiusMM() == 0.0f ? 1.0f : GetMMFromModelRatio(s.GetCenter());
  return _current3DViewport->IsOutside(s, m);
}

int KelRender::IsOutsideView(const Kel2DBoundingBox& box) const {
  if (!_current2DViewport) return 0;
  return _current2DViewport->IsOutside(box, GetMMFromModelRatio());
}

int KelRender::IsInside(const Kel3DBoundingSphere& s) const {
  if (!_current3DViewport) return 0;
  const float m = s.GetRadiusMM() == 0.0f ? 1.0f : GetMMFromModelRatio(s.GetCenter());
  return _current3DViewport->IsInside(s, m);
}

int KelRender::IsInside(const Kel2DBoundingBox& box) const {
  if (!_current2DViewport) return 0;
  return _current2DViewport->IsInside(box, GetMMFromModelRatio());
}

int KelRender::IsFacing(const float* point, const float* normal) const {
  if (!_current3DViewpoint) return 1;
  const Kelvector3f n(normal);
  float d;
  if (_current3DViewpoint->GetProjectionType() == 1)
    d = (Kelpoint3f(point) - Eye3D()) * n;
  else
    d = Camera3D()->GetSightDirection().AsVector() * n;
  return d > 0.0f ? 0 : 1;
}

// Distance of the sphere's centre in front of the eye along the first plane's
// normal; 0 without planes.
static double Depth(const Kelpoint3f& e, const Kel3DViewport* viewport,
                    const Kel3DBoundingSphere& s) {
  if (!viewport || viewport->GetNbPlanes() == 0) return 0.0;
  const float *a, *b, *c, *d;
  viewport->GetPlanes(&a, &b, &c, &d);
  const float* centre = s.GetCenter();
  return double(a[0]) * (e.x - centre[0]) + double(b[0]) * (e.y - centre[1]) +
         double(c[0]) * (e.z - centre[2]);
}

float KelRender::Get3DModelCulling(const Kel3DBoundingSphere& s) const {
  if (!_current3DViewpoint) return _modelCullingSize;
  if (_current3DViewpoint->GetProjectionType() == 1)
    return static_cast<float>(_modelCullingSize * Depth(Eye3D(), _current3DViewport, s));
  // A pixel of a parallel view spans the scale factor times the focus
  // distance, whatever the depth: without the focus, a scene framed far
  // smaller than one unit would be culled whole, a large one never.
  return _modelCullingSize * std::fabs(Camera3D()->GetFocusDistance());
}

float KelRender::Get3DModelSag(const Kel3DBoundingSphere& s) const {
  if (!_current3DViewpoint || _current3DViewpoint->GetProjectionType() != 1) return 0.0f;
  const double depth = Depth(Eye3D(), _current3DViewport, s);
  return static_cast<float>(double(_modelSag) *
                            (depth + double(s.GetRadius()) * (0.5 * double(_sagPrecision) - 1.0)));
}

float KelRender::GetPixelFromModelRatio(const float* point) const {
  const Kel3DViewpoint* camera = Camera3D();
  if (!camera) return _scaleFactor;
  float k;
  if (camera->GetProjectionType() == 1)
    k = camera->GetSightDirection().AsVector() * (Kelpoint3f(point) - camera->GetOrigin());
  else  // the camera's frame carries the scaling of the Rep frames it was moved into
    k = camera->GetMatrix().GetScaling() * camera->GetFocusDistance();
  return k == 0.0f ? 1.0f : std::fabs(k) * _scaleFactor;
}

template <class Matrix>
static KelRender* PushCopy(const KelRender& parent, const Matrix& m) {
  KelRender* child = new KelRender(parent);
  *child *= m;
  return child;
}

KelRender* KelRender::PushMatrix(Kel4x4Matrix& m) {
  return PushCopy(*this, m);
}

KelRender* KelRender::PushMatrix(Kel3x3Matrix& m) {
  return PushCopy(*this, m);
}

KelRender& KelRender::operator*=(const Kel4x4Matrix& m) {
  Camera3D();
  // A fresh identity each time: a singular matrix leaves it as it is rather
  // than reusing an earlier inverse.
  Kel4x4Matrix inverse;
  m.GetInvertedMatrix(inverse);
  const float s = inverse.GetScaling();
  if (_current3DViewport) *_current3DViewport *= inverse;
  _modelCullingSize *= s;
  _modelSag *= s;
  if (_current3DViewpoint) *_current3DViewpoint *= inverse;
  return *this;
}

KelRender& KelRender::operator*=(const Kel3x3Matrix& m) {
  const Kel3x3Matrix inverse = m.GetInvertedMatrix();
  const float s = inverse.GetScaling();
  if (_current2DViewport) *_current2DViewport *= inverse;
  _modelCullingSize *= s;
  _modelSag *= s;
  // A pixel in the Rep's frame: screen-sized parts (symbols, texts, images)
  // keep their size inside scaled bags.
  _scaleFactor *= s;
  if (_current2DViewpoint) *_current2DViewpoint *= inverse;
  return *this;
}
