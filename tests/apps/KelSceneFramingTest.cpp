// Framing measured on the picture: the corners of a box, moved by a bag's
// matrix, projected by the camera the framing placed, must span 90 % of the
// limiting side, centred, at every scale from 10^-6 to 10^6 units.
#include <gtest/gtest.h>

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/KelSurfacicRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <algorithm>
#include <string>
#include <vector>

#include "KelMeshBuilder.h"
#include "KelRenderMeshFiles.h"
#include "KelSceneFraming.h"

namespace {

TEST(KelSceneFraming, BoxSpansNinetyPercentCentredAtEveryScale) {
  const float width = 400, height = 300;
  for (float size : {1e-6f, 0.05f, 1.0f, 1e5f, 1e6f})
    for (ProjectionType projection : {PARALLEL_PROJECTION, CONIC_PROJECTION}) {
      // A box 1 x 0.5 x 0.25 of `size`, in a bag that doubles it and moves it
      // three sizes away from the origin.
      std::vector<float> v;
      std::vector<unsigned> t;
      kelrendertest::Soup(kelrendertest::Box(0, 0, 0, size, size / 2, size / 4), v, t);
      KelMeshBuilder builder;
      std::string error;
      auto* bag = new Kel3DBagRep;
      const Kel4x4Matrix placing(Kelvector3f(2, 0, 0), Kelvector3f(0, 2, 0), Kelvector3f(0, 0, 2),
                                 Kelvector3f(3 * size, -3 * size, size));
      bag->SetMatrix(placing);
      bag->AddChild(*builder.BuildSurface(v.data(), unsigned(v.size() / 3), nullptr, t.data(),
                                          unsigned(t.size() / 3), KelGraphicAttributeSet(), error));
      Kel3DViewpoint camera;
      Keldirection3f sight, up;
      KelSceneFraming::ViewDirections(30.0, 20.0, KEL_UP_Z, sight, up);
      camera.Set(camera.GetOrigin(), sight, up);
      camera.SetProjectionType(projection);
      ASSERT_TRUE(KelSceneFraming::Frame(camera, *bag, width, height, 1.0f));

      float lo[2] = {1e30f, 1e30f}, hi[2] = {-1e30f, -1e30f};
      for (int corner = 0; corner < 8; ++corner) {
        const Kelpoint3f p(corner & 1 ? size : 0, corner & 2 ? size / 2 : 0,
                           corner & 4 ? size / 4 : 0);
        Kelpoint2f pixel;
        camera.ComputePixelFromModel(placing * p, pixel, width, height, 1.0f, 1.0f);
        lo[0] = std::min(lo[0], pixel.x), hi[0] = std::max(hi[0], pixel.x);
        lo[1] = std::min(lo[1], pixel.y), hi[1] = std::max(hi[1], pixel.y);
      }
      const std::string what = std::to_string(size) + (projection ? " conic" : " parallel");
      const float span = std::max((hi[0] - lo[0]) / width, (hi[1] - lo[1]) / height);
      // Parallel projection is exact; perspective centres what it sees by steps.
      const float tolerance = projection == PARALLEL_PROJECTION ? 0.002f : 0.02f;
      EXPECT_NEAR(span, KelSceneFraming::FILL, tolerance) << what;
      EXPECT_NEAR((lo[0] + hi[0]) / 2, width / 2, tolerance * width) << what;
      EXPECT_NEAR((lo[1] + hi[1]) / 2, height / 2, tolerance * height) << what;
      bag->Destroy();
    }
}

}  // namespace
