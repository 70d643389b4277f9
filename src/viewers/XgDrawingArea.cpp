#include <kel/viewers/XgDrawingArea.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <Xm/DrawingAP.h>

#include <strings.h>

#include <cstddef>
#include <vector>

namespace {

struct XgDrawingAreaPart {
  Boolean overlay;
  int transparent;
  Visual* visual;
  int wmCmap;
  int rescalePolicy;
};

struct XgDrawingAreaRec {
  CorePart core;
  CompositePart composite;
  ConstraintPart constraint;
  XmManagerPart manager;
  XmDrawingAreaPart drawing_area;
  XgDrawingAreaPart xg;
};

struct XgDrawingAreaClassPart {
  XtPointer extension;
};

struct XgDrawingAreaClassRec {
  CoreClassPart core_class;
  CompositeClassPart composite_class;
  ConstraintClassPart constraint_class;
  XmManagerClassPart manager_class;
  XmDrawingAreaClassPart drawing_area_class;
  XgDrawingAreaClassPart xg_class;
};

XgDrawingAreaRec* Self(Widget w) {
  return reinterpret_cast<XgDrawingAreaRec*>(w);
}

// The root property lists at most this many overlay visuals.
constexpr long kMaxOverlayEntries = 256;

void Warn(Widget w, const char* name, const char* type, const char* text, String* params,
          Cardinal count) {
  XtAppWarningMsg(XtWidgetToApplicationContext(w), const_cast<char*>(name), const_cast<char*>(type),
                  const_cast<char*>("XtToolkitError"), const_cast<char*>(text), params, &count);
}

// String to an int resource: a table of names, compared without case.
struct Name {
  const char* text;
  int value;
};

Boolean Convert(Display* display, XrmValue* from, XrmValue* to, const Name* names, int count,
                const char* type) {
  const char* s = from && from->addr ? reinterpret_cast<const char*>(from->addr) : "";
  for (int i = 0; i < count; ++i) {
    if (strcasecmp(s, names[i].text) != 0) continue;
    static int result;
    result = names[i].value;
    if (!to->addr) {
      to->addr = reinterpret_cast<XPointer>(&result);
    } else if (to->size < sizeof(int)) {
      to->size = sizeof(int);
      return False;
    } else {
      *reinterpret_cast<int*>(to->addr) = result;
    }
    to->size = sizeof(int);
    return True;
  }
  String params[2] = {const_cast<char*>(s), const_cast<char*>(type)};
  Cardinal n = 2;
  XtAppWarningMsg(XtDisplayToApplicationContext(display), const_cast<char*>("conversionError"),
                  const_cast<char*>("string"), const_cast<char*>("XtToolkitError"),
                  const_cast<char*>("Cannot convert string \"%s\" to type %s"), params, &n);
  return False;
}

Boolean CvtStringToWmCmap(Display* display, XrmValue*, Cardinal*, XrmValue* from, XrmValue* to,
                          XtPointer*) {
  static const Name names[] = {{"WM_CMAP_NONE", XgWM_CMAP_NONE},
                               {"WM_CMAP_LOW_PRIORITY", XgWM_CMAP_LOW_PRIORITY},
                               {"WM_CMAP_HIGH_PRIORITY", XgWM_CMAP_HIGH_PRIORITY}};
  return Convert(display, from, to, names, 3, "XgWmCmap");
}

Boolean CvtStringToRescalePolicy(Display* display, XrmValue*, Cardinal*, XrmValue* from,
                                 XrmValue* to, XtPointer*) {
  static const Name names[] = {{"RESCALE_MINOR", XgRESCALE_MINOR}};
  return Convert(display, from, to, names, 1, "XgRescalePolicy");
}

void ClassInitialize() {
  XtSetTypeConverter(XtRString, XgRWmCmap, CvtStringToWmCmap, nullptr, 0, XtCacheNone, nullptr);
  XtSetTypeConverter(XtRString, XgRRescalePolicy, CvtStringToRescalePolicy, nullptr, 0, XtCacheNone,
                     nullptr);
}

Widget Shell(Widget w) {
  while (w && !XtIsShell(w)) w = XtParent(w);
  return w;
}

// Places the widget's window in its shell's WM_COLORMAP_WINDOWS as the policy
// says.
void ApplyColormapPolicy(Widget w) {
  const int policy = Self(w)->xg.wmCmap;
  Widget shell = Shell(w);
  if (policy == XgWM_CMAP_NONE || !shell || !XtIsRealized(shell) || !XtIsRealized(w)) return;
  Display* display = XtDisplay(w);
  const Window mine = XtWindow(w), shellWindow = XtWindow(shell);
  Window* old = nullptr;
  int count = 0;
  if (!XGetWMColormapWindows(display, shellWindow, &old, &count)) {
    old = nullptr;
    count = 0;
  }
  std::vector<Window> windows;
  if (policy == XgWM_CMAP_HIGH_PRIORITY) {
    windows.push_back(mine);
    bool shellListed = false;
    for (int i = 0; i < count; ++i) shellListed = shellListed || old[i] == shellWindow;
    if (!shellListed) windows.push_back(shellWindow);
  }
  for (int i = 0; i < count; ++i)
    if (old[i] != mine) windows.push_back(old[i]);
  if (policy == XgWM_CMAP_LOW_PRIORITY) windows.push_back(mine);
  if (old) XFree(old);
  XSetWMColormapWindows(display, shellWindow, windows.data(), static_cast<int>(windows.size()));
}

// Whether the root window's SERVER_OVERLAY_VISUALS lists `visual`; sets the
// transparent pixel from its entry.
bool IsOverlayVisual(Widget w, VisualID visual) {
  Display* display = XtDisplay(w);
  const Atom property = XInternAtom(display, "SERVER_OVERLAY_VISUALS", True);
  if (property == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, RootWindowOfScreen(XtScreen(w)), property, 0,
                         4 * kMaxOverlayEntries, False, AnyPropertyType, &type, &format, &items,
                         &after, &data) != Success)
    return false;
  bool found = false;
  if (data && format == 32) {
    // Format 32 comes back as longs, four to an entry: visual, transparent
    // type, transparent value, layer.
    const long* entries = reinterpret_cast<const long*>(data);
    for (unsigned long i = 0; i + 4 <= items && !found; i += 4) {
      if (static_cast<VisualID>(entries[i]) != visual) continue;
      found = true;
      Self(w)->xg.transparent = entries[i + 1] == 1 ? static_cast<int>(entries[i + 2]) : -1;
    }
  }
  if (data) XFree(data);
  return found;
}

void Realize(Widget w, XtValueMask* mask, XSetWindowAttributes* attributes) {
  XgDrawingAreaPart& xg = Self(w)->xg;
  Display* display = XtDisplay(w);
  Visual* parentVisual = DefaultVisualOfScreen(XtScreen(w));
  XWindowAttributes parent;
  if (XtIsRealized(XtParent(w)) && XGetWindowAttributes(display, XtWindow(XtParent(w)), &parent))
    parentVisual = parent.visual;
  Visual* visual = xg.visual;
  if (visual && visual != parentVisual) {
    XVisualInfo pattern{};
    pattern.visualid = XVisualIDFromVisual(visual);
    int count = 0;
    XVisualInfo* info = XGetVisualInfo(display, VisualIDMask, &pattern, &count);
    if (info && count > 0) {
      w->core.depth = static_cast<Cardinal>(info->depth);
    } else {
      Warn(w, "realizeError", "XColormapError", "Cannot use specified visual", nullptr, 0);
      visual = xg.visual = nullptr;
    }
    if (info) XFree(info);
  }
  if (xg.overlay) {
    const VisualID id = XVisualIDFromVisual(visual ? visual : parentVisual);
    if (!IsOverlayVisual(w, id)) {
      xg.overlay = False;
      xg.transparent = -1;
      Warn(w, "realizeError", "XColormapError", "Specified visual does not support overlays",
           nullptr, 0);
    }
  }
  *mask |= CWBackPixel | CWBorderPixel | CWColormap;
  attributes->background_pixel = w->core.background_pixel;
  attributes->border_pixel = w->core.border_pixel;
  attributes->colormap = w->core.colormap;
  XtCreateWindow(w, InputOutput, visual ? visual : CopyFromParent, *mask, attributes);
  ApplyColormapPolicy(w);
}

Boolean SetValues(Widget old, Widget, Widget now, ArgList, Cardinal*) {
  XgDrawingAreaPart& before = Self(old)->xg;
  XgDrawingAreaPart& after = Self(now)->xg;
  if (after.wmCmap < XgWM_CMAP_NONE || after.wmCmap > XgWM_CMAP_HIGH_PRIORITY)
    after.wmCmap = before.wmCmap;
  if (after.rescalePolicy != XgRESCALE_MINOR) after.rescalePolicy = before.rescalePolicy;
  if (XtIsRealized(now)) {
    after.overlay = before.overlay;
    after.transparent = before.transparent;
    after.visual = before.visual;
    if (after.wmCmap != before.wmCmap) ApplyColormapPolicy(now);
  }
  return False;
}

#define XG_OFFSET(field) static_cast<Cardinal>(offsetof(XgDrawingAreaRec, xg.field))
XtResource kResources[] = {
    {XgNoverlay, XgCOverlay, const_cast<char*>(XtRBoolean), sizeof(Boolean), XG_OFFSET(overlay),
     const_cast<char*>(XtRImmediate), reinterpret_cast<XtPointer>(False)},
    {XgNtransparent, XgCTransparent, const_cast<char*>(XtRInt), sizeof(int), XG_OFFSET(transparent),
     const_cast<char*>(XtRImmediate), reinterpret_cast<XtPointer>(-1)},
    {XgNvisual, XgCVisual, const_cast<char*>(XtRVisual), sizeof(Visual*), XG_OFFSET(visual),
     const_cast<char*>(XtRImmediate), nullptr},
    {XgNwmCmap, XgCWmCmap, XgRWmCmap, sizeof(int), XG_OFFSET(wmCmap),
     const_cast<char*>(XtRImmediate), reinterpret_cast<XtPointer>(XgWM_CMAP_HIGH_PRIORITY)},
    {XgNrescalePolicy, XgCRescalePolicy, XgRRescalePolicy, sizeof(int), XG_OFFSET(rescalePolicy),
     const_cast<char*>(XtRImmediate), reinterpret_cast<XtPointer>(XgRESCALE_MINOR)},
};
#undef XG_OFFSET

XgDrawingAreaClassRec MakeClassRecord() {
  XgDrawingAreaClassRec c{};
  CoreClassPart& core = c.core_class;
  core.superclass = reinterpret_cast<WidgetClass>(&xmDrawingAreaClassRec);
  core.class_name = const_cast<char*>("XgDrawingArea");
  core.widget_size = sizeof(XgDrawingAreaRec);
  core.class_initialize = ClassInitialize;
  core.realize = Realize;
  core.resources = kResources;
  core.num_resources = XtNumber(kResources);
  core.xrm_class = NULLQUARK;
  core.compress_motion = True;
  core.compress_exposure = XtExposeCompressMaximal;
  core.compress_enterleave = True;
  // Expose and resize are the drawing area's: callbacks with reasons
  // XmCR_EXPOSE (38) and XmCR_RESIZE (39), gadgets redrawn.
  core.resize = XtInheritResize;
  core.expose = XtInheritExpose;
  core.set_values = SetValues;
  core.set_values_almost = XtInheritSetValuesAlmost;
  core.accept_focus = XtInheritAcceptFocus;
  core.version = XtVersion;
  core.tm_table = XtInheritTranslations;
  core.query_geometry = XtInheritQueryGeometry;
  core.display_accelerator = XtInheritDisplayAccelerator;
  c.composite_class.geometry_manager = XtInheritGeometryManager;
  c.composite_class.change_managed = XtInheritChangeManaged;
  c.composite_class.insert_child = XtInheritInsertChild;
  c.composite_class.delete_child = XtInheritDeleteChild;
  c.constraint_class.constraint_size = xmDrawingAreaClassRec.constraint_class.constraint_size;
  c.manager_class.translations = XtInheritTranslations;
  c.manager_class.parent_process = XmInheritParentProcess;
  return c;
}

XgDrawingAreaClassRec xgDrawingAreaClassRec = MakeClassRecord();

}  // namespace

WidgetClass xgDrawingAreaWidgetClass = reinterpret_cast<WidgetClass>(&xgDrawingAreaClassRec);

Widget XgCreateDrawingArea(Widget parent, const char* name, ArgList args, Cardinal count) {
  return XtCreateWidget(name, xgDrawingAreaWidgetClass, parent, args, count);
}
