// A connected 3D polyline; same data and ownership as the line.
#pragma once

#include <kel/primitives/Kel3DLineGP.h>

class Kel3DPolylineGP : public Kel3DLineGP {
 public:
  Kel3DPolylineGP() = default;
  Kel3DPolylineGP(const float* points, const int n, const int allocate);

  KEL_DECLARE_META(Kel3DPolylineGP);

  void Draw(KelRender& render) override;
};
