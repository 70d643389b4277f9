// Keeps the graphics of an application's model in step with the model. Each
// shown model object has one Rep, found through the graphic table keyed by
// the object's identificator. The controller listens to the model's
// notifications (created, deleted, geometry, colour, show status, transaction,
// manipulator added or removed) and to the selection set, updates the Reps
// and redraws its viewers: at once, or once at the end of a transaction.
//
// The base builds no Rep: an application derives from it and overrides
// BuildRep (and GenerateLocalRep for selected objects without a Rep) and
// DecodeGraphic.
//
// Ownership: the controller owns its graphic table, its graphic model (the
// root Rep of what it built), the selection Reps with their paths, and the
// pending identificators. It refers to its viewers and the pending
// manipulators without owning them; a viewer or manipulator that dies is
// forgotten by every controller. On destruction the model is destroyed
// before the table, and Reps left in the table (built outside the model)
// forget the controller.
//
// Saving and restoring go through the marshalling library libGR7MARSH.so,
// loaded on first use; the file layout is in docs/marshalling.md. What is read
// is outside data: a file that is damaged, truncated, newer, or names a class
// that may not be restored gives a message and null, and leaves nothing built.
#pragma once

#include <kel/controller/KelModelIdentificator.h>
#include <kel/framework/KelEventSubscriber.h>
#include <kel/framework/list.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class Kel3x3Matrix;
class Kel4x4Matrix;
class KelCallbackManager;
class KelCso;
class KelManipulator;
class KelModelNotificationDispatcher;
class KelNotification;
class KelPathElement;
class KelPathElementRep;
class KelPickPath;
class KelRep;
class KelRepPath;
class KelRepTable;
class KelViewer;

class KelVisuController : public KelEventSubscriber {
 public:
  // Subscribes to the global model dispatcher (KelVue::GetDispatcher()).
  KelVisuController();
  ~KelVisuController() override;
  KelVisuController(const KelVisuController&) = delete;
  KelVisuController& operator=(const KelVisuController&) = delete;

  KEL_DECLARE_META(KelVisuController);

  // 3: 3D Reps and viewers, 2: 2D; any other value edits no parent/child link
  // and touches no viewer.
  virtual void SetType(int type) { _type = type; }
  virtual int GetType() const { return _type; }
  virtual KelRep* GenerateLocalRep(const KelPathElement& element);
  // The callback of the three subscriptions.
  virtual void SomethingHappens(const char* eventName, KelCallbackManager* publisher,
                                KelNotification* notification, void* data, long callback);
  virtual void SetPrimitiveEvaluationMode(int mode) { _primitiveEvaluationMode = mode; }
  virtual int GetPrimitiveEvaluationMode() const { return _primitiveEvaluationMode; }
  virtual void SetLodModeOn() { _lodMode = 1; }
  virtual void SetLodModeOff() { _lodMode = 0; }
  virtual int IsLodModeOn() const { return _lodMode; }
  // Takes ownership of `model`; a previous model is destroyed.
  virtual void SetGraphicModel(KelRep* model);
  virtual KelRep* GetGraphicModel() const { return _graphicModel; }
  // Takes ownership of `table`; a previous table is deleted (its Reps stay).
  virtual void SetAssociatedGraphicTable(KelRepTable* table);
  virtual KelRepTable* GetAssociatedGraphicTable() const { return _graphicTable; }
  // Without a table these do nothing and answer null.
  virtual void SetRepInGraphicTable(KelRep* rep, KelModelIdentificator& id);
  virtual KelRep* GetRepFromGraphicTable(KelModelIdentificator& id);
  virtual KelRep* GetRep(const KelModelIdentificator& id);
  virtual void SetNewIdentificator(KelRep* rep);
  virtual KelRep* BuildRep(KelModelIdentificator& id);
  virtual void New(KelModelIdentificator& id, KelModelIdentificator& fatherId);
  virtual void Delete(KelModelIdentificator& id);
  virtual void Modify(KelModelIdentificator& id);
  // The Rep must be a bag of that dimension; another Rep is left alone.
  virtual void ModifyMatrix(KelModelIdentificator& id, const Kel4x4Matrix& matrix);
  virtual void ModifyMatrix(KelModelIdentificator& id, const Kel3x3Matrix& matrix);
  virtual void HighLightOn(KelModelIdentificator& id);
  virtual void HighLightOff(KelModelIdentificator& id);
  virtual void TemporyNoshowOn(KelModelIdentificator& id);
  virtual void TemporyNoshowOff(KelModelIdentificator& id);
  virtual void ModifyColor(KelModelIdentificator& id, unsigned int color);
  virtual void DifferedDrawingModeOn();
  virtual void DifferedDrawingModeOff();
  virtual int IsDifferedDrawingMode() const { return _differedDrawingMode; }
  virtual void AddManip(KelManipulator* manipulator, KelModelIdentificator& id);
  virtual void RemoveManip(KelManipulator* manipulator, KelModelIdentificator& id);
  virtual void FlushManipulators();
  virtual void AddViewer(KelViewer& viewer);
  virtual void ChangeAllId();
  virtual std::intptr_t ComputePersistentIntId(std::intptr_t id) { return id; }
  virtual int GetIdentificators(KelModelIdentificator*** ids);
  virtual void SetPersistentId(KelModelIdentificator& oldId, KelModelIdentificator& newId);
  virtual void SetRestoreFileName(const char* name);
  virtual const char* GetRestoreFileName() const { return _restoreFileName; }
  virtual void* DecodeGraphic(const char* className, KelPickPath* path);
  virtual void BuildRepPaths(KelRep& rep, KelRepPath& path);

  void AttachToModelDispatcher(KelModelNotificationDispatcher* dispatcher);
  void AttachToCso(KelCso* cso);
  void RemoveViewer(KelViewer& viewer);
  void InitViewerList() { _viewers.InitIteration(); }
  KelViewer* GetNextViewer();
  int IsRepExisting(const KelModelIdentificator& id) { return GetRep(id) != nullptr; }
  void UnreferenceRep(const KelModelIdentificator& id);
  // Redraws every viewer unless the differed mode is on; answers 1.
  int Display();
  int IsRedrawPending() const { return _redrawPending; }
  int GetInteractivityState() const { return _interactivityState; }

  // The pending manipulators (waiting for the Rep of their object), in step
  // with their identificators.
  const list<KelManipulator*>& GetPendingManipulators() const { return _pendingManipulators; }
  const list<KelModelIdentificator*>& GetPendingIdentificators() const { return _pendingIds; }
  const list<KelRepPath*>& GetRepPaths() const { return _repPaths; }
  const list<KelPathElementRep*>& GetSelectionReps() const { return _selectionReps; }

  // Selection highlight.
  void CsoAddElement(const KelPathElement& element);
  void CsoRemoveElement(const KelPathElement& element);
  KelPathElementRep* CreateCsoElementRepresentation(const KelPathElement& element);

  // Answers what the controller of the path's next Rep decodes, or 0.
  static void* DecodeNextGraphicElement(const char* className, KelPickPath* path);

  // Saving writes a message and nothing else when it fails.
  void SaveRepToFile(const char* file, KelRep* rep);
  void SaveToFile(const char* file, int mode);
  void SaveIntoCach(const char* file, int mode);
  int GetSaveMode() const { return _saveMode; }
  static KelRep* RestoreRepFromFile(const char* file);
  static KelVisuController* RestoreFromFile(const char* file);
  static KelVisuController* RestFromCach(const char* file);

  static KelVisuController* GetCurrentController() { return _CurrentCntl; }
  static void SetCurrentController(KelVisuController* c) { _CurrentCntl = c; }
  static KelVisuController* GetUnmarshallingController() { return _CntlUnmarshalling; }
  static void SetUnmarshallingController(KelVisuController* c) { _CntlUnmarshalling = c; }
  static int GetLodRestoreMode() { return _LodRestore; }
  static void SetLodRestoreMode(int mode) { _LodRestore = mode; }
  static int IsLastSelectionRepGenerated() { return _generatedRep; }

  // Called by a dying viewer or manipulator: no controller keeps it.
  static void ForgetViewer(KelViewer* viewer);
  static void ForgetManipulator(KelManipulator* manipulator);

  static const int _Version = 5;

 private:
  void Redraw();
  void DrawViewers();
  // Removes `rep` from every parent (types 3 and 2 only).
  void DetachFromParents(KelRep& rep);
  void AddToParent(KelRep& parent, KelRep& child);
  void AddPending(KelManipulator* manipulator, const KelModelIdentificator& id);
  // One highlighted element of the selection set: the Rep that draws it, its
  // path, the Rep GenerateLocalRep made for it (if any) and the Rep that
  // holds it in the viewers' lists (a viewer lists Reps of its dimension).
  struct Selection {
    KelPathElementRep* rep;
    KelRepPath* path;
    KelRep* generated;
    KelRep* holder;
  };
  // Takes selection i off the viewers and deletes it with what it owns.
  void DropSelection(std::size_t i);
  // Loads libGR7MARSH.so once; answers 0 when it is there.
  static int LoadMarshalling();
  int Save(const char* file, const KelExtendable* object, void* interface, int cache);
  static KelExtendable* Restore(const char* file, KelExtendable* context, int cache);

  int _type = 3;
  list<KelRepPath*> _repPaths;
  list<KelManipulator*> _pendingManipulators;
  list<KelModelIdentificator*> _pendingIds;
  int _differedDrawingMode = 0;
  int _redrawPending = 0;
  KelRepTable* _graphicTable = nullptr;
  KelRep* _graphicModel = nullptr;
  list<KelViewer*> _viewers;
  int _primitiveEvaluationMode = 1;
  int _lodMode = 0;
  char* _restoreFileName = nullptr;
  int _saveMode = 0;
  long _modelDispatcherCallback = 0;
  long _csoCallback = 0;
  long _globalCallback = 0;
  list<KelPathElementRep*> _selectionReps;
  std::vector<Selection> _selection;  // in step with _selectionReps
  KelCso* _cso = nullptr;
  KelModelNotificationDispatcher* _modelDispatcher = nullptr;
  int _interactivityState = 0;

  static KelVisuController* _CurrentCntl;
  static KelVisuController* _CntlUnmarshalling;
  static int _LodRestore;
  static int _LoadToCharge;
  static int _generatedRep;
};
