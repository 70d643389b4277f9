#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/primitives/KelPrimitiveCache.h>

KEL_IMPLEMENT_META(KelGraphicPrimitive, KelExtendable)

int KelGraphicPrimitive::_nb_lock = 0;
list<KelGraphicPrimitive*> KelGraphicPrimitive::_listOfGraphicPrimitive;

KelGraphicPrimitive::~KelGraphicPrimitive() {
  ReleaseCaches();
}

KelPrimitiveCache* KelGraphicPrimitive::FindCache(const void* owner) const {
  for (KelPrimitiveCache* c = _caches; c; c = c->_next)
    if (c->_owner == owner) return c;
  return nullptr;
}

void KelGraphicPrimitive::AddCache(KelPrimitiveCache* cache) {
  if (!cache) return;
  if (KelPrimitiveCache* old = FindCache(cache->_owner)) {
    DetachCache(old);
    old->Release();
  }
  cache->_next = _caches;
  _caches = cache;
}

void KelGraphicPrimitive::DetachCache(KelPrimitiveCache* cache) {
  for (KelPrimitiveCache** c = &_caches; *c; c = &(*c)->_next) {
    if (*c == cache) {
      *c = cache->_next;
      cache->_next = nullptr;
      return;
    }
  }
}

void KelGraphicPrimitive::GeometryChanged() {
  ++_geometryVersion;
  ReleaseCaches();
}

void KelGraphicPrimitive::ReleaseCaches() {
  while (KelPrimitiveCache* c = _caches) {
    _caches = c->_next;
    c->_next = nullptr;
    c->Release();
  }
}

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
