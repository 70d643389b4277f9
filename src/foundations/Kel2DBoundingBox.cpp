#include <kel/foundations/Kel2DBoundingBox.h>
#include <kel/foundations/Kel2DBoundingSphere.h>
#include <kel/foundations/Kel3x3Matrix.h>

#include <algorithm>

KEL_IMPLEMENT_META(Kel2DBoundingBox, KelBoundingElement)

Kel2DBoundingBox::Kel2DBoundingBox(const float x1, const float x2, const float y1, const float y2) {
  SetState(1);
  SetExtents(std::min(x1, x2), std::max(x1, x2), std::min(y1, y2), std::max(y1, y2));
}

Kel2DBoundingBox::Kel2DBoundingBox(const Kel2DBoundingSphere& s) : KelBoundingElement(s) {
  const float* c = s.GetCenter();
  const float r = s.GetRadius();
  SetExtents(c[0] - r, c[0] + r, c[1] - r, c[1] + r);
  // The circle's own center and diameter, not the ones rounded through the extents.
  _center[0] = c[0];
  _center[1] = c[1];
  _width = _height = 2.0f * r;
  _sizeMM = s.GetRadiusMM();
}

Kel2DBoundingBox::~Kel2DBoundingBox() = default;

void Kel2DBoundingBox::SetExtents(float xmin, float xmax, float ymin, float ymax) {
  _xmin = xmin;
  _xmax = xmax;
  _ymin = ymin;
  _ymax = ymax;
  _width = xmax - xmin;
  _height = ymax - ymin;
  _center[0] = 0.5f * (xmin + xmax);
  _center[1] = 0.5f * (ymin + ymax);
}

void Kel2DBoundingBox::GetParameter(float* xmin, float* xmax, float* ymin, float* ymax) const {
  *xmin = _xmin;
  *xmax = _xmax;
  *ymin = _ymin;
  *ymax = _ymax;
}

Kel2DBoundingBox& Kel2DBoundingBox::operator+=(const Kel2DBoundingBox& b) {
  if (!HasFinitePart()) {
    if (b.HasFinitePart()) {
      std::copy(b._center, b._center + 2, _center);
      _xmin = b._xmin;
      _xmax = b._xmax;
      _ymin = b._ymin;
      _ymax = b._ymax;
    }
  } else if (b.HasFinitePart()) {
    SetExtents(std::min(_xmin, b._xmin), std::max(_xmax, b._xmax), std::min(_ymin, b._ymin),
               std::max(_ymax, b._ymax));
  }
  _width = _xmax - _xmin;
  _height = _ymax - _ymin;
  _sizeMM = std::max(_sizeMM, b._sizeMM);
  KelBoundingElement::operator+=(b);
  return *this;
}

Kel2DBoundingBox& Kel2DBoundingBox::operator*=(const Kel3x3Matrix& m) {
  // A rotated or sheared box is enclosed by the box of its four moved corners;
  // rebuilding it around the moved center with the old width and height would
  // lose the rotation and cull visible children.
  const Kelpoint2f corners[4] = {m * Kelpoint2f(_xmin, _ymin), m * Kelpoint2f(_xmax, _ymin),
                                 m * Kelpoint2f(_xmin, _ymax), m * Kelpoint2f(_xmax, _ymax)};
  float xmin = corners[0].x, xmax = corners[0].x, ymin = corners[0].y, ymax = corners[0].y;
  for (const Kelpoint2f& p : corners) {
    xmin = std::min(xmin, p.x);
    xmax = std::max(xmax, p.x);
    ymin = std::min(ymin, p.y);
    ymax = std::max(ymax, p.y);
  }
  SetExtents(xmin, xmax, ymin, ymax);
  // The size in millimetres is on the screen: the matrix does not change it.
  // Scaled with the box, a bag shrunk by its matrix would be culled while its
  // symbols still reach into the view.
  return *this;
}

int Kel2DBoundingBox::IsOutside(const Kel2DBoundingBox& b) const {
  if (IsEmpty()) return 1;
  if (GetState() == 2) return 0;
  return b._xmax < _xmin || b._xmin > _xmax || b._ymax < _ymin || b._ymin > _ymax;
}

int Kel2DBoundingBox::IsInside(const Kel2DBoundingBox& b) const {
  if (IsEmpty()) return 0;
  if (GetState() == 2) return 1;
  return b._xmax > _xmax && b._xmin < _xmin && b._ymax > _ymax && b._ymin < _ymin;
}
