#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/render/KelRender.h>

KEL_IMPLEMENT_META(Kel3DPolylineGP, Kel3DLineGP)

Kel3DPolylineGP::Kel3DPolylineGP(const float* points, const int n, const int allocate)
    : Kel3DLineGP(points, n, allocate) {}

void Kel3DPolylineGP::Draw(KelRender& render) {
  render.Draw3DPolyline(*this);
}
