#include <kel/framework/KelCso.h>

#include <algorithm>

KEL_IMPLEMENT_META(KelCsoNotification, KelNotification)
KEL_IMPLEMENT_META(KelAddElement, KelCsoNotification)
KEL_IMPLEMENT_META(KelRemoveElement, KelCsoNotification)
KEL_IMPLEMENT_META(KelCso, KelNotificationDispatcher)

KelCsoNotification::~KelCsoNotification() = default;
KelAddElement::~KelAddElement() = default;
KelRemoveElement::~KelRemoveElement() = default;
KelCso::~KelCso() = default;

const char* KelCso::CSO_MODIFIED() {
  return "CSO_MODIFIED";
}
const char* KelCso::GetKelAddElement() {
  return KelAddElement::ClassName();
}
const char* KelCso::GetKelRemoveElement() {
  return KelRemoveElement::ClassName();
}

int KelCso::AddElement(const KelPathElement& element) {
  if (std::find(_elements.begin(), _elements.end(), element) != _elements.end()) return 0;
  _elements.push_back(element);
  KelAddElement n(element);
  Dispatch(&n);
  return 1;
}

int KelCso::RemoveElement(const KelPathElement& element) {
  auto it = std::find(_elements.begin(), _elements.end(), element);
  if (it == _elements.end()) return 0;
  // Listeners get the element after it has left the set.
  KelRemoveElement n(*it);
  _elements.erase(it);
  Dispatch(&n);
  return 1;
}

void KelCso::Empty() {
  while (!_elements.empty()) RemoveElement(_elements.back());
}

const KelPathElement* KelCso::GetElement(int i) const {
  return i >= 0 && i < GetSize() ? &_elements[i] : nullptr;
}
