// OpenGL entry points beyond those libGL exports for OpenGL 1.2, looked up
// once through EGL.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

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

  // Needs a current context; 0 when one is missing.
  static int Load();
  static const KelOglFunctions& Get();
};
