#include <kel/primitives/Kel2DCurveGP.h>
#include <kel/render/KelRender.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

int ValidCounts(const int nbSegments, const int nbPoints, const int* pointsPerSegment,
                const float* points) {
  if (nbSegments < 0 || nbPoints < 0 || (nbPoints > 0 && !points)) return 0;
  if (nbSegments == 0) return 1;
  if (!pointsPerSegment) return 0;
  long long sum = 0;
  for (int i = 0; i < nbSegments; ++i) {
    if (pointsPerSegment[i] < 1) return 0;
    sum += pointsPerSegment[i];
  }
  return sum - (nbSegments - 1) == nbPoints;
}

// The thinned points, kept from frame to frame by the drawing thread.
std::vector<float>& Buffer() {
  static std::vector<float> buffer;
  return buffer;
}

}  // namespace

Kel2DCurveGP::Kel2DCurveGP(const float sag, const int nbSegments, const int nbPoints,
                           const int* pointsPerSegment, const float* points)
    : _sag(sag) {
  if (!ValidCounts(nbSegments, nbPoints, pointsPerSegment, points)) {
    std::fprintf(stderr, "Kel2DCurveGP::Kel2DCurveGP: Invalid function parameters.\n");
    return;
  }
  _nbSegments = nbSegments;
  _nbPoints = nbPoints;
  if (nbPoints > 0) {
    _points.reset(new float[2 * static_cast<size_t>(nbPoints)]);
    std::copy(points, points + 2 * static_cast<size_t>(nbPoints), _points.get());
  }
  if (nbSegments > 0) {
    _pointsPerSegment.reset(new int[static_cast<size_t>(nbSegments)]);
    std::copy(pointsPerSegment, pointsPerSegment + nbSegments, _pointsPerSegment.get());
  }
}

Kel2DCurveGP::~Kel2DCurveGP() = default;

int Kel2DCurveGP::ComputeStep(const float s) const {
  // Chord sag grows with the square of the chord: skipping k points multiplies
  // it by about k^2. No tolerance (0, negative or not a number) draws all.
  if (!(_sag > 0.0f) || !(s > _sag)) return 1;
  const double k = std::floor(std::sqrt(double(s) / double(_sag)));
  // A step beyond the curve keeps only the segments' ends.
  return k < double(_nbPoints) ? std::max(1, static_cast<int>(k)) : std::max(1, _nbPoints);
}

void Kel2DCurveGP::ImmediateDraw(KelRender& render, const KelViewpoint*, const KelViewport*) {
  if (_nbPoints == 0) return;
  const float* p = _points.get();
  const int k = ComputeStep(render.Get2DModelSag());
  if (k == 1) {
    render.ImmediateDraw2DPolyline(p, _nbPoints);
    return;
  }
  if (_nbSegments == 0) {
    render.ImmediateDraw2DPolyline(p + 2 * (_nbPoints - 1), 1);
    return;
  }
  // From the end of the curve backwards: each segment from its last point,
  // every k-th point short of its first, which the previous segment draws.
  std::vector<float>& out = Buffer();
  if (out.size() < 2 * static_cast<size_t>(_nbPoints))
    out.resize(2 * static_cast<size_t>(_nbPoints));
  int n = 0;
  int last = _nbPoints - 1;
  for (int s = _nbSegments - 1; s >= 0; --s) {
    const int span = _pointsPerSegment[s] - 1;
    for (int offset = 0; offset < span; offset += k) {
      out[2 * n] = p[2 * (last - offset)];
      out[2 * n + 1] = p[2 * (last - offset) + 1];
      ++n;
    }
    last -= span;
  }
  out[2 * n] = p[0];
  out[2 * n + 1] = p[1];
  render.ImmediateDraw2DPolyline(out.data(), n + 1);
}
