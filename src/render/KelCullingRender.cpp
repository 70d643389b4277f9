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

#include <algorithm>
#include <cmath>
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

// Identity but for the translation row, with the determinant that says so.
bool IsTranslation(const Kel4x4Matrix& m) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 4; ++j)
      if (m.GetCoefficient(i, j) != (i == j ? 1.0f : 0.0f)) return false;
  return m.GetDeterminant() == 1.0f;
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

static_assert(KelDisplayList::NB_LISTS == 7, "one count of recorded pushes per list");

void KelCullingRender::Record(const std::intptr_t value, const int opcode) {
  RecordIn(_currentElementList, value, opcode);
}

void KelCullingRender::MatrixLists(int* first, int* last) const {
  if (_displayList && _displayList->GetType() == DISPLAY_LIST_2D) {
    *first = *last = ELEMENT_OVERLAY_DEFAULT;
  } else {
    *first = ELEMENT_CLOSED_VOLUMES;
    *last = ELEMENT_DEFAULT;
  }
}

void KelCullingRender::RecordIn(int list, const std::intptr_t value, const int opcode) {
  if (!_displayList) return;
  if (_recorded[list] < _depth) RecordPushes(list);
  _displayList->AddElem(list, value, opcode);
}

void KelCullingRender::RecordInAll(const std::intptr_t value, const int opcode) {
  int first, last;
  MatrixLists(&first, &last);
  for (int list = first; list <= last; ++list) RecordIn(list, value, opcode);
}

void KelCullingRender::RecordPushes(int list) {
  // Lists outside those matrices go to (the lights' list) never get them.
  int first, last;
  MatrixLists(&first, &last);
  if (list < first || list > last) return;
  for (int d = _recorded[list]; d < _depth; ++d) {
    Level& level = LevelAt(d);
    // 3x3 pushes are in every list already.
    if (level.flat) continue;
    if (!level.copy) level.copy = _displayList->CopyMatrix(*level.matrix);
    _displayList->AddElem(list, level.copy, KelDisplayList::OP_PUSH_MATRIX_4X4);
  }
  _recorded[list] = _depth;
}

void KelCullingRender::BeginDraw(KelViewpoint& viewpoint) {
  _dynamicCopies = 0;
  _dynamicViewpoint = nullptr;
  _dynamicViewport = nullptr;
  // Pushes left open by an earlier pass: their cameras stay as spares.
  _depth = 0;
  _cameraDepth = 0;
  for (int d = 0; d < _levelsUsed; ++d) LevelAt(d).saved = 0;
  for (int& n : _recorded) n = 0;
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

void KelCullingRender::EndDraw(KelViewpoint& viewpoint) {
  // Pushes left open are in the lists, as if recorded when made.
  int first, last;
  MatrixLists(&first, &last);
  for (int list = first; list <= last && _displayList && _depth > 0; ++list)
    if (_recorded[list] < _depth) RecordPushes(list);
  KelRepRender::EndDraw(viewpoint);
}

void KelCullingRender::InheritForeground(int colour) {
  RecordInAll(colour, KelDisplayList::OP_INHERIT_FOREGROUND);
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
  if (_current3DViewpoint) eye = Eye3D();
  const float* p = gp.GetBase();
  const float* a = gp.GetDirection();
  const float s = (p[0] - eye.x) * a[0] + (p[1] - eye.y) * a[1] + (p[2] - eye.z) * a[2];
  Record(s > 0.0f ? 1 : 2, KelDisplayList::OP_VALUE);
  Record(Value(gp), KelDisplayList::OP_3D_CYLINDER);
}

void KelCullingRender::DrawDynamicGP(KelDynamicGP& gp) {
  if (!_displayList) return;
  if (!_dynamicCopies) {
    Camera3D();
    _dynamicViewpoint =
        _viewpointCopy ? _displayList->DuplicateViewpoint(*_viewpointCopy) : nullptr;
    _dynamicViewport = _viewportCopy ? _displayList->DuplicateViewport(*_viewportCopy) : nullptr;
    _dynamicCopies = 1;
  }
  Record(reinterpret_cast<std::intptr_t>(_dynamicViewpoint), KelDisplayList::OP_DYNAMIC_VIEWPOINT);
  Record(reinterpret_cast<std::intptr_t>(_dynamicViewport), KelDisplayList::OP_DYNAMIC_VIEWPORT);
  Record(Value(gp), KelDisplayList::OP_DYNAMIC_GP);
}

KelCullingRender::Level& KelCullingRender::OpenLevel() {
  if (_depth >= kInlineLevels && _depth - kInlineLevels == static_cast<int>(_deepLevels.size()))
    _deepLevels.emplace_back();
  if (_depth == _levelsUsed) ++_levelsUsed;
  Level& level = LevelAt(_depth);
  level.saved = 0;
  level.distancesOnly = 0;
  level.modelSag = _modelSag;
  level.modelCullingSize = _modelCullingSize;
  level.scaleFactor = _scaleFactor;
  return level;
}

void KelCullingRender::SaveCamera(Level& level) const {
  level.saved = 1;
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

void KelCullingRender::SettleCamera() const {
  // The camera takes the pushes' inverses it missed, in order, as a camera
  // moved at each push would have: the same values. Its state at the depth it
  // starts from is kept for the pops.
  _cameraBehind = 0;
  if (!_current3DViewpoint || _cameraDepth >= _depth) return;
  Level& from = LevelAt(_cameraDepth);
  if (!from.saved) SaveCamera(from);
  for (int d = _cameraDepth; d < _depth; ++d) *_current3DViewpoint *= LevelAt(d).inverse;
  _cameraDepth = _depth;
}

KelRender* KelCullingRender::PushMatrix(Kel4x4Matrix& m) {
  static const Kel4x4Matrix identity;
  _dynamicCopies = 0;
  if (!_deferredMoves) {
    // The whole camera moved and the push recorded in every list at once.
    Camera3D();
    Level& level = OpenLevel();
    level.flat = 0;
    level.matrix = &m;
    level.copy = 0;
    if (_viewpointCopy) SaveCamera(level);
    if (_current3DViewport) level.viewport3D = *_current3DViewport;
    KelRender::operator*=(m);
    ++_depth;
    _cameraDepth = _depth;
    int first, last;
    MatrixLists(&first, &last);
    for (int list = first; list <= last && _displayList; ++list) RecordPushes(list);
    return this;
  }
  Level& level = OpenLevel();
  level.flat = 0;
  level.matrix = &m;
  level.copy = 0;
  // What KelRender::operator*= moves, the camera aside.
  level.inverse = identity;  // a singular matrix leaves it so
  if (IsTranslation(m)) {
    // What GetInvertedMatrix gives a translation, without its general part.
    Kelvector3f t;
    m.GetTranslation(t);
    level.inverse.SetTranslation(-t, 1.0f);
  } else {
    m.GetInvertedMatrix(level.inverse);
  }
  const float s = level.inverse.GetScaling();
  if (_current3DViewport && !TranslatePlanes(level)) {
    level.viewport3D = *_current3DViewport;
    *_current3DViewport *= level.inverse;
  }
  _modelCullingSize *= s;
  _modelSag *= s;
  if (_current3DViewpoint) {
    level.eye = Eye3D();
    _eye = level.inverse * level.eye;
    _cameraBehind = 1;
  }
  ++_depth;
  return this;
}

int KelCullingRender::TranslatePlanes(Level& level) {
  // The viewport's move (Kel3DViewport::operator*=) of a plane under a
  // translation t: the normal n divided by its length l, d' = (d - n.t) / l,
  // in double. Where n / l gives n back, only d' is left to work out, by the
  // same operations: the same values without the square root and divisions.
  const Kel4x4Matrix& m = level.inverse;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      if (m.GetCoefficient(i, j) != (i == j ? 1.0f : 0.0f)) return 0;
  float *a, *b, *c, *d;
  _current3DViewport->GetPlanes(&a, &b, &c, &d);
  const int n = _current3DViewport->GetNbPlanes();
  for (int i = 0; i < n; ++i) {
    UnitNormal& u = _normals[i];
    if (!(u.a == a[i] && u.b == b[i] && u.c == c[i])) {
      const double x = a[i], y = b[i], z = c[i];
      const double length = std::sqrt(x * x + y * y + z * z);
      if (!(length > 0.0 && std::isfinite(length))) return 0;
      u.a = a[i], u.b = b[i], u.c = c[i];
      u.length = length;
      u.kept = static_cast<float>(x / length) == a[i] && static_cast<float>(y / length) == b[i] &&
               static_cast<float>(z / length) == c[i];
    }
    if (!u.kept) return 0;
  }
  Kelvector3f t;
  m.GetTranslation(t);
  for (int i = 0; i < n; ++i) {
    level.distances[i] = d[i];
    const double x = a[i], y = b[i], z = c[i];
    const double moved = d[i] - (x * t.x + y * t.y + z * t.z);
    const double length = _normals[i].length;
    d[i] = static_cast<float>(length == 1.0 ? moved : moved / length);
  }
  level.distancesOnly = 1;
  return 1;
}

KelRender* KelCullingRender::PushMatrix(Kel3x3Matrix& m) {
  _dynamicCopies = 0;
  // Recorded in every list at once: a 3x3 push is never cancelled by its pop.
  if (_displayList) {
    int first, last;
    MatrixLists(&first, &last);
    for (int list = first; list <= last; ++list) {
      if (_recorded[list] < _depth) RecordPushes(list);
      _recorded[list] = _depth + 1;
    }
    _displayList->AddMatrix(m);
  }
  Camera3D();
  Level& level = OpenLevel();
  level.flat = 1;
  if (_viewpointCopy) SaveCamera(level);
  if (_current2DViewport) level.viewport2D = *_current2DViewport;
  KelRender::operator*=(m);
  ++_depth;
  _cameraDepth = _depth;
  return this;
}

void KelCullingRender::PopMatrix(KelRender*) {
  _dynamicCopies = 0;
  if (_depth == 0) {
    std::fprintf(stderr, "KelCullingRender::PopMatrix: no matrix to pop.\n");
    return;
  }
  --_depth;
  if (_depth + 1 < _levelsUsed) LevelAt(_depth + 1).saved = 0;
  Level& level = LevelAt(_depth);
  if (level.flat) {
    if (_current2DViewport) *_current2DViewport = level.viewport2D;
  } else if (level.distancesOnly) {
    if (_current3DViewport) {
      float *a, *b, *c, *d;
      _current3DViewport->GetPlanes(&a, &b, &c, &d);
      std::copy(level.distances, level.distances + _current3DViewport->GetNbPlanes(), d);
    }
    _eye = level.eye;
  } else {
    if (_current3DViewport) *_current3DViewport = level.viewport3D;
    _eye = level.eye;
  }
  _modelSag = level.modelSag;
  _modelCullingSize = level.modelCullingSize;
  // A camera brought below this depth goes back to the nearest depth it was
  // kept at, and takes the pushes from there again when asked.
  if (_cameraDepth > _depth) {
    int kept = _depth;
    while (kept > 0 && !LevelAt(kept).saved) --kept;
    Level& back = LevelAt(kept);
    if (back.saved && _viewpointCopy) {
      std::swap(_viewpointCopy, back.viewpoint);
      std::swap(_current2DViewpoint, back.viewpoint2D);
      std::swap(_current3DViewpoint, back.viewpoint3D);
      back.saved = 0;
    }
    _cameraDepth = kept;
  }
  _cameraBehind = _current3DViewpoint && _cameraDepth < _depth;
  _scaleFactor = level.scaleFactor;
  if (!_displayList) return;
  for (int list = 0; list < KelDisplayList::NB_LISTS; ++list) {
    if (_recorded[list] > _depth) {
      _displayList->AddElem(list, 0, KelDisplayList::OP_POP_MATRIX);
      _recorded[list] = _depth;
    }
  }
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
  RecordInAll(0, KelDisplayList::OP_FURTIVE_ON);
}
void KelCullingRender::SetFurtiveOff() {
  RecordInAll(0, KelDisplayList::OP_FURTIVE_OFF);
}
