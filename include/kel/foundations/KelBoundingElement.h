// Common state of the bounding volumes, and a mark telling that the volume no
// longer reflects its content. State: 0 empty, 1 finite, 2 infinite, 3 a finite
// part and an infinite part together.
#pragma once

#include <kel/framework/KelExtendable.h>

class KelBoundingElement : public KelExtendable {
 public:
  KelBoundingElement() = default;
  KelBoundingElement(const KelBoundingElement& b) = default;
  ~KelBoundingElement() override;

  KEL_DECLARE_META(KelBoundingElement);

  // Copies state and invalid mark.
  KelBoundingElement& operator=(const KelBoundingElement& b) = default;
  // Combines the states; an invalid b makes this invalid for good.
  KelBoundingElement& operator+=(const KelBoundingElement& b);
  // Removing content cannot be computed locally: marks this invalid, the owner
  // recomputes.
  KelBoundingElement& operator-=(const KelBoundingElement& b);

  int IsEmpty() const { return _state == 0; }
  // A mixed volume is not infinite.
  int IsInfinite() const { return _state == 2; }
  int IsInvalid() const { return _invalid; }
  int GetState() const { return _state; }

  void SetEmpty();
  void SetInfinite();

 protected:
  // Finite or mixed: the geometric part is meaningful.
  bool HasFinitePart() const { return _state == 1 || _state == 3; }
  void SetState(int state) { _state = state; }

 private:
  int _state = 0;
  int _invalid = 0;
};
