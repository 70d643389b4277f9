#include "KelOglBufferCache.h"

#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/KelPrimitiveCache.h>

#include "KelOglFunctions.h"

#include <algorithm>
#include <cstdio>

namespace {

// Every index of the array names a whole vertex below `limit` coordinates.
bool InRange(const int* indices, int n, int limit, int& lo, int& hi) {
  lo = limit;
  hi = 0;
  for (int i = 0; i < n; ++i) {
    const int v = indices[i];
    if (v < 0 || v > limit - 3) return false;
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  return n > 0;
}

void ReportBadIndices() {
  static bool reported = false;
  if (reported) return;
  reported = true;
  std::fprintf(stderr, "KelOglRender::Draw3DFace: vertex index out of range; part not drawn.\n");
}

}  // namespace

class KelOglBufferCache::Entry : public KelPrimitiveCache {
 public:
  Entry(KelOglBufferCache* cache, KelGraphicPrimitive* gp)
      : KelPrimitiveCache(cache), cache(cache), primitive(gp) {}

  KelOglBufferCache* cache;
  KelGraphicPrimitive* primitive;
  Buffers buffers;
  long bytes = 0;
  Entry* previous = nullptr;
  Entry* next = nullptr;

 protected:
  void Release() override { cache->Drop(this); }
};

void KelOglBufferCache::FaceRuns(const Kel3DFaceGP& gp, std::vector<Run>& runs) {
  runs.clear();
  const int limit = gp.GetNbVertexCoords();
  std::size_t offset = 0;
  int lo, hi;
  if (gp.GetTriangles() && gp.GetNbTriangles() > 0) {
    const int n = 3 * gp.GetNbTriangles();
    if (InRange(gp.GetTriangles(), n, limit, lo, hi))
      runs.push_back({GL_TRIANGLES, n, GLuint(lo), GLuint(hi), offset, gp.GetTriangles()});
    else
      ReportBadIndices();
    offset += sizeof(int) * std::size_t(n);
  }
  const struct {
    const int* indices;
    const int* lengths;
    int count;
    GLenum mode;
  } kinds[2] = {{gp.GetStrips(), gp.GetStripLengths(), gp.GetNbStrips(), GL_TRIANGLE_STRIP},
                {gp.GetFans(), gp.GetFanLengths(), gp.GetNbFans(), GL_TRIANGLE_FAN}};
  for (const auto& kind : kinds) {
    if (!kind.indices || !kind.lengths) continue;
    const int* first = kind.indices;
    for (int k = 0; k < kind.count; ++k) {
      const int length = kind.lengths[k];
      if (length >= 3) {
        if (InRange(first, length, limit, lo, hi))
          runs.push_back({kind.mode, length, GLuint(lo), GLuint(hi),
                          offset + sizeof(int) * std::size_t(first - kind.indices), first});
        else
          ReportBadIndices();
      }
      first += length;
    }
    offset += sizeof(int) * std::size_t(first - kind.indices);
  }
}

KelOglBufferCache::~KelOglBufferCache() {
  Abandon();
}

void KelOglBufferCache::Abandon() {
  while (Entry* e = _entries) {
    e->primitive->DetachCache(e);
    Drop(e);
  }
}

KelOglBufferCache::Entry* KelOglBufferCache::Find(KelGraphicPrimitive& gp) const {
  return static_cast<Entry*>(gp.FindCache(this));
}

KelOglBufferCache::Entry* KelOglBufferCache::Make(KelGraphicPrimitive& gp) {
  auto* e = new Entry(this, &gp);
  e->next = _entries;
  if (_entries) _entries->previous = e;
  _entries = e;
  gp.AddCache(e);
  return e;
}

GLuint KelOglBufferCache::Upload(Entry& entry, GLenum target, const void* data, long bytes) {
  const KelOglFunctions& gl = KelOglFunctions::Get();
  GLuint name = 0;
  gl.GenBuffers(1, &name);
  gl.BindBuffer(target, name);
  gl.BufferData(target, bytes, data, GL_STATIC_DRAW);
  gl.BindBuffer(target, 0);
  entry.bytes += bytes;
  _held += bytes;
  _sent += bytes;
  return name;
}

const KelOglBufferCache::Buffers& KelOglBufferCache::Face(Kel3DFaceGP& face) {
  if (Entry* e = Find(face)) return e->buffers;
  Entry& e = *Make(face);
  const int nv = face.GetNbVertexCoords();
  e.buffers.vertices = Upload(e, GL_ARRAY_BUFFER, face.GetVertexArray(), long(sizeof(float)) * nv);
  if (face.GetNormals() && face.GetNbNormalCoords() >= nv)
    e.buffers.normals = Upload(e, GL_ARRAY_BUFFER, face.GetNormals(), long(sizeof(float)) * nv);
  FaceRuns(face, e.buffers.runs);
  // Triangles, strips and fans one after the other, as the runs expect.
  const long nt = face.GetTriangles() ? 3L * std::max(face.GetNbTriangles(), 0) : 0;
  const long ns = face.GetStrips() && face.GetStripLengths() ? face.GetNbStripIndices() : 0;
  const long nf = face.GetFans() && face.GetFanLengths() ? face.GetNbFanIndices() : 0;
  if (!e.buffers.runs.empty()) {
    std::vector<int> indices;
    indices.reserve(std::size_t(nt + ns + nf));
    indices.insert(indices.end(), face.GetTriangles(), face.GetTriangles() + nt);
    if (ns) indices.insert(indices.end(), face.GetStrips(), face.GetStrips() + ns);
    if (nf) indices.insert(indices.end(), face.GetFans(), face.GetFans() + nf);
    e.buffers.indices =
        Upload(e, GL_ELEMENT_ARRAY_BUFFER, indices.data(), long(sizeof(int) * indices.size()));
  }
  return e.buffers;
}

const KelOglBufferCache::Buffers& KelOglBufferCache::Edge(Kel3DEdgeGP& edge) {
  if (Entry* e = Find(edge)) return e->buffers;
  Entry& e = *Make(edge);
  e.buffers.indices = Upload(e, GL_ELEMENT_ARRAY_BUFFER, edge.GetIndices(),
                             long(sizeof(std::uint16_t)) * edge.GetNbIndices());
  return e.buffers;
}

const KelOglBufferCache::Buffers& KelOglBufferCache::Points(KelGraphicPrimitive& gp,
                                                            const float* points, int count) {
  if (Entry* e = Find(gp)) return e->buffers;
  Entry& e = *Make(gp);
  e.buffers.vertices = Upload(e, GL_ARRAY_BUFFER, points, long(3 * sizeof(float)) * count);
  return e.buffers;
}

void KelOglBufferCache::Unlink(Entry* e) {
  if (e->previous) e->previous->next = e->next;
  if (e->next) e->next->previous = e->previous;
  if (_entries == e) _entries = e->next;
}

void KelOglBufferCache::Drop(Entry* e) {
  Unlink(e);
  for (GLuint name : {e->buffers.vertices, e->buffers.normals, e->buffers.indices})
    if (name) _dropped.push_back(name);
  _droppedBytes += e->bytes;
  delete e;
}

void KelOglBufferCache::BeginFrame() {
  if (!_dropped.empty()) {
    KelOglFunctions::Get().DeleteBuffers(GLsizei(_dropped.size()), _dropped.data());
    _dropped.clear();
  }
  _held -= _droppedBytes;
  _droppedBytes = 0;
  _sent = 0;
}
