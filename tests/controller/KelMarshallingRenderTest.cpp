#include <gtest/gtest.h>

#include <kel/controller/KelVisuController.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/images/KelPixelImage.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/render/KelDriver.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/KelSurfacicRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "KelPngImage.h"
#include "KelTestEnv.h"
#include "KelTestScene.h"

namespace {

constexpr int kWidth = 240, kHeight = 180;

// 100 blocks placed by their bags' matrices, each of 37 x 27 unit tiles in
// three colour bands: 100 101 Reps.
Kel3DBagRep* Blocks() {
  auto* root = new Kel3DBagRep;
  for (int b = 0; b < 100; ++b) {
    auto* bag = new Kel3DBagRep;
    bag->SetMatrix(Kel4x4Matrix(Kelvector3f(40.0f * float(b % 10), 30.0f * float(b / 10), 0)));
    for (int t = 0; t < 999; ++t) {
      const int row = t / 37, col = t % 37;
      const auto colour = static_cast<unsigned char>(1 + (b + row / 9) % 7);
      auto* s = new KelSurfacicRep;
      s->AddGeomFace(keltest::SquareFace(float(col), float(row), 0, 0.5f),
                     new KelGraphicAttributeSet(keltest::Look(colour)));
      s->SetGraphicAttributeSet(keltest::Look(colour));
      s->SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(float(col), float(row), 0), 0.71f, 0));
      bag->AddChild(*s);
    }
    root->AddChild(*bag);
  }
  return root;
}

TEST(MarshallingRender, AHundredThousandRepsLookTheSameRestored) {
  KelPixelImage image(kWidth, kHeight, PixelImageRGB);
  std::unique_ptr<KelSupport> support(createSupport(nullptr, &image));
  KEL_REQUIRE(support != nullptr, "the OpenGL driver drawing off-screen");
  // Above the middle of the blocks, looking down.
  auto* viewpoint =
      new Kel3DViewpoint(Kelpoint3f(198, 148, 600), Keldirection3f(0, 0, -1),
                         Keldirection3f(0, 1, 0), 100.0f, 3000.0f, CONIC_PROJECTION, 0.0f);
  support->AddViewpoint(viewpoint, 1);
  // Every tile is under a pixel: none is left out for its size.
  support->SetCullingPrecision(0);
  const std::string reference = keltest::DataPath("controller/blocks.png");

  Kel3DBagRep* model = Blocks();
  viewpoint->AddRep(model);
  support->Draw();
  keltest::ExpectMatchesReference(image, reference, "blocks");
  const std::vector<unsigned char> before(image.GetPixelsToRead(),
                                          image.GetPixelsToRead() + 3 * kWidth * kHeight);
  const std::string file = keltest::OutputPath("blocks.kel");
  KelVisuController saver;
  saver.SaveRepToFile(file.c_str(), model);
  viewpoint->RemoveRep(model);
  model->Destroy();

  KelRep* restored = KelVisuController::RestoreRepFromFile(file.c_str());
  ASSERT_NE(restored, nullptr);
  ASSERT_TRUE(restored->IsAKindOf(Kel3DBagRep::ClassName()));
  auto* back = static_cast<Kel3DBagRep*>(restored);
  std::memset(image.GetPixelsToModify(), 0, before.size());
  viewpoint->AddRep(back);
  support->Draw();
  // The same renderer on the same data: the same pixels, so the reference's.
  EXPECT_EQ(std::memcmp(image.GetPixelsToRead(), before.data(), before.size()), 0);
  viewpoint->RemoveRep(back);
  back->Destroy();
}

}  // namespace
