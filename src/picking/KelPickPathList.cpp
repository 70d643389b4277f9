#include <kel/picking/KelPickPathList.h>

#include <kel/picking/KelPickPath.h>

namespace {
// Stable insertion sort on [begin, end): an element moves before another only
// when that one's key is strictly greater, as a bubble sort would swap them.
template <class Key>
void SortRange(KelPickPath** paths, int begin, int end, Key key) {
  for (int i = begin + 1; i < end; ++i) {
    KelPickPath* p = paths[i];
    const float k = key(p);
    int j = i;
    while (j > begin && key(paths[j - 1]) > k) {
      paths[j] = paths[j - 1];
      --j;
    }
    paths[j] = p;
  }
}
}  // namespace

KelPickPathList& KelPickPathList::operator+=(KelPickPath& path) {
  _paths.AppendUnique(&path);
  return *this;
}

KelPickPathList& KelPickPathList::operator-=(KelPickPath& path) {
  _paths.Remove(&path);
  return *this;
}

void KelPickPathList::Reset() {
  for (int i = 0; i < _paths.Count(); ++i) {
    if (!_paths[i]) break;
    delete _paths[i];
  }
  _paths.Free();
}

void KelPickPathList::SortGraphicAttributeSet() {
  const int n = _paths.Count();
  if (n == 0) return;
  list<KelPickPath*> sorted;
  for (int i = n - 1; i >= 0; --i) {
    KelPickPath* p = _paths[i];
    if (p->GetOverlay() || p->GetZBuffer() == 0) {
      p->SetDeep(0.0f);
      sorted.Append(p);
    }
  }
  const int k = sorted.Count();
  for (int i = n - 1; i >= 0; --i) {
    KelPickPath* p = _paths[i];
    if (!(p->GetOverlay() || p->GetZBuffer() == 0)) sorted.Append(p);
  }
  _paths = sorted;
  KelPickPath** paths = _paths.Elements();
  SortRange(paths, k, n, [](const KelPickPath* p) { return p->GetDeep(); });
  SortRange(paths, 0, k, [](const KelPickPath* p) { return p->GetDimension(); });
}
