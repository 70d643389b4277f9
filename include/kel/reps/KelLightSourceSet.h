// A viewer's lighting: none, one or two directional lights given by their
// directions. BuildRep() makes (or brings up to date) the Rep that hands the
// lights to the render; the set owns that Rep.
#pragma once

#include <kel/framework/Keldirection3f.h>

class KelLightSourceSetRep;

class KelLightSourceSet {
 public:
  // No light; both directions (1, 0, 0).
  KelLightSourceSet();
  // One light along d.
  explicit KelLightSourceSet(const Keldirection3f& d);
  KelLightSourceSet(const Keldirection3f& d1, const Keldirection3f& d2);
  // The copy has no Rep.
  KelLightSourceSet(const KelLightSourceSet& other);
  // Takes the count and the directions; this set keeps its own Rep, which
  // follows at the next BuildRep().
  KelLightSourceSet& operator=(const KelLightSourceSet& other);
  virtual ~KelLightSourceSet();

  int GetLightSourceCount() const { return _count; }
  Keldirection3f GetFirstDirection() const;
  Keldirection3f GetSecondDirection() const;
  // Neither changes the count nor the Rep.
  void SetFirstDirection(const Keldirection3f& d);
  void SetSecondDirection(const Keldirection3f& d);
  KelLightSourceSetRep* GetRep() const { return _rep; }

  // Creates the Rep the first time, updates it afterwards; answers it.
  KelLightSourceSetRep* BuildRep();

 private:
  int _count = 0;
  float _first[3] = {1.0f, 0.0f, 0.0f};
  float _second[3] = {1.0f, 0.0f, 0.0f};
  KelLightSourceSetRep* _rep = nullptr;
};
