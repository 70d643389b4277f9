#include "KelRenderOptions.h"

#include "KelImageFileWriter.h"

#ifndef KEL_VERSION
#define KEL_VERSION "unknown"
#endif

const char* KelRenderOptions::Version() {
  return "kelrender (Kelvis) " KEL_VERSION;
}

KelAppCommandLine KelRenderOptions::CommandLine() {
  KelAppCommandLine line;
  line.Add('o', "--output", "PATH",
           "picture to write (default kelrender.png); - is the\n"
           "standard output; through symbolic links, the file\n"
           "they lead to",
           [this](const std::string& v, std::string& error) {
             if (!v.empty()) {
               output = v;
               return true;
             }
             error = "empty output path";
             return false;
           });
  line.Add('f', "--format", "FORMAT",
           "png, tiff, sgi or pic (default: from the output's\n"
           "extension: .png, .tif/.tiff, .rgb/.sgi, .pic; PNG for\n"
           "- and devices)",
           [this](const std::string& v, std::string& error) {
             if (KelImageFileWriter::FormatNamed(v) != KelImageFileWriter::UNKNOWN) {
               format = v;
               return true;
             }
             error = "unknown image format '" + v + "': expected png, tiff, sgi or pic";
             return false;
           });
  scene.AddTo(line);
  line.Add(0, "--2d", "", "the built-in 2D drawing sheet instead of a 3D scene",
           [this](const std::string&, std::string&) { return sheet2D = true; });
  line.AddHelpAndVersion(help, version);
  return line;
}

bool KelRenderOptions::Parse(int argc, const char* const* argv, std::string& error) {
  return CommandLine().Parse(argc, argv, scene.input, error);
}

std::string KelRenderOptions::Usage() {
  return "Usage: kelrender [options] [mesh-file]\n"
         "Renders the built-in assembly, or a mesh file (STL, OBJ, PLY, glTF and the\n"
         "other formats Assimp reads), off-screen into a picture file.\n"
         "\n"
         "Options:\n" +
         CommandLine().Help() +
         "\n"
         "Exit status: 0 done, 1 drawing failed, 2 bad command line or unknown image\n"
         "format, 3 mesh file missing or unreadable, 4 mesh file malformed or over the\n"
         "limits, 5 picture not written.\n";
}
