#include <kel/reps/KelRepPath.h>

KelRepPath::KelRepPath(KelViewpoint* viewpoint) : _viewpoint(viewpoint) {}

KelRepPath::KelRepPath(const KelRepPath& other) = default;

KelRepPath& KelRepPath::operator=(const KelRepPath& other) {
  if (this == &other) return *this;
  _viewpoint = other._viewpoint;
  _cursor = other._cursor;
  _limit = other._limit;
  _step = other._step;
  _reps = other._reps;
  _furtive = other._furtive;
  _overlay = other._overlay;
  return *this;
}

KelRepPath::~KelRepPath() = default;

void KelRepPath::InitToTopRep() {
  _limit = _reps.Count();
  _step = 1;
  _cursor = -1;
}

void KelRepPath::InitToLeafRep() {
  _limit = _reps.Count();
  _step = -1;
  _cursor = _reps.Count();
}

void KelRepPath::AddRep(KelRep& rep) {
  _reps.AppendUnique(&rep);
}

void KelRepPath::RemoveRep(KelRep& rep) {
  _reps.Remove(&rep);
  _limit = _reps.Count();
}

KelRep* KelRepPath::NextElement() {
  _cursor += _step;
  _limit = _reps.Count();
  if (_cursor < 0 || _cursor >= _limit) return nullptr;
  return _reps[_cursor];
}

KelRep* KelRepPath::GetCurrentRep() const {
  if (_cursor < 0 || _cursor >= _reps.Count()) return nullptr;
  return _reps[_cursor];
}
