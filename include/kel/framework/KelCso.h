// The current selection set: model paths (KelPathElement) the user selected.
// Each change is dispatched on the set's connexion as a KelAddElement or
// KelRemoveElement notification carrying the element.
#pragma once

#include <kel/framework/KelNotification.h>
#include <kel/framework/KelNotificationDispatcher.h>
#include <kel/framework/KelPathElement.h>

#include <vector>

class KelCsoNotification : public KelNotification {
 public:
  explicit KelCsoNotification(const KelPathElement& element) : _element(element) {}
  ~KelCsoNotification() override;
  KEL_DECLARE_META(KelCsoNotification);
  const KelPathElement& GetElement() const { return _element; }

 private:
  KelPathElement _element;
};

class KelAddElement : public KelCsoNotification {
 public:
  using KelCsoNotification::KelCsoNotification;
  ~KelAddElement() override;
  KEL_DECLARE_META(KelAddElement);
};

class KelRemoveElement : public KelCsoNotification {
 public:
  using KelCsoNotification::KelCsoNotification;
  ~KelRemoveElement() override;
  KEL_DECLARE_META(KelRemoveElement);
};

class KelCso : public KelNotificationDispatcher {
 public:
  KelCso() = default;
  ~KelCso() override;
  KEL_DECLARE_META(KelCso);

  static const char* CSO_MODIFIED();
  const char* GetConnexion() const override { return CSO_MODIFIED(); }
  // Class names of the two notifications.
  static const char* GetKelAddElement();
  static const char* GetKelRemoveElement();

  // An element equal to one already in the set is not added again. Both
  // answer 1 when the set changed (and the change was dispatched).
  int AddElement(const KelPathElement& element);
  int RemoveElement(const KelPathElement& element);
  // Removes every element, last first.
  void Empty();
  int GetSize() const { return static_cast<int>(_elements.size()); }
  const KelPathElement* GetElement(int i) const;

 private:
  std::vector<KelPathElement> _elements;
};
