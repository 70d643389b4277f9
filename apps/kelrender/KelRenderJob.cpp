#include "KelRenderJob.h"

#include "KelDefaultScene.h"
#include "KelDrawingSheet.h"
#include "KelImageFileWriter.h"
#include "KelMeshLoader.h"
#include "KelRenderOptions.h"
#include "KelRenderScene.h"
#include "KelRenderStatus.h"

#include <kel/images/KelPixelImage.h>
#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/render/KelDriver.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/viewers/KelColorMap.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iomanip>
#include <memory>
#include <ostream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

void Report(std::ostream& out, const char* what, double ms) {
  out << "  " << std::left << std::setw(6) << what << std::right << std::fixed
      << std::setprecision(1) << std::setw(9) << ms << " ms\n";
}

}  // namespace

void KelRenderJob::ViewDirections(double azimuth, double elevation, Keldirection3f& sight,
                                  Keldirection3f& up) {
  constexpr double kDegree = 3.14159265358979323846 / 180.0;
  const double a = azimuth * kDegree, e = elevation * kDegree;
  // From the scene towards the eye; up is its derivative along the elevation,
  // so the poles need no special case.
  const double eye[3] = {std::cos(e) * std::sin(a), -std::cos(e) * std::cos(a), std::sin(e)};
  sight = Keldirection3f(Kelvector3f(float(-eye[0]), float(-eye[1]), float(-eye[2])));
  up = Keldirection3f(Kelvector3f(float(-std::sin(e) * std::sin(a)),
                                  float(std::sin(e) * std::cos(a)), float(std::cos(e))));
}

int KelRenderJob::Run(const KelRenderOptions& options, std::ostream& out, std::ostream& err) {
  std::string error;
  // The output first: a bad name or directory should not cost a render.
  KelImageFileWriter writer(options.output);
  if (!writer.Open(error)) {
    err << "kelrender: " << error << "\n";
    return writer.GetFormat() == KelImageFileWriter::UNKNOWN ? KELRENDER_USAGE
                                                             : KELRENDER_OUTPUT_FAILED;
  }

  // Declared before the scene so that the scene leaves the support's viewpoint
  // before the support deletes it.
  std::unique_ptr<KelSupport> support;
  KelRenderScene scene;
  std::unique_ptr<KelDrawingSheet> sheet;

  const Clock::time_point loadStart = Clock::now();
  std::string description;
  if (options.sheet2D) {
    sheet = std::make_unique<KelDrawingSheet>();
    description = "2D drawing sheet";
  } else if (options.input.empty()) {
    // Axes in proportion to the picture, as a person would draw them.
    KelDefaultScene::Build(scene, std::max(10, std::min(options.width, options.height) / 14));
    description = "default assembly";
  } else {
    KelMeshLoader loader;
    const int status = loader.Load(options.input, *scene.GetRoot(), error);
    for (const std::string& warning : loader.GetWarnings())
      err << "kelrender: warning: " << options.input << ": " << warning << "\n";
    if (status != KELRENDER_OK) {
      err << "kelrender: " << error << "\n";
      return status;
    }
    description = options.input + ": " + std::to_string(loader.GetTriangleCount()) +
                  " triangles, " + std::to_string(loader.GetEdgeCount()) + " edges";
  }
  const double loadMs = Milliseconds(loadStart, Clock::now());

  const Kel3DBoundingSphere sphere = scene.GetRoot()->GetBoundingElement();
  if (!sheet && (!(sphere.GetRadius() > 0.0f) || !std::isfinite(sphere.GetRadius()) ||
                 !std::isfinite(sphere.GetCenter()[0]) || !std::isfinite(sphere.GetCenter()[1]) ||
                 !std::isfinite(sphere.GetCenter()[2]))) {
    err << "kelrender: nothing to frame: the scene has no finite extent\n";
    return KELRENDER_INPUT_MALFORMED;
  }

  const Clock::time_point setupStart = Clock::now();
  KelPixelImage image(options.width, options.height, PixelImageRGB);
  if (!image.GetPixelsToModify()) {
    err << "kelrender: no memory for a " << options.width << " x " << options.height << " image\n";
    return KELRENDER_DRAW_FAILED;
  }
  support.reset(createSupport(nullptr, &image));
  if (!support || !support->MakeCurrent()) {
    err << "kelrender: the graphics driver cannot draw off-screen (see above)\n";
    return KELRENDER_DRAW_FAILED;
  }
  if (KelColorMap* colours = support->GetColorMap())
    colours->SetColor(KelGraphicAttributeSet::BACKGROUND_COLOR, int(options.background[0]),
                      int(options.background[1]), int(options.background[2]));

  float width = 0, height = 0;
  support->GetWidthAndHeight(width, height);
  if (sheet) {
    auto* camera = new Kel2DViewpoint;
    support->AddViewpoint(camera, 1);
    sheet->Attach(*camera, width, height, support->GetMMInSupportUnit(), support->GetRatioWH());
  } else {
    auto* viewpoint = new Kel3DViewpoint;
    support->AddViewpoint(viewpoint, 1);
    scene.Attach(*viewpoint);
    Keldirection3f sight, up;
    ViewDirections(options.azimuth, options.elevation, sight, up);
    viewpoint->Set(Kelpoint3f(sphere.GetCenter()), sight, up);
    viewpoint->SetProjectionType(options.parallel ? PARALLEL_PROJECTION : CONIC_PROJECTION);
    viewpoint->Reframe(width, height, support->GetMMInSupportUnit(), support->GetRatioWH());
    scene.AimLights(*viewpoint);
  }
  const double setupMs = Milliseconds(setupStart, Clock::now());

  // The support's Draw(), in two timed halves.
  KelGraphicPrimitive::Lock();
  const Clock::time_point cullStart = Clock::now();
  list<KelViewpoint*> culled = support->Culling(support->GetListOfViewpoint());
  const Clock::time_point drawStart = Clock::now();
  support->Drawing(culled);
  const Clock::time_point drawEnd = Clock::now();
  KelGraphicPrimitive::Unlock();

  const Clock::time_point writeStart = Clock::now();
  if (!writer.Write(image, error)) {
    err << "kelrender: " << error << "\n";
    return KELRENDER_OUTPUT_FAILED;
  }
  const double writeMs = Milliseconds(writeStart, Clock::now());

  out << "kelrender: " << description << "\n"
      << "  " << options.width << " x " << options.height << " pixels, ";
  if (sheet)
    out << "framed in 2D\n";
  else
    out << "view " << options.view << ", " << (options.parallel ? "parallel" : "conic")
        << " projection\n";
  Report(out, "load", loadMs);
  Report(out, "setup", setupMs);
  Report(out, "cull", Milliseconds(cullStart, drawStart));
  Report(out, "draw", Milliseconds(drawStart, drawEnd));
  Report(out, "write", writeMs);
  out << "wrote " << options.output << " (" << KelImageFileWriter::FormatName(writer.GetFormat())
      << ")\n";
  return KELRENDER_OK;
}
