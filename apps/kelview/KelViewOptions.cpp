#include "KelViewOptions.h"

#include "KelImageFileWriter.h"

#ifndef KEL_VERSION
#define KEL_VERSION "unknown"
#endif

const char* KelViewOptions::Version() {
  return "kelview (Kelvis) " KEL_VERSION;
}

namespace {

KelAppCommandLine::Apply PathInto(std::string& target, const char* what) {
  return [&target, what](const std::string& v, std::string& error) {
    if (!v.empty()) {
      target = v;
      return true;
    }
    error = std::string("empty ") + what + " path";
    return false;
  };
}

}  // namespace

KelAppCommandLine KelViewOptions::CommandLine() {
  KelAppCommandLine line;
  scene.AddTo(line);
  line.Add(0, "--record", "FILE",
           "record the session's input into FILE (replay it\nwith --replay and the same scene)",
           PathInto(record, "recording"));
  line.Add(0, "--replay", "FILE", "replay a recorded session instead of live input",
           PathInto(replay, "replay"));
  line.Add(0, "--screenshot", "FILE",
           "write the window's picture (PNG, TIFF, SGI or pic\n"
           "by extension) and exit: once the replay has ended,\n"
           "when the recorded session is quit, else after the\n"
           "first frame",
           [this](const std::string& v, std::string& error) {
             if (KelImageFileWriter::FormatOf(v) != KelImageFileWriter::UNKNOWN) {
               screenshot = v;
               return true;
             }
             error = "bad screenshot name '" + v +
                     "': expected a .png, .tif, .tiff, .rgb, .sgi or .pic file";
             return false;
           });
  line.Add(0, "--verbose", "",
           "tell on the standard output what was loaded,\n"
           "the first frame, preselections, the status bar,\n"
           "frame all and the end (with the resident memory)",
           [this](const std::string&, std::string&) { return verbose = true; });
  line.AddHelpAndVersion(help, version);
  return line;
}

bool KelViewOptions::Parse(int argc, const char* const* argv, std::string& error) {
  if (!CommandLine().Parse(argc, argv, scene.input, error)) return false;
  if (!record.empty() && !replay.empty()) {
    error = "--record and --replay exclude each other";
    return false;
  }
  return true;
}

std::string KelViewOptions::Usage() {
  return "Usage: kelview [options] [mesh-file]\n"
         "Shows the built-in assembly, or a mesh file (STL, OBJ, PLY, glTF and the\n"
         "other formats Assimp reads), in a window. Point at a part to preselect it,\n"
         "click to select it (its point and normal go to the status bar), drag with\n"
         "the middle button to turn the view, button 3 for the contextual menu.\n"
         "T (translate) or R (rotate), or the contextual menu, lets the left button\n"
         "drag the selected part; Escape during a drag puts it back. Ctrl+Q quits,\n"
         "F frames everything. The tool frames at the left choose the navigation\n"
         "style, run single camera actions and step through the views; P and N step\n"
         "back and forth too, G switches the ground, D the dashboard, X the axis\n"
         "board, Ctrl+G the performance gauges; Ctrl+P opens the drawing\n"
         "performances.\n"
         "\n"
         "Options:\n" +
         CommandLine().Help() +
         "\n"
         "Exit status: 0 done, 1 no display or drawing failed, 2 bad command line,\n"
         "3 mesh or replay file missing or unreadable, 4 mesh or replay file\n"
         "malformed, 5 recording or picture not written.\n";
}
