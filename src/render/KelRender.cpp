#include <kel/render/KelRender.h>

#include <kel/foundations/Kel2DBoundingBox.h>
#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/primitives/KelDynamicGP.h>

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
  if (colour != 0) {
    SetForeground(colour);
    _inheritedForeground = 1;
    return;
  }
  _inheritedForeground = 0;
  if (_currentAttribute.color == KelGraphicAttributeSet::RGBA_COLOR)
    SetForegroundRGBA(_currentAttribute.SecondWord());
  else {
    const int c = _currentAttribute.color;
    SetForeground(c);
  }
}

void KelRender::InheritElementType(ELEMENT_TYPE, int) {}
void KelRender::SetSensitivity(int sensitivity) {
  _sensitivity = sensitivity;
}

static int FlagsAllowDrawing(const KelGraphicAttributeSet& a) {
  return (a.flags & KelGraphicAttributeSet::TEMPORY_HIDDEN) == 0;
}

int KelRender::IsDrawable(const KelGraphicAttributeSet& a, const Kel2DBoundingBox& box,
                          const KelRep&) {
  if (IsOutsideView(box) || !FlagsAllowDrawing(a)) return 0;
  SetCurrentAttribute(a);
  return 1;
}
int KelRender::IsDrawable(const KelGraphicAttributeSet& a, const Kel2DBoundingBox& box, const int) {
  if (IsOutsideView(box) || !FlagsAllowDrawing(a)) return 0;
  SetCurrentAttribute(a);
  return 1;
}
int KelRender::IsDrawable(const KelGraphicAttributeSet& a, const Kel3DBoundingSphere& s,
                          const int) {
  if (IsOutsideView(s) || !FlagsAllowDrawing(a)) return 0;
  SetCurrentAttribute(a);
  return 1;
}
int KelRender::IsDrawable(const KelGraphicAttributeSet& a, const float*, const float, const int) {
  return IsDrawable(a);
}
int KelRender::IsDrawable(const KelGraphicAttributeSet& a, const Kel3DBoundingSphere& s,
                          const KelRep&) {
  if (IsOutsideView(s) || !FlagsAllowDrawing(a)) return 0;
  SetCurrentAttribute(a);
  return 1;
}
int KelRender::IsDrawable(const KelGraphicAttributeSet& a, const int) {
  return IsDrawable(a);
}
int KelRender::IsDrawable(const KelGraphicAttributeSet& a, const KelRep&) {
  return IsDrawable(a);
}
int KelRender::IsDrawable(const KelGraphicAttributeSet& a) {
  if (!FlagsAllowDrawing(a)) return 0;
  SetCurrentAttribute(a);
  return 1;
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
  if (a.flags & KelGraphicAttributeSet::HIGHLIGHTED) {
    const int c = KelGraphicAttributeSet::HIGHLIGHT_COLOR;
    SetForeground(c);
    _currentAttribute = a;
    _currentAttribute.color = KelGraphicAttributeSet::HIGHLIGHT_COLOR;
    return;
  }
  if (a.flags & KelGraphicAttributeSet::SECOND_MARK) {
    const int c = KelGraphicAttributeSet::SECOND_MARK_COLOR;
    SetForeground(c);
    _currentAttribute = a;
    _currentAttribute.color = KelGraphicAttributeSet::SECOND_MARK_COLOR;
    return;
  }
  if (a.color == KelGraphicAttributeSet::RGBA_COLOR) {
    if (!(_currentAttribute.color == KelGraphicAttributeSet::RGBA_COLOR &&
          _currentAttribute.SecondWord() == a.SecondWord()))
      SetForegroundRGBA(a.SecondWord());
    _currentAttribute = a;
    return;
  }
  if (a.color != _currentAttribute.color) {
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
// The 2D polyline and polygon and the 3D annotation text forward to their
// immediate operations once those primitives exist.
void KelRender::Draw2DPolyline(Kel2DPolylineGP&) {}
void KelRender::Draw2DPolygon(Kel2DPolygonGP&) {}
void KelRender::Draw3DAnnotationText(Kel3DAnnotationTextGP&) {}
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
  if (s.IsInfinite()) return 0;
  float r = s.GetRadius();
  if (s.GetRadiusMM() != 0.0f) r += s.GetRadiusMM() * GetMMFromModelRatio(s.GetCenter());
  if (r == 0.0f) return 0;
  return r < Get3DModelCulling(s) ? 1 : 0;
}

int KelRender::IsToSmall(const Kel2DBoundingBox& box) const {
  if (box.IsEmpty()) return 1;
  if (box.IsInfinite()) return 0;
  float xmin, xmax, ymin, ymax;
  box.GetParameter(&xmin, &xmax, &ymin, &ymax);
  const float s = (xmax - xmin) > (ymax - ymin) ? (xmax - xmin) : (ymax - ymin);
  return s < Get2DModelCulling() ? 1 : 0;
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

void KelRender::BeginCamera(KelViewpoint&) {}
void KelRender::ReleaseCamera() {}
int KelRender::IsOutsideView(const Kel3DBoundingSphere&) const {
  return 0;
}
int KelRender::IsOutsideView(const Kel2DBoundingBox&) const {
  return 0;
}
int KelRender::IsFacing(const float*, const float*) const {
  return 1;
}
int KelRender::IsInside(const Kel3DBoundingSphere&) const {
  return 0;
}
int KelRender::IsInside(const Kel2DBoundingBox&) const {
  return 0;
}
float KelRender::Get3DModelCulling(const Kel3DBoundingSphere&) const {
  return _modelCullingSize;
}
float KelRender::Get3DModelSag(const Kel3DBoundingSphere&) const {
  return 0.0f;
}
float KelRender::GetPixelFromModelRatio(const float*) const {
  return _scaleFactor;
}
KelRender* KelRender::PushMatrix(Kel4x4Matrix&) {
  return new KelRender(*this);
}
KelRender* KelRender::PushMatrix(Kel3x3Matrix&) {
  return new KelRender(*this);
}
KelRender::KelRender(const KelRender& o) = default;
