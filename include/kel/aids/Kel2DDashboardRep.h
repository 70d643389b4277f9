// The navigation dashboard: an overlay Rep in window pixels (y upwards) at
// the top right corner of the window. A compass whose needle points to the
// north as the camera sees it (up when looking north, left when looking east),
// and four lines of text: the heading (degrees clockwise from the north, seen
// from above), the pitch (degrees above the horizon), the distance from the
// eye to the centre of the scene's bounding sphere, and the fly speed (model
// units per second, times the translation sensitivity). Never picked.
//
// Its inputs are those the navigation viewer has: the window's size, the
// editor's speeds, the scene's bounding sphere, the vertical and the north
// directions, and the camera. A north along the vertical, or a camera looking
// straight along it, leaves the heading at its last value.
#pragma once

#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/framework/Keldirection3f.h>
#include <kel/framework/Kelpoint3f.h>
#include <kel/reps/Kel2DRep.h>

class Kel3DViewpoint;

class Kel2DDashboardRep : public Kel2DRep {
 public:
  Kel2DDashboardRep();

  KEL_DECLARE_META(Kel2DDashboardRep);

  void SetGraphicSize(float width, float height);
  void SetSpeeds(float flySpeed, float translationSensitivity);
  void SetBoundingSphere(const Kel3DBoundingSphere& sphere);
  void SetVertical(const Keldirection3f& vertical);
  void SetNorth(const Keldirection3f& north);
  void SetViewpoint(const Kel3DViewpoint& viewpoint);

  void DrawShading(KelRender& render, int inside) override;

  float GetHeading() const { return _heading; }
  float GetPitch() const { return _pitch; }
  float GetDistance() const;
  float GetSpeed() const { return _flySpeed * _sensitivity; }
  // The compass's centre and the tip of its needle, in window pixels.
  void GetNeedle(float centre[2], float tip[2]) const;
  // Line k (0 to 3) of the text as the next draw shows it.
  const char* GetText(int k) const { return k >= 0 && k < 4 ? _texts[k] : ""; }

 private:
  void Update();

  float _width = 0.0f, _height = 0.0f;
  float _flySpeed = 0.0f, _sensitivity = 1.0f;
  Kel3DBoundingSphere _sphere;
  Keldirection3f _vertical;
  Keldirection3f _north;
  Kelpoint3f _eye;
  Keldirection3f _sight;
  float _heading = 0.0f;
  float _pitch = 0.0f;
  char _texts[4][40] = {};
};
