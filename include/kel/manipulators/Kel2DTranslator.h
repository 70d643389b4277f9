// Drags a 2D Rep freely: the object position moves by as much as the model
// point under the cursor. Only the mouse drags: a drag begun from another
// device answers 1 and sends nothing, and their motions answer 0.
#pragma once

#include <kel/manipulators/Kel2DManipulator.h>

class Kel2DTranslator : public Kel2DManipulator {
 public:
  Kel2DTranslator(KelCommand* father, Kel2DRep* rep);
  Kel2DTranslator(KelCommand* father, const KelString& name, Kel2DRep* rep);
  ~Kel2DTranslator() override;

  KEL_DECLARE_META(Kel2DTranslator);

  int BeginManipulate(KelNotification* notification, KelManipulator* other) override;
  int Manipulate(KelNotification* notification, KelManipulator* other) override;
};
