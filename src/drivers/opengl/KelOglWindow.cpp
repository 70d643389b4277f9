#include "KelOglWindow.h"

#include <kel/viewers/KelColorMap.h>

#include "KelOglBufferCache.h"
#include "KelOglContext.h"
#include "KelOglFunctions.h"
#include "KelOglRender.h"

#include <GL/gl.h>

#include <cstdio>

KelOglWindow::KelOglWindow(int width, int height) : KelGraphicWindow(width, height) {}

KelOglWindow::~KelOglWindow() {
  // The primitives forget this context's buffers; the context frees them.
  _buffers.reset();
  if (!_context) return;
  Display* display = GetDisplay();
  if (glXGetCurrentContext() == _context) glXMakeCurrent(display, None, nullptr);
  glXDestroyContext(display, _context);
}

void KelOglWindow::Create(Widget parent) {
  KelGraphicWindow::Create(parent);
  int stereo = 0;
  if (_visual && GetDisplay()) glXGetConfig(GetDisplay(), _visual, GLX_STEREO, &stereo);
  _stereoBuffers = stereo ? 1 : 0;
  _stereoAvailable = _stereoBuffers;
}

void KelOglWindow::Exposed() {
  if (!_context && _visual) {
    _context = glXCreateContext(GetDisplay(), _visual, nullptr, True);
    if (!_context)
      std::fprintf(stderr, "KelOglWindow::Exposed: no GLX context on visual 0x%lx.\n",
                   _visual->visualid);
    else if (!MakeCurrent() || !KelOglFunctions::Load())
      std::fprintf(stderr, "KelOglWindow::Exposed: the GLX context cannot draw.\n");
    else
      _buffers = std::make_unique<KelOglBufferCache>();
  }
  // The back buffer is not kept across exposes: the whole frame is drawn again.
  DrawRequest();
}

void KelOglWindow::Resized() {
  if (MakeCurrent()) glViewport(0, 0, static_cast<GLsizei>(_width), static_cast<GLsizei>(_height));
}

int KelOglWindow::MakeCurrent() {
  if (!_context || !GetWindow()) return 0;
  if (glXGetCurrentContext() == _context && glXGetCurrentDrawable() == GetWindow()) return 1;
  KelOglContext::ReleaseCurrent();
  return glXMakeCurrent(GetDisplay(), GetWindow(), _context) ? 1 : 0;
}

KelRender* KelOglWindow::CreateDrawingRender() {
  return new KelOglRender(*this, _buffers.get());
}

void KelOglWindow::Drawing(list<KelViewpoint*>& viewpoints) {
  if (!MakeCurrent()) {
    ResetDL(viewpoints);
    return;
  }
  if (_buffers) _buffers->BeginFrame();
  KelGraphicWindow::Drawing(viewpoints);
  if (!_buffers) return;
  _bytesSentToGPU = _buffers->GetBytesSent();
  _bytesHeldOnGPU = _buffers->GetBytesHeld();
}

void KelOglWindow::ClearBuffer(unsigned buffer) {
  if (!MakeCurrent()) return;
  glDrawBuffer(buffer);
  glViewport(0, 0, static_cast<GLsizei>(_width), static_cast<GLsizei>(_height));
  float r = 0, g = 0, b = 0;
  GetBackgroundColor(&r, &g, &b);
  glDepthMask(GL_TRUE);
  glClearColor(r, g, b, 1.0f);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void KelOglWindow::Clear() {
  ClearBuffer(GL_BACK);
}

void KelOglWindow::ClearLeft() {
  ClearBuffer(GL_BACK_LEFT);
}

void KelOglWindow::ClearRight() {
  ClearBuffer(GL_BACK_RIGHT);
}

void KelOglWindow::Swap() {
  if (_context && GetWindow()) glXSwapBuffers(GetDisplay(), GetWindow());
}

void KelOglWindow::SwapStereo() {
  Swap();
}

void KelOglWindow::SwitchBack() {
  if (!MakeCurrent()) return;
  glFlush();
  glDrawBuffer(GL_BACK);
}

void KelOglWindow::SwitchFront() {
  if (MakeCurrent()) glDrawBuffer(GL_FRONT);
}

void KelOglWindow::SwitchFrontLeft() {
  if (MakeCurrent()) glDrawBuffer(GL_FRONT_LEFT);
}

void KelOglWindow::SwitchFrontRight() {
  if (MakeCurrent()) glDrawBuffer(GL_FRONT_RIGHT);
}

void KelOglWindow::ActivateStereoMode(int mode, float eyeDistance) {
  if (!_stereoBuffers) {
    std::fprintf(stderr,
                 "KelOglWindow::ActivateStereoMode: the visual has no stereo buffers; drawing "
                 "stays mono.\n");
    return;
  }
  KelGraphicWindow::ActivateStereoMode(mode, eyeDistance);
}

void KelOglWindow::ReadPixels() {
  if (!_grabImage || !MakeCurrent()) return;
  int w = 0, h = 0;
  _grabImage->GetSize(w, h);
  unsigned char* pixels = _grabImage->GetPixelsToModify();
  if (!pixels || w <= 0 || h <= 0) return;
  glReadBuffer(_stereoActive ? GL_BACK_LEFT : GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  // OpenGL's first row is the bottom one, as the image stores it.
  glReadPixels(_grabX, _grabY, w, h, KelOglPixelFormat(*_grabImage), GL_UNSIGNED_BYTE, pixels);
}
