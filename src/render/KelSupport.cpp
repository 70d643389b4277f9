#include <kel/render/KelSupport.h>

#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/render/KelCullingRender.h>
#include <kel/render/KelDisplayList.h>
#include <kel/reps/KelGraphicAttributeSet.h>
#include <kel/viewers/KelCharacterFont.h>
#include <kel/viewers/KelColorMap.h>
#include <kel/viewpoints/KelViewpoint.h>

KelCharacterFont* KelSupport::_characterFont = nullptr;

KelSupport::KelSupport(const int width, const int height)
    : _width(static_cast<float>(width)), _height(static_cast<float>(height)) {}

KelSupport::KelSupport(const KelSupport& o)
    : KelCallbackManager(o),
      _sagPrecision(o._sagPrecision),
      _cullingPrecision(o._cullingPrecision),
      _width(o._width),
      _height(o._height),
      _pixelRatio(o._pixelRatio),
      _mmInSupportUnit(o._mmInSupportUnit),
      _viewpoints(o._viewpoints),
      _meshSeen(o._meshSeen),
      _outLineSeen(o._outLineSeen),
      _edgeSeen(o._edgeSeen),
      _samples(o._samples),
      _ownsViewpoints(0) {}

KelSupport::~KelSupport() {
  if (!_ownsViewpoints) return;
  for (int i = 0; i < _viewpoints.Count(); ++i) delete _viewpoints[i];
}

void KelSupport::AddViewpoint(KelViewpoint* viewpoint, int last) {
  if (!viewpoint || !_viewpoints.AppendUnique(viewpoint)) return;
  if (last) return;
  for (int i = _viewpoints.Count() - 1; i > 0; --i) _viewpoints.Swap(i, i - 1);
}

void KelSupport::RemoveViewpoint(KelViewpoint* viewpoint) {
  _viewpoints.Remove(viewpoint);
}

void KelSupport::Draw() {
  KelGraphicPrimitive::Lock();
  list<KelViewpoint*> culled = Culling(_viewpoints);
  Drawing(culled);
  KelGraphicPrimitive::Unlock();
}

list<KelViewpoint*> KelSupport::Culling(list<KelViewpoint*>& viewpoints) {
  list<KelViewpoint*> culled;
  for (int i = 0; i < viewpoints.Count(); ++i) {
    KelViewpoint* v = viewpoints[i];
    if (v && !v->IsEmpty()) culled.AppendUnique(v);
  }
  KelRender* render = CreateCullingRender();
  DrawWithRender(*render, culled);
  delete render;
  return culled;
}

KelRender* KelSupport::CreateCullingRender() {
  return new KelCullingRender(*this);
}

KelRender* KelSupport::CreateDrawingRender() {
  return new KelRender(*this);
}

void KelSupport::Drawing(list<KelViewpoint*>& viewpoints) {
  Clear();
  if (KelRender* render = CreateDrawingRender()) {
    DrawWithRender(*render, viewpoints);
    delete render;
  }
  ResetDL(viewpoints);
}

void KelSupport::DrawWithRender(KelRender& render, list<KelViewpoint*>& viewpoints) {
  for (int i = 0; i < viewpoints.Count(); ++i) {
    KelViewpoint* v = viewpoints[i];
    if (!v) break;
    render.BeginDraw(*v);
    render.Draw(*v);
    render.EndDraw(*v);
  }
}

void KelSupport::Clear() {}
void KelSupport::Swap() {}

// A font set by the application wins; otherwise every support shares one.
KelCharacterFont* KelSupport::GetCharacterFont() const {
  return _characterFont ? _characterFont : KelCharacterFont::GetSharedFont();
}

void KelSupport::GetBackgroundColor(float* r, float* g, float* b) const {
  if (_colorMap) {
    _colorMap->GetColor(KelGraphicAttributeSet::BACKGROUND_COLOR, r, g, b);
    return;
  }
  if (r) *r = 0.0f;
  if (g) *g = 0.0f;
  if (b) *b = 0.0f;
}

void KelSupport::AddClippingPlane(const float* point, const float* normal) {
  for (int i = 0; i < 3; ++i) {
    _clippingPoint[i] = point[i];
    _clippingNormal[i] = normal[i];
  }
  _clipped = 1;
}

int KelSupport::IsClipped(float** point, float** normal) const {
  if (point) *point = const_cast<float*>(_clippingPoint);
  if (normal) *normal = const_cast<float*>(_clippingNormal);
  return _clipped;
}

void KelSupport::InitViewpoints() {
  for (int i = 0; i < _viewpoints.Count(); ++i) {
    KelViewpoint* v = _viewpoints[i];
    if (v && !v->IsInitDone()) v->Reframe(_width, _height, _mmInSupportUnit, _pixelRatio);
  }
}

void KelSupport::ResetDL(list<KelViewpoint*>& viewpoints) {
  for (int i = 0; i < viewpoints.Count(); ++i) {
    KelViewpoint* v = viewpoints[i];
    if (v && v->GetDisplayList()) v->GetDisplayList()->Reset();
  }
}
