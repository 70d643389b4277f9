// The dialog that trades drawing quality for speed in a 3D viewer: the
// accuracy of the levels of detail (the support's sag precision, in pixels),
// the culling size (the support's culling precision, in pixels: Reps smaller
// on screen are not drawn) and a button that switches the levels of detail
// off (sag precision 0: always the finest level) and on again. Every change
// asks the viewer to redraw. Applications create it; the library does not.
//
// The dialog follows its viewer's death: once the viewer is gone, the
// controls change nothing and nothing is redrawn. A dialog made without a
// viewer says so on the standard error stream and holds no control.
#pragma once

#include <kel/framework/KelDlgDialog.h>
#include <kel/framework/KelEventSubscriber.h>

class Kel3DViewer;
class KelDlgLabel;
class KelDlgPushButton;
class KelDlgSlider;
class KelSupport;

class KelVisuPerformancesDialog : public KelDlgDialog {
 public:
  KelVisuPerformancesDialog(KelDialog* father, const KelString& name, Kel3DViewer* viewer,
                            unsigned long style);
  ~KelVisuPerformancesDialog() override;

  KEL_DECLARE_META(KelVisuPerformancesDialog);

  // The analysers of the accuracy slider, the culling slider and the button.
  void Sag(KelCommand* sender, KelNotification* notification, void* data);
  void Cull(KelCommand* sender, KelNotification* notification, void* data);
  void NoLod(KelCommand* sender, KelNotification* notification, void* data);

  // The viewer, or null once it died (or when none was given).
  Kel3DViewer* GetViewer() const;
  KelDlgSlider* GetAccuracySlider() const { return _lodSlider; }
  KelDlgSlider* GetCullingSlider() const { return _cullingSlider; }
  KelDlgPushButton* GetLodButton() const { return _lodButton; }

 private:
  // Holds one subscription on the viewer's callback manager: it goes when
  // the viewer dies, which is how the dialog learns of it.
  struct ViewerWatch : KelEventSubscriber {
    void Ignore(const char*, KelCallbackManager*, KelNotification*, void*, long) {}
  };
  KelSupport* GetSupport() const;
  void Redraw() const;

  Kel3DViewer* _viewer = nullptr;
  KelDlgLabel* _lodLabel = nullptr;
  KelDlgSlider* _lodSlider = nullptr;
  KelDlgLabel* _cullingLabel = nullptr;
  KelDlgSlider* _cullingSlider = nullptr;
  KelDlgPushButton* _lodButton = nullptr;
  long _analysers[3] = {0, 0, 0};
  ViewerWatch _watch;
};
