#include "KelOglFunctions.h"

#include <EGL/egl.h>

namespace {
KelOglFunctions& Table() {
  static KelOglFunctions table;
  return table;
}

template <class F>
bool Find(F& f, const char* name) {
  f = reinterpret_cast<F>(eglGetProcAddress(name));
  return f != nullptr;
}
}  // namespace

int KelOglFunctions::Load() {
  KelOglFunctions& t = Table();
  if (t.GenFramebuffers) return 1;
  KelOglFunctions f;
  const bool ok = Find(f.GenFramebuffers, "glGenFramebuffers") &&
                  Find(f.BindFramebuffer, "glBindFramebuffer") &&
                  Find(f.DeleteFramebuffers, "glDeleteFramebuffers") &&
                  Find(f.GenRenderbuffers, "glGenRenderbuffers") &&
                  Find(f.BindRenderbuffer, "glBindRenderbuffer") &&
                  Find(f.DeleteRenderbuffers, "glDeleteRenderbuffers") &&
                  Find(f.RenderbufferStorage, "glRenderbufferStorage") &&
                  Find(f.FramebufferRenderbuffer, "glFramebufferRenderbuffer") &&
                  Find(f.CheckFramebufferStatus, "glCheckFramebufferStatus") &&
                  Find(f.WindowPos3f, "glWindowPos3f") &&
                  Find(f.DrawRangeElements, "glDrawRangeElements");
  if (!ok) return 0;
  if (!Find(f.RenderbufferStorageMultisample, "glRenderbufferStorageMultisample") ||
      !Find(f.BlitFramebuffer, "glBlitFramebuffer"))
    f.RenderbufferStorageMultisample = nullptr, f.BlitFramebuffer = nullptr;
  t = f;
  return 1;
}

const KelOglFunctions& KelOglFunctions::Get() {
  return Table();
}
