#include <kel/navigation/Kel3DViewpointBuilder.h>

#include <kel/aids/Kel3DViewpointRep.h>
#include <kel/aids/KelFocusPointRep.h>
#include <kel/framework/KelMath.h>
#include <kel/framework/KelMathFunctions.h>
#include <kel/navigation/Kel3DViewpointEditor.h>
#include <kel/picking/KelPickPath.h>
#include <kel/picking/KelPickPathList.h>
#include <kel/viewers/Kel3DViewer.h>
#include <kel/viewers/KelGraphicWindow.h>
#include <kel/viewers/KelViewerEvent.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cmath>

KEL_IMPLEMENT_META(Kel3DViewpointBuilder, Kel3DIndicator)

float Kel3DViewpointBuilder::_PixelShiftToAngleShift = static_cast<float>(KelMath::PI / 200.0);

namespace {

void Take(KelMouseEvent& to, const KelMouseEvent& from) {
  to.SetTimeStamp(from.GetTimeStamp());
  to.SetModifiers(from.GetModifiers());
  to.SetPosition(from.GetPosition());
  to.SetButtons(from.GetButtons());
}

float Distance(const Kelpoint2f& a, const Kelpoint2f& b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

// Milliseconds from `earlier` to `later`, across a wrap of the 32-bit clock.
double Elapsed(unsigned long later, unsigned long earlier) {
  double d = static_cast<double>(later) - static_cast<double>(earlier);
  if (d < 0.0) d += 4294967296.0;
  return d;
}

}  // namespace

Kel3DViewpointBuilder::Kel3DViewpointBuilder(KelCommand* father, const KelString& name,
                                             Kel3DViewpoint& viewpoint)
    : Kel3DIndicator(father, name, viewpoint), _camera(viewpoint.Clone()) {}

Kel3DViewpointBuilder::~Kel3DViewpointBuilder() {
  // A gesture that ended before the press found a target still holds them.
  HideFocusRep();
  HideAndDestroyReps(nullptr, nullptr);
  delete _camera;
}

KelMouseEvent* Kel3DViewpointBuilder::MouseOf(KelNotification* notification) {
  auto* event = dynamic_cast<KelViewerEvent*>(notification);
  if (!event) return nullptr;
  if (event->GetViewer()) _viewer = event->GetViewer();
  KelDeviceEvent* device = event->GetDeviceEvent();
  return device && device->IsAKindOf("KelMouseEvent") ? static_cast<KelMouseEvent*>(device)
                                                      : nullptr;
}

Kel3DViewpoint* Kel3DViewpointBuilder::Main() const {
  return _viewer ? _viewer->GetMain3DViewpoint() : nullptr;
}

void Kel3DViewpointBuilder::DrawPath() {
  if (!_viewer || !_focusPath) return;
  _focusPath->SetViewpoint(Main());
  _viewer->DrawElement(*_focusPath);
  // Drawn over the frame at once; the next frame clears what earlier steps
  // left there.
  _viewer->Draw();
}

void Kel3DViewpointBuilder::UndrawPath() {
  if (!_viewer || !_focusPath) return;
  _focusPath->SetViewpoint(Main());
  _viewer->UndrawElement(*_focusPath);
}

void Kel3DViewpointBuilder::ShowFocusRep() {
  if (Kel3DViewpoint* main = Main()) main->AddFurtiveRep(_focusPointRep);
}

void Kel3DViewpointBuilder::HideFocusRep() {
  if (Kel3DViewpoint* main = Main()) main->RemoveFurtiveRep(_focusPointRep);
}

// ---- The gesture

int Kel3DViewpointBuilder::Preactivate(KelNotification* notification, KelManipulator*) {
  MouseOf(notification);
  if (!_viewer || !Main()) return 1;
  if (_state != 0) {
    ChangeFocus(notification, nullptr);
    DrawPath();
    return 1;
  }
  delete _camera;
  _camera = Main()->Clone();
  ChangeFocus(notification, nullptr);
  if (!_focusPointRep) _focusPointRep = new KelFocusPointRep(*_camera, _viewer, 50.0f);
  if (!_focusPath) {
    _focusPath = new KelPickPath(_focusPointRep);
    _focusPath->SetFurtive(1);
    _focusPath->SetZBuffer(2);
  }
  if (_targetFound) {
    ShowFocusRep();
    DrawPath();
  }
  _state = 1;
  return 1;
}

int Kel3DViewpointBuilder::Move(KelNotification* notification, KelManipulator*) {
  MouseOf(notification);
  if (!_camera || !_focusPath) return 1;
  if (_targetFound) {
    UndrawPath();
    HideFocusRep();
  }
  ChangeFocus(notification, nullptr);
  if (_targetFound) {
    ShowFocusRep();
    DrawPath();
  }
  return 1;
}

int Kel3DViewpointBuilder::EndPreactivate(KelNotification* notification, KelManipulator* other) {
  MouseOf(notification);
  if (_state == 0) {
    Kel3DIndicator::EndPreactivate(notification, other);
    return 1;
  }
  if (_targetFound) {
    UndrawPath();
    HideFocusRep();
  }
  return 1;
}

int Kel3DViewpointBuilder::BeginManipulate(KelNotification* notification, KelManipulator*) {
  KelMouseEvent* mouse = MouseOf(notification);
  if (!mouse) return 1;
  if (_targetFound) {
    _pressPosition = mouse->GetPosition();
    _state = 2;
  }
  _modifiers = mouse->GetModifiers();
  _buttons = mouse->GetButtons();
  return 1;
}

int Kel3DViewpointBuilder::Manipulate(KelNotification* notification, KelManipulator*) {
  KelMouseEvent* mouse = MouseOf(notification);
  if (!mouse) return 1;
  if (mouse->GetButtons() != _buttons) {
    if (_buttons != 0) EndManipulate(notification, nullptr);
    if (mouse->GetButtons() != 0) BeginManipulate(notification, nullptr);
    _buttons = mouse->GetButtons();
    return 1;
  }
  if (mouse->GetButtons() & 1) return 1;
  switch (_state) {
    case 2:
      if (IsMoreThanParkinsonMove(notification, nullptr)) {
        _state = 3;
        ModifySize(notification, nullptr);
        CreateAndDisplayViewpointRep(notification, nullptr);
        DragStart(notification, nullptr);
      }
      break;
    case 3:
      if (IsSmallSpeedDrag(notification, nullptr)) {
        _state = 4;
        LateralMoveStart(notification, nullptr);
      } else {
        ModifySize(notification, nullptr);
      }
      break;
    case 4:
      if (IsLateralMove(notification, nullptr)) {
        _state = 5;
        _sightReference = mouse->GetPosition();
      } else {
        ModifySize(notification, nullptr);
      }
      break;
    case 5:
      ModifySight(notification, nullptr);
      break;
    default:
      break;
  }
  return 1;
}

int Kel3DViewpointBuilder::EndManipulate(KelNotification* notification, KelManipulator*) {
  KelMouseEvent* mouse = MouseOf(notification);
  if (!mouse || (_buttons & 1) || _state < 2) return 1;
  HideAndDestroyReps(notification, nullptr);
  if (Kel3DViewpoint* main = Main()) {
    main->BeginModification();
    main->Set(_camera->GetOrigin(), _camera->GetSightDirection(), _camera->GetUpDirection());
    main->SetFocus(_camera->GetFocusDistance());
    main->EndModification();
  }
  delete _camera;
  _camera = nullptr;
  // Nothing is left to aim with: a press after a button change must not
  // start sizing a camera that is gone.
  _targetFound = 0;
  _state = 0;
  return 1;
}

// ---- Target

int Kel3DViewpointBuilder::ChangeFocus(KelNotification* notification, void*) {
  KelMouseEvent* mouse = MouseOf(notification);
  Kel3DViewpoint* main = Main();
  if (!mouse || !main || !_camera) return 1;
  KelPickPathList picked;
  _viewer->Pick(mouse->GetPosition().x, mouse->GetPosition().y, picked);
  _targetFound = 0;
  list<KelPickPath*>& paths = picked.GetPickPathList();
  for (int i = 0; i < paths.Count() && paths[i]; ++i) {
    if (paths[i]->GetViewpoint() != main) continue;
    _targetFound = 1;
    _target = paths[i]->GetMatrix() * paths[i]->GetIntersection();
    const Kelvector3f toTarget = _target - main->GetOrigin();
    // A target at the eye gives no sight: the camera stays as it was.
    if (toTarget.Norm() > KelMath::ZERO_MACHINE) {
      if (_camera->GetProjectionType() == CONIC_PROJECTION)
        _camera->SetSightDirection(Keldirection3f(toTarget));
      _camera->SetFocus(toTarget * _camera->GetSightDirection().AsVector());
    }
    break;
  }
  picked.Reset();
  return 1;
}

// ---- Camera

int Kel3DViewpointBuilder::ModifySize(KelNotification* notification, void*) {
  KelMouseEvent* mouse = MouseOf(notification);
  Kel3DViewpoint* main = Main();
  if (!mouse || !main || !_camera) return 1;
  UndrawPath();
  Kelpoint3f P1, P2;
  _viewer->ComputeModelFromDeviceEvent(P1, P2, *main, *mouse);
  const Keldirection3f d(P1 - P2);
  const Keldirection3f s = _camera->GetSightDirection();
  Kelpoint3f Q;
  float W = 0.0f, H = 0.0f;
  _viewer->GetGraphicSize(&W, &H);
  const double tangent = std::tan(_camera->GetAngle() * KelMath::DEGRERADIANS);
  if (KelInterPlnLn(P1, d, _target, s, Q) && W > 0.0f && std::fabs(tangent) > 0.0) {
    const Keldirection3f u = _camera->GetUpDirection();
    const Kelvector3f v = Q - _target;
    const Kelvector3f r = s.AsVector() ^ u.AsVector();
    const double a = v * r, b = v * u.AsVector();
    const double across = std::fabs(a) * H / W;
    const double t = std::fabs(b) >= across ? std::fabs(b) : across;
    const double F = t / tangent;
    // With the cursor on the line of sight the eye would land on the target.
    if (F > KelMath::ZERO_MACHINE) {
      _camera->BeginModification();
      _camera->SetFocus(static_cast<float>(F));
      _camera->SetOrigin(_target - _camera->GetSightDirection().AsVector() * static_cast<float>(F));
      _camera->EndModification();
    }
  }
  DrawPath();
  return 1;
}

int Kel3DViewpointBuilder::ModifySight(KelNotification* notification, void*) {
  KelMouseEvent* mouse = MouseOf(notification);
  if (!mouse || !_camera) return 1;
  UndrawPath();
  const float k = _PixelShiftToAngleShift;
  const Kelpoint2f& p = mouse->GetPosition();
  const Kelvector3f rotation(-(p.y - _sightReference.y) * k, -(p.x - _sightReference.x) * k, 0.0f);
  Keldirection3f vertical = _camera->GetGravityDirection();
  if (_viewer && _viewer->IsAKindOf("Kel3DViewer"))
    vertical = static_cast<Kel3DViewer*>(_viewer)->GetVertical();
  Kel3DViewpointEditor::RotateAround(*_camera, rotation, vertical);
  DrawPath();
  _sightReference = p;
  return 1;
}

// ---- Speed of the drag

int Kel3DViewpointBuilder::DragStart(KelNotification* notification, void*) {
  KelMouseEvent* mouse = MouseOf(notification);
  if (!mouse) return 1;
  for (KelMouseEvent& h : _history) Take(h, *mouse);
  Take(_dragStart, *mouse);
  _maximumSpeed = 0.0f;
  return 1;
}

int Kel3DViewpointBuilder::IsMoreThanParkinsonMove(KelNotification* notification, void*) {
  KelMouseEvent* mouse = MouseOf(notification);
  return mouse && Distance(_pressPosition, mouse->GetPosition()) > 3.0f ? 1 : 0;
}

int Kel3DViewpointBuilder::IsSmallSpeedDrag(KelNotification* notification, void*) {
  KelMouseEvent* mouse = MouseOf(notification);
  if (!mouse) return 0;
  for (int i = 0; i < 4; ++i) Take(_history[i], _history[i + 1]);
  Take(_history[4], *mouse);
  const unsigned long last = _history[4].GetTimeStamp();
  int reference = -1;
  if (Elapsed(last, _history[0].GetTimeStamp()) <= 500.0) {
    reference = 0;
  } else {
    for (int i = 1; i <= 3 && reference < 0; ++i)
      if (Elapsed(last, _history[i].GetTimeStamp()) <= 500.0) reference = i;
  }
  float speed = 0.0f;
  if (reference >= 0) {
    const double dt = Elapsed(last, _history[reference].GetTimeStamp());
    if (dt > 0.0)
      speed = static_cast<float>(
          Distance(_history[4].GetPosition(), _history[reference].GetPosition()) / dt * 1000.0);
  }
  if (speed > _maximumSpeed) _maximumSpeed = speed;
  if (Distance(mouse->GetPosition(), _dragStart.GetPosition()) <= 10.0f) return 0;
  return speed < _maximumSpeed / 5.0f ? 1 : 0;
}

// ---- Lateral motion

int Kel3DViewpointBuilder::LateralMoveStart(KelNotification* notification, void*) {
  KelMouseEvent* mouse = MouseOf(notification);
  Kel3DViewpoint* main = Main();
  if (!mouse || !main) return 1;
  float W = 0.0f, H = 0.0f;
  _viewer->GetGraphicSize(&W, &H);
  KelGraphicWindow* window = _viewer->GetGraphicWindow();
  main->ComputePixelFromModel(_target, _targetPixel, W, H, _viewer->GetMMInSupportUnit(),
                              window ? window->GetRatioWH() : 1.0f);
  _lateralStart = mouse->GetPosition();
  return 1;
}

int Kel3DViewpointBuilder::IsLateralMove(KelNotification* notification, void*) {
  KelMouseEvent* mouse = MouseOf(notification);
  if (!mouse) return 0;
  const Kelvector2f d = mouse->GetPosition() - _targetPixel;
  const Kelvector2f e = _lateralStart - _targetPixel;
  const double e2 = double(e.x) * e.x + double(e.y) * e.y;
  double px = d.x, py = d.y;
  if (std::sqrt(e2) > KelMath::ZERO_MACHINE) {
    const double k = (double(d.x) * e.x + double(d.y) * e.y) / e2;
    px -= k * e.x;
    py -= k * e.y;
  }
  return std::hypot(px, py) > 8.0 ? 1 : 0;
}

// ---- Feedback Reps

int Kel3DViewpointBuilder::CreateAndDisplayViewpointRep(KelNotification* notification, void*) {
  MouseOf(notification);
  if (!_camera) return 1;
  UndrawPath();
  if (!_viewpointRep) {
    _viewpointRep = new Kel3DViewpointRep(*_camera, _viewer);
    if (Kel3DViewpoint* main = Main()) main->AddFurtiveRep(_viewpointRep);
    if (_focusPath) _focusPath->Load(_viewpointRep);
  }
  DrawPath();
  return 1;
}

int Kel3DViewpointBuilder::HideAndDestroyReps(KelNotification* notification, void*) {
  MouseOf(notification);
  if (_targetFound) UndrawPath();
  Kel3DViewpoint* main = Main();
  if (_viewpointRep) {
    if (main) main->RemoveFurtiveRep(_viewpointRep);
    _viewpointRep->Destroy();
    _viewpointRep = nullptr;
  }
  if (_focusPointRep) {
    if (main) main->RemoveFurtiveRep(_focusPointRep);
    _focusPointRep->Destroy();
    _focusPointRep = nullptr;
  }
  if (_focusPath) {
    delete _focusPath;
    _focusPath = nullptr;
    // The next frame shows the scene without them.
    if (_viewer) _viewer->Draw();
  }
  return 1;
}

int Kel3DViewpointBuilder::JumpToPoint(KelNotification* notification, void*) {
  MouseOf(notification);
  if (Kel3DViewpoint* main = Main())
    main->SetOrigin(main->GetOrigin() + (_target - main->GetTarget()));
  return 1;
}
