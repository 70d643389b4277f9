#include "KelViewApp.h"

#include "KelAppStatus.h"
#include "KelImageFileWriter.h"
#include "KelPartDragger.h"
#include "KelSceneContent.h"
#include "KelSceneFraming.h"
#include "KelViewEditor.h"

#include <kel/aids/KelVisuPerformancesDialog.h>
#include <kel/controller/KelVueNotification.h>
#include <kel/framework/KelCallbackManager.h>
#include <kel/framework/KelDlgContextualMenu.h>
#include <kel/framework/KelDlgDocument.h>
#include <kel/framework/KelDlgICC.h>
#include <kel/framework/KelDlgNotification.h>
#include <kel/framework/KelDlgPushButton.h>
#include <kel/framework/KelMarshal.h>
#include <kel/framework/KelRecord.h>
#include <kel/framework/KelUnicodeString.h>
#include <kel/images/KelPixelImage.h>
#include <kel/manipulators/KelManipulator.h>
#include <kel/navigation/KelNavigation3DViewer.h>
#include <kel/picking/KelPickPath.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/KelGraphicAttributeSet.h>
#include <kel/viewers/Kel3DViewer.h>
#include <kel/viewers/KelGraphicWindow.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewers/KelViewerEvent.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <Xm/CascadeBG.h>
#include <Xm/MainW.h>
#include <Xm/PushBG.h>
#include <Xm/RowColumn.h>
#include <Xm/Xm.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ostream>

const char* const KelViewApp::FRAME_ALL = "FRAME_ALL";
const char* const KelViewApp::PREVIOUS_VIEW = "PREVIOUS_VIEW";
const char* const KelViewApp::NEXT_VIEW = "NEXT_VIEW";
const char* const KelViewApp::GROUND = "GROUND";
const char* const KelViewApp::DASHBOARD = "DASHBOARD";
const char* const KelViewApp::AXIS_BOARD = "AXIS_BOARD";

namespace {

// Resident memory of this process in kB, 0 when unknown.
long ResidentKB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.compare(0, 6, "VmRSS:") == 0) return std::atol(line.c_str() + 6);
  return 0;
}

std::string Triple(float x, float y, float z, const char* format) {
  char text[128];
  std::snprintf(text, sizeof text, format, double(x), double(y), double(z));
  return text;
}

void QuitActivated(Widget, XtPointer app, XtPointer) {
  static_cast<KelViewApp*>(app)->Quit();
}
void FrameAllActivated(Widget, XtPointer app, XtPointer) {
  static_cast<KelViewApp*>(app)->FrameAll();
}
void TranslateActivated(Widget, XtPointer app, XtPointer) {
  static_cast<KelViewApp*>(app)->DragSelected(KelPartDragger::Translate);
}
void RotateActivated(Widget, XtPointer app, XtPointer) {
  static_cast<KelViewApp*>(app)->DragSelected(KelPartDragger::Rotate);
}
void CancelDragActivated(Widget, XtPointer app, XtPointer) {
  static_cast<KelViewApp*>(app)->CancelDrag();
}
void PreviousActivated(Widget, XtPointer app, XtPointer) {
  static_cast<KelViewApp*>(app)->StepHistory(-1);
}
void NextActivated(Widget, XtPointer app, XtPointer) {
  static_cast<KelViewApp*>(app)->StepHistory(1);
}
void GroundActivated(Widget, XtPointer app, XtPointer) {
  static_cast<KelViewApp*>(app)->SwitchGround();
}
void DashboardActivated(Widget, XtPointer app, XtPointer) {
  static_cast<KelViewApp*>(app)->SwitchDashboard();
}
void AxisBoardActivated(Widget, XtPointer app, XtPointer) {
  static_cast<KelViewApp*>(app)->SwitchAxisBoard();
}
void GaugesActivated(Widget, XtPointer app, XtPointer) {
  static_cast<KelViewApp*>(app)->SwitchGauges();
}
void PerformancesActivated(Widget, XtPointer app, XtPointer) {
  static_cast<KelViewApp*>(app)->OpenPerformances();
}

// A push button of a pulldown, with its key as a Motif accelerator.
Widget MenuItem(Widget pane, const char* name, const char* label, char mnemonic,
                const char* accelerator, const char* acceleratorText, XtCallbackProc action,
                void* app) {
  XmString text = XmStringCreateLocalized(const_cast<char*>(label));
  XmString keyText = XmStringCreateLocalized(const_cast<char*>(acceleratorText));
  Widget item = XtVaCreateManagedWidget(name, xmPushButtonGadgetClass, pane, XmNlabelString, text,
                                        XmNmnemonic, KeySym(mnemonic), XmNaccelerator, accelerator,
                                        XmNacceleratorText, keyText, nullptr);
  XmStringFree(text);
  XmStringFree(keyText);
  XtAddCallback(item, XmNactivateCallback, action, app);
  return item;
}

Widget Pulldown(Widget bar, const char* name, const char* label, char mnemonic) {
  const std::string paneName = std::string(name) + "Pane";
  Widget pane = XmCreatePulldownMenu(bar, const_cast<char*>(paneName.c_str()), nullptr, 0);
  XmString text = XmStringCreateLocalized(const_cast<char*>(label));
  XtVaCreateManagedWidget(name, xmCascadeButtonGadgetClass, bar, XmNsubMenuId, pane, XmNlabelString,
                          text, XmNmnemonic, KeySym(mnemonic), nullptr);
  XmStringFree(text);
  return pane;
}

}  // namespace

KelViewApp::KelViewApp(const KelViewOptions& options, std::ostream& out, std::ostream& err)
    : KelCommand(KelString("kelview")), _options(options), _out(out), _err(err) {}

KelViewApp::~KelViewApp() {
  delete _dragger;
  if (_manipulator) {
    RemoveAnalyseNotificationCB(nullptr, "KelManipulatorNotification");
    delete _manipulator;
  }
  _scene.Detach();
  delete _document;  // the viewer, its window and its editor with it
}

KelViewer* KelViewApp::GetViewer() const {
  return _viewer;
}

int KelViewApp::Run() {
  if (const int status = Open()) return status;
  const int loop = KelDlgICC::MainLoop();
  if (_status == KELAPP_OK && loop < 0) _status = KELAPP_DRAW_FAILED;
  if (KelRecord::GetMain()->Stop() && _status == KELAPP_OK) _status = KELAPP_OUTPUT_FAILED;
  if (const int errors = KelDlgICC::GetXErrorCount())
    _err << "kelview: warning: " << errors << " X protocol errors\n";
  if (_options.verbose)
    _out << "kelview: end, resident " << ResidentKB() << " kB (" << _residentAtFirstFrame
         << " kB at the first frame)\n"
         << std::flush;
  return _status;
}

int KelViewApp::Open() {
  KelDlgICC::SetApplicationName("kelview", "Kelview");
  if (!KelDlgICC::GetApplicationShell()) {
    _err << "kelview: cannot open the X display\n";
    return KELAPP_DRAW_FAILED;
  }
  KelUpAxis up = KEL_UP_Z;
  if (const int status =
          KelSceneContent::Build(_options.scene, _scene, "kelview", _description, up, _err))
    return status;
  if (const int status = StartSession()) return status;
  if (_options.verbose) _out << "kelview: " << _description << "\n" << std::flush;

  BuildWindow();
  Kel3DViewpoint* viewpoint = _viewer->GetMain3DViewpoint();
  _scene.Attach(*viewpoint);
  Keldirection3f sight, upDirection;
  KelSceneFraming::ViewDirections(_options.scene.azimuth, _options.scene.elevation, up, sight,
                                  upDirection);
  viewpoint->Set(viewpoint->GetOrigin(), sight, upDirection);
  viewpoint->SetProjectionType(_options.scene.parallel ? PARALLEL_PROJECTION : CONIC_PROJECTION);

  // One manipulator on the root: every hit on the scene reaches it.
  _manipulator = new KelManipulator(this, KelString("scene"), _scene.GetRoot());
  AddAnalyseNotificationCB(nullptr, "KelManipulatorNotification", &KelViewApp::Interaction,
                           nullptr);
  _editor = new KelViewEditor(*viewpoint, _options.verbose ? &_out : nullptr);
  _viewer->SetDefaultEditor(_editor);
  _dragger =
      new KelPartDragger(this, *_viewer, *_scene.GetRoot(), _options.verbose ? &_out : nullptr);
  // What no dialog analyses (the contextual menu's items, the window's
  // closing) goes up through the dragger to this application.
  _document->SetFather(_dragger);
  if (KelDlgContextualMenu* menu = _viewer->GetContextualMenu()) _dragger->AddMenuItems(*menu);

  _document->SetVisibility(KelDlgShown);
  return KELAPP_OK;
}

int KelViewApp::StartSession() {
  KelRecord* record = KelRecord::GetMain();
  // The window takes a fixed pixel geometry from these, before it is made.
  if (!_options.record.empty()) {
    setenv("KELRECORDCAPTURE", "1", 1);
    if (record->StartRecording(_options.record.c_str())) {
      _err << "kelview: cannot record into " << _options.record << " (see above)\n";
      return KELAPP_OUTPUT_FAILED;
    }
  } else if (!_options.replay.empty()) {
    setenv("KELRECORDREPLAY", "1", 1);
    if (access(_options.replay.c_str(), R_OK) != 0) {
      _err << "kelview: cannot read " << _options.replay << "\n";
      return KELAPP_INPUT_MISSING;
    }
    if (record->StartReplay(_options.replay.c_str())) {
      _err << "kelview: cannot replay " << _options.replay << " (see above)\n";
      return KELAPP_INPUT_MALFORMED;
    }
    _replaying = record->GetMode() == 2;
  }
  return KELAPP_OK;
}

void KelViewApp::BuildWindow() {
  _document = new KelDlgDocument(nullptr, KelString("kelview"));
  const std::string title =
      "kelview - " +
      (_options.scene.input.empty() ? std::string("built-in assembly") : _options.scene.input);
  _document->SetTitle(KelString(title.c_str()));
  AddAnalyseNotificationCB(_document, KelDlgNotification::DLG_CLOSE(), &KelViewApp::CloseRequested,
                           nullptr);
  BuildMenuBar(_document->GetMainWindowWidget());
  _document->SetStatusBarText(KelUnicodeString(_description.c_str()));

  _viewer = new KelNavigation3DViewer(_document, KelString("viewer"), 0, _options.scene.width,
                                      _options.scene.height, 0);
  _viewer->AttachOnSides();
  const unsigned char* b = _options.scene.background;
  _viewer->SetBackgroundColor(b[0] / 255.0f, b[1] / 255.0f, b[2] / 255.0f);
  AddCallback(_viewer->GetCallbackManager(), KelViewer::VIEWER_UPDATE(), &KelViewApp::Updated,
              nullptr);
  // The viewer's contextual menu, with ours after its own.
  auto* frameAll = new KelDlgPushButton(_viewer->GetContextualMenu(), KelString("frameAll"));
  frameAll->SetTitle(KelString("Frame All"));
  AddAnalyseNotificationCB(frameAll, KelDlgNotification::DLG_ACTIVATE(),
                           &KelViewApp::FrameAllChosen, nullptr);
}

void KelViewApp::BuildMenuBar(Widget mainWindow) {
  Widget bar = XmCreateMenuBar(mainWindow, const_cast<char*>("menuBar"), nullptr, 0);
  Widget file = Pulldown(bar, "file", "File", 'F');
  MenuItem(file, "quit", "Quit", 'Q', "Ctrl<Key>q", "Ctrl+Q", QuitActivated, this);
  Widget view = Pulldown(bar, "view", "View", 'V');
  MenuItem(view, "frameAll", "Frame All", 'F', "<Key>f", "F", FrameAllActivated, this);
  MenuItem(view, "previousView", "Previous View", 'P', "<Key>p", "P", PreviousActivated, this);
  MenuItem(view, "nextView", "Next View", 'N', "<Key>n", "N", NextActivated, this);
  MenuItem(view, "ground", "Ground", 'G', "<Key>g", "G", GroundActivated, this);
  MenuItem(view, "dashboard", "Dashboard", 'D', "<Key>d", "D", DashboardActivated, this);
  MenuItem(view, "axisBoard", "Axis Board", 'x', "<Key>x", "X", AxisBoardActivated, this);
  MenuItem(view, "gauges", "Performance Gauges", 'a', "Ctrl<Key>g", "Ctrl+G", GaugesActivated,
           this);
  MenuItem(view, "performances", "Performances...", 'e', "Ctrl<Key>p", "Ctrl+P",
           PerformancesActivated, this);
  Widget edit = Pulldown(bar, "edit", "Edit", 'E');
  MenuItem(edit, "translatePart", "Translate", 'T', "<Key>t", "T", TranslateActivated, this);
  MenuItem(edit, "rotatePart", "Rotate", 'R', "<Key>r", "R", RotateActivated, this);
  MenuItem(edit, "cancelDrag", "Cancel Drag", 'C', "<Key>Escape", "Esc", CancelDragActivated, this);
  XtManageChild(bar);
  XtVaSetValues(mainWindow, XmNmenuBar, bar, nullptr);
}

void KelViewApp::Quit() {
  if (_finishing) return;
  // A recorded session's picture is its last one.
  if (!_options.record.empty() && !_options.screenshot.empty()) {
    Finish(TakeScreenshot() ? KELAPP_OK : KELAPP_OUTPUT_FAILED);
    return;
  }
  Finish(KELAPP_OK);
}

void KelViewApp::Finish(int status) {
  _finishing = true;
  _status = status;
  KelDlgICC::ExitMainLoop(0);
}

bool KelViewApp::RecordAction(const char* action) {
  // A menu's action is live input: recorded like the viewer's, dropped while
  // a replay hands the recorded ones.
  KelRecord* record = KelRecord::GetMain();
  if (record->GetMode() == 2) return false;
  if (record->GetMode() == 1) {
    KelNotification notification(0, action);
    record->SaveState(this, &notification);
  }
  return true;
}

void KelViewApp::FrameAll() {
  if (RecordAction(FRAME_ALL)) DoAction(FRAME_ALL);
}

void KelViewApp::StepHistory(int step) {
  const char* action = step < 0 ? PREVIOUS_VIEW : NEXT_VIEW;
  if (RecordAction(action)) DoAction(action);
}

void KelViewApp::SwitchGround() {
  if (RecordAction(GROUND)) DoAction(GROUND);
}

void KelViewApp::SwitchDashboard() {
  if (RecordAction(DASHBOARD)) DoAction(DASHBOARD);
}

void KelViewApp::SwitchAxisBoard() {
  if (RecordAction(AXIS_BOARD)) DoAction(AXIS_BOARD);
}

void KelViewApp::SwitchGauges() {
  // Not recorded: the gauges show the durations of the machine at hand.
  if (!_viewer) return;
  if (_viewer->IsPerformanceGauges())
    _viewer->HidePerformanceGauges();
  else
    _viewer->DisplayPerformanceGauges();
}

void KelViewApp::OpenPerformances() {
  if (!_viewer) return;
  if (!_performances) {
    _performances =
        new KelVisuPerformancesDialog(_document, KelString("VisuPerformances"), _viewer, 0);
  } else {
    _performances->SetVisibility(KelDlgShown);
  }
  if (!_options.verbose) return;
  // Where its LOD button lies in its window, for a script to press it.
  int x = 0, y = 0;
  if (KelDlgPushButton* button = _performances->GetLodButton()) {
    Position bx = 0, by = 0, sx = 0, sy = 0;
    if (button->GetWidget() && _performances->GetWidget()) {
      XtTranslateCoords(button->GetWidget(), 0, 0, &bx, &by);
      XtTranslateCoords(_performances->GetWidget(), 0, 0, &sx, &sy);
    }
    x = bx - sx;
    y = by - sy;
  }
  _out << "kelview: performances open, LOD button at " << x << " " << y << "\n" << std::flush;
}

bool KelViewApp::DoAction(const std::string& action) {
  if (action == FRAME_ALL) {
    Frame();
    if (_options.verbose)
      _out << "kelview: framed, resident " << ResidentKB() << " kB, " << CameraText() << "\n"
           << std::flush;
  } else if (action == PREVIOUS_VIEW || action == NEXT_VIEW) {
    if (action == PREVIOUS_VIEW)
      _viewer->DisplayPreviousViewpoint();
    else
      _viewer->DisplayNextViewpoint();
    if (_options.verbose)
      _out << "kelview: view " << (action == PREVIOUS_VIEW ? "previous" : "next") << ", "
           << CameraText() << "\n"
           << std::flush;
  } else if (action == GROUND) {
    if (_viewer->IsGround())
      _viewer->HideGround();
    else
      _viewer->DisplayGround(GroundGridOnFloor);
  } else if (action == AXIS_BOARD) {
    if (_viewer->IsAxisboard())
      _viewer->SetAxisboardOff();
    else
      _viewer->SetAxisboardOn();
  } else if (action == DASHBOARD) {
    if (_viewer->IsDashboard())
      _viewer->SetDashboardOff();
    else
      _viewer->SetDashboardOn();
  } else {
    return false;
  }
  return true;
}

int KelViewApp::SaveState(KelNotification* event, KelMarshal& marshal) {
  if (!event) return 1;
  const char* name = event->GetNotificationName();
  for (const char* action : {FRAME_ALL, PREVIOUS_VIEW, NEXT_VIEW, GROUND, DASHBOARD, AXIS_BOARD})
    if (name && std::strcmp(name, action) == 0) {
      marshal.WriteString(action);
      return 0;
    }
  return 2;
}

int KelViewApp::RestoreState(const char* eventClass, KelMarshal& marshal) {
  std::string name;
  if (std::strcmp(eventClass, "KelNotification") != 0 || marshal.ReadString(name) ||
      !DoAction(name))
    return 4;
  return 0;
}

void KelViewApp::Frame() {
  if (!_viewer) return;
  Kel3DViewpoint* viewpoint = _viewer->GetMain3DViewpoint();
  float width = 0, height = 0;
  _viewer->GetGraphicSize(&width, &height);
  if (width < 1 || height < 1) {
    width = float(_options.scene.width);
    height = float(_options.scene.height);
  }
  // One step of the viewer's history, however many changes it takes.
  viewpoint->StartAnimation(this);
  KelSceneFraming::Frame(
      *viewpoint, *_scene.GetRoot(), width, height,
      _viewer->GetGraphicWindow() ? _viewer->GetGraphicWindow()->GetRatioWH() : 1.0f);
  viewpoint->StopAnimation(this);
  _scene.AimLights(*viewpoint);
  _viewer->Draw();
}

void KelViewApp::DragSelected(int kind) {
  if (!_dragger) return;
  if (_dragger->Choose(static_cast<KelPartDragger::Kind>(kind), _selected))
    SetStatus(kind == KelPartDragger::Translate
                  ? "Translate: drag the part with the left button, Escape puts it back"
                  : "Rotate: drag the part with the left button, Escape puts it back");
  else
    SetStatus("Select a placed part to drag it");
}

void KelViewApp::CancelDrag() {
  if (_dragger) _dragger->Cancel();
}

void KelViewApp::Updated(const char*, KelCallbackManager*, KelNotification*, void*, long) {
  if (_finishing) return;
  if (KelGraphicWindow* window = _options.verbose ? _viewer->GetGraphicWindow() : nullptr) {
    const float sag = window->GetSagPrecision();
    const int culling = window->GetCullingPrecision();
    if (_shownSag >= 0.0f && (sag != _shownSag || culling != _shownCulling))
      _out << "kelview: performances accuracy " << sag << " culling " << culling << "\n"
           << std::flush;
    _shownSag = sag;
    _shownCulling = culling;
  }
  if (_firstFrame) {
    _firstFrame = false;
    _residentAtFirstFrame = ResidentKB();
    if (_options.verbose)
      _out << "kelview: first frame, window 0x" << std::hex << XtWindow(_document->GetWidget())
           << std::dec << ", resident " << _residentAtFirstFrame << " kB\n"
           << std::flush;
    // The window has its size only now; the next frame shows the framing.
    Frame();
    return;
  }
  KelRecord* record = KelRecord::GetMain();
  if (_replaying) {
    if (record->GetMode() == 2) return;
    _replaying = false;
    if (record->HasStoppedOnDamage()) {
      _err << "kelview: the replay of " << _options.replay << " stopped early (see above)\n";
      Finish(KELAPP_INPUT_MALFORMED);
      return;
    }
    if (_options.verbose) _out << "kelview: replay ended\n" << std::flush;
  }
  if (_options.screenshot.empty() || !_options.record.empty()) return;
  Finish(TakeScreenshot() ? KELAPP_OK : KELAPP_OUTPUT_FAILED);
}

bool KelViewApp::TakeScreenshot() {
  std::unique_ptr<KelPixelImage> image(_viewer->GrabPixelImage());
  KelImageFileWriter writer(_options.screenshot);
  std::string error;
  if (!image || !writer.Open(error) || !writer.Write(*image, error)) {
    _err << "kelview: " << (error.empty() ? "cannot read the window's picture" : error) << "\n";
    return false;
  }
  _out << "kelview: wrote " << _options.screenshot << "\n"
       << "kelview: " << CameraText() << "\n"
       << std::flush;
  return true;
}

std::string KelViewApp::CameraText() const {
  const Kel3DViewpoint* v = _viewer->GetMain3DViewpoint();
  const Kelpoint3f o = v->GetOrigin();
  const Keldirection3f s = v->GetSightDirection(), u = v->GetUpDirection();
  // Nine digits give back each float exactly.
  const char* format = "%.9g %.9g %.9g";
  return "camera origin " + Triple(o.x, o.y, o.z, format) + " sight " +
         Triple(s.x, s.y, s.z, format) + " up " + Triple(u.x, u.y, u.z, format);
}

// ---- Interaction

KelRep* KelViewApp::PartOf(KelNotification* notification) const {
  auto* vue = dynamic_cast<KelVueNotification*>(notification);
  const KelPickPath* path = vue ? vue->GetPickPath() : nullptr;
  if (!path && _viewer) path = &_viewer->GetCurrentPath();
  if (!path || path->Size() < 2) return nullptr;
  return path->GetRep(1);
}

void KelViewApp::Interaction(KelCommand*, KelNotification* notification, void*) {
  const std::string kind = notification->IsA();
  if (kind == KelManipulator::GetKelPreactivate() || kind == KelManipulator::GetKelMove())
    SetPreselected(PartOf(notification));
  else if (kind == KelManipulator::GetKelEndPreactivate())
    SetPreselected(nullptr);
  else if (kind == KelManipulator::GetKelActivate())
    Select(notification);
  else if (kind == KelManipulator::GetKelEndActivate() && _selected) {
    KelRep* was = _selected;
    _selected = nullptr;
    ShowHighlight(was);
    SetStatus("Nothing selected");
    _viewer->Draw();
  }
}

void KelViewApp::SetPreselected(KelRep* part) {
  if (part == _preselected) return;
  KelRep* was = _preselected;
  _preselected = part;
  ShowHighlight(was);
  ShowHighlight(part);
  _viewer->Draw();
  if (!_options.verbose) return;
  int index = 0;
  if (list<KelRep*>* parts = part ? _scene.GetRoot()->GetChildren() : nullptr)
    while (index < parts->Count() && (*parts)[index] != part) ++index;
  _out << "kelview: preselected " << (part ? "part " + std::to_string(index) : "nothing") << "\n"
       << std::flush;
}

void KelViewApp::SetStatus(const std::string& text) {
  _document->SetStatusBarText(KelUnicodeString(text.c_str()));
  if (_options.verbose) _out << "kelview: status: " << text << "\n" << std::flush;
}

void KelViewApp::Select(KelNotification* notification) {
  KelRep* was = _selected;
  _selected = PartOf(notification);
  if (_dragger) _dragger->Follow(_selected);
  ShowHighlight(was);
  ShowHighlight(_selected);
  auto* vue = dynamic_cast<KelVueNotification*>(notification);
  const KelPickPath* path = vue ? vue->GetPickPath() : nullptr;
  if (!path) path = &_viewer->GetCurrentPath();
  std::string text = "Nothing selected";
  if (_selected && path->Size() > 0) {
    const KelRep* leaf = path->GetRep(path->Size() - 1);
    const Kelpoint3f p = path->GetGlobalIntersection();
    const Keldirection3f n = path->GetGlobalNormal();
    text = std::string("Selected ") + leaf->IsA() + ": point " +
           Triple(p.x, p.y, p.z, "(%.4g, %.4g, %.4g)") + ", normal " +
           Triple(n.x, n.y, n.z, "(%.3f, %.3f, %.3f)");
  }
  SetStatus(text);
  _viewer->Draw();
}

void KelViewApp::ShowHighlight(KelRep* part) {
  if (!part) return;
  const unsigned char flags = part->GetGraphicAttributeSet().flags;
  auto known = _sceneHighlight.emplace(part, (flags & KelGraphicAttributeSet::HIGHLIGHTED) != 0);
  if (known.first->second || part == _preselected || part == _selected)
    part->HighLightOn();
  else
    part->HighLightOff();
}
