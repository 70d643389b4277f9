#include <kel/framework/KelMetaObject.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>

KelMetaObject::KelMetaObject(const char* name) : _name(name) {}

int KelMetaObject::IsAKindOf(const char* name) const {
  if (!name) return 0;
  for (const KelMetaObject* m = this; m; m = m->_base)
    if (std::strcmp(m->_name, name) == 0) return 1;
  return 0;
}

namespace {
struct Registry {
  // std::map keeps the key strings at fixed addresses, so meta objects can
  // point at them.
  std::map<std::string, std::unique_ptr<KelMetaObject>> byName;
};
Registry& registry() {
  static Registry* r = new Registry;  // never destroyed: meta objects outlive statics
  return *r;
}
}  // namespace

KelMetaObject* fct_MetaObjectToFind(const char* name) {
  if (!name) return nullptr;
  auto& map = registry().byName;
  auto it = map.find(name);
  if (it == map.end()) {
    it = map.emplace(name, nullptr).first;
    it->second = std::make_unique<KelMetaObject>(it->first.c_str());
  }
  return it->second.get();
}
