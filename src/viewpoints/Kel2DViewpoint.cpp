#include <kel/framework/KelMath.h>
#include <kel/render/KelDisplayList.h>
#include <kel/reps/Kel2DRep.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel2DViewport.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

KEL_IMPLEMENT_META(Kel2DViewpoint, KelViewpoint)

namespace {
constexpr float kNoBound = 1.0e10f;
}

Kel2DViewpoint::Kel2DViewpoint() {
  SetOwnedViewport(new Kel2DViewport);
}

Kel2DViewpoint::Kel2DViewpoint(const Kelpoint2f& origin, float zoom)
    : KelViewpoint(zoom), _origin(origin) {
  SetOwnedViewport(new Kel2DViewport);
}

// The bounds-set flag and the accumulated matrix travel with the copy: a
// clone that enforced bounds it says are unset, or whose matrix disagreed
// with its origin and zoom, would mislead the renders that work on it.
Kel2DViewpoint::Kel2DViewpoint(const Kel2DViewpoint& other)
    : KelViewpoint(other),
      _origin(other._origin),
      _xmin(other._xmin),
      _xmax(other._xmax),
      _ymin(other._ymin),
      _ymax(other._ymax),
      _boundsSet(other._boundsSet),
      _zoomType(other._zoomType),
      _zoomRatio(other._zoomRatio),
      _matrix(other._matrix),
      _anchor(other._anchor) {}

Kel2DViewpoint::~Kel2DViewpoint() = default;

Kel2DViewpoint& Kel2DViewpoint::operator=(const Kel2DViewpoint& other) {
  if (this != &other) {
    _origin = other._origin;
    _zoomType = other._zoomType;
    _anchor = other._anchor;
    _xmin = other._xmin;
    _xmax = other._xmax;
    _ymin = other._ymin;
    _ymax = other._ymax;
    _boundsSet = other._boundsSet;
    _zoomRatio = other._zoomRatio;
  }
  // Copies the zoom and sends the one modification event.
  KelViewpoint::operator=(other);
  return *this;
}

Kel2DViewpoint* Kel2DViewpoint::Clone() const {
  return new Kel2DViewpoint(*this);
}

void Kel2DViewpoint::SetViewport(const KelViewport& viewport) {
  const Kel2DViewport* rectangle = dynamic_cast<const Kel2DViewport*>(&viewport);
  if (!rectangle) {
    std::fprintf(stderr, "Kel2DViewpoint::SetViewport: Invalid function parameters.\n");
    return;
  }
  *static_cast<Kel2DViewport*>(GetViewport()) = *rectangle;
}

void Kel2DViewpoint::InitDisplayList() {
  if (!_displayList) _displayList = new KelDisplayList(DISPLAY_LIST_2D);
}

int Kel2DViewpoint::SizeOf() const {
  return static_cast<int>(sizeof(Kel2DViewpoint));
}

// ---- Settings

void Kel2DViewpoint::SetOrigin(const Kelpoint2f& origin) {
  _origin = origin;
  Modify();
}

void Kel2DViewpoint::SetAnchor(Anchor anchor) {
  _anchor = anchor;
  Modify();
}

int Kel2DViewpoint::GetTranslationBounds(float* xmin, float* xmax, float* ymin, float* ymax) const {
  if (xmin) *xmin = _xmin;
  if (xmax) *xmax = _xmax;
  if (ymin) *ymin = _ymin;
  if (ymax) *ymax = _ymax;
  return _boundsSet;
}

void Kel2DViewpoint::SetTranslationBounds(float xmin, float xmax, float ymin, float ymax) {
  _xmin = xmin;
  _xmax = xmax;
  _ymin = ymin;
  _ymax = ymax;
  _boundsSet = xmin != -kNoBound;
}

ViewpointZoomType Kel2DViewpoint::GetZoomType() const {
  return _zoomType;
}

void Kel2DViewpoint::SetZoomType(ViewpointZoomType type) {
  _zoomType = type;
  Modify();
}

float Kel2DViewpoint::GetVerticalToHorizontalZoomRatio() const {
  return _zoomRatio;
}

void Kel2DViewpoint::SetVerticalToHorizontalZoomRatio(float ratio) {
  _zoomRatio = ratio;
  Modify();
}

const Kel3x3Matrix& Kel2DViewpoint::GetInverseMatrix() const {
  _inverseMatrix = _matrix.GetInvertedMatrix();
  return _inverseMatrix;
}

Kel2DViewpoint& Kel2DViewpoint::operator*=(const Kel3x3Matrix& m) {
  _origin = m * _origin;
  // Coordinates scaled by s make one unit 1/s as long on the screen.
  const float s = m.GetScaling();
  if (s != 0.0f) _zoom /= s;
  _matrix *= m;
  return *this;
}

// ---- Conversions

void Kel2DViewpoint::GetAnchorPixel(float width, float height, float& ax, float& ay) const {
  switch (_anchor & 3) {
    case LEFT:
      ax = 0.0f;
      break;
    case RIGHT:
      ax = width;
      break;
    default:
      ax = 0.5f * width;
  }
  switch (_anchor & 12) {
    case TOP:
      ay = 0.0f;
      break;
    case BOTTOM:
      ay = height;
      break;
    default:
      ay = 0.5f * height;
  }
}

void Kel2DViewpoint::ComputeModelFromPixel(float x, float y, float& X, float& Y, float width,
                                           float height, float pixelsPerMM, float ratio) const {
  float ax, ay;
  GetAnchorPixel(width, height, ax, ay);
  const float dx = x - ax, dy = ay - y;
  const float z = _zoom, zx = _zoom * _zoomRatio, k = 1.0f / pixelsPerMM;
  switch (_zoomType) {
    case ZOOM_MILLIMETER:
      X = _origin.x + k * ratio / zx * dx;
      Y = _origin.y + k / z * dy;
      break;
    case ZOOM_WINDOW_HEIGHT:
      X = _origin.x + dx / (zx * 0.5f * height);
      Y = _origin.y + dy / (z * 0.5f * height);
      break;
    case ZOOM_WINDOW_SIZE:
      X = _origin.x + dx / (zx * 0.5f * width);
      Y = _origin.y + dy / (z * 0.5f * height);
      break;
  }
}

void Kel2DViewpoint::ComputePixelFromModel(float X, float Y, float& x, float& y, float width,
                                           float height, float pixelsPerMM, float ratio) const {
  float ax, ay;
  GetAnchorPixel(width, height, ax, ay);
  const float z = _zoom, zx = _zoom * _zoomRatio, k = 1.0f / pixelsPerMM;
  switch (_zoomType) {
    case ZOOM_MILLIMETER:
      x = (X - _origin.x) * zx / (k * ratio) + ax;
      y = (_origin.y - Y) * z / k + ay;
      break;
    case ZOOM_WINDOW_HEIGHT:
      x = (X - _origin.x) * zx * 0.5f * height + ax;
      y = (_origin.y - Y) * z * 0.5f * height + ay;
      break;
    case ZOOM_WINDOW_SIZE:
      x = (X - _origin.x) * zx * 0.5f * width + ax;
      y = (_origin.y - Y) * z * 0.5f * height + ay;
      break;
  }
}

void Kel2DViewpoint::ComputeModelFromPixel(float x, float y, Kelpoint3f& P, Kelpoint3f& Q,
                                           float width, float height, float pixelsPerMM,
                                           float ratio) const {
  float X = P.x, Y = P.y;
  ComputeModelFromPixel(x, y, X, Y, width, height, pixelsPerMM, ratio);
  P = Q = Kelpoint3f(X, Y, 0.0f);
}

void Kel2DViewpoint::ComputePixelFromModel(const Kelpoint3f& M, Kelpoint2f& p, float width,
                                           float height, float pixelsPerMM, float ratio) const {
  ComputePixelFromModel(M.x, M.y, p.x, p.y, width, height, pixelsPerMM, ratio);
}

void Kel2DViewpoint::ComputeModelFromPixel(float x, float y, Kelpoint2f& P, float width,
                                           float height, float pixelsPerMM, float ratio) const {
  ComputeModelFromPixel(x, y, P.x, P.y, width, height, pixelsPerMM, ratio);
}

void Kel2DViewpoint::ComputePixelFromModel(const Kelpoint2f& M, Kelpoint2f& p, float width,
                                           float height, float pixelsPerMM, float ratio) const {
  ComputePixelFromModel(M.x, M.y, p.x, p.y, width, height, pixelsPerMM, ratio);
}

float Kel2DViewpoint::GetScaleFactor(float, float height, float pixelsPerMM, float) const {
  const float k = 1.0f / pixelsPerMM;
  switch (_zoomType) {
    case ZOOM_MILLIMETER:
      return k / _zoom;
    case ZOOM_WINDOW_HEIGHT:
    case ZOOM_WINDOW_SIZE:
      return (1.0f / _zoom) / (0.5f * height);
  }
  return k;
}

// ---- Framing

void Kel2DViewpoint::ReframeOn(float xmin, float xmax, float ymin, float ymax, float width,
                               float height, float pixelsPerMM, float ratio) {
  if (xmin > xmax) std::swap(xmin, xmax);
  if (ymin > ymax) std::swap(ymin, ymax);
  const float w = xmax - xmin, h = ymax - ymin;
  if (w <= KelMath::ZERO_MACHINE || h <= KelMath::ZERO_MACHINE) return;
  BeginModification();

  float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f;
  ComputeModelFromPixel(0.0f, height, x0, y0, width, height, pixelsPerMM, ratio);
  ComputeModelFromPixel(width, 0.0f, x1, y1, width, height, pixelsPerMM, ratio);
  const float vw = std::fabs(x1 - x0), vh = std::fabs(y1 - y0);

  Kelpoint2f origin((xmin + xmax) * 0.5f, (ymin + ymax) * 0.5f);
  if ((_anchor & 3) == LEFT) origin.x = xmin;
  if ((_anchor & 3) == RIGHT) origin.x = xmax;
  if ((_anchor & 12) == TOP) origin.y = ymax;
  if ((_anchor & 12) == BOTTOM) origin.y = ymin;
  SetOrigin(origin);

  const float z = _zoom;
  switch (_zoomType) {
    case ZOOM_MILLIMETER:
    case ZOOM_WINDOW_HEIGHT:
      SetZoom(vw / w > vh / h ? z * vh / h : z * vw / w);
      break;
    case ZOOM_WINDOW_SIZE:
      SetVerticalToHorizontalZoomRatio(_zoomRatio * (vw / w) / (vh / h));
      SetZoom(z * vh / h);
      break;
  }
  _initDone = 1;
  Modify();
  EndModification();
}

void Kel2DViewpoint::Reframe(float width, float height, float pixelsPerMM, float ratio) {
  const Kel2DBoundingBox box = GetBoundingBox();
  float xmin, xmax, ymin, ymax;
  box.GetParameter(&xmin, &xmax, &ymin, &ymax);
  BeginModification();
  ReframeOn(xmin, xmax, ymin, ymax, width, height, pixelsPerMM, ratio);
  // The millimetre-sized parts, in model units at the new zoom.
  const float g = box.GetSizeMM() * pixelsPerMM * GetScaleFactor(width, height, pixelsPerMM, ratio);
  if (g != 0.0f)
    ReframeOn(xmin - g, xmax + g, ymin - g, ymax + g, width, height, pixelsPerMM, ratio);
  EndModification();
}

KelViewport* Kel2DViewpoint::CreateViewportFrom(float x, float y, float dx, float dy, float width,
                                                float height, float pixelsPerMM, float ratio) {
  float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
  ComputeModelFromPixel(x - dx, y - dy, left, top, width, height, pixelsPerMM, ratio);
  ComputeModelFromPixel(x + dx, y + dy, right, bottom, width, height, pixelsPerMM, ratio);

  if (dx / width > 0.4f) {
    // A window-sized rectangle: keep what is shown inside the bounds.
    float shift = 0.0f;
    if (right - left > _xmax - _xmin) {
      float goal = (_xmin + _xmax) * 0.5f;
      if ((_anchor & 3) == LEFT) goal = _xmin;
      if ((_anchor & 3) == RIGHT) goal = _xmax;
      shift = goal - _origin.x;
    } else if (left < _xmin) {
      shift = _xmin - left;
    } else if (right > _xmax) {
      shift = _xmax - right;
    }
    _origin.x += shift;
    left += shift;
    right += shift;

    shift = 0.0f;
    if (top - bottom > _ymax - _ymin) {
      float goal = (_ymin + _ymax) * 0.5f;
      if ((_anchor & 12) == TOP) goal = _ymax;
      if ((_anchor & 12) == BOTTOM) goal = _ymin;
      shift = goal - _origin.y;
    } else if (bottom < _ymin) {
      shift = _ymin - bottom;
    } else if (top > _ymax) {
      shift = _ymax - top;
    }
    _origin.y += shift;
    top += shift;
    bottom += shift;
  }
  Kel2DViewport* viewport = static_cast<Kel2DViewport*>(GetViewport());
  *viewport = Kel2DViewport(left, right, bottom, top);
  return viewport;
}

// ---- Reps

void Kel2DViewpoint::AddRep(Kel2DRep* rep) {
  if (rep) _repList.AppendUnique(rep);
}

void Kel2DViewpoint::RemoveRep(Kel2DRep* rep) {
  _repList.Remove(rep);
}

void Kel2DViewpoint::AddFurtiveRep(Kel2DRep* rep) {
  if (rep) _furtiveRepList.AppendUnique(rep);
}

void Kel2DViewpoint::RemoveFurtiveRep(Kel2DRep* rep) {
  _furtiveRepList.Remove(rep);
}

Kel2DBoundingBox Kel2DViewpoint::GetBoundingBox() const {
  Kel2DBoundingBox box;
  for (int i = 0; i < _repList.Count(); ++i)
    box += static_cast<const Kel2DRep*>(_repList[i])->GetBoundingElement();
  return box;
}
