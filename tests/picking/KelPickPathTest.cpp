#include <gtest/gtest.h>

#include <kel/framework/KelMath.h>
#include <kel/picking/KelGraphicElementIntersection.h>
#include <kel/picking/KelGraphicElementNormale.h>
#include <kel/picking/KelPickPath.h>
#include <kel/picking/KelPickPathList.h>

#include <vector>

namespace {

KelPickPath* Hit(float deep, float dimension, int zBuffer, int overlay = 0) {
  auto* p = new KelPickPath(static_cast<KelViewpoint*>(nullptr));
  p->SetDeep(deep);
  p->SetDimension(dimension);
  p->SetZBuffer(zBuffer);
  p->SetOverlay(overlay);
  return p;
}

// Adds the paths, sorts, and answers them in the list's order.
std::vector<KelPickPath*> Sorted(KelPickPathList& l, std::vector<KelPickPath*> paths) {
  for (KelPickPath* p : paths) l += *p;
  l.SortGraphicAttributeSet();
  std::vector<KelPickPath*> v;
  for (KelPickPath* p : l.GetPickPathList()) v.push_back(p);
  return v;
}

TEST(KelPickPathList, SortOrder) {
  KelPickPathList().SortGraphicAttributeSet();  // empty: nothing
  {  // Z-buffered hits by depth, equal depths newest first.
    KelPickPathList l;
    KelPickPath* far = Hit(0.5f, 2, 1);
    KelPickPath* near = Hit(0.2f, 2, 1);
    KelPickPath* tieFirst = Hit(0.7f, 2, 1);
    KelPickPath* tieSecond = Hit(0.7f, 2, 1);
    // A path added twice is listed (and deleted by Reset) once.
    EXPECT_EQ(Sorted(l, {far, near, tieFirst, tieSecond, far}),
              (std::vector<KelPickPath*>{near, far, tieSecond, tieFirst}));
    l.Reset();
  }
  {  // Non-z-buffered (overlay and flat) hits first, at depth zero, by dimension; an
     // overlay face is on top of the z-buffered ones.
    KelPickPathList l;
    KelPickPath* overlaySurface = Hit(0.9f, 2, 1, 1);
    KelPickPath* line1 = Hit(0.4f, 1, 0);
    KelPickPath* face = Hit(0.05f, 2, 1);
    KelPickPath* point = Hit(0.8f, 0, 0);
    KelPickPath* line2 = Hit(0.1f, 1, 0);
    EXPECT_EQ(Sorted(l, {overlaySurface, line1, face, point, line2}),
              (std::vector<KelPickPath*>{point, line2, line1, overlaySurface, face}));
    for (KelPickPath* p : {overlaySurface, line1, point, line2}) EXPECT_EQ(p->GetDeep(), 0.0f);
    EXPECT_EQ(face->GetDeep(), 0.05f);
    l.Reset();
  }
}

// ---- double-precision hit values

TEST(KelGraphicElement, IntersectionAndNormale) {
  const KelGraphicElementIntersection p(Kelpoint3f(0.1f, -2.0f, 3.0f));
  EXPECT_EQ(p.x, double(0.1f));  // widened, not rounded to the decimal

  const KelGraphicElementNormale n(KelMathVector(0.0, 3.0, 4.0));
  EXPECT_DOUBLE_EQ(n.y, 0.6);
  EXPECT_DOUBLE_EQ(n.z, 0.8);
  const long errors = KelMath::ErrorCount();
  testing::internal::CaptureStderr();
  const KelGraphicElementNormale zero(KelMathVector(0.0, 0.0, 0.0));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Direction3D : Vecteur nul\n");
  EXPECT_EQ(KelMath::ErrorCount(), errors + 1);
  EXPECT_EQ(zero.x, 1.0);
}

}  // namespace
