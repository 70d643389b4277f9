// A connected 2D polyline; ownership of the points as for the line.
#pragma once

#include <kel/primitives/Kel2DLineGP.h>

class Kel2DPolylineGP : public Kel2DLineGP {
 public:
  using Kel2DLineGP::Kel2DLineGP;

  void Draw(KelRender& render) override;
};
