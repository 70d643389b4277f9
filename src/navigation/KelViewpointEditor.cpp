#include <kel/navigation/KelViewpointEditor.h>

#include <kel/framework/KelCallbackManager.h>
#include <kel/viewers/KelKeyboardEvent.h>
#include <kel/viewers/KelMouseEvent.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewpoints/KelViewpoint.h>

KEL_IMPLEMENT_META(KelViewpointEditor, KelCommand)

float KelViewpointEditor::_TranslationSensitivity = 1.0f;
float KelViewpointEditor::_TurnAngle = 0.0f;
float KelViewpointEditor::_JumpPart = 0.01f;

KelViewpointEditor::KelViewpointEditor(KelViewpoint* viewpoint)
    : KelCommand(nullptr, KelString()), _viewpoint(viewpoint) {}

KelViewpointEditor::KelViewpointEditor(const KelString& name, KelViewpoint* viewpoint)
    : KelCommand(nullptr, name), _viewpoint(viewpoint) {}

KelViewpointEditor::KelViewpointEditor(const KelViewpointEditor& other)
    : KelCommand(other),
      _viewpoint(other._viewpoint),
      _viewer(other._viewer),
      _idlePrompt(other._idlePrompt) {
  // The copy has the same actions; the drag and the listeners stay behind.
  for (int i = 0; i < ActionCount; ++i) {
    _actionNames[i] = other._actionNames[i];
    _actionCursors[i] = other._actionCursors[i];
    _startHandlers[i] = other._startHandlers[i];
    _driveHandlers[i] = other._driveHandlers[i];
    _stopHandlers[i] = other._stopHandlers[i];
    _keyHandlers[i] = other._keyHandlers[i];
  }
}

KelViewpointEditor::~KelViewpointEditor() {
  delete _callbackManager;
}

void KelViewpointEditor::SetViewpoint(KelViewpoint* viewpoint) {
  _viewpoint = viewpoint;
}

void KelViewpointEditor::SetViewer(KelViewer* viewer) {
  _viewer = viewer;
}

const char* KelViewpointEditor::TRANSLATION_SENSITIVITY_CHANGED() {
  return "TRANSLATION_SENSITIVITY_CHANGED";
}

KelCallbackManager* KelViewpointEditor::GetCallbackManager() {
  if (!_callbackManager) _callbackManager = new KelCallbackManager;
  return _callbackManager;
}

void KelViewpointEditor::SetTranslationSensitivity(float sensitivity) {
  if (sensitivity == _TranslationSensitivity) return;
  _TranslationSensitivity = sensitivity;
  KelNotification changed;
  GetCallbackManager()->DispatchCallbacks(TRANSLATION_SENSITIVITY_CHANGED(), &changed, nullptr);
}

void KelViewpointEditor::SetMessage(const KelUnicodeString& text) {
  if (_viewer) _viewer->SetStatusBarTemporaryText(text);
}

void KelViewpointEditor::SetIdlePrompt(const KelUnicodeString& text) {
  _idlePrompt = text;
  SetMessage(text);
}

void KelViewpointEditor::InitActionPointers() {
  for (int i = 0; i < ActionCount; ++i) {
    _startHandlers[i] = nullptr;
    _keyHandlers[i] = nullptr;
  }
}

void KelViewpointEditor::SetAction(int index, const KelUnicodeString& name, MouseHandler start,
                                   MouseHandler drive, MouseHandler stop, KeyHandler key,
                                   int cursor) {
  if (index < 0 || index >= ActionCount) return;
  _actionNames[index] = name;
  _startHandlers[index] = start;
  _driveHandlers[index] = drive;
  _stopHandlers[index] = stop;
  _keyHandlers[index] = key;
  _actionCursors[index] = cursor;
}

int KelViewpointEditor::IsAction(int index) const {
  return index >= 0 && index < ActionCount && _startHandlers[index] ? 1 : 0;
}

const KelUnicodeString& KelViewpointEditor::GetActionName(int index) const {
  static const KelUnicodeString none;
  return index >= 0 && index < ActionCount ? _actionNames[index] : none;
}

int KelViewpointEditor::GetActionCursor(int index) const {
  return index >= 0 && index < ActionCount ? _actionCursors[index] : 0;
}

void KelViewpointEditor::StartAction(int index, KelMouseEvent& event) {
  if (IsAction(index)) (this->*_startHandlers[index])(event);
}

void KelViewpointEditor::DriveAction(int index, KelMouseEvent& event) {
  if (IsAction(index) && _driveHandlers[index]) (this->*_driveHandlers[index])(event);
}

void KelViewpointEditor::StopAction(int index, KelMouseEvent& event) {
  if (IsAction(index) && _stopHandlers[index]) (this->*_stopHandlers[index])(event);
}

void KelViewpointEditor::ShowActionCursor(int index) {
  if (_viewer) _viewer->SetManipulatingCursor(_actionCursors[index]);
}

int KelViewpointEditor::BeginManipulate(KelNotification* notification) {
  auto* mouse = dynamic_cast<KelMouseEvent*>(notification);
  if (!mouse || _actionState != 0) return 0;
  // An empty table takes no drag.
  int any = 0;
  for (int i = 0; i < ActionCount; ++i) any |= IsAction(i);
  if (!any) return 0;
  _savedCursor = _viewer ? _viewer->GetCursorType() : 0;
  const int modifiers = mouse->GetModifiers();
  const KelUnicodeString* name = _actionNames;
  if ((modifiers & 4) && IsAction(6)) {
    ShowActionCursor(6);
    KelUnicodeString prompt = KelUnicodeString("Release to ") + name[6];
    if (IsAction(4)) prompt += KelUnicodeString("   Drag to ") + name[4];
    SetMessage(prompt);
    _actionState = 5;
  } else if ((modifiers & 1) && IsAction(7)) {
    StartAction(7, *mouse);
    SetMessage("Release to valid or drag to define the new viewpoint");
    _actionState = 8;
  } else {
    KelUnicodeString prompt;
    if (IsAction(0)) prompt += KelUnicodeString("Release to ") + name[0];
    if (IsAction(1)) prompt += KelUnicodeString("   Drag to ") + name[1];
    if (IsAction(3)) prompt += KelUnicodeString("   Press left button to ") + name[3];
    if (IsAction(2)) prompt += KelUnicodeString("   Click left button to ") + name[2];
    SetMessage(prompt);
    if (!IsAction(0)) {
      ShowActionCursor(1);
      StartAction(1, *mouse);
      _actionState = 2;
    } else {
      ShowActionCursor(0);
      _actionState = 1;
    }
  }
  _lastMouseEvent = *mouse;
  return 1;
}

int KelViewpointEditor::Manipulate(KelNotification* notification) {
  if (auto* key = dynamic_cast<KelKeyboardEvent*>(notification)) {
    if (_keyHandlers[1]) (this->*_keyHandlers[1])(*key);
    return 1;
  }
  auto* mouse = dynamic_cast<KelMouseEvent*>(notification);
  if (!mouse || _actionState == 0) return 0;
  const KelUnicodeString* name = _actionNames;
  const int before = _lastMouseEvent.GetButtons(), now = mouse->GetButtons();
  if (now != before) {
    _viewpoint->StartAnimation(this);
    if (IsAction(3) || IsAction(2)) {
      const KelUnicodeString dragTo = KelUnicodeString("Drag to ") + name[3] +
                                      KelUnicodeString("   Release left button to ") + name[1];
      if ((now & 1) && !(before & 1)) {
        switch (_actionState) {
          case 1:
            if (IsAction(3)) {
              SetMessage(dragTo);
              _actionState = 4;
            } else {
              StartAction(2, *mouse);
            }
            break;
          case 2:
            StopAction(1, *mouse);
            if (IsAction(3)) {
              StartAction(3, *mouse);
              SetMessage(dragTo);
              _actionState = 3;
            } else {
              StartAction(2, *mouse);
            }
            break;
          case 5:
          case 6:
            if (_actionState == 6) StopAction(4, *mouse);
            if (IsAction(5)) {
              StartAction(5, *mouse);
              // What the drag now does: action 5, back to action 4.
              SetMessage(KelUnicodeString("Drag to ") + name[5] +
                         KelUnicodeString("   Release left button to ") + name[4]);
            }
            _actionState = 7;
            break;
          default:
            break;
        }
      } else if (!(now & 1) && (before & 1)) {
        switch (_actionState) {
          case 3:
            StopAction(3, *mouse);
            StartAction(1, *mouse);
            _actionState = 2;
            break;
          case 4:
            // Action 1 never started: it starts here, from this position.
            StartAction(1, *mouse);
            _actionState = 2;
            break;
          case 7:
            StopAction(5, *mouse);
            StartAction(4, *mouse);
            _actionState = 6;
            break;
          default:
            break;
        }
      }
    }
    _viewpoint->StopAnimation(this);
    _lastMouseEvent = *mouse;
    return 1;
  }
  switch (_actionState) {
    case 1: {
      KelUnicodeString prompt = KelUnicodeString("Drag to ") + name[1];
      if (IsAction(3)) prompt += KelUnicodeString("   Press left button to ") + name[3];
      if (IsAction(2)) prompt += KelUnicodeString("   Click left button to ") + name[2];
      SetMessage(prompt);
      StartAction(1, *mouse);
      _actionState = 2;
      break;
    }
    case 2:
      DriveAction(1, *mouse);
      break;
    case 3:
      DriveAction(3, *mouse);
      break;
    case 4:
      SetMessage(KelUnicodeString("Drag to ") + name[3] + KelUnicodeString("   Release to ") +
                 name[1]);
      StartAction(3, *mouse);
      _actionState = 3;
      break;
    case 5:
      StartAction(4, *mouse);
      _actionState = 6;
      break;
    case 6:
      DriveAction(4, *mouse);
      break;
    case 7:
      DriveAction(5, *mouse);
      break;
    case 8:
      DriveAction(7, *mouse);
      break;
    default:
      break;
  }
  _lastMouseEvent = *mouse;
  return 1;
}

int KelViewpointEditor::EndManipulate(KelNotification* notification) {
  if (_actionState == 0) return 0;
  auto* given = dynamic_cast<KelMouseEvent*>(notification);
  KelMouseEvent& mouse = given ? *given : _lastMouseEvent;
  switch (_actionState) {
    case 1:
      StartAction(0, mouse);
      break;
    case 2:
      StopAction(1, mouse);
      break;
    case 3:
      StopAction(3, mouse);
      break;
    case 5:
      StartAction(6, mouse);
      break;
    case 6:
      StopAction(4, mouse);
      break;
    case 7:
      StopAction(5, mouse);
      break;
    case 8:
      StopAction(7, mouse);
      break;
    default:
      break;
  }
  _actionState = 0;
  if (_viewer) _viewer->SetManipulatingCursor(_savedCursor);
  // The drag's prompt goes; what the editor offers between drags comes back.
  SetMessage(_idlePrompt);
  return 1;
}
