// The drawing-area widget of graphic windows: a Motif drawing area that can be
// given its own visual, asks for an overlay visual, and places its window in
// its shell's WM_COLORMAP_WINDOWS list so that window managers install its
// colour map.
//
// Resources, beyond the drawing area's:
//   "overlay"       (class "Overlay", Boolean, False): an overlay visual is
//                   wanted; it stays True only when the root window's
//                   SERVER_OVERLAY_VISUALS lists the visual.
//   "transparent"   (class "Transparent", int, -1): the transparent pixel of
//                   that overlay visual, or -1.
//   "visual"        (class "Visual", Visual*, null: the parent's).
//   "wmCmap"        (class "WmCmap", type "WmCmap", 2): the colour-map policy,
//                   0 WM_CMAP_NONE (list left alone), 1 WM_CMAP_LOW_PRIORITY
//                   (the window goes last), 2 WM_CMAP_HIGH_PRIORITY (the window
//                   first, then the shell's).
//   "rescalePolicy" (class "RescalePolicy", type "RescalePolicy", 3):
//                   RESCALE_MINOR, the only policy.
// Overlay, transparent and visual cannot change once the widget is realized.
#pragma once

#include <X11/Intrinsic.h>

#define XgNoverlay const_cast<char*>("overlay")
#define XgCOverlay const_cast<char*>("Overlay")
#define XgNtransparent const_cast<char*>("transparent")
#define XgCTransparent const_cast<char*>("Transparent")
#define XgNvisual const_cast<char*>("visual")
#define XgCVisual const_cast<char*>("Visual")
#define XgNwmCmap const_cast<char*>("wmCmap")
#define XgCWmCmap const_cast<char*>("WmCmap")
#define XgRWmCmap const_cast<char*>("WmCmap")
#define XgNrescalePolicy const_cast<char*>("rescalePolicy")
#define XgCRescalePolicy const_cast<char*>("RescalePolicy")
#define XgRRescalePolicy const_cast<char*>("RescalePolicy")

enum { XgWM_CMAP_NONE = 0, XgWM_CMAP_LOW_PRIORITY = 1, XgWM_CMAP_HIGH_PRIORITY = 2 };
enum { XgRESCALE_MINOR = 3 };

extern WidgetClass xgDrawingAreaWidgetClass;

Widget XgCreateDrawingArea(Widget parent, const char* name, ArgList args, Cardinal count);
