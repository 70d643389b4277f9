// A place for a widget of the application's own (the graphic window's
// drawing area): a Motif frame without shadow or margin, named after the
// dialog, whose one child fills it. Create that child under
// GetFatherWidget() once the creation is notified (DLG_CREATE); the resize
// notification carries the size the child gets.
//
// Reparent keeps the child and its X window alive: the child's window moves
// to a new frame under the new father (X-level reparenting; Xt still sees it
// under the first frame, which stays hidden), and comes back when the dialog
// returns under its first father. No new creation is notified. Button 3 over
// the moved widget still posts the contextual menu it had under its first
// father (a viewer's way back from full screen). The child is
// destroyed with this dialog: an application that keeps pointers to it
// destroys it first, or listens to its destroy callback.
#pragma once

#include <kel/framework/KelDialog.h>

class KelDlgMotif : public KelDialog {
 public:
  // `x`, `y`, `width`, `height`: the rectangle, as SetRectDimensions.
  KelDlgMotif(KelDialog* father, const KelString& name, unsigned long style = 0, int x = 0,
              int y = 0, int width = 0, int height = 0);
  ~KelDlgMotif() override;

  KEL_DECLARE_META(KelDlgMotif);

  // The parent for the application's widget; the same for the dialog's life.
  Widget GetFatherWidget() const { return _home; }
  int Reparent(KelDialog* father) override;

 protected:
  Widget CreateWidgets() override;
  void GeometryChanged() override;
  void WidgetDestroyed() override;

 private:
  struct HostLink;
  // Puts the application's windows in `frame` (once it has a window) and
  // gives them its size.
  void MoveContent(Widget frame);
  // Destroys the frame under another father, the content being back home.
  void DropHost();

  Widget _home = nullptr;     // the first frame: the Xt parent of the content
  Widget _host = nullptr;     // the frame under another father, or null
  Widget _content = nullptr;  // the frame whose window holds the content
  HostLink* _hostLink = nullptr;
};
