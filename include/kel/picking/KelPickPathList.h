// The paths of one pick, in the order that puts first the hit the user most
// likely meant once SortGraphicAttributeSet() has run. The list does not own
// its paths, except that Reset() deletes them.
#pragma once

#include <kel/framework/list.h>

class KelPickPath;

class KelPickPathList {
 public:
  KelPickPathList() = default;
  // Frees the list storage, not the paths.
  ~KelPickPathList() = default;
  KelPickPathList(const KelPickPathList&) = delete;
  KelPickPathList& operator=(const KelPickPathList&) = delete;

  // Appends the path unless this very object is already there.
  KelPickPathList& operator+=(KelPickPath& path);
  KelPickPathList& operator-=(KelPickPath& path);
  int IsContained(KelPickPath* path) const { return _paths.Contains(path); }
  int GetPathCount() const { return _paths.Count(); }
  list<KelPickPath*>& GetPickPathList() { return _paths; }
  const list<KelPickPath*>& GetPickPathList() const { return _paths; }

  // Deletes the paths and empties the list.
  void Reset();

  // Overlay and non-z-buffered hits first (their depth set to 0.0), points,
  // then lines, then surfaces; then the z-buffered hits from near to far.
  // Equal keys keep the reverse of the order in which the hits were found.
  void SortGraphicAttributeSet();

 private:
  list<KelPickPath*> _paths;
};
