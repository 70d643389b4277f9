// What an application shows: the options' mesh file, or the built-in assembly
// when there is none.
#pragma once

#include "KelSceneFraming.h"

#include <iosfwd>
#include <string>

class KelAppScene;
struct KelSceneOptions;

namespace KelSceneContent {
// Fills the scene's root. Answers a KelAppStatus; `description` says what was
// loaded, `up` the axis to look with (the options', else the file's, else z).
// Warnings and failures go to `err`, each line starting with `program`.
int Build(const KelSceneOptions& options, KelAppScene& scene, const char* program,
          std::string& description, KelUpAxis& up, std::ostream& err);
}  // namespace KelSceneContent
