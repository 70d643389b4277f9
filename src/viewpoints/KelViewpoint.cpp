#include <kel/render/KelDisplayList.h>
#include <kel/viewers/GetTimeInMilliseconds.h>
#include <kel/viewers/KelTimeStampedEvent.h>
#include <kel/viewpoints/KelViewpoint.h>

#include <algorithm>
#include <cstdio>

KEL_IMPLEMENT_META(KelViewpoint, KelEventSubscriber)

KelViewpoint::KelViewpoint() = default;

KelViewpoint::KelViewpoint(float zoom) : _zoom(zoom), _initDone(1) {}

KelViewpoint::KelViewpoint(const KelViewpoint& other)
    : KelEventSubscriber(other),
      _zoom(other._zoom),
      _minimumZoom(other._minimumZoom),
      _maximumZoom(other._maximumZoom),
      _viewport(other._viewport ? other._viewport->Clone() : nullptr),
      _initDone(other._initDone) {}

KelViewpoint::~KelViewpoint() {
  // Subscribers hear of the publisher's end before the camera's parts go.
  _callbackManager.reset();
  delete _displayList;
  delete _brotherDisplayList;
  _viewport.reset();
}

KelViewpoint& KelViewpoint::operator=(const KelViewpoint& other) {
  if (this != &other) {
    _zoom = other._zoom;
    _minimumZoom = other._minimumZoom;
    _maximumZoom = other._maximumZoom;
    _initDone = other._initDone;
  }
  Modify();
  return *this;
}

KelCallbackManager* KelViewpoint::GetCallbackManager() {
  if (!_callbackManager) _callbackManager.reset(new KelCallbackManager);
  return _callbackManager.get();
}

float KelViewpoint::GetZoom() const {
  return _zoom;
}

void KelViewpoint::SetZoom(const float& zoom) {
  const float clamped = std::min(std::max(zoom, _minimumZoom), _maximumZoom);
  if (clamped == _zoom) return;
  _zoom = clamped;
  Modify();
}

float KelViewpoint::GetMinimumZoomBound() const {
  return _minimumZoom;
}

float KelViewpoint::GetMaximumZoomBound() const {
  return _maximumZoom;
}

void KelViewpoint::SetZoomBounds(const float& a, const float& b) {
  const float low = std::min(a, b), high = std::max(a, b);
  _minimumZoom = low;
  _maximumZoom = high;
  const float zoom = _zoom;
  SetZoom(zoom);
}

void KelViewpoint::BeginModification() {
  ++_modificationDepth;
}

void KelViewpoint::EndModification() {
  // An unmatched end would leave the depth negative and every later change
  // silent; refuse it instead.
  if (_modificationDepth <= 0) {
    std::fprintf(stderr, "KelViewpoint::EndModification: no modification in progress.\n");
    return;
  }
  if (--_modificationDepth > 0 || !_modificationPending) return;
  _modificationPending = 0;
  if (_callbackManager) _callbackManager->DispatchCallbacks(VIEWPOINT_MODIFIED(), nullptr, nullptr);
}

void KelViewpoint::Modify() {
  if (_modificationDepth > 0) {
    _modificationPending = 1;
    return;
  }
  _modificationPending = 0;
  if (_callbackManager) _callbackManager->DispatchCallbacks(VIEWPOINT_MODIFIED(), nullptr, nullptr);
}

void KelViewpoint::StartAnimation(void* data) {
  if (_animationCounter == 0 && _callbackManager) {
    KelTimeStampedEvent event(GetTimeStampInMilliseconds());
    _callbackManager->DispatchCallbacks(VIEWPOINT_ANIMATION_STARTED(), &event, data);
  }
  ++_animationCounter;
}

void KelViewpoint::StopAnimation(void* data) {
  // An unmatched stop would swallow the next start event.
  if (_animationCounter <= 0) {
    std::fprintf(stderr, "KelViewpoint::StopAnimation: no animation in progress.\n");
    return;
  }
  if (--_animationCounter == 0 && _callbackManager) {
    KelTimeStampedEvent event(GetTimeStampInMilliseconds());
    _callbackManager->DispatchCallbacks(VIEWPOINT_ANIMATION_STOPED(), &event, data);
  }
}

void KelViewpoint::SetViewport(const KelViewport&) {}

void KelViewpoint::InitDisplayList() {}

void KelViewpoint::ComputeModelFromPixel(float, float, Kelpoint3f&, Kelpoint3f&, float, float,
                                         float, float) const {}

void KelViewpoint::Reframe(float, float, float, float) {
  _initDone = 1;
}

KelViewport* KelViewpoint::CreateViewportFrom(float, float, float, float, float, float, float,
                                              float) {
  return _viewport.get();
}

float KelViewpoint::GetScaleFactor(float, float, float, float) const {
  return 1.0f;
}

int KelViewpoint::SizeOf() const {
  return static_cast<int>(sizeof(KelViewpoint));
}

KelViewpoint* KelViewpoint::CloneWidthRep() const {
  KelViewpoint* clone = Clone();
  clone->_repList = _repList;
  clone->_furtiveRepList = _furtiveRepList;
  return clone;
}

void KelViewpoint::SetOwnedViewport(KelViewport* viewport) {
  _viewport.reset(viewport);
}

const char* KelViewpoint::VIEWPOINT_MODIFIED() {
  return "VIEWPOINT_MODIFIED";
}

const char* KelViewpoint::VIEWPOINT_ANIMATION_STARTED() {
  return "VIEWPOINT_ANIMATION_STARTED";
}

const char* KelViewpoint::VIEWPOINT_ANIMATION_STOPED() {
  return "VIEWPOINT_ANIMATION_STOPED";
}
