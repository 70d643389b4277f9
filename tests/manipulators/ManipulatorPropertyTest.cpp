// Random 3D manipulators under random cameras, fed random drags (repeated
// positions, far outside the window, Shift pressed and released, keys, drags
// begun again): the matrix the father gives its Rep stays finite and rigid.
#include <gtest/gtest.h>

#include <kel/manipulators/Kel3DAxisRotator.h>
#include <kel/manipulators/Kel3DAxisTranslator.h>
#include <kel/manipulators/Kel3DPlaneTranslator.h>
#include <kel/manipulators/Kel3DRotator.h>
#include <kel/manipulators/Kel3DTranslator.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cmath>
#include <memory>
#include <random>
#include <sstream>

#include "KelViewerSession.h"

namespace {

class Random {
 public:
  explicit Random(unsigned seed) : _engine(seed) {}
  float Real(float a, float b) { return std::uniform_real_distribution<float>(a, b)(_engine); }
  int Int(int a, int b) { return std::uniform_int_distribution<int>(a, b)(_engine); }
  Kelpoint3f Point(float r) { return Kelpoint3f(Real(-r, r), Real(-r, r), Real(-r, r)); }
  // Now and then an axis, so that planes and axes run along the sight.
  Keldirection3f Direction() {
    if (Int(0, 3) == 0) {
      const int k = Int(0, 2);
      return Keldirection3f(k == 0, k == 1, k == 2);
    }
    Kelvector3f v;
    do v = Point(1).AsVector();
    while (v.Norm() < 0.1f);
    return Keldirection3f(v);
  }

 private:
  std::mt19937 _engine;
};

Kel3DManipulator* MakeManipulator(Random& r, KelCommand* father, Kel3DRep* rep, std::string& what) {
  const Keldirection3f a = r.Direction(), b = r.Direction();
  const Kelpoint3f c = r.Point(2);
  switch (r.Int(0, 6)) {
    case 0:
      what = "axis translator";
      return new Kel3DAxisTranslator(father, rep, a);
    case 1:
      what = "plane translator (normal)";
      return new Kel3DPlaneTranslator(father, rep, a);
    case 2:
      what = "plane translator (two directions)";
      return new Kel3DPlaneTranslator(father, rep, a, b);
    case 3:
      what = "axis rotator";
      return new Kel3DAxisRotator(father, rep, a, c);
    case 4:
      what = "rotator";
      return new Kel3DRotator(father, rep, c);
    case 5:
      what = "translator";
      return new Kel3DTranslator(father, rep, a, b, c);
    default: {
      const auto primary = static_cast<KelManipulationStyle>(r.Int(0, 6));
      const auto alternate = static_cast<KelManipulationStyle>(r.Int(0, 6));
      what = "styles " + std::to_string(primary) + "/" + std::to_string(alternate);
      auto* m = new Kel3DManipulator(father, rep, primary, alternate);
      m->SetReferenceAxis(a, b, c);
      m->SetReferenceAxis(r.Direction());
      return m;
    }
  }
}

TEST(ManipulatorProperty, RandomDragsKeepTheRepsMatrixFiniteAndRigid) {
  keltest::DragViewer drag;
  ASSERT_TRUE(drag.Ready());
  Random r(20240611);
  for (int trial = 0; trial < 300; ++trial) {
    auto* bag = new Kel3DBagRep;
    keltest::BagMover mover(bag);
    std::string what;
    std::unique_ptr<Kel3DManipulator> m(MakeManipulator(r, &mover, bag, what));
    Kel3DViewpoint& v = *drag.viewpoint3D;
    v.SetProjectionType(r.Int(0, 1) ? CONIC_PROJECTION : PARALLEL_PROJECTION);
    v.Set(r.Point(1) + Kelvector3f(0, 0, 20), r.Direction(), r.Direction());
    drag.SetZoom(r.Real(0.1f, 10.0f));

    std::ostringstream log;
    log << "trial " << trial << ", " << what << ":";
    Kelpoint2f pixel(100, 50);
    int modifiers = 0;
    for (int step = 0; step < 40; ++step) {
      const int kind = r.Int(0, 9);
      if (kind == 0) modifiers ^= 1;
      if (kind == 1) pixel = Kelpoint2f(r.Real(-500, 700), r.Real(-500, 600));
      if (kind >= 2) pixel = Kelpoint2f(r.Real(0, 200), r.Real(0, 100));
      // The last kind repeats the position.
      if (m->GetInteractiveState() != 3) {
        KelViewerEvent& press = drag.Mouse(pixel, bag, r.Point(3), modifiers);
        m->Preactivate(&press, nullptr);
        m->Activate(&press, nullptr);
        m->BeginManipulate(&press, nullptr);
        log << " press " << pixel.x << "," << pixel.y;
      } else if (kind == 2) {
        m->Manipulate(&drag.Key(r.Int(1, 13), bag), nullptr);
        log << " key";
      } else if (kind == 3) {
        m->EndManipulate(nullptr, nullptr);
        m->EndActivate(nullptr, nullptr);
        log << " release";
      } else {
        m->Manipulate(&drag.Mouse(pixel, bag, Kelpoint3f(), modifiers), nullptr);
        log << " " << (modifiers ? "shift " : "") << pixel.x << "," << pixel.y;
      }
      const Kel4x4Matrix* matrix = bag->GetMatrix();
      if (!matrix) continue;
      bool finite = true;
      for (int i = 0; i < 16; ++i) finite = finite && std::isfinite(matrix->GetMatrix()[i]);
      ASSERT_TRUE(finite) << log.str();
      ASSERT_NEAR(matrix->GetDeterminant(), 1.0, 1e-3) << log.str();
    }
    m.reset();
    bag->Destroy();
  }
}

}  // namespace
