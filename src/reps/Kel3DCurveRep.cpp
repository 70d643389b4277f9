#include <kel/reps/Kel3DCurveRep.h>

#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/render/KelRender.h>

#include <cstdio>

KEL_IMPLEMENT_META(Kel3DCurveRep, Kel3DRep)

namespace {
constexpr float kDefaultSags[3] = {0.0f, 0.0f, 0.0f};
}

Kel3DCurveRep::Kel3DCurveRep() {
  Init(3, kDefaultSags);
}
Kel3DCurveRep::Kel3DCurveRep(KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller) {
  Init(3, kDefaultSags);
}
Kel3DCurveRep::Kel3DCurveRep(int n, const float* sags) {
  Init(n, sags);
}
Kel3DCurveRep::Kel3DCurveRep(int n, const float* sags, KelModelIdentificator& id,
                             KelVisuController* controller)
    : Kel3DRep(id, controller) {
  Init(n, sags);
}

Kel3DCurveRep::~Kel3DCurveRep() {
  for (int i = 0; i < _nbLevels; ++i)
    if (_levels[i]) KelGraphicPrimitive::Destroy(_levels[i]);
}

void Kel3DCurveRep::Init(int n, const float* sags) {
  if (n <= 0 || !sags) {
    std::fprintf(stderr, "Kel3DCurveRep::Kel3DCurveRep: Invalid function parameters.\n");
    return;
  }
  _nbLevels = n;
  _sags.reset(new float[n]);
  for (int i = 0; i < n; ++i) _sags[i] = sags[i];
  _levels.reset(new KelGraphicPrimitive*[n]());
}

void Kel3DCurveRep::AddWireframeLOD(int i, KelGraphicPrimitive* gp) {
  if (i < 0 || i >= _nbLevels) {
    std::fprintf(stderr, "Kel3DCurveRep::AddWireframeLOD: Invalid function parameters.\n");
    return;
  }
  if (_levels[i] == gp) return;
  if (_levels[i]) KelGraphicPrimitive::Destroy(_levels[i]);
  _levels[i] = gp;
}

KelGraphicPrimitive* Kel3DCurveRep::GetLOD(int i) const {
  return i >= 0 && i < _nbLevels ? _levels[i] : nullptr;
}

void Kel3DCurveRep::DrawShading(KelRender& render, int) {
  if (_nbLevels <= 0) return;
  if (!render.IsDrawable(_attributes, _boundingSphere, static_cast<const KelRep&>(*this))) return;
  const int level = render.Get3DLODNumber(_boundingSphere, _nbLevels, _sags.get());
  // A level the owner has not filled draws nothing.
  if (level >= 0 && level < _nbLevels && _levels[level]) _levels[level]->Draw(render);
}
