#include "KelAppScene.h"

#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/KelLightSourceSetRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

KelAppScene::KelAppScene()
    : _root(new Kel3DBagRep),
      _lights(Keldirection3f::Unchecked(0.0f, 0.0f, 1.0f),
              Keldirection3f::Unchecked(1.0f, 0.0f, 0.0f)) {
  _lights.BuildRep();
}

KelAppScene::~KelAppScene() {
  Detach();
  _root->Destroy();
  // The set deletes its Rep, which belongs to no bag.
}

void KelAppScene::Attach(Kel3DViewpoint& viewpoint) {
  Detach();
  _viewpoint = &viewpoint;
  viewpoint.AddRep(_root);
  viewpoint.AddRep(_lights.GetRep());
}

void KelAppScene::Detach() {
  if (!_viewpoint) return;
  _viewpoint->RemoveRep(_lights.GetRep());
  _viewpoint->RemoveRep(_root);
  _viewpoint = nullptr;
}

void KelAppScene::AimLights(const Kel3DViewpoint& viewpoint) {
  // A light's direction points from the scene towards the light.
  const Kelvector3f back = -viewpoint.GetSightDirection().AsVector();
  const Kelvector3f up = viewpoint.GetUpDirection().AsVector();
  const Kelvector3f right = viewpoint.GetRightDirection().AsVector();
  _lights.SetFirstDirection(Keldirection3f(back * 0.8f + up * 0.7f - right * 0.45f));
  _lights.SetSecondDirection(Keldirection3f(back * 0.6f + right * 0.8f - up * 0.2f));
  _lights.BuildRep();
}
