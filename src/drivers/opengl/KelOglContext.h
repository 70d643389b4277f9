// One EGL context on Mesa's surfaceless platform with a framebuffer object
// (RGBA colour, depth and stencil) of a fixed size: where an off-screen support
// draws. The EGL display is opened once per process and kept.
#pragma once

#include <EGL/egl.h>

#include <memory>

class KelOglBufferCache;

class KelOglContext {
 public:
  // Null, with a message on the standard error stream, when no context or
  // framebuffer of that size can be made.
  static KelOglContext* Create(int width, int height);
  ~KelOglContext();
  KelOglContext(const KelOglContext&) = delete;
  KelOglContext& operator=(const KelOglContext&) = delete;

  // Binds the context and its framebuffer to the calling thread.
  int MakeCurrent();
  // Leaves no EGL context current, so that a window's GLX context can be made
  // current (one API's context at a time on a thread).
  static void ReleaseCurrent();
  int GetWidth() const { return _width; }
  int GetHeight() const { return _height; }
  // The buffer objects of the primitives drawn in this context.
  KelOglBufferCache& GetBuffers() { return *_buffers; }

 private:
  KelOglContext() = default;

  EGLContext _context = EGL_NO_CONTEXT;
  unsigned _framebuffer = 0;
  unsigned _colour = 0;
  unsigned _depth = 0;
  int _width = 0;
  int _height = 0;
  std::unique_ptr<KelOglBufferCache> _buffers;
};
