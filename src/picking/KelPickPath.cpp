#include <kel/picking/KelPickPath.h>

#include <kel/reps/KelRep.h>

#include <algorithm>

KelPickPath::KelPickPath(KelViewpoint* viewpoint) : KelRepPath(viewpoint) {}

KelPickPath::KelPickPath(KelRep* rep) : KelRepPath(nullptr) {
  Load(rep);
}

KelPickPath::KelPickPath(const KelPickPath& other) = default;

KelPickPath& KelPickPath::operator=(const KelPickPath& other) {
  if (this == &other) return *this;
  KelRepPath::operator=(other);
  SetSubElementList(other.GetSubElementList());
  _level = other._level;
  _manipulatedIndex = other._manipulatedIndex;
  _matrix = other._matrix;
  _matrix2D = other._matrix2D;
  _dimension = other._dimension;
  _deep = other._deep;
  _zBuffer = other._zBuffer;
  _currentSubElement = other._currentSubElement;
  _intersection = other._intersection;
  _tangent = other._tangent;
  _normal = other._normal;
  return *this;
}

KelPickPath::~KelPickPath() = default;

void KelPickPath::InitToTopRep() {
  KelRepPath::InitToTopRep();
  _limit = std::min(_level + 1, _reps.Count());
}

void KelPickPath::InitToLeafRep() {
  KelRepPath::InitToLeafRep();
  // A level pushed without a Rep loaded below it has nothing at its index.
  _limit = std::max(0, std::min(_level + 1, _reps.Count()));
  _cursor = _limit;
}

void KelPickPath::Load(const KelRep* rep) {
  if (_level == -1)
    _level = 0;
  else
    _reps.RemoveAt(_level);
  if (rep) _reps.AppendUnique(const_cast<KelRep*>(rep));
  _limit = _reps.Count();
}

void KelPickPath::Pop() {
  if (_level < 0) return;
  _reps.RemoveAt(_level);
  _limit = _reps.Count();
  --_level;
}

Kelpoint3f KelPickPath::GetGlobalIntersection() const {
  return _matrix * _intersection;
}

Keldirection3f KelPickPath::GetGlobalNormal() const {
  return _matrix * _normal;
}

std::ostream& operator<<(std::ostream& out, const KelPickPath& path) {
  const Kelpoint3f& p = path.GetIntersection();
  return out << " KelPickPath : nbRep = " << path.Size() << ", dimension = " << path.GetDimension()
             << ", zbuffer = " << path.GetZBuffer() << ", furtive = " << path.GetFurtive()
             << ", deep = " << path.GetDeep() << ", inter = (" << p.x << ", " << p.y << ", " << p.z
             << ")";
}
