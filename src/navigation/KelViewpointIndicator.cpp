#include <kel/navigation/KelViewpointEditor.h>
#include <kel/navigation/KelViewpointIndicator.h>
#include <kel/viewers/KelDeviceEvent.h>
#include <kel/viewers/KelViewerEvent.h>
#include <kel/viewpoints/KelViewpoint.h>

KEL_IMPLEMENT_META(KelViewpointIndicator, KelIndicator)

namespace {

KelNotification* DeviceEvent(KelNotification* notification) {
  auto* event = dynamic_cast<KelViewerEvent*>(notification);
  return event ? event->GetDeviceEvent() : nullptr;
}

}  // namespace

KelViewpointIndicator::KelViewpointIndicator(KelCommand* father, const KelString& name,
                                             KelViewpoint* viewpoint, KelViewpointEditor* editor)
    : KelIndicator(father, name, viewpoint), _editor(editor) {}

KelViewpointIndicator::~KelViewpointIndicator() {
  if (_animating && _viewpoint) _viewpoint->StopAnimation(this);
}

int KelViewpointIndicator::Preactivate(KelNotification* notification, KelManipulator* other) {
  if (auto* event = dynamic_cast<KelViewerEvent*>(notification)) {
    if (_editor) {
      _editor->SetViewer(event->GetViewer());
      _editor->Activate(DeviceEvent(notification));
    }
  }
  return KelIndicator::Preactivate(notification, other);
}

int KelViewpointIndicator::EndPreactivate(KelNotification* notification, KelManipulator* other) {
  if (_editor) _editor->EndActivate(DeviceEvent(notification));
  return KelIndicator::EndPreactivate(notification, other);
}

int KelViewpointIndicator::BeginManipulate(KelNotification* notification, KelManipulator* other) {
  if (_viewpoint && !_animating) {
    _viewpoint->StartAnimation(this);
    _animating = 1;
  }
  if (_editor) _editor->BeginManipulate(DeviceEvent(notification));
  return KelIndicator::BeginManipulate(notification, other);
}

int KelViewpointIndicator::Manipulate(KelNotification* notification, KelManipulator* other) {
  if (_editor) _editor->Manipulate(DeviceEvent(notification));
  return KelIndicator::Manipulate(notification, other);
}

int KelViewpointIndicator::EndManipulate(KelNotification* notification, KelManipulator* other) {
  if (_editor) _editor->EndManipulate(DeviceEvent(notification));
  if (_animating && _viewpoint) {
    _animating = 0;
    _viewpoint->StopAnimation(this);
  }
  return KelIndicator::EndManipulate(notification, other);
}
