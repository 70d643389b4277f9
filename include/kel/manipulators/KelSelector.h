// The manipulator of a selection command: pointing at its Reps keeps the
// cursor, and the command's queries for model objects are answered by
// decoding the pick path through the visualization controllers of its Reps.
// The command shows whether the object under the cursor suits it by querying
// KelAcceptDecode or KelRefuseDecode (compared as pointers, not as text).
#pragma once

#include <kel/manipulators/KelManipulator.h>

extern const char* const KelAcceptDecode;
extern const char* const KelRefuseDecode;

class KelSelector : public KelManipulator {
 public:
  KelSelector(KelCommand* father, KelRep* rep);
  KelSelector(KelCommand* father, const KelString& name, KelRep* rep);
  ~KelSelector() override;

  KEL_DECLARE_META(KelSelector);

  void SetSpecificCursor() override;
  // Any class name the base does not answer: the model object of that class
  // the controller decodes from the first candidate's pick path, or 0.
  void* SendCommandSpecificObject(const char* className, KelNotification* notification) override;
};
