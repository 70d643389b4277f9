// Reads a mesh file through Assimp (STL, OBJ, PLY, glTF and the other formats
// it knows) into Reps under bags that carry the file's node matrices: each
// mesh of triangles becomes one KelSurfacicRep, each set of lines one curve
// Rep of polylines, each set of points markers (or dots, for a cloud).
//
// Files are hostile. Before Assimp reads a byte of data, the counts a PLY,
// OFF or binary STL header announces are checked against the file's size and
// the limits; the read itself runs within an address-space budget in
// proportion to the limits, so that a format whose header cannot be checked
// here still fails fast; the element counts Assimp found are checked against
// the limits before anything is built from them. A non-finite vertex or an
// index outside its mesh refuses the whole file: it is corrupt, and a picture
// of what is left would mislead.
#pragma once

#include "KelMeshBuilder.h"
#include "KelMeshLimits.h"
#include "KelSceneFraming.h"

#include <string>
#include <vector>

class Kel3DBagRep;
namespace Assimp {
class Importer;
}

class KelMeshLoader {
 public:
  // Deeper node trees are cut there (with a warning).
  static constexpr int MAX_NODE_DEPTH = 256;

  explicit KelMeshLoader(const KelMeshLimits& limits = KelMeshLimits());

  // Loads `path` under `root`. Answers a KelAppStatus: KELAPP_OK,
  // KELAPP_INPUT_MISSING (missing or unreadable) or KELAPP_INPUT_MALFORMED
  // (refused by the checks above or by Assimp, or nothing to draw), with a
  // message naming the file in `error`.
  int Load(const std::string& path, Kel3DBagRep& root, std::string& error);
  // The up axis the file's format states (glTF and Collada: y), or
  // KEL_UP_FROM_FILE when it states none.
  KelUpAxis GetFileUpAxis() const { return _upAxis; }

  // What was built: triangles, faces, edges, segments and points.
  const KelMeshBuilder& GetBuilder() const { return _builder; }
  // Things worth telling the user that did not stop the load.
  const std::vector<std::string>& GetWarnings() const { return _warnings; }

 private:
  int Read(const std::string& path, Assimp::Importer& importer, std::string& error);

  KelMeshLimits _limits;
  KelMeshBuilder _builder;
  KelUpAxis _upAxis = KEL_UP_FROM_FILE;
  std::vector<std::string> _warnings;
};
