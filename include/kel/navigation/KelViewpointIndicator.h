// The foreground indicator of a running viewpoint action of the navigation
// viewer: it hands each interaction step to a viewpoint editor, with the
// device event, before its own handling, so that the left button drives the
// editor's action. A drag is one animation of the viewpoint, so that it
// makes one entry of a viewer's history. The editor is not owned.
#pragma once

#include <kel/manipulators/KelIndicator.h>

class KelViewpointEditor;

class KelViewpointIndicator : public KelIndicator {
 public:
  KelViewpointIndicator(KelCommand* father, const KelString& name, KelViewpoint* viewpoint,
                        KelViewpointEditor* editor);
  ~KelViewpointIndicator() override;

  KEL_DECLARE_META(KelViewpointIndicator);

  int Preactivate(KelNotification* notification, KelManipulator* other) override;
  int EndPreactivate(KelNotification* notification, KelManipulator* other) override;
  int BeginManipulate(KelNotification* notification, KelManipulator* other) override;
  int Manipulate(KelNotification* notification, KelManipulator* other) override;
  int EndManipulate(KelNotification* notification, KelManipulator* other) override;
  // The editor shows its own cursors.
  void SetSpecificCursor() override {}

  KelViewpointEditor* GetEditor() const { return _editor; }
  // The editor is going: the steps still to come reach only the indicator.
  void ForgetEditor() { _editor = nullptr; }

 private:
  KelViewpointEditor* _editor;
  int _animating = 0;
};
