// Something derived from a primitive's geometry and kept with it until that
// geometry changes or the primitive goes: a pick structure, the buffers a
// graphics driver keeps on the graphics card. A primitive holds at most one
// cache per owner (the class or driver object that made it), owns its caches,
// and ends each one with Release(), which may hand resources on rather than
// free them at once: a driver frees its buffers on its own drawing thread,
// with its context current.
#pragma once

class KelGraphicPrimitive;

class KelPrimitiveCache {
 public:
  explicit KelPrimitiveCache(const void* owner) : _owner(owner) {}
  virtual ~KelPrimitiveCache();
  KelPrimitiveCache(const KelPrimitiveCache&) = delete;
  KelPrimitiveCache& operator=(const KelPrimitiveCache&) = delete;

  const void* GetOwner() const { return _owner; }

 protected:
  // The primitive lets go of the cache: called once, by the primitive's
  // GeometryChanged() or destructor. The default deletes the cache.
  virtual void Release();

 private:
  friend class KelGraphicPrimitive;
  const void* _owner;
  KelPrimitiveCache* _next = nullptr;
};
