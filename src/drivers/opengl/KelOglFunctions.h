// OpenGL entry points beyond those libGL exports for OpenGL 1.2, looked up
// once through EGL.
#pragma once

#include <kel/images/KelPixelImage.h>

#include <GL/gl.h>
#include <GL/glext.h>

// The OpenGL pixel format of an image's bytes.
inline GLenum KelOglPixelFormat(const KelPixelImage& image) {
  switch (image.GetFormat()) {
    case PixelImageOneByte:
      return GL_LUMINANCE;
    case PixelImageTwoBytes:
      return GL_LUMINANCE_ALPHA;
    case PixelImageRGBA:
      return GL_RGBA;
    default:
      return GL_RGB;
  }
}

struct KelOglFunctions {
  PFNGLGENFRAMEBUFFERSPROC GenFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC BindFramebuffer = nullptr;
  PFNGLDELETEFRAMEBUFFERSPROC DeleteFramebuffers = nullptr;
  PFNGLGENRENDERBUFFERSPROC GenRenderbuffers = nullptr;
  PFNGLBINDRENDERBUFFERPROC BindRenderbuffer = nullptr;
  PFNGLDELETERENDERBUFFERSPROC DeleteRenderbuffers = nullptr;
  PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus = nullptr;
  PFNGLWINDOWPOS3FPROC WindowPos3f = nullptr;
  PFNGLDRAWRANGEELEMENTSPROC DrawRangeElements = nullptr;
  // Null where the renderer has no multisampling.
  PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC RenderbufferStorageMultisample = nullptr;
  PFNGLBLITFRAMEBUFFERPROC BlitFramebuffer = nullptr;

  // Needs a current context; 0 when one is missing.
  static int Load();
  static const KelOglFunctions& Get();
};
