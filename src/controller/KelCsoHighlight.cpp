#include "KelCsoHighlight.h"

#include <kel/reps/Kel2DRep.h>
#include <kel/reps/Kel3DRep.h>
#include <kel/reps/KelPathElementRep.h>
#include <kel/viewers/Kel2DViewer.h>
#include <kel/viewers/Kel3DViewer.h>

namespace {

template <class Base>
class Holder : public Base {
 public:
  explicit Holder(KelPathElementRep& rep) : _rep(rep) {}
  void DrawShading(KelRender& render, int inside) override { _rep.DrawShading(render, inside); }

 private:
  KelPathElementRep& _rep;
};

}  // namespace

KelRep* KelCsoHighlight::Make(int type, KelPathElementRep& rep) {
  if (type == 3) return new Holder<Kel3DRep>(rep);
  if (type == 2) return new Holder<Kel2DRep>(rep);
  return nullptr;
}

void KelCsoHighlight::Add(KelViewer& viewer, int type, KelRep* holder, int furtive) {
  if (!holder) return;
  if (type == 3 && viewer.IsAKindOf(Kel3DViewer::ClassName())) {
    auto& v = static_cast<Kel3DViewer&>(viewer);
    auto* rep = static_cast<Kel3DRep*>(holder);
    furtive ? v.AddRepFurtive(rep) : v.AddRep(rep);
  } else if (type == 2 && viewer.IsAKindOf(Kel2DViewer::ClassName())) {
    auto& v = static_cast<Kel2DViewer&>(viewer);
    auto* rep = static_cast<Kel2DRep*>(holder);
    furtive ? v.AddRepFurtive(rep) : v.AddRep(rep);
  }
}

void KelCsoHighlight::Remove(KelViewer& viewer, int type, KelRep* holder, int furtive) {
  if (!holder) return;
  if (type == 3 && viewer.IsAKindOf(Kel3DViewer::ClassName())) {
    auto& v = static_cast<Kel3DViewer&>(viewer);
    auto* rep = static_cast<Kel3DRep*>(holder);
    furtive ? v.RemoveRepFurtive(rep) : v.RemoveRep(rep);
  } else if (type == 2 && viewer.IsAKindOf(Kel2DViewer::ClassName())) {
    auto& v = static_cast<Kel2DViewer&>(viewer);
    auto* rep = static_cast<Kel2DRep*>(holder);
    furtive ? v.RemoveRepFurtive(rep) : v.RemoveRep(rep);
  }
}
