#include "KelRenderJob.h"

#include "KelAppScene.h"
#include "KelAppStatus.h"
#include "KelDrawingSheet.h"
#include "KelImageFileWriter.h"
#include "KelRenderOptions.h"
#include "KelSceneContent.h"
#include "KelSceneFraming.h"

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

// True when every pixel has the background's colour.
bool OnlyBackground(const KelPixelImage& image, const unsigned char background[3]) {
  int w = 0, h = 0;
  image.GetSize(w, h);
  const unsigned char* p = image.GetPixelsToRead();
  const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
  for (size_t i = 0; p && i < n; ++i)
    if (p[3 * i] != background[0] || p[3 * i + 1] != background[1] || p[3 * i + 2] != background[2])
      return false;
  return true;
}

}  // namespace

int KelRenderJob::Run(const KelRenderOptions& options, std::ostream& out, std::ostream& err) {
  const KelSceneOptions& o = options.scene;
  std::string error;
  // The output first: a bad name or directory should not cost a render.
  KelImageFileWriter writer(options.output, KelImageFileWriter::FormatNamed(options.format));
  if (!writer.Open(error)) {
    err << "kelrender: " << error << "\n";
    return writer.GetFormat() == KelImageFileWriter::UNKNOWN ? KELAPP_USAGE : KELAPP_OUTPUT_FAILED;
  }
  // The picture may be going to the standard output.
  std::ostream& report = writer.GetTarget() == "-" ? err : out;

  // Declared before the scene so that the scene leaves the support's viewpoint
  // before the support deletes it.
  std::unique_ptr<KelSupport> support;
  KelAppScene scene;
  std::unique_ptr<KelDrawingSheet> sheet;

  const Clock::time_point loadStart = Clock::now();
  std::string description;
  KelUpAxis upAxis = KEL_UP_Z;
  if (options.sheet2D) {
    sheet = std::make_unique<KelDrawingSheet>();
    description = "2D drawing sheet";
  } else if (const int status =
                 KelSceneContent::Build(o, scene, "kelrender", description, upAxis, err)) {
    return status;
  }
  const double loadMs = Milliseconds(loadStart, Clock::now());

  const Clock::time_point setupStart = Clock::now();
  KelPixelImage image(o.width, o.height, PixelImageRGB);
  if (!image.GetPixelsToModify()) {
    err << "kelrender: no memory for a " << o.width << " x " << o.height << " picture ("
        << (3ull * unsigned(o.width) * unsigned(o.height) >> 20) << " MB)\n";
    return KELAPP_DRAW_FAILED;
  }
  support.reset(createSupport(nullptr, &image));
  if (!support || !support->MakeCurrent()) {
    err << "kelrender: the graphics driver cannot draw a " << o.width << " x " << o.height
        << " picture off-screen (see above)\n";
    return KELAPP_DRAW_FAILED;
  }
  support->SetSamples(o.samples);
  if (KelColorMap* colours = support->GetColorMap())
    colours->SetColor(KelGraphicAttributeSet::BACKGROUND_COLOR, int(o.background[0]),
                      int(o.background[1]), int(o.background[2]));

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
    KelSceneFraming::ViewDirections(o.azimuth, o.elevation, upAxis, sight, up);
    viewpoint->Set(viewpoint->GetOrigin(), sight, up);
    viewpoint->SetProjectionType(o.parallel ? PARALLEL_PROJECTION : CONIC_PROJECTION);
    if (!KelSceneFraming::Frame(*viewpoint, *scene.GetRoot(), width, height,
                                support->GetRatioWH())) {
      err << "kelrender: nothing to frame: no part of the scene has a finite position\n";
      return KELAPP_INPUT_MALFORMED;
    }
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
  if (OnlyBackground(image, o.background))
    err << "kelrender: warning: the picture holds nothing but background\n";

  const Clock::time_point writeStart = Clock::now();
  if (!writer.Write(image, error)) {
    err << "kelrender: " << error << "\n";
    return KELAPP_OUTPUT_FAILED;
  }
  const double writeMs = Milliseconds(writeStart, Clock::now());

  report << "kelrender: " << description << "\n"
         << "  " << o.width << " x " << o.height << " pixels, ";
  if (sheet)
    report << "framed in 2D\n";
  else
    report << "view " << o.view << ", " << (o.parallel ? "parallel" : "conic") << " projection, "
           << "xyz"[upAxis] << " up\n";
  Report(report, "load", loadMs);
  Report(report, "setup", setupMs);
  Report(report, "cull", Milliseconds(cullStart, drawStart));
  Report(report, "draw", Milliseconds(drawStart, drawEnd));
  Report(report, "write", writeMs);
  report << "wrote " << options.output << " (" << KelImageFileWriter::FormatName(writer.GetFormat())
         << ")\n";
  return KELAPP_OK;
}
