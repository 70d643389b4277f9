// Drags kelview's parts. The part chosen (a child of the scene's root that is
// a bag, so that it has a matrix to change) gets a translator or a rotator
// from the contextual menu or the Edit menu; a left-button drag on it then
// moves it, and the application hears every interaction notification of the
// drag. The translator moves the part in the plane facing the viewer when it
// was chosen (Shift: the plane of the other screen axis and the sight that
// faces best); the rotator turns it on a virtual sphere about its centre.
//
// Escape during a drag puts the part back where the drag found it and
// ignores the rest of that drag: the manipulators answer 0 to keys, so the
// application handles the key itself.
//
// The manipulators work in world coordinates and start each drag at the
// identity; a step is brought into the part's parent (the root, which may
// carry a matrix of its own) before it multiplies the part's matrix.
#pragma once

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelCommand.h>

#include <iosfwd>

class Kel3DBagRep;
class Kel3DManipulator;
class KelRep;
class KelViewer;

class KelPartDragger : public KelCommand {
 public:
  enum Kind { Translate, Rotate };

  // `log`, when given, gets a line at the end of each drag and at a cancel.
  KelPartDragger(KelCommand* father, KelViewer& viewer, Kel3DBagRep& root, std::ostream* log);
  ~KelPartDragger() override;
  KelPartDragger(const KelPartDragger&) = delete;
  KelPartDragger& operator=(const KelPartDragger&) = delete;

  // Gives `part` the manipulator of `kind` in place of the previous one;
  // false (and no manipulator) when the part cannot move.
  bool Choose(Kind kind, KelRep* part);
  // The selection changed: what the menus act on, and a manipulator on
  // another part goes.
  void Follow(KelRep* selected);
  // Puts the dragged part back; false when no drag runs.
  bool Cancel();

  Kel3DManipulator* GetManipulator() const { return _manipulator; }
  bool IsDragging() const { return _dragging; }

  void Began(KelCommand* sender, KelNotification* notification, void*);
  void Moved(KelCommand* sender, KelNotification* notification, void*);
  void Ended(KelCommand* sender, KelNotification* notification, void*);
  void TranslateChosen(KelCommand*, KelNotification*, void*);
  void RotateChosen(KelCommand*, KelNotification*, void*);

 private:
  void Drop();
  void Place(const Kel4x4Matrix& matrix);
  void Report(const char* what);

  KelViewer& _viewer;
  Kel3DBagRep& _root;
  std::ostream* _log;
  Kel3DManipulator* _manipulator = nullptr;
  Kel3DBagRep* _part = nullptr;
  KelRep* _selected = nullptr;
  bool _dragging = false;
  bool _cancelled = false;
  bool _moved = false;
  // The part's matrix when the drag began.
  Kel4x4Matrix _start;
};
