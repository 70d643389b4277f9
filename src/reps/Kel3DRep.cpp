#include <kel/reps/Kel3DRep.h>

#include <kel/render/KelRender.h>

KEL_IMPLEMENT_META(Kel3DRep, KelRep)

Kel3DRep::Kel3DRep() = default;
Kel3DRep::Kel3DRep(KelModelIdentificator& id, KelVisuController* controller)
    : KelRep(id, controller) {}

Kel3DRep::~Kel3DRep() {
  DetachFromParents();
}

void Kel3DRep::AddBoundingElement(const Kel3DBoundingSphere& s) {
  _boundingSphere += s;
}

int Kel3DRep::OkToDraw(KelRender& render, int* inside) {
  if (*inside == 0) {
    if (!render.IsDrawable(_attributes, _boundingSphere, static_cast<const KelRep&>(*this)) ||
        render.IsToSmall(_boundingSphere))
      return 0;
    if (render.IsInside(_boundingSphere)) *inside = 1;
    return 1;
  }
  if (render.IsToSmall(_boundingSphere)) return 0;
  return render.IsDrawable(_attributes, static_cast<const KelRep&>(*this)) ? 1 : 0;
}
