#include <kel/navigation/KelStayAndLookViewpointEditor.h>

#include <kel/framework/KelMath.h>
#include <kel/viewers/KelKeyboardEvent.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cmath>
#include <cstdio>

KEL_IMPLEMENT_META(KelStayAndLookViewpointEditor, Kel3DViewpointEditor)

namespace {
const float kSqrt2 = 1.41421356237f;
}  // namespace

KelStayAndLookViewpointEditor::KelStayAndLookViewpointEditor(const KelString& name,
                                                             Kel3DViewpoint& viewpoint,
                                                             const float minimumAngle,
                                                             const float maximumAngle)
    : Kel3DViewpointEditor(name, viewpoint),
      _minimumAngle(minimumAngle),
      _maximumAngle(maximumAngle) {
  if (!(minimumAngle > 0.0f && minimumAngle <= maximumAngle && maximumAngle < 90.0f)) {
    std::fprintf(stderr,
                 "KelStayAndLookViewpointEditor::KelStayAndLookViewpointEditor: Invalid function "
                 "parameters.\n");
    _minimumAngle = 0.5f;
    _maximumAngle = 80.0f;
  }
  viewpoint.SetGravityMode(GRAVITY_STEPWISE);
  using S = KelStayAndLookViewpointEditor;
  const KeyHandler key = Handler(&S::KeyZoomAngle);
  SetAction(0, "seek", Handler(&S::SeekAngle), nullptr, nullptr, nullptr, 128);
  SetAction(1, "turn head", Handler(&S::StartTiltDrag), Handler(&S::DriveTiltDrag),
            Handler(&S::StopTiltDrag), key, 32);
  SetAction(3, "zoom", Handler(&S::StartZoomAngle), Handler(&S::DriveZoomAngle),
            Handler(&S::StopZoomAngle), key, 42);
  SetAction(6, "step back", Handler(&S::StepBackAngle), nullptr, nullptr, nullptr, 128);
}

KelStayAndLookViewpointEditor::~KelStayAndLookViewpointEditor() = default;

void KelStayAndLookViewpointEditor::GetAngleBounds(float& minimum, float& maximum) const {
  minimum = _minimumAngle;
  maximum = _maximumAngle;
}

void KelStayAndLookViewpointEditor::SeekAngle(KelMouseEvent& event) {
  SeekPoint(event, 0.0f, 0.5f);
  if (_viewer) _viewer->SetPointingCursor();
}

void KelStayAndLookViewpointEditor::StepBackAngle(KelMouseEvent&) {
  const Kel3DViewpoint& v = *_viewpoint3D;
  AnimateTo(v.GetOrigin(), v.GetSightDirection(), v.GetUpDirection(), v.GetFocusDistance(),
            AngleAfter(2.0f));
}

void KelStayAndLookViewpointEditor::StartZoomAngle(KelMouseEvent& event) {
  Remember(event);
}

void KelStayAndLookViewpointEditor::DriveZoomAngle(KelMouseEvent& event) {
  const float dy = event.GetPosition().y - _lastY;
  Remember(event);
  ChangeAngleOf(std::exp(_ZoomCoefficient * dy));
}

void KelStayAndLookViewpointEditor::StopZoomAngle(KelMouseEvent&) {}

void KelStayAndLookViewpointEditor::KeyZoomAngle(KelKeyboardEvent& event) {
  const float a = _TurnAngle > 0.0f ? _TurnAngle : static_cast<float>(KelMath::PI / 36.0);
  switch (event.GetKey()) {
    case 1:
      Jump(Kelvector3f(), Kelvector3f(0.0f, -a, 0.0f));
      break;
    case 2:
      Jump(Kelvector3f(), Kelvector3f(0.0f, a, 0.0f));
      break;
    case 3:
      Jump(Kelvector3f(), Kelvector3f(-a, 0.0f, 0.0f));
      break;
    case 4:
      Jump(Kelvector3f(), Kelvector3f(a, 0.0f, 0.0f));
      break;
    case 5:
      ChangeAngleOf(1.0f / kSqrt2);
      break;
    case 6:
      ChangeAngleOf(kSqrt2);
      break;
    default:
      break;
  }
}

void KelStayAndLookViewpointEditor::StartTiltDrag(KelMouseEvent& event) {
  if (_viewer) _viewer->SetManipulatingCursor(32);
  Remember(event);
}

void KelStayAndLookViewpointEditor::DriveTiltDrag(KelMouseEvent& event) {
  // The picture is grabbed: it follows the cursor, at the rate of the
  // window's centre whatever the field angle.
  float W = 0.0f, H = 0.0f;
  if (_viewer) _viewer->GetGraphicSize(&W, &H);
  const float dx = event.GetPosition().x - _lastX;
  const float dy = event.GetPosition().y - _lastY;
  Remember(event);
  const double tangent = std::tan(_viewpoint3D->GetAngle() * KelMath::DEGRERADIANS);
  const float k =
      H > 0.0f ? static_cast<float>(std::atan(tangent / (0.5 * H))) : _MouseRotationCoefficient;
  Jump(Kelvector3f(), Kelvector3f(-k * dy, -k * dx, 0.0f));
}

void KelStayAndLookViewpointEditor::StopTiltDrag(KelMouseEvent&) {}
