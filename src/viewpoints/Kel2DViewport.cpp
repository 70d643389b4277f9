#include <kel/foundations/Kel2DBoundingBox.h>
#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/framework/Kelpoint2f.h>
#include <kel/viewpoints/Kel2DViewport.h>

#include <algorithm>

Kel2DViewport::Kel2DViewport(float x1, float x2, float y1, float y2)
    : _xmin(std::min(x1, x2)),
      _xmax(std::max(x1, x2)),
      _ymin(std::min(y1, y2)),
      _ymax(std::max(y1, y2)) {}

Kel2DViewport::~Kel2DViewport() = default;

Kel2DViewport* Kel2DViewport::Clone() const {
  return new Kel2DViewport(*this);
}

int Kel2DViewport::SizeOf() const {
  return static_cast<int>(sizeof(Kel2DViewport));
}

void Kel2DViewport::GetParameter(float* xmin, float* xmax, float* ymin, float* ymax) const {
  *xmin = _xmin;
  *xmax = _xmax;
  *ymin = _ymin;
  *ymax = _ymax;
}

Kel2DViewport& Kel2DViewport::operator*=(const Kel3x3Matrix& m) {
  const Kelpoint2f corners[4] = {m * Kelpoint2f(_xmin, _ymin), m * Kelpoint2f(_xmax, _ymin),
                                 m * Kelpoint2f(_xmin, _ymax), m * Kelpoint2f(_xmax, _ymax)};
  _xmin = _xmax = corners[0].x;
  _ymin = _ymax = corners[0].y;
  for (int i = 1; i < 4; ++i) {
    _xmin = std::min(_xmin, corners[i].x);
    _xmax = std::max(_xmax, corners[i].x);
    _ymin = std::min(_ymin, corners[i].y);
    _ymax = std::max(_ymax, corners[i].y);
  }
  return *this;
}

int Kel2DViewport::IsOutside(const Kel2DBoundingBox& box, float scale) const {
  if (box.IsEmpty()) return 1;
  // An unbounded part is never outside, and a mixed box is outside only when
  // both of its parts are.
  if (box.GetState() != 1) return 0;
  const float g = box.GetSizeMM() * scale;
  float xmin, xmax, ymin, ymax;
  box.GetParameter(&xmin, &xmax, &ymin, &ymax);
  return (xmax + g < _xmin || xmin - g > _xmax || ymax + g < _ymin || ymin - g > _ymax) ? 1 : 0;
}

int Kel2DViewport::IsInside(const Kel2DBoundingBox& box, float scale) const {
  if (box.IsEmpty()) return 0;
  if (box.IsInfinite()) return 1;
  // Finite or mixed: the unbounded part counts as inside, so the finite part decides.
  const float g = box.GetSizeMM() * scale;
  float xmin, xmax, ymin, ymax;
  box.GetParameter(&xmin, &xmax, &ymin, &ymax);
  return (xmax + g < _xmax && xmin - g > _xmin && ymax + g < _ymax && ymin - g > _ymin) ? 1 : 0;
}

int Kel2DViewport::IsOutside(const Kel2DViewport& o) const {
  return (o._xmax < _xmin || o._xmin > _xmax || o._ymax < _ymin || o._ymin > _ymax) ? 1 : 0;
}

int Kel2DViewport::IsInside(const Kel2DViewport& o) const {
  return (o._xmax < _xmax && o._xmin > _xmin && o._ymax < _ymax && o._ymin > _ymin) ? 1 : 0;
}
