// A 2D indicator that drags a position matrix: the press puts the matrix's
// translation under the cursor, each motion moves it by the cursor's motion.
// The notifications of the drag carry a Kel2DPositionEvent with the matrix.
#pragma once

#include <kel/manipulators/Kel2DIndicator.h>

class Kel2DMatrixIndicator : public Kel2DIndicator {
 public:
  Kel2DMatrixIndicator(KelCommand* father, Kel2DViewpoint& viewpoint);
  Kel2DMatrixIndicator(KelCommand* father, const KelString& name, Kel2DViewpoint& viewpoint);
  ~Kel2DMatrixIndicator() override;

  KEL_DECLARE_META(Kel2DMatrixIndicator);

  int BeginManipulate(KelNotification* notification, KelManipulator* other) override;
  // Keys (the arrows included) do not move the matrix: refused.
  int Manipulate(KelNotification* notification, KelManipulator* other) override;
};
