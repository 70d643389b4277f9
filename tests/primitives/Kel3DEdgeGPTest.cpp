// Edges: shared vertices, refused constructions and their messages.
#include <kel/primitives/Kel3DBoundingGP.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "KelRecordingRender.h"

namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

// A face of nbVertices vertices with vertex k at (k, 0, 0).
std::vector<float> Row(int nbVertices) {
  std::vector<float> v(3 * static_cast<size_t>(nbVertices), 0.0f);
  for (int k = 0; k < nbVertices; ++k) v[3 * k] = float(k);
  return v;
}
Kel3DFaceGP* FaceOf(const std::vector<float>& v) {
  return new Kel3DFaceGP(v.data(), int(v.size()), nullptr, 0, nullptr, 0, nullptr, 0, nullptr,
                         nullptr, 0, nullptr);
}

// Computes its vertices on demand, for each call.
class OnDemandGP : public Kel3DBoundingGP {
 public:
  int calls = 0;
  void GetVertices(int* allocate, float** vertices, int* count) override {
    ++calls;
    *allocate = 1;
    *vertices = new float[9]();
    *count = 9;
  }
};

void ExpectEmpty(const Kel3DEdgeGP& edge) {
  EXPECT_EQ(edge.GetNbIndices(), 0);
  EXPECT_EQ(edge.GetIndices(), nullptr);
  EXPECT_EQ(edge.GetVertices(), nullptr);
  EXPECT_EQ(edge.GetFirstFace(), nullptr);
}

TEST(Kel3DEdgeGP, SharesTheFirstFacesVerticesAndCopiesItsIndices) {
  std::unique_ptr<Kel3DFaceGP> face1(FaceOf(Row(4))), face2(FaceOf(Row(2)));
  int indices[4] = {9, 6, 3, 0};
  Kel3DEdgeGP edge(face1.get(), face2.get(), indices, 4);
  indices[0] = 0;
  EXPECT_EQ(edge.GetVertices(), face1->GetVertexArray());
  ASSERT_EQ(edge.GetNbIndices(), 4);
  EXPECT_EQ(edge.GetVertices()[edge.GetIndices()[0]], 3.0f);
  KelRecordingRender render;
  edge.Draw(render);
  EXPECT_EQ(render.Joined(), "Draw3DEdge");
}

TEST(Kel3DEdgeGP, InvalidParameters) {
  std::unique_ptr<Kel3DFaceGP> face(FaceOf(Row(4)));
  const int indices[2] = {0, 3};
  struct Case {
    Kel3DFaceGP *first, *second;
    const int* indices;
    int count;
  };
  for (const Case& c :
       {Case{face.get(), nullptr, indices, 1}, Case{nullptr, face.get(), indices, 2},
        Case{face.get(), nullptr, nullptr, 2}}) {
    CaptureStderr();
    Kel3DEdgeGP edge(c.first, c.second, c.indices, c.count);
    EXPECT_EQ(GetCapturedStderr(), "Kel3DEdgeGP::Kel3DEdgeGP: Invalid parameters.\n");
    ExpectEmpty(edge);
  }
}

TEST(Kel3DEdgeGP, TooManyIndicesKeepsTheFirst21844) {
  // 21845 vertices: every position up to 65532 fits 16 bits.
  std::unique_ptr<Kel3DFaceGP> face(FaceOf(Row(21845)));
  std::vector<int> indices(21845);
  for (int i = 0; i < 21845; ++i) indices[i] = 3 * i;

  CaptureStderr();
  Kel3DEdgeGP edge(face.get(), nullptr, indices.data(), 21845);
  EXPECT_EQ(GetCapturedStderr(),
            "Kel3DEdgeGP::Kel3DEdgeGP: Too many points. Maximum allowed=21845 Taking maximal "
            "number.\n");
  ASSERT_EQ(edge.GetNbIndices(), 21844);
  EXPECT_EQ(edge.GetIndices()[21843], 3 * 21843);
}

TEST(Kel3DEdgeGP, RefusesAFaceThatAllocatesItsVertices) {
  OnDemandGP face;
  const int indices[2] = {0, 3};
  CaptureStderr();
  Kel3DEdgeGP edge(&face, nullptr, indices, 2);
  EXPECT_EQ(GetCapturedStderr(),
            "Kel3DEdgeGP::Kel3DEdgeGP: Cannot share data on a GP that allocates it's tesselation "
            "parameters. Aborting creation.\n");
  EXPECT_EQ(face.calls, 1);
  ExpectEmpty(edge);  // and the array was released: LeakSanitizer checks it
}

TEST(Kel3DEdgeGP, RefusesIndicesOutsideTheFacesVertices) {
  std::unique_ptr<Kel3DFaceGP> face(FaceOf(Row(4)));  // positions 0, 3, 6, 9
  struct Case {
    int bad;
    const char* why;
  };
  for (const Case& c : {Case{-3, "negative"}, Case{12, "past the last vertex"},
                        Case{10, "last vertex runs past the array"}, Case{4, "not a vertex"}}) {
    const int indices[3] = {0, c.bad, 3};
    CaptureStderr();
    Kel3DEdgeGP edge(face.get(), nullptr, indices, 3);
    const std::string err = GetCapturedStderr();
    EXPECT_EQ(err.rfind("Kel3DEdgeGP::Kel3DEdgeGP: Invalid index " + std::to_string(c.bad), 0), 0u)
        << c.why << ": " << err;
    ExpectEmpty(edge);
  }

  // A face without stored vertices (the cylinder's are computed by the render).
  Kel3DCylinderGP cylinder;
  const int indices[2] = {0, 3};
  CaptureStderr();
  Kel3DEdgeGP onCylinder(&cylinder, nullptr, indices, 2);
  EXPECT_NE(GetCapturedStderr().find("Invalid index 0"), std::string::npos);
  ExpectEmpty(onCylinder);
}

TEST(Kel3DEdgeGP, RefusesAnIndexThatDoesNotFitSixteenBits) {
  // 21847 vertices: position 65538 is a vertex of the face but would wrap to 2.
  std::unique_ptr<Kel3DFaceGP> face(FaceOf(Row(21847)));
  const int indices[2] = {65535, 65538};
  CaptureStderr();
  Kel3DEdgeGP edge(face.get(), nullptr, indices, 2);
  EXPECT_EQ(GetCapturedStderr(),
            "Kel3DEdgeGP::Kel3DEdgeGP: Invalid index 65538 at position 1 for a face of 65541 "
            "vertex coordinates. Aborting creation.\n");
  ExpectEmpty(edge);

  const int highest[2] = {0, 65535};
  Kel3DEdgeGP kept(face.get(), nullptr, highest, 2);
  ASSERT_EQ(kept.GetNbIndices(), 2);
  EXPECT_EQ(kept.GetVertices()[kept.GetIndices()[1]], 21845.0f);
}

}  // namespace
