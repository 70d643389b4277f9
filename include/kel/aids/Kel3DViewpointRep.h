// The picture of a camera, drawn through the viewer's main 3D viewpoint while
// the look-at gesture builds a new viewpoint: the lines from the eye to the
// corners of the view at the target's distance (parallel edges in parallel
// projection), that rectangle with a tick on its upper side, and the line of
// sight. The rectangle has the viewer's window proportions. It follows the
// camera it is built on (which must outlive it) and is never picked.
#pragma once

#include <kel/reps/Kel3DRep.h>

class Kel3DViewpoint;
class KelViewer;

class Kel3DViewpointRep : public Kel3DRep {
 public:
  Kel3DViewpointRep(Kel3DViewpoint& camera, KelViewer* viewer);
  ~Kel3DViewpointRep() override;
  Kel3DViewpointRep(const Kel3DViewpointRep&) = delete;
  Kel3DViewpointRep& operator=(const Kel3DViewpointRep&) = delete;

  KEL_DECLARE_META(Kel3DViewpointRep);

  void DrawShading(KelRender& render, int inside) override;

  // The 11 segments (22 points, x y z each) of the picture as the camera is
  // now, for a window `aspect` times wider than high; the bounding sphere
  // follows.
  void BuildSegments(float aspect, float* points);
  static const int SegmentCount = 11;

  Kel3DViewpoint& GetCamera() const { return *_camera; }

 private:
  Kel3DViewpoint* _camera;
  KelViewer* _viewer;
};
