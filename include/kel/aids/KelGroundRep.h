// The ground shown under a 3D scene while navigating: a square grid of lines
// in the plane normal to the vertical, centred on the ground's origin, over a
// translucent floor when the style asks for one.
//
// Geometry: built from the scene's bounding sphere (centre c, radius R; 1 for
// an empty sphere): origin c - R vertical, the grid spans 2R each way from
// the origin along two axes of its plane (KelPlaneAxes of the vertical), ten
// cells a side. The grid lines are element kind 2 in the default colour and
// pickable; the floor is element kind 2, colour 252, translucent and not
// pickable (it never hides what lies under it from picking).
//
// Moving: Translate(offset) places the ground `offset` along the vertical from
// its origin; it is absolute, not cumulative: each call replaces the previous
// offset, so a drag may call it on every motion with the offset from the
// press. The origin itself changes only through SetOrigin (which clears the
// offset); GetNewOrigin() is where the ground now lies.
#pragma once

#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/framework/Keldirection3f.h>
#include <kel/framework/Kelpoint3f.h>
#include <kel/reps/Kel3DRep.h>

class Kel3DLineGP;
class Kel3DPlanarFaceGP;

enum GroundStyle : int {
  // The grid alone.
  GroundGrid = 0,
  // The grid over a translucent floor.
  GroundGridOnFloor = 1
};

class KelGroundRep : public Kel3DRep {
 public:
  explicit KelGroundRep(const Kel3DBoundingSphere& scene, GroundStyle style = GroundGridOnFloor,
                        const Keldirection3f& vertical = Keldirection3f(0.0f, 0.0f, 1.0f));
  ~KelGroundRep() override;

  KEL_DECLARE_META(KelGroundRep);

  void DrawShading(KelRender& render, int inside) override;

  // A new ground with the same style, size, vertical, origin, offset and
  // attributes, in no bag and without manipulator. Release it with Destroy().
  KelGroundRep* Copy() const;

  // The grid turns to lie normal to `vertical`, about the same origin.
  void SetVertical(const Keldirection3f& vertical);
  const Keldirection3f& GetVertical() const { return _vertical; }
  void SetOrigin(const Kelpoint3f& origin);
  const Kelpoint3f& GetOrigin() const { return _origin; }
  void Translate(float offset);
  float GetOffset() const { return _offset; }
  Kelpoint3f GetNewOrigin() const { return _origin + _vertical.AsVector() * _offset; }

  GroundStyle GetStyle() const { return _style; }
  // Half the width of the grid.
  float GetHalfSize() const { return _halfSize; }
  const Kel3DLineGP* GetGrid() const { return _grid; }
  const Kel3DPlanarFaceGP* GetFloor() const { return _floor; }
  const KelGraphicAttributeSet& GetFloorAttributeSet() const { return _floorAttributes; }

  static const int Cells = 10;

 private:
  KelGroundRep() = default;
  // Rebuilds the primitives and the volume around the new origin.
  void Build();
  void Release();

  GroundStyle _style = GroundGridOnFloor;
  Keldirection3f _vertical{0.0f, 0.0f, 1.0f};
  Kelpoint3f _origin;
  float _offset = 0.0f;
  float _halfSize = 1.0f;
  KelGraphicAttributeSet _floorAttributes;
  Kel3DLineGP* _grid = nullptr;
  Kel3DPlanarFaceGP* _floor = nullptr;
};
