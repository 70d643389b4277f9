#include "KelOglRender.h"

#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/images/KelPixelImage.h>
#include <kel/primitives/Kel2DAnnotationTextGP.h>
#include <kel/primitives/Kel2DLineGP.h>
#include <kel/primitives/Kel2DMarkerGP.h>
#include <kel/primitives/Kel2DRectangleGP.h>
#include <kel/primitives/Kel2DSimpleGeometricTextGP.h>
#include <kel/primitives/Kel3DAnnotationTextGP.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DLightSourceGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/render/KelSupport.h>
#include <kel/viewers/KelCharacterFont.h>
#include <kel/viewers/KelColorMap.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include "KelOglFunctions.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kMaxLights = 8;
constexpr int kMaxLineWidth = 10;
constexpr int kMaxTextLength = 4096;

// out = a then b, matrices laid out as OpenGL wants them (row vectors in the
// library's convention).
void Multiply(const float* a, const float* b, float* out) {
  float r[16];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      r[4 * i + j] = a[4 * i] * b[j] + a[4 * i + 1] * b[4 + j] + a[4 * i + 2] * b[8 + j] +
                     a[4 * i + 3] * b[12 + j];
  std::memcpy(out, r, sizeof r);
}

void Transform(const float* m, const float* p, float w, float* out) {
  for (int j = 0; j < 4; ++j)
    out[j] = p[0] * m[j] + p[1] * m[4 + j] + p[2] * m[8 + j] + w * m[12 + j];
}

void Identity(float* m) {
  std::fill(m, m + 16, 0.0f);
  m[0] = m[5] = m[10] = m[15] = 1.0f;
}

// Every index of the array names a whole vertex below `limit` coordinates.
bool InRange(const int* indices, int n, int limit, int& lo, int& hi) {
  lo = limit;
  hi = 0;
  for (int i = 0; i < n; ++i) {
    const int v = indices[i];
    if (v < 0 || v > limit - 3) return false;
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  return n > 0;
}

void ReportBadIndices(const char* operation) {
  static bool reported = false;
  if (reported) return;
  reported = true;
  std::fprintf(stderr, "KelOglRender::%s: vertex index out of range; part not drawn.\n", operation);
}

unsigned short StipplePattern(int type) {
  switch (type) {
    case 2:
      return 0x00FF;  // 8 on, 8 off
    case 3:
      return 0x3333;  // 2 on, 2 off
    case 4:
      return 0x23FF;  // 10 on, 3 off, 1 on, 2 off
    default:
      return 0xFFFF;
  }
}

}  // namespace

struct KelOglRender::FrameState {
  float projection[16];
  int width = 0;
  int height = 0;
  int is3D = 0;
  ELEMENT_TYPE list = ELEMENT_DEFAULT;
  int furtive = 0;
  int strongOffset = 0;
  mutable int lit = -1;
  int lights = 0;
  int clipped = 0;
  int stencil = 0;  // stencil bits of the drawing buffer
  float clipEye[4] = {0, 0, 0, 0};
  // Scratch arrays, grown once and reused by every primitive of the frame.
  std::vector<float> lines;
  std::vector<float> triangles;
  std::vector<float> points;
  std::vector<float> normals;
  // Renders of pushed matrices, one per depth, reused by every push of the
  // frame at that depth: a frame allocates per depth, not per matrix.
  std::vector<std::unique_ptr<KelOglRender>> children;
  int depth = 0;
};

KelOglRender::KelOglRender(const KelSupport& support)
    : KelGraphicRender(support), _ownState(new FrameState) {
  _state = _ownState.get();
  Identity(_modelView);
  Identity(_state->projection);
  if (!_characterFont) _characterFont = KelCharacterFont::GetSharedFont();
}

KelOglRender::KelOglRender(const KelOglRender& o)
    : KelGraphicRender(o),
      _state(o._state),
      _rgbaAlpha(o._rgbaAlpha),
      _lineType(o._lineType),
      _lineWidth(o._lineWidth) {
  std::memcpy(_modelView, o._modelView, sizeof _modelView);
  std::memcpy(_colour, o._colour, sizeof _colour);
}

KelOglRender::~KelOglRender() = default;

// ---- Frame and lists

void KelOglRender::BeginDraw(KelViewpoint& viewpoint) {
  KelGraphicRender::BeginDraw(viewpoint);
  FrameState& s = *_state;
  s.width = static_cast<int>(_width);
  s.height = static_cast<int>(_height);
  s.furtive = 0;
  s.strongOffset = 0;
  s.depth = 0;
  s.lights = 0;
  s.lit = -1;
  s.clipped = 0;
  Identity(_modelView);
  Identity(s.projection);
  s.is3D = _current3DViewpoint != nullptr;
  const float W = _width > 0 ? _width : 1.0f, H = _height > 0 ? _height : 1.0f;
  if (_current3DViewpoint)
    LoadCamera(*_current3DViewpoint, W, H);
  else if (_current2DViewpoint)
    LoadCamera(*_current2DViewpoint, W, H);

  glViewport(0, 0, s.width, s.height);
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(s.projection);
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(_modelView);
  ResetPipeline();
  BeginClipping();
  BeginFog();
  // Outlines or corners of the faces of 3D views, on request.
  glPolygonMode(GL_FRONT_AND_BACK, !s.is3D || _polygonMode == 0 ? GL_FILL
                                   : _polygonMode == 1          ? GL_LINE
                                                                : GL_POINT);

  // The attribute every list starts from.
  _rgbaAlpha = 0;
  _lineType = _lineWidth = 1;
  SetForeground(KelGraphicAttributeSet::DEFAULT_COLOR);
  ApplyLineAttributes();
}

void KelOglRender::BeginDrawLeft(KelViewpoint& viewpoint, const int, const float distance) {
  _eyeOffset = -0.5f * distance;
  BeginDraw(viewpoint);
  _eyeOffset = 0.0f;
}

void KelOglRender::BeginDrawRight(KelViewpoint& viewpoint, const int, const float distance) {
  _eyeOffset = 0.5f * distance;
  BeginDraw(viewpoint);
  _eyeOffset = 0.0f;
}

void KelOglRender::LoadCamera(Kel3DViewpoint& v, const float W, const float H) {
  float l, r, b, t, n, f;
  v.GetFrustum(W, H, _mmInSupportUnit, _pixelRatio, l, r, b, t, n, f);
  if (!(f > n)) f = n + 1.0f;
  // An eye moved by e sees the focus plane's window moved by -e, scaled to
  // the near plane.
  const float focus = v.GetFocusDistance();
  if (_eyeOffset != 0.0f && v.GetProjectionType() == CONIC_PROJECTION && focus > 0.0f && n > 0.0f) {
    const float shift = _eyeOffset * n / focus;
    l -= shift;
    r -= shift;
  }
  float* p = _state->projection;
  std::fill(p, p + 16, 0.0f);
  if (v.GetProjectionType() == CONIC_PROJECTION) {
    // The zoom narrows the window around its centre, as picking sees it.
    if (!(n > 0.0f)) n = f * 1e-4f;
    const float zoom = v.GetZoom() > 0.0f ? v.GetZoom() : 1.0f;
    const float cx = 0.5f * (l + r), cy = 0.5f * (b + t);
    const float hx = 0.5f * (r - l) / zoom, hy = 0.5f * (t - b) / zoom;
    l = cx - hx, r = cx + hx, b = cy - hy, t = cy + hy;
    p[0] = 2 * n / (r - l);
    p[5] = 2 * n / (t - b);
    p[8] = (r + l) / (r - l);
    p[9] = (t + b) / (t - b);
    p[10] = -(f + n) / (f - n);
    p[11] = -1;
    p[14] = -2 * f * n / (f - n);
  } else {
    p[0] = 2 / (r - l);
    p[5] = 2 / (t - b);
    p[10] = -2 / (f - n);
    p[12] = -(r + l) / (r - l);
    p[13] = -(t + b) / (t - b);
    p[14] = -(f + n) / (f - n);
    p[15] = 1;
  }
  std::memcpy(_modelView, v.GetInverseMatrix().GetMatrix(), sizeof _modelView);
  _modelView[12] -= _eyeOffset;
}

void KelOglRender::LoadCamera(Kel2DViewpoint& v, const float W, const float H) {
  // Model to pixels (y down) is affine: read it off three points.
  float x0, y0, x1, y1, x2, y2;
  v.ComputePixelFromModel(0.0f, 0.0f, x0, y0, W, H, _mmInSupportUnit, _pixelRatio);
  v.ComputePixelFromModel(1.0f, 0.0f, x1, y1, W, H, _mmInSupportUnit, _pixelRatio);
  v.ComputePixelFromModel(0.0f, 1.0f, x2, y2, W, H, _mmInSupportUnit, _pixelRatio);
  float* p = _state->projection;
  p[0] = 2 * (x1 - x0) / W;
  p[1] = -2 * (y1 - y0) / H;
  p[4] = 2 * (x2 - x0) / W;
  p[5] = -2 * (y2 - y0) / H;
  p[12] = 2 * x0 / W - 1;
  p[13] = 1 - 2 * y0 / H;
}

void KelOglRender::ResetPipeline() const {
  // Each viewpoint has its own depth range: start its depth afresh. The
  // stencil is the fill of polygons that are not convex, cleared by each.
  glDepthMask(GL_TRUE);
  glGetIntegerv(GL_STENCIL_BITS, &_state->stencil);
  glStencilMask(~0u);
  glClear(GL_DEPTH_BUFFER_BIT | (_state->stencil ? GL_STENCIL_BUFFER_BIT : 0));
  glDisable(GL_STENCIL_TEST);
  glDepthFunc(GL_LEQUAL);
  if (_state->is3D)
    glEnable(GL_DEPTH_TEST);
  else
    glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_CULL_FACE);
  glEnable(GL_NORMALIZE);
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  const float specular[4] = {0.2f, 0.2f, 0.2f, 1.0f};
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 32.0f);
  const float ambient[4] = {0.3f, 0.3f, 0.3f, 1.0f};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  for (int i = 0; i < kMaxLights; ++i) glDisable(GL_LIGHT0 + i);
  glDisable(GL_LIGHTING);
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(1.0f, 1.0f);
  glEnableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

void KelOglRender::BeginClipping() {
  FrameState& s = *_state;
  glDisable(GL_CLIP_PLANE0);
  if (!s.is3D || !_clipped || !_clippingPoint || !_clippingNormal) return;
  // Kept: the side the support's normal points to, as culling keeps it.
  const float* n = _clippingNormal;
  const float* q = _clippingPoint;
  const double plane[4] = {n[0], n[1], n[2], -(n[0] * q[0] + n[1] * q[1] + n[2] * q[2])};
  glClipPlane(GL_CLIP_PLANE0, plane);
  glEnable(GL_CLIP_PLANE0);
  double eye[4];
  glGetClipPlane(GL_CLIP_PLANE0, eye);
  for (int i = 0; i < 4; ++i) s.clipEye[i] = static_cast<float>(eye[i]);
  s.clipped = 1;
}

void KelOglRender::BeginFog() const {
  glDisable(GL_FOG);
  if (!_state->is3D || !_fog) return;
  float r = 0, g = 0, b = 0;
  if (_colorMap) _colorMap->GetColor(KelGraphicAttributeSet::BACKGROUND_COLOR, &r, &g, &b);
  const float fogColour[4] = {r, g, b, 1.0f};
  glFogi(GL_FOG_MODE, GL_LINEAR);
  glFogfv(GL_FOG_COLOR, fogColour);
  glFogf(GL_FOG_START, _current3DViewpoint->GetNear());
  glFogf(GL_FOG_END, _current3DViewpoint->GetFar());
  glEnable(GL_FOG);
}

void KelOglRender::EndDraw(KelViewpoint& viewpoint) {
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glDisable(GL_CLIP_PLANE0);
  glDisable(GL_FOG);
  glDisable(GL_BLEND);
  glDepthMask(GL_TRUE);
  KelGraphicRender::EndDraw(viewpoint);
}

void KelOglRender::BeginDrawDL(ELEMENT_TYPE type) {
  FrameState& s = *_state;
  s.list = type;
  if (type == ELEMENT_CLOSED_VOLUMES || (type > ELEMENT_LIGHT_SOURCES && s.lights == 0)) {
    if (s.lights == 0) {
      // No light source in the scene: a headlight from the eye, a little above
      // and to the left so that the faces of a box differ.
      glPushMatrix();
      glLoadIdentity();
      const float position[4] = {-0.4f, 0.6f, 1, 0};
      const float diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
      const float specular[4] = {0.2f, 0.2f, 0.2f, 1};
      const float black[4] = {0, 0, 0, 1};
      glLightfv(GL_LIGHT0, GL_POSITION, position);
      glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
      glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
      glLightfv(GL_LIGHT0, GL_AMBIENT, black);
      glEnable(GL_LIGHT0);
      glPopMatrix();
      s.lights = -1;
    }
  }
  const bool transparent = type == ELEMENT_TRANSPARENT;
  if (transparent)
    glEnable(GL_BLEND);
  else
    glDisable(GL_BLEND);
  glDepthMask(transparent || s.furtive ? GL_FALSE : GL_TRUE);
  // Every list starts with its own attribute entry, applied on this render.
  ApplyColour();
}

// ---- Attributes

void KelOglRender::ApplyColour() const {
  float a = 1.0f;
  if (_state->list == ELEMENT_TRANSPARENT)
    a = (_rgbaAlpha > 0 && _rgbaAlpha < 255) ? _rgbaAlpha / 255.0f : 0.5f;
  glColor4f(_colour[0], _colour[1], _colour[2], a);
}

void KelOglRender::SetForeground(const int& colourIndex) {
  float r = 1, g = 1, b = 1;
  if (_colorMap) {
    _colorMap->GetColor(colourIndex, &r, &g, &b);
  } else {
    static const KelColorMap defaults;
    defaults.GetColor(colourIndex, &r, &g, &b);
  }
  _colour[0] = r, _colour[1] = g, _colour[2] = b;
  _rgbaAlpha = 0;
  ApplyColour();
}

void KelOglRender::SetForegroundRGBA(const int rgba) {
  unsigned char bytes[4];
  std::memcpy(bytes, &rgba, 4);  // R, G, B, A in memory order
  for (int i = 0; i < 3; ++i) _colour[i] = bytes[i] / 255.0f;
  _rgbaAlpha = bytes[3];
  ApplyColour();
}

void KelOglRender::SetLineAttributes(const int& attribute2, const int& attribute1) {
  _lineType = attribute1;
  _lineWidth = std::clamp(attribute2, 1, kMaxLineWidth);
  ApplyLineAttributes();
}

void KelOglRender::ApplyLineAttributes() const {
  glLineWidth(static_cast<float>(_lineWidth));
  const unsigned short pattern = StipplePattern(_lineType);
  if (pattern == 0xFFFF) {
    glDisable(GL_LINE_STIPPLE);
  } else {
    glLineStipple(1, pattern);
    glEnable(GL_LINE_STIPPLE);
  }
}

void KelOglRender::SetPolygonOffsetOn() {
  _state->strongOffset = 1;
  glPolygonOffset(2.0f, 2.0f);
}

void KelOglRender::SetPolygonOffsetOff() {
  _state->strongOffset = 0;
  glPolygonOffset(1.0f, 1.0f);
}

void KelOglRender::SetFurtiveOn() {
  _state->furtive = 1;
  glDisable(GL_DEPTH_TEST);
  glDepthMask(GL_FALSE);
}

void KelOglRender::SetFurtiveOff() {
  _state->furtive = 0;
  if (_state->is3D) glEnable(GL_DEPTH_TEST);
  glDepthMask(_state->list == ELEMENT_TRANSPARENT ? GL_FALSE : GL_TRUE);
}

void KelOglRender::SetLighting(bool on) const {
  if (_state->lit == int(on)) return;
  _state->lit = on;
  if (on)
    glEnable(GL_LIGHTING);
  else
    glDisable(GL_LIGHTING);
}

// ---- Matrices

void KelOglRender::LoadMatrices() const {
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(_state->projection);
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(_modelView);
}

KelOglRender* KelOglRender::PushedRender() {
  FrameState& s = *_state;
  const std::size_t depth = static_cast<std::size_t>(s.depth++);
  if (depth == s.children.size()) {
    s.children.emplace_back(new KelOglRender(*this));
    return s.children.back().get();
  }
  KelOglRender* child = s.children[depth].get();
  child->AssignFrom(*this);
  child->_state = _state;
  child->_rgbaAlpha = _rgbaAlpha;
  child->_lineType = _lineType;
  child->_lineWidth = _lineWidth;
  std::memcpy(child->_modelView, _modelView, sizeof _modelView);
  std::memcpy(child->_colour, _colour, sizeof _colour);
  return child;
}

template <class Matrix>
KelRender* KelOglRender::PushFrame(const Matrix& m) {
  KelOglRender* child = PushedRender();
  *child *= m;
  Multiply(m.GetMatrix(), _modelView, child->_modelView);
  glLoadMatrixf(child->_modelView);
  return child;
}

KelRender* KelOglRender::PushMatrix(Kel4x4Matrix& m) {
  return PushFrame(m);
}

KelRender* KelOglRender::PushMatrix(Kel3x3Matrix& m) {
  return PushFrame(m);
}

void KelOglRender::PopMatrix(KelRender* child) {
  // The child stays in the frame's pool for the next push at its depth.
  if (child && _state->depth > 0) --_state->depth;
  // The child may have changed the colour and the lines: ours come back.
  glLoadMatrixf(_modelView);
  ApplyColour();
  ApplyLineAttributes();
}

int KelOglRender::Project(const float* point, float* window) const {
  const FrameState& s = *_state;
  float eye[4], clip[4];
  Transform(_modelView, point, 1.0f, eye);
  if (s.clipped && s.clipEye[0] * eye[0] + s.clipEye[1] * eye[1] + s.clipEye[2] * eye[2] +
                           s.clipEye[3] * eye[3] <
                       0.0f)
    return 0;
  Transform(s.projection, eye, eye[3], clip);
  if (!(clip[3] > 1e-12f)) return 0;
  const float z = 0.5f * (clip[2] / clip[3] + 1.0f);
  if (s.is3D && (z < 0.0f || z > 1.0f)) return 0;
  window[0] = 0.5f * (clip[0] / clip[3] + 1.0f) * s.width;
  window[1] = 0.5f * (clip[1] / clip[3] + 1.0f) * s.height;
  window[2] = z;
  return 1;
}

void KelOglRender::BeginWindowSpace() const {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  // Window pixels, y up, depth as given in [0, 1].
  glOrtho(0.0, _state->width, 0.0, _state->height, 0.0, -1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_CLIP_PLANE0);
  glDisable(GL_POLYGON_OFFSET_FILL);
  SetLighting(false);
}

void KelOglRender::EndWindowSpace() const {
  LoadMatrices();
  if (_state->clipped) glEnable(GL_CLIP_PLANE0);
  glEnable(GL_POLYGON_OFFSET_FILL);
}

// ---- Lines and markers

void KelOglRender::ImmediateDraw3DPolyline(const float* points, const int count) {
  if (!points || count < 2) return;
  SetLighting(false);
  glVertexPointer(3, GL_FLOAT, 0, points);
  glDrawArrays(GL_LINE_STRIP, 0, count);
}

void KelOglRender::Draw3DPolyline(Kel3DPolylineGP& gp) {
  ImmediateDraw3DPolyline(gp.GetPoints(), gp.GetNbPoints());
}

void KelOglRender::Draw3DLine(Kel3DLineGP& gp) {
  const int n = gp.GetNbPoints() & ~1;
  if (!gp.GetPoints() || n < 2) return;
  SetLighting(false);
  glVertexPointer(3, GL_FLOAT, 0, gp.GetPoints());
  glDrawArrays(GL_LINES, 0, n);
}

void KelOglRender::Draw3DEdge(Kel3DEdgeGP& gp) {
  // Indices were checked against the face when the edge was made.
  if (!gp.GetVertices() || gp.GetNbIndices() < 2) return;
  SetLighting(false);
  glVertexPointer(3, GL_FLOAT, sizeof(float), gp.GetVertices());
  glDrawElements(GL_LINE_STRIP, gp.GetNbIndices(), GL_UNSIGNED_SHORT, gp.GetIndices());
}

void KelOglRender::Draw3DMarker(Kel3DMarkerGP& gp) {
  DrawMarkers(gp.GetPoints(), gp.GetNbPoints(), 3, gp.GetSymbolType());
}

void KelOglRender::DrawMarkers(const float* p, const int n, const int dimension, const int type) {
  if (!p || n <= 0) return;
  if (type == CLOUD_POINT_SYMBOL) {
    SetLighting(false);
    glPointSize(1.0f);
    glVertexPointer(dimension, GL_FLOAT, 0, p);
    glDrawArrays(GL_POINTS, 0, n);
    return;
  }
  const float h = static_cast<float>(
      _characterFont ? static_cast<KelCharacterFont*>(_characterFont)->GetMarkerOffset() : 3);
  std::vector<float>& lines = _state->lines;
  std::vector<float>& tris = _state->triangles;
  lines.clear();
  tris.clear();
  auto line = [&lines](float x0, float y0, float x1, float y1, float z) {
    lines.insert(lines.end(), {x0, y0, z, x1, y1, z});
  };
  auto tri = [&tris](float x0, float y0, float x1, float y1, float x2, float y2, float z) {
    tris.insert(tris.end(), {x0, y0, z, x1, y1, z, x2, y2, z});
  };
  constexpr int kRound = 12;
  for (int i = 0; i < n; ++i) {
    const float* q = p + dimension * i;
    const float point[3] = {q[0], q[1], dimension == 3 ? q[2] : 0.0f};
    float w[3];
    if (!Project(point, w)) continue;
    // Pixel centres, so that one-pixel lines fall on whole pixels.
    const float x = std::floor(w[0]) + 0.5f, y = std::floor(w[1]) + 0.5f, z = w[2];
    switch (type) {
      case 2:
        line(x - h, y - h, x + h, y + h, z);
        line(x - h, y + h, x + h, y - h, z);
        break;
      case 3:
        line(x - h, y, x + h, y, z);
        line(x, y - h, x, y + h, z);
        line(x - h, y - h, x + h, y + h, z);
        line(x - h, y + h, x + h, y - h, z);
        break;
      case 4:
        line(x - h, y - h, x + h, y - h, z);
        line(x + h, y - h, x + h, y + h, z);
        line(x + h, y + h, x - h, y + h, z);
        line(x - h, y + h, x - h, y - h, z);
        break;
      case 5:
        tri(x - h - 0.5f, y - h - 0.5f, x + h + 0.5f, y - h - 0.5f, x + h + 0.5f, y + h + 0.5f, z);
        tri(x - h - 0.5f, y - h - 0.5f, x + h + 0.5f, y + h + 0.5f, x - h - 0.5f, y + h + 0.5f, z);
        break;
      case 6:
      case 7:
        for (int k = 0; k < kRound; ++k) {
          const double a0 = 2 * M_PI * k / kRound, a1 = 2 * M_PI * (k + 1) / kRound;
          const float r = type == 6 ? h : h + 0.5f;
          const float x0 = x + r * float(std::cos(a0)), y0 = y + r * float(std::sin(a0));
          const float x1 = x + r * float(std::cos(a1)), y1 = y + r * float(std::sin(a1));
          if (type == 6)
            line(x0, y0, x1, y1, z);
          else
            tri(x, y, x0, y0, x1, y1, z);
        }
        break;
      case 8:
        line(x - h, y - h, x + h, y - h, z);
        line(x + h, y - h, x, y + h, z);
        line(x, y + h, x - h, y - h, z);
        break;
      case 9:
        tri(x - h - 0.5f, y - h - 0.5f, x + h + 0.5f, y - h - 0.5f, x, y + h + 0.5f, z);
        break;
      default:
        line(x - h, y, x + h + 1, y, z);
        line(x, y - h, x, y + h + 1, z);
        break;
    }
  }
  if (lines.empty() && tris.empty()) return;
  BeginWindowSpace();
  if (!lines.empty()) {
    glVertexPointer(3, GL_FLOAT, 0, lines.data());
    glDrawArrays(GL_LINES, 0, static_cast<int>(lines.size() / 3));
  }
  if (!tris.empty()) {
    glVertexPointer(3, GL_FLOAT, 0, tris.data());
    glDrawArrays(GL_TRIANGLES, 0, static_cast<int>(tris.size() / 3));
  }
  EndWindowSpace();
}

// ---- Faces

void KelOglRender::DrawFaceArrays(const Kel3DFaceGP& gp, const float* oneNormal) {
  const float* vertices = gp.GetVertexArray();
  const int limit = gp.GetNbVertexCoords();
  if (!vertices || limit < 3) return;
  const float* normals = gp.GetNormals();
  const bool perVertex = !oneNormal && normals && gp.GetNbNormalCoords() >= limit;
  SetLighting(oneNormal || perVertex);
  if (oneNormal) glNormal3fv(oneNormal);
  // Indices are positions in the coordinate array (three per vertex): with a
  // one-float stride they address the arrays as they are, without a copy.
  glVertexPointer(3, GL_FLOAT, sizeof(float), vertices);
  if (perVertex) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, sizeof(float), normals);
  }
  const KelOglFunctions& gl = KelOglFunctions::Get();
  int lo, hi;
  if (gp.GetTriangles() && gp.GetNbTriangles() > 0) {
    const int n = 3 * gp.GetNbTriangles();
    if (InRange(gp.GetTriangles(), n, limit, lo, hi))
      gl.DrawRangeElements(GL_TRIANGLES, lo, hi, n, GL_UNSIGNED_INT, gp.GetTriangles());
    else
      ReportBadIndices("Draw3DFace");
  }
  const struct {
    const int* indices;
    const int* lengths;
    int count;
    GLenum mode;
  } runs[2] = {{gp.GetStrips(), gp.GetStripLengths(), gp.GetNbStrips(), GL_TRIANGLE_STRIP},
               {gp.GetFans(), gp.GetFanLengths(), gp.GetNbFans(), GL_TRIANGLE_FAN}};
  for (const auto& run : runs) {
    if (!run.indices || !run.lengths) continue;
    const int* first = run.indices;
    for (int k = 0; k < run.count; ++k) {
      const int length = run.lengths[k];
      if (length >= 3) {
        if (InRange(first, length, limit, lo, hi))
          gl.DrawRangeElements(run.mode, lo, hi, length, GL_UNSIGNED_INT, first);
        else
          ReportBadIndices("Draw3DFace");
      }
      first += length;
    }
  }
  if (perVertex) glDisableClientState(GL_NORMAL_ARRAY);
}

void KelOglRender::Draw3DFace(Kel3DFaceGP& gp) {
  const float* n = gp.GetNbNormalCoords() == 3 ? gp.GetNormals() : nullptr;
  DrawFaceArrays(gp, n);
}

void KelOglRender::Draw3DPlanarFace(Kel3DPlanarFaceGP& gp) {
  DrawFaceArrays(gp, gp.GetNormal());
}

void KelOglRender::Draw3DCylinder(Kel3DCylinderGP& gp, const int cap) {
  const int n = gp.GetNbPoints();
  const float* p = gp.GetPoints();
  if (!p || n < 3) return;
  const float* a = gp.GetDirection();
  const float* h = gp.GetAxisVector();
  const float* base = gp.GetBase();
  // Which way the points turn about the direction sets the windings that
  // make the given normals the front ones.
  const float u[3] = {p[3] - p[0], p[4] - p[1], p[5] - p[2]};
  const float v[3] = {p[6] - p[0], p[7] - p[1], p[8] - p[2]};
  const float turn = (u[1] * v[2] - u[2] * v[1]) * a[0] + (u[2] * v[0] - u[0] * v[2]) * a[1] +
                     (u[0] * v[1] - u[1] * v[0]) * a[2];
  const bool counterClockwise = turn > 0.0f;
  std::vector<float>& verts = _state->triangles;
  std::vector<float>& norms = _state->normals;
  verts.clear();
  norms.clear();
  for (int k = 0; k <= n; ++k) {
    const float* q = p + 3 * (k % n);
    float r[3] = {q[0] - base[0], q[1] - base[1], q[2] - base[2]};
    const float along = r[0] * a[0] + r[1] * a[1] + r[2] * a[2];
    for (int j = 0; j < 3; ++j) r[j] -= along * a[j];
    const float top[3] = {q[0] + h[0], q[1] + h[1], q[2] + h[2]};
    // Strip triangle (first0, second0, first1): its normal is
    // (second0 - first0) x (first1 - first0), outwards when the top comes first
    // for points turning counter-clockwise about the direction.
    const float* first = counterClockwise ? top : q;
    const float* second = counterClockwise ? q : top;
    verts.insert(verts.end(), {first[0], first[1], first[2], second[0], second[1], second[2]});
    norms.insert(norms.end(), {r[0], r[1], r[2], r[0], r[1], r[2]});
  }
  SetLighting(true);
  glEnableClientState(GL_NORMAL_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, verts.data());
  glNormalPointer(GL_FLOAT, 0, norms.data());
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 2 * (n + 1));
  glDisableClientState(GL_NORMAL_ARRAY);

  std::vector<float>& ring = _state->points;
  const bool bottom = cap != 2, top = cap != 1;
  for (int side = 0; side < 2; ++side) {
    if ((side == 0 && !bottom) || (side == 1 && !top)) continue;
    const float sign = side == 0 ? -1.0f : 1.0f;
    const float* offset = side == 0 ? nullptr : h;
    ring.clear();
    // Counter-clockwise seen from the side the cap's normal points to.
    const bool reverse = (side == 0) == counterClockwise;
    for (int k = 0; k < n; ++k) {
      const float* q = p + 3 * (reverse ? n - 1 - k : k);
      for (int j = 0; j < 3; ++j) ring.push_back(q[j] + (offset ? offset[j] : 0.0f));
    }
    glNormal3f(sign * a[0], sign * a[1], sign * a[2]);
    glVertexPointer(3, GL_FLOAT, 0, ring.data());
    glDrawArrays(GL_TRIANGLE_FAN, 0, n);
  }
}

void KelOglRender::DrawWireframe3DCylinder(Kel3DCylinderGP& gp) {
  const int n = gp.GetNbPoints();
  const float* p = gp.GetPoints();
  if (!p || n < 2) return;
  const float* h = gp.GetAxisVector();
  std::vector<float>& lines = _state->lines;
  lines.clear();
  for (int k = 0; k < n; ++k) {
    const float* q = p + 3 * k;
    const float* r = p + 3 * ((k + 1) % n);
    lines.insert(lines.end(), {q[0], q[1], q[2], r[0], r[1], r[2]});
    lines.insert(lines.end(),
                 {q[0] + h[0], q[1] + h[1], q[2] + h[2], r[0] + h[0], r[1] + h[1], r[2] + h[2]});
  }
  for (int g = 0; g < 4; ++g) {
    const float* q = p + 3 * (g * n / 4);
    lines.insert(lines.end(), {q[0], q[1], q[2], q[0] + h[0], q[1] + h[1], q[2] + h[2]});
  }
  SetLighting(false);
  glVertexPointer(3, GL_FLOAT, 0, lines.data());
  glDrawArrays(GL_LINES, 0, static_cast<int>(lines.size() / 3));
}

void KelOglRender::DrawLightSource(Kel3DLightSourceGP& gp) {
  FrameState& s = *_state;
  if (s.lights < 0 || s.lights >= kMaxLights) return;
  const GLenum light = GL_LIGHT0 + s.lights++;
  const float black[4] = {0, 0, 0, 1};
  glLightfv(light, GL_POSITION, gp.GetPosition());
  glLightfv(light, GL_DIFFUSE, gp.GetDiffuse());
  glLightfv(light, GL_SPECULAR, gp.GetSpecular());
  glLightfv(light, GL_AMBIENT, black);
  glEnable(light);
}

// ---- Texts

void KelOglRender::Draw3DAnnotationText(Kel3DAnnotationTextGP& gp) {
  ImmediateDraw3DAnnotationText(gp.GetPosition(), gp.GetText(), gp.GetAnchor());
}

void KelOglRender::ImmediateDraw3DAnnotationText(const float* position, const char* text,
                                                 AnchorPoint anchor) {
  float w[3];
  if (!position || !text || !Project(position, w)) return;
  DrawText(w, text, anchor, 0);
}

void KelOglRender::DrawText(const float* window, const char* text, AnchorPoint anchor, int font) {
  const auto* characters = static_cast<const KelCharacterFont*>(_characterFont);
  if (!characters) return;
  int cw = 0, ch = 0, descent = 0;
  characters->GetCharacterSize(font, &cw, &ch, &descent);
  const int n = static_cast<int>(strnlen(text, kMaxTextLength));
  const int a = (anchor >= BOTTOM_LEFT && anchor <= TOP_RIGHT) ? int(anchor) : 0;
  const int boxWidth = n * cw;
  const int px = static_cast<int>(std::lround(window[0]));
  const int py = static_cast<int>(std::lround(window[1]));
  const int x0 = px - (a % 3 == 0 ? 0 : a % 3 == 1 ? boxWidth / 2 : boxWidth);
  const int y0 = py - (a / 3 == 0 ? 0 : a / 3 == 1 ? ch / 2 : ch);
  SetLighting(false);
  glDisable(GL_DEPTH_TEST);
  ApplyColour();
  KelOglFunctions::Get().WindowPos3f(float(x0), float(y0 + descent), 0.0f);
  for (int i = 0; i < n; ++i) {
    const KelCharacterFont::Glyph* g =
        characters->GetGlyph(font, static_cast<unsigned char>(text[i]));
    if (g && g->bits)
      glBitmap(g->width, g->height, float(-g->left), float(-g->bottom), float(g->advance), 0.0f,
               g->bits);
    else
      glBitmap(0, 0, 0.0f, 0.0f, float(g ? g->advance : cw), 0.0f, nullptr);
  }
  if (_state->is3D && !_state->furtive) glEnable(GL_DEPTH_TEST);
}

// ---- 2D immediate operations

void KelOglRender::ImmediateDraw2DPolyline(const float* points, const int count) {
  if (!points || count < 2) return;
  SetLighting(false);
  glVertexPointer(2, GL_FLOAT, 0, points);
  glDrawArrays(GL_LINE_STRIP, 0, count);
}

void KelOglRender::ImmediateDraw2DPolygon(const float* points, const int count, const int filled) {
  if (!points || count < 2) return;
  SetLighting(false);
  glVertexPointer(2, GL_FLOAT, 0, points);
  if (!filled || count < 3) {
    glDrawArrays(GL_LINE_LOOP, 0, count);
    return;
  }
  if (IsConvex(points, count) || !_state->stencil) {
    glDrawArrays(GL_TRIANGLE_FAN, 0, count);
    return;
  }
  // Any outline: the fan flips a stencil bit on every pixel it covers, so the
  // pixels covered an odd number of times are the inside; drawing the fan
  // again colours those and clears the bit for the next polygon.
  glEnable(GL_STENCIL_TEST);
  glStencilMask(1);
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glDepthMask(GL_FALSE);
  glStencilFunc(GL_ALWAYS, 0, 1);
  glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
  glDrawArrays(GL_TRIANGLE_FAN, 0, count);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(_state->list == ELEMENT_TRANSPARENT || _state->furtive ? GL_FALSE : GL_TRUE);
  glStencilFunc(GL_EQUAL, 1, 1);
  glStencilOp(GL_ZERO, GL_ZERO, GL_ZERO);
  glDrawArrays(GL_TRIANGLE_FAN, 0, count);
  glDisable(GL_STENCIL_TEST);
}

int KelOglRender::IsConvex(const float* p, const int n) {
  // Every turn to the same side, and the outline going back and forth along
  // x only once (a star turns one way too).
  int sign = 0, xTurns = 0, xWay = 0;
  for (int i = 0; i < n; ++i) {
    const float* a = p + 2 * i;
    const float* b = p + 2 * ((i + 1) % n);
    const float* c = p + 2 * ((i + 2) % n);
    const float cross = (b[0] - a[0]) * (c[1] - b[1]) - (b[1] - a[1]) * (c[0] - b[0]);
    const int turn = cross > 0.0f ? 1 : cross < 0.0f ? -1 : 0;
    if (turn != 0) {
      if (sign != 0 && turn != sign) return 0;
      sign = turn;
    }
    const float dx = b[0] - a[0];
    const int way = dx > 0.0f ? 1 : dx < 0.0f ? -1 : 0;
    if (way != 0) {
      if (xWay != 0 && way != xWay) ++xTurns;
      xWay = way;
    }
  }
  return xTurns <= 2;
}

void KelOglRender::ImmediateDraw2DImagePixel(const float* position, const KelPixelImage* image,
                                             const int alpha) {
  if (!position || !image || !image->GetPixelsToRead()) return;
  int w = 0, h = 0;
  image->GetSize(w, h);
  if (w <= 0 || h <= 0) return;
  const float point[3] = {position[0], position[1], 0.0f};
  float win[3];
  if (!Project(point, win)) return;
  const GLenum format = KelOglPixelFormat(*image);
  SetLighting(false);
  // In alpha mode the image's alpha blends it over what lies below.
  const bool blend = alpha && format == GL_RGBA;
  if (blend) glEnable(GL_BLEND);
  // The image's first row is its bottom one, as OpenGL draws them. A corner
  // on a pixel's edge starts at that pixel, whatever the rounding of the
  // projection.
  KelOglFunctions::Get().WindowPos3f(std::floor(win[0] + 0.5f), std::floor(win[1] + 0.5f), 0.0f);
  glDrawPixels(w, h, format, GL_UNSIGNED_BYTE, image->GetPixelsToRead());
  if (blend && _state->list != ELEMENT_TRANSPARENT) glDisable(GL_BLEND);
}

// ---- 2D primitives

void KelOglRender::Draw2DLine(Kel2DLineGP& gp) {
  const int n = gp.GetNbPoints() & ~1;
  if (!gp.GetPoints() || n < 2) return;
  SetLighting(false);
  glVertexPointer(2, GL_FLOAT, 0, gp.GetPoints());
  glDrawArrays(GL_LINES, 0, n);
}

void KelOglRender::Draw2DMarker(Kel2DMarkerGP& gp) {
  DrawMarkers(gp.GetPoints(), gp.GetNbPoints(), 2, gp.GetSymbolType());
}

void KelOglRender::Draw2DRectangle(Kel2DRectangleGP& gp) {
  const float x0 = gp.GetXMin(), x1 = gp.GetXMax(), y0 = gp.GetYMin(), y1 = gp.GetYMax();
  const float corners[8] = {x0, y0, x1, y0, x1, y1, x0, y1};
  SetLighting(false);
  glVertexPointer(2, GL_FLOAT, 0, corners);
  glDrawArrays(gp.GetMode() == 1 ? GL_TRIANGLE_FAN : GL_LINE_LOOP, 0, 4);
}

void KelOglRender::Draw2DAnnotationText(Kel2DAnnotationTextGP& gp) {
  Draw2DText(gp.GetPosition(), gp.GetText(), gp.GetAnchor(), 0);
}

void KelOglRender::Draw2DSimpleGeometricText(Kel2DSimpleGeometricTextGP& gp) {
  Draw2DText(gp.GetPosition(), gp.GetText(), gp.GetAnchor(),
             GetGeometricFontNumber(gp.GetHeight()));
}

void KelOglRender::Draw2DText(const float* position, const char* text, AnchorPoint anchor,
                              int font) {
  const float point[3] = {position[0], position[1], 0.0f};
  float w[3];
  if (!text || !Project(point, w)) return;
  DrawText(w, text, anchor, font);
}
