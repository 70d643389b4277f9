// What an application shows: a root bag (the scene's Reps) and the light source set
// that lights it. The lights follow the camera, so that every view shows lit
// sides whatever direction it looks from.
#pragma once

#include <kel/reps/KelLightSourceSet.h>

class Kel3DBagRep;
class Kel3DViewpoint;

class KelAppScene {
 public:
  KelAppScene();
  // Leaves the viewpoint it was attached to, then destroys the Reps.
  ~KelAppScene();
  KelAppScene(const KelAppScene&) = delete;
  KelAppScene& operator=(const KelAppScene&) = delete;

  Kel3DBagRep* GetRoot() const { return _root; }
  const KelLightSourceSet& GetLights() const { return _lights; }

  // Shows the root and the lights' Rep in `viewpoint`, which must outlive the
  // attachment (Detach, or this scene's end, comes first).
  void Attach(Kel3DViewpoint& viewpoint);
  void Detach();
  // Two lights set from the camera's frame: a key light from above left,
  // behind the eye, and a weaker fill light from the right.
  void AimLights(const Kel3DViewpoint& viewpoint);

 private:
  Kel3DBagRep* _root;
  KelLightSourceSet _lights;
  Kel3DViewpoint* _viewpoint = nullptr;
};
