#include <kel/primitives/Kel3DLineGP.h>
#include <kel/render/KelRender.h>

#include <algorithm>

KEL_IMPLEMENT_META(Kel3DLineGP, KelGraphicPrimitive)

Kel3DLineGP::Kel3DLineGP(const float* points, const int n, const int allocate)
    : _allocate(allocate ? 1 : 0) {
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

Kel3DLineGP::~Kel3DLineGP() = default;

void Kel3DLineGP::Draw(KelRender& render) {
  render.Draw3DLine(*this);
}
