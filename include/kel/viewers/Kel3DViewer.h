// The 3D viewer applications instantiate: its Reps go to the graphic window's
// main 3D viewpoint, a background indicator "BackgroundViewerIndicator"
// follows the cursor over what shows no manipulator, and it adds the ground
// directions (vertical and north), fog, polygon modes and clipping planes of
// the support, zoom steps that move the eye, and a history of the last 20
// viewpoints.
//
// The history is a ring kept by whoever calls SaveViewpoint (the navigation
// viewer); a plain 3D viewer records none by itself. Stepping through an
// empty history does nothing. While an entry is being shown, history
// recording is 0 so that the change it causes is not saved again.
//
// The viewer owns its background indicator and its history entries.
#pragma once

#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/framework/Keldirection3f.h>
#include <kel/viewers/KelViewer.h>

class Kel3DIndicator;
class Kel3DRep;
class Kel3DViewpoint;
class KelRepPath;

class Kel3DViewer : public KelViewer {
 public:
  static const int HistorySize = 20;

  Kel3DViewer(KelDialog* father, const KelString& name, unsigned long style, int size1, int size2,
              unsigned long flags);
  ~Kel3DViewer() override;

  KEL_DECLARE_META(Kel3DViewer);

  // Published on GetCallbackManager() by SetGround, with a plain notification.
  static const char* NAVIGATION_GROUND_CHANGE();

  void Reframe() override;
  // Through the overlay viewpoint for an overlay path, else the main 3D one.
  void DrawElement(KelRepPath& path) override;
  void UndrawElement(KelRepPath& path) override;
  using KelViewer::Draw;
  using KelViewer::DrawElement;
  using KelViewer::UndrawElement;
  // Old names of DrawElement and UndrawElement: they print that they will go.
  void Draw(KelRepPath& path);
  void Undraw(KelRepPath& path);

  void AddRep(Kel3DRep* rep);
  void RemoveRep(Kel3DRep* rep);
  void AddRepFurtive(Kel3DRep* rep);
  void RemoveRepFurtive(Kel3DRep* rep);
  Kel3DViewpoint* GetViewpoint() const;
  Kel3DBoundingSphere GetGlobalBoundingSphere() const;
  // Assigns `viewpoint` to the main one (in one modification when `bracket`
  // is not 0) and redraws.
  void SetViewpoint(const Kel3DViewpoint& viewpoint, int bracket);

  const Keldirection3f& GetVertical() const { return _vertical; }
  const Keldirection3f& GetNorth() const { return _north; }
  // The main viewpoint takes `vertical` as its up direction (unless it looks
  // along it) and as its gravity direction.
  void SetGround(const Keldirection3f& vertical, const Keldirection3f& north);

  // The eye moves along the sight, the target staying: the focus distance
  // grows (ZoomIn) or shrinks (ZoomOut) by sqrt(2).
  void ZoomIn();
  void ZoomOut();

  int IsFogOn() const;
  void SetFogMode(int mode);
  void SetPolygonDrawingMode(int mode);
  void AddClippingPlane(const float* point, const float* normal);
  void RemoveClippingPlane();

  void SaveViewpoint();
  void DisplayPreviousViewpoint();
  void DisplayNextViewpoint();
  int IsPreviousViewpoint() const;
  int IsNextViewpoint() const;
  int IsHistoryRecording() const { return _historyRecording; }
  int GetHistoryCount() const { return _historyCount; }

  Kel3DIndicator* GetDefaultBackgroundIndicator() const { return _backgroundIndicator3D; }

 private:
  void ShowHistoryEntry();
  void ZoomStep(float factor);

  Kel3DIndicator* _backgroundIndicator3D = nullptr;
  Keldirection3f _vertical;
  Keldirection3f _north;
  int _historyRecording = 1;
  Kel3DViewpoint* _history[HistorySize] = {};
  int _historyCount = 0;
  int _historyLast = 0;
  int _historyBack = 0;
};
