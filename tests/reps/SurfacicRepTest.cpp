#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/KelRepPath.h>
#include <kel/reps/KelSurfacicRep.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "KelRecordingRender.h"

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

KelGraphicAttributeSet* Attributes(unsigned char colour, unsigned char flags = 0) {
  auto* a = new KelGraphicAttributeSet;
  a->color = colour;
  a->flags = flags;
  return a;
}

// A unit square in the plane z = 0 with its lower left corner at (x, y): two
// triangles, one normal per vertex.
Kel3DFaceGP* Square(float x, float y) {
  const float v[12] = {x, y, 0, x + 1, y, 0, x + 1, y + 1, 0, x, y + 1, 0};
  const float n[12] = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
  const int tri[6] = {0, 3, 6, 0, 6, 9};
  return new Kel3DFaceGP(v, 12, n, 12, tri, 2, nullptr, 0, nullptr, nullptr, 0, nullptr);
}

Kel3DEdgeGP* EdgeOf(Kel3DFaceGP* face) {
  const int indices[2] = {0, 3};
  return new Kel3DEdgeGP(face, nullptr, indices, 2);
}

// Records which face or edge is drawn, the sub-element numbers asked about, the
// spheres of the per-face tests, and answers "outside" for chosen faces.
class SurfaceRender : public KelRecordingRender {
 public:
  SurfaceRender() {
    SetMesh(1);
    SetEdge(1);
  }
  std::map<const void*, std::string> names;
  std::vector<int> outsideNumbers;

  int IsDrawable(const KelGraphicAttributeSet& a, const float* centre, const float radius,
                 const int n) override {
    Record("sphere " + std::to_string(n) + " " + Num(centre[0]) + " " + Num(centre[1]) + " " +
           Num(radius));
    for (int o : outsideNumbers)
      if (o == n) return 0;
    return KelRender::IsDrawable(a);
  }
  int IsDrawable(const KelGraphicAttributeSet& a, const int n) override {
    Record("flags " + std::to_string(n));
    return KelRender::IsDrawable(a);
  }
  using KelRecordingRender::IsDrawable;
  void Draw3DFace(Kel3DFaceGP& gp) override { Record(names[&gp]); }
  void Draw3DEdge(Kel3DEdgeGP& gp) override { Record(names[&gp]); }
  // The log without the colour changes.
  std::string Drawn() const {
    std::string s;
    for (const std::string& line : GetLog()) {
      if (line.rfind("SetForeground", 0) == 0) continue;
      if (!s.empty()) s += ", ";
      s += line;
    }
    return s;
  }

 private:
  static std::string Num(float f) {
    char b[32];
    std::snprintf(b, sizeof b, "%g", f);
    return b;
  }
};

// Three squares side by side (faces 0 to 2, sub-elements 0 to 2) and an edge on
// each of the first two (sub-elements 3 and 4).
class SurfacicRepTest : public ::testing::Test {
 protected:
  SurfacicRepTest() {
    for (int i = 0; i < 3; ++i) {
      faces[i] = Square(2.0f * i, 0.0f);
      rep.AddGeomFace(faces[i], Attributes(static_cast<unsigned char>(10 + i)));
      render.names[faces[i]] = "face " + std::to_string(i);
    }
    for (int j = 0; j < 2; ++j) {
      edges[j] = EdgeOf(faces[j]);
      rep.AddGeomEdge(edges[j], Attributes(static_cast<unsigned char>(20 + j)));
      render.names[edges[j]] = "edge " + std::to_string(j);
    }
    rep.SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(2.5f, 0.5f, 0), 3.0f, 0.0f));
  }
  std::string DrawPath(const std::vector<int>& numbers) {
    KelRepPath path;
    path.AddRep(rep);
    list<int> subElements;
    for (int s : numbers) subElements.Append(s);
    path.SetSubElementList(subElements);
    path.InitToTopRep();
    path.NextChildRep();
    render.ClearLog();
    rep.DrawPath(render, 0, path);
    return render.Joined();
  }

  KelSurfacicRep rep;
  Kel3DFaceGP* faces[3];
  Kel3DEdgeGP* edges[2];
  SurfaceRender render;
};

TEST_F(SurfacicRepTest, DrawsEdgesThenFacesLastFirstCullingFacesOneByOneUnlessInside) {
  // Face i is the square [2i, 2i + 1] x [0, 1]: sphere centre (2i + 0.5, 0.5), radius sqrt(0.5).
  render.outsideNumbers = {1};
  rep.DrawShading(render, 0);
  EXPECT_EQ(render.Drawn(),
            "IsDrawable volume, flags 4, edge 1, flags 3, edge 0, "
            "sphere 2 4.5 0.5 0.707107, face 2, sphere 1 2.5 0.5 0.707107, "
            "sphere 0 0.5 0.5 0.707107, face 0");

  // An ancestor wholly inside the view: no volume test at all, faces by flags.
  render.ClearLog();
  rep.DrawShading(render, 1);
  EXPECT_EQ(render.Drawn(),
            "IsDrawable flags, flags 4, edge 1, flags 3, edge 0, "
            "flags 2, face 2, flags 1, face 1, flags 0, face 0");
}

TEST_F(SurfacicRepTest, HiddenRepOrElementsAndSwitchedOffKindsAreNotDrawn) {
  rep.GetFaceAttributes(0)->flags |= KelGraphicAttributeSet::TEMPORY_HIDDEN;
  rep.GetEdgeAttributes(1)->flags |= KelGraphicAttributeSet::TEMPORY_HIDDEN;
  render.SetEdge(0);
  rep.DrawShading(render, 1);
  EXPECT_EQ(render.Drawn(), "IsDrawable flags, flags 2, face 2, flags 1, face 1, flags 0");

  render.SetEdge(1);
  render.SetMesh(0);
  render.ClearLog();
  rep.DrawShading(render, 1);
  EXPECT_EQ(render.Drawn(), "IsDrawable flags, flags 4, flags 3, edge 0");

  render.outside = 1;
  render.ClearLog();
  rep.DrawShading(render, 0);
  EXPECT_EQ(render.Drawn(), "IsDrawable volume");
}

TEST_F(SurfacicRepTest, PathNumbersFacesThenEdgesAndSkipsUnknownNumbers) {
  EXPECT_EQ(DrawPath({4}), "SetForeground 21, edge 1");
  // Last number first, no visibility test.
  EXPECT_EQ(DrawPath({0, 3}), "SetForeground 20, edge 0, SetForeground 10, face 0");
  // Numbers naming nothing (from an older pick, or set from outside) are skipped.
  EXPECT_EQ(DrawPath({-1, 5, 1, 1 << 30}), "SetForeground 11, face 1");
  // A whole-Rep path shows the drawable edges only.
  rep.GetEdgeAttributes(0)->flags |= KelGraphicAttributeSet::TEMPORY_HIDDEN;
  EXPECT_EQ(DrawPath({}), "SetForeground 21, edge 1");
  // Not the end of its path: nothing.
  Kel3DBagRep other;
  KelRepPath path;
  path.AddRep(rep);
  path.AddRep(other);
  path.InitToTopRep();
  path.NextChildRep();
  render.ClearLog();
  rep.DrawPath(render, 0, path);
  EXPECT_EQ(render.Joined(), "");
}

TEST_F(SurfacicRepTest, HighlightAndHideReachEveryAttributeSet) {
  rep.AddLOD(Square(0, 0), Attributes(30), 0.5f);
  rep.GetFaceAttributes(1)->flags |= KelGraphicAttributeSet::SECOND_MARK;
  rep.HighLightOn();
  rep.TemporyNoshowOn();
  const KelGraphicAttributeSet* sets[] = {&rep.GetGraphicAttributeSet(), rep.GetFaceAttributes(0),
                                          rep.GetFaceAttributes(1),      rep.GetFaceAttributes(2),
                                          rep.GetEdgeAttributes(0),      rep.GetEdgeAttributes(1),
                                          rep.GetLODAttributes(1)};
  for (const KelGraphicAttributeSet* a : sets) EXPECT_EQ(a->flags & 0x0A, 0x0A);
  rep.HighLightOff();
  rep.TemporyNoshowOff();
  for (const KelGraphicAttributeSet* a : sets) EXPECT_EQ(a->flags & 0x0A, 0);
  EXPECT_EQ(rep.GetFaceAttributes(1)->flags, KelGraphicAttributeSet::SECOND_MARK);
}

TEST_F(SurfacicRepTest, ShowingAgainPutsTheRepBackIntoItsBagsBounds) {
  // The surface spans x in [0, 5]; its sibling sits far along y.
  auto* sibling = new KelSurfacicRep;
  sibling->SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0, 100, 0), 1.0f, 0.0f));
  Kel3DBagRep bag;
  bag.AddChild(rep);
  bag.AddChild(*sibling);

  rep.TemporyNoshowOn();
  EXPECT_FLOAT_EQ(bag.GetBoundingElement().GetRadius(), 1.0f);
  // The sibling moves while the surface is hidden.
  sibling->SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(0, 50, 0), 1.0f, 0.0f));
  bag.ComputeBoundingElement();
  rep.TemporyNoshowOff();
  EXPECT_TRUE(bag.GetBoundingElement().IsInside(
      Kel3DBoundingSphere(Kelpoint3f(2.5f, 0.5f, 0), 2.9f, 0.0f)));

  bag.RemoveChild(rep);
  bag.RemoveChild(*sibling);
  sibling->Destroy();
}

TEST_F(SurfacicRepTest, RefusesBadArgumentsWithTheirMessages) {
  auto* face = Square(0, 0);
  auto* attributes = Attributes(1);
  CaptureStderr();
  rep.AddGeomFace(face, nullptr);
  rep.AddGeomFace(nullptr, attributes);
  rep.AddGeomEdge(nullptr, attributes);
  rep.AddLOD(face, attributes, -0.5f);
  rep.AddLOD(nullptr, attributes, 0.5f);
  rep.SetGeomSag(0.25f);
  rep.SetGeomSag(-1.0f);
  EXPECT_EQ(GetCapturedStderr(),
            "KelSurfacicRep::AddGeomFace: Invalid function parameters.\n"
            "KelSurfacicRep::AddGeomFace: Invalid function parameters.\n"
            "KelSurfacicRep::AddGeomEdge: Invalid function parameters.\n"
            "KelSurfacicRep::AddLOD: Invalid function parameters.\n"
            "KelSurfacicRep::AddLOD: Invalid function parameters.\n"
            "KelSurfacicRep::SetGeomSag: Element sag must be strictly positive.\n");
  EXPECT_EQ(rep.GetNbFaces() + rep.GetNbEdges() + rep.GetNbLODs(), 3 + 2 + 0);
  EXPECT_FLOAT_EQ(rep.GetGeomSag(), 0.25f);
  // Refused arguments stay the caller's.
  KelGraphicPrimitive::Destroy(face);
  delete attributes;
}

TEST(SurfacicRepDestroyTest, PrimitivesWaitForTheEndOfADrawingPass) {
  auto* rep = new KelSurfacicRep;
  auto* face = Square(0, 0);
  rep->AddGeomFace(face, Attributes(1));
  rep->AddGeomEdge(EdgeOf(face), Attributes(1));
  rep->AddLOD(Square(0, 0), Attributes(1), 1.0f);
  KelGraphicPrimitive::Lock();
  rep->Destroy();
  EXPECT_EQ(KelGraphicPrimitive::_listOfGraphicPrimitive.Count(), 3);
  KelGraphicPrimitive::Unlock();
  EXPECT_EQ(KelGraphicPrimitive::_listOfGraphicPrimitive.Count(), 0);
}

// ---- GroupFaces

struct Merged {
  float* v = nullptr;
  float* n = nullptr;
  int* tri = nullptr;
  int* st = nullptr;
  int* stl = nullptr;
  int* fa = nullptr;
  int* fal = nullptr;
  int nv = -1, nn = -1, ntri = -1, nst = -1, nfa = -1;

  explicit Merged(KelSurfacicRep& rep) {
    rep.GroupFaces(&v, &nv, &n, &nn, &tri, &ntri, &st, &nst, &stl, &fa, &nfa, &fal);
  }
  ~Merged() {
    delete[] v;
    delete[] n;
    delete[] tri;
    delete[] st;
    delete[] stl;
    delete[] fa;
    delete[] fal;
  }
  std::vector<float> Vertices() const { return {v, v + nv}; }
  std::vector<float> Normals() const { return {n, n + nn}; }
  std::vector<int> Triangles() const { return {tri, tri + 3 * ntri}; }
  int Empty() const {
    return nv == 0 && nn == 0 && ntri == 0 && nst == 0 && nfa == 0 && !v && !n && !tri && !st &&
           !stl && !fa && !fal;
  }
};

// Hands out the arrays it is given: another face's vertices with no count of
// its own (a face sharing data), or copies made for each call.
class HandOutFaceGP : public Kel3DBoundingGP {
  template <class T>
  static T* Copy(const T* p, int count) {
    return std::copy(p, p + count, new T[count]) - count;
  }

 public:
  HandOutFaceGP(const float* v, int nv, const float* n, int nn, std::vector<int> tri,
                int allocate = 0)
      : _v(v), _nv(nv), _n(n), _nn(nn), _tri(std::move(tri)), _allocate(allocate) {}
  void Get(int* allocate, float** v, int* nv, float** n, int* nn, int** tri, int* ntri, int** st,
           int* nst, int** stl, int** fa, int* nfa, int** fal) override {
    Kel3DBoundingGP::Get(allocate, v, nv, n, nn, tri, ntri, st, nst, stl, fa, nfa, fal);
    *allocate = _allocate;
    *nv = _nv;
    *nn = _nn;
    *ntri = static_cast<int>(_tri.size() / 3);
    *v = _allocate ? Copy(_v, _nv) : const_cast<float*>(_v);
    *n = _allocate ? Copy(_n, _nn) : const_cast<float*>(_n);
    *tri = _allocate ? Copy(_tri.data(), int(_tri.size())) : _tri.data();
  }

 private:
  const float* _v;
  int _nv;
  const float* _n;
  int _nn;
  std::vector<int> _tri;
  int _allocate;
};

TEST(SurfacicRepGroupTest, LaysFacesOutInOrderWithShiftedIndicesAndOneNormalPerVertex) {
  KelSurfacicRep rep;
  // Face 0: the unit square, per-vertex normals, one strip of 4.
  const float v0[12] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0};
  const float n0[12] = {0, 0, 1, 0, 0.6f, 0.8f, 0, 0, 1, 0, 0, 1};
  const int strip0[4] = {0, 3, 6, 9};
  const int stripLength0 = 4;
  rep.AddGeomFace(
      new Kel3DFaceGP(v0, 12, n0, 12, nullptr, 0, strip0, 1, &stripLength0, nullptr, 0, nullptr),
      Attributes(1));
  // Face 1: a planar triangle (one normal), as a triangle and as a fan.
  const float v1[9] = {5, 0, 0, 6, 0, 0, 5, 1, 0};
  const float n1[3] = {0, 1, 0};
  const int tri1[3] = {0, 3, 6};
  const int fan1[3] = {6, 0, 3};
  const int fanLength1 = 3;
  rep.AddGeomFace(
      new Kel3DPlanarFaceGP(v1, 9, n1, tri1, 1, nullptr, 0, nullptr, fan1, 1, &fanLength1),
      Attributes(2));
  // Face 2: a triangle without any normal.
  const float v2[9] = {7, 0, 0, 8, 0, 0, 7, 1, 0};
  const int tri2[3] = {6, 3, 0};
  rep.AddGeomFace(
      new Kel3DFaceGP(v2, 9, nullptr, 0, tri2, 1, nullptr, 0, nullptr, nullptr, 0, nullptr),
      Attributes(3));

  Merged m(rep);
  ASSERT_EQ(m.nv, 30);
  ASSERT_EQ(m.nn, 30);
  std::vector<float> vertices(v0, v0 + 12);
  vertices.insert(vertices.end(), v1, v1 + 9);
  vertices.insert(vertices.end(), v2, v2 + 9);
  EXPECT_EQ(m.Vertices(), vertices);
  std::vector<float> normals(n0, n0 + 12);
  for (int k = 0; k < 3; ++k) normals.insert(normals.end(), n1, n1 + 3);
  normals.insert(normals.end(), 9, 0.0f);
  EXPECT_EQ(m.Normals(), normals);
  // Face 1 starts at coordinate 12, face 2 at 21.
  EXPECT_EQ(m.Triangles(), (std::vector<int>{12, 15, 18, 27, 24, 21}));
  ASSERT_EQ(m.nst + m.nfa, 2);
  EXPECT_EQ(std::vector<int>(m.st, m.st + 4), (std::vector<int>{0, 3, 6, 9}));
  EXPECT_EQ(std::vector<int>(m.fa, m.fa + 3), (std::vector<int>{18, 12, 15}));
  EXPECT_EQ(m.stl[0] + m.fal[0], 4 + 3);
}

TEST(SurfacicRepGroupTest, SharingFacesTakeTheOffsetOfTheFaceThatOwnsTheData) {
  const float v[18] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 9, 9, 9, 8, 8, 8, 7, 7, 7};
  const float n[18] = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
  KelSurfacicRep rep;
  // Made for each call: the merge must release it (checked by the leak checker).
  rep.AddGeomFace(new HandOutFaceGP(v + 9, 9, n + 9, 9, {0, 3, 6}, 1), Attributes(1));
  rep.AddGeomFace(new HandOutFaceGP(v, 9, n, 9, {0, 3, 6}), Attributes(1));
  rep.AddGeomFace(new HandOutFaceGP(v, 0, n, 0, {6, 3, 0}), Attributes(1));
  Merged m(rep);
  ASSERT_EQ(m.nv, 18);
  EXPECT_EQ(m.Vertices(),
            (std::vector<float>{9, 9, 9, 8, 8, 8, 7, 7, 7, 0, 0, 0, 1, 0, 0, 1, 1, 0}));
  EXPECT_EQ(m.Triangles(), (std::vector<int>{0, 3, 6, 9, 12, 15, 15, 12, 9}));
}

TEST(SurfacicRepGroupTest, RefusesSharingThatCannotBeMerged) {
  const float v[9] = {0, 0, 0, 1, 0, 0, 1, 1, 0};
  const float w[9] = {0, 0, 1, 1, 0, 1, 1, 1, 1};
  const float n[9] = {0, 0, 1, 0, 0, 1, 0, 0, 1};
  struct Case {
    std::vector<const float*> sharers;
    const char* message;
  } cases[] = {{{v, w},
                "Only ONE vertex and ONE normal reference allowed for every faces in the Rep when "
                "sharing data"},
               {{w},
                "Some faces are sharing data that do not belong to the SurfacicRep. This is "
                "not correct"}};
  for (const Case& c : cases) {
    KelSurfacicRep rep;
    rep.AddGeomFace(new HandOutFaceGP(v, 9, n, 9, {0, 3, 6}), Attributes(1));
    for (const float* s : c.sharers)
      rep.AddGeomFace(new HandOutFaceGP(s, 0, n, 0, {0, 3, 6}), Attributes(1));
    CaptureStderr();
    Merged m(rep);
    EXPECT_EQ(GetCapturedStderr(), std::string("KelSurfacicRep::GroupFaces: ") + c.message +
                                       ". Exiting with an empty result.\n");
    EXPECT_TRUE(m.Empty());
  }
  KelSurfacicRep empty;
  EXPECT_TRUE(Merged(empty).Empty());
}

}  // namespace
