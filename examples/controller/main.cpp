// A small application model (parts with a colour and a place) shown in a 3D
// viewer through a visualization controller. The program never touches a Rep:
// it sends model notifications, and the controller builds, rebuilds and
// redraws. Once the first frame is drawn, one transaction moves every part
// and the viewer is asked to redraw once, at its end. The program prints the
// redraw requests of each step, then ends once the moved parts are drawn.
//
//   kelcontroller [parts]        (10000 parts by default)
#include <kel/controller/KelVisuController.h>
#include <kel/framework/KelDlgDocument.h>
#include <kel/framework/KelDlgICC.h>
#include <kel/framework/KelEventSubscriber.h>
#include <kel/framework/KelModelNotification.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/reps/KelHashRepTable.h>
#include <kel/viewers/Kel3DViewer.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Part {
  unsigned int colour;
  float x, y, z;
};

// The application's model: part i is model object i + 2; object 1 is the
// assembly.
class Model {
 public:
  explicit Model(int n) {
    for (int i = 0; i < n; ++i)
      parts.push_back({static_cast<unsigned int>(1 + i % 7), float(i % 100) * 1.5f,
                       float(i / 100) * 1.5f, 0.0f});
  }
  static void* Object(int i) { return reinterpret_cast<void*>(static_cast<std::intptr_t>(i + 2)); }
  const Part* Find(const KelModelIdentificator& id) const {
    const std::intptr_t i = id.GetIntId() - 2;
    return i >= 0 && i < static_cast<std::intptr_t>(parts.size()) ? &parts[i] : nullptr;
  }

  std::vector<Part> parts;
  KelModelNotificationDispatcher dispatcher;
};

// Builds a cube per part, where the model places it.
class PartsController : public KelVisuController {
 public:
  explicit PartsController(const Model& model) : _model(model) {
    SetAssociatedGraphicTable(new KelHashRepTable);
    KelModelIdentificator assembly(reinterpret_cast<void*>(1));
    SetGraphicModel(new Kel3DBagRep(assembly, this));
  }
  KelRep* BuildRep(KelModelIdentificator& id) override {
    const Part* p = _model.Find(id);
    if (!p) return nullptr;
    return new Kel3DCuboidRep(Kelpoint3f(p->x, p->y, p->z), Kelvector3f(1, 0, 0),
                              Kelvector3f(0, 1, 0), Kelvector3f(0, 0, 1),
                              static_cast<int>(p->colour), id, this);
  }

 private:
  const Model& _model;
};

// Counts the redraw requests the controller makes.
class PartsViewer : public Kel3DViewer {
 public:
  using Kel3DViewer::Draw;
  using Kel3DViewer::Kel3DViewer;
  void Draw() override {
    ++requests;
    Kel3DViewer::Draw();
  }
  int requests = 0;
};

class Program : public KelEventSubscriber {
 public:
  Program(Model& model, PartsViewer& viewer) : _model(model), _viewer(viewer) {
    AddCallback(viewer.GetCallbackManager(), KelViewer::VIEWER_UPDATE(), &Program::Updated,
                nullptr);
  }

  void Transaction(void (Program::*step)()) {
    KelBeginTransaction begin;
    _model.dispatcher.Dispatch(&begin);
    (this->*step)();
    KelEndTransaction end;
    _model.dispatcher.Dispatch(&end);
  }
  void CreateParts() {
    for (std::size_t i = 0; i < _model.parts.size(); ++i) {
      KelCreate n(Model::Object(static_cast<int>(i)), reinterpret_cast<void*>(1));
      _model.dispatcher.Dispatch(&n);
    }
  }
  void MoveParts() {
    for (std::size_t i = 0; i < _model.parts.size(); ++i) {
      _model.parts[i].z += 3.0f;
      KelModifyGeometry n(Model::Object(static_cast<int>(i)));
      _model.dispatcher.Dispatch(&n);
    }
  }

  void Updated(const char*, KelCallbackManager*, KelNotification*, void*, long) {
    if (++_frames == 1) {
      _viewer.requests = 0;
      Transaction(&Program::MoveParts);
      std::printf("kelcontroller: moved %zu parts with %d redraw request(s)\n", _model.parts.size(),
                  _viewer.requests);
      std::fflush(stdout);
    } else if (_frames == 2) {
      std::printf("kelcontroller: drawn\n");
      std::fflush(stdout);
      KelDlgICC::ExitMainLoop(0);
    }
  }

 private:
  Model& _model;
  PartsViewer& _viewer;
  int _frames = 0;
};

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 10000;
  if (n < 1 || n > 1000000) {
    std::fprintf(stderr, "kelcontroller: the part count must lie between 1 and 1000000\n");
    return 2;
  }
  if (!KelDlgICC::GetApplicationShell()) {
    std::fprintf(stderr, "kelcontroller: no X display\n");
    return 1;
  }
  Model model(n);
  auto* document = new KelDlgDocument(nullptr, KelString("kelcontroller"));
  auto* viewer = new PartsViewer(document, KelString("parts"), 0, 640, 480, 0);
  viewer->AttachOnSides();
  {
    PartsController controller(model);
    controller.AttachToModelDispatcher(&model.dispatcher);
    controller.AddViewer(*viewer);
    viewer->AddRep(static_cast<Kel3DRep*>(controller.GetGraphicModel()));
    Program program(model, *viewer);
    viewer->requests = 0;
    program.Transaction(&Program::CreateParts);
    std::printf("kelcontroller: created %d parts with %d redraw request(s)\n", n, viewer->requests);
    std::fflush(stdout);
    viewer->Reframe();
    document->SetVisibility(2);
    KelDlgICC::MainLoop();
    viewer->RemoveRep(static_cast<Kel3DRep*>(controller.GetGraphicModel()));
  }
  delete document;
  return 0;
}
