#include "KelPartDragger.h"

#include <kel/framework/KelDlgContextualMenu.h>
#include <kel/framework/KelDlgNotification.h>
#include <kel/framework/KelDlgPushButton.h>
#include <kel/manipulators/Kel3DRotator.h>
#include <kel/manipulators/Kel3DTranslator.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/viewers/KelViewer.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cstdio>
#include <ostream>

namespace {

KelDlgPushButton* MenuButton(KelDialog* menu, const char* name, const char* title) {
  auto* button = new KelDlgPushButton(menu, KelString(name));
  button->SetTitle(KelString(title));
  return button;
}

// The matrix a root carries, the identity when it has none.
Kel4x4Matrix MatrixOf(const Kel3DBagRep& bag) {
  return bag.GetMatrix() ? *bag.GetMatrix() : Kel4x4Matrix();
}

}  // namespace

KelPartDragger::KelPartDragger(KelCommand* father, KelViewer& viewer, Kel3DBagRep& root,
                               std::ostream* log)
    : KelCommand(father, KelString("partDragger")), _viewer(viewer), _root(root), _log(log) {
  AddAnalyseNotificationCB(nullptr, KelManipulator::GetKelBeginManipulate(), &KelPartDragger::Began,
                           nullptr);
  AddAnalyseNotificationCB(nullptr, KelManipulator::GetKelManipulate(), &KelPartDragger::Moved,
                           nullptr);
  AddAnalyseNotificationCB(nullptr, KelManipulator::GetKelEndManipulate(), &KelPartDragger::Ended,
                           nullptr);
  if (KelDialog* menu = _viewer.GetContextualMenu()) {
    AddAnalyseNotificationCB(MenuButton(menu, "translatePart", "Translate"),
                             KelDlgNotification::DLG_ACTIVATE(), &KelPartDragger::TranslateChosen,
                             nullptr);
    AddAnalyseNotificationCB(MenuButton(menu, "rotatePart", "Rotate"),
                             KelDlgNotification::DLG_ACTIVATE(), &KelPartDragger::RotateChosen,
                             nullptr);
  }
}

KelPartDragger::~KelPartDragger() {
  delete _manipulator;
}

void KelPartDragger::Drop() {
  if (!_manipulator) return;
  // A drag in progress ends with the manipulator: its part stays where the
  // last motion put it.
  _manipulator->RequestDelayedDestruction();
  _manipulator = nullptr;
  _part = nullptr;
  _dragging = false;
}

bool KelPartDragger::Choose(Kind kind, KelRep* part) {
  Drop();
  auto* bag = dynamic_cast<Kel3DBagRep*>(part);
  if (!bag || !bag->GetParents().Contains(&_root)) return false;
  const Kel3DViewpoint& camera = *_viewer.GetMain3DViewpoint();
  const Kelpoint3f centre = MatrixOf(_root) * Kelpoint3f(bag->GetBoundingElement().GetCenter());
  if (kind == Translate) {
    const Keldirection3f up = camera.GetUpDirection();
    const Keldirection3f right(camera.GetSightDirection().AsVector() ^ up.AsVector());
    _manipulator = new Kel3DTranslator(this, KelString("translator"), bag, right, up, centre);
  } else {
    _manipulator = new Kel3DRotator(this, KelString("rotator"), bag, centre);
  }
  _part = bag;
  return true;
}

void KelPartDragger::Follow(KelRep* selected) {
  _selected = selected;
  if (_part && selected != _part) Drop();
}

void KelPartDragger::TranslateChosen(KelCommand*, KelNotification*, void*) {
  Choose(Translate, _selected);
}

void KelPartDragger::RotateChosen(KelCommand*, KelNotification*, void*) {
  Choose(Rotate, _selected);
}

void KelPartDragger::Place(const Kel4x4Matrix& matrix) {
  _part->SetMatrix(matrix);
  _viewer.Draw();
}

void KelPartDragger::Began(KelCommand* sender, KelNotification* notification, void*) {
  if (sender == _manipulator && _part) {
    _start = MatrixOf(*_part);
    _manipulator->SetObjectPosition(Kel4x4Matrix());
    _dragging = true;
    _cancelled = false;
    _moved = false;
  }
  if (GetFather()) SendNotification(GetFather(), notification);
}

void KelPartDragger::Moved(KelCommand* sender, KelNotification* notification, void*) {
  if (sender == _manipulator && _dragging && !_cancelled) {
    auto* step = static_cast<Kel4x4Matrix*>(
        _manipulator->SendCommandSpecificObject(Kel4x4Matrix::ClassName(), notification));
    if (step) {
      // World steps, brought into the root's frame.
      const Kel4x4Matrix root = MatrixOf(_root);
      Kel4x4Matrix inverse;
      root.GetInvertedMatrix(inverse);
      Place(_start * root * *step * inverse);
      _moved = true;
    }
  }
  if (GetFather()) SendNotification(GetFather(), notification);
}

void KelPartDragger::Ended(KelCommand* sender, KelNotification* notification, void*) {
  if (sender == _manipulator && _dragging) {
    _dragging = false;
    // A click is no drag.
    if (!_cancelled && _moved) Report("drag ended");
  }
  if (GetFather()) SendNotification(GetFather(), notification);
}

bool KelPartDragger::Cancel() {
  if (!_dragging || _cancelled) return false;
  _cancelled = true;
  Place(_start);
  Report("drag cancelled");
  return true;
}

void KelPartDragger::Report(const char* what) {
  if (!_log || !_part) return;
  const Kelpoint3f o = MatrixOf(_root) * (MatrixOf(*_part) * Kelpoint3f(0, 0, 0));
  char text[160];
  std::snprintf(text, sizeof text, "%s, part origin (%.4g, %.4g, %.4g)", what, double(o.x),
                double(o.y), double(o.z));
  *_log << "kelview: " << text << "\n" << std::flush;
}
