#include <kel/framework/Kelpoint2f.h>
#include <kel/framework/Kelvector3f.h>
#include <kel/navigation/Kel2DViewpointEditor.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewpoints/Kel2DViewpoint.h>

#include <cmath>

KEL_IMPLEMENT_META(Kel2DViewpointEditor, KelViewpointEditor)

namespace {

const int kShift = 1;
const int kLeft = 1;

}  // namespace

Kel2DViewpointEditor::Kel2DViewpointEditor(const KelString& name, Kel2DViewpoint& viewpoint)
    : KelViewpointEditor(name, &viewpoint), _viewpoint2D(&viewpoint) {}

Kel2DViewpointEditor::~Kel2DViewpointEditor() {
  if (_animating && _viewpoint2D) _viewpoint2D->StopAnimation(this);
}

void Kel2DViewpointEditor::SetViewpoint(Kel2DViewpoint& viewpoint) {
  if (_animating && _viewpoint2D) _viewpoint2D->StopAnimation(this);
  _animating = 0;
  _viewpoint2D = &viewpoint;
  KelViewpointEditor::SetViewpoint(&viewpoint);
}

int Kel2DViewpointEditor::BeginManipulate(KelNotification* notification) {
  auto* mouse = dynamic_cast<KelMouseEvent*>(notification);
  if (!mouse || !_viewpoint2D) return 0;
  _lastModifiers = mouse->GetModifiers();
  _lastButtons = mouse->GetButtons();
  if (_lastModifiers & kShift) return 1;
  if (!_animating) {
    _viewpoint2D->StartAnimation(this);
    _animating = 1;
  }
  const Kelpoint2f& p = mouse->GetPosition();
  if (_lastButtons & kLeft)
    _dragPosition = Kelpoint3f(0.0f, 0.0f, -p.y);
  else
    _dragPosition = Kelpoint3f(p.x, p.y, 0.0f);
  return 1;
}

int Kel2DViewpointEditor::Manipulate(KelNotification* notification) {
  auto* mouse = dynamic_cast<KelMouseEvent*>(notification);
  if (!mouse || !_viewpoint2D) return 0;
  if (mouse->GetModifiers() != _lastModifiers || mouse->GetButtons() != _lastButtons) {
    _viewpoint2D->StartAnimation(this);
    EndManipulate(notification);
    BeginManipulate(notification);
    _viewpoint2D->StopAnimation(this);
  }
  if (!(mouse->GetModifiers() & kShift)) {
    const Kelpoint2f& p = mouse->GetPosition();
    if (mouse->GetButtons() & kLeft) {
      Jump(Kelvector3f(0.0f, 0.0f, -p.y - _dragPosition.z));
      _dragPosition = Kelpoint3f(0.0f, 0.0f, -p.y);
    } else {
      Jump(Kelvector3f(p.x - _dragPosition.x, p.y - _dragPosition.y, -_dragPosition.z));
      _dragPosition = Kelpoint3f(p.x, p.y, 0.0f);
    }
  }
  _lastModifiers = mouse->GetModifiers();
  _lastButtons = mouse->GetButtons();
  return 1;
}

int Kel2DViewpointEditor::EndManipulate(KelNotification*) {
  if (_animating && _viewpoint2D) {
    _animating = 0;
    _viewpoint2D->StopAnimation(this);
  }
  return 1;
}

void Kel2DViewpointEditor::Jump(const Kelvector3f& v) {
  KelViewer* viewer = GetViewer();
  if (!_viewpoint2D || !viewer) return;
  float width = 0.0f, height = 0.0f;
  viewer->GetGraphicSize(&width, &height);
  const float mm = viewer->GetMMInSupportUnit();
  Kelpoint2f A, B;
  _viewpoint2D->ComputeModelFromPixel(v.x, v.y, A, width, height, mm, 1.0f);
  _viewpoint2D->ComputeModelFromPixel(0.0f, 0.0f, B, width, height, mm, 1.0f);
  const Kelpoint2f origin = _viewpoint2D->GetOrigin();
  _viewpoint2D->BeginModification();
  _viewpoint2D->SetOrigin(Kelpoint2f(origin.x + (B.x - A.x), origin.y + (B.y - A.y)));
  _viewpoint2D->SetZoom(_viewpoint2D->GetZoom() * std::exp(std::log(2.0f) / 100.0f * v.z));
  _viewpoint2D->EndModification();
}
