#include <kel/reps/KelLightSourceSet.h>

#include <kel/reps/KelLightSourceSetRep.h>

namespace {
void Store(float* to, const Keldirection3f& d) {
  to[0] = d.x;
  to[1] = d.y;
  to[2] = d.z;
}
}  // namespace

KelLightSourceSet::KelLightSourceSet() = default;

KelLightSourceSet::KelLightSourceSet(const Keldirection3f& d) : _count(1) {
  Store(_first, d);
}

KelLightSourceSet::KelLightSourceSet(const Keldirection3f& d1, const Keldirection3f& d2)
    : _count(2) {
  Store(_first, d1);
  Store(_second, d2);
}

KelLightSourceSet::KelLightSourceSet(const KelLightSourceSet& other) : _count(other._count) {
  for (int i = 0; i < 3; ++i) {
    _first[i] = other._first[i];
    _second[i] = other._second[i];
  }
}

KelLightSourceSet& KelLightSourceSet::operator=(const KelLightSourceSet& other) {
  _count = other._count;
  for (int i = 0; i < 3; ++i) {
    _first[i] = other._first[i];
    _second[i] = other._second[i];
  }
  return *this;
}

KelLightSourceSet::~KelLightSourceSet() {
  // Destroy() rather than delete: a Rep still in a bag leaves it first.
  if (_rep) _rep->Destroy();
}

Keldirection3f KelLightSourceSet::GetFirstDirection() const {
  return Keldirection3f::Unchecked(_first[0], _first[1], _first[2]);
}
Keldirection3f KelLightSourceSet::GetSecondDirection() const {
  return Keldirection3f::Unchecked(_second[0], _second[1], _second[2]);
}
void KelLightSourceSet::SetFirstDirection(const Keldirection3f& d) {
  Store(_first, d);
}
void KelLightSourceSet::SetSecondDirection(const Keldirection3f& d) {
  Store(_second, d);
}

KelLightSourceSetRep* KelLightSourceSet::BuildRep() {
  if (!_rep)
    _rep = new KelLightSourceSetRep(*this);
  else
    _rep->ModifyWithDirection(*this);
  return _rep;
}
