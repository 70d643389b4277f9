// The container widget of frames, windows, dialogs and documents: a Motif
// bulletin board (so that default and cancel buttons, keyboard traversal and
// resources work as in any Motif dialog) whose children are laid out on the
// dialog toolkit's grid of tabulations. Its widget class is "KelDlgGrid"; it
// adds the resource "spacing" (pixels between grid cells, 4) and has margins
// of 0 unless set.
#pragma once

#include <X11/Intrinsic.h>

struct KelDlgLink;

class KelDlgGrid {
 public:
  KelDlgGrid() = delete;

  // A grid laying out the children of the link's dialog; created unmanaged.
  static Widget Create(Widget parent, const char* name, KelDlgLink* link, ArgList args,
                       Cardinal count);
  static int IsGrid(Widget widget);
  // Asks the parent for the grid's natural size and lays the children out
  // again; nothing for a widget that is not a grid.
  static void Relayout(Widget grid);
  // Positions along one axis, for the layout and its tests: see KelDialog.h.
  struct Item {
    int startTab, startKind, endTab, endKind;
    int rectPosition;  // used when no side is attached
    int natural;       // outer size wanted
    int position, size;
  };
  // Places the items in an extent (a negative extent: the natural one) and
  // answers the natural extent.
  static int LayAxis(Item* items, int count, int margin, int spacing, int extent);

 private:
  static void Resize(Widget grid);
  static void ChangeManaged(Widget grid);
  static XtGeometryResult GeometryManager(Widget child, XtWidgetGeometry* request,
                                          XtWidgetGeometry* reply);
  static XtGeometryResult QueryGeometry(Widget grid, XtWidgetGeometry* intended,
                                        XtWidgetGeometry* preferred);
  static void AskNaturalSize(Widget grid, Widget requester, const XtWidgetGeometry* request);
  // Lays out at the grid's size; the requester, when given, is placed with
  // its requested size as natural size. Answers the requester's geometry.
  static XtWidgetGeometry Layout(Widget grid, Widget requester, const XtWidgetGeometry* request,
                                 bool apply, int* naturalWidth, int* naturalHeight);
  static WidgetClass Class();
};
