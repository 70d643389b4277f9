#include <kel/primitives/KelDynamicGP.h>
#include <kel/render/KelRender.h>

KEL_IMPLEMENT_META(KelDynamicGP, KelGraphicPrimitive)

void KelDynamicGP::Draw(KelRender& render) {
  render.DrawDynamicGP(*this);
}
