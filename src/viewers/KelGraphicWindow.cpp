#include <kel/viewers/KelGraphicWindow.h>

#include <kel/controller/KelGlobalUpdateNotification.h>
#include <kel/framework/KelDlgICC.h>
#include <kel/framework/KelNotificationDispatcher.h>
#include <kel/images/KelPixelImage.h>
#include <kel/picking/KelPickPathList.h>
#include <kel/picking/KelPickingRender.h>
#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/render/KelDisplayList.h>
#include <kel/render/KelDriver.h>
#include <kel/render/KelGraphicRender.h>
#include <kel/reps/KelRep.h>
#include <kel/reps/KelRepPath.h>
#include <kel/viewers/GetTimeInMilliseconds.h>
#include <kel/viewers/KelCharacterFont.h>
#include <kel/viewers/KelColorMap.h>
#include <kel/viewers/KelKeyboardDevice.h>
#include <kel/viewers/KelMouseDevice.h>
#include <kel/viewers/XgDrawingArea.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>
#include <kel/viewpoints/KelOverlayViewpoint.h>

#include <X11/cursorfont.h>
#include <X11/keysym.h>
#include <Xm/DrawingA.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

KEL_IMPLEMENT_META(KelGraphicWindow, KelSupport)

int KelGraphicWindow::_mult = 0;
int KelGraphicWindow::_updateState = 0;
int KelGraphicWindow::_onCulling = 0;
int KelGraphicWindow::_doUpdateSent = 0;
list<KelGraphicWindow*> KelGraphicWindow::_graphicWindowToDraw;
list<KelGraphicWindow*> KelGraphicWindow::_graphicWindowCulled;
float KelGraphicWindow::_cullingTime = 0.0f;
XVisualInfo* KelGraphicWindow::_visual = nullptr;
unsigned long KelGraphicWindow::_colormap = 0;
KelNotificationDispatcher* KelGraphicWindow::_classDispatcher = nullptr;
int KelGraphicWindow::_initDone = 0;
KelGraphicWindow* KelGraphicWindow::_messageWindow = nullptr;
std::vector<list<KelGraphicWindow*>*> KelGraphicWindow::_announcing;

namespace {

// The cursor table, made once per display: entry 0 "Interdit", then the
// cursor-font shapes.
constexpr int kCursorShapes[] = {60, 4, 6, 32, 42, 50, 52, 90, 120, 128};
constexpr int kNbCursors = 1 + static_cast<int>(sizeof kCursorShapes / sizeof kCursorShapes[0]);
Display* gCursorDisplay = nullptr;
Cursor gCursors[kNbCursors] = {};

// "Interdit": a no-entry sign, '*' black, '.' white, blanks transparent.
const char* const kInterdit[12] = {"   ******   ",  //
                                   "  *......*  ",  //
                                   " *........* ",  //
                                   "*..........*",  //
                                   "*..........*",  //
                                   "*..******..*",  //
                                   "*..******..*",  //
                                   "*..........*",  //
                                   "*..........*",  //
                                   " *........* ",  //
                                   "  *......*  ",  //
                                   "   ******   "};

Cursor MakeInterditCursor(Display* display) {
  // Bitmaps are 32 x 32, four bytes a row, leftmost pixel in the lowest bit.
  unsigned char source[32 * 4] = {}, mask[32 * 4] = {};
  for (int row = 0; row < 12; ++row)
    for (int col = 0; kInterdit[row][col]; ++col) {
      const char c = kInterdit[row][col];
      const int byte = row * 4 + col / 8;
      const unsigned char bit = static_cast<unsigned char>(1u << (col % 8));
      if (c != '*') source[byte] |= bit;
      if (c == '*' || c == '.') mask[byte] |= bit;
    }
  const Window root = DefaultRootWindow(display);
  Pixmap s = XCreateBitmapFromData(display, root, reinterpret_cast<char*>(source), 32, 32);
  Pixmap m = XCreateBitmapFromData(display, root, reinterpret_cast<char*>(mask), 32, 32);
  XColor colours[2];
  const int screen = DefaultScreen(display);
  colours[0].pixel = WhitePixel(display, screen);
  colours[1].pixel = BlackPixel(display, screen);
  XQueryColors(display, DefaultColormap(display, screen), colours, 2);
  Cursor cursor = XCreatePixmapCursor(display, s, m, &colours[0], &colours[1], 3, 3);
  XFreePixmap(display, s);
  XFreePixmap(display, m);
  return cursor;
}

void BuildCursorTable(Display* display) {
  if (gCursorDisplay == display) return;
  gCursorDisplay = display;
  gCursors[0] = MakeInterditCursor(display);
  for (int i = 1; i < kNbCursors; ++i)
    gCursors[i] = XCreateFontCursor(display, static_cast<unsigned>(kCursorShapes[i - 1]));
}

// Key numbers of the key symbols the devices know; 0 for the others.
struct KeyNumber {
  KeySym symbol;
  int number;
  bool onRelease;
};
const KeyNumber kKeys[] = {
    {XK_Left, 1, true},      {XK_Right, 2, true},    {XK_Up, 3, true},
    {XK_Down, 4, true},      {XK_Prior, 5, true},    {XK_Next, 6, true},
    {XK_Insert, 7, false},   {XK_Delete, 8, false},  {XK_Escape, 11, false},
    {XK_Shift_L, 12, true},  {XK_Shift_R, 12, true}, {XK_Control_L, 13, true},
    {XK_Control_R, 13, true}};

const KeyNumber* FindKey(KeySym symbol) {
  for (const KeyNumber& k : kKeys)
    if (k.symbol == symbol) return &k;
  return nullptr;
}

// Milliseconds as the clock's stamps.
unsigned long Now() {
  return GetTimeStampInMilliseconds();
}

}  // namespace

const char* KelGraphicWindow::DEVICE_ACTION() {
  return "DEVICE_ACTION";
}
const char* KelGraphicWindow::GRAPHICWINDOW_RESIZE() {
  return "GRAPHICWINDOW_RESIZE";
}
const char* KelGraphicWindow::GRAPHICWINDOW_UPDATE() {
  return "GRAPHICWINDOW_UPDATE";
}

KelGraphicWindow::KelGraphicWindow(int width, int height) : KelSupport(width, height) {
  if (!_classDispatcher) {
    _classDispatcher = new KelNotificationDispatcher;
    _mult = 0;
  }
  _ownColorMap = std::make_unique<KelColorMap>();
  _colorMap = _ownColorMap.get();
  _main2D = new Kel2DViewpoint;
  _main3D = new Kel3DViewpoint;
  _overlay = new KelOverlayViewpoint;
  KelSupport::AddViewpoint(_main3D, 1);
  KelSupport::AddViewpoint(_main2D, 1);
  KelSupport::AddViewpoint(_overlay, 1);
  _display = OpenDisplay();
  if (_display) SetScreenGeometry(_display);
}

KelGraphicWindow::~KelGraphicWindow() {
  Forget();
  if (_hasLastDrawInformation) {
    // The culled frame waiting here holds the primitive lock.
    ResetLastDrawInformation();
    KelGraphicPrimitive::Unlock();
  }
  RemoveCallbacks();
  if (_gc && _display) XFreeGC(_display, _gc);
  _gc = nullptr;
  if (_widget) XtDestroyWidget(_widget);
  _widget = nullptr;
  _window = 0;
  for (int i = 0; i < _devices.Count(); ++i) delete _devices[i];
  _devices.Clear();
}

// ---- Creation

Display* KelGraphicWindow::OpenDisplay() {
  return KelDlgICC::GetXtDisplay();
}

void KelGraphicWindow::SetScreenGeometry(Display* display) {
  const int screen = DefaultScreen(display);
  const double mmX = double(DisplayWidthMM(display, screen)) / DisplayWidth(display, screen);
  const double mmY = double(DisplayHeightMM(display, screen)) / DisplayHeight(display, screen);
  if (mmX > 0 && mmY > 0) {
    _mmInSupportUnit = static_cast<float>(1.0 / std::min(mmX, mmY));
    _pixelRatio = static_cast<float>(mmX / mmY);
  }
  // Recorded sessions replay with the same geometry on any screen.
  if (std::getenv("KELRECORDCAPTURE") || std::getenv("KELRECORDREPLAY")) {
    _mmInSupportUnit = 3.6f;
    _pixelRatio = 1.0f;
  }
  if (!_initDone) {
    GetCharacterFont()->LoadXFonts(display);
    _initDone = 1;
  }
}

void KelGraphicWindow::Create(Widget parent) {
  if (_widget || !parent) return;
  _display = XtDisplay(parent);
  SetScreenGeometry(_display);
  BuildCursorTable(_display);
  if (!_visual) {
    _visual = findVisual(_display);
    createColormap(_display, &_visual, _colormap);
  }
  if (_visual) _colorMap->SetVisual(_visual);
  Arg args[7];
  Cardinal n = 0;
  XtSetArg(args[n], XmNwidth, static_cast<Dimension>(_width)), ++n;
  XtSetArg(args[n], XmNheight, static_cast<Dimension>(_height)), ++n;
  // The window is drawn by the driver alone: no margins, no traversal
  // highlight, no shadow.
  XtSetArg(args[n], XmNmarginWidth, 0), ++n;
  XtSetArg(args[n], XmNmarginHeight, 0), ++n;
  XtSetArg(args[n], XmNshadowThickness, 0), ++n;
  if (_visual) {
    XtSetArg(args[n], XgNvisual, _visual->visual), ++n;
    XtSetArg(args[n], XmNcolormap, _colormap), ++n;
  }
  _widget = XgCreateDrawingArea(parent, "OrvexArea", args, n);
  XtAddCallback(_widget, XmNdestroyCallback, InterpretDestroyEvent, this);
  XtAddCallback(_widget, XmNexposeCallback, InterpretExposeEvent, this);
  XtAddCallback(_widget, XmNinputCallback, InterpretInputEvent, this);
  XtAddEventHandler(_widget, PointerMotionMask, False, InterpretMotionEvent, this);
  XtAddEventHandler(_widget, KeyPressMask | KeyReleaseMask, False, InterpretKeyboardEvent, this);
  XtAddEventHandler(_widget, NoEventMask, True, InterpretClientMessageEvent, this);
  _atomID = XInternAtom(_display, "AtomID", False);
  _atomPick = XInternAtom(_display, "PickID", False);
  _stereoAvailable = 1;
  CreateDevices();
  XtManageChild(_widget);
}

void KelGraphicWindow::CreateDevices() {
  if (!_mouseDevice) _mouseDevice = new KelMouseDevice;
  if (!_keyboardDevice) _keyboardDevice = new KelKeyboardDevice;
  _devices.AppendUnique(_mouseDevice);
  _devices.AppendUnique(_keyboardDevice);
}

void KelGraphicWindow::RemoveCallbacks() {
  if (!_widget) return;
  XtRemoveCallback(_widget, XmNdestroyCallback, InterpretDestroyEvent, this);
  XtRemoveCallback(_widget, XmNexposeCallback, InterpretExposeEvent, this);
  XtRemoveCallback(_widget, XmNinputCallback, InterpretInputEvent, this);
  XtRemoveEventHandler(_widget, PointerMotionMask, False, InterpretMotionEvent, this);
  XtRemoveEventHandler(_widget, KeyPressMask | KeyReleaseMask, False, InterpretKeyboardEvent, this);
  XtRemoveEventHandler(_widget, NoEventMask, True, InterpretClientMessageEvent, this);
}

// ---- Viewpoints

void KelGraphicWindow::AddViewpoint(KelViewpoint* viewpoint, int last) {
  if (viewpoint == _main3D || viewpoint == _main2D || viewpoint == _overlay) return;
  KelSupport::AddViewpoint(viewpoint, last);
  if (!last) return;
  // The overlay stays on top.
  const int o = _viewpoints.Find(_overlay);
  if (o >= 0 && o + 1 < _viewpoints.Count()) _viewpoints.Swap(o, _viewpoints.Count() - 1);
}

void KelGraphicWindow::RemoveViewpoint(KelViewpoint* viewpoint) {
  if (viewpoint == _main3D || viewpoint == _main2D || viewpoint == _overlay) return;
  KelSupport::RemoveViewpoint(viewpoint);
}

// ---- Redraw scheduling

int KelGraphicWindow::SendRedrawMessage(KelGraphicWindow* preferred) {
  KelGraphicWindow* target = preferred && preferred->_window ? preferred : nullptr;
  for (auto* l : {&_graphicWindowToDraw, &_graphicWindowCulled})
    for (int i = 0; !target && i < l->Count(); ++i)
      if ((*l)[i]->_window) target = (*l)[i];
  if (!target) return 0;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.send_event = True;
  event.xclient.display = target->_display;
  event.xclient.window = target->_window;
  event.xclient.message_type = target->_atomID;
  event.xclient.format = 32;
  XSendEvent(target->_display, target->_window, True, NoEventMask, &event);
  _doUpdateSent = 1;
  _messageWindow = target;
  return 1;
}

void KelGraphicWindow::DrawRequest() {
  // A window whose widget is gone never draws again.
  if (_destroyed) return;
  _graphicWindowToDraw.AppendUnique(this);
  _updateState = 1;
  if (!_doUpdateSent) SendRedrawMessage(this);
}

void KelGraphicWindow::Forget() {
  for (list<KelGraphicWindow*>* pending : _announcing) pending->Remove(this);
  _graphicWindowToDraw.Remove(this);
  _graphicWindowCulled.Remove(this);
  if (_graphicWindowCulled.Count() == 0) _onCulling = 0;
  if (_messageWindow != this) return;
  // The message will never come back: let the others have one.
  _messageWindow = nullptr;
  _doUpdateSent = 0;
  SendRedrawMessage(nullptr);
}

void KelGraphicWindow::DoDrawJob() {
  _doUpdateSent = 0;
  _messageWindow = nullptr;
  if (!_mult)
    DrawSingle();
  else
    DrawMulti();
}

void KelGraphicWindow::AnnounceUpdates(const list<KelGraphicWindow*>& windows) {
  // A listener may delete a window (its viewer) while hearing of its frame:
  // a deleted window leaves the windows still to announce.
  list<KelGraphicWindow*> pending = windows;
  _announcing.push_back(&pending);
  while (pending.Count() > 0) {
    KelGraphicWindow* w = pending[0];
    pending.RemoveAt(0);
    w->GenerateUpdateEvent();
  }
  _announcing.pop_back();
}

void KelGraphicWindow::DrawSingle() {
  _updateState = 0;
  // Windows not on the screen yet keep their request for their first expose.
  list<KelGraphicWindow*> windows;
  for (int i = 0; i < _graphicWindowToDraw.Count(); ++i)
    if (_graphicWindowToDraw[i]->_window) windows.Append(_graphicWindowToDraw[i]);
  for (int i = 0; i < windows.Count(); ++i) {
    _graphicWindowToDraw.Remove(windows[i]);
    windows[i]->Draw();
  }
  for (int i = 0; i < windows.Count(); ++i) windows[i]->DoSwap();
  AnnounceUpdates(windows);
  DispatchGlobalUpdateNotification();
}

void KelGraphicWindow::DrawMulti() {
  if (!_updateState) {
    if (!_onCulling) {
      std::printf("-- incoherence for draw in multi proc mode --\n");
      std::printf("-- DoDrawJob // no update // not _onCulling--\n");
      return;
    }
    list<KelGraphicWindow*> culled = _graphicWindowCulled;
    for (int i = 0; i < culled.Count(); ++i) {
      culled[i]->DrawLastCulling();
      culled[i]->ResetLastDrawInformation();
    }
    for (int i = 0; i < culled.Count(); ++i) culled[i]->DoSwap();
    _graphicWindowCulled.Clear();
    _onCulling = 0;
    return;
  }
  const bool waiting = _onCulling != 0;
  const unsigned long t0 = Now();
  _updateState = 0;
  list<KelGraphicWindow*> requesting;
  for (int i = 0; i < _graphicWindowToDraw.Count(); ++i)
    if (_graphicWindowToDraw[i]->_window) requesting.Append(_graphicWindowToDraw[i]);
  for (int i = 0; i < requesting.Count(); ++i) {
    KelGraphicWindow* w = requesting[i];
    _graphicWindowToDraw.Remove(w);
    const unsigned long start = Now();
    w->PrepareThreadCulling();
    list<KelViewpoint*> culled = w->Culling(w->_viewpoints);
    w->SetListOfCulledViewpoint(culled);
    _cullingTime = GetDurationInSeconds(start, Now());
    w->_updateEvent.SetCullingDuration(_cullingTime);
    if (!waiting) w->DuplicateFromCullToDrawList();
  }
  if (waiting) {
    list<KelGraphicWindow*> previous = _graphicWindowCulled;
    for (int i = 0; i < previous.Count(); ++i) {
      previous[i]->DrawLastCulling();
      previous[i]->DoSwap();
    }
    const float total = GetDurationInSeconds(t0, Now());
    for (int i = 0; i < previous.Count(); ++i) {
      previous[i]->_updateEvent.SetTotalDuration(total);
      previous[i]->_updateEvent.SetCullingDuration(_cullingTime);
      previous[i]->ResetLastDrawInformation();
    }
    for (int i = 0; i < requesting.Count(); ++i) requesting[i]->DuplicateFromCullToDrawList();
  }
  _graphicWindowCulled = requesting;
  _onCulling = requesting.Count() > 0;
  if (_onCulling) SendRedrawMessage(nullptr);
  AnnounceUpdates(requesting);
  DispatchGlobalUpdateNotification();
}

void KelGraphicWindow::Draw() {
  if (!_window) return;
  KelGraphicPrimitive::Lock();
  // A culled frame waiting to be drawn keeps its lists: this frame takes the
  // others.
  const int waiting = _hasLastDrawInformation;
  if (waiting) ExchangeDisplayLists();
  const unsigned long t0 = Now();
  list<KelViewpoint*> culled = Culling(_viewpoints);
  const unsigned long t1 = Now();
  Drawing(culled);
  const unsigned long t2 = Now();
  if (waiting) ExchangeDisplayLists();
  KelGraphicPrimitive::Unlock();
  _updateEvent.SetDurations(GetDurationInSeconds(t0, t2), GetDurationInSeconds(t0, t1),
                            GetDurationInSeconds(t1, t2));
}

void KelGraphicWindow::Drawing(list<KelViewpoint*>& viewpoints) {
  if (!_stereoActive) {
    KelSupport::Drawing(viewpoints);
    return;
  }
  KelRender* render = CreateDrawingRender();
  auto* graphic = dynamic_cast<KelGraphicRender*>(render);
  for (int eye = 0; eye < 2 && graphic; ++eye) {
    if (eye == 0)
      ClearLeft();
    else
      ClearRight();
    for (int i = 0; i < viewpoints.Count() && viewpoints[i]; ++i) {
      KelViewpoint& v = *viewpoints[i];
      if (eye == 0)
        graphic->BeginDrawLeft(v, _stereoMode, _eyeDistance);
      else
        graphic->BeginDrawRight(v, _stereoMode, _eyeDistance);
      graphic->Draw(v);
      graphic->EndDraw(v);
    }
  }
  delete render;
  KelSupport::ResetDL(viewpoints);
}

void KelGraphicWindow::DrawOver(list<KelViewpoint*>& viewpoints) {
  KelRender* render = CreateDrawingRender();
  if (!render) return;
  auto* graphic = dynamic_cast<KelGraphicRender*>(render);
  const int eyes = _stereoActive && graphic ? 2 : 1;
  for (int eye = 0; eye < eyes; ++eye) {
    if (eyes == 2) {
      if (eye == 0)
        SwitchFrontLeft();
      else
        SwitchFrontRight();
    }
    for (int i = 0; i < viewpoints.Count() && viewpoints[i]; ++i) {
      KelViewpoint& v = *viewpoints[i];
      if (eyes == 1)
        render->BeginDraw(v);
      else if (eye == 0)
        graphic->BeginDrawLeft(v, _stereoMode, _eyeDistance);
      else
        graphic->BeginDrawRight(v, _stereoMode, _eyeDistance);
      render->Draw(v);
      render->EndDraw(v);
    }
  }
  delete render;
}

void KelGraphicWindow::DoSwap() {
  if (_stereoActive)
    SwapStereo();
  else
    Swap();
}

void KelGraphicWindow::PrepareThreadCulling() {
  KelGraphicPrimitive::Lock();
  ExchangeDisplayLists();
}

void KelGraphicWindow::ExchangeDisplayLists() {
  for (int i = 0; i < _viewpoints.Count(); ++i) {
    KelViewpoint* v = _viewpoints[i];
    KelDisplayList* current = v->GetDisplayList();
    v->SetDisplayList(v->GetBrotherDisplayList());
    v->SetBrotherDisplayList(current);
  }
}

void KelGraphicWindow::SetListOfCulledViewpoint(list<KelViewpoint*>& viewpoints) {
  _culledViewpoints = viewpoints;
}

void KelGraphicWindow::DuplicateFromCullToDrawList() {
  for (int i = 0; i < _culledViewpoints.Count(); ++i) {
    KelViewpoint* v = _culledViewpoints[i];
    KelViewpoint* clone = v->Clone();
    // The clone draws the list the viewpoint culled into; the viewpoint
    // still owns it.
    clone->SetDisplayList(v->GetDisplayList());
    if (v->GetDisplayList()) v->GetDisplayList()->SetViewpoint(clone);
    _drawViewpoints.Append(clone);
    _drawOrigins.Append(v);
  }
  _drawStartTime = Now();
  _hasLastDrawInformation = 1;
}

void KelGraphicWindow::DrawLastCulling() {
  if (!_hasLastDrawInformation) return;
  const unsigned long start = Now();
  if (_window) Drawing(_drawViewpoints);
  _updateEvent.SetDrawDuration(GetDurationInSeconds(start, Now()));
  KelGraphicPrimitive::Unlock();
}

void KelGraphicWindow::ResetLastDrawInformation() {
  for (int i = 0; i < _drawViewpoints.Count(); ++i) {
    KelViewpoint* clone = _drawViewpoints[i];
    KelDisplayList* dl = clone->GetDisplayList();
    if (dl) dl->SetViewpoint(_drawOrigins[i]);
    clone->SetDisplayList(nullptr);
    delete clone;
  }
  _drawViewpoints.Clear();
  _drawOrigins.Clear();
  _hasLastDrawInformation = 0;
}

void KelGraphicWindow::GenerateUpdateEvent() {
  _updateEvent.SetTimeStamp(Now());
  Dispatch(GRAPHICWINDOW_UPDATE(), &_updateEvent);
}

void KelGraphicWindow::DispatchGlobalUpdateNotification() {
  if (!_classDispatcher) return;
  KelGlobalUpdateNotification notification;
  notification.SetTimeStamp(Now());
  _classDispatcher->Dispatch(&notification);
}

const char* KelGraphicWindow::GetConnexion() {
  return _classDispatcher ? _classDispatcher->GetConnexion()
                          : KelNotificationDispatcher::NOTIFICATION_DISPATCHED();
}

void KelGraphicWindow::Dispatch(const char* event, KelNotification* notification) {
  DispatchCallbacks(event, notification, nullptr);
}

// ---- Geometry, picking, paths

void KelGraphicWindow::ResizeWindow(float width, float height) {
  if (width == _width && height == _height) return;
  _width = width;
  _height = height;
  if (_widget)
    XtVaSetValues(_widget, XmNwidth, static_cast<Dimension>(width), XmNheight,
                  static_cast<Dimension>(height), nullptr);
  Resized();
  _resizeEvent.SetSize(width, height);
  _resizeEvent.SetTimeStamp(Now());
  Dispatch(GRAPHICWINDOW_RESIZE(), &_resizeEvent);
}

void KelGraphicWindow::Pick(float x, float y, KelPickPathList& pickList) {
  if (!_window) return;
  KelPickingRender render(*this, _pickWindowSize, x, y, pickList);
  DrawWithRender(render, _viewpoints);
  pickList.SortGraphicAttributeSet();
}

void KelGraphicWindow::CullingRepPath(KelRender& render, KelRepPath& path,
                                      KelViewpoint& viewpoint) {
  render.BeginDraw(viewpoint);
  const int furtive = path.GetFurtive();
  if (furtive) render.SetFurtiveOn();
  path.InitToTopRep();
  if (KelRep* top = path.NextChildRep()) top->DrawPath(render, 0, path);
  if (furtive) render.SetFurtiveOff();
  render.EndDraw(viewpoint);
}

void KelGraphicWindow::DrawRepPath(KelRepPath& path) {
  KelRepPath* one = &path;
  list<KelRepPath*> paths;
  paths.Append(one);
  DrawRepPath(paths);
}

void KelGraphicWindow::DrawRepPath(list<KelRepPath*>& paths) {
  if (!_window || !MakeCurrent()) return;
  KelGraphicPrimitive::Lock();
  KelRender* culling = CreateCullingRender();
  // While a culled frame waits, the viewpoints' lists belong to it: cull into
  // clones of their own.
  list<KelViewpoint*> targets;
  list<KelViewpoint*> clones;
  for (int i = 0; i < paths.Count(); ++i) {
    KelRepPath* path = paths[i];
    KelViewpoint* v = path ? path->GetViewpoint() : nullptr;
    if (!v) continue;
    KelViewpoint* target = v;
    if (_hasLastDrawInformation) {
      target = v->Clone();
      clones.Append(target);
    }
    CullingRepPath(*culling, *path, *target);
    targets.AppendUnique(target);
  }
  delete culling;
  SwitchFront();
  DrawOver(targets);
  SwitchBack();
  ResetDL(targets);
  for (int i = 0; i < clones.Count(); ++i) delete clones[i];
  KelGraphicPrimitive::Unlock();
}

void KelGraphicWindow::UnDrawRepPath(KelRepPath& path) {
  DrawRepPath(path);
}

void KelGraphicWindow::UnDrawRepPath(list<KelRepPath*>& paths) {
  DrawRepPath(paths);
}

// ---- Pixels

KelPixelImage* KelGraphicWindow::GrabPixelImage() {
  return GrabPixelImage(0, 2, static_cast<int>(_width), static_cast<int>(_height) - 2);
}

KelPixelImage* KelGraphicWindow::GrabPixelImage(int x, int y, int width, int height) {
  if (!_window) return nullptr;
  const int W = static_cast<int>(_width), H = static_cast<int>(_height);
  // Clip to the window; the region is read, never more.
  const long x0 = std::max(0, x), y0 = std::max(0, y);
  const long x1 = std::min(static_cast<long>(W), static_cast<long>(x) + width);
  const long y1 = std::min(static_cast<long>(H), static_cast<long>(y) + height);
  if (x1 <= x0 || y1 <= y0) return nullptr;
  auto* image =
      new KelPixelImage(static_cast<int>(x1 - x0), static_cast<int>(y1 - y0), PixelImageRGB);
  Draw();
  _grabImage = image;
  _grabX = static_cast<int>(x0);
  _grabY = static_cast<int>(H - y1);
  ReadPixels();
  _grabImage = nullptr;
  return image;
}

// ---- Stereo: the driver's buffers

void KelGraphicWindow::ActivateStereoMode(int mode, float eyeDistance) {
  _stereoActive = 1;
  _stereoMode = mode;
  _eyeDistance = eyeDistance;
}

void KelGraphicWindow::DeactivateStereoMode() {
  _stereoActive = 0;
}

int KelGraphicWindow::IsStereoActivate(int* mode, float* eyeDistance) const {
  if (mode) *mode = _stereoMode;
  if (eyeDistance) *eyeDistance = _eyeDistance;
  return _stereoActive;
}

void KelGraphicWindow::SwitchBack() {}
void KelGraphicWindow::SwitchFront() {}
void KelGraphicWindow::ClearLeft() {}
void KelGraphicWindow::ClearRight() {}
void KelGraphicWindow::SwapStereo() {}
void KelGraphicWindow::SwitchFrontLeft() {}
void KelGraphicWindow::SwitchFrontRight() {}
void KelGraphicWindow::Exposed() {}
void KelGraphicWindow::Resized() {}

// ---- Colours, cursor, pointer

void KelGraphicWindow::SetBackgroundColor(float r, float g, float b) {
  _colorMap->SetColor(KelGraphicAttributeSet::BACKGROUND_COLOR, r, g, b);
  if (!_window || !_colorMap->GetDepth()) return;
  int pixel = 0;
  _colorMap->GetRGB(KelGraphicAttributeSet::BACKGROUND_COLOR, &pixel);
  XSetWindowBackground(_display, _window, static_cast<unsigned long>(pixel));
  if (_gc) XSetBackground(_display, _gc, static_cast<unsigned long>(pixel));
}

void KelGraphicWindow::InitializeGlobalAmbientLight(float r, float g, float b) {
  _ambient[0] = r;
  _ambient[1] = g;
  _ambient[2] = b;
}

void KelGraphicWindow::SetGlobalAmbientLight(float r, float g, float b) {
  InitializeGlobalAmbientLight(r, g, b);
  DrawRequest();
}

void KelGraphicWindow::GetGlobalAmbientLight(float* r, float* g, float* b) const {
  if (r) *r = _ambient[0];
  if (g) *g = _ambient[1];
  if (b) *b = _ambient[2];
}

void KelGraphicWindow::SetCursorType(int type) {
  if (!_widget || !XtIsRealized(_widget)) return;
  const Window w = XtWindow(_widget);
  if (type == 0) {
    XUndefineCursor(_display, w);
    return;
  }
  int entry = -1;
  if (type == 1) entry = 1;
  if (type == 2) entry = 0;
  for (int i = 1; i < kNbCursors && entry < 0; ++i)
    if (kCursorShapes[i - 1] == type) entry = i;
  if (entry < 0) return;
  BuildCursorTable(_display);
  XDefineCursor(_display, w, gCursors[entry]);
}

void KelGraphicWindow::GetMousePosition(int* x, int* y) const {
  int wx = 0, wy = 0;
  if (_window) {
    Window root, child;
    int rx, ry;
    unsigned int mask;
    XQueryPointer(_display, _window, &root, &child, &rx, &ry, &wx, &wy, &mask);
  }
  if (x) *x = wx;
  if (y) *y = wy;
}

// ---- X callbacks

void KelGraphicWindow::InterpretExposeEvent(Widget w, XtPointer data, XtPointer callData) {
  auto* self = static_cast<KelGraphicWindow*>(data);
  auto* cb = static_cast<XmDrawingAreaCallbackStruct*>(callData);
  if (cb && cb->event && cb->event->type == Expose && cb->event->xexpose.count != 0) return;
  if (!self->_widget) return;
  if (!self->_window) {
    self->_window = XtWindow(w);
    Display* d = self->_display;
    if (_colormap) XSetWindowColormap(d, self->_window, _colormap);
    int pixel = 0;
    self->_colorMap->GetRGB(KelGraphicAttributeSet::BACKGROUND_COLOR, &pixel);
    XSetWindowBackground(d, self->_window, static_cast<unsigned long>(pixel));
    XGCValues values{};
    values.background = static_cast<unsigned long>(pixel);
    values.foreground = static_cast<unsigned long>(pixel);
    self->_gc = XCreateGC(d, self->_window, GCBackground | GCForeground, &values);
    self->GetCharacterFont()->SetFont(0, self->_gc);
    XClearWindow(d, self->_window);
    self->ConnectDevices();
    // A request made before the window existed is served now.
    if (_graphicWindowToDraw.Contains(self) && !_doUpdateSent) SendRedrawMessage(self);
  }
  self->Exposed();
}

void KelGraphicWindow::InterpretDestroyEvent(Widget, XtPointer data, XtPointer) {
  auto* self = static_cast<KelGraphicWindow*>(data);
  self->RemoveCallbacks();
  self->Forget();
  if (self->_gc && self->_display) XFreeGC(self->_display, self->_gc);
  self->_gc = nullptr;
  self->_widget = nullptr;
  self->_window = 0;
  self->_destroyed = 1;
}

void KelGraphicWindow::InterpretClientMessageEvent(Widget, XtPointer data, XEvent* event,
                                                   Boolean*) {
  auto* self = static_cast<KelGraphicWindow*>(data);
  if (event->type != ClientMessage || event->xclient.message_type != self->_atomID) return;
  if (self->_window) DoDrawJob();
}

void KelGraphicWindow::InterpretInputEvent(Widget, XtPointer data, XtPointer callData) {
  auto* self = static_cast<KelGraphicWindow*>(data);
  auto* cb = static_cast<XmDrawingAreaCallbackStruct*>(callData);
  if (!cb || !cb->event) return;
  if (cb->event->type == ButtonPress || cb->event->type == ButtonRelease)
    self->HandleButton(cb->event);
}

void KelGraphicWindow::HandleButton(XEvent* event) {
  const XButtonEvent& b = event->xbutton;
  // The modifier held with a click reaches the keyboard device as a key of
  // its own: pressed before the button, released after it.
  KeySym modifier = NoSymbol;
  if (b.state & ShiftMask)
    modifier = XK_Shift_L;
  else if (b.state & ControlMask)
    modifier = XK_Control_L;
  XEvent key{};
  if (modifier != NoSymbol) {
    key.xkey.type = event->type == ButtonPress ? KeyPress : KeyRelease;
    key.xkey.serial = b.serial;
    key.xkey.send_event = b.send_event;
    key.xkey.display = b.display;
    key.xkey.window = b.window;
    key.xkey.root = b.root;
    key.xkey.time = b.time;
    key.xkey.x = b.x;
    key.xkey.y = b.y;
    key.xkey.state = b.state;
    key.xkey.keycode = XKeysymToKeycode(b.display, modifier);
    key.xkey.same_screen = b.same_screen;
  }
  Boolean goOn = True;
  if (event->type == ButtonPress) {
    if (modifier != NoSymbol) InterpretKeyboardEvent(_widget, this, &key, &goOn);
    _pressEvent.SetDevice(_mouseDevice);
    _pressEvent.SetTimeStamp(Now());
    _pressEvent.SetButton(static_cast<int>(b.button));
    Dispatch(DEVICE_ACTION(), &_pressEvent);
  } else {
    _releaseEvent.SetDevice(_mouseDevice);
    _releaseEvent.SetTimeStamp(Now());
    _releaseEvent.SetButton(static_cast<int>(b.button));
    Dispatch(DEVICE_ACTION(), &_releaseEvent);
    if (modifier != NoSymbol) InterpretKeyboardEvent(_widget, this, &key, &goOn);
  }
}

void KelGraphicWindow::InterpretMotionEvent(Widget, XtPointer data, XEvent* event, Boolean*) {
  auto* self = static_cast<KelGraphicWindow*>(data);
  if (event->type != MotionNotify) return;
  self->_motionEvent.SetDevice(self->_mouseDevice);
  self->_motionEvent.SetPosition(static_cast<float>(event->xmotion.x),
                                 static_cast<float>(event->xmotion.y));
  self->_motionEvent.SetTimeStamp(Now());
  self->Dispatch(DEVICE_ACTION(), &self->_motionEvent);
}

void KelGraphicWindow::InterpretKeyboardEvent(Widget, XtPointer data, XEvent* event, Boolean*) {
  auto* self = static_cast<KelGraphicWindow*>(data);
  if (event->type != KeyPress && event->type != KeyRelease) return;
  char text[8];
  KeySym symbol = NoSymbol;
  XLookupString(&event->xkey, text, sizeof text, &symbol, nullptr);
  const KeyNumber* key = FindKey(symbol);
  if (!key) return;
  if (event->type == KeyPress) {
    self->_pressEvent.SetDevice(self->_keyboardDevice);
    self->_pressEvent.SetTimeStamp(Now());
    self->_pressEvent.SetButton(key->number);
    self->Dispatch(DEVICE_ACTION(), &self->_pressEvent);
  } else if (key->onRelease) {
    self->_releaseEvent.SetDevice(self->_keyboardDevice);
    self->_releaseEvent.SetTimeStamp(Now());
    self->_releaseEvent.SetButton(key->number);
    self->Dispatch(DEVICE_ACTION(), &self->_releaseEvent);
  }
}

int KelGraphicWindow::DispatchExtensionEvents(XEvent* event) {
  if (!event || event->type < LASTEvent) return 0;
  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.serial = event->xany.serial;
  message.xclient.send_event = event->xany.send_event;
  message.xclient.display = event->xany.display;
  message.xclient.window = event->xany.window;
  message.xclient.message_type = static_cast<Atom>(event->type);
  message.xclient.format = 32;
  XtDispatchEvent(&message);
  return 1;
}
