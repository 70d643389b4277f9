// A whole frame through the recording driver, loaded by name like the real one,
// and the support's list of viewpoints.
#include <gtest/gtest.h>

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/images/KelPixelImage.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/render/KelDriver.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "KelChildProcess.h"
#include "KelTestDriver.h"
#include "KelTestEnv.h"
#include "KelTestScene.h"

namespace {

// A leaf holding a square face around c.
keltest::GPLeaf* FaceLeaf(const Kelpoint3f& c) {
  return new keltest::GPLeaf({keltest::SquareFace(c.x, c.y, c.z, 1.0f)}, c, 1.0f);
}

class Frame : public testing::Test {
 protected:
  void SetUp() override {
    log = keltest::LoadTestDriver();
    ASSERT_NE(log, nullptr) << "the recording driver did not load";
    image = std::make_unique<KelPixelImage>(64, 48, PixelImageFormat(2));
    support.reset(createSupport(nullptr, image.get()));
    ASSERT_NE(support, nullptr);
    viewpoint = new Kel3DViewpoint;
    support->AddViewpoint(viewpoint, 1);
  }
  void TearDown() override {
    if (root) root->Destroy();
  }
  void DrawFrame() {
    viewpoint->AddRep(root);
    support->InitViewpoints();
    log->clear();
    support->Draw();
  }
  std::string Joined() const {
    std::string s;
    for (const auto& l : *log) s += (s.empty() ? "" : ", ") + l;
    return s;
  }

  std::vector<std::string>* log = nullptr;
  std::unique_ptr<KelPixelImage> image;
  std::unique_ptr<KelSupport> support;
  Kel3DViewpoint* viewpoint = nullptr;  // the support's
  Kel3DBagRep* root = nullptr;
};

TEST_F(Frame, CullsThenReplaysTheListsInTheirFixedOrder) {
  // root: leaf A (colour 5) and bag B moved by (10, 0, 0) holding leaf C.
  root = new Kel3DBagRep;
  auto* a = FaceLeaf(Kelpoint3f(0, 0, 0));
  a->SetColor(5);
  auto* b = new Kel3DBagRep;
  b->AddChild(*FaceLeaf(Kelpoint3f(0, 0, 0)));
  b->SetMatrix(Kel4x4Matrix(Kelvector3f(10, 0, 0)));
  root->AddChild(*a);
  root->AddChild(*b);
  DrawFrame();
  EXPECT_EQ(Joined(),
            "Clear, BeginDraw, BeginDrawDL 0, BeginDrawDL 1, BeginDrawDL 2, BeginDrawDL 3, "
            "BeginDrawDL 4, BeginDrawDL 5, SetForeground 5, Draw3DFace, SetForeground 253, "
            "PushMatrix 10.000000, Draw3DFace, PopMatrix, EndDraw, Swap");

  // The display lists are emptied at the end of the frame, and the next
  // frame records the same stream again, once.
  const std::string first = Joined();
  log->clear();
  support->Draw();
  EXPECT_EQ(Joined(), first);
}

TEST_F(Frame, HighlightOfAnInnerBagGivesTheOuterColourBack) {
  // outer (second mark, 252) holds inner (highlight, 251) then leaf L.
  root = new Kel3DBagRep;
  root->GetGraphicAttributeSet().flags |= KelGraphicAttributeSet::SECOND_MARK;
  auto* inner = new Kel3DBagRep;
  inner->HighLightOn();
  inner->AddChild(*FaceLeaf(Kelpoint3f(0, 0, 0)));
  root->AddChild(*inner);
  root->AddChild(*FaceLeaf(Kelpoint3f(4, 0, 0)));
  DrawFrame();
  // In the default list: 252 forced, 251 forced, face, back to 252, face, released.
  const std::string s = Joined();
  const auto list5 = s.find("BeginDrawDL 5");
  ASSERT_NE(list5, std::string::npos);
  EXPECT_NE(s.find("SetForeground 252, SetForeground 251, Draw3DFace, SetForeground 252, "
                   "Draw3DFace, SetForeground 253",
                   list5),
            std::string::npos)
      << s;
}

TEST(DriverSelection, MissingDriverEndsTheProcessWithItsMessage) {
  // A child process whose library search path holds no driver: copy the two
  // libraries and a probe program into a fresh tree.
  const std::string dir = keltest::OutputPath("nodriver");
  const std::string lib = std::string(KEL_BINARY_DIR) + "/lib/";
  const std::string cmd = "rm -rf " + dir + " && mkdir -p " + dir + "/lib " + dir +
                          "/bin && cp -d " + lib + "libKelFramework.so* " + lib +
                          "libGR7BASE.so* " + dir + "/lib/ && cp " + std::string(KEL_BINARY_DIR) +
                          "/bin/kel_driver_probe " + dir + "/bin/";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  unsetenv("LD_LIBRARY_PATH");  // read by the child's loader only
  const keltest::ChildOutcome probe = keltest::RunChild({dir + "/bin/kel_driver_probe"});
  EXPECT_EQ(probe.status, 1);
  EXPECT_EQ(probe.out, "Library libGR7OGL.so not found\n");
  char small[4];  // too short for that name: refused, not overrun
  EXPECT_EQ(ChooseDriverLibrary(small, sizeof small), nullptr);
}

// The order of first and last viewpoints: the graphic window's overlay test.
// A known viewpoint added again would be deleted twice by the support, which
// owns its viewpoints (the leak checker sees them go).
TEST(Support, AKnownOrNullViewpointIsNotAddedAgain) {
  keltest::TestSupport support;
  KelViewpoint *a = new Kel3DViewpoint, *b = new Kel3DViewpoint;
  support.AddViewpoint(a, 1);
  support.AddViewpoint(b, 1);
  support.AddViewpoint(b, 0);
  support.AddViewpoint(nullptr, 0);
  list<KelViewpoint*>& vps = support.GetListOfViewpoint();
  EXPECT_EQ(std::vector<KelViewpoint*>(vps.Elements(), vps.Elements() + vps.Count()),
            (std::vector<KelViewpoint*>{a, b}));
}

}  // namespace
