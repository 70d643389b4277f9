// The interactive behaviour attached to Reps. The device and the viewer find
// the manipulator of the Rep under the cursor and call its interaction
// handlers; each handler guards its transition, and an accepted one sends an
// interaction notification (KelPreactivate, KelMove, ...) to the father
// command, with the handler's notification (normally the device's
// KelViewerEvent) as its cause. The father may then query the manipulator
// through SendCommandSpecificObject.
//
// Interactive state: 0 idle, 1 preactivated (pointed at), 2 activated
// (pressed), 3 manipulating (dragging), 4 contextual menu open. The device
// state is 1 from Activate until EndActivate; the edit state is 1 while an edit
// popup is shown.
//
// Handlers answer 1 when the transition was accepted, 0 when refused (nothing
// changed, nothing sent). A null notification is allowed: the transition runs
// and its notification carries no cause (ResetState, the end of an edit).
//
// Rep association: a Rep holds at most one manipulator. When this manipulator
// takes a Rep that another one handles, the other forgets the Rep; a Rep's
// manipulator is cleared only while it is this one.
//
// Destroy with Destroy(): it closes the open phases (sending their end
// notifications) before the delayed destruction.
#pragma once

#include <kel/framework/KelCommand.h>
#include <kel/framework/Kelsegment.h>
#include <kel/framework/list.h>
#include <kel/manipulators/Kel2DIndication.h>
#include <kel/picking/KelGraphicElementIntersection.h>
#include <kel/picking/KelGraphicElementNormale.h>
#include <kel/viewers/KelIndicationSegment.h>

class KelCallbackManager;
class KelPopup;
class KelRep;
class KelViewer;

class KelManipulator : public KelCommand {
 public:
  KelManipulator(KelCommand* father, KelRep* rep);
  KelManipulator(KelCommand* father, const KelString& name, KelRep* rep);
  KelManipulator(const KelManipulator&) = delete;
  KelManipulator& operator=(const KelManipulator&) = delete;
  ~KelManipulator() override;

  KEL_DECLARE_META(KelManipulator);

  // The query: an object of the class whose ClassName() pointer is
  // `className` (compared as a pointer), about `notification`, or 0. Answers
  // live in the manipulator until the next query of their kind.
  void* SendCommandSpecificObject(const char* className, KelNotification* notification) override;

  // The interaction handlers; `other` is ignored by the base.
  virtual int Preactivate(KelNotification* notification, KelManipulator* other);
  virtual int Move(KelNotification* notification, KelManipulator* other);
  virtual int EndPreactivate(KelNotification* notification, KelManipulator* other);
  virtual int Activate(KelNotification* notification, KelManipulator* other);
  virtual int EndActivate(KelNotification* notification, KelManipulator* other);
  virtual int BeginManipulate(KelNotification* notification, KelManipulator* other);
  virtual int Manipulate(KelNotification* notification, KelManipulator* other);
  virtual int EndManipulate(KelNotification* notification, KelManipulator* other);
  virtual int Edit(KelNotification* notification, KelManipulator* other);
  virtual int EndEdit(KelNotification* notification, KelManipulator* other);
  virtual int Context(KelNotification* notification, KelManipulator* other);
  virtual int EndContext(KelNotification* notification, KelManipulator* other);
  // The cursor shown while pointing at or dragging this manipulator's Reps:
  // the viewer's manipulating cursor 1.
  virtual void SetSpecificCursor();
  // Called by a dying Rep that carries this manipulator.
  virtual void DereferenceRep(KelRep* rep);
  virtual void DereferenceManipulator(KelManipulator* manipulator);
  // Called by a dying viewer.
  virtual void DereferenceViewer(KelViewer* viewer);

  // Makes `rep` (or nothing, when null) the only Rep handled.
  void AssociateToRep(KelRep* rep);
  void AddRepToManipulate(KelRep* rep);
  void RemoveRepToManipulate(KelRep* rep);
  KelRep* GetRep() const { return _rep; }
  // The further Reps, or null before the first AddRepToManipulate.
  const list<KelRep*>* GetRepsToManipulate() const { return _repsToManipulate; }

  int GetInteractiveState() const { return _interactiveState; }
  int GetDeviceState() const { return _deviceState; }
  int GetEditState() const { return _editState; }
  KelViewer* GetViewer() const { return _viewer; }
  KelPopup* GetEditPopup() const { return _editPopup; }

  void SetDefaultCursor();

  // Shows `popup` for the edit phase, only while activated. The phase ends
  // when the popup is destroyed, or with EndEdit, which destroys it.
  void SetEditPopup(KelPopup& popup);
  void EditPopupDestroyed(const char* eventName, KelCallbackManager* publisher,
                          KelNotification* notification, void* data, long callback);

  // Hands `notification` (created with new) to the father, which gets it until
  // the end of the interaction transaction; without a father it is deleted.
  void Send(KelNotification* notification);
  // Passes a query to the manipulator that owns the Reps above this one on the
  // pick path under the cursor; 0 when there is none.
  void* DefaultDecoding(const char* className, KelNotification* notification);

  // Automatic activation: a manipulator created during a drag on a Rep of the
  // dragged path takes the drag over.
  void CheckAutomaticImplementationOn(KelRep& rep);
  void InhibAutomaticActivation();

  // Closes every open phase, each sending its end notification without cause.
  void ResetState();
  void Destroy();

  // Class names of the notifications, for analysers registered by name.
  static const char* GetKelPreactivate();
  static const char* GetKelMove();
  static const char* GetKelEndPreactivate();
  static const char* GetKelActivate();
  static const char* GetKelEndActivate();
  static const char* GetKelBeginManipulate();
  static const char* GetKelManipulate();
  static const char* GetKelEndManipulate();
  static const char* GetKelEdit();
  static const char* GetKelEndEdit();
  static const char* GetKelContext();
  static const char* GetKelEndContext();

 protected:
  // Takes the viewer of `notification` when it is a viewer event.
  void TakeViewer(KelNotification* notification);
  // Sets this manipulator on `rep`, taking it from its previous manipulator.
  void TakeRep(KelRep& rep);
  // Clears `rep`'s manipulator when it is this one.
  void ReleaseRep(KelRep* rep);

  KelViewer* _viewer = nullptr;
  KelRep* _rep = nullptr;
  list<KelRep*>* _repsToManipulate = nullptr;
  int _interactiveState = 0;
  int _deviceState = 0;
  int _editState = 0;
  KelPopup* _editPopup = nullptr;
  long _editPopupCallback = 0;
  KelGraphicElementIntersection _intersection;
  KelGraphicElementNormale _normal;
  KelIndicationSegment _indicationSegment;
  Kelsegment _segment;
  Kel2DIndication _2DIndication;
};
