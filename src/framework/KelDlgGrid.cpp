#include "KelDlgGrid.h"

#include <kel/framework/KelDialog.h>
#include <kel/framework/KelDlgWindow.h>

#include <X11/IntrinsicP.h>
#include <Xm/BulletinBP.h>
#include <Xm/XmP.h>

#include <algorithm>
#include <vector>

#include "KelDlgLink.h"

namespace {

struct KelDlgGridPart {
  KelDlgLink* link;
  Dimension spacing;
};
struct KelDlgGridRec {
  CorePart core;
  CompositePart composite;
  ConstraintPart constraint;
  XmManagerPart manager;
  XmBulletinBoardPart bulletin_board;
  KelDlgGridPart grid;
};
struct KelDlgGridClassRec {
  CoreClassPart core_class;
  CompositeClassPart composite_class;
  ConstraintClassPart constraint_class;
  XmManagerClassPart manager_class;
  XmBulletinBoardClassPart bulletin_board_class;
};

KelDlgGridClassRec gridClassRec;

// The margins default to 0, so that a frame's children reach its sides.
XtResource gridResources[] = {
    {const_cast<char*>(XmNmarginWidth), const_cast<char*>(XmCMarginWidth),
     const_cast<char*>(XmRHorizontalDimension), sizeof(Dimension),
     XtOffsetOf(KelDlgGridRec, bulletin_board.margin_width), const_cast<char*>(XmRImmediate),
     reinterpret_cast<XtPointer>(0)},
    {const_cast<char*>(XmNmarginHeight), const_cast<char*>(XmCMarginHeight),
     const_cast<char*>(XmRVerticalDimension), sizeof(Dimension),
     XtOffsetOf(KelDlgGridRec, bulletin_board.margin_height), const_cast<char*>(XmRImmediate),
     reinterpret_cast<XtPointer>(0)},
    {const_cast<char*>(XmNspacing), const_cast<char*>(XmCSpacing),
     const_cast<char*>(XmRHorizontalDimension), sizeof(Dimension),
     XtOffsetOf(KelDlgGridRec, grid.spacing), const_cast<char*>(XmRImmediate),
     reinterpret_cast<XtPointer>(4)},
};

KelDlgGridRec* AsGrid(Widget w) {
  return reinterpret_cast<KelDlgGridRec*>(w);
}

bool Attached(int kind) {
  return kind == KelDlgAttachTab || kind == KelDlgAttachStretch;
}

}  // namespace

WidgetClass KelDlgGrid::Class() {
  static bool initialised = false;
  if (!initialised) {
    initialised = true;
    CoreClassPart& c = gridClassRec.core_class;
    c.superclass = reinterpret_cast<WidgetClass>(&xmBulletinBoardClassRec);
    c.class_name = const_cast<char*>("KelDlgGrid");
    c.widget_size = sizeof(KelDlgGridRec);
    c.realize = XtInheritRealize;
    c.resources = gridResources;
    c.num_resources = XtNumber(gridResources);
    c.xrm_class = NULLQUARK;
    c.compress_motion = True;
    c.compress_exposure = XtExposeCompressMaximal;
    c.compress_enterleave = True;
    c.resize = Resize;
    c.expose = XtInheritExpose;
    c.set_values_almost = XtInheritSetValuesAlmost;
    c.version = XtVersion;
    c.tm_table = XtInheritTranslations;
    c.query_geometry = QueryGeometry;
    CompositeClassPart& k = gridClassRec.composite_class;
    k.geometry_manager = GeometryManager;
    k.change_managed = ChangeManaged;
    k.insert_child = XtInheritInsertChild;
    k.delete_child = XtInheritDeleteChild;
    gridClassRec.constraint_class.constraint_size =
        xmBulletinBoardClassRec.constraint_class.constraint_size;
    XmManagerClassPart& m = gridClassRec.manager_class;
    m.translations = XtInheritTranslations;
    m.parent_process = XmInheritParentProcess;
    gridClassRec.bulletin_board_class.focus_moved_proc = XmInheritFocusMovedProc;
  }
  return reinterpret_cast<WidgetClass>(&gridClassRec);
}

Widget KelDlgGrid::Create(Widget parent, const char* name, KelDlgLink* link, ArgList args,
                          Cardinal count) {
  std::vector<Arg> all(args, args + count);
  Arg a;
  XtSetArg(a, XmNautoUnmanage, False);
  all.push_back(a);
  XtSetArg(a, XmNresizePolicy, XmRESIZE_NONE);
  all.push_back(a);
  Widget grid =
      XtCreateWidget(name, Class(), parent, all.data(), static_cast<Cardinal>(all.size()));
  AsGrid(grid)->grid.link = link;
  return grid;
}

int KelDlgGrid::IsGrid(Widget widget) {
  return widget && XtIsSubclass(widget, Class());
}

void KelDlgGrid::Relayout(Widget grid) {
  if (!IsGrid(grid) || grid->core.being_destroyed) return;
  AskNaturalSize(grid, nullptr, nullptr);
  Layout(grid, nullptr, nullptr, true, nullptr, nullptr);
}

int KelDlgGrid::LayAxis(Item* items, int count, int margin, int spacing, int extent) {
  int maxTab = 1;
  for (int i = 0; i < count; ++i) {
    Item& it = items[i];
    if (!Attached(it.startKind) || it.startTab < 1)
      if (it.startKind != KelDlgAttachSide) it.startKind = KelDlgAttachNone;
    if (!Attached(it.endKind) || it.endTab < 1)
      if (it.endKind != KelDlgAttachSide) it.endKind = KelDlgAttachNone;
    if (Attached(it.startKind) && Attached(it.endKind) && it.endTab <= it.startTab)
      it.endKind = KelDlgAttachNone;
    if (Attached(it.startKind)) maxTab = std::max(maxTab, it.startTab + 1);
    if (Attached(it.endKind)) maxTab = std::max(maxTab, it.endTab);
  }
  std::vector<int> tab(static_cast<std::size_t>(maxTab) + 1, margin);
  auto start = [&](const Item& it) {
    if (Attached(it.startKind)) return tab[it.startTab] + (it.startTab > 1 ? spacing : 0);
    return margin;  // on the father's side
  };
  // A tabulation lies after the largest child ending on it; a child with a
  // free end fills the cell after its start tabulation.
  for (int k = 2; k <= maxTab; ++k) {
    tab[k] = tab[k - 1];
    for (int i = 0; i < count; ++i) {
      const Item& it = items[i];
      if (it.startKind == KelDlgAttachNone) continue;
      const bool endsHere = Attached(it.endKind) && it.endTab == k;
      const bool fillsCell =
          it.endKind == KelDlgAttachNone && Attached(it.startKind) && it.startTab + 1 == k;
      if (endsHere || fillsCell) tab[k] = std::max(tab[k], start(it) + it.natural);
    }
  }
  // Children placed by their rectangle widen the natural extent but do not
  // take from what the stretching cells get.
  int gridNatural = 2 * margin, natural = 2 * margin;
  for (int i = 0; i < count; ++i) {
    const Item& it = items[i];
    const bool free = it.startKind == KelDlgAttachNone && it.endKind == KelDlgAttachNone;
    int end;
    if (Attached(it.endKind))
      end = tab[it.endTab];
    else if (free)
      end = it.rectPosition + it.natural;
    else
      end = start(it) + it.natural;
    natural = std::max(natural, end + margin);
    if (!free) gridNatural = std::max(gridNatural, end + margin);
  }
  if (extent < 0) extent = natural;
  // What lies beyond the grid's natural extent goes to the cells before
  // stretching tabulations, in equal shares.
  const int extra = extent - gridNatural;
  if (extra > 0) {
    std::vector<bool> elastic(tab.size(), false);
    int shares = 0;
    for (int i = 0; i < count; ++i)
      if (items[i].endKind == KelDlgAttachStretch && !elastic[items[i].endTab]) {
        elastic[items[i].endTab] = true;
        ++shares;
      }
    int shift = 0, given = 0;
    for (int k = 1; k <= maxTab; ++k) {
      if (elastic[k]) shift += extra / shares + (given++ < extra % shares ? 1 : 0);
      tab[k] += shift;
    }
  }
  for (int i = 0; i < count; ++i) {
    Item& it = items[i];
    int s = start(it), e;
    if (Attached(it.endKind))
      e = tab[it.endTab];
    else if (it.endKind == KelDlgAttachSide)
      e = extent - margin;
    else
      e = -1;
    if (it.startKind == KelDlgAttachNone) s = e < 0 ? it.rectPosition : e - it.natural;
    if (e < 0) e = s + it.natural;
    it.position = s;
    it.size = std::max(1, e - s);
  }
  return natural;
}

XtWidgetGeometry KelDlgGrid::Layout(Widget grid, Widget requester, const XtWidgetGeometry* request,
                                    bool apply, int* naturalWidth, int* naturalHeight) {
  XtWidgetGeometry result{};
  KelDlgGridRec* g = AsGrid(grid);
  KelDialog* owner = g->grid.link ? g->grid.link->dialog : nullptr;
  std::vector<KelDialog*> children;
  std::vector<Item> items[2];
  if (owner && !owner->_dying)
    for (KelDialog* c : owner->_dialogs) {
      Widget w = c->_widget;
      if (!c->IsLaidOut() || !w || XtParent(w) != grid || !XtIsManaged(w) ||
          w->core.being_destroyed)
        continue;
      int size[2] = {w->core.width, w->core.height};
      int border = w->core.border_width;
      if (w == requester && request) {
        if (request->request_mode & CWWidth) size[0] = request->width;
        if (request->request_mode & CWHeight) size[1] = request->height;
        if (request->request_mode & CWBorderWidth) border = request->border_width;
      } else {
        XtWidgetGeometry preferred{};
        XtQueryGeometry(w, nullptr, &preferred);
        if (preferred.request_mode & CWWidth) size[0] = preferred.width;
        if (preferred.request_mode & CWHeight) size[1] = preferred.height;
      }
      children.push_back(c);
      for (int axis = 0; axis < 2; ++axis) {
        KelDialog::Axis a = c->_axes[axis];
        if (!c->_rectPlaced && a.start.kind == KelDlgAttachNone && a.end.kind == KelDlgAttachNone)
          a.start = {1, KelDlgAttachTab};
        const int natural = c->_rect[2 + axis] > 0 ? c->_rect[2 + axis] : size[axis] + 2 * border;
        items[axis].push_back(
            {a.start.tab, a.start.kind, a.end.tab, a.end.kind, c->_rect[axis], natural, 0, 0});
      }
    }
  const int count = static_cast<int>(children.size());
  const int margins[2] = {g->bulletin_board.margin_width, g->bulletin_board.margin_height};
  const int extents[2] = {apply ? g->core.width : -1, apply ? g->core.height : -1};
  int natural[2];
  for (int axis = 0; axis < 2; ++axis)
    natural[axis] = std::max(
        1, LayAxis(items[axis].data(), count, margins[axis], g->grid.spacing, extents[axis]));
  if (naturalWidth) *naturalWidth = natural[0];
  if (naturalHeight) *naturalHeight = natural[1];
  for (int i = 0; i < count; ++i) {
    Widget w = children[static_cast<std::size_t>(i)]->_widget;
    const int border = (w == requester && request && (request->request_mode & CWBorderWidth))
                           ? request->border_width
                           : w->core.border_width;
    const Item& h = items[0][static_cast<std::size_t>(i)];
    const Item& v = items[1][static_cast<std::size_t>(i)];
    XtWidgetGeometry geometry{};
    geometry.x = static_cast<Position>(h.position);
    geometry.y = static_cast<Position>(v.position);
    geometry.width = static_cast<Dimension>(std::max(1, h.size - 2 * border));
    geometry.height = static_cast<Dimension>(std::max(1, v.size - 2 * border));
    geometry.border_width = static_cast<Dimension>(border);
    if (w == requester) result = geometry;
    if (!apply) continue;
    const bool resized = geometry.width != w->core.width || geometry.height != w->core.height;
    if (resized || geometry.x != w->core.x || geometry.y != w->core.y ||
        geometry.border_width != w->core.border_width)
      XtConfigureWidget(w, geometry.x, geometry.y, geometry.width, geometry.height,
                        geometry.border_width);
    if (resized || w == requester) children[static_cast<std::size_t>(i)]->GeometryChanged();
  }
  return result;
}

void KelDlgGrid::AskNaturalSize(Widget grid, Widget requester, const XtWidgetGeometry* request) {
  KelDialog* owner = AsGrid(grid)->grid.link ? AsGrid(grid)->grid.link->dialog : nullptr;
  if (!owner || owner->_dying) return;
  // A window given a size by the program keeps it.
  if (owner->IsAKindOf("KelDlgWindow") && static_cast<KelDlgWindow*>(owner)->IsSizeFixed()) return;
  int width = 0, height = 0;
  Layout(grid, requester, request, false, &width, &height);
  if (width == grid->core.width && height == grid->core.height) return;
  Dimension replyWidth = 0, replyHeight = 0;
  if (XtMakeResizeRequest(grid, static_cast<Dimension>(width), static_cast<Dimension>(height),
                          &replyWidth, &replyHeight) == XtGeometryAlmost)
    XtMakeResizeRequest(grid, replyWidth, replyHeight, nullptr, nullptr);
}

void KelDlgGrid::Resize(Widget grid) {
  // A border moves with the size: all of it is drawn again.
  if (XtIsRealized(grid) && AsGrid(grid)->manager.shadow_thickness > 0)
    XClearArea(XtDisplay(grid), XtWindow(grid), 0, 0, 0, 0, True);
  Layout(grid, nullptr, nullptr, true, nullptr, nullptr);
  KelDialog* owner = AsGrid(grid)->grid.link ? AsGrid(grid)->grid.link->dialog : nullptr;
  // A window's size is its shell's, which its grid follows.
  if (owner && !owner->_dying && !owner->IsLaidOut()) owner->GeometryChanged();
}

void KelDlgGrid::ChangeManaged(Widget grid) {
  AskNaturalSize(grid, nullptr, nullptr);
  Layout(grid, nullptr, nullptr, true, nullptr, nullptr);
  XmeNavigChangeManaged(grid);
}

XtGeometryResult KelDlgGrid::GeometryManager(Widget child, XtWidgetGeometry* request,
                                             XtWidgetGeometry* reply) {
  Widget grid = XtParent(child);
  // Positions are the grid's to give.
  if (!(request->request_mode & (CWWidth | CWHeight | CWBorderWidth))) return XtGeometryNo;
  if (request->request_mode & XtCWQueryOnly) {
    const XtWidgetGeometry g = Layout(grid, child, request, false, nullptr, nullptr);
    if (reply) {
      *reply = g;
      reply->request_mode = CWX | CWY | CWWidth | CWHeight | CWBorderWidth;
    }
    const bool same = (!(request->request_mode & CWWidth) || request->width == g.width) &&
                      (!(request->request_mode & CWHeight) || request->height == g.height);
    return same ? XtGeometryYes : XtGeometryAlmost;
  }
  AskNaturalSize(grid, child, request);
  // The grid places everyone, the requester included, at once.
  Layout(grid, child, request, true, nullptr, nullptr);
  return XtGeometryDone;
}

XtGeometryResult KelDlgGrid::QueryGeometry(Widget grid, XtWidgetGeometry* intended,
                                           XtWidgetGeometry* preferred) {
  int width = 0, height = 0;
  Layout(grid, nullptr, nullptr, false, &width, &height);
  preferred->request_mode = CWWidth | CWHeight;
  preferred->width = static_cast<Dimension>(width);
  preferred->height = static_cast<Dimension>(height);
  if (intended && (intended->request_mode & (CWWidth | CWHeight)) == (CWWidth | CWHeight) &&
      intended->width == width && intended->height == height)
    return XtGeometryYes;
  if (width == grid->core.width && height == grid->core.height) return XtGeometryNo;
  return XtGeometryAlmost;
}
