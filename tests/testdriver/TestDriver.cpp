// A graphics driver for the tests: its support and window draw nothing and its
// render writes the frame's brackets, colours, matrices and faces, in
// order, into one log that tests read through kelTestDriverLog().
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/images/KelPixelImage.h>
#include <kel/render/KelDriver.h>
#include <kel/render/KelGraphicRender.h>
#include <kel/render/KelSupport.h>
#include <kel/viewers/KelGraphicWindow.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

class RecordingGraphicRender : public KelGraphicRender {
 public:
  explicit RecordingGraphicRender(const KelSupport& s) : KelGraphicRender(s) {}

  void BeginDraw(KelViewpoint& v) override {
    Log().push_back("BeginDraw");
    KelGraphicRender::BeginDraw(v);
  }
  void EndDraw(KelViewpoint& v) override {
    Log().push_back("EndDraw");
    KelGraphicRender::EndDraw(v);
  }
  void BeginDrawLeft(KelViewpoint& v, const int mode, const float distance) override {
    Log().push_back("BeginDrawLeft " + std::to_string(mode) + " " + std::to_string(distance));
    KelGraphicRender::BeginDraw(v);
  }
  void BeginDrawRight(KelViewpoint& v, const int mode, const float distance) override {
    Log().push_back("BeginDrawRight " + std::to_string(mode) + " " + std::to_string(distance));
    KelGraphicRender::BeginDraw(v);
  }
  void BeginDrawDL(ELEMENT_TYPE t) override {
    Log().push_back("BeginDrawDL " + std::to_string(int(t)));
  }
  void SetForeground(const int& c) override {
    Log().push_back("SetForeground " + std::to_string(c));
  }
  void Draw3DFace(Kel3DFaceGP&) override { Log().push_back("Draw3DFace"); }
  KelRender* PushMatrix(Kel4x4Matrix& m) override {
    Log().push_back("PushMatrix " + std::to_string(m.GetMatrix()[12]));
    auto* child = new RecordingGraphicRender(*this);
    *child *= m;
    return child;
  }
  void PopMatrix(KelRender* child) override {
    Log().push_back("PopMatrix");
    delete child;
  }
};

class RecordingSupport : public KelSupport {
 public:
  RecordingSupport(int w, int h) : KelSupport(w, h) {}
  int MakeCurrent() override { return 1; }
  void ReadPixels() override {}
  KelRender* CreateDrawingRender() override { return new RecordingGraphicRender(*this); }
  void Clear() override { Log().push_back("Clear"); }
  void Swap() override { Log().push_back("Swap"); }
  // As an off-screen support does: present once the frame is drawn.
  void Drawing(list<KelViewpoint*>& viewpoints) override {
    KelSupport::Drawing(viewpoints);
    Swap();
  }
};

// A graphic window that draws nothing and writes down its buffer calls.
class RecordingWindow : public KelGraphicWindow {
 public:
  RecordingWindow(int w, int h) : KelGraphicWindow(w, h) {}
  int MakeCurrent() override { return 1; }
  void ReadPixels() override {}
  KelRender* CreateDrawingRender() override { return new RecordingGraphicRender(*this); }
  void Clear() override { Log().push_back("Clear"); }
  void Swap() override { Log().push_back("Swap"); }
  void ClearLeft() override { Log().push_back("ClearLeft"); }
  void ClearRight() override { Log().push_back("ClearRight"); }
  void SwapStereo() override { Log().push_back("SwapStereo"); }
};

}  // namespace

extern "C" {

std::vector<std::string>* kelTestDriverLog() {
  return &Log();
}

KelSupport* createDriverSupport(KelSupport*, KelPixelImage* image) {
  int w = 64, h = 64;
  if (image) image->GetSize(w, h);
  return new RecordingSupport(w, h);
}

KelGraphicWindow* createDriverGraphicWindow(const int w, const int h) {
  return new RecordingWindow(w, h);
}

XVisualInfo* findDriverVisual(Display*) {
  return nullptr;
}
}
