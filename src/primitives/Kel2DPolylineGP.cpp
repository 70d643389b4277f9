#include <kel/primitives/Kel2DPolylineGP.h>
#include <kel/render/KelRender.h>

void Kel2DPolylineGP::Draw(KelRender& render) {
  render.Draw2DPolyline(*this);
}
