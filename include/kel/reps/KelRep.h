// A node of the scene graph that viewers draw and pick. A Rep carries the
// attributes its subtree is drawn with, a back-reference to every bag that
// holds it (the parents list acts as its reference count), the model object it
// shows and the controller that made it, and optionally a manipulator.
// Release a Rep with Destroy(): it leaves its bags first.
#pragma once

#include <kel/controller/KelModelIdentificator.h>
#include <kel/framework/KelExtendable.h>
#include <kel/framework/list.h>
#include <kel/reps/KelGraphicAttributeSet.h>

class KelRender;
class KelRepPath;
class KelPathElement;
class KelVisuController;
class KelManipulator;

class KelRep : public KelExtendable {
 public:
  KelRep();
  KelRep(KelModelIdentificator& id, KelVisuController* controller);
  ~KelRep() override;
  KelRep(const KelRep&) = delete;
  KelRep& operator=(const KelRep&) = delete;

  KEL_DECLARE_META(KelRep);

  virtual void Destroy();
  virtual list<KelRep*>* GetChildren();
  virtual KelGraphicAttributeSet& GetGraphicAttributeSet();
  virtual void SetGraphicAttributeSet(const KelGraphicAttributeSet& a);
  virtual void HighLightOn();
  virtual void HighLightOff();
  virtual void HighLightOn(KelRepPath& path);
  virtual void HighLightOff(KelRepPath& path);
  virtual void TemporyNoshowOn();
  virtual void TemporyNoshowOff();
  virtual int IsTemporyHidden();
  virtual void TemporyNoshowOn(KelRepPath& path);
  virtual void TemporyNoshowOff(KelRepPath& path);
  virtual void SetColor(unsigned int c);
  virtual void SetColor(unsigned int c, KelRepPath& path);
  virtual int BuildHightlightLook(const KelPathElement& element, KelRepPath& path);
  virtual void AddParent(KelRep& p);
  virtual void RemoveParent(KelRep& p);
  virtual list<KelRep*>& GetParents();
  virtual void DrawWireframe(KelRender& render, int inside);
  virtual void DrawShading(KelRender& render, int inside);
  virtual void DrawPath(KelRender& render, int inside, KelRepPath& path);
  virtual void ComputeMesh(int level);
  virtual void ComputeWireframe(int level);
  virtual KelModelIdentificator& GetIdentificator();
  virtual void SetPersistentId(KelModelIdentificator& id);
  virtual void SetUnPersistentId(KelModelIdentificator& id);
  virtual void SortGraphicAttributeSet();
  virtual void ComputeBoundingElement();

  void SetNewId(KelModelIdentificator& id);
  KelVisuController* GetControllerId() const { return _controller; }
  void SetControllerId(KelVisuController* controller) { _controller = controller; }
  KelManipulator* GetManipulator() const { return _manipulator; }
  void SetManipulator(KelManipulator* manipulator) { _manipulator = manipulator; }
  const KelGraphicAttributeSet& GetGraphicAttributeSet() const { return _attributes; }

 protected:
  // Asks every parent, in order, to recompute its volume.
  void ComputeParentsBoundingElement();
  // Leaves every bag that still holds this Rep (used before deletion).
  void DetachFromParents();
  // A bag removes `child` when it is of the kind it holds; other Reps have no
  // children and do nothing.
  virtual void ReleaseChild(KelRep& child);
  // Whether `rep` is this Rep or one of its ancestors: adding it below this
  // Rep would close a cycle.
  int IsSelfOrAncestor(const KelRep& rep) const;

  KelGraphicAttributeSet _attributes;
  KelModelIdentificator _identificator;
  KelVisuController* _controller = nullptr;
  list<KelRep*> _parents;
  KelManipulator* _manipulator = nullptr;
};
