// The 2D viewer applications instantiate: its Reps go to the graphic window's
// main 2D viewpoint, a background indicator "Background2DViewerIndicator"
// follows the cursor, and it adds reframing on a model rectangle, zoom steps
// of sqrt(2) and, when the creation flags have bit 4, two scrollbars
// ("ViewerHorizontalScrollbar" under the drawing area,
// "ViewerVerticalScrollbar" at its right) that show which part of the
// drawing the window shows and move it.
//
// The scrollbars run over 0 to 1000 across the scroll extent: the main 2D
// viewpoint's translation bounds when set, else the bounding box of its Reps.
// An extent the window shows whole, or one without width or height along an
// axis, gives a box as long as the range. The vertical scrollbar runs
// downwards while model y grows upwards.
//
// The viewer owns its background indicator and the scrollbars.
#pragma once

#include <kel/foundations/Kel2DBoundingBox.h>
#include <kel/framework/Kelpoint2f.h>
#include <kel/viewers/KelViewer.h>

class Kel2DIndicator;
class Kel2DRep;
class Kel2DViewpoint;
class KelDlgScrollBar;
class KelRepPath;

class Kel2DViewer : public KelViewer {
 public:
  Kel2DViewer(KelDialog* father, const KelString& name, unsigned long style, int size1, int size2,
              unsigned long flags);
  ~Kel2DViewer() override;

  KEL_DECLARE_META(Kel2DViewer);

  void Reframe() override;
  void DrawElement(KelRepPath& path) override;
  void UndrawElement(KelRepPath& path) override;
  using KelViewer::Draw;
  using KelViewer::DrawElement;
  using KelViewer::UndrawElement;
  void Draw(KelRepPath& path);
  void Undraw(KelRepPath& path);
  void UpdateLayout() override;

  void AddRep(Kel2DRep* rep);
  void RemoveRep(Kel2DRep* rep);
  void AddRepFurtive(Kel2DRep* rep);
  void RemoveRepFurtive(Kel2DRep* rep);
  Kel2DViewpoint* GetViewpoint() const;
  void SetViewpoint(const Kel2DViewpoint& viewpoint);
  Kel2DBoundingBox GetGlobal2DBoundingBox() const;

  void ReframeOn(float xmin, float xmax, float ymin, float ymax);
  void ZoomIn();
  void ZoomOut();
  // The model rectangle the window shows.
  void GetViewport(float& xmin, float& xmax, float& ymin, float& ymax) const;
  Kelpoint2f GetPixelCoordinates(const Kelpoint2f& model) const;
  Kelpoint2f GetModelCoordinates(const Kelpoint2f& pixel) const;

  int AreScrollbars() const { return _scrollbars; }
  void DisplayScrollbarsWhenNeeded() {}
  void HideScrollbars() {}
  KelDlgScrollBar* GetHorizontalScrollbar() const { return _horizontalScrollbar; }
  KelDlgScrollBar* GetVerticalScrollbar() const { return _verticalScrollbar; }

  // "VIEWPOINT_MODIFIED" of the main 2D viewpoint: the scrollbars follow.
  void ViewportModified(const char* name, KelCallbackManager* publisher,
                        KelNotification* notification, void* data, long callback);
  // A scrollbar moved (its drag or modify notification); `axis` 0 is x, 1 y.
  void Scroll(KelCommand* sender, KelNotification* notification, void* axis);

  Kel2DIndicator* GetDefaultBackgroundIndicator() const { return _backgroundIndicator2D; }

 private:
  void SupportValues(float& width, float& height, float& pixelsPerMM, float& ratio) const;
  void ScrollExtent();

  KelDlgScrollBar* _horizontalScrollbar = nullptr;
  KelDlgScrollBar* _verticalScrollbar = nullptr;
  int _lastPosition[2] = {0, 0};
  float _xmin = 0.0f;
  float _ymin = 0.0f;
  float _xmax = 0.0f;
  float _ymax = 0.0f;
  int _scrollbars = 0;
  long _modificationCallback = 0;
  Kel2DIndicator* _backgroundIndicator2D = nullptr;
};
