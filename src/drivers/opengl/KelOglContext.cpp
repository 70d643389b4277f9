#include "KelOglContext.h"

#include "KelOglBufferCache.h"
#include "KelOglFunctions.h"

#include <EGL/eglext.h>
#include <GL/glx.h>

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
  c->_buffers = std::make_unique<KelOglBufferCache>();
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
  const KelOglFunctions& gl = KelOglFunctions::Get();
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
  if (width > maxSize || height > maxSize) {
    std::fprintf(stderr, "KelOglContext: %d x %d is larger than %d pixels.\n", width, height,
                 maxSize);
    delete c;
    return nullptr;
  }
  gl.GenFramebuffers(1, &c->_framebuffer);
  gl.BindFramebuffer(GL_FRAMEBUFFER, c->_framebuffer);
  gl.GenRenderbuffers(1, &c->_colour);
  gl.BindRenderbuffer(GL_RENDERBUFFER, c->_colour);
  gl.RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, c->_colour);
  gl.GenRenderbuffers(1, &c->_depth);
  gl.BindRenderbuffer(GL_RENDERBUFFER, c->_depth);
  gl.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
  gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                             c->_depth);
  if (gl.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    std::fprintf(stderr, "KelOglContext: incomplete framebuffer.\n");
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
    _buffers->Abandon();
    _buffers->BeginFrame();
    const KelOglFunctions& gl = KelOglFunctions::Get();
    if (_framebuffer) gl.DeleteFramebuffers(1, &_framebuffer);
    if (_colour) gl.DeleteRenderbuffers(1, &_colour);
    if (_depth) gl.DeleteRenderbuffers(1, &_depth);
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
  KelOglFunctions::Get().BindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
  glViewport(0, 0, _width, _height);
  return 1;
}
