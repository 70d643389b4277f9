#include "KelSceneContent.h"

#include "KelAppScene.h"
#include "KelAppStatus.h"
#include "KelDefaultScene.h"
#include "KelMeshLoader.h"
#include "KelSceneOptions.h"

#include <kel/reps/Kel3DBagRep.h>

#include <algorithm>
#include <ostream>

int KelSceneContent::Build(const KelSceneOptions& options, KelAppScene& scene, const char* program,
                           std::string& description, KelUpAxis& up, std::ostream& err) {
  up = options.up;
  if (options.input.empty()) {
    // Axes in proportion to the picture, as a person would draw them.
    KelDefaultScene::Build(scene, std::max(10, std::min(options.width, options.height) / 14));
    description = "default assembly";
    if (up == KEL_UP_FROM_FILE) up = KEL_UP_Z;
    return KELAPP_OK;
  }
  KelMeshLoader loader(options.limits);
  std::string error;
  const int status = loader.Load(options.input, *scene.GetRoot(), error);
  for (const std::string& warning : loader.GetWarnings())
    err << program << ": warning: " << options.input << ": " << warning << "\n";
  if (status != KELAPP_OK) {
    err << program << ": " << error << "\n";
    return status;
  }
  if (up == KEL_UP_FROM_FILE) up = loader.GetFileUpAxis();
  if (up == KEL_UP_FROM_FILE) up = KEL_UP_Z;
  const KelMeshBuilder& built = loader.GetBuilder();
  description = options.input + ": " + std::to_string(built.GetTriangleCount()) + " triangles, " +
                std::to_string(built.GetEdgeCount()) + " edges";
  if (built.GetSegmentCount() > 0)
    description += ", " + std::to_string(built.GetSegmentCount()) + " line segments";
  if (built.GetPointCount() > 0)
    description += ", " + std::to_string(built.GetPointCount()) + " points";
  return KELAPP_OK;
}
