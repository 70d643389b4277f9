#include <kel/framework/KelExtendable.h>

#include <map>
#include <string>
#include <utility>

namespace {
std::map<std::pair<std::string, std::string>, void*>& Interfaces() {
  static std::map<std::pair<std::string, std::string>, void*> interfaces;
  return interfaces;
}
}  // namespace

KelMetaObject* KelExtendable::meta_object = nullptr;

void KelExtendable::InitMeta() {
  if (meta_object) return;
  KelMetaObject* m = fct_MetaObjectToFind("KelExtendable");
  m->SetClassKind(1);
  m->SetBaseMetaObject(nullptr);
  m->SetRootMetaObject(fct_MetaObjectToFind("KelNull"), &meta_object);
  meta_object = m;
}

KelMetaObject* KelExtendable::MetaObject() {
  InitMeta();
  return meta_object;
}

const char* KelExtendable::ClassName() {
  return MetaObject()->GetClassName();
}
KelExtendable* KelExtendable::CreateItself() {
  return nullptr;
}

KelExtendable::~KelExtendable() = default;

void* KelExtendable::QueryOnObject(const char*) const {
  return nullptr;
}
KelMetaObject* KelExtendable::GiveMetaObject() const {
  return MetaObject();
}
int KelExtendable::AddExtension(KelExtendable*) {
  return 0;
}
int KelExtendable::AddInterface(KelExtendable*, const char*) {
  return 0;
}
int KelExtendable::RemoveExtendPart(KelExtendable*) {
  return 0;
}
const char* KelExtendable::IsA() const {
  return ClassName();
}
int KelExtendable::IsAKindOf(const char* name) const {
  return MetaObject()->IsAKindOf(name);
}
void KelExtendable::SetImpl(KelExtendable*) {}
KelExtendable* KelExtendable::GetImpl(int) const {
  return const_cast<KelExtendable*>(this);
}
void* KelExtendable::QueryInterface(const char* interfaceName) const {
  return QueryInterface(IsA(), interfaceName);
}

void KelExtendable::RegisterInterface(const char* className, const char* interfaceName,
                                      void* implementation) {
  if (!className || !interfaceName) return;
  if (implementation)
    Interfaces()[{className, interfaceName}] = implementation;
  else
    Interfaces().erase({className, interfaceName});
}

void* KelExtendable::QueryInterface(const char* className, const char* interfaceName) {
  if (!className || !interfaceName) return nullptr;
  auto it = Interfaces().find({className, interfaceName});
  return it == Interfaces().end() ? nullptr : it->second;
}
const void* KelExtendable::GiveMethodArray() const {
  return nullptr;
}
