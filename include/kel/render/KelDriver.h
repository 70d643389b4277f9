// Finding the graphics driver, a shared library loaded by name at run time,
// and calling its entry points. A missing library or entry point prints
// "Library <name> not found" on the standard output and ends the process with
// status 1: nothing can be drawn without it.
#pragma once

#include <cstddef>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

class KelGraphicWindow;
class KelSupport;
class KelPixelImage;

// Writes the driver library's file name into `buffer` and returns it. The
// caller's buffer must hold at least KEL_DRIVER_NAME_SIZE bytes; prefer the
// sized form.
char* ChooseDriverLibrary(char* buffer);
// The same, writing at most `size` bytes (always terminated); null when the
// name does not fit.
char* ChooseDriverLibrary(char* buffer, std::size_t size);
constexpr std::size_t KEL_DRIVER_NAME_SIZE = 64;

// The driver's graphic window for the viewer's two integers; the entry point
// is looked up once and kept.
KelGraphicWindow* createGraphicWindow(const int a, const int b);
// A driver support that draws into `image`.
KelSupport* createSupport(KelSupport* support, KelPixelImage* image);
// The X visual the driver wants for its windows.
XVisualInfo* findVisual(Display* display);
// Chooses a visual when *visual is null (handing out a copy the caller frees
// with free()) and creates a colour map for it when `colormap` is 0.
void createColormap(Display* display, XVisualInfo** visual, unsigned long& colormap);

// Entry-point types the driver exports (extern "C").
extern "C" {
typedef KelGraphicWindow* (*KelCreateDriverGraphicWindowFn)(const int, const int);
typedef KelSupport* (*KelCreateDriverSupportFn)(KelSupport*, KelPixelImage*);
typedef XVisualInfo* (*KelFindDriverVisualFn)(Display*);
}
