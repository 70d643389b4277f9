#include "KelOglSupport.h"

#include <kel/images/KelPixelImage.h>
#include <kel/viewers/KelColorMap.h>

#include "KelOglContext.h"
#include "KelOglFunctions.h"
#include "KelOglRender.h"

#include <GL/gl.h>

#include <cstdio>

namespace {
int ImageWidth(const KelPixelImage* image) {
  int w = 0, h = 0;
  image->GetSize(w, h);
  return w;
}
int ImageHeight(const KelPixelImage* image) {
  int w = 0, h = 0;
  image->GetSize(w, h);
  return h;
}
}  // namespace

KelOglSupport::KelOglSupport(int width, int height, KelPixelImage* image)
    : KelSupport(width, height), _image(image) {}

KelOglSupport::KelOglSupport(const KelSupport& model, KelPixelImage* image)
    : KelSupport(model), _image(image) {
  _width = static_cast<float>(ImageWidth(image));
  _height = static_cast<float>(ImageHeight(image));
  _fog = model.IsFogOn();
  _polygonMode = model.GetPolygonDrawingMode();
  float *point = nullptr, *normal = nullptr;
  if (model.IsClipped(&point, &normal)) AddClippingPlane(point, normal);
}

KelOglSupport* KelOglSupport::Create(KelSupport* model, KelPixelImage* image) {
  if (!image) return nullptr;
  int w = 0, h = 0;
  image->GetSize(w, h);
  if (w <= 0 || h <= 0 || !image->GetPixelsToModify()) {
    std::fprintf(stderr, "createDriverSupport: the image cannot be drawn into.\n");
    return nullptr;
  }
  std::unique_ptr<KelOglContext> context(KelOglContext::Create(w, h));
  if (!context) return nullptr;
  KelOglSupport* s = model ? new KelOglSupport(*model, image) : new KelOglSupport(w, h, image);
  s->_context = std::move(context);
  s->_ownColorMap = std::make_unique<KelColorMap>();
  s->_colorMap = s->_ownColorMap.get();
  return s;
}

// The context goes before the colour map the renders read.
KelOglSupport::~KelOglSupport() {
  _context.reset();
}

int KelOglSupport::MakeCurrent() {
  return _context ? _context->MakeCurrent() : 0;
}

KelRender* KelOglSupport::CreateDrawingRender() {
  return new KelOglRender(*this);
}

void KelOglSupport::Clear() {
  if (_context) _context->SetSamples(GetSamples());
  if (!MakeCurrent()) return;
  float r = 0, g = 0, b = 0;
  GetBackgroundColor(&r, &g, &b);
  glDepthMask(GL_TRUE);
  glClearColor(r, g, b, 1.0f);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void KelOglSupport::Swap() {
  if (!MakeCurrent()) return;
  glFinish();
  ReadPixels();
}

void KelOglSupport::Drawing(list<KelViewpoint*>& viewpoints) {
  if (!MakeCurrent()) {
    ResetDL(viewpoints);
    return;
  }
  KelSupport::Drawing(viewpoints);
  Swap();
}

void KelOglSupport::ReadPixels() {
  if (!_image || !_context || !MakeCurrent()) return;
  int w = 0, h = 0;
  _image->GetSize(w, h);
  // The image may have been changed since: read only into what matches.
  if (w != _context->GetWidth() || h != _context->GetHeight()) {
    std::fprintf(stderr, "KelOglSupport::ReadPixels: the image is no longer %d x %d.\n",
                 _context->GetWidth(), _context->GetHeight());
    return;
  }
  unsigned char* pixels = _image->GetPixelsToModify();
  if (!pixels) return;
  const GLenum format = KelOglPixelFormat(*_image);
  _context->Resolve();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  // OpenGL's first row is the bottom one, as the image stores it.
  glReadPixels(0, 0, w, h, format, GL_UNSIGNED_BYTE, pixels);
  MakeCurrent();
}
