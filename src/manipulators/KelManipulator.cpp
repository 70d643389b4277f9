#include <kel/manipulators/KelManipulator.h>

#include <algorithm>

KelManipulator::~KelManipulator() = default;

void KelManipulator::ReferenceRep(KelRep* rep) {
  if (rep && std::find(_reps.begin(), _reps.end(), rep) == _reps.end()) _reps.push_back(rep);
}

int KelManipulator::DereferenceRep(KelRep* rep) {
  auto it = std::find(_reps.begin(), _reps.end(), rep);
  if (it == _reps.end()) return 0;
  _reps.erase(it);
  return 1;
}
