// Latency of preselection in kelview's window (real GLX drawing, needs an X
// display): from a real pointer motion (XTest) to the frame that shows the new
// highlight swapped, and the pick that a motion costs, as p50, p95 and p99 over
// many motions, on the built-in assembly and on a mesh of about 10^6 triangles
// (a wavy 709 x 709 grid written as a binary STL, loaded by kelapp's loader).
// The pointer alternates between a point over the scene and one over the
// background, so that every motion changes the highlight and draws a frame.
//   kel_bench_motion [motions]
#include <kel/framework/KelCallbackManager.h>
#include <kel/framework/KelDlgICC.h>
#include <kel/framework/KelEventSubscriber.h>
#include <kel/picking/KelPickPathList.h>
#include <kel/viewers/KelGraphicWindow.h>
#include <kel/viewers/KelViewer.h>

#include <X11/Intrinsic.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "KelViewApp.h"
#include "KelViewOptions.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Frames : KelEventSubscriber {
  int count = 0;
  Clock::time_point last;
  void Updated(const char*, KelCallbackManager*, KelNotification*, void*, long) {
    ++count;
    last = Clock::now();
  }
};

bool PumpUntil(const Frames& frames, int target) {
  const auto end = Clock::now() + std::chrono::seconds(30);
  while (frames.count < target && Clock::now() < end) KelDlgICC::ProcessNextEvent(100);
  return frames.count >= target;
}

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, size_t(p / 100.0 * double(v.size())))];
}

// A wavy grid of n x n vertices, 2 (n-1)^2 triangles, as a binary STL.
void WriteGrid(const std::string& path, int n) {
  std::ofstream f(path, std::ios::binary);
  char header[80] = "grid";
  f.write(header, 80);
  const std::uint32_t count = std::uint32_t(2 * (n - 1) * (n - 1));
  f.write(reinterpret_cast<const char*>(&count), 4);
  auto z = [n](int i, int k) {
    return float(3.0 * std::sin(i * 12.0 / n) * std::cos(k * 9.0 / n));
  };
  const char zeros[12] = {};
  for (int i = 0; i + 1 < n; ++i)
    for (int k = 0; k + 1 < n; ++k) {
      const float a[3] = {float(i), float(k), z(i, k)},
                  b[3] = {float(i + 1), float(k), z(i + 1, k)},
                  c[3] = {float(i + 1), float(k + 1), z(i + 1, k + 1)},
                  d[3] = {float(i), float(k + 1), z(i, k + 1)};
      const float* t[2][3] = {{a, b, c}, {a, c, d}};
      for (auto& tri : t) {
        f.write(zeros, 12);
        for (const float* v : tri) f.write(reinterpret_cast<const char*>(v), 12);
        f.write(zeros, 2);
      }
    }
}

void Measure(const char* name, const std::string& input, int motions) {
  KelViewOptions options;
  options.scene.width = 800;
  options.scene.height = 600;
  options.scene.input = input;
  std::ostringstream out, err;
  KelViewApp app(options, out, err);
  if (app.Open()) {
    std::cerr << name << ": " << err.str();
    return;
  }
  KelViewer* viewer = app.GetViewer();
  Frames frames;
  frames.AddCallback(viewer->GetCallbackManager(), KelViewer::VIEWER_UPDATE(), &Frames::Updated,
                     nullptr);
  // The first frame, then the framed one.
  if (!PumpUntil(frames, 2)) {
    std::cerr << name << ": no frame\n";
    return;
  }
  Display* d = KelDlgICC::GetXtDisplay();
  Widget area = viewer->GetGraphicWindow()->GetDrawingAreaWidget();
  Window child;
  int left = 0, top = 0;
  XTranslateCoordinates(d, XtWindow(area), DefaultRootWindow(d), 0, 0, &left, &top, &child);
  float w = 0, h = 0;
  viewer->GetGraphicSize(&w, &h);
  const int on[2] = {int(w / 2), int(h / 2)}, off[2] = {3, 3};

  std::vector<double> frameMs, pickMs;
  int missed = 0;
  for (int i = 0; i < motions; ++i) {
    const int* p = i % 2 ? off : on;
    const int target = frames.count + 1;
    const Clock::time_point sent = Clock::now();
    XTestFakeMotionEvent(d, DefaultScreen(d), left + p[0], top + p[1], CurrentTime);
    XFlush(d);
    if (!PumpUntil(frames, target)) {
      ++missed;
      continue;
    }
    frameMs.push_back(std::chrono::duration<double, std::milli>(frames.last - sent).count());
  }
  KelPickPathList picks;
  for (int i = 0; i < motions; ++i) {
    const int* p = i % 2 ? off : on;
    const Clock::time_point start = Clock::now();
    viewer->Pick(float(p[0]), float(p[1]), picks);
    pickMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    picks.Reset();
  }
  std::printf(
      "%-22s %-44s motion->frame p50 %7.2f p95 %7.2f p99 %7.2f ms | pick p50 %7.3f "
      "p95 %7.3f p99 %7.3f ms | %d motions, %d without a frame\n",
      name, app.GetDescription().c_str(), Percentile(frameMs, 50), Percentile(frameMs, 95),
      Percentile(frameMs, 99), Percentile(pickMs, 50), Percentile(pickMs, 95),
      Percentile(pickMs, 99), motions, missed);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const int motions = argc > 1 ? std::max(10, std::atoi(argv[1])) : 1000;
  if (!KelDlgICC::GetXtDisplay()) {
    std::fprintf(stderr, "kel_bench_motion: needs an X display\n");
    return 1;
  }
  Measure("built-in assembly", "", motions);
  const char* tmp = std::getenv("TMPDIR");
  const std::string grid = std::string(tmp ? tmp : "/tmp") + "/kel_bench_motion_grid.stl";
  WriteGrid(grid, 709);
  Measure("10^6-triangle mesh", grid, motions);
  std::remove(grid.c_str());
  return 0;
}
