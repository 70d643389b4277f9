// One EGL context on Mesa's surfaceless platform with a framebuffer object
// (RGBA colour, depth and stencil) of a fixed size: where an off-screen support
// draws, or where a multisample framebuffer of the same size is resolved to.
// The EGL display is opened once per process and kept.
#pragma once

#include <EGL/egl.h>

class KelOglContext {
 public:
  // Null, with a message on the standard error stream, when no context or
  // framebuffer of that size can be made.
  static KelOglContext* Create(int width, int height);
  ~KelOglContext();
  KelOglContext(const KelOglContext&) = delete;
  KelOglContext& operator=(const KelOglContext&) = delete;

  // Binds the context and the framebuffer drawn into (the multisample one
  // when there is one) to the calling thread.
  int MakeCurrent();
  // Draws with that many samples per pixel from the next MakeCurrent, at most
  // what the renderer allows; 1 draws without. When the memory cannot be had
  // it says so on the standard error stream and draws without.
  void SetSamples(int samples);
  int GetSamples() const { return _samples; }
  // Leaves the picture in the single-sample framebuffer, bound for reading.
  void Resolve();
  // Leaves no EGL context current, so that a window's GLX context can be made
  // current (one API's context at a time on a thread).
  static void ReleaseCurrent();
  int GetWidth() const { return _width; }
  int GetHeight() const { return _height; }

 private:
  KelOglContext() = default;
  void ReleaseMultisample();

  EGLContext _context = EGL_NO_CONTEXT;
  unsigned _framebuffer = 0;
  unsigned _colour = 0;
  unsigned _depth = 0;
  unsigned _msFramebuffer = 0;
  unsigned _msColour = 0;
  unsigned _msDepth = 0;
  int _samples = 1;
  int _width = 0;
  int _height = 0;
};
