#include <kel/controller/KelVisuController.h>

#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/KelCso.h>
#include <kel/framework/KelGetEntryPoint.h>
#include <kel/framework/KelMarshallableCorba.h>
#include <kel/framework/KelModelNotification.h>
#include <kel/framework/KelPathElement.h>
#include <kel/framework/KelVue.h>
#include <kel/manipulators/KelManipulator.h>
#include <kel/picking/KelPickPath.h>
#include <kel/reps/Kel2DBagRep.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/KelHashRepTable.h>
#include <kel/reps/KelPathElementRep.h>
#include <kel/reps/KelRepPath.h>
#include <kel/reps/KelRepTable.h>
#include <kel/viewers/KelViewer.h>

#include "KelCsoHighlight.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <vector>

KEL_IMPLEMENT_META(KelVisuController, KelEventSubscriber)

KelVisuController* KelVisuController::_CurrentCntl = nullptr;
KelVisuController* KelVisuController::_CntlUnmarshalling = nullptr;
int KelVisuController::_LodRestore = 1;
int KelVisuController::_LoadToCharge = 1;
int KelVisuController::_generatedRep = 0;

namespace {

// Every live controller, so that a dying viewer or manipulator is forgotten.
list<KelVisuController*>& Controllers() {
  static list<KelVisuController*> controllers;
  return controllers;
}

const char* const kMarshallingLibrary = "libGR7MARSH.so";
// A class name longer than this is not one of ours: the file is refused.
const int kMaxClassName = 255;

typedef void* (*OpenMarshallingFn)();
typedef int (*FlushMarshallingFn)(void*, std::intptr_t, char*);
typedef int (*CloseMarshallingFn)(void*);
typedef int (*CleanMarshallingFn)(std::intptr_t);
typedef std::intptr_t (*OpenBufferFn)(const char*, const char*);
typedef int (*CloseBufferFn)(std::intptr_t);
typedef int (*ImportBufferFn)(std::intptr_t, int*, char*, int*);

template <class F>
F Entry(const char* symbol) {
  void* f = KelGetEntryPoint(kMarshallingLibrary, symbol, 1);
  if (!f)
    std::cerr << "KelVisuController: " << kMarshallingLibrary << " has no entry point " << symbol
              << std::endl;
  return reinterpret_cast<F>(f);
}

void BadUnmarshalling(const char* file) {
  std::fprintf(stdout, "ERROR : Bad UnMarshalling of :%s\n", file ? file : "");
  std::fflush(stdout);
}

}  // namespace

KelVisuController::KelVisuController() {
  KelNotificationDispatcher* global = KelVue::GetDispatcher();
  _globalCallback =
      AddCallback(global, global->GetConnexion(), &KelVisuController::SomethingHappens, nullptr);
  Controllers().Append(this);
}

KelVisuController::~KelVisuController() {
  Controllers().Remove(this);
  if (_CurrentCntl == this) _CurrentCntl = nullptr;
  if (_CntlUnmarshalling == this) _CntlUnmarshalling = nullptr;
  while (!_selection.empty()) DropSelection(_selection.size() - 1);
  // The model first: its Reps leave the table as they die.
  if (_graphicModel) {
    KelRep* model = _graphicModel;
    _graphicModel = nullptr;
    model->Destroy();
  }
  // Reps built outside the model outlive the controller: they forget it.
  if (_graphicTable) {
    KelModelIdentificator** ids = nullptr;
    const int n = _graphicTable->GetAllId(&ids);
    std::vector<KelRep*> left;
    for (int i = 0; i < n; ++i)
      if (KelRep* rep = _graphicTable->GetAssociatedRep(*ids[i])) left.push_back(rep);
    delete[] ids;
    for (KelRep* rep : left)
      if (rep->GetControllerId() == this) rep->SetControllerId(nullptr);
    delete _graphicTable;
    _graphicTable = nullptr;
  }
  std::free(_restoreFileName);
  for (int i = 0; i < _pendingIds.Count(); ++i) delete _pendingIds[i];
  for (int i = 0; i < _repPaths.Count(); ++i) delete _repPaths[i];
  RemoveCallback(KelVue::GetDispatcher(), _globalCallback);
  if (_modelDispatcher) RemoveCallback(_modelDispatcher, _modelDispatcherCallback);
  if (_cso) RemoveCallback(_cso, _csoCallback);
}

// ---- Attachment

void KelVisuController::AttachToModelDispatcher(KelModelNotificationDispatcher* dispatcher) {
  if (!dispatcher) return;
  if (_modelDispatcher) RemoveCallback(_modelDispatcher, _modelDispatcherCallback);
  _modelDispatcher = dispatcher;
  _modelDispatcherCallback = AddCallback(dispatcher, dispatcher->GetConnexion(),
                                         &KelVisuController::SomethingHappens, nullptr);
}

void KelVisuController::AttachToCso(KelCso* cso) {
  if (!cso) return;
  if (_cso) RemoveCallback(_cso, _csoCallback);
  _cso = cso;
  _csoCallback =
      AddCallback(cso, cso->GetConnexion(), &KelVisuController::SomethingHappens, nullptr);
}

void KelVisuController::AddViewer(KelViewer& viewer) {
  _viewers.AppendUnique(&viewer);
}
void KelVisuController::RemoveViewer(KelViewer& viewer) {
  _viewers.Remove(&viewer);
}
KelViewer* KelVisuController::GetNextViewer() {
  KelViewer* viewer = nullptr;
  return _viewers.Next(viewer) ? viewer : nullptr;
}

void KelVisuController::ForgetViewer(KelViewer* viewer) {
  for (KelVisuController* c : Controllers()) {
    // Its selection Reps are in the viewer's lists, which die with it.
    c->_viewers.Remove(viewer);
  }
}

void KelVisuController::ForgetManipulator(KelManipulator* manipulator) {
  for (KelVisuController* c : Controllers()) {
    for (int i = c->_pendingManipulators.Count() - 1; i >= 0; --i) {
      if (c->_pendingManipulators[i] != manipulator) continue;
      c->_pendingManipulators.RemoveAt(i);
      delete c->_pendingIds[i];
      c->_pendingIds.RemoveAt(i);
    }
  }
}

// ---- Graphic table and model

void KelVisuController::SetGraphicModel(KelRep* model) {
  if (model == _graphicModel) return;
  if (_graphicModel) _graphicModel->Destroy();
  _graphicModel = model;
}

void KelVisuController::SetAssociatedGraphicTable(KelRepTable* table) {
  if (table == _graphicTable) return;
  delete _graphicTable;
  _graphicTable = table;
}

void KelVisuController::SetRepInGraphicTable(KelRep* rep, KelModelIdentificator& id) {
  if (_graphicTable) _graphicTable->SetAssociatedRep(rep, id);
}

KelRep* KelVisuController::GetRepFromGraphicTable(KelModelIdentificator& id) {
  return GetRep(id);
}

KelRep* KelVisuController::GetRep(const KelModelIdentificator& id) {
  return _graphicTable ? _graphicTable->GetAssociatedRep(id) : nullptr;
}

void KelVisuController::UnreferenceRep(const KelModelIdentificator& id) {
  if (_graphicTable) _graphicTable->UnreferenceRep(id);
}

int KelVisuController::GetIdentificators(KelModelIdentificator*** ids) {
  if (!ids) return 0;
  *ids = nullptr;
  return _graphicTable ? _graphicTable->GetAllId(ids) : 0;
}

KelRep* KelVisuController::BuildRep(KelModelIdentificator&) {
  return nullptr;
}
KelRep* KelVisuController::GenerateLocalRep(const KelPathElement&) {
  return nullptr;
}
void KelVisuController::SetNewIdentificator(KelRep*) {}

// ---- Redraw

void KelVisuController::DrawViewers() {
  for (int i = 0; i < _viewers.Count(); ++i) _viewers[i]->Draw();
}

void KelVisuController::Redraw() {
  if (_differedDrawingMode)
    _redrawPending = 1;
  else
    DrawViewers();
}

int KelVisuController::Display() {
  if (!_differedDrawingMode) DrawViewers();
  return 1;
}

void KelVisuController::DifferedDrawingModeOn() {
  _differedDrawingMode = 1;
  _redrawPending = 0;
}
void KelVisuController::DifferedDrawingModeOff() {
  _differedDrawingMode = 0;
  _redrawPending = 0;
}

// ---- Notifications

void KelVisuController::SomethingHappens(const char*, KelCallbackManager*,
                                         KelNotification* notification, void*, long) {
  if (!notification) return;
  auto idOf = [](KelNotification* n) {
    return KelModelIdentificator(static_cast<KelModelNotification*>(n)->GetModelId());
  };
  if (notification->IsAKindOf(KelInteractivityNotification::ClassName())) {
    _interactivityState = static_cast<KelInteractivityNotification*>(notification)->GetState();
  } else if (notification->IsAKindOf(KelAddManipulator::ClassName())) {
    KelModelIdentificator id = idOf(notification);
    AddManip(static_cast<KelAddManipulator*>(notification)->GetManipulator(), id);
  }
  if (notification->IsAKindOf(KelRemoveManipulator::ClassName())) {
    KelModelIdentificator id = idOf(notification);
    RemoveManip(static_cast<KelRemoveManipulator*>(notification)->GetManipulator(), id);
  }
  if (notification->IsAKindOf(KelCso::GetKelAddElement())) {
    CsoAddElement(static_cast<KelCsoNotification*>(notification)->GetElement());
  } else if (notification->IsAKindOf(KelCso::GetKelRemoveElement())) {
    CsoRemoveElement(static_cast<KelCsoNotification*>(notification)->GetElement());
  } else if (notification->IsAKindOf(KelBeginTransaction::ClassName())) {
    DifferedDrawingModeOn();
  } else if (notification->IsAKindOf(KelEndTransaction::ClassName())) {
    if (_redrawPending) DrawViewers();
    DifferedDrawingModeOff();
    FlushManipulators();
  } else if (notification->IsAKindOf(KelModifyColor::ClassName())) {
    KelModelIdentificator id = idOf(notification);
    ModifyColor(id, static_cast<KelModifyColor*>(notification)->GetColor());
  } else if (notification->IsAKindOf(KelDelete::ClassName())) {
    KelModelIdentificator id = idOf(notification);
    Delete(id);
  } else if (notification->IsAKindOf(KelModifyGeometry::ClassName())) {
    KelModelIdentificator id = idOf(notification);
    Modify(id);
  } else if (notification->IsAKindOf(KelCreate::ClassName())) {
    KelModelIdentificator id = idOf(notification);
    KelModelIdentificator father(static_cast<KelCreate*>(notification)->GetFatherModelId());
    New(id, father);
  } else if (notification->IsAKindOf(KelModifyShowStatus::ClassName())) {
    KelModelIdentificator id = idOf(notification);
    if (static_cast<KelModifyShowStatus*>(notification)->GetShowStatus())
      TemporyNoshowOff(id);
    else
      TemporyNoshowOn(id);
  }
}

// ---- Model changes

// 2D Reps share KelRep's meta object: IsAKindOf cannot tell them apart, the
// C++ type does.
void KelVisuController::AddToParent(KelRep& parent, KelRep& child) {
  auto* bag2D = dynamic_cast<Kel2DBagRep*>(&parent);
  auto* child2D = dynamic_cast<Kel2DRep*>(&child);
  if (_type == 3 && parent.IsAKindOf(Kel3DBagRep::ClassName()) &&
      child.IsAKindOf(Kel3DRep::ClassName()))
    static_cast<Kel3DBagRep&>(parent).AddChild(static_cast<Kel3DRep&>(child));
  else if (_type == 2 && bag2D && child2D)
    bag2D->AddChild(*child2D);
  else
    std::cerr << "KelVisuController: a " << child.IsA() << " cannot be a child of a "
              << parent.IsA() << " in a controller of type " << _type << "." << std::endl;
}

void KelVisuController::DetachFromParents(KelRep& rep) {
  if (_type != 3 && _type != 2) return;
  list<KelRep*>& parents = rep.GetParents();
  // Each removal shortens the list; a parent of another kind only forgets it.
  while (parents.Count() > 0) {
    const int before = parents.Count();
    KelRep* parent = parents[before - 1];
    if (_type == 3 && parent->IsAKindOf(Kel3DBagRep::ClassName()) &&
        rep.IsAKindOf(Kel3DRep::ClassName()))
      static_cast<Kel3DBagRep*>(parent)->RemoveChild(static_cast<Kel3DRep&>(rep));
    else if (_type == 2 && dynamic_cast<Kel2DBagRep*>(parent) && dynamic_cast<Kel2DRep*>(&rep))
      static_cast<Kel2DBagRep*>(parent)->RemoveChild(static_cast<Kel2DRep&>(rep));
    if (parents.Count() == before) rep.RemoveParent(*parent);
  }
}

void KelVisuController::New(KelModelIdentificator& id, KelModelIdentificator& fatherId) {
  KelRep* father = GetRep(fatherId);
  if (!father) return;
  KelRep* rep = BuildRep(id);
  if (!rep) return;
  if (_type == 3 || _type == 2) {
    AddToParent(*father, *rep);
    // A Rep its father refused would be reachable from nothing.
    if (rep->GetParents().Count() == 0) {
      rep->Destroy();
      return;
    }
  }
  for (int i = 0; i < _pendingIds.Count(); ++i)
    if (_pendingIds[i]->GetIntId() != 0 && _pendingIds[i]->GetIntId() == id.GetIntId())
      _pendingManipulators[i]->AddRepToManipulate(rep);
  Redraw();
}

void KelVisuController::AddPending(KelManipulator* manipulator, const KelModelIdentificator& id) {
  _pendingManipulators.Append(manipulator);
  _pendingIds.Append(new KelModelIdentificator(id));
}

void KelVisuController::Delete(KelModelIdentificator& id) {
  KelRep* rep = GetRep(id);
  if (!rep) return;
  if (KelManipulator* manipulator = rep->GetManipulator()) AddPending(manipulator, id);
  DetachFromParents(*rep);
  UnreferenceRep(id);
  if (rep == _graphicModel) _graphicModel = nullptr;
  rep->Destroy();
  Redraw();
}

void KelVisuController::Modify(KelModelIdentificator& id) {
  KelRep* rep = GetRep(id);
  if (!rep) return;
  KelManipulator* manipulator = rep->GetManipulator();
  list<KelRep*> parents;
  for (KelRep* p : rep->GetParents()) parents.AppendUnique(p);
  const bool wasModel = rep == _graphicModel;
  DetachFromParents(*rep);
  UnreferenceRep(id);
  if (wasModel) _graphicModel = nullptr;
  rep->Destroy();
  KelModelIdentificator copy(id);
  if (KelRep* newRep = BuildRep(copy)) {
    // The manipulator learns of its new Rep, as for a created object.
    if (manipulator) manipulator->AddRepToManipulate(newRep);
    if (_type == 3 || _type == 2)
      for (KelRep* p : parents) AddToParent(*p, *newRep);
    if (wasModel) _graphicModel = newRep;
  }
  Redraw();
}

void KelVisuController::ModifyMatrix(KelModelIdentificator& id, const Kel4x4Matrix& matrix) {
  KelRep* rep = GetRep(id);
  if (!rep) return;
  if (!rep->IsAKindOf(Kel3DBagRep::ClassName())) {
    std::cerr << "KelVisuController::ModifyMatrix: the Rep is not a 3D bag." << std::endl;
    return;
  }
  static_cast<Kel3DBagRep*>(rep)->SetMatrix(matrix);
  Redraw();
}

void KelVisuController::ModifyMatrix(KelModelIdentificator& id, const Kel3x3Matrix& matrix) {
  KelRep* rep = GetRep(id);
  if (!rep) return;
  auto* bag = dynamic_cast<Kel2DBagRep*>(rep);
  if (!bag) {
    std::cerr << "KelVisuController::ModifyMatrix: the Rep is not a 2D bag." << std::endl;
    return;
  }
  bag->SetMatrix(matrix);
  Redraw();
}

void KelVisuController::HighLightOn(KelModelIdentificator& id) {
  if (KelRep* rep = GetRep(id)) {
    rep->HighLightOn();
    Redraw();
  }
}
void KelVisuController::HighLightOff(KelModelIdentificator& id) {
  if (KelRep* rep = GetRep(id)) {
    rep->HighLightOff();
    Redraw();
  }
}
void KelVisuController::TemporyNoshowOn(KelModelIdentificator& id) {
  if (KelRep* rep = GetRep(id)) {
    rep->TemporyNoshowOn();
    Redraw();
  }
}
void KelVisuController::TemporyNoshowOff(KelModelIdentificator& id) {
  if (KelRep* rep = GetRep(id)) {
    rep->TemporyNoshowOff();
    Redraw();
  }
}
void KelVisuController::ModifyColor(KelModelIdentificator& id, unsigned int color) {
  if (KelRep* rep = GetRep(id)) {
    rep->SetColor(color);
    Redraw();
  }
}

// ---- Manipulators

void KelVisuController::AddManip(KelManipulator* manipulator, KelModelIdentificator& id) {
  if (!manipulator) return;
  if (KelRep* rep = GetRep(id))
    manipulator->AddRepToManipulate(rep);
  else
    AddPending(manipulator, id);
}

void KelVisuController::RemoveManip(KelManipulator* manipulator, KelModelIdentificator& id) {
  if (!manipulator) return;
  if (KelRep* rep = GetRep(id)) manipulator->RemoveRepToManipulate(rep);
  const int i = _pendingManipulators.Find(manipulator);
  if (i >= 0) {
    _pendingManipulators.RemoveAt(i);
    delete _pendingIds[i];
    _pendingIds.RemoveAt(i);
  }
}

void KelVisuController::FlushManipulators() {
  for (int i = 0; i < _pendingManipulators.Count(); ++i)
    if (KelRep* rep = GetRep(*_pendingIds[i])) _pendingManipulators[i]->AddRepToManipulate(rep);
  for (int i = 0; i < _pendingIds.Count(); ++i) delete _pendingIds[i];
  _pendingIds.Clear();
  _pendingManipulators.Clear();
}

// ---- Selection

KelPathElementRep* KelVisuController::CreateCsoElementRepresentation(
    const KelPathElement& element) {
  KelRep* rep = nullptr;
  element.InitToTopObject();
  while (void* object = element.GetNextChildObject())
    if ((rep = GetRep(KelModelIdentificator(object)))) break;
  const int generated = rep ? 0 : 1;
  _generatedRep = generated;
  if (!rep) rep = GenerateLocalRep(element);
  if (!rep) return nullptr;
  auto* path = new KelRepPath(nullptr);
  if (!generated && _graphicModel) path->AddRep(*_graphicModel);
  path->AddRep(*rep);
  const int built = rep->BuildHightlightLook(element, *path);
  if (path->Size() == 0 || built == 0 || (!generated && path->Size() == 1)) {
    delete path;
    // Nobody else holds a Rep made for this element alone.
    if (generated) rep->Destroy();
    return nullptr;
  }
  return new KelPathElementRep(element, *path);
}

void KelVisuController::CsoAddElement(const KelPathElement& element) {
  for (const Selection& s : _selection)
    if (s.rep->GetPathElement() == element) return;
  KelPathElementRep* rep = CreateCsoElementRepresentation(element);
  if (!rep) return;
  KelRepPath* path = rep->GetRepPath();
  // A generated Rep heads its path (no graphic model above it).
  KelRep* generated = _generatedRep ? path->GetRep(0) : nullptr;
  _selection.push_back({rep, path, generated, nullptr});
  _selectionReps.Append(rep);
  rep->HighLightOn();
  const int furtive = (_interactivityState == 1 || _generatedRep) ? 1 : 0;
  path->SetFurtive(furtive);
  Selection& s = _selection.back();
  if (_type == 3 || _type == 2) {
    s.holder = KelCsoHighlight::Make(_type, *rep);
    KelRepPath alone(nullptr);
    alone.AddRep(*rep);
    for (int i = 0; i < _viewers.Count(); ++i) {
      KelCsoHighlight::Add(*_viewers[i], _type, s.holder, furtive);
      _viewers[i]->DrawElement(alone);
    }
  }
}

void KelVisuController::CsoRemoveElement(const KelPathElement& element) {
  for (std::size_t i = 0; i < _selection.size(); ++i)
    if (_selection[i].rep->GetPathElement() == element) {
      DropSelection(i);
      return;
    }
}

void KelVisuController::DropSelection(std::size_t i) {
  Selection s = _selection[i];
  const int furtive = s.path->GetFurtive();
  if (!furtive) s.rep->HighLightOff();
  if (s.holder) {
    KelRepPath alone(nullptr);
    alone.AddRep(*s.rep);
    for (int v = 0; v < _viewers.Count(); ++v) {
      _viewers[v]->UndrawElement(alone);
      KelCsoHighlight::Remove(*_viewers[v], _type, s.holder, furtive);
    }
    delete s.holder;
  }
  _selection.erase(_selection.begin() + static_cast<std::ptrdiff_t>(i));
  _selectionReps.Remove(s.rep);
  delete s.rep;
  delete s.path;
  if (s.generated) s.generated->Destroy();
}

// ---- Decoding

void* KelVisuController::DecodeNextGraphicElement(const char* className, KelPickPath* path) {
  if (!path) return nullptr;
  KelRep* rep = path->NextChildRep();
  if (!rep) return nullptr;
  KelVisuController* controller = rep->GetControllerId();
  if (!controller) return nullptr;
  return controller->DecodeGraphic(className, path);
}

void* KelVisuController::DecodeGraphic(const char*, KelPickPath*) {
  std::fputs("Overload KelVisuController::DecodeGraphic to adapt to you specific modelisation \n",
             stdout);
  std::fflush(stdout);
  return nullptr;
}

// ---- Identificators

void KelVisuController::SetPersistentId(KelModelIdentificator& oldId,
                                        KelModelIdentificator& newId) {
  KelRep* rep = GetRep(oldId);
  if (!rep) return;
  // The table is keyed by the Rep's identificator: move the entry with it.
  UnreferenceRep(oldId);
  rep->SetPersistentId(newId);
  SetRepInGraphicTable(rep, rep->GetIdentificator());
}

void KelVisuController::ChangeAllId() {
  KelModelIdentificator** ids = nullptr;
  const int n = GetIdentificators(&ids);
  if (n == 0) {
    delete[] ids;
    return;
  }
  // All entries leave the table before any comes back, so that a new id
  // equal to another Rep's old one takes nobody's place.
  std::vector<std::pair<KelRep*, KelModelIdentificator>> moves;
  for (int i = 0; i < n; ++i) {
    KelRep* rep = GetRep(*ids[i]);
    if (!rep) continue;
    KelModelIdentificator next;
    next.SetModelId(reinterpret_cast<void*>(ComputePersistentIntId(ids[i]->GetIntId())));
    moves.emplace_back(rep, next);
  }
  delete[] ids;
  for (auto& m : moves) UnreferenceRep(m.first->GetIdentificator());
  for (auto& m : moves) {
    m.first->SetPersistentId(m.second);
    SetRepInGraphicTable(m.first, m.first->GetIdentificator());
  }
}

// ---- Restore file name

void KelVisuController::SetRestoreFileName(const char* name) {
  if (_restoreFileName) {
    std::free(_restoreFileName);
    _restoreFileName = nullptr;
    return;
  }
  if (!name) return;
  _restoreFileName = strdup(name);
  if (!_restoreFileName) {
    std::fputs(" allocation error unenable to save the restore file name\n", stdout);
    std::fflush(stdout);
  }
}

// ---- Rep paths

void KelVisuController::BuildRepPaths(KelRep& rep, KelRepPath& path) {
  if (path.Size() == 1) _repPaths.AppendUnique(&path);
  list<KelRep*>& parents = rep.GetParents();
  const int n = parents.Count();
  if (n == 0) return;
  if (n == 1) {
    KelRep* parent = parents[0];
    path.AddRep(*parent);
    BuildRepPaths(*parent, path);
    return;
  }
  _repPaths.Remove(&path);
  for (int i = 0; i < n; ++i) {
    KelRep* parent = rep.GetParents()[i];
    auto* copy = new KelRepPath(path);
    copy->AddRep(*parent);
    // Listed before it splits further, so that the recursion can take it out.
    _repPaths.Append(copy);
    BuildRepPaths(*parent, *copy);
  }
  delete &path;
}

// ---- Saving and restoring

int KelVisuController::LoadMarshalling() {
  if (!_LoadToCharge) return 0;
  if (!KelGetEntryPoint(kMarshallingLibrary, nullptr, 1)) {
    std::cerr << "KelVisuController: cannot load " << kMarshallingLibrary
              << ": nothing is saved or restored." << std::endl;
    return 1;
  }
  _LoadToCharge = 0;
  return 0;
}

int KelVisuController::Save(const char* file, const KelExtendable* object, void* interface,
                            int cache) {
  auto* marshallable = static_cast<KelMarshallableCorba*>(interface);
  if (!marshallable) {
    std::fputs("ERROR : Bad Marshalling of :\n", stdout);
    std::fflush(stdout);
    return 1;
  }
  auto open = Entry<OpenMarshallingFn>("OpenMarshalling");
  auto flush = Entry<FlushMarshallingFn>("FlushMarshalling");
  auto close = Entry<CloseMarshallingFn>("CloseMarshalling");
  auto openBuffer = Entry<OpenBufferFn>(cache ? "OpenWriteCache" : "OpenMarshalBuffer");
  auto closeBuffer = Entry<CloseBufferFn>("CloseMarshalBuffer");
  if (!open || !flush || !close || !openBuffer || !closeBuffer) return 1;
  void* handle = open();
  if (!handle) return 1;
  if (marshallable->Marshal(object, handle, 0) != 0) {
    close(handle);
    return 1;
  }
  const std::intptr_t buffer = openBuffer(file, cache ? "cgr" : "wb");
  if (buffer == -1 && cache) {
    std::fputs("---WARNING : model file is Read Only --\n", stdout);
    std::fputs("---          SaveToCach operation disabled --\n", stdout);
    std::fflush(stdout);
    close(handle);
    return 1;
  }
  if (buffer == 0 || buffer == -1) {
    close(handle);
    return 1;
  }
  char header[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', '\0'};
  const int failed = flush(handle, buffer, header);
  close(handle);
  closeBuffer(buffer);
  return failed;
}

void KelVisuController::SaveRepToFile(const char* file, KelRep* rep) {
  if (LoadMarshalling() != 0) return;
  Save(file, rep, rep ? rep->QueryInterface(KelMarshallableCorba::InterfaceName()) : nullptr, 0);
}

// A derived controller saves its graphics as the base does, unless its class
// registers its own interface.
static void* ControllerInterface(const KelVisuController* c) {
  if (void* own = c->QueryInterface(KelMarshallableCorba::InterfaceName())) return own;
  return KelExtendable::QueryInterface(KelVisuController::ClassName(),
                                       KelMarshallableCorba::InterfaceName());
}

void KelVisuController::SaveToFile(const char* file, int mode) {
  _saveMode = mode;
  if (LoadMarshalling() != 0) return;
  Save(file, this, ControllerInterface(this), 0);
}

void KelVisuController::SaveIntoCach(const char* file, int mode) {
  _saveMode = mode;
  if (LoadMarshalling() != 0) return;
  Save(file, this, ControllerInterface(this), 1);
}

KelExtendable* KelVisuController::Restore(const char* file, KelExtendable* context, int cache) {
  if (LoadMarshalling() != 0) return nullptr;
  auto openBuffer = Entry<OpenBufferFn>(cache ? "OpenReadCache" : "OpenMarshalBuffer");
  auto closeBuffer = Entry<CloseBufferFn>("CloseMarshalBuffer");
  auto import = Entry<ImportBufferFn>("ImportMarshalBuffer");
  auto clean = Entry<CleanMarshallingFn>("CleanMarshalling");
  if (!openBuffer || !closeBuffer || !import || !clean) return nullptr;
  const std::intptr_t buffer = openBuffer(file, cache ? "cgr" : "rb");
  if (buffer == -1 && cache) {
    if (_CntlUnmarshalling) delete _CntlUnmarshalling;
    _CntlUnmarshalling = nullptr;
    return nullptr;
  }
  if (buffer == 0 || buffer == -1) return nullptr;
  KelExtendable* object = nullptr;
  int count = 1, length = 0;
  if (import(buffer, &count, nullptr, &length) != 0 || length <= 0 || length > kMaxClassName) {
    std::cerr << "KelVisuController: " << (file ? file : "")
              << ": no class name of a valid length at the start." << std::endl;
  } else {
    std::vector<char> name(static_cast<std::size_t>(length) + 1, '\0');
    int read = length;
    if (import(buffer, &read, name.data(), &length) != 0 || read != length) {
      std::cerr << "KelVisuController: " << (file ? file : "") << ": truncated class name."
                << std::endl;
    } else {
      name[static_cast<std::size_t>(length)] = '\0';
      auto* marshallable = static_cast<KelMarshallableCorba*>(
          KelExtendable::QueryInterface(name.data(), KelMarshallableCorba::InterfaceName()));
      if (marshallable)
        object = marshallable->Unmarshal(reinterpret_cast<void*>(buffer), context, 0);
      else
        BadUnmarshalling(file);
    }
  }
  clean(buffer);
  closeBuffer(buffer);
  return object;
}

KelRep* KelVisuController::RestoreRepFromFile(const char* file) {
  KelExtendable* object = Restore(file, nullptr, 0);
  if (!object) return nullptr;
  if (!object->IsAKindOf(KelRep::ClassName())) {
    // A file of another kind of object: not what was asked for.
    BadUnmarshalling(file);
    delete object;
    return nullptr;
  }
  return static_cast<KelRep*>(object);
}

static KelVisuController* AsController(KelExtendable* object, const char* file) {
  if (!object) return nullptr;
  if (object->IsAKindOf(KelVisuController::ClassName()))
    return static_cast<KelVisuController*>(object);
  BadUnmarshalling(file);
  if (object->IsAKindOf(KelRep::ClassName()))
    static_cast<KelRep*>(object)->Destroy();
  else
    delete object;
  return nullptr;
}

KelVisuController* KelVisuController::RestoreFromFile(const char* file) {
  return AsController(Restore(file, _CntlUnmarshalling, 0), file);
}

KelVisuController* KelVisuController::RestFromCach(const char* file) {
  return AsController(Restore(file, _CntlUnmarshalling, 1), file);
}
