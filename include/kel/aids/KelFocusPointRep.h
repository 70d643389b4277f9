// The mark of a camera's target, drawn through the viewer's main 3D
// viewpoint while the user turns about the target or picks a new one: a cross
// in the screen plane with a small square at its middle, `size` pixels
// across whatever the distance. It follows the camera it is built on (which
// must outlive it) and is never picked.
#pragma once

#include <kel/reps/Kel3DRep.h>

class Kel3DViewpoint;
class KelViewer;

class KelFocusPointRep : public Kel3DRep {
 public:
  KelFocusPointRep(Kel3DViewpoint& camera, KelViewer* viewer, float size);
  ~KelFocusPointRep() override;
  KelFocusPointRep(const KelFocusPointRep&) = delete;
  KelFocusPointRep& operator=(const KelFocusPointRep&) = delete;

  KEL_DECLARE_META(KelFocusPointRep);

  void DrawShading(KelRender& render, int inside) override;

  Kel3DViewpoint& GetCamera() const { return *_camera; }
  KelViewer* GetViewer() const { return _viewer; }
  float GetSize() const { return _size; }

 private:
  Kel3DViewpoint* _camera;
  KelViewer* _viewer;
  float _size;
};
