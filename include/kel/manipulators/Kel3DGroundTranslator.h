// Drags a ground (KelGroundRep) up and down along its vertical. At the press
// a highlighted copy of the ground becomes a furtive Rep of the viewer's main
// 3D viewpoint; each motion moves the copy so that the picked point follows
// the cursor across the plane facing the viewer; the release gives the ground
// the copy's place, drops the copy and redraws.
//
// Only a mouse press on the ground starts the copy: a drag begun from the
// keyboard moves nothing and changes nothing at its end, and a press with
// nothing picked is refused (0). Motions of other devices answer 0.
#pragma once

#include <kel/framework/Kelpoint3f.h>
#include <kel/manipulators/KelManipulator.h>

class KelGroundRep;

class Kel3DGroundTranslator : public KelManipulator {
 public:
  Kel3DGroundTranslator(KelCommand* father, KelGroundRep* ground);
  Kel3DGroundTranslator(KelCommand* father, const KelString& name, KelGroundRep* ground);
  ~Kel3DGroundTranslator() override;

  KEL_DECLARE_META(Kel3DGroundTranslator);

  int BeginManipulate(KelNotification* notification, KelManipulator* other) override;
  int Manipulate(KelNotification* notification, KelManipulator* other) override;
  int EndManipulate(KelNotification* notification, KelManipulator* other) override;
  void DereferenceRep(KelRep* rep) override;
  void DereferenceViewer(KelViewer* viewer) override;

  // The same as Manipulate.
  int ManipulateInLightMode(KelNotification* notification, KelManipulator* other);
  // Takes the moving copy, if any, out of `viewer`'s main 3D viewpoint and
  // deletes it (a viewer that hides its ground calls it).
  void RemoveRepFurtive(KelViewer& viewer);

  KelGroundRep* GetGround() const { return _ground; }
  // The copy moving during a drag; null between drags.
  KelGroundRep* GetMovingCopy() const { return _copy; }
  const Kelpoint3f& GetPickedPoint() const { return _pickedPoint; }

 private:
  void DropCopy();

  Kelpoint3f _pickedPoint;
  KelGroundRep* _ground = nullptr;
  KelGroundRep* _copy = nullptr;
  // The viewer whose main 3D viewpoint shows the copy.
  KelViewer* _copyViewer = nullptr;
};
