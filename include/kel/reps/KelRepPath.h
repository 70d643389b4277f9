// One route through the scene graph, from a root Rep (index 0) down to a leaf,
// with the viewpoint it is seen in and optional sub-element numbers of the
// leaf. The path refers to its Reps without owning them. Walk it with
// InitToTopRep() then NextChildRep(), or InitToLeafRep() then NextFatherRep().
#pragma once

#include <kel/framework/list.h>

class KelRep;
class KelViewpoint;

class KelRepPath {
 public:
  explicit KelRepPath(KelViewpoint* viewpoint = nullptr);
  KelRepPath(const KelRepPath& other);
  // Copies everything but the sub-element list, which stays as it was.
  KelRepPath& operator=(const KelRepPath& other);
  virtual ~KelRepPath();

  virtual void InitToTopRep();
  virtual void InitToLeafRep();

  void AddRep(KelRep& rep);
  void RemoveRep(KelRep& rep);
  int Size() const { return _reps.Count(); }
  int GetCursorPosition() const { return _cursor; }
  KelRep* NextChildRep() { return NextElement(); }
  KelRep* NextFatherRep() { return NextElement(); }
  KelRep* GetCurrentRep() const;
  KelRep* GetRep(int i) const { return (i >= 0 && i < _reps.Count()) ? _reps[i] : nullptr; }
  const list<KelRep*>& GetReps() const { return _reps; }

  KelViewpoint* GetViewpoint() const { return _viewpoint; }
  void SetViewpoint(KelViewpoint* viewpoint) { _viewpoint = viewpoint; }
  int GetFurtive() const { return _furtive; }
  void SetFurtive(const int furtive) { _furtive = furtive; }
  int GetOverlay() const { return _overlay; }
  void SetOverlay(const int overlay) { _overlay = overlay; }

  void SetSubElementList(const list<int>& numbers) { _subElements = numbers; }
  const list<int>& GetSubElementList() const { return _subElements; }
  int HasSubElement() const { return _subElements.Count(); }

 protected:
  KelRep* NextElement();

  int _cursor = 0;
  int _step = 1;
  int _limit = 0;
  list<KelRep*> _reps;
  KelViewpoint* _viewpoint = nullptr;
  int _furtive = 0;
  int _overlay = 0;
  list<int> _subElements;
};
