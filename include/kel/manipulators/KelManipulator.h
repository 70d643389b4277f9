// Interactive behaviour attached to Reps. So far only what a Rep calls when it
// dies: the manipulator forgets it.
#pragma once

#include <vector>

class KelRep;

class KelManipulator {
 public:
  KelManipulator() = default;
  virtual ~KelManipulator();
  KelManipulator(const KelManipulator&) = delete;
  KelManipulator& operator=(const KelManipulator&) = delete;

  // Forgets `rep`, which is being destroyed; answers 1 when it was known.
  virtual int DereferenceRep(KelRep* rep);
  void ReferenceRep(KelRep* rep);
  int GetRepCount() const { return static_cast<int>(_reps.size()); }

 private:
  std::vector<KelRep*> _reps;
};
