// The driver's graphic window: draws through a GLX context made on the first
// expose with the visual of findDriverVisual, double-buffered, presented by a
// buffer swap. Stereo buffers are used when the visual has them; otherwise
// ActivateStereoMode says so and drawing stays mono. Static geometry is kept
// in the context's buffer objects, as off-screen.
#pragma once

#include <kel/viewers/KelGraphicWindow.h>

#include <GL/glx.h>

#include <memory>

class KelOglBufferCache;

class KelOglWindow : public KelGraphicWindow {
 public:
  KelOglWindow(int width, int height);
  ~KelOglWindow() override;

  int MakeCurrent() override;
  // Reads the region of GrabPixelImage from the back buffer, drawn just
  // before and not yet swapped.
  void ReadPixels() override;
  KelRender* CreateDrawingRender() override;
  void Clear() override;
  void Swap() override;
  // Nothing is drawn before the context exists.
  void Drawing(list<KelViewpoint*>& viewpoints) override;

  void Create(Widget parent) override;
  void ActivateStereoMode(int mode, float eyeDistance) override;
  void SwitchBack() override;
  void SwitchFront() override;
  void ClearLeft() override;
  void ClearRight() override;
  void SwapStereo() override;
  void SwitchFrontLeft() override;
  void SwitchFrontRight() override;
  void Exposed() override;
  void Resized() override;

 private:
  void ClearBuffer(unsigned buffer);

  GLXContext _context = nullptr;
  std::unique_ptr<KelOglBufferCache> _buffers;  // once the context can draw
  int _stereoBuffers = 0;
};
