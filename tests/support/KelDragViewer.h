// A viewer for dragging manipulators without a window on the screen: its
// graphic window is the recording driver's, of a size the test chooses, and
// its main 3D camera looks down -z from (0, 0, 20) in parallel projection,
// up along y, so that a window pixel maps to model x and y by hand:
//   x = (px - W / 2) * Ratio() / PixelsPerUnit(),  y = (H / 2 - py) / PixelsPerUnit()
// where PixelsPerUnit() = zoom * H / 10 (a view 10 units high at zoom 1).
// The main 2D camera shows one model unit per half window height about its
// centre. Device events are made here and live as long as the fixture.
#pragma once

#include <kel/framework/Kelpoint2f.h>
#include <kel/framework/Kelpoint3f.h>
#include <kel/picking/KelPickPath.h>
#include <kel/viewers/KelKeyboardEvent.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelViewerEvent.h>

#include <deque>

class Kel2DViewpoint;
class Kel3DViewpoint;
class KelRep;
class KelViewer;

namespace keltest {

class DragViewer {
 public:
  DragViewer(int width = 200, int height = 100);
  ~DragViewer();
  DragViewer(const DragViewer&) = delete;
  DragViewer& operator=(const DragViewer&) = delete;

  // The recording driver loaded and the viewer made.
  bool Ready() const { return viewer != nullptr; }
  void SetZoom(float zoom);
  float PixelsPerUnit() const;
  // The graphic window's pixel width-to-height ratio (1 without a display).
  float Ratio() const;
  // The pixel showing model point (x, y) of the 3D camera.
  Kelpoint2f Pixel(float x, float y) const;

  // A mouse at pixel (x, y) with `modifiers`; its pick path, in `viewpoint`
  // (the main 3D one by default), holds `rep` hit at `hit`, or nothing.
  KelViewerEvent& Mouse(const Kelpoint2f& pixel, KelRep* rep = nullptr,
                        const Kelpoint3f& hit = Kelpoint3f(), int modifiers = 0,
                        KelViewpoint* viewpoint = nullptr);
  // A key of the keyboard device's table, on the same pick path.
  KelViewerEvent& Key(int key, KelRep* rep = nullptr);

  KelViewer* viewer = nullptr;
  Kel3DViewpoint* viewpoint3D = nullptr;
  Kel2DViewpoint* viewpoint2D = nullptr;

 private:
  struct Step {
    explicit Step(KelViewpoint* v) : path(v) {}
    KelMouseEvent mouse;
    KelKeyboardEvent key;
    KelPickPath path;
    KelViewerEvent event;
  };
  Step& NewStep(KelRep* rep, KelViewpoint* viewpoint);

  int _width, _height;
  std::deque<Step> _steps;
};

}  // namespace keltest
