#include <kel/foundations/KelBoundingElement.h>

KEL_IMPLEMENT_META(KelBoundingElement, KelExtendable)

KelBoundingElement::~KelBoundingElement() = default;

KelBoundingElement& KelBoundingElement::operator+=(const KelBoundingElement& b) {
  if (b._invalid) _invalid = 1;
  // The state table is the union of a finite bit (1) and an infinite bit (2).
  _state = (_state | b._state) & 3;
  return *this;
}

KelBoundingElement& KelBoundingElement::operator-=(const KelBoundingElement&) {
  _invalid = 1;
  return *this;
}

void KelBoundingElement::SetEmpty() {
  _state = 0;
  _invalid = 0;
}

void KelBoundingElement::SetInfinite() {
  _state = 2;
  _invalid = 0;
}
