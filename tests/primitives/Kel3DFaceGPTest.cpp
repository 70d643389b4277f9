// Faces, planar faces and cylinders: copies, boxes, the tessellation protocol
// and dispatch.
#include <kel/primitives/Kel3DBoundingGP.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "KelRecordingRender.h"

namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

const float kSquare[12] = {0, 0, 0, 2, 0, 0, 2, 2, 0, 0, 2, 0};
const float kUp[3] = {0, 0, 1};

// The 13 outputs of Get, filled with junk so that every one must be written.
struct Tessellation {
  int allocate = -1, nbVertexCoords = -1, nbNormalCoords = -1, nbTriangles = -1, nbStrips = -1,
      nbFans = -1;
  float *vertices = kJunkF, *normals = kJunkF;
  int *triangles = kJunkI, *strips = kJunkI, *stripLengths = kJunkI, *fans = kJunkI,
      *fanLengths = kJunkI;
  static float kJunkF[1];
  static int kJunkI[1];

  void GetFrom(Kel3DBoundingGP& gp) {
    gp.Get(&allocate, &vertices, &nbVertexCoords, &normals, &nbNormalCoords, &triangles,
           &nbTriangles, &strips, &nbStrips, &stripLengths, &fans, &nbFans, &fanLengths);
  }
  void ClearWith(Kel3DBoundingGP& gp) {
    gp.Clear(&allocate, &vertices, &nbVertexCoords, &normals, &nbNormalCoords, &triangles,
             &nbTriangles, &strips, &nbStrips, &stripLengths, &fans, &nbFans, &fanLengths);
  }
};
float Tessellation::kJunkF[1];
int Tessellation::kJunkI[1];

// A tessellation made for each call, as a primitive that computes it on demand.
class OnDemandGP : public Kel3DBoundingGP {
 public:
  void Get(int* allocate, float** vertices, int* nbVertexCoords, float** normals,
           int* nbNormalCoords, int** triangles, int* nbTriangles, int** strips, int* nbStrips,
           int** stripLengths, int** fans, int* nbFans, int** fanLengths) override {
    *allocate = 1;
    *vertices = new float[9]();
    *nbVertexCoords = 9;
    *normals = new float[9]();
    *nbNormalCoords = 9;
    *triangles = new int[3]{0, 3, 6};
    *nbTriangles = 1;
    *strips = new int[3]{0, 3, 6};
    *stripLengths = new int[1]{3};
    *nbStrips = 1;
    *fans = new int[3]{0, 3, 6};
    *fanLengths = new int[1]{3};
    *nbFans = 1;
  }
};

void ExpectVec(const float* v, float x, float y, float z) {
  EXPECT_FLOAT_EQ(v[0], x);
  EXPECT_FLOAT_EQ(v[1], y);
  EXPECT_FLOAT_EQ(v[2], z);
}

TEST(Kel3DFaceGP, BoxOfASquare) {
  Kel3DFaceGP face(kSquare, 12, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, nullptr, 0, nullptr);
  ExpectVec(face.GetBoxHalfExtents(), 1, 1, 0);
  ExpectVec(face.GetSphereCenter(), 1, 1, 0);
  EXPECT_FLOAT_EQ(face.GetSphereRadius(), std::sqrt(2.0f));
}

TEST(Kel3DFaceGP, CopiesEveryArrayAndHandsThemOutWithoutAllocating) {
  int triangles[6] = {0, 3, 6, 0, 6, 9};
  int strips[7] = {0, 3, 9, 0, 3, 6, 9};
  int stripLengths[2] = {3, 4};
  int fans[4] = {9, 0, 3, 6};
  int fanLengths[1] = {4};
  Kel3DFaceGP face(kSquare, 12, kSquare, 12, triangles, 2, strips, 2, stripLengths, fans, 1,
                   fanLengths);
  triangles[5] = strips[6] = fans[3] = stripLengths[1] = -1;
  EXPECT_NE(face.GetVertexArray(), kSquare);
  EXPECT_EQ(face.GetTriangles()[5], 9);
  EXPECT_EQ(face.GetNbStripIndices(), 7);
  EXPECT_EQ(face.GetStripLengths()[1], 4);
  EXPECT_EQ(face.GetStrips()[6], 9);
  EXPECT_EQ(face.GetNbFanIndices(), 4);
  EXPECT_EQ(face.GetFans()[3], 6);

  Tessellation t;
  t.GetFrom(face);
  EXPECT_EQ(t.allocate, 0);
  EXPECT_EQ(t.vertices, face.GetVertexArray());
  EXPECT_EQ(t.normals, face.GetNormals());
  EXPECT_EQ(t.stripLengths, face.GetStripLengths());
  EXPECT_EQ(t.fanLengths, face.GetFanLengths());
  EXPECT_EQ(t.nbVertexCoords + t.nbTriangles + t.nbStrips + t.nbFans, 12 + 2 + 2 + 1);
  // Not allocated: Clear leaves the face's arrays alone.
  t.ClearWith(face);
  EXPECT_EQ(face.GetVertexArray()[3], 2.0f);
}

TEST(Kel3DFaceGP, MissingOrBadPartsCopyNothing) {
  const int triangles[3] = {0, 3, 6};
  const int strips[4] = {0, 3, 6, 9};
  const int badLengths[2] = {5, -1};
  CaptureStderr();
  Kel3DFaceGP face(kSquare, -12, kUp, 0, triangles, -1, strips, 2, badLengths, strips, 1, nullptr);
  EXPECT_EQ(GetCapturedStderr(),
            "Kel3DFaceGP::BuildStrips: Invalid strip lengths. No strip kept.\n");
  EXPECT_EQ(face.GetVertexArray(), nullptr);
  EXPECT_EQ(face.GetNbNormalCoords(), 0);
  EXPECT_EQ(face.GetTriangles(), nullptr);
  EXPECT_EQ(face.GetStrips(), nullptr);
  EXPECT_EQ(face.GetNbFans(), 0);
  EXPECT_EQ(face.GetSphereRadius(), 0.0f);

  const int badFanLengths[1] = {-3};
  CaptureStderr();
  Kel3DFaceGP fans(kSquare, 12, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, strips, 1,
                   badFanLengths);
  EXPECT_EQ(GetCapturedStderr(), "Kel3DFaceGP::BuildFans: Invalid fan lengths. No fan kept.\n");
  EXPECT_EQ(fans.GetNbFans(), 0);
  EXPECT_EQ(fans.GetNbVertexCoords(), 12);
}

TEST(Kel3DBoundingGP, AnswersNothingAndClearReleasesWhatWasMadeForTheCall) {
  Kel3DBoundingGP bounding;
  Tessellation none;
  none.GetFrom(bounding);
  EXPECT_EQ(none.vertices, nullptr);
  EXPECT_EQ(none.fanLengths, nullptr);
  EXPECT_EQ(none.allocate + none.nbVertexCoords + none.nbStrips + none.nbFans, 0);

  // Seven arrays made by Get; a leak or a double free shows under the sanitizers.
  OnDemandGP onDemand;
  Tessellation made;
  made.GetFrom(onDemand);
  made.ClearWith(onDemand);
  EXPECT_EQ(made.vertices, nullptr);
  EXPECT_EQ(made.fanLengths, nullptr);
  made.ClearWith(onDemand);
}

// Keeps what IsSeen was asked.
class FacingRender : public KelRecordingRender {
 public:
  const float* point = nullptr;
  const float* normal = nullptr;
  int IsSeen(const float* p, const float* n) override {
    point = p;
    normal = n;
    return KelRecordingRender::IsSeen(p, n);
  }
};

TEST(Kel3DPlanarFaceGP, DrawnOnlyWhenTheRenderSeesItsFront) {
  const int strip[4] = {0, 3, 9, 6};
  const int length[1] = {4};
  Kel3DPlanarFaceGP face(kSquare, 12, kUp, nullptr, 0, strip, 1, length, nullptr, 0, nullptr);
  FacingRender render;
  face.Draw(render);
  EXPECT_EQ(render.Joined(), "IsSeen, Draw3DPlanarFace");
  EXPECT_EQ(render.point, face.GetVertexArray());
  ExpectVec(render.normal, 0, 0, 1);
  render.ClearLog();
  render.seen = 0;
  face.Draw(render);
  EXPECT_EQ(render.Joined(), "IsSeen");
}

TEST(Kel3DCylinderGP, StoresItsAxisAndBoundsBothCircles) {
  const float points[12] = {2, 0, 0, 0, 2, 0, -2, 0, 0, 0, -2, 0};
  const float origin[3] = {0, 0, 0};
  Kel3DCylinderGP cylinder(points, 4, kUp, 3.0f, origin, 2.0f);

  EXPECT_NE(cylinder.GetPoints(), points);
  EXPECT_FLOAT_EQ(cylinder.GetInverseRadius(), 0.5f);
  ExpectVec(cylinder.GetBoxCenter(), 0, 0, 1.5f);
  ExpectVec(cylinder.GetBoxHalfExtents(), 2, 2, 1.5f);
  EXPECT_FLOAT_EQ(cylinder.GetSphereRadius(), std::sqrt(10.25f));

  // The render tessellates it: the uniform form answers nothing.
  Tessellation t;
  t.GetFrom(cylinder);
  EXPECT_EQ(t.nbVertexCoords, 0);

  KelRecordingRender render;
  cylinder.Draw(render);
  cylinder.DrawWireframe(render);
  EXPECT_EQ(render.Joined(), "Draw3DCylinder 4, DrawWireframe3DCylinder");
}

TEST(Kel3DCylinderGP, MoreThan300PointsLeavesItEmpty) {
  std::vector<float> points(3 * 301, 1.0f);
  const float origin[3] = {0, 0, 0};
  Kel3DCylinderGP tooMany(points.data(), 301, kUp, 1.0f, origin, 1.0f);
  EXPECT_EQ(tooMany.GetPoints(), nullptr);
  EXPECT_EQ(tooMany.GetSphereRadius(), 0.0f);

  Kel3DCylinderGP largest(points.data(), 300, kUp, 1.0f, origin, 1.0f);
  EXPECT_EQ(largest.GetNbPoints(), 300);
  ExpectVec(largest.GetBoxCenter(), 1, 1, 1.5f);
}

}  // namespace
