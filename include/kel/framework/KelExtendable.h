// Base of every object that carries a meta object. The twelve virtual operations
// keep the object model's slot order; the extension hooks are inert here because
// the library composes by inheritance only.
#pragma once

#include <kel/framework/KelMetaObject.h>

class KelExtendable {
 public:
  KelExtendable() = default;
  KelExtendable(const KelExtendable&) = default;
  KelExtendable& operator=(const KelExtendable&) = default;

  virtual void* QueryOnObject(const char* name) const;
  virtual ~KelExtendable();
  virtual KelMetaObject* GiveMetaObject() const;
  virtual int AddExtension(KelExtendable* extension);
  virtual int AddInterface(KelExtendable* implementation, const char* interfaceName);
  virtual int RemoveExtendPart(KelExtendable* part);
  virtual const char* IsA() const;
  virtual int IsAKindOf(const char* name) const;
  virtual void SetImpl(KelExtendable* implementation);
  virtual KelExtendable* GetImpl(int level) const;
  virtual void* QueryInterface(const char* interfaceName) const;
  virtual const void* GiveMethodArray() const;

  static KelMetaObject* meta_object;
  static void InitMeta();
  static KelMetaObject* MetaObject();
  static const char* ClassName();
  static KelExtendable* CreateItself();

  // Interfaces are registered per class name and found for that exact class
  // only (a derived class must register its own), so that an object is never
  // handled through an interface written for its base. A module registers its
  // implementations when it is loaded; a null implementation unregisters.
  static void RegisterInterface(const char* className, const char* interfaceName,
                                void* implementation);
  static void* QueryInterface(const char* className, const char* interfaceName);
};

// The class-level meta-object functions of a library class. Put
// KEL_DECLARE_META(C) in the public part of the class and
// KEL_IMPLEMENT_META(C, B) in its source file, B being the direct base.
#define KEL_DECLARE_META(C)                       \
  static KelMetaObject* meta_object;              \
  static void InitMeta();                         \
  static KelMetaObject* MetaObject();             \
  static const char* ClassName();                 \
  static C* CreateItself();                       \
  KelMetaObject* GiveMetaObject() const override; \
  const char* IsA() const override;               \
  int IsAKindOf(const char* name) const override

#define KEL_IMPLEMENT_META(C, B)                                         \
  KelMetaObject* C::meta_object = nullptr;                               \
  void C::InitMeta() {                                                   \
    if (meta_object) return;                                             \
    KelMetaObject* m = fct_MetaObjectToFind(#C);                         \
    m->SetClassKind(1);                                                  \
    m->SetBaseMetaObject(B::MetaObject());                               \
    m->SetRootMetaObject(fct_MetaObjectToFind("KelNull"), &meta_object); \
    meta_object = m;                                                     \
  }                                                                      \
  KelMetaObject* C::MetaObject() {                                       \
    InitMeta();                                                          \
    return meta_object;                                                  \
  }                                                                      \
  const char* C::ClassName() {                                           \
    return MetaObject()->GetClassName();                                 \
  }                                                                      \
  C* C::CreateItself() {                                                 \
    return nullptr;                                                      \
  }                                                                      \
  KelMetaObject* C::GiveMetaObject() const {                             \
    return MetaObject();                                                 \
  }                                                                      \
  const char* C::IsA() const {                                           \
    return ClassName();                                                  \
  }                                                                      \
  int C::IsAKindOf(const char* name) const {                             \
    return MetaObject()->IsAKindOf(name);                                \
  }
