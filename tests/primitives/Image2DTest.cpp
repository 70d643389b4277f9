// Pixel images placed in the 2D model: resampled to the screen, only their
// visible part sent to the render.
#include <gtest/gtest.h>

#include <kel/images/KelPixelImage.h>
#include <kel/primitives/Kel2DImagePixelGP.h>
#include <kel/viewpoints/Kel2DViewpoint.h>

#include <vector>

#include "KelRecordingRender.h"

namespace {

// One model unit a pixel, the view from -50 to 50 on both axes; the image is
// 10 x 6 pixels of 2 model units: 20 x 12 on the screen.
class Image2D : public testing::Test {
 protected:
  Image2D() : camera(Kelpoint2f(0, 0), 1.0f), image(10, 6, PixelImageRGB) {
    image.SetXPixelSize(2.0f);
    image.SetYPixelSize(2.0f);
  }
  std::vector<KelRecordingRender::Shape2D> Draw(const float x, const float y,
                                                const KelPixelImage* what,
                                                float modelPerPixel = 1) {
    const float at[2] = {x, y};
    Kel2DImagePixelGP gp(at, what, 0);
    KelRecordingRender render;
    render.immediate = 1;
    render.LookThrough(camera, 100, 100, 1);
    render.SetModelPerPixel(modelPerPixel);
    gp.Draw(render);
    render.EndDraw(camera);
    return render.shapes2D;
  }

  Kel2DViewpoint camera;
  KelPixelImage image;
};

TEST_F(Image2D, ZoomedToItsPlaceOnTheScreen) {
  auto inside = Draw(-10, -10, &image);
  ASSERT_EQ(inside.size(), 1u);
  EXPECT_EQ(inside[0].kind, "image 20x12 0");
  EXPECT_EQ(inside[0].points, (std::vector<float>{-10, -10}));
  // 10 screen pixels cut off on the left: image columns 5 to 9, drawn from
  // the view's left side.
  auto cut = Draw(-60, 0, &image);
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0].kind, "image 10x12 0");
  EXPECT_EQ(cut[0].points, (std::vector<float>{-50, 0}));
  EXPECT_TRUE(Draw(100, 100, &image).empty());
}

TEST_F(Image2D, NothingToDivideByDrawsNothing) {
  EXPECT_TRUE(Draw(0, 0, &image, 0.0f).empty()) << "no model size of a pixel";
  EXPECT_TRUE(Draw(0, 0, nullptr).empty());
  KelPixelImage flat(10, 6, PixelImageRGB);
  flat.SetXPixelSize(0.0f);
  EXPECT_TRUE(Draw(0, 0, &flat).empty());
  KelPixelImage empty(0, 6, PixelImageRGB);
  EXPECT_TRUE(Draw(0, 0, &empty).empty());
}

}  // namespace
