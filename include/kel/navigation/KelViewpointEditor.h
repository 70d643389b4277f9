// Turns the drags and keys that hit no manipulator into camera motions. A
// viewer holds one current editor: it gives it the viewer (SetViewer), starts
// it (Activate) and ends it (EndActivate), and its mouse device hands it the
// events of a middle-button drag (BeginManipulate, Manipulate,
// EndManipulate) and the keys it does not take. Derived editors implement
// the motions; the base moves nothing.
#pragma once

#include <kel/framework/KelCommand.h>

class KelNotification;
class KelViewer;
class KelViewpoint;

class KelViewpointEditor : public KelCommand {
 public:
  explicit KelViewpointEditor(KelViewpoint* viewpoint);
  KelViewpointEditor(const KelString& name, KelViewpoint* viewpoint);
  KelViewpointEditor(const KelViewpointEditor& other);
  KelViewpointEditor& operator=(const KelViewpointEditor&) = delete;
  ~KelViewpointEditor() override;

  KEL_DECLARE_META(KelViewpointEditor);

  virtual void SetViewpoint(KelViewpoint* viewpoint);
  virtual void SetViewer(KelViewer* viewer);
  // The editor becomes the viewer's current one.
  virtual int Activate(KelNotification* notification) = 0;
  // The events of a drag; 0 in the base, which moves nothing.
  virtual int BeginManipulate(KelNotification* notification);
  virtual int Manipulate(KelNotification* notification);
  virtual int EndManipulate(KelNotification* notification);
  // The editor stops being the viewer's current one.
  virtual int EndActivate(KelNotification* notification) = 0;

  KelViewpoint* GetViewpoint() const { return _viewpoint; }
  KelViewer* GetViewer() const { return _viewer; }

 protected:
  KelViewpoint* _viewpoint;
  KelViewer* _viewer = nullptr;
};
