// Turns the drags and keys that hit no manipulator into camera motions. A
// viewer holds one current editor: it gives it the viewer (SetViewer), starts
// it (Activate) and ends it (EndActivate), and its mouse device hands it the
// events of a middle-button drag (BeginManipulate, Manipulate,
// EndManipulate) and the keys it does not take.
//
// The base runs the drag: a table of eight actions (0 select, 1 main drag,
// 2 speed, 3 zoom, 4 head, 5 translate, 6 step back, 7 look at), each with
// start, drive, stop and key handlers and a cursor, driven by the middle
// button with the left button and the Control and Shift keys, and the
// status-bar prompts built from the action names. Derived editors fill the
// table with their motions; with an empty table a drag does nothing. The
// gestures are listed in docs/navigation.md.
#pragma once

#include <kel/framework/KelCommand.h>
#include <kel/framework/KelUnicodeString.h>
#include <kel/viewers/KelMouseEvent.h>

class KelCallbackManager;
class KelKeyboardEvent;
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
  // The events of a drag (mouse events; a key during the drag goes to the
  // key handler of action 1). 0 when the event does not belong to a drag.
  virtual int BeginManipulate(KelNotification* notification);
  virtual int Manipulate(KelNotification* notification);
  virtual int EndManipulate(KelNotification* notification);
  // The editor stops being the viewer's current one.
  virtual int EndActivate(KelNotification* notification) = 0;
  // The viewer's temporary status-bar text.
  virtual void SetMessage(const KelUnicodeString& text);
  // Empties the start and key handlers of every action.
  virtual void InitActionPointers();

  KelViewpoint* GetViewpoint() const { return _viewpoint; }
  KelViewer* GetViewer() const { return _viewer; }

  typedef void (KelViewpointEditor::*MouseHandler)(KelMouseEvent& event);
  typedef void (KelViewpointEditor::*KeyHandler)(KelKeyboardEvent& event);
  static const int ActionCount = 8;
  // A derived editor's handler as the table holds it.
  template <class E>
  static MouseHandler Handler(void (E::*handler)(KelMouseEvent&)) {
    return static_cast<MouseHandler>(handler);
  }
  template <class E>
  static KeyHandler Handler(void (E::*handler)(KelKeyboardEvent&)) {
    return static_cast<KeyHandler>(handler);
  }

  // Class-wide: a factor on the editors' translations (1.0 at start).
  // Changing it dispatches "TRANSLATION_SENSITIVITY_CHANGED" on the
  // callback manager of the editor that changed it.
  static const char* TRANSLATION_SENSITIVITY_CHANGED();
  KelCallbackManager* GetCallbackManager();
  void SetTranslationSensitivity(float sensitivity);
  static float GetTranslationSensitivity() { return _TranslationSensitivity; }

  // Action `index` (0 to 7) is available when it has a start handler.
  void SetAction(int index, const KelUnicodeString& name, MouseHandler start, MouseHandler drive,
                 MouseHandler stop, KeyHandler key, int cursor);
  int IsAction(int index) const;
  const KelUnicodeString& GetActionName(int index) const;
  int GetActionCursor(int index) const;
  // 0 between drags, else the state of the running drag.
  int GetActionState() const { return _actionState; }
  // What the editor shows between drags.
  const KelUnicodeString& GetIdlePrompt() const { return _idlePrompt; }

 protected:
  void StartAction(int index, KelMouseEvent& event);
  void DriveAction(int index, KelMouseEvent& event);
  void StopAction(int index, KelMouseEvent& event);
  void ShowActionCursor(int index);
  void SetIdlePrompt(const KelUnicodeString& text);

  static float _TranslationSensitivity;
  // Class-wide: the arrow keys' turn in radians (0: the editor's own) and
  // the part of the model radius a key step moves.
  static float _TurnAngle;
  static float _JumpPart;

  KelViewpoint* _viewpoint;
  KelViewer* _viewer = nullptr;
  KelUnicodeString _actionNames[ActionCount];
  int _actionCursors[ActionCount] = {};
  MouseHandler _startHandlers[ActionCount] = {};
  MouseHandler _driveHandlers[ActionCount] = {};
  MouseHandler _stopHandlers[ActionCount] = {};
  KeyHandler _keyHandlers[ActionCount] = {};
  int _actionState = 0;
  KelMouseEvent _lastMouseEvent;
  int _savedCursor = 0;
  KelUnicodeString _idlePrompt;
  KelCallbackManager* _callbackManager = nullptr;
};
