#include <kel/navigation/KelBasic3DViewpointEditor.h>

#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelViewer.h>

KEL_IMPLEMENT_META(KelBasic3DViewpointEditor, Kel3DViewpointEditor)

KelBasic3DViewpointEditor::KelBasic3DViewpointEditor(const KelString& name,
                                                     Kel3DViewpoint& viewpoint,
                                                     const KelBasic3DViewpointEditorMode mode)
    : Kel3DViewpointEditor(name, viewpoint), _mode(mode) {
  SetMode(mode);
}

KelBasic3DViewpointEditor::~KelBasic3DViewpointEditor() = default;

void KelBasic3DViewpointEditor::SetMode(const KelBasic3DViewpointEditorMode mode) {
  using E = Kel3DViewpointEditor;
  using B = KelBasic3DViewpointEditor;
  _mode = mode;
  InitActionPointers();
  const MouseHandler turn[3] = {Handler(&E::StartTurn), Handler(&E::DriveTurn),
                                Handler(&E::StopTurn)};
  const MouseHandler zoom[3] = {Handler(&E::StartZoom), Handler(&E::DriveZoom),
                                Handler(&E::StopZoom)};
  const MouseHandler zoomAndTurn[3] = {Handler(&E::StartZoomAndTurn), Handler(&E::DriveZoomAndTurn),
                                       Handler(&E::StopZoomAndTurn)};
  const MouseHandler tilt[3] = {Handler(&E::StartTilt), Handler(&E::DriveTilt),
                                Handler(&E::StopTilt)};
  const MouseHandler pan[3] = {Handler(&E::StartPan), Handler(&E::DrivePan), Handler(&E::StopPan)};
  const MouseHandler roll[3] = {Handler(&E::StartRoll), Handler(&E::DriveRoll),
                                Handler(&E::StopRoll)};
  const MouseHandler define[3] = {Handler(&E::StartViewpointDefinition),
                                  Handler(&E::DriveViewpointDefinition),
                                  Handler(&E::StopViewpointDefinition)};
  const KeyHandler zoomAndTurnKey = Handler(&E::KeyZoomAndTurn);
  const KeyHandler flyKey = Handler(&E::KeyFly);
  const MouseHandler toggle = Handler(&B::ToggleSpeed);
  auto set = [this](int index, const char* name, const MouseHandler* h, KeyHandler key,
                    int cursor) { SetAction(index, name, h[0], h[1], h[2], key, cursor); };
  if (mode >= ROLL_MODE && mode <= FLY_MODE) {
    SetAction(0, "seek", Handler(&B::Seek), nullptr, nullptr, nullptr, 128);
    SetAction(6, "step back", Handler(&B::StepBack), nullptr, nullptr, nullptr, 128);
    set(7, "look at", define, nullptr, 120);
  }
  switch (mode) {
    case ROTATE_MODE:
      set(1, "rotate  (Shortcut : middle button in examine mode)", turn, zoomAndTurnKey, 50);
      break;
    case ZOOM_MODE:
      set(1, "zoom  (Shortcut : middle + left button in examine mode)", zoom, nullptr, 42);
      break;
    case LOOK_AT_MODE:
      set(1, "look at  (Shortcut : Shift middle button)", define, nullptr, 120);
      break;
    case TRANSLATE_MODE:
      set(1, "translate  (Shortcut : Ctrl middle button in examine mode)", pan, nullptr, 52);
      break;
    case TURN_HEAD_MODE:
      set(1, "turn head  (Shortcut : middle button in walk/fly modes)", tilt, nullptr, 32);
      break;
    case ALL_ACTIONS_MODE:
      set(1, "rotate", turn, nullptr, 50);
      set(4, "turn head", tilt, nullptr, 32);
      set(3, "zoom", zoom, nullptr, 42);
      set(5, "translate", pan, nullptr, 52);
      SetAction(2, "fly", toggle, nullptr, nullptr, nullptr, 6);
      break;
    case ROLL_MODE:
      set(1, "rotate", turn, zoomAndTurnKey, 50);
      set(3, "zoom", zoomAndTurn, zoomAndTurnKey, 42);
      set(4, "roll", roll, zoomAndTurnKey, 32);
      break;
    case EXAMINE_MODE:
      set(1, "rotate", turn, zoomAndTurnKey, 50);
      set(3, "zoom", zoomAndTurn, zoomAndTurnKey, 42);
      set(4, "turn head", tilt, zoomAndTurnKey, 32);
      break;
    case WALK_MODE:
    case FLY_MODE:
      set(1, "turn head", tilt, flyKey, 32);
      set(4, "translate", pan, flyKey, 52);
      SetAction(
          2, mode == WALK_MODE ? "walk   PgUp to increase speed" : "fly   PgUp to increase speed",
          toggle, nullptr, nullptr, flyKey, 6);
      break;
  }
}

int KelBasic3DViewpointEditor::Activate(KelNotification* notification) {
  Kel3DViewpointEditor::Activate(notification);
  if (_mode > TURN_HEAD_MODE || !IsAction(1)) {
    SetIdlePrompt(KelUnicodeString());
    return 1;
  }
  if (IsAction(0)) {
    ShowActionCursor(0);
    SetIdlePrompt(KelUnicodeString("Select to ") + _actionNames[0] +
                  KelUnicodeString("  Drag to ") + _actionNames[1]);
  } else {
    ShowActionCursor(1);
    SetIdlePrompt(KelUnicodeString("Drag to ") + _actionNames[1]);
  }
  if (_viewer) _viewer->SetManipulatingCursor(1);
  return 1;
}

int KelBasic3DViewpointEditor::EndManipulate(KelNotification* notification) {
  const int ended = Kel3DViewpointEditor::EndManipulate(notification);
  // A flight lasts while the middle button is held, however the drag ended.
  if (_flyDirection != 0) {
    _flyDirection = 0;
    UpdateSpeed(_lastMouseEvent.GetTimeStamp());
  }
  SetMode(_mode);
  return ended;
}

void KelBasic3DViewpointEditor::Seek(KelMouseEvent& event) {
  SetTargetOnPickedObject(event, 0.5f);
  if (_viewer) _viewer->SetPointingCursor();
}

void KelBasic3DViewpointEditor::Focus(KelMouseEvent& event) {
  SetTargetOnPickedObject(event, 0.0f);
  if (_viewer) _viewer->SetPointingCursor();
}

void KelBasic3DViewpointEditor::StepBack(KelMouseEvent&) {
  JumpBackwardOf(1.0f);
}

void KelBasic3DViewpointEditor::ToggleSpeed(KelMouseEvent& event) {
  const unsigned long time = event.GetTimeStamp();
  if (_flyDirection == -1) {
    _actionNames[2] = "go backward   PgUp/PgDn to change speed";
    InverseSpeed(time);
  } else if (_flyDirection == 1) {
    _actionNames[2] = "go forward   PgUp/PgDn to change speed";
    InverseSpeed(time);
  } else {
    using E = Kel3DViewpointEditor;
    SetAction(1, "change direction", Handler(&E::StartFly), Handler(&E::DriveFly),
              Handler(&E::StopFly), Handler(&E::KeyFly), 6);
    _actionNames[2] = "go backward";
    _flyDirection = 1;
    InitializeThrust();
    StartFly(event);
    UpdateSpeed(time);
  }
  SetMessage(KelUnicodeString("Drag to ") + _actionNames[1] +
             KelUnicodeString("   Click left button to ") + _actionNames[2]);
}
