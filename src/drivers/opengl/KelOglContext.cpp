#include "KelOglContext.h"

#include "KelOglFunctions.h"

#include <EGL/eglext.h>
#include <GL/glx.h>

#include <algorithm>
#include <cstdio>

namespace {

EGLDisplay EglDisplay() {
  // Opened once and never terminated: other supports may still use it.
  static EGLDisplay display = [] {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLDisplay d = EGL_NO_DISPLAY;
    if (getPlatformDisplay)
      d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (d == EGL_NO_DISPLAY) {
      std::fprintf(stderr, "KelOglContext: no surfaceless EGL display.\n");
      return EGL_NO_DISPLAY;
    }
    EGLint major = 0, minor = 0;
    if (!eglInitialize(d, &major, &minor)) {
      std::fprintf(stderr, "KelOglContext: eglInitialize failed (0x%x).\n", eglGetError());
      return EGL_NO_DISPLAY;
    }
    return d;
  }();
  return display;
}

// A window's GLX context current on this thread keeps EGL from binding one.
void ReleaseGlx() {
  if (glXGetCurrentContext()) glXMakeCurrent(glXGetCurrentDisplay(), None, nullptr);
}

// A framebuffer of RGBA colour and depth with stencil, with that many samples
// per pixel (1: a plain one); false, with a message and nothing left bound to
// the names, when the renderer cannot make it.
bool MakeFramebuffer(int width, int height, int samples, unsigned& framebuffer, unsigned& colour,
                     unsigned& depth) {
  const KelOglFunctions& gl = KelOglFunctions::Get();
  for (int stale = 0; stale < 16 && glGetError() != GL_NO_ERROR; ++stale) {
  }
  auto storage = [&](GLenum format) {
    if (samples > 1)
      gl.RenderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, width, height);
    else
      gl.RenderbufferStorage(GL_RENDERBUFFER, format, width, height);
  };
  gl.GenFramebuffers(1, &framebuffer);
  gl.BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  gl.GenRenderbuffers(1, &colour);
  gl.BindRenderbuffer(GL_RENDERBUFFER, colour);
  storage(GL_RGBA8);
  gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
  gl.GenRenderbuffers(1, &depth);
  gl.BindRenderbuffer(GL_RENDERBUFFER, depth);
  storage(GL_DEPTH24_STENCIL8);
  gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth);
  const bool noMemory = glGetError() == GL_OUT_OF_MEMORY;
  if (!noMemory && gl.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE)
    return true;
  if (noMemory)
    std::fprintf(stderr, "KelOglContext: no memory for %d x %d buffers of %d sample%s a pixel.\n",
                 width, height, samples, samples > 1 ? "s" : "");
  else
    std::fprintf(stderr, "KelOglContext: incomplete framebuffer.\n");
  gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
  gl.DeleteFramebuffers(1, &framebuffer);
  gl.DeleteRenderbuffers(1, &colour);
  gl.DeleteRenderbuffers(1, &depth);
  framebuffer = colour = depth = 0;
  return false;
}

}  // namespace

void KelOglContext::ReleaseCurrent() {
  if (eglGetCurrentContext() != EGL_NO_CONTEXT)
    eglMakeCurrent(EglDisplay(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

KelOglContext* KelOglContext::Create(int width, int height) {
  EGLDisplay display = EglDisplay();
  if (display == EGL_NO_DISPLAY || width <= 0 || height <= 0) return nullptr;
  if (!eglBindAPI(EGL_OPENGL_API)) {
    std::fprintf(stderr, "KelOglContext: no desktop OpenGL through EGL.\n");
    return nullptr;
  }
  const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_DONT_CARE, EGL_RENDERABLE_TYPE,
                                     EGL_OPENGL_BIT, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint count = 0;
  if (!eglChooseConfig(display, configAttributes, &config, 1, &count) || count < 1) {
    std::fprintf(stderr, "KelOglContext: no OpenGL configuration.\n");
    return nullptr;
  }
  const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                      EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
  EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
  if (context == EGL_NO_CONTEXT) {
    std::fprintf(stderr, "KelOglContext: eglCreateContext failed (0x%x).\n", eglGetError());
    return nullptr;
  }
  auto* c = new KelOglContext;
  c->_context = context;
  c->_width = width;
  c->_height = height;
  ReleaseGlx();
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context) ||
      !KelOglFunctions::Load()) {
    std::fprintf(stderr, "KelOglContext: the context cannot draw.\n");
    delete c;
    return nullptr;
  }
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
  if (width > maxSize || height > maxSize) {
    std::fprintf(stderr, "KelOglContext: %d x %d is larger than %d pixels.\n", width, height,
                 maxSize);
    delete c;
    return nullptr;
  }
  if (!MakeFramebuffer(width, height, 1, c->_framebuffer, c->_colour, c->_depth)) {
    delete c;
    return nullptr;
  }
  glViewport(0, 0, width, height);
  return c;
}

KelOglContext::~KelOglContext() {
  EGLDisplay display = EglDisplay();
  if (_context == EGL_NO_CONTEXT) return;
  ReleaseGlx();
  if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, _context)) {
    const KelOglFunctions& gl = KelOglFunctions::Get();
    if (_framebuffer) gl.DeleteFramebuffers(1, &_framebuffer);
    if (_colour) gl.DeleteRenderbuffers(1, &_colour);
    if (_depth) gl.DeleteRenderbuffers(1, &_depth);
    ReleaseMultisample();
  }
  eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  eglDestroyContext(display, _context);
}

int KelOglContext::MakeCurrent() {
  if (_context == EGL_NO_CONTEXT) return 0;
  if (eglGetCurrentContext() != _context) {
    ReleaseGlx();
    if (!eglMakeCurrent(EglDisplay(), EGL_NO_SURFACE, EGL_NO_SURFACE, _context)) return 0;
  }
  KelOglFunctions::Get().BindFramebuffer(GL_FRAMEBUFFER,
                                         _msFramebuffer ? _msFramebuffer : _framebuffer);
  glViewport(0, 0, _width, _height);
  return 1;
}

void KelOglContext::ReleaseMultisample() {
  const KelOglFunctions& gl = KelOglFunctions::Get();
  if (_msFramebuffer) gl.DeleteFramebuffers(1, &_msFramebuffer);
  if (_msColour) gl.DeleteRenderbuffers(1, &_msColour);
  if (_msDepth) gl.DeleteRenderbuffers(1, &_msDepth);
  _msFramebuffer = _msColour = _msDepth = 0;
  _samples = 1;
}

void KelOglContext::SetSamples(int samples) {
  if (samples == _samples || !MakeCurrent()) return;
  ReleaseMultisample();
  const KelOglFunctions& gl = KelOglFunctions::Get();
  GLint most = 1;
  if (gl.RenderbufferStorageMultisample) glGetIntegerv(GL_MAX_SAMPLES, &most);
  samples = std::min(samples, int(most));
  if (samples > 1 &&
      MakeFramebuffer(_width, _height, samples, _msFramebuffer, _msColour, _msDepth)) {
    _samples = samples;
  } else {
    ReleaseMultisample();
    if (samples > 1)
      std::fprintf(stderr, "KelOglContext: drawing %d x %d without anti-aliasing.\n", _width,
                   _height);
  }
  MakeCurrent();
}

void KelOglContext::Resolve() {
  const KelOglFunctions& gl = KelOglFunctions::Get();
  if (_msFramebuffer) {
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, _msFramebuffer);
    gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, _framebuffer);
    gl.BlitFramebuffer(0, 0, _width, _height, 0, 0, _width, _height, GL_COLOR_BUFFER_BIT,
                       GL_NEAREST);
  }
  gl.BindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
}
