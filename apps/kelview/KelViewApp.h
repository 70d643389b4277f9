// One run of kelview: a main window (menu bar, viewer, status bar) showing
// the built-in assembly or a mesh file, framed through the viewer's main 3D
// viewpoint.
//
// Interaction: one manipulator on the scene's root takes every hit, so the
// viewer's device drives it. Pointing at a part (a child of the root: a
// placed part of the assembly, one mesh of a file) highlights it; a click
// selects it and puts the picked Rep, the point and the normal (world
// coordinates) in the status bar; a click on nothing clears the selection.
// The middle button moves the camera with the examine editor's gestures
// (KelViewEditor); its prompts show in the status bar. Frame all is the
// menu's (F). Parts highlighted by the scene itself stay so.
//
// The viewer is a navigation viewer: its tool frames (navigation style,
// single camera actions, previous / next / reframe, light, visibility,
// ground) sit at the left of the picture. The View menu also steps through
// the history (P previous, N next), switches the ground (G), the dashboard
// (D), the axis board (X, on at first) and the performance gauges, and opens
// the performances dialog. With --verbose,
// each step through the history tells the camera it shows, and each change
// of the drawing precisions (the performances dialog's) is told.
//
// Record and replay go through the viewer (docs/record.md): a replay needs
// the same scene and the window that recorded it. The picture of
// --screenshot is taken after the first frame; when replaying, after the
// frame that follows the last record; when recording, when the session is
// quit, so that the recording's last picture and the replay's compare. The
// menu's actions are recorded and replayed; the tool frames' buttons, like
// the contextual menu, are live input only.
#pragma once

#include <kel/framework/KelCommand.h>

#include <iosfwd>
#include <map>
#include <memory>
#include <string>

#include "KelAppScene.h"
#include "KelViewOptions.h"

class KelDlgDocument;
class KelManipulator;
class KelPartDragger;
class KelViewEditor;
class KelRep;
class KelNavigation3DViewer;
class KelViewer;
class KelVisuPerformancesDialog;
typedef struct _WidgetRec* Widget;

class KelViewApp : public KelCommand {
 public:
  KelViewApp(const KelViewOptions& options, std::ostream& out, std::ostream& err);
  ~KelViewApp() override;
  KelViewApp(const KelViewApp&) = delete;
  KelViewApp& operator=(const KelViewApp&) = delete;

  // Opens the window and runs the event loop to the end. Answers a
  // KelAppStatus.
  int Run();
  // Loads the scene and opens the window, without running the loop (for a
  // program that runs its own); answers a KelAppStatus.
  int Open();
  KelViewer* GetViewer() const;
  const std::string& GetDescription() const { return _description; }

  // The menu's and the contextual menu's actions. With --verbose, frame all
  // says the resident memory (the soak test's probe).
  void Quit();
  void FrameAll();
  // The View menu's history steps (-1 previous, 1 next), ground switch and
  // performances dialog.
  void StepHistory(int step);
  void SwitchGround();
  void SwitchDashboard();
  void SwitchAxisBoard();
  void SwitchGauges();
  void OpenPerformances();
  // The Edit menu: a translator or a rotator for the selected part, and
  // Escape, which puts back the part a drag is moving.
  void DragSelected(int kind);
  void CancelDrag();

  // The menu's actions, recorded and replayed (docs/record.md): a
  // KelNotification named after the action, its name as the payload.
  static const char* const FRAME_ALL;
  static const char* const PREVIOUS_VIEW;
  static const char* const NEXT_VIEW;
  static const char* const GROUND;
  static const char* const DASHBOARD;
  static const char* const AXIS_BOARD;
  int SaveState(KelNotification* event, KelMarshal& marshal) override;
  int RestoreState(const char* eventClass, KelMarshal& marshal) override;

  // The interaction notifications of the root's manipulator.
  void Interaction(KelCommand* sender, KelNotification* notification, void*);
  // "VIEWER_UPDATE": the first frame, the end of a replay.
  void Updated(const char*, KelCallbackManager*, KelNotification*, void*, long);
  void FrameAllChosen(KelCommand*, KelNotification*, void*) { FrameAll(); }
  void CloseRequested(KelCommand*, KelNotification*, void*) { Quit(); }

 private:
  int StartSession();
  void BuildWindow();
  void BuildMenuBar(Widget mainWindow);
  // Frames the scene in the window as it is now, and aims the lights.
  void Frame();
  // Records a menu's action (false while replaying: the replay hands it).
  bool RecordAction(const char* action);
  // Does a recorded or live menu action; false for an unknown one.
  bool DoAction(const std::string& action);
  std::string CameraText() const;
  // The status bar's text, also on the standard output with --verbose.
  void SetStatus(const std::string& text);
  // The part of the scene that a pick path hits: the root's child on it.
  KelRep* PartOf(KelNotification* notification) const;
  void SetPreselected(KelRep* part);
  void Select(KelNotification* notification);
  // A part shows highlighted when the scene made it so, or it is preselected
  // or selected.
  void ShowHighlight(KelRep* part);
  // Writes the picture and the camera; false on failure (with a message).
  bool TakeScreenshot();
  void Finish(int status);

  KelViewOptions _options;
  std::ostream& _out;
  std::ostream& _err;
  KelAppScene _scene;
  std::string _description;
  int _status = 0;
  bool _finishing = false;
  bool _replaying = false;
  bool _firstFrame = true;
  KelDlgDocument* _document = nullptr;
  KelNavigation3DViewer* _viewer = nullptr;
  KelVisuPerformancesDialog* _performances = nullptr;  // the document owns it
  float _shownSag = -1.0f;
  int _shownCulling = -1;
  KelManipulator* _manipulator = nullptr;
  KelViewEditor* _editor = nullptr;  // the viewer owns it
  KelPartDragger* _dragger = nullptr;
  KelRep* _preselected = nullptr;
  KelRep* _selected = nullptr;
  std::map<KelRep*, bool> _sceneHighlight;
  long _residentAtFirstFrame = 0;
};
