// Base of every graphic primitive (GP): a leaf of geometry drawn by double
// dispatch into a render. Owners release primitives with Destroy(), which defers
// the deletion while a drawing pass holds the process-wide primitive lock.
#pragma once

#include <kel/framework/KelExtendable.h>
#include <kel/framework/list.h>

class KelRender;
class KelPrimitiveCache;

class KelGraphicPrimitive : public KelExtendable {
 public:
  KelGraphicPrimitive() = default;
  ~KelGraphicPrimitive() override;

  KEL_DECLARE_META(KelGraphicPrimitive);

  // Calls the one typed operation of the render that knows this primitive.
  virtual void Draw(KelRender& render) = 0;

  static void Lock();
  // Ends one Lock(); the last one deletes the primitives parked meanwhile. An
  // unbalanced Unlock() leaves the counter at 0.
  static void Unlock();
  // Deletes `gp` now, or parks it until the last Unlock() while locked. A
  // primitive parked twice is deleted once.
  static void Destroy(KelGraphicPrimitive* gp);
  // Deletes `gp` now, whatever the lock.
  static void Delete(KelGraphicPrimitive* gp);
  // Deletes the parked primitives in the order of their requests and frees the list.
  static void Reset();

  static int _nb_lock;
  static list<KelGraphicPrimitive*> _listOfGraphicPrimitive;

  // What is derived from the geometry (see KelPrimitiveCache), found by its
  // owner; null when there is none.
  KelPrimitiveCache* FindCache(const void* owner) const;
  // Takes the cache; one already held for the same owner is released first.
  void AddCache(KelPrimitiveCache* cache);
  // Gives the cache back to its owner without releasing it (a driver whose
  // context goes frees its buffers itself).
  void DetachCache(KelPrimitiveCache* cache);
  // The geometry changed: every cache is released and the version moves on.
  void GeometryChanged();
  // Moves on with every GeometryChanged(); derived data built from another
  // primitive's arrays (an edge on its face's) compares it.
  unsigned GetGeometryVersion() const { return _geometryVersion; }

 private:
  void ReleaseCaches();

  KelPrimitiveCache* _caches = nullptr;
  unsigned _geometryVersion = 0;
};
