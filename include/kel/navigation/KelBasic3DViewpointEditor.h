// The 3D viewpoint editor the viewers install: its mode fills the action
// table. In examine mode (7) a middle drag turns about the target, a middle
// click seeks the picked point, the left button pressed during a middle drag
// zooms (up and down; left and right roll), Control middle click steps back,
// Control middle drag turns the head, and Shift middle drag defines a new
// viewpoint by look-at. Walk (8) and fly (9) turn the head with the drag and
// start or reverse the motion with a left click while the middle button is
// held; Page Up and Page Down change the speed. The other modes run one
// action alone (0 rotate, 1 zoom, 2 look at, 3 translate, 4 turn head) or all
// of them (5), or rotate, zoom and roll (6). A drag never leaves the table
// changed, and a flight ends with the drag.
#pragma once

#include <kel/navigation/Kel3DViewpointEditor.h>
#include <kel/navigation/KelBasic3DViewpointEditorMode.h>

class KelBasic3DViewpointEditor : public Kel3DViewpointEditor {
 public:
  KelBasic3DViewpointEditor(const KelString& name, Kel3DViewpoint& viewpoint,
                            const KelBasic3DViewpointEditorMode mode);
  ~KelBasic3DViewpointEditor() override;

  KEL_DECLARE_META(KelBasic3DViewpointEditor);

  // In modes 0 to 4 the pointer shows what a drag (and a click) will do:
  // the prompt and the cursor of the action.
  int Activate(KelNotification* notification) override;
  int EndManipulate(KelNotification* notification) override;

  virtual void SetMode(const KelBasic3DViewpointEditorMode mode);
  virtual KelBasic3DViewpointEditorMode GetMode() const { return _mode; }
  // A click: the camera flies halfway to the picked point, looking at it.
  virtual void Seek(KelMouseEvent& event);
  // A Control click: the eye steps back to twice its distance to the target.
  virtual void StepBack(KelMouseEvent& event);
  // The camera turns to look at the picked point without moving.
  virtual void Focus(KelMouseEvent& event);
  // Left click during a walk or fly drag: starts moving forward, then
  // reverses at each click.
  virtual void ToggleSpeed(KelMouseEvent& event);

 private:
  KelBasic3DViewpointEditorMode _mode;
};
