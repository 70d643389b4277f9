// Base of the dialog toolkit: a command that stands for one Motif widget (with
// its shell for windows). Dialogs form a tree: a dialog is built with its
// father dialog, its name and a style word; its widget is created at once
// under the father's widget and carries the dialog's name, so that users style
// it with X resources (docs/x-resources.md). What a widget reports reaches the
// command tree as a KelDlgNotification.
//
// A dialog keeps its own state (title, icon name, visibility, sensitivity,
// attachments, rectangle and its values), so that it works without a display
// and keeps its state when its widget is built again (Reparent).
//
// Layout: the children of frames, windows, dialogs and documents sit on a grid
// of tabulations numbered from 1 on each axis; tabulation 1 is the father's
// leading side after its margin. A child spans from a start to an end
// tabulation, each side with an attachment kind (KelDlgConstants.h). A side
// without attachment takes the child's natural size, or the rectangle given
// by SetRectDimensions; a child without attachment on an axis sits at the
// position SetRectDimensions gave, or else in the first cell. Tabulation k + 1 lies after the
// largest child that ends on it, plus the father's spacing; the space before a tabulation on which
// a child ends with KelDlgAttachStretch shares what the father has beyond its natural size. Natural
// sizes are the widgets' own, so they follow the fonts; the windows take their natural size unless
// they were given one.
//
// Destruction: deleting a dialog (directly or through RequestDelayedDestruction)
// destroys its child dialogs, then its widget.
#pragma once

#include <kel/framework/KelCommand.h>
#include <kel/framework/KelDlgConstants.h>
#include <kel/framework/KelString.h>
#include <kel/framework/KelUnicodeString.h>

#include <vector>

// The X types of the toolkit's interface, as Xlib and Xt declare them.
typedef struct _WidgetRec* Widget;
typedef struct _XDisplay Display;
typedef struct _XtAppStruct* XtAppContext;

class KelDlgWindow;
struct KelDlgLink;

class KelDialog : public KelCommand {
 public:
  KelDialog(KelDialog* father, const KelString& name, unsigned long style);
  ~KelDialog() override;

  KEL_DECLARE_META(KelDialog);

  KelDialog* GetFatherDialog() const { return _fatherDialog; }
  unsigned long GetStyle() const { return _style; }
  int GetDialogCount() const { return static_cast<int>(_dialogs.size()); }
  KelDialog* GetDialog(int index) const;
  // The first dialog of this subtree (this one included) with that name.
  KelDialog* FindDialog(const KelString& name);
  // The window that holds `dialog`: the dialog itself when it is a window,
  // otherwise its nearest window ancestor; null when there is none.
  static KelDlgWindow* GetFatherWindow(const KelDialog* dialog);

  // The outermost widget (the shell of a window); null without a display or
  // once the widget was destroyed.
  Widget GetWidget() const { return _widget; }
  // The widget the children's widgets are created in; null when this dialog
  // takes no children.
  virtual Widget GetContainerWidget() const { return nullptr; }

  // KelDlgShown or KelDlgHidden. Children are shown at creation, windows and
  // menus hidden. Every change is notified (DLG_VISIBILITY).
  virtual void SetVisibility(int state);
  int GetVisibility() const { return _visibility; }
  // An insensitive dialog and its children ignore the user.
  void SetSensitivity(int sensitive);
  int GetSensitivity() const { return _sensitive; }
  // The title of a window, the text of a label, button or item.
  void SetTitle(const KelString& title);
  const KelString& GetTitle() const { return _title; }
  // The icon of a window for the window manager; the picture of a label or
  // button (an XPM, XBM, PNG or JPEG file found by Motif's icon search path,
  // XMICONSEARCHPATH, or given by its path), shown instead of its title.
  void SetIconName(const KelString& icon);
  const KelString& GetIconName() const { return _iconName; }

  // Placement in the father's grid (see above). A tabulation below 1 leaves
  // that side free.
  void SetHorizontalAttachment(int startTab, int startKind, int endTab = 0, int endKind = 0);
  void SetVerticalAttachment(int startTab, int startKind, int endTab = 0, int endKind = 0);
  void ResetAttachments();
  // All four sides on the father's sides.
  void AttachOnSides();

  // Position and size in pixels: of a window on the screen, of a child in its
  // father. Setting gives a child its size (a size of 0 keeps the natural one)
  // and, on axes without attachment, its position; it gives a window its
  // place and a fixed size.
  void GetRectDimensions(int& x, int& y, int& width, int& height) const;
  virtual void SetRectDimensions(int x, int y, int width, int height);

  // Moves this dialog under another father; its widgets are built again there
  // with the same state, and the creation is notified again. Answers 1 when
  // done, 0 when `father` is null, the same, or would make a cycle.
  virtual int Reparent(KelDialog* father);

  // Shows `text` in the status bar of the document holding this dialog until
  // the next temporary text; an empty text brings back the document's own.
  void SetStatusBarTemporaryText(const KelUnicodeString& text);

 protected:
  // Member handling a widget callback: the widget and the callback's call data.
  typedef void (KelDialog::*Handler)(Widget widget, void* callData);

  // Creates the widgets under the father (or the application shell) with the
  // dialog's state; called by the constructor of each concrete class and by
  // Reparent. Answers the outermost widget.
  virtual Widget CreateWidgets() { return nullptr; }
  // Creates the widgets and registers the dialog's creation.
  void Build();
  // Whether the father's grid places this dialog (not a window or menu).
  virtual int IsLaidOut() const { return 1; }
  // Called after the father's grid gave the widget a new geometry; the size
  // is reported from the event loop.
  virtual void GeometryChanged();
  // Applies the title and the icon name to the widget.
  virtual void ShowTitle() {}
  // Called when the widget is destroyed, by this dialog or with its father's.
  virtual void WidgetDestroyed() {}

  // The widget this dialog's widgets go in: the father's container, or the
  // application shell for a dialog without father.
  Widget GetParentWidget() const;
  // Calls `handler` for the callback list `callbackName` of `widget`, with a
  // notification transaction open: dialogs whose destruction an analyser asks
  // for die when the callback ends. `widget` must be this dialog's outermost
  // widget or lie inside it.
  void Listen(Widget widget, const char* callbackName, Handler handler);
  // The client data and procedure of such a callback, for the Xt and Motif
  // calls that take their own (protocol callbacks).
  void* CallbackRecord(Handler handler);
  static void ForwardCallback(Widget widget, void* record, void* callData);
  // Sends a notification to this dialog; answers 1 when it was analysed.
  int Notify(const char* name, double value = 0.0);
  // Lays out the father's grid again (a child changed its natural size).
  void RequestFatherLayout();
  // Sets the visibility state and notifies when it changes.
  void ChangeVisibility(int state);
  // Shows the icon, or else the title (the name when there is no title), on
  // a Motif label or button. Answers 1 when the icon is shown.
  int ShowLabel(Widget label);
  // A grid laying out this dialog's children (KelDlgGrid), unmanaged. A
  // margin of -1 leaves the margins to the resources; a border draws an
  // etched shadow of that thickness.
  Widget CreateGrid(Widget parent, const char* name, int margin = -1, int border = 0);
  void SetWidget(Widget widget) { _widget = widget; }

  KelString _title;
  KelString _iconName;
  int _visibility = KelDlgShown;
  int _sensitive = 1;

 private:
  friend class KelDlgGrid;
  friend class KelDlgICC;
  friend class KelDlgMotif;
  friend struct KelDlgLink;

  struct Side {
    int tab = 0;
    int kind = KelDlgAttachNone;
  };
  struct Axis {
    Side start, end;
  };
  static void WidgetDestroyedCB(Widget, void* link, void*);
  // Drops the widgets of this subtree (they die with the outermost one).
  void ForgetWidgets();
  void BuildSubtree();
  // Moves this dialog under `father` in the dialog and command trees.
  int MoveInTree(KelDialog* father);
  void CurrentSize(int& width, int& height) const;

  KelDialog* _fatherDialog;
  unsigned long _style;
  std::vector<KelDialog*> _dialogs;
  Widget _widget = nullptr;
  KelDlgLink* _link = nullptr;
  Axis _axes[2];
  int _rect[4] = {0, 0, 0, 0};

 protected:
  const int* GetRect() const { return _rect; }
  // `placed`: the position counts for children without attachment.
  void StoreRect(int x, int y, int width, int height, bool placed = true);

 private:
  int _reportedSize[2] = {-1, -1};
  bool _dying = false;
  bool _rectPlaced = false;  // SetRectDimensions gave a position
  // The icon's pixmap, shared through Motif's cache, and its screen.
  unsigned long _iconPixmap = 0;
  void* _iconScreen = nullptr;
  void ReleaseIcon();
};
