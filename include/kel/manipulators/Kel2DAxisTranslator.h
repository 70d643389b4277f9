// Drags a 2D Rep by the cursor's motion in window pixels (y down), added as
// it is to the object position's translation; given a direction, only the
// motion along it counts. Only events with a position (the mouse's) drag: the
// others begin nothing (BeginManipulate answers 1 and sends nothing) and move
// nothing (Manipulate answers 0).
#pragma once

#include <kel/framework/Keldirection2f.h>
#include <kel/manipulators/Kel2DManipulator.h>

class Kel2DAxisTranslator : public Kel2DManipulator {
 public:
  Kel2DAxisTranslator(KelCommand* father, Kel2DRep* rep);
  Kel2DAxisTranslator(KelCommand* father, Kel2DRep* rep, Keldirection2f& direction);
  Kel2DAxisTranslator(KelCommand* father, const KelString& name, Kel2DRep* rep);
  Kel2DAxisTranslator(KelCommand* father, const KelString& name, Kel2DRep* rep,
                      Keldirection2f& direction);
  ~Kel2DAxisTranslator() override;

  KEL_DECLARE_META(Kel2DAxisTranslator);

  int BeginManipulate(KelNotification* notification, KelManipulator* other) override;
  int Manipulate(KelNotification* notification, KelManipulator* other) override;

  const Keldirection2f& GetDirection() const { return _direction; }
  int IsConstrained() const { return _constrained; }

 private:
  Keldirection2f _direction;
  int _constrained = 0;
  Kelpoint2f _startPoint;
  Kelpoint2f _lastDevicePoint;
};
