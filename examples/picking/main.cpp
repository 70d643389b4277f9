// Kelvis, picking: what lies under a point of the picture?
//
//   picking [x y]        (pixels from the top left corner; default the centre)
//
// A picking render walks the camera's Reps like the culling pass, but tests
// geometry against a small square around the point instead of drawing it.
// Every primitive hit becomes a pick path: the Reps from the top one down to
// the one hit, the point and the normal there. Sorting puts the hit the user
// most likely meant first.
#include <kel/images/KelPixelImage.h>
#include <kel/picking/KelPickPath.h>
#include <kel/picking/KelPickPathList.h>
#include <kel/picking/KelPickingRender.h>
#include <kel/render/KelDriver.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/reps/Kel3DSimpleSphereRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char** argv) {
  // A box and a ball in front of it, seen from the front (-y) with z up.
  auto* root = new Kel3DBagRep;
  root->AddChild(*new Kel3DCuboidRep(Kelpoint3f(-40, 20, -30), Kelvector3f(80, 0, 0),
                                     Kelvector3f(0, 10, 0), Kelvector3f(0, 0, 60), 253));
  root->AddChild(*new Kel3DSimpleSphereRep(Kelpoint3f(0, 0, 0), 15, 32));

  // The same set-up as a drawing: a support, and a camera framed on the scene.
  KelPixelImage image(400, 300, PixelImageRGB);
  std::unique_ptr<KelSupport> support(createSupport(nullptr, &image));
  if (!support) return 1;
  auto* camera = new Kel3DViewpoint;
  support->AddViewpoint(camera, 1);
  camera->AddRep(root);
  camera->Set(Kelpoint3f(0, 0, 0), Keldirection3f(Kelvector3f(0, 1, 0)),
              Keldirection3f(Kelvector3f(0, 0, 1)));
  float width = 0, height = 0;
  support->GetWidthAndHeight(width, height);
  camera->Reframe(width, height, support->GetMMInSupportUnit(), support->GetRatioWH());

  // The pick: a square of 2 pixels either side of the point.
  const float x = argc > 2 ? float(std::atof(argv[1])) : width / 2;
  const float y = argc > 2 ? float(std::atof(argv[2])) : height / 2;
  KelPickPathList hits;
  KelPickingRender picker(*support, 2, x, y, hits);
  picker.BeginDraw(*camera);
  picker.Draw(*camera);
  picker.EndDraw(*camera);
  hits.SortGraphicAttributeSet();

  if (hits.GetPathCount() == 0) {
    std::printf("nothing at (%g, %g)\n", x, y);
  } else {
    // The first path is the nearest hit; its last Rep is the one hit, and
    // the point and normal are given in world coordinates.
    const KelPickPath* nearest = hits.GetPickPathList()[0];
    const KelRep* rep = nearest->GetRep(nearest->Size() - 1);
    const Kelpoint3f p = nearest->GetGlobalIntersection();
    const Keldirection3f n = nearest->GetGlobalNormal();
    std::printf("%s at (%.2f, %.2f, %.2f), normal (%.2f, %.2f, %.2f), %d hits\n", rep->IsA(), p.x,
                p.y, p.z, n.x, n.y, n.z, hits.GetPathCount());
  }

  hits.Reset();  // the list hands its paths back
  camera->RemoveRep(root);
  support.reset();
  root->Destroy();
  return 0;
}
