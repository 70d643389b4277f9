// The Rep that stands for a selection Rep in a viewer's lists. Viewers list
// Reps of their dimension, and a selection Rep (a KelPathElementRep) is of
// none: the holder is a 3D or 2D Rep with an empty volume (it never counts in
// a reframe) that draws the selection Rep.
#pragma once

class KelPathElementRep;
class KelRep;
class KelViewer;

class KelCsoHighlight {
 public:
  // A holder for a controller of type 3 or 2, or null for another type.
  static KelRep* Make(int type, KelPathElementRep& rep);
  // Adds (removes) the holder to the viewer's Reps, or to its furtive Reps,
  // when the viewer is of the controller's dimension.
  static void Add(KelViewer& viewer, int type, KelRep* holder, int furtive);
  static void Remove(KelViewer& viewer, int type, KelRep* holder, int furtive);
};
