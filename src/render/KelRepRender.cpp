#include <kel/render/KelRepRender.h>

#include <kel/reps/KelRep.h>
#include <kel/viewpoints/KelViewpoint.h>

namespace {
void DrawList(KelRender& render, const list<KelRep*>& reps) {
  for (int i = 0; i < reps.Count(); ++i) {
    KelRep* rep = reps[i];
    if (!rep) break;
    rep->DrawShading(render, 0);
  }
}
}  // namespace

void KelRepRender::Draw(KelViewpoint& viewpoint) {
  DrawList(*this, viewpoint.GetRepList());
  SetFurtiveOn();
  DrawList(*this, viewpoint.GetFurtiveRepList());
  SetFurtiveOff();
}
