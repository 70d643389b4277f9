// A 3D leaf for the scene-graph tests: a sphere of its own, a name it writes
// into the recording render's log when drawn, and a count of the live leaves.
#pragma once

#include <kel/reps/Kel3DRep.h>

#include <string>

#include "KelRecordingRender.h"

class TestLeafRep : public Kel3DRep {
 public:
  static int alive;

  TestLeafRep(const char* name, Kelpoint3f centre = Kelpoint3f(0, 0, 0), float radius = 1.0f)
      : _name(name) {
    ++alive;
    SetBoundingElement(Kel3DBoundingSphere(centre, radius, 0.0f));
  }
  ~TestLeafRep() override { --alive; }

  void DrawShading(KelRender& render, int inside) override {
    int flag = inside;
    if (!OkToDraw(render, &flag)) return;
    if (auto* rec = dynamic_cast<KelRecordingRender*>(&render))
      rec->Record("leaf " + _name + (inside ? " inside" : ""));
  }

 private:
  std::string _name;
};
