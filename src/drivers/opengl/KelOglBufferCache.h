// The buffer objects one OpenGL context keeps for the static geometry of the
// primitives it draws: a face's vertices, normals and indices, an edge's
// indices (its vertices are its face's), the points of lines and point clouds
// that own them. Each is sent once, on the primitive's first draw, and kept as
// one of the primitive's caches until the primitive's geometry changes or it
// goes; lines and markers that share their caller's array are drawn from it,
// since it may change at any time.
//
// A primitive lets go of its buffers on any thread state (its deletion is
// deferred while a pass holds the primitive lock, and may then happen with no
// context current): their names wait in a list, and the context deletes them
// at the start of its next frame, or when it goes.
//
// A face's draw calls (the triangles, each strip and each fan, with the range
// of their indices) are worked out once, when its buffers are made.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class KelGraphicPrimitive;
class Kel3DEdgeGP;
class Kel3DFaceGP;

class KelOglBufferCache {
 public:
  // One draw call of a face: its indices, in the face's arrays and `offset`
  // bytes into the index buffer, name vertex positions from lo to hi.
  struct Run {
    GLenum mode;
    GLsizei count;
    GLuint lo;
    GLuint hi;
    std::size_t offset;
    const int* indices;
  };
  struct Buffers {
    GLuint vertices = 0;
    GLuint normals = 0;  // faces with a normal per vertex
    GLuint indices = 0;  // faces and edges
    std::vector<Run> runs;
  };

  KelOglBufferCache() = default;
  // Every primitive forgets its buffers here. The context's owner deletes
  // them first (Abandon(), then BeginFrame()) if the context outlives the cache.
  ~KelOglBufferCache();
  KelOglBufferCache(const KelOglBufferCache&) = delete;
  KelOglBufferCache& operator=(const KelOglBufferCache&) = delete;

  // The primitives forget their buffers; their names wait for the next frame.
  void Abandon();
  // A face's draw calls (indices out of the vertex array leave theirs out,
  // reported once).
  static void FaceRuns(const Kel3DFaceGP& face, std::vector<Run>& runs);

  // A face's buffers and draw calls, made on its first draw.
  const Buffers& Face(Kel3DFaceGP& face);
  // An edge's index buffer.
  const Buffers& Edge(Kel3DEdgeGP& edge);
  // The vertex buffer of `count` points of three floats the primitive owns.
  const Buffers& Points(KelGraphicPrimitive& gp, const float* points, int count);

  // Deletes the buffers let go of since the last frame, and starts counting
  // the bytes sent anew.
  void BeginFrame();
  // Bytes of geometry sent from client arrays.
  void Sent(long bytes) { _sent += bytes; }
  long GetBytesSent() const { return _sent; }
  long GetBytesHeld() const { return _held; }

 private:
  class Entry;
  Entry* Find(KelGraphicPrimitive& gp) const;
  Entry* Make(KelGraphicPrimitive& gp);
  GLuint Upload(Entry& entry, GLenum target, const void* data, long bytes);
  // The primitive let go of the entry: its buffers wait for the next frame.
  void Drop(Entry* entry);
  void Unlink(Entry* entry);

  Entry* _entries = nullptr;  // live, doubly linked
  std::vector<GLuint> _dropped;
  long _droppedBytes = 0;
  long _sent = 0;
  long _held = 0;
};
