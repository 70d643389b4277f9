#include <kel/framework/Kelpoint3f.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/render/KelRender.h>

#include <algorithm>

KEL_IMPLEMENT_META(Kel3DMarkerGP, KelGraphicPrimitive)

Kel3DMarkerGP::Kel3DMarkerGP(const float* points, const int n, SymbolType type, const int allocate)
    : _type(type), _allocate(allocate ? 1 : 0) {
  if (!points || n <= 0) return;
  if (_allocate) {
    _copy.reset(new float[3 * static_cast<size_t>(n)]);
    std::copy(points, points + 3 * static_cast<size_t>(n), _copy.get());
    _points = _copy.get();
  } else {
    _points = points;
  }
  _nbPoints = n;
}

Kel3DMarkerGP::Kel3DMarkerGP(const Kelpoint3f* points, const int n, SymbolType type,
                             const int allocate)
    : _type(type), _allocate(allocate ? 1 : 0) {
  if (!points || n <= 0) return;
  if (_allocate) {
    _copy.reset(new float[3 * static_cast<size_t>(n)]);
    for (int i = 0; i < n; ++i) {
      _copy[3 * i] = points[i].x;
      _copy[3 * i + 1] = points[i].y;
      _copy[3 * i + 2] = points[i].z;
    }
    _points = _copy.get();
  } else {
    // Three packed floats per point (asserted in Kelpoint3f.h).
    _points = points->GetCoord();
  }
  _nbPoints = n;
}

Kel3DMarkerGP::~Kel3DMarkerGP() = default;

void Kel3DMarkerGP::Draw(KelRender& render) {
  render.Draw3DMarker(*this);
}
