// A primitive made of other primitives, drawn in array order and owned.
#pragma once

#include <kel/primitives/KelGraphicPrimitive.h>

class KelBagGP : public KelGraphicPrimitive {
 public:
  KelBagGP() = default;
  // Takes ownership of the n primitives; the caller keeps the array it passed.
  KelBagGP(const int n, KelGraphicPrimitive** primitives);
  ~KelBagGP() override;
  KelBagGP(const KelBagGP&) = delete;
  KelBagGP& operator=(const KelBagGP&) = delete;

  KEL_DECLARE_META(KelBagGP);

  void Draw(KelRender& render) override;
  // The i-th child; the caller keeps 0 <= i < GetCount().
  virtual KelGraphicPrimitive* Get_Son(const int i);
  virtual KelGraphicPrimitive** GetChildren();
  int GetCount() const { return _count; }

 private:
  KelGraphicPrimitive** _children = nullptr;
  int _count = 0;
};
