// Scenes the benchmarks share: leaves of one face primitive, an assembly of
// tiles under levels of placed bags, and 400 wavy patches of 2500 triangles
// (10^6 triangles).
#pragma once

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/reps/Kel3DBagRep.h>

#include <cmath>
#include <vector>

namespace kelbench {

inline constexpr unsigned char kFaces = 0x30;

// A leaf drawing one face primitive.
class FaceLeaf : public Kel3DRep {
 public:
  explicit FaceLeaf(Kel3DFaceGP* face) : _face(face) {
    const float* c = face->GetSphereCenter();
    SetBoundingElement(Kel3DBoundingSphere(Kelpoint3f(c), face->GetSphereRadius(), 0.0f));
    KelGraphicAttributeSet a;
    a.flags = kFaces;
    SetGraphicAttributeSet(a);
  }
  ~FaceLeaf() override { KelGraphicPrimitive::Destroy(_face); }
  void DrawShading(KelRender& render, int inside) override {
    if (OkToDraw(render, &inside)) _face->Draw(render);
  }

 private:
  Kel3DFaceGP* _face;
};

// A rectangle of two triangles filling most of a w x h cell.
inline Kel3DFaceGP* Tile(float w, float h) {
  const float x0 = 0.05f * w, x1 = 0.95f * w, y0 = 0.05f * h, y1 = 0.95f * h;
  const float v[12] = {x0, y0, 0, x1, y0, 0, x1, y1, 0, x0, y1, 0};
  const int t[6] = {0, 3, 6, 0, 6, 9};
  return new Kel3DFaceGP(v, 12, nullptr, 0, t, 2, nullptr, 0, nullptr, nullptr, 0, nullptr);
}

// Levels of bags over a w x h cell, each child placed by a translation on a
// 6 x 3 grid (3 x 6 when the cell is taller than wide) that fills the cell;
// the leaves are tiles filling their cells.
inline Kel3DRep* Assembly(int level, float w, float h) {
  if (level == 0) return new FaceLeaf(Tile(w, h));
  auto* bag = new Kel3DBagRep;
  const int nx = w >= h ? 6 : 3, ny = 18 / nx;
  const float sx = w / float(nx), sy = h / float(ny);
  for (int j = 0; j < ny; ++j)
    for (int i = 0; i < nx; ++i) {
      Kel3DRep* child = Assembly(level - 1, sx, sy);
      auto* placed = new Kel3DBagRep;
      placed->SetMatrix(Kel4x4Matrix(Kelvector3f(float(i) * sx, float(j) * sy, 0)));
      placed->AddChild(*child);
      bag->AddChild(*placed);
    }
  return bag;
}

// A wavy patch of 25 x 50 quads (2500 triangles) over [x0, x0 + 10] x [y0,
// y0 + 10].
inline Kel3DFaceGP* Patch(float x0, float y0) {
  const int nx = 51, ny = 26;
  std::vector<float> v;
  for (int j = 0; j < ny; ++j)
    for (int i = 0; i < nx; ++i) {
      const float x = x0 + 10.0f * float(i) / float(nx - 1);
      const float y = y0 + 10.0f * float(j) / float(ny - 1);
      v.insert(v.end(), {x, y, 0.3f * std::sin(x) * std::cos(y)});
    }
  std::vector<int> t;
  for (int j = 0; j + 1 < ny; ++j)
    for (int i = 0; i + 1 < nx; ++i) {
      const int a = 3 * (j * nx + i), b = a + 3, c = a + 3 * nx, d = c + 3;
      t.insert(t.end(), {a, b, d, a, d, c});
    }
  return new Kel3DFaceGP(v.data(), int(v.size()), nullptr, 0, t.data(), int(t.size() / 3), nullptr,
                         0, nullptr, nullptr, 0, nullptr);
}

inline Kel3DRep* Patches() {
  auto* bag = new Kel3DBagRep;
  for (int j = 0; j < 20; ++j)
    for (int i = 0; i < 20; ++i) bag->AddChild(*new FaceLeaf(Patch(10.0f * i, 10.0f * j)));
  return bag;
}

}  // namespace kelbench
