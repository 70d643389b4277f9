// Frame corners: L-shaped marks at the corners of the rectangle center +-
// (dx, dy), each leg `length` long, drawn whenever shown (no culling).
#pragma once

#include <kel/framework/Kelpoint2f.h>
#include <kel/reps/Kel2DRep.h>

class Kel2DPolylineGP;

// Corners 1 and 2 lie on the y + dy side, 3 and 4 on the y - dy side; 1 and 3
// on the x - dx side.
enum CadreRepCorner : int {
  ALL_CADRE_CORNERS = 0,
  TOP_LEFT_CADRE_CORNER = 1,
  TOP_RIGHT_CADRE_CORNER = 2,
  BOTTOM_LEFT_CADRE_CORNER = 3,
  BOTTOM_RIGHT_CADRE_CORNER = 4
};

class Kel2DCadreRep : public Kel2DRep {
 public:
  // Corner 0 draws the four corners, 1 to 4 that corner only; any other value
  // is refused with a message and draws nothing.
  Kel2DCadreRep(Kelpoint2f center, float dx, float dy, float length, CadreRepCorner corner);
  ~Kel2DCadreRep() override;

  void DrawShading(KelRender& render, int inside) override;
  void Modify(Kelpoint2f center, float dx, float dy, float length);

  int GetNbCorners() const { return _count; }
  const Kel2DPolylineGP* GetCorner(int i) const { return _corners[i]; }
  // The parameters of the last build.
  CadreRepCorner GetCadreCorner() const { return _corner; }
  const Kelpoint2f& GetCenter() const { return _center; }
  float GetDx() const { return _dx; }
  float GetDy() const { return _dy; }
  float GetLength() const { return _length; }

 private:
  void ReleaseCorners();

  CadreRepCorner _corner;
  Kel2DPolylineGP* _corners[4] = {nullptr, nullptr, nullptr, nullptr};
  int _count = 0;
  Kelpoint2f _center;
  float _dx = 0.0f, _dy = 0.0f, _length = 0.0f;
};
