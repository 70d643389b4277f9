#include <kel/primitives/KelGraphicPrimitive.h>

KEL_IMPLEMENT_META(KelGraphicPrimitive, KelExtendable)

int KelGraphicPrimitive::_nb_lock = 0;
list<KelGraphicPrimitive*> KelGraphicPrimitive::_listOfGraphicPrimitive;

KelGraphicPrimitive::~KelGraphicPrimitive() = default;

void KelGraphicPrimitive::Lock() {
  ++_nb_lock;
}

void KelGraphicPrimitive::Unlock() {
  if (_nb_lock <= 0) {
    _nb_lock = 0;
    return;
  }
  if (--_nb_lock == 0) Reset();
}

void KelGraphicPrimitive::Destroy(KelGraphicPrimitive* gp) {
  if (!gp) return;
  if (_nb_lock != 0) {
    // Parked once only: a second request would delete it twice.
    _listOfGraphicPrimitive.AppendUnique(gp);
    return;
  }
  delete gp;
}

void KelGraphicPrimitive::Delete(KelGraphicPrimitive* gp) {
  delete gp;
}

void KelGraphicPrimitive::Reset() {
  // A destructor may itself Destroy() other primitives (a Rep releasing its
  // GPs); the unlocked state deletes those at once, so the walk sees a stable list.
  list<KelGraphicPrimitive*> parked = _listOfGraphicPrimitive;
  _listOfGraphicPrimitive.Free();
  for (int i = 0; i < parked.Count(); ++i) delete parked[i];
}
