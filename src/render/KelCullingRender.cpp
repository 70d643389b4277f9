#include <kel/render/KelCullingRender.h>

#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/primitives/KelDynamicGP.h>
#include <kel/render/KelDisplayList.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cstdio>
#include <typeinfo>
#include <utility>

namespace {

// A primitive is recorded as its KelGraphicPrimitive address, which the
// replay casts back to the class of the opcode.
std::intptr_t Value(KelGraphicPrimitive& gp) {
  return reinterpret_cast<std::intptr_t>(&gp);
}
// Primitives whose class is only declared here: the object's own address
// (the same address, the base being their first and only one).
template <class GP>
std::intptr_t Address(GP& gp) {
  return reinterpret_cast<std::intptr_t>(&gp);
}

}  // namespace

KelCullingRender::KelCullingRender(const KelSupport& support) : KelRepRender(support) {}

KelCullingRender::KelCullingRender() = default;

KelCullingRender::KelCullingRender(const KelCullingRender& other)
    : KelRepRender(other),
      _displayList(other._displayList),
      _currentElementList(other._currentElementList),
      _forcedElementList(other._forcedElementList) {}

KelCullingRender::~KelCullingRender() {
  ReleaseLevels();
}

void KelCullingRender::ReleaseLevels() {
  for (int d = 0; d < _levelsUsed; ++d) {
    Level& level = LevelAt(d);
    delete level.viewpoint;
    level = Level();
  }
  _levelsUsed = 0;
  _depth = 0;
}

int KelCullingRender::DefaultList() const {
  return _displayList && _displayList->GetType() == DISPLAY_LIST_2D ? ELEMENT_OVERLAY_DEFAULT
                                                                    : ELEMENT_DEFAULT;
}

int KelCullingRender::ListOf(const KelGraphicAttributeSet& a) const {
  // A 2D display list has one list: element kinds do not apply to it.
  if (_displayList && _displayList->GetType() == DISPLAY_LIST_2D) return ELEMENT_OVERLAY_DEFAULT;
  const bool transparent = (a.flags & KelGraphicAttributeSet::TRANSPARENT) != 0;
  switch (a.ElementKind()) {
    case 3:
      return transparent ? ELEMENT_TRANSPARENT : ELEMENT_CLOSED_VOLUMES;
    case 2:
      return transparent ? ELEMENT_TRANSPARENT : ELEMENT_KIND_2;
    case 1:
      return ELEMENT_LINES;
    default:
      return ELEMENT_DEFAULT;
  }
}

void KelCullingRender::Record(const std::intptr_t value, const int opcode) {
  if (_displayList) _displayList->AddElem(_currentElementList, value, opcode);
}

void KelCullingRender::BeginDraw(KelViewpoint& viewpoint) {
  _dynamicCopies = 0;
  _dynamicViewpoint = nullptr;
  _dynamicViewport = nullptr;
  // Pushes left open by an earlier pass: their cameras stay as spares.
  _depth = 0;
  viewpoint.InitDisplayList();
  viewpoint.CreateViewportFrom(0.5f * _width, 0.5f * _height, 0.5f * _width, 0.5f * _height, _width,
                               _height, _mmInSupportUnit, _pixelRatio);
  _displayList = viewpoint.GetDisplayList();
  // The list starts with the default attribute, so this render must start
  // from it too: one render culls every viewpoint of a frame, and a Rep that
  // repeats the previous viewpoint's last attribute would otherwise record
  // none.
  const KelGraphicAttributeSet defaultAttribute;
  _currentAttribute = defaultAttribute;
  if (_displayList)
    _displayList->AddElem(defaultAttribute.FirstWord(), KelDisplayList::OP_ATTRIBUTE);
  _currentElementList = DefaultList();
  KelRender::BeginDraw(viewpoint);
}

void KelCullingRender::InheritForeground(int colour) {
  if (_displayList) _displayList->AddElem(colour, KelDisplayList::OP_INHERIT_FOREGROUND);
}

void KelCullingRender::InheritElementType(ELEMENT_TYPE type, int force) {
  if (force) {
    const bool known = type >= ELEMENT_LIGHT_SOURCES && type <= ELEMENT_DEFAULT;
    _currentElementList = (known && !(_displayList && _displayList->GetType() == DISPLAY_LIST_2D))
                              ? type
                              : DefaultList();
    _forcedElementList = 1;
  } else {
    _forcedElementList = 0;
    _currentElementList = ListOf(_currentAttribute);
  }
}

void KelCullingRender::SetCurrentAttribute(const KelGraphicAttributeSet& a) {
  if (a == _currentAttribute) return;
  if (!_forcedElementList) _currentElementList = ListOf(a);
  if (a.color == KelGraphicAttributeSet::RGBA_COLOR)
    Record(a.SecondWord(), KelDisplayList::OP_VALUE);
  Record(a.FirstWord(), KelDisplayList::OP_ATTRIBUTE);
  _currentAttribute = a;
}

void KelCullingRender::Draw2DMarker(Kel2DMarkerGP& gp) {
  Record(Address(gp), KelDisplayList::OP_2D_MARKER);
}
void KelCullingRender::Draw2DRectangle(Kel2DRectangleGP& gp) {
  Record(Address(gp), KelDisplayList::OP_2D_RECTANGLE);
}
void KelCullingRender::Draw2DLine(Kel2DLineGP& gp) {
  Record(Address(gp), KelDisplayList::OP_2D_LINE);
}
void KelCullingRender::Draw2DPolyline(Kel2DPolylineGP& gp) {
  Record(Address(gp), KelDisplayList::OP_2D_POLYLINE);
}
void KelCullingRender::Draw2DPolygon(Kel2DPolygonGP& gp) {
  Record(Address(gp), KelDisplayList::OP_2D_POLYGON);
}
void KelCullingRender::Draw2DAnnotationText(Kel2DAnnotationTextGP& gp) {
  Record(Address(gp), KelDisplayList::OP_2D_ANNOTATION_TEXT);
}
void KelCullingRender::Draw2DSimpleGeometricText(Kel2DSimpleGeometricTextGP& gp) {
  Record(Address(gp), KelDisplayList::OP_2D_SIMPLE_GEOMETRIC_TEXT);
}
void KelCullingRender::Draw3DMarker(Kel3DMarkerGP& gp) {
  Record(Value(gp), KelDisplayList::OP_3D_MARKER);
}
void KelCullingRender::Draw3DPolyline(Kel3DPolylineGP& gp) {
  Record(Value(gp), KelDisplayList::OP_3D_POLYLINE);
}
void KelCullingRender::Draw3DLine(Kel3DLineGP& gp) {
  Record(Value(gp), KelDisplayList::OP_3D_LINE);
}
void KelCullingRender::Draw3DEdge(Kel3DEdgeGP& gp) {
  Record(Value(gp), KelDisplayList::OP_3D_EDGE);
}
void KelCullingRender::DrawLightSource(Kel3DLightSourceGP& gp) {
  if (_displayList)
    _displayList->AddElem(ELEMENT_LIGHT_SOURCES, Address(gp), KelDisplayList::OP_LIGHT_SOURCE);
}
void KelCullingRender::Draw3DFace(Kel3DFaceGP& gp) {
  Record(Value(gp), KelDisplayList::OP_3D_FACE);
}
void KelCullingRender::Draw3DPlanarFace(Kel3DPlanarFaceGP& gp) {
  Record(Value(gp), KelDisplayList::OP_3D_PLANAR_FACE);
}
void KelCullingRender::DrawWireframe3DCylinder(Kel3DCylinderGP& gp) {
  Record(Value(gp), KelDisplayList::OP_WIREFRAME_3D_CYLINDER);
}
void KelCullingRender::Draw3DAnnotationText(Kel3DAnnotationTextGP& gp) {
  Record(Address(gp), KelDisplayList::OP_3D_ANNOTATION_TEXT);
}

void KelCullingRender::Draw3DCylinder(Kel3DCylinderGP& gp, const int) {
  // Without a 3D camera the eye is taken at the origin.
  Kelpoint3f eye(0.0f, 0.0f, 0.0f);
  if (_current3DViewpoint) eye = _current3DViewpoint->GetOrigin();
  const float* p = gp.GetBase();
  const float* a = gp.GetDirection();
  const float s = (p[0] - eye.x) * a[0] + (p[1] - eye.y) * a[1] + (p[2] - eye.z) * a[2];
  Record(s > 0.0f ? 1 : 2, KelDisplayList::OP_VALUE);
  Record(Value(gp), KelDisplayList::OP_3D_CYLINDER);
}

void KelCullingRender::DrawDynamicGP(KelDynamicGP& gp) {
  if (!_displayList) return;
  if (!_dynamicCopies) {
    _dynamicViewpoint =
        _viewpointCopy ? _displayList->DuplicateViewpoint(*_viewpointCopy) : nullptr;
    _dynamicViewport = _viewportCopy ? _displayList->DuplicateViewport(*_viewportCopy) : nullptr;
    _dynamicCopies = 1;
  }
  Record(reinterpret_cast<std::intptr_t>(_dynamicViewpoint), KelDisplayList::OP_DYNAMIC_VIEWPOINT);
  Record(reinterpret_cast<std::intptr_t>(_dynamicViewport), KelDisplayList::OP_DYNAMIC_VIEWPORT);
  Record(Value(gp), KelDisplayList::OP_DYNAMIC_GP);
}

void KelCullingRender::SaveLevel() {
  if (_depth >= kInlineLevels && _depth - kInlineLevels == static_cast<int>(_deepLevels.size()))
    _deepLevels.emplace_back();
  if (_depth == _levelsUsed) ++_levelsUsed;
  Level& level = LevelAt(_depth);
  level.saved = _viewpointCopy != nullptr;
  if (level.saved) {
    // The assignment of a plain 3D camera copies every camera field; other
    // classes are cloned.
    const bool plain3D = typeid(*_viewpointCopy) == typeid(Kel3DViewpoint);
    if (plain3D && level.viewpoint && typeid(*level.viewpoint) == typeid(Kel3DViewpoint)) {
      const Kel3DViewpoint& source = static_cast<const Kel3DViewpoint&>(*_viewpointCopy);
      *level.viewpoint3D = source;
      if (const KelViewport* own = source.GetViewport()) level.viewpoint3D->SetViewport(*own);
    } else {
      delete level.viewpoint;
      level.viewpoint = _viewpointCopy->Clone();
      level.viewpoint2D = dynamic_cast<Kel2DViewpoint*>(level.viewpoint);
      level.viewpoint3D = dynamic_cast<Kel3DViewpoint*>(level.viewpoint);
    }
  }
  if (_current3DViewport) level.viewport3D = *_current3DViewport;
  if (_current2DViewport) level.viewport2D = *_current2DViewport;
  level.modelSag = _modelSag;
  level.modelCullingSize = _modelCullingSize;
  level.scaleFactor = _scaleFactor;
}

template <class Matrix>
KelRender* KelCullingRender::PushLevel(const Matrix& m) {
  _dynamicCopies = 0;
  SaveLevel();
  *this *= m;
  if (_displayList) _displayList->AddMatrix(m);
  ++_depth;
  return this;
}

KelRender* KelCullingRender::PushMatrix(Kel4x4Matrix& m) {
  return PushLevel(m);
}

KelRender* KelCullingRender::PushMatrix(Kel3x3Matrix& m) {
  return PushLevel(m);
}

void KelCullingRender::PopMatrix(KelRender*) {
  _dynamicCopies = 0;
  if (_depth == 0) {
    std::fprintf(stderr, "KelCullingRender::PopMatrix: no matrix to pop.\n");
    return;
  }
  --_depth;
  Level& level = LevelAt(_depth);
  if (level.saved && _viewpointCopy) {
    std::swap(_viewpointCopy, level.viewpoint);
    std::swap(_current2DViewpoint, level.viewpoint2D);
    std::swap(_current3DViewpoint, level.viewpoint3D);
    level.saved = 0;
  }
  if (_current3DViewport) *_current3DViewport = level.viewport3D;
  if (_current2DViewport) *_current2DViewport = level.viewport2D;
  _modelSag = level.modelSag;
  _modelCullingSize = level.modelCullingSize;
  _scaleFactor = level.scaleFactor;
  if (!_displayList) return;
  _displayList->AddElem(0, KelDisplayList::OP_POP_MATRIX);
  // The replay's parent render still holds the attribute of the push: give the
  // list its current one back, with its colour operand when it has one.
  if (_currentAttribute.color == KelGraphicAttributeSet::RGBA_COLOR)
    Record(_currentAttribute.SecondWord(), KelDisplayList::OP_VALUE);
  Record(_currentAttribute.FirstWord(), KelDisplayList::OP_ATTRIBUTE);
}

void KelCullingRender::SetPolygonOffsetOn() {
  Record(0, KelDisplayList::OP_POLYGON_OFFSET_ON);
}
void KelCullingRender::SetPolygonOffsetOff() {
  Record(0, KelDisplayList::OP_POLYGON_OFFSET_OFF);
}
void KelCullingRender::SetFurtiveOn() {
  if (_displayList) _displayList->AddElem(0, KelDisplayList::OP_FURTIVE_ON);
}
void KelCullingRender::SetFurtiveOff() {
  if (_displayList) _displayList->AddElem(0, KelDisplayList::OP_FURTIVE_OFF);
}
