#include "KelDefaultScene.h"

#include "KelAppScene.h"

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/reps/Kel3DAxisRep.h>
#include <kel/reps/Kel3DBagRep.h>
#include <kel/reps/Kel3DCuboidRep.h>
#include <kel/reps/Kel3DCylinderRep.h>
#include <kel/reps/Kel3DSimpleConeRep.h>
#include <kel/reps/Kel3DSimpleSphereRep.h>
#include <kel/reps/KelSurfacicRep.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr float kPi = 3.14159265358979f;

// Sizes in millimetres; z is up, the shaft runs along x at this height.
constexpr float kPlateTop = 8.0f;
constexpr float kAxisHeight = 32.0f;  // above the plate
constexpr float kShaftZ = kPlateTop + kAxisHeight;

struct Rgb {
  unsigned char r, g, b;
};
constexpr Rgb kPlateColour = {112, 118, 130};
constexpr Rgb kBlockColour = {64, 108, 178};
constexpr Rgb kSteelColour = {205, 207, 214};
constexpr Rgb kPulleyColour = {58, 156, 138};
constexpr Rgb kEdgeColour = {22, 26, 30};
constexpr Rgb kTipColour = {196, 52, 44};
constexpr Rgb kAxisColour = {236, 236, 236};

void SetRGB(KelGraphicAttributeSet& a, Rgb c) {
  a.color = KelGraphicAttributeSet::RGBA_COLOR;
  a.rgba[0] = c.r;
  a.rgba[1] = c.g;
  a.rgba[2] = c.b;
  a.rgba[3] = 255;
}
template <class R>
R* Coloured(R* rep, Rgb c) {
  SetRGB(rep->GetGraphicAttributeSet(), c);
  return rep;
}
KelGraphicAttributeSet* NewAttributes(Rgb c) {
  auto* a = new KelGraphicAttributeSet;
  SetRGB(*a, c);
  return a;
}

Kel3DBagRep* Placed(Kel3DRep& child, const Kel4x4Matrix& m) {
  auto* bag = new Kel3DBagRep;
  bag->SetMatrix(m);
  bag->AddChild(child);
  return bag;
}

// Profile of the pulley in (x along the axis, radius): a hub, a disc and a rim
// with a V groove. The bore stays open: the shaft fills it.
struct ProfilePoint {
  float x, r;
};
const ProfilePoint kProfile[] = {{-16, 7},   {-16, 12}, {-10, 12}, {-10, 28}, {-4, 28},
                                 {0, 19.5f}, {4, 28},   {10, 28},  {10, 7}};
constexpr int kSegments = sizeof(kProfile) / sizeof(kProfile[0]) - 1;
constexpr float kPulleyRadius = 28.0f;

// Facets around the axis that keep the chord error of the largest circle
// within `sag`.
int FacetsForSag(float sag) {
  const float half = std::acos(std::max(-1.0f, 1.0f - sag / kPulleyRadius));
  return std::clamp(static_cast<int>(std::ceil(kPi / half)), 6, 720);
}

// The segments [first, last) revolved with n facets: two rings of n vertices
// per segment, flat along the profile (normals from the segment), so that the
// corners between segments stay sharp.
Kel3DFaceGP* RevolvedFace(int first, int last, int n) {
  std::vector<float> v, nv;
  std::vector<int> t;
  for (int s = first; s < last; ++s) {
    const ProfilePoint a = kProfile[s], b = kProfile[s + 1];
    const float dx = b.x - a.x, dr = b.r - a.r;
    const float len = std::sqrt(dx * dx + dr * dr);
    const float nx = -dr / len, nr = dx / len;
    const int base = static_cast<int>(v.size()) / 3;
    for (const ProfilePoint& p : {a, b})
      for (int k = 0; k < n; ++k) {
        const float angle = 2.0f * kPi * k / n;
        const float c = std::cos(angle), sn = std::sin(angle);
        v.insert(v.end(), {p.x, p.r * c, p.r * sn});
        nv.insert(nv.end(), {nx, nr * c, nr * sn});
      }
    for (int k = 0; k < n; ++k) {
      const int k1 = (k + 1) % n;
      const int a0 = base + k, a1 = base + k1, b0 = base + n + k, b1 = base + n + k1;
      t.insert(t.end(), {3 * a0, 3 * a1, 3 * b1, 3 * a0, 3 * b1, 3 * b0});
    }
  }
  const int nv3 = static_cast<int>(v.size());
  return new Kel3DFaceGP(v.data(), nv3, nv.data(), nv3, t.data(), static_cast<int>(t.size()) / 3,
                         nullptr, 0, nullptr, nullptr, 0, nullptr);
}

// The circle of ring `ring` (0 or 1) of a one-segment face, closed.
Kel3DEdgeGP* Circle(Kel3DFaceGP* face, int ring, int n) {
  std::vector<int> indices;
  for (int k = 0; k <= n; ++k) indices.push_back(3 * (ring * n + k % n));
  return new Kel3DEdgeGP(face, nullptr, indices.data(), static_cast<int>(indices.size()));
}

}  // namespace

KelSurfacicRep* KelDefaultScene::BuildPulley() {
  auto* pulley = new KelSurfacicRep;
  const float sag = 0.02f;
  const int n = FacetsForSag(sag);
  for (int s = 0; s < kSegments; ++s) {
    Kel3DFaceGP* face = RevolvedFace(s, s + 1, n);
    pulley->AddGeomFace(face, NewAttributes(kPulleyColour));
    pulley->AddGeomEdge(Circle(face, 0, n), NewAttributes(kEdgeColour));
    if (s == kSegments - 1) pulley->AddGeomEdge(Circle(face, 1, n), NewAttributes(kEdgeColour));
  }
  pulley->SetGeomSag(sag);
  for (float lodSag : {0.4f, 2.0f})
    pulley->AddLOD(RevolvedFace(0, kSegments, FacetsForSag(lodSag)), NewAttributes(kPulleyColour),
                   lodSag);
  float xmin = kProfile[0].x, xmax = kProfile[0].x;
  for (const ProfilePoint& p : kProfile) {
    xmin = std::min(xmin, p.x);
    xmax = std::max(xmax, p.x);
  }
  const float cx = 0.5f * (xmin + xmax);
  float radius = 0.0f;
  for (const ProfilePoint& p : kProfile)
    radius = std::max(radius, std::sqrt((p.x - cx) * (p.x - cx) + p.r * p.r));
  pulley->SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(cx, 0, 0), radius, 0.0f));
  return pulley;
}

Kel3DBagRep* KelDefaultScene::BuildPillowBlock() {
  // Local frame: base centre on the plate, the bore along x at kAxisHeight.
  auto* block = new Kel3DBagRep;
  block->AddChild(*Coloured(new Kel3DCuboidRep(Kelpoint3f(-12, -26, 0), Kelvector3f(24, 0, 0),
                                               Kelvector3f(0, 52, 0), Kelvector3f(0, 0, 7), 253),
                            kBlockColour));
  block->AddChild(
      *Coloured(new Kel3DCuboidRep(Kelpoint3f(-9, -15, 7), Kelvector3f(18, 0, 0),
                                   Kelvector3f(0, 30, 0), Kelvector3f(0, 0, kAxisHeight - 7), 253),
                kBlockColour));
  block->AddChild(*Coloured(
      new Kel3DCylinderRep(Kelpoint3f(-9, 0, kAxisHeight), Kelpoint3f(9, 0, kAxisHeight), 15.0f),
      kBlockColour));
  // Dome nuts on the feet, and a grease cup on top of the housing.
  for (float y : {-20.5f, 20.5f})
    block->AddChild(
        *Coloured(new Kel3DSimpleSphereRep(Kelpoint3f(0, y, 7), 3.8f, 24), kSteelColour));
  block->AddChild(*Coloured(new Kel3DCylinderRep(Kelpoint3f(0, 0, kAxisHeight + 14),
                                                 Kelpoint3f(0, 0, kAxisHeight + 18), 2.5f),
                            kSteelColour));
  block->AddChild(*Coloured(new Kel3DSimpleConeRep(Kelpoint3f(0, 0, kAxisHeight + 24),
                                                   Kelpoint3f(0, 0, kAxisHeight + 17), 5.0f, 24),
                            kTipColour));
  return block;
}

void KelDefaultScene::Build(KelAppScene& scene, int axisLength) {
  Kel3DBagRep* root = scene.GetRoot();
  root->AddChild(
      *Coloured(new Kel3DCuboidRep(Kelpoint3f(-70, -35, 0), Kelvector3f(140, 0, 0),
                                   Kelvector3f(0, 70, 0), Kelvector3f(0, 0, kPlateTop), 253),
                kPlateColour));

  // One part, placed twice; the second placement is the highlighted one.
  Kel3DBagRep* block = BuildPillowBlock();
  root->AddChild(*Placed(*block, Kel4x4Matrix(Kelvector3f(-36, 0, kPlateTop))));
  Kel3DBagRep* highlighted = Placed(*block, Kel4x4Matrix(Kelvector3f(36, 0, kPlateTop)));
  root->AddChild(*highlighted);
  highlighted->HighLightOn();

  // The rotor, turned a little about the shaft axis: shaft, pulley, collar and
  // a centre point at the free end.
  auto* rotor = new Kel3DBagRep;
  rotor->SetMatrix(Kel4x4Matrix(Kelvector3f(0.3f, 0, 0), Kelpoint3f(0, 0, kShaftZ)));
  rotor->AddChild(
      *Coloured(new Kel3DCylinderRep(Kelpoint3f(-84, 0, kShaftZ), Kelpoint3f(58, 0, kShaftZ), 7.0f),
                kSteelColour));
  rotor->AddChild(*Placed(*BuildPulley(), Kel4x4Matrix(Kelvector3f(-66, 0, kShaftZ))));
  rotor->AddChild(
      *Coloured(new Kel3DCylinderRep(Kelpoint3f(50, 0, kShaftZ), Kelpoint3f(56, 0, kShaftZ), 10.0f),
                kSteelColour));
  rotor->AddChild(*Coloured(
      new Kel3DSimpleConeRep(Kelpoint3f(58, 0, kShaftZ), Kelpoint3f(68, 0, kShaftZ), 7.0f, 32),
      kTipColour));
  root->AddChild(*rotor);

  // The model axes at the plate's corner; arrow lengths are screen millimetres.
  Kel4x4Matrix frame(Kelvector3f(-70, -35, kPlateTop));
  root->AddChild(*Coloured(new Kel3DAxisRep(frame, axisLength, 0), kAxisColour));
}
