// A manipulator attached to a viewpoint instead of a Rep: it follows the cursor
// in the space of its viewpoint. A viewer gives every interaction to its
// foreground indicator, and those that hit nothing to its background
// indicator. Before each handler the indicator turns the viewer event into a
// KelIndicateEvent (the model points under the cursor on the near and far
// planes of its viewpoint), which becomes the cause of the notification sent.
//
// A handler given no viewer event (null, from ResetState) sends its
// notification without cause. An event that is not a mouse event (a key)
// carries no position: the indicate event keeps the points of the last mouse
// event and takes the rest (viewer, device, device event, paths) from the new
// event.
#pragma once

#include <kel/manipulators/KelManipulator.h>
#include <kel/viewers/KelIndicateEvent.h>

class KelViewerEvent;
class KelViewpoint;

class KelIndicator : public KelManipulator {
 public:
  KelIndicator(KelCommand* father, KelViewpoint* viewpoint);
  KelIndicator(KelCommand* father, const KelString& name, KelViewpoint* viewpoint);
  ~KelIndicator() override;

  KEL_DECLARE_META(KelIndicator);

  // Null to every class.
  void* SendCommandSpecificObject(const char* className, KelNotification* notification) override;

  int Preactivate(KelNotification* notification, KelManipulator* other) override;
  int Move(KelNotification* notification, KelManipulator* other) override;
  int EndPreactivate(KelNotification* notification, KelManipulator* other) override;
  int Activate(KelNotification* notification, KelManipulator* other) override;
  int EndActivate(KelNotification* notification, KelManipulator* other) override;
  int BeginManipulate(KelNotification* notification, KelManipulator* other) override;
  int Manipulate(KelNotification* notification, KelManipulator* other) override;
  int EndManipulate(KelNotification* notification, KelManipulator* other) override;
  int Edit(KelNotification* notification, KelManipulator* other) override;
  int EndEdit(KelNotification* notification, KelManipulator* other) override;
  int Context(KelNotification* notification, KelManipulator* other) override;
  int EndContext(KelNotification* notification, KelManipulator* other) override;
  // An indicator never shows the manipulating cursor: the default one.
  void SetSpecificCursor() override;

  KelViewpoint* GetViewpoint() const { return _viewpoint; }
  // Rebuilds the indicate event from `event`, in this indicator's viewpoint.
  void UpdateIndicateEvent(const KelViewerEvent& event);
  const KelIndicateEvent& GetIndicateEvent() const { return _indicateEvent; }

 protected:
  // The cause a handler hands to the base: the indicate event rebuilt from a
  // viewer event, else `notification` itself.
  KelNotification* Indicate(KelNotification* notification);

  KelViewpoint* _viewpoint;
  KelIndicateEvent _indicateEvent;
};
