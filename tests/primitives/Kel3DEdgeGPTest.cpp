// Edges share their first face's vertices: constructions that could make them
// read outside those vertices are refused.
#include <kel/primitives/Kel3DBoundingGP.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

// A face of n vertices, vertex k at (k, 0, 0).
std::unique_ptr<Kel3DFaceGP> Row(int n) {
  std::vector<float> v(3 * static_cast<size_t>(n), 0.0f);
  for (int k = 0; k < n; ++k) v[3 * k] = float(k);
  return std::make_unique<Kel3DFaceGP>(v.data(), int(v.size()), nullptr, 0, nullptr, 0, nullptr, 0,
                                       nullptr, nullptr, 0, nullptr);
}

// Computes its vertices for each call, as the render's tessellation does.
class OnDemandGP : public Kel3DBoundingGP {
 public:
  void GetVertices(int* allocate, float** vertices, int* count) override {
    *allocate = 1;
    *vertices = new float[9]();
    *count = 9;
  }
};

TEST(Kel3DEdgeGP, SharesTheFirstFacesVerticesAndCopiesItsIndices) {
  auto face = Row(4), other = Row(2);
  int indices[4] = {9, 6, 3, 0};
  Kel3DEdgeGP edge(face.get(), other.get(), indices, 4);
  indices[0] = 0;
  EXPECT_EQ(edge.GetVertices(), face->GetVertexArray());
  ASSERT_EQ(edge.GetNbIndices(), 4);
  EXPECT_EQ(edge.GetVertices()[edge.GetIndices()[0]], 3.0f);

  // 21846 indices: the first 21845 fit 16 bits of positions.
  auto wide = Row(21847);
  std::vector<int> many(21846);
  for (int i = 0; i < 21846; ++i) many[i] = 3 * i;
  CaptureStderr();
  Kel3DEdgeGP kept(wide.get(), nullptr, many.data(), 21846);
  EXPECT_EQ(GetCapturedStderr(),
            "Kel3DEdgeGP::Kel3DEdgeGP: Too many points. Maximum allowed=21845 Taking maximal "
            "number.\n");
  ASSERT_EQ(kept.GetNbIndices(), 21844);
  EXPECT_EQ(kept.GetIndices()[21843], 3 * 21843);
  const int highest[2] = {0, 65535};
  EXPECT_EQ(Kel3DEdgeGP(wide.get(), nullptr, highest, 2).GetNbIndices(), 2);
}

TEST(Kel3DEdgeGP, RefusedConstructionsLeaveAnEmptyEdge) {
  auto face = Row(4);  // positions 0, 3, 6, 9
  auto wide = Row(21847);
  OnDemandGP onDemand;
  Kel3DCylinderGP cylinder;  // its vertices are computed by the render
  const std::string prefix = "Kel3DEdgeGP::Kel3DEdgeGP: ";
  struct Case {
    Kel3DBoundingGP *first, *second;
    std::vector<int> indices;
    int count;
    std::string message;  // start of it
  } cases[] = {
      {face.get(), nullptr, {0, 3}, 1, "Invalid parameters."},
      {nullptr, face.get(), {0, 3}, 2, "Invalid parameters."},
      {face.get(), nullptr, {}, 2, "Invalid parameters."},
      {&onDemand, nullptr, {0, 3}, 2, "Cannot share data on a GP that allocates it's tesselation"},
      {face.get(), nullptr, {0, -3, 3}, 3, "Invalid index -3"},
      {face.get(), nullptr, {0, 12, 3}, 3, "Invalid index 12"},  // past the last vertex
      {face.get(), nullptr, {0, 10, 3}, 3, "Invalid index 10"},  // runs past the array
      {face.get(), nullptr, {0, 4, 3}, 3, "Invalid index 4"},    // not a vertex
      {&cylinder, nullptr, {0, 3}, 2, "Invalid index 0"},
      // A vertex of the face, but 65538 would wrap to 2 in 16 bits.
      {wide.get(), nullptr, {65535, 65538}, 2, "Invalid index 65538 at position 1 for a face of"},
  };
  for (const Case& c : cases) {
    CaptureStderr();
    Kel3DEdgeGP edge(c.first, c.second, c.indices.empty() ? nullptr : c.indices.data(), c.count);
    EXPECT_EQ(GetCapturedStderr().rfind(prefix + c.message, 0), 0u) << c.message;
    EXPECT_EQ(edge.GetNbIndices(), 0);
    EXPECT_EQ(edge.GetIndices(), nullptr);
    EXPECT_EQ(edge.GetVertices(), nullptr);
  }
  // The on-demand face's array was released: LeakSanitizer checks it.
}

}  // namespace
