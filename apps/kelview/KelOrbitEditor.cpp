#include "KelOrbitEditor.h"

#include <kel/framework/Kelvector3f.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

KelOrbitEditor::KelOrbitEditor(Kel3DViewpoint* viewpoint, const Kelpoint3f& centre)
    : KelViewpointEditor(KelString("orbit"), viewpoint), _centre(centre) {}

int KelOrbitEditor::BeginManipulate(KelNotification* notification) {
  auto* mouse = dynamic_cast<KelMouseEvent*>(notification);
  if (!mouse) return 0;
  _last = mouse->GetPosition();
  _dragging = true;
  return 1;
}

int KelOrbitEditor::Manipulate(KelNotification* notification) {
  auto* mouse = dynamic_cast<KelMouseEvent*>(notification);
  auto* camera = dynamic_cast<Kel3DViewpoint*>(_viewpoint);
  if (!mouse || !camera || !_dragging) return 0;
  const Kelpoint2f p = mouse->GetPosition();
  const float dx = p.x - _last.x, dy = p.y - _last.y;
  _last = p;
  // The scene follows the hand: the camera turns the other way. Window y
  // grows downwards.
  camera->Rotate(Kelvector3f(-dy * RadiansPerPixel, -dx * RadiansPerPixel, 0.0f), _centre);
  return 1;
}

int KelOrbitEditor::EndManipulate(KelNotification*) {
  const int was = _dragging;
  _dragging = false;
  return was;
}
