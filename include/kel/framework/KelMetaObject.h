// Run-time class descriptions: one meta object per class name, created on first
// request and kept for the life of the process.
#pragma once

class KelMetaObject {
 public:
  explicit KelMetaObject(const char* name);
  KelMetaObject(const KelMetaObject&) = delete;
  KelMetaObject& operator=(const KelMetaObject&) = delete;

  // The three set-up steps a class performs once, in this order.
  void SetClassKind(int kind) { _kind = kind; }
  void SetBaseMetaObject(KelMetaObject* base) { _base = base; }
  void SetRootMetaObject(KelMetaObject* root, KelMetaObject** classSlot) {
    _root = root;
    _classSlot = classSlot;
  }

  const char* GetClassName() const { return _name; }
  int GetClassKind() const { return _kind; }
  KelMetaObject* GetBaseMetaObject() const { return _base; }
  KelMetaObject* GetRootMetaObject() const { return _root; }
  KelMetaObject** GetClassSlot() const { return _classSlot; }
  int IsInitialized() const { return _kind != 0; }

  // Non-zero when `name` is this class or one of its bases.
  int IsAKindOf(const char* name) const;

 private:
  const char* _name;  // owned by the registry, lives as long as the process
  int _kind = 0;
  KelMetaObject* _base = nullptr;
  KelMetaObject* _root = nullptr;
  KelMetaObject** _classSlot = nullptr;
};

// The single meta object of a class name; the same pointer for the same name
// throughout the process. Never returns null for a non-null name.
KelMetaObject* fct_MetaObjectToFind(const char* name);
