// Kelvis, first steps: a scene drawn off-screen into a picture file.
//
//   offscreen [picture.tif]
//
// A scene is a graph of representations (Reps): bags that hold other Reps and
// may place them with a matrix, and leaf Reps that hold the geometry. A
// viewpoint (the camera) shows root Reps; a support (a window, or here a
// pixel image) draws its viewpoints through the OpenGL driver, which the
// library loads at run time. No X server is needed off-screen.
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/images/KelPixelImage.h>
#include <kel/images/WriteTIFFPixelImage.h>
#include <kel/render/KelDriver.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/reps/Kel3DCylinderRep.h>
#include <kel/reps/Kel3DSimpleSphereRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cstdio>
#include <memory>

// A Rep's colour lives in its graphic attribute set: RGBA, or an index into
// the support's colour map.
template <class R>
R* Coloured(R* rep, unsigned char r, unsigned char g, unsigned char b) {
  KelGraphicAttributeSet& a = rep->GetGraphicAttributeSet();
  a.color = KelGraphicAttributeSet::RGBA_COLOR;
  a.rgba[0] = r, a.rgba[1] = g, a.rgba[2] = b, a.rgba[3] = 255;
  return rep;
}

// Pixels that differ from the one in the corner.
int SceneCoverage(const KelPixelImage& image) {
  int w = 0, h = 0, n = 0;
  image.GetSize(w, h);
  const unsigned char* p = image.GetPixelsToRead();
  for (int i = 0; i < w * h; ++i)
    n += p[3 * i] != p[0] || p[3 * i + 1] != p[1] || p[3 * i + 2] != p[2];
  return n;
}

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "offscreen.tif";

  // 1. The scene: a plate, and a post with a ball on it placed by a bag's
  //    matrix (lengths are model units; z is up here).
  auto* root = new Kel3DBagRep;
  root->AddChild(*Coloured(new Kel3DCuboidRep(Kelpoint3f(-50, -30, 0), Kelvector3f(100, 0, 0),
                                              Kelvector3f(0, 60, 0), Kelvector3f(0, 0, 8), 253),
                           110, 118, 130));
  auto* post = new Kel3DBagRep;
  post->SetMatrix(Kel4x4Matrix(Kelvector3f(20, 0, 8)));  // a translation
  post->AddChild(
      *Coloured(new Kel3DCylinderRep(Kelpoint3f(0, 0, 0), Kelpoint3f(0, 0, 40), 6), 205, 207, 214));
  post->AddChild(*Coloured(new Kel3DSimpleSphereRep(Kelpoint3f(0, 0, 46), 12, 32), 196, 52, 44));
  root->AddChild(*post);

  // 2. A picture, and a support that draws into it through the driver.
  KelPixelImage image(640, 480, PixelImageRGB);
  std::unique_ptr<KelSupport> support(createSupport(nullptr, &image));
  if (!support) {
    std::fprintf(stderr, "offscreen: the driver cannot draw off-screen\n");
    return 1;
  }

  // 3. The camera: looking down at the scene from the front right. The
  //    support owns it; Reframe moves it back until the scene fits.
  auto* camera = new Kel3DViewpoint;
  support->AddViewpoint(camera, 1);
  camera->AddRep(root);
  camera->Set(Kelpoint3f(0, 0, 0), Keldirection3f(Kelvector3f(-1, 1, -0.8f)),
              Keldirection3f(Kelvector3f(0, 0, 1)));
  float width = 0, height = 0;
  support->GetWidthAndHeight(width, height);
  camera->Reframe(width, height, support->GetMMInSupportUnit(), support->GetRatioWH());

  // 4. One frame: the culling pass keeps what is visible and large enough,
  //    the drawing pass draws it and reads the pixels back into the image.
  support->Draw();

  // 5. The pixels: three bytes a pixel, the bottom row first. The corner
  //    shows the background.
  std::printf("%d of %d pixels show the scene\n", SceneCoverage(image), 640 * 480);

  // 6. The picture file (the library also writes SGI RGB and its picture format).
  const int written = WriteTIFFPixelImage(&image, path, CodingNone);
  std::printf("%s: %s\n", path, written == 0 ? "written" : "NOT written");

  // Reps belong to the application: take them out of the camera (which the
  // support deletes), then destroy the root, which destroys its children.
  camera->RemoveRep(root);
  support.reset();
  root->Destroy();
  return written == 0 ? 0 : 1;
}
