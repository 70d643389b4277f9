#include <kel/primitives/KelBagGP.h>

KEL_IMPLEMENT_META(KelBagGP, KelGraphicPrimitive)

KelBagGP::KelBagGP(const int n, KelGraphicPrimitive** primitives) {
  if (n <= 0 || !primitives) return;
  _children = new KelGraphicPrimitive*[n];
  for (int i = 0; i < n; ++i) _children[i] = primitives[i];
  _count = n;
}

KelBagGP::~KelBagGP() {
  // Immediate: a bag is deleted only when no pass can still refer to it.
  for (int i = 0; i < _count; ++i) KelGraphicPrimitive::Delete(_children[i]);
  delete[] _children;
}

void KelBagGP::Draw(KelRender& render) {
  for (int i = 0; i < _count; ++i)
    if (_children[i]) _children[i]->Draw(render);
}

KelGraphicPrimitive* KelBagGP::Get_Son(const int i) {
  return _children[i];
}
KelGraphicPrimitive** KelBagGP::GetChildren() {
  return _children;
}
